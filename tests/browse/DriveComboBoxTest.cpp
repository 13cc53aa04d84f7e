// The drive selector on a headless desktop over a fixed table of drives: a floppy A, the fixed C labelled SYSTEM,
// a CD drive D without its disc, a RAM disk R and a network drive X. Lines, letter case, glyphs, the change event
// for assignments and for the user's picks with the mouse, the linked directory list, and what a line looks like.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "browse/DirectoryListBox.h"
#include "browse/DriveComboBox.h"
#include "browse/LineGlyphs.h"
#include "framework/ErrorTrap.h"
#include "framework/Layout.h"
#include "platform/testing/FakeVolumes.h"
#include "runtime/Exception.h"
#include "tests/browse/BrowseFixture.h"

using namespace platform::testing;

namespace {

using Texts = std::vector<std::string>;

// Remembers where the lines were drawn.
class TProbeSelector : public TDriveComboBox {
  public:
    using TDriveComboBox::TDriveComboBox;
    struct Drawn {
        int32_t index;
        RECT rect;
        TOwnerDrawState state;
    };
    std::vector<Drawn> drawn;

  protected:
    void DrawItem(int32_t index, const RECT& rect, TOwnerDrawState state) override {
        drawn.push_back({index, rect, state});
        TDriveComboBox::DrawItem(index, rect, state);
    }
};

Volume Drive(char letter, std::string mountPoint, UINT type, std::string label = {}, std::string share = {}) {
    Volume volume;
    volume.letter = letter;
    volume.mountPoint = std::move(mountPoint);
    volume.driveType = type;
    volume.label = std::move(label);
    volume.shareName = std::move(share);
    volume.fileSystem = "FAT32";
    return volume;
}

// The drop-down list of the one combo box that is dropped down.
HWND DroppedList() {
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND top, LPARAM out) {
            HWND child = GetWindow(top, GW_CHILD);
            char name[32] = "";
            if (child && GetClassNameA(child, name, sizeof name) && std::string(name) == "ComboLBox" &&
                IsWindowVisible(child))
                *reinterpret_cast<HWND*>(out) = child;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// Whether a line's glyph is the program's bitmap resource of that name, pixel for pixel.
bool IsGlyph(TLineData data, const char* name) {
    const auto* glyph = reinterpret_cast<const TBitmap*>(data);
    auto expected = ResourceGlyph(name);
    if (!glyph || glyph->Width() != expected->Width() || glyph->Height() != expected->Height()) return false;
    for (int y = 0; y < expected->Height(); ++y)
        for (int x = 0; x < expected->Width(); ++x)
            if (glyph->ScanLine(y)[x] != expected->ScanLine(y)[x]) return false;
    return true;
}

class DriveSelector : public BrowseTest {
  protected:
    DriveSelector() { table_.emplace(TestMachine()); }
    ~DriveSelector() override { SetErrorDisplay(nullptr); }

    std::vector<Volume> TestMachine() {
        Volume system = RootVolume();
        system.label = "SYSTEM";
        Volume cd = Drive('D', folder_.MakeFolder("d"), DRIVE_CDROM, "AUDIO_CD");
        cd.ready = false;
        return {Drive('A', folder_.MakeFolder("a"), DRIVE_REMOVABLE, "BOOT"), system, cd,
                Drive('R', folder_.MakeFolder("r"), DRIVE_RAMDISK, "Scratch"),
                Drive('X', folder_.MakeFolder("x"), DRIVE_REMOTE, "NAS", "\\\\Server\\Music")};
    }

    template <typename T = TDriveComboBox>
    T* MakeSelector() {
        auto* selector = new T(&host_);
        selector->OnChange = [this, selector](TObject* sender) {
            EXPECT_EQ(sender, selector);
            changes_.push_back(selector->DriveLetter());
        };
        selector->SetParent(&host_);
        selector->SetBounds(10, 10, 220, 25);
        DispatchPending();
        return selector;
    }
    static Texts Lines(TDriveComboBox* selector) {
        Texts lines;
        for (int32_t i = 0; i < selector->Items().LineCount(); ++i) lines.push_back(selector->Items().LineText(i));
        return lines;
    }
    // Drops the list down and clicks a line, as the user does.
    static void Pick(TDriveComboBox* selector, int line) {
        Click(selector->Handle(), 20, 8);
        DispatchPending();
        HWND list = DroppedList();
        ASSERT_NE(list, nullptr);
        const int height = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
        EXPECT_EQ(height, selector->ItemHeight());
        Click(list, 30, line * height + height / 2);
        DispatchPending();
    }

    std::optional<FakeVolumeTable> table_;
    std::vector<char> changes_;  // DriveLetter as each OnChange found it
};

}  // namespace

TEST_F(DriveSelector, ListsTheDrivesInLetterOrderWithTheirKindAndLabel) {
    auto* selector = MakeSelector();
    EXPECT_EQ(Lines(selector), (Texts{"a:", "c: [system]", "d: []", "r: [scratch]", "x: \\\\server\\music"}))
        << "no label for the floppy, empty brackets for the CD without its disc, the share for the network drive";
    EXPECT_EQ(changes_, (std::vector<char>{'c'})) << "making the window selects the current drive and tells of it";
    EXPECT_EQ(selector->ItemIndex(), 1);
    EXPECT_EQ(selector->Text(), "c: [system]");
    EXPECT_TRUE(IsGlyph(selector->Items().LineData(0), "FLOPPY"));
    EXPECT_TRUE(IsGlyph(selector->Items().LineData(1), "HARD"));
    EXPECT_TRUE(IsGlyph(selector->Items().LineData(2), "CDROM"));
    EXPECT_TRUE(IsGlyph(selector->Items().LineData(3), "RAM"));
    EXPECT_TRUE(IsGlyph(selector->Items().LineData(4), "NETWORK"));

    selector->SetTextCase(TTextCase::tcUpperCase);
    EXPECT_EQ(Lines(selector), (Texts{"A:", "C: [SYSTEM]", "D: []", "R: [SCRATCH]", "X: \\\\SERVER\\MUSIC"}));
    EXPECT_EQ(changes_, (std::vector<char>{'c', 'C'}));
    EXPECT_EQ(selector->ItemIndex(), 1);

    // The present case reads the drives again: a stick plugged in meanwhile shows up, and OnChange is raised.
    std::vector<Volume> drives = TestMachine();
    drives.push_back(Drive('E', folder_.MakeFolder("e"), DRIVE_REMOVABLE, "STICK"));
    table_.reset();
    table_.emplace(drives);
    selector->SetTextCase(TTextCase::tcUpperCase);
    EXPECT_EQ(Lines(selector), (Texts{"A:", "C: [SYSTEM]", "D: []", "E:", "R: [SCRATCH]", "X: \\\\SERVER\\MUSIC"}));
    EXPECT_EQ(changes_, (std::vector<char>{'c', 'C', 'C'}));
    EXPECT_EQ(selector->ItemIndex(), 1);

    selector->SetTextCase(TTextCase::tcLowerCase);
    EXPECT_EQ(selector->DriveLetter(), 'c');
    EXPECT_EQ(selector->Items().LineText(3), "e:");
}

namespace {

// The drive table of the test machine, noting the process's error mode whenever the platform consults it (once
// for every drive query).
class ErrorModeWatch final : public platform::kernel::VolumeSource {
  public:
    ErrorModeWatch(std::vector<Volume> volumes, std::vector<UINT>& modes)
        : volumes_(std::move(volumes)), modes_(modes) {}

    std::optional<platform::kernel::MountSnapshot> Refresh() override {
        UINT mode = SetErrorMode(0);
        SetErrorMode(mode);
        modes_.push_back(mode);
        if (delivered_) return std::nullopt;
        delivered_ = true;
        platform::kernel::MountSnapshot snapshot;
        snapshot.volumes = volumes_;
        return snapshot;
    }

    int ChangeDescriptor(short&) override { return -1; }

  private:
    std::vector<Volume> volumes_;
    std::vector<UINT>& modes_;
    bool delivered_ = false;
};

}  // namespace

TEST_F(DriveSelector, AStickPluggedInOrPulledIsShownAtOnceAndTheSelectedDriveStays) {
    auto* selector = MakeSelector();
    selector->SetDriveLetter('r');
    changes_.clear();
    std::vector<Volume> drives = TestMachine();
    drives.push_back(Drive('E', folder_.MakeFolder("e"), DRIVE_REMOVABLE, "STICK"));
    table_->Change(drives);
    DispatchPending();
    EXPECT_EQ(Lines(selector), (Texts{"a:", "c: [system]", "d: []", "e:", "r: [scratch]", "x: \\\\server\\music"}));
    EXPECT_EQ(selector->Text(), "r: [scratch]");
    EXPECT_TRUE(changes_.empty()) << "the selected drive did not change";

    // The selected drive pulled: its letter stays held, with no line selected, and nothing is told.
    std::erase_if(drives, [](const Volume& drive) { return drive.letter == 'R'; });
    table_->Change(drives);
    DispatchPending();
    EXPECT_EQ(Lines(selector), (Texts{"a:", "c: [system]", "d: []", "e:", "x: \\\\server\\music"}));
    EXPECT_EQ(selector->ItemIndex(), -1);
    EXPECT_EQ(selector->DriveLetter(), 'r');
    EXPECT_TRUE(changes_.empty());
}

TEST_F(DriveSelector, LabelsAreReadWithoutPromptsAndNeverFromRemovableDrives) {
    std::vector<UINT> modes;
    platform::kernel::SetVolumeSource(std::make_unique<ErrorModeWatch>(TestMachine(), modes));
    constexpr UINT kProgramsMode = SEM_NOOPENFILEERRORBOX;
    UINT before = SetErrorMode(kProgramsMode);
    modes.clear();
    auto* selector = MakeSelector();
    EXPECT_EQ(SetErrorMode(before), kProgramsMode) << "put back, also after the CD drive's failed query";
    platform::kernel::SetVolumeSource(nullptr);

    // Labels of C, D and R only: the floppy is never asked, and the network drive gives its share name.
    EXPECT_EQ(std::count(modes.begin(), modes.end(), static_cast<UINT>(SEM_FAILCRITICALERRORS)), 3);
    EXPECT_EQ(std::count(modes.begin(), modes.end(), kProgramsMode), static_cast<long>(modes.size()) - 3);
    EXPECT_EQ(Lines(selector).size(), 5u);
}

TEST_F(DriveSelector, AssigningTheLetterSelectsItsLineAndTellsOfIt) {
    auto* selector = MakeSelector();
    changes_.clear();

    selector->SetDriveLetter('C');
    EXPECT_TRUE(changes_.empty()) << "the present drive in the other case does nothing";
    EXPECT_EQ(selector->DriveLetter(), 'c');

    selector->SetDriveLetter('X');
    EXPECT_EQ(selector->DriveLetter(), 'x');
    EXPECT_EQ(selector->ItemIndex(), 4);
    EXPECT_EQ(changes_, (std::vector<char>{'x'}));

    selector->SetDriveLetter('q');
    EXPECT_EQ(selector->DriveLetter(), 'q') << "a letter without a line still becomes the drive";
    EXPECT_EQ(selector->ItemIndex(), 4) << "and the selection stays";
    EXPECT_EQ(changes_, (std::vector<char>{'x', 'q'}));

    selector->SetDriveLetter('\0');
    EXPECT_EQ(selector->ItemIndex(), -1);
    EXPECT_EQ(changes_, (std::vector<char>{'x', 'q', '\0'}));

    selector->SetTextCase(TTextCase::tcUpperCase);
    selector->SetDriveLetter('r');
    EXPECT_EQ(selector->DriveLetter(), 'R');
    EXPECT_EQ(selector->ItemIndex(), 3);
}

TEST_F(DriveSelector, AUserPickOfAnotherDriveTellsTwiceAndOfThePresentOneOnce) {
    auto* selector = MakeSelector();
    std::vector<char> clicks;
    selector->OnClick = [&](TObject*) { clicks.push_back(selector->DriveLetter()); };
    changes_.clear();

    Pick(selector, 4);
    EXPECT_FALSE(selector->DroppedDown());
    EXPECT_EQ(selector->Text(), "x: \\\\server\\music");
    EXPECT_EQ(clicks, (std::vector<char>{'c'})) << "the click comes before the letter changes";
    EXPECT_EQ(changes_, (std::vector<char>{'x', 'x'})) << "the first notice already has the new drive";

    Pick(selector, 4);
    EXPECT_EQ(changes_, (std::vector<char>{'x', 'x', 'x'}));
    EXPECT_EQ(clicks.size(), 2u);
}

TEST_F(DriveSelector, ALinkedDirectoryListMovesAlongAndADriveWithoutItsDiscFails) {
    auto* selector = MakeSelector();
    auto* folders = new TDirectoryListBox(&host_);
    folders->SetParent(&host_);
    folders->SetBounds(10, 60, 220, 200);
    selector->SetDirList(folders);
    EXPECT_EQ(folders->DriveSelector(), selector);
    changes_.clear();

    selector->SetDriveLetter('a');
    EXPECT_EQ(folders->DirPath(), "A:\\");
    EXPECT_EQ(changes_, (std::vector<char>{'a'}));

    std::vector<std::string> errors;
    SetErrorDisplay([&](TObject*) {
        try {
            throw;
        } catch (const Exception& error) {
            errors.push_back(error.Message());
        }
    });
    Pick(selector, 2);
    EXPECT_EQ(errors, (Texts{"I/O エラー (21)"}));
    EXPECT_EQ(selector->DriveLetter(), 'd') << "the selector shows the drive the user picked";
    EXPECT_EQ(selector->ItemIndex(), 2);
    EXPECT_EQ(changes_, (std::vector<char>{'a'})) << "the failure ends the pick before any notice";
    EXPECT_EQ(folders->DirPath(), "A:\\") << "the directory list stays where it was";

    delete folders;
    EXPECT_EQ(selector->DirList(), nullptr);
    selector->SetDriveLetter('c');
    EXPECT_EQ(changes_, (std::vector<char>{'a', 'c'}));
}

TEST_F(DriveSelector, ALineShowsTheGlyphOnTheLinesColourAndThenTheText) {
    auto* selector = MakeSelector<TProbeSelector>();
    selector->SetColor(clWhite);
    selector->Font().SetColor(clBlack);
    selector->drawn.clear();
    selector->Invalidate();
    DispatchPending();

    auto glyph = ResourceGlyph("HARD");
    TBitmap& hard = *glyph;
    // Compares a drawn line (the field shows the selected one) with the glyph on `background` and the text after it.
    auto check = [&](COLORREF background) {
        ASSERT_FALSE(selector->drawn.empty());
        const auto& line = selector->drawn.back();
        ASSERT_EQ(line.index, 1);
        const int left = line.rect.left + 2;
        const int top = GlyphTop(line.rect, hard);
        const COLORREF transparent = static_cast<COLORREF>(hard.TransparentColor());
        int mismatches = 0;
        for (int y = 0; y < hard.Height(); ++y)
            for (int x = 0; x < hard.Width(); ++x) {
                COLORREF own = static_cast<COLORREF>(hard.Canvas().Pixels(x, y));
                if (Pixel(selector->Handle(), left + x, top + y) != (own == transparent ? background : own))
                    ++mismatches;
            }
        EXPECT_EQ(mismatches, 0);
        // The text starts 6 pixels after the glyph's room; the gap between them is the line's colour (but for the
        // focus rectangle along the line's edges).
        int gap = 0, textPixels = 0;
        for (int y = line.rect.top + 1; y < line.rect.bottom - 1; ++y) {
            for (int x = left + hard.Width(); x < left + hard.Width() + 4; ++x)
                if (Pixel(selector->Handle(), x, y) != background) ++gap;
            for (int x = left + hard.Width() + 4; x < line.rect.right; ++x)
                if (Pixel(selector->Handle(), x, y) != background) ++textPixels;
        }
        EXPECT_EQ(gap, 0);
        EXPECT_GT(textPixels, 40) << "\"c: [system]\" is written after the glyph";
    };
    check(RGB(255, 255, 255));

    // With the focus the field is the selected line: the glyph stands on the highlight.
    selector->drawn.clear();
    selector->SetFocus();
    DispatchPending();
    ASSERT_FALSE(selector->drawn.empty());
    EXPECT_TRUE(selector->drawn.back().state & ODS_SELECTED);
    check(GetSysColor(COLOR_HIGHLIGHT));

}

TEST_F(DriveSelector, AFontChangeFitsTheLineHeightAndReadsTheDrivesOnce) {
    auto* selector = MakeSelector();
    changes_.clear();
    HWND first = selector->Handle();

    selector->Font().SetHeight(8);  // a cell smaller than the glyphs: the glyphs' height wins
    EXPECT_EQ(selector->ItemHeight(), 11);
    EXPECT_NE(selector->Handle(), first);
    EXPECT_EQ(changes_, (std::vector<char>{'c'}));

    selector->Font().SetHeight(9);  // the same line height: the window is made again all the same
    EXPECT_EQ(selector->ItemHeight(), 11);
    EXPECT_EQ(changes_, (std::vector<char>{'c', 'c'}));

    selector->Font().SetHeight(20);
    EXPECT_EQ(selector->ItemHeight(), FontLineHeight(selector->Font()));
    EXPECT_GE(selector->ItemHeight(), 20);
    EXPECT_EQ(SendMessageA(selector->Handle(), CB_GETITEMHEIGHT, 0, 0), selector->ItemHeight());
    EXPECT_EQ(changes_, (std::vector<char>{'c', 'c', 'c'}));
    EXPECT_EQ(Lines(selector).size(), 5u);
    EXPECT_EQ(selector->ItemIndex(), 1);
}

TEST_F(DriveSelector, ALayoutSetsTheCaseTheLinkByNameAndTheHandler) {
    RegisterComponentClass<TDriveComboBox>("TDriveComboBox");
    RegisterComponentClass<TDirectoryListBox>("TDirectoryListBox");
    TBrowseHost form(nullptr);
    int changes = 0;
    // The selector names the directory list before the list exists in the layout.
    ReadLayoutText(form, R"({"class": "TBrowseHost", "children": [
        {"class": "TDriveComboBox", "name": "DriveComboBox", "properties": {
            "Left": 8, "Top": 8, "Width": 200, "Color": "clNavy", "TextCase": "tcUpperCase",
            "DirList": "DirectoryListBox", "OnChange": "DriveComboBoxChange"}},
        {"class": "TDirectoryListBox", "name": "DirectoryListBox", "properties": {
            "Left": 8, "Top": 40, "Width": 200, "Height": 150}}]})",
                   {{"DriveComboBoxChange", TNotifyEvent([&](TObject*) { ++changes; })}});
    auto* selector = FindRequired<TDriveComboBox>(form, "DriveComboBox");
    auto* folders = FindRequired<TDirectoryListBox>(form, "DirectoryListBox");
    EXPECT_EQ(selector->DirList(), folders);
    EXPECT_EQ(folders->DriveSelector(), selector);
    EXPECT_EQ(selector->TextCase(), TTextCase::tcUpperCase);
    EXPECT_EQ(selector->Color(), clNavy);
    EXPECT_EQ(changes, 0) << "nothing is read before the window is made";

    form.HandleNeeded();
    selector->HandleNeeded();
    EXPECT_EQ(selector->Items().LineText(1), "C: [SYSTEM]");
    EXPECT_EQ(selector->DriveLetter(), 'C');
    EXPECT_EQ(changes, 1);
}
