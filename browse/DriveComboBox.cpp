#include "browse/DriveComboBox.h"

#include <cctype>
#include <utility>

#include "browse/DirectoryListBox.h"
#include "browse/LineGlyphs.h"
#include "browse/PathRoutines.h"
#include "framework/Layout.h"
#include "framework/LayoutProperties.h"
#include "runtime/FileNames.h"

namespace {

constexpr size_t kNameBufferSize = MAX_PATH + 1;  // a label or a remote name, and its terminator
constexpr int kGlyphLeft = 2;  // from the line's left edge
constexpr int kTextGap = 6;   // between the glyph's room and the text

bool SameLetter(char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
}

// A name shown after a drive letter takes the letter's case.
std::string CasedLikeLetter(std::string_view name, char letter) {
    return letter < 'a' ? UpperCaseFileName(name) : LowerCaseFileName(name);
}

// Keeps the platform from asking the user to insert a medium while a drive is queried, and puts the process's
// error mode back however the query ends.
class QuietCriticalErrors {
  public:
    QuietCriticalErrors() : previous_(SetErrorMode(SEM_FAILCRITICALERRORS)) {}
    ~QuietCriticalErrors() { SetErrorMode(previous_); }
    QuietCriticalErrors(const QuietCriticalErrors&) = delete;
    QuietCriticalErrors& operator=(const QuietCriticalErrors&) = delete;

  private:
    UINT previous_;
};

TLineData DataOf(const TBitmap& glyph) { return reinterpret_cast<TLineData>(&glyph); }

}  // namespace

TDriveComboBox::TDriveComboBox(TComponent* owner) : TCustomComboBox(owner) {
    LoadGlyphs();
    std::string current = CurrentDirectory();
    driveLetter_ = current.empty() || current[0] == '\\' ? '\0' : current[0];
    FitItemHeight();
}

TDriveComboBox::~TDriveComboBox() = default;

void TDriveComboBox::LoadGlyphs() {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    floppyGlyph_.LoadFromResourceName(instance, "FLOPPY");
    fixedGlyph_.LoadFromResourceName(instance, "HARD");
    networkGlyph_.LoadFromResourceName(instance, "NETWORK");
    cdromGlyph_.LoadFromResourceName(instance, "CDROM");
    ramGlyph_.LoadFromResourceName(instance, "RAM");
}

void TDriveComboBox::FitItemHeight() {
    int height = FontLineHeight(Font());
    if (height < floppyGlyph_.Height()) height = floppyGlyph_.Height();
    SetItemHeight(height);
}

char TDriveComboBox::Cased(char letter) const {
    auto byte = static_cast<unsigned char>(letter);
    return static_cast<char>(textCase_ == TTextCase::tcUpperCase ? std::toupper(byte) : std::tolower(byte));
}

const TBitmap* TDriveComboBox::GlyphOf(TLineData data) const {
    for (const TBitmap* glyph : {&floppyGlyph_, &fixedGlyph_, &networkGlyph_, &cdromGlyph_, &ramGlyph_})
        if (data == DataOf(*glyph)) return glyph;
    return nullptr;
}

void TDriveComboBox::CreateWnd() {
    TCustomComboBox::CreateWnd();
    ReadDrives();
    SetDriveLetter(driveLetter_);  // no line is selected yet, so this selects the drive's line and tells of it
}

void TDriveComboBox::ReadDrives() {
    TStrings& items = Items();
    runtime::UpdateBracket bracket(items);
    items.RemoveAll();
    const DWORD drives = GetLogicalDrives();
    for (int n = 0; n < 26; ++n) {
        if (!(drives & (1u << n))) continue;
        const char root[] = {static_cast<char>('a' + n), ':', '\\', '\0'};
        const UINT type = GetDriveTypeA(root);
        const char letter = Cased(root[0]);
        const std::string drive{letter, ':'};
        switch (type) {
            case DRIVE_REMOVABLE: items.AppendLineData(drive, DataOf(floppyGlyph_)); break;
            case DRIVE_FIXED: items.AppendLineData(drive + " " + VolumeLabelText(letter), DataOf(fixedGlyph_)); break;
            case DRIVE_REMOTE:
                items.AppendLineData(drive + " " + NetworkShareText(letter), DataOf(networkGlyph_));
                break;
            case DRIVE_CDROM: items.AppendLineData(drive + " " + VolumeLabelText(letter), DataOf(cdromGlyph_)); break;
            case DRIVE_RAMDISK: items.AppendLineData(drive + " " + VolumeLabelText(letter), DataOf(ramGlyph_)); break;
            default: break;  // undetermined, or no root directory
        }
    }
}

std::string TDriveComboBox::VolumeLabelText(char letter) const {
    const char root[] = {letter, ':', '\\', '\0'};
    char name[kNameBufferSize] = "";
    std::string label;
    {
        QuietCriticalErrors quiet;
        if (GetVolumeInformationA(root, name, sizeof name, nullptr, nullptr, nullptr, nullptr, 0)) label = name;
    }
    return "[" + CasedLikeLetter(label, letter) + "]";
}

std::string TDriveComboBox::NetworkShareText(char letter) const {
    const char local[] = {static_cast<char>(std::toupper(static_cast<unsigned char>(letter))), ':', '\0'};
    char remote[kNameBufferSize] = "";
    DWORD length = sizeof remote;
    if (WNetGetConnectionA(local, remote, &length) == NO_ERROR) return CasedLikeLetter(remote, letter);
    return VolumeLabelText(letter);
}

void TDriveComboBox::SetDriveLetter(char letter) {
    const bool hasLines = HandleAllocated();
    if (hasLines && ItemIndex() >= 0 && SameLetter(letter, driveLetter_)) return;
    if (letter == '\0') {
        driveLetter_ = '\0';
        if (hasLines) SetItemIndex(-1);
    } else {
        driveLetter_ = Cased(letter);
        for (int32_t i = 0, count = hasLines ? Items().LineCount() : 0; i < count; ++i) {
            std::string line = Items().LineText(i);
            if (line.size() >= 2 && line[1] == ':' && SameLetter(line[0], driveLetter_)) {
                SetItemIndex(i);
                break;
            }
        }
    }
    if (dirList_) dirList_->SelectDrive(driveLetter_);
    Change();
}

void TDriveComboBox::SetTextCase(TTextCase value) {
    textCase_ = value;
    // Without a window there are no lines yet: its creation reads them in the new case. Otherwise even the present
    // value reads the drives again, which is how a program notices drives that came or went.
    if (!HandleAllocated()) return;
    const char held = driveLetter_;
    ReadDrives();
    SetDriveLetter(held);
}

void TDriveComboBox::SetDirList(TDirectoryListBox* list) {
    if (dirList_ == list) return;
    if (TDirectoryListBox* previous = std::exchange(dirList_, nullptr)) previous->SetDriveSelector(nullptr);
    dirList_ = list;
    if (list) {
        list->SetDriveSelector(this);
        FreeNotification(list);
    }
}

void TDriveComboBox::Click() {
    TCustomComboBox::Click();
    int32_t index = ItemIndex();
    if (index < 0) return;
    std::string line = Items().LineText(index);
    if (!line.empty()) SetDriveLetter(line[0]);
}

void TDriveComboBox::DrawItem(int32_t index, const RECT& rect, TOwnerDrawState) {
    TCanvas& canvas = Canvas();
    canvas.FillRect(rect);
    int glyphWidth = 16;  // a line without a glyph keeps the room of one
    if (const TBitmap* glyph = GlyphOf(Items().LineData(index))) {
        glyphWidth = glyph->Width();
        DrawLineGlyph(canvas, rect, kGlyphLeft, *glyph);
    }
    RECT text = rect;
    text.left += glyphWidth + kTextGap;
    canvas.DrawText(Items().LineText(index), text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

void TDriveComboBox::WndProc(TMessage& message) {
    TCustomComboBox::WndProc(message);
    if (message.Msg == WM_DEVICECHANGE) {
        DrivesChanged(message.WParam, reinterpret_cast<const DEV_BROADCAST_HDR*>(message.LParam));
        return;
    }
    if (message.Msg != CM_FONTCHANGED) return;
    // A new line height re-creates the window by itself; the window is made again once either way, so the lines
    // are read again and OnChange raised once.
    const int before = ItemHeight();
    FitItemHeight();
    if (ItemHeight() == before) RecreateWnd();
}

void TDriveComboBox::DrivesChanged(WPARAM event, const DEV_BROADCAST_HDR* header) {
    if ((event != DBT_DEVICEARRIVAL && event != DBT_DEVICEREMOVECOMPLETE) || !header ||
        header->dbch_devicetype != DBT_DEVTYP_VOLUME || !HandleAllocated())
        return;
    // The lines again, with the selected drive's still selected: nothing moves and nothing is told. A drive that was
    // pulled leaves its letter held and no line selected, as an assignment of a letter without a line does.
    ReadDrives();
    for (int32_t i = 0, count = Items().LineCount(); i < count; ++i) {
        std::string line = Items().LineText(i);
        if (line.size() >= 2 && line[1] == ':' && SameLetter(line[0], driveLetter_)) {
            SetItemIndex(i);
            break;
        }
    }
}

void TDriveComboBox::Notification(TComponent* component, TOperation operation) {
    TCustomComboBox::Notification(component, operation);
    if (operation == TOperation::opRemove && component == dirList_) dirList_ = nullptr;
}

bool TDriveComboBox::ReadProperty(std::string_view name, const TLayoutValue& value, TLayoutContext& context) {
    if (name == "TextCase") {
        SetTextCase(static_cast<TTextCase>(ReadEnumeration(value, {"tcLowerCase", "tcUpperCase"})));
    } else if (name == "DirList") {
        std::string target = value.Text();
        context.Later([this, target, &context] {
            SetDirList(FindRequired<TDirectoryListBox>(context.Root(), target));
        });
    } else {
        return TCustomComboBox::ReadProperty(name, value, context);
    }
    return true;
}
