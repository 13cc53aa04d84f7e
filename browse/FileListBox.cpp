#include "browse/FileListBox.h"

#include <algorithm>
#include <utility>

#include "browse/DirectoryListBox.h"
#include "browse/LineGlyphs.h"
#include "browse/PathRoutines.h"
#include "framework/Layout.h"
#include "framework/LayoutProperties.h"
#include "framework/StdCtrls.h"
#include "runtime/Exception.h"
#include "runtime/FileNames.h"
#include "runtime/ScopeExit.h"

namespace {

bool HasWildcard(std::string_view name) { return name.find_first_of("*?") != std::string_view::npos; }

// A file the list could show: not a directory, and not a system entry (a FIFO, a socket, a device, a broken link),
// which no search lists and nothing may open.
bool IsListableFile(const std::string& name) {
    DWORD attributes = GetFileAttributesA(name.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_SYSTEM));
}

}  // namespace

TFileListBox::TFileListBox(TComponent* owner) : TCustomListBox(owner), dirPath_(CurrentDirectory()) {
    SetWidth(145);
    LoadGlyphs();
    SetSorted(true);
    SetStyle(TListBoxStyle::lbOwnerDrawFixed);
    FitItemHeight();
}

void TFileListBox::LoadGlyphs() {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    executableGlyph_.LoadFromResourceName(instance, "EXECUTABLE");
    folderGlyph_.LoadFromResourceName(instance, "CLOSEDFOLDER");
    otherFileGlyph_.LoadFromResourceName(instance, "UNKNOWNFILE");
}

void TFileListBox::FitItemHeight() {
    int height = FontLineHeight(Font());
    if (showGlyphs_ && height < executableGlyph_.Height() + 1) height = executableGlyph_.Height() + 1;
    SetItemHeight(height);
}

const TBitmap* TFileListBox::GlyphOf(TLineData data) const {
    for (const TBitmap* glyph : {&executableGlyph_, &folderGlyph_, &otherFileGlyph_})
        if (data == reinterpret_cast<TLineData>(glyph)) return glyph;
    return nullptr;
}

const TBitmap& TFileListBox::FileGlyph(std::string_view name) const {
    // Every executable extension is four ASCII characters: a name that ends in four ASCII bytes is told apart here
    // without a copy (a folder of 100,000 files asks this of each); another may lower to one, and is looked at whole.
    auto ascii = [](char c) { return static_cast<unsigned char>(c) < 0x80; };
    if (name.size() >= 4 && std::all_of(name.end() - 4, name.end(), ascii)) {
        const std::string_view tail = name.substr(name.size() - 4);
        for (const char* executable : {".exe", ".com", ".bat", ".pif"})
            if (std::equal(tail.begin(), tail.end(), executable,
                           [](char a, char b) { return (a >= 'A' && a <= 'Z' ? a + ('a' - 'A') : a) == b; }))
                return executableGlyph_;
        return otherFileGlyph_;
    }
    std::string extension = LowerCaseFileName(FileExtensionPart(name));
    for (const char* executable : {".exe", ".com", ".bat", ".pif"})
        if (extension == executable) return executableGlyph_;
    return otherFileGlyph_;
}

void TFileListBox::SetDirPath(const std::string& value) {
    // "Music" and "music" are one folder only on a volume that does not tell letter case apart.
    if (CompareFileNames(value, dirPath_) == 0 && (value == dirPath_ || !IsCaseSensitiveVolume(dirPath_))) return;
    if (IsExistingDirectory(dirPath_)) ChangeDirectory(dirPath_);  // a relative value starts from the old folder
    ChangeDirectory(value);
    std::string previous = std::exchange(dirPath_, CurrentDirectory());
    // A folder that cannot be read is not moved into: the lines still show the old one.
    ScopeFail stayOut([this, &previous] {
        dirPath_ = std::move(previous);
        if (IsExistingDirectory(dirPath_)) SetCurrentDirectoryA(dirPath_.c_str());
    });
    ReadEntries();
}

void TFileListBox::SetMask(const std::string& value) {
    if (mask_ == value) return;
    mask_ = value;
    ReadEntries();
}

void TFileListBox::SetFileType(TFileType value) {
    if (fileType_ == value) return;
    fileType_ = value;
    ReadEntries();
}

void TFileListBox::SetShowGlyphs(bool value) {
    if (showGlyphs_ == value) return;
    showGlyphs_ = value;
    if (value && ItemHeight() < executableGlyph_.Height() + 1) FitItemHeight();
    Invalidate();
}

void TFileListBox::SetFileEdit(TEdit* value) {
    if (fileEdit_ == value) return;
    fileEdit_ = value;
    if (!value) return;
    value->FreeNotification(this);
    std::string name = SelectedName();
    value->SetText(name.empty() ? mask_ : name);
}

void TFileListBox::SetDirList(TDirectoryListBox* value) {
    if (dirList_ == value) return;
    dirList_ = value;
    if (value) value->FreeNotification(this);
}

std::string TFileListBox::SelectedName() {
    // Without a window there are no lines, so none is selected.
    if (!HandleAllocated()) return {};
    int32_t index = ItemIndex();
    if (index < 0 || Items().LineCount() == 0 || !Selected(index)) return {};
    return Items().LineText(index);
}

void TFileListBox::SelectName(const std::string& name) {
    if (CompareFileNames(name, SelectedName()) == 0) return;
    // Starting after line 0, the search wraps round to the top, so every line is compared.
    LRESULT found = SendMessageA(Handle(), LB_FINDSTRINGEXACT, 0, reinterpret_cast<LPARAM>(name.c_str()));
    SetItemIndex(static_cast<int32_t>(found));
    NotifyChange();
}

void TFileListBox::NotifyChange() {
    lastSelection_ = ItemIndex();
    if (fileEdit_) {
        std::string name = SelectedName();
        fileEdit_->SetText(name.empty() ? mask_ : name);
        fileEdit_->SelectAll();
    }
    if (OnChange) OnChange(this);
}

std::string TFileListBox::CurrentFileName() {
    std::string name = SelectedName();
    return name.empty() ? std::string() : JoinPath(dirPath_, name);
}

void TFileListBox::ApplyFileName(const std::string& text) {
    if (text.empty() || CompareFileNames(CurrentFileName(), text) == 0) return;
    TSplitPath split = SplitPath(text);
    if (dirList_) dirList_->SetDirPath(text);  // which moves this list too
    else if (split.DriveLetter) SetDirPath(std::string(1, split.DriveLetter) + ":" + split.Directory);
    else SetDirPath(split.Directory);
    // A name with "?" or "*" is a mask only when no file has it: Linux names may hold either.
    if (HasWildcard(split.File) && !IsListableFile(split.File)) {
        SetMask(split.File);
    } else if (!split.File.empty()) {
        SelectName(split.File);
        if (!IsListableFile(split.File)) throw EInvalidOperation(Msg::SInvalidFileNameOf, text);
        if (SelectedName().empty()) {  // the mask hides the file
            SetMask(split.File);
            SelectName(split.File);
        }
    }
}

void TFileListBox::CreateWnd() {
    TCustomListBox::CreateWnd();
    ReadEntries();
}

void TFileListBox::DrawItem(int32_t index, const RECT& rect, TOwnerDrawState) {
    TCanvas& canvas = Canvas();
    canvas.FillRect(rect);
    int textOffset = 2;
    const TBitmap* glyph = showGlyphs_ ? GlyphOf(Items().LineData(index)) : nullptr;
    if (glyph) {
        DrawLineGlyph(canvas, rect, 2, *glyph);
        textOffset = glyph->Width() + 6;
    }
    canvas.TextOut(rect.left + textOffset, rect.top, Items().LineText(index));
}

void TFileListBox::Click() {
    TCustomListBox::Click();
    if (ItemIndex() != lastSelection_) NotifyChange();
}

void TFileListBox::WndProc(TMessage& message) {
    TCustomListBox::WndProc(message);
    if (message.Msg == CM_FONTCHANGED) FitItemHeight();
}

void TFileListBox::Notification(TComponent* component, TOperation operation) {
    TCustomListBox::Notification(component, operation);
    if (operation != TOperation::opRemove) return;
    if (component == fileEdit_) fileEdit_ = nullptr;
    if (component == dirList_) dirList_ = nullptr;
}

bool TFileListBox::ReadProperty(std::string_view name, const TLayoutValue& value, TLayoutContext& context) {
    if (name == "Mask") {
        SetMask(value.Text());
    } else if (name == "FileType") {
        TFileType type;
        for (const TLayoutValue& item : value.Items())
            type.Include(static_cast<TFileAttr>(ReadEnumeration(
                item, {"ftReadOnly", "ftHidden", "ftSystem", "ftVolumeID", "ftDirectory", "ftArchive", "ftNormal"})));
        SetFileType(type);
    } else if (name == "ShowGlyphs") {
        SetShowGlyphs(value.Boolean());
    } else if (name == "FileEdit") {
        std::string target = value.Text();
        context.Later([this, target, &context] { SetFileEdit(FindRequired<TEdit>(context.Root(), target)); });
    } else if (name == "OnChange") {
        OnChange = context.Handler<TNotifyEvent>(value.Text());
    } else {
        return TCustomListBox::ReadProperty(name, value, context);
    }
    return true;
}
