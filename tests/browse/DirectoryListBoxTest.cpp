#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "browse/DirectoryListBox.h"
#include "browse/FileListBox.h"
#include "browse/PathRoutines.h"
#include "browse/ShortenPath.h"
#include "frame/Screen.h"
#include "framework/Layout.h"
#include "framework/StdCtrls.h"
#include "platform/testing/FakeVolumes.h"
#include "runtime/Canvas.h"
#include "runtime/Exception.h"
#include "tests/browse/BrowseFixture.h"

using namespace platform::testing;

namespace {

// The lines a directory list shows for a path below C:'s root: the root, then each folder on the way down.
Strings LevelLines(const std::string& path) {
    Strings lines{"C:\\"};
    for (size_t start = 3, end; start < path.size(); start = end + 1) {
        end = std::min(path.find('\\', start), path.size());
        lines.push_back(path.substr(start, end - start));
    }
    return lines;
}

Volume FakeDrive(char letter, const std::filesystem::path& mountPoint, DWORD flags, bool ready = true) {
    Volume volume;
    volume.letter = letter;
    volume.mountPoint = mountPoint.string();
    volume.fileSystemFlags = flags;
    volume.ready = ready;
    return volume;
}

int32_t LineOf(TDirectoryListBox& list, const std::string& text) {
    Strings lines = Lines(list);
    auto found = std::find(lines.begin(), lines.end(), text);
    return found == lines.end() ? -1 : static_cast<int32_t>(found - lines.begin());
}

}  // namespace

TEST_F(BrowseTest, DirectoryListShowsTheLevelsThenTheSortedSubdirectoriesIndented) {
    for (const char* name : {"A/B/zeta", "A/B/Alpha", "A/B/beta", "A/B/.hidden"}) folder_.MakeFolder(name);
    folder_.Write("A/B/file.txt", "x");
    ASSERT_EQ(mkfifo((folder_.Path() / "A/B/pipe").c_str(), 0600), 0);
    ASSERT_EQ(symlink("zeta", (folder_.Path() / "A/B/link").c_str()), 0);
    ASSERT_EQ(symlink("nowhere", (folder_.Path() / "A/B/broken").c_str()), 0);
    const std::string path = folder_.WindowsPath("A\\B");
    ChangeDirectory(path);
    auto* list = Place<TDirectoryListBox>();

    Strings expected = LevelLines(path);
    const auto current = static_cast<int32_t>(expected.size() - 1);
    expected.insert(expected.end(), {"Alpha", "beta", "link", "zeta"});
    EXPECT_EQ(Lines(*list), expected);
    EXPECT_EQ(list->ItemIndex(), current);
    EXPECT_EQ(list->LevelPath(current - 1), folder_.WindowsPath("A"));
    EXPECT_EQ(list->LevelPath(1), "C:\\tmp");
    EXPECT_EQ(list->LevelPath(current), path);
    EXPECT_EQ(list->LevelPath(current + 1), folder_.WindowsPath("A\\B\\Alpha"));
    EXPECT_EQ(list->LevelPath(-1), "");
    EXPECT_EQ(list->LevelPath(static_cast<int32_t>(expected.size())), "");

    DispatchPending();
    auto opened = ResourceGlyph("OPENFOLDER");
    auto currentGlyph = ResourceGlyph("CURRENTFOLDER");
    auto closed = ResourceGlyph("CLOSEDFOLDER");
    for (int32_t i = 0; i < static_cast<int32_t>(expected.size()); ++i) {
        const TBitmap& glyph = i < current ? *opened : i == current ? *currentGlyph : *closed;
        int indent = (i <= current ? i : current + 1) * 4 + 2;
        RECT line = list->ItemRect(i);
        EXPECT_TRUE(GlyphDrawnAt(list->Handle(), glyph, line.left + indent, GlyphTop(line, glyph))) << "line " << i;
    }
}

TEST_F(BrowseTest, DirectoryListShowsTheHourglassWhileItReadsManySubfolders) {
    for (int i = 0; i < 101; ++i) folder_.MakeFolder("many/" + std::to_string(1000 + i));
    folder_.MakeFolder("few/one");
    ChangeDirectory(folder_.WindowsPath());
    auto* list = Place<TDirectoryListBox>();
    Screen().SetCursor(crCross);
    const int before = Screen().CursorChanges();
    list->SetDirPath(folder_.WindowsPath("few"));
    EXPECT_EQ(Screen().Cursor(), crCross);
    const int forFew = Screen().CursorChanges() - before;
    list->SetDirPath(folder_.WindowsPath("many"));
    EXPECT_GT(Screen().CursorChanges() - before - forFew, forFew) << "the hourglass came and went";
    EXPECT_EQ(Screen().Cursor(), crCross);
    EXPECT_EQ(list->Items().LineCount() - list->ItemIndex() - 1, 101);
    Screen().SetCursor(crDefault);
}

TEST_F(BrowseTest, DirectoryListTellsLetterCaseApartOnlyWhereTheVolumeDoes) {
    folder_.Write("Music/upper.wav", "x");
    folder_.Write("MUSIC/capitals.wav", "x");
    folder_.Write("music/lower.wav", "x");
    folder_.MakeFolder("d/Music");
    folder_.MakeFolder("d/music");
    folder_.MakeFolder("d/Video");
    folder_.MakeFolder("e/Mixed");
    FakeVolumeTable table({RootVolume(), FakeDrive('D', folder_.Path() / "d", FILE_CASE_PRESERVED_NAMES),
                           FakeDrive('E', folder_.Path() / "e", 0)});
    ChangeDirectory(folder_.WindowsPath("Music"));
    auto* list = Place<TDirectoryListBox>();
    auto* files = Place<TFileListBox>();
    list->SetFileList(files);
    int changes = 0;
    list->OnChange = [&](TObject* sender) {
        EXPECT_EQ(sender, list);
        ++changes;
    };
    EXPECT_TRUE(list->CaseSensitiveVolume());

    // Three folders whose names differ only in letter case, each listed and each a place of its own.
    list->SetDirPath(folder_.WindowsPath());
    const Strings lines = Lines(*list);
    EXPECT_EQ(Strings(lines.begin() + list->ItemIndex() + 1, lines.end()), (Strings{"d", "e", "MUSIC", "Music", "music"}));
    list->SetDirPath(folder_.WindowsPath("Music"));
    EXPECT_EQ(Lines(*files), Strings{"upper.wav"});
    list->SetDirPath(folder_.WindowsPath("MUSIC"));
    EXPECT_EQ(list->DirPath(), folder_.WindowsPath("MUSIC"));
    EXPECT_EQ(files->DirPath(), folder_.WindowsPath("MUSIC")) << "the linked file list follows";
    EXPECT_EQ(Lines(*files), Strings{"capitals.wav"});
    list->SetDirPath(folder_.WindowsPath("MUSIC"));
    EXPECT_EQ(changes, 3);

    list->SetDirPath("D:\\");
    EXPECT_EQ(Lines(*list), (Strings{"D:\\", "Music", "Video"})) << "one folder of the two on this volume";
    EXPECT_EQ(list->ItemIndex(), 0);
    EXPECT_TRUE(list->KeepsCase());
    EXPECT_FALSE(list->CaseSensitiveVolume());
    list->SetDirPath("D:\\Music");
    list->SetDirPath("d:\\MUSIC");
    EXPECT_EQ(list->DirPath(), "D:\\Music");
    EXPECT_EQ(changes, 5);
    files->SetDirPath("D:\\music");
    EXPECT_EQ(files->DirPath(), "D:\\Music") << "the same folder on this volume: the list stays";
    EXPECT_EQ(list->LevelPath(0), "D:\\");

    list->SetDirPath("E:\\Mixed");
    EXPECT_FALSE(list->KeepsCase());
    EXPECT_EQ(list->CaseForDisplay("Mixed"), "mixed");
}

TEST_F(BrowseTest, DirectoryListDriveLetterGoesToTheDrivesRememberedFolder) {
    folder_.MakeFolder("d/x/y");
    folder_.MakeFolder("e");
    FakeVolumeTable table({RootVolume(), FakeDrive('D', folder_.Path() / "d", FILE_CASE_SENSITIVE_SEARCH),
                           FakeDrive('E', folder_.Path() / "e", 0, false)});
    ChangeDirectory(folder_.WindowsPath());
    auto* list = Place<TDirectoryListBox>();
    int changes = 0;
    list->OnChange = [&](TObject*) { ++changes; };

    list->SetDirPath("D:\\x\\y");
    EXPECT_EQ(list->DriveLetter(), 'D');
    list->SetDriveLetter('c');
    EXPECT_EQ(list->DirPath(), folder_.WindowsPath());
    EXPECT_EQ(changes, 2) << "one notification for the drive change";
    list->SetDriveLetter('C');
    list->SetDriveLetter('\0');
    EXPECT_EQ(changes, 2);
    list->SetDriveLetter('d');
    EXPECT_EQ(list->DirPath(), "D:\\x\\y");
    EXPECT_EQ(changes, 3);

    const Strings before = Lines(*list);
    try {
        list->SetDriveLetter('E');
        ADD_FAILURE() << "moved to a drive without its medium";
    } catch (const EInOutError& error) {
        EXPECT_EQ(error.Message(), "I/O エラー (21)");
    }
    EXPECT_EQ(list->DirPath(), "D:\\x\\y");
    EXPECT_EQ(CurrentDirectory(), "D:\\x\\y");
    EXPECT_EQ(Lines(*list), before);
    EXPECT_EQ(changes, 3);

    // The folder last used on a drive has gone: the drive opens at its nearest existing parent.
    list->SetDriveLetter('c');
    std::filesystem::remove_all(folder_.Path() / "d/x/y");
    list->SetDriveLetter('D');
    EXPECT_EQ(list->DirPath(), "D:\\x");
}

TEST_F(BrowseTest, DirectoryListOpensLinesByDoubleClickAndEnter) {
    folder_.MakeFolder("A/B/C");
    ChangeDirectory(folder_.WindowsPath("A\\B"));
    auto* list = Place<TDirectoryListBox>();
    int changes = 0;
    list->OnChange = [&](TObject*) { ++changes; };

    list->OpenSelected();  // the current directory's line
    list->SetItemIndex(-1);
    list->OpenSelected();
    EXPECT_EQ(changes, 0);

    RECT line = list->ItemRect(LineOf(*list, "C"));
    DoubleClick(list->Handle(), 40, line.top + 2);
    DispatchPending();
    EXPECT_EQ(list->DirPath(), folder_.WindowsPath("A\\B\\C"));
    EXPECT_EQ(CurrentDirectory(), list->DirPath());
    EXPECT_EQ(changes, 1);

    list->SetFocus();
    list->SetItemIndex(LineOf(*list, "A"));
    PressKey(VK_RETURN);
    DispatchPending();
    EXPECT_EQ(list->DirPath(), folder_.WindowsPath("A"));
    EXPECT_EQ(changes, 2);

    list->OnKeyPress = [](TObject*, char& key) {
        if (key == '\r') key = 0;
    };
    list->SetItemIndex(0);
    PressKey(VK_RETURN);
    DispatchPending();
    EXPECT_EQ(changes, 2) << "the handler took the key";
    list->OpenSelected();
    EXPECT_EQ(Lines(*list).front(), "C:\\");
    EXPECT_EQ(list->DirPath(), "C:\\");
}

TEST_F(BrowseTest, DirectoryListMovesItsFileListAndLabel) {
    folder_.Write("A/a.wav", "x");
    folder_.Write("B/b.wav", "x");
    ChangeDirectory(folder_.WindowsPath());
    auto* dirs = Place<TDirectoryListBox>();
    auto* files = new TFileListBox(&host_);
    files->SetParent(&host_);
    files->SetBounds(210, 0, 150, 200);
    int fileReads = 0;
    files->OnChange = [&](TObject*) { ++fileReads; };

    dirs->SetFileList(files);
    EXPECT_EQ(files->DirList(), dirs);
    dirs->SetDirPath(folder_.WindowsPath("A"));
    EXPECT_EQ(files->DirPath(), folder_.WindowsPath("A"));
    EXPECT_EQ(Lines(*files), Strings{"a.wav"});
    files->SetDirPath(folder_.WindowsPath("B"));
    dirs->SetDirPath(folder_.WindowsPath("B"));
    EXPECT_EQ(fileReads, 2) << "the file list was in the folder already";
    files->SetChosenFile(folder_.WindowsPath("A\\a.wav"));
    EXPECT_EQ(dirs->DirPath(), folder_.WindowsPath("A"));
    EXPECT_EQ(files->SelectedName(), "a.wav");

    auto* label = new TLabel(&host_);
    label->SetParent(&host_);
    label->SetAutoSize(false);
    label->SetWidth(2000);
    dirs->SetDirLabel(label);
    EXPECT_EQ(label->Caption(), folder_.WindowsPath("A"));
    label->SetWidth(1);
    dirs->SetDirPath(folder_.WindowsPath("B"));
    EXPECT_EQ(label->Caption(), "B");

    delete files;
    delete label;
    EXPECT_EQ(dirs->FileList(), nullptr);
    EXPECT_EQ(dirs->DirLabel(), nullptr);
    dirs->SetDirPath(folder_.WindowsPath());
    auto* other = new TFileListBox(&host_);
    dirs->SetFileList(other);
    dirs->SetFileList(nullptr);
    EXPECT_EQ(other->DirList(), nullptr);
}

TEST_F(BrowseTest, DirectoryListHandlesLinksUnusualNamesRemovedFoldersAndLongPaths) {
    for (const char* name : {"Gone/sub", "real/inner", "日本語", "\xff\xfe", "back\\slash", "Disc 1: Live", "Who?"})
        folder_.MakeFolder(name);
    ASSERT_EQ(symlink("real", (folder_.Path() / "tolink").c_str()), 0);
    const std::string deep = MakeDeepFolder(folder_, 4000);
    ChangeDirectory(folder_.WindowsPath());
    auto* list = Place<TDirectoryListBox>();
    const int32_t current = list->ItemIndex();
    const Strings lines = Lines(*list);
    Strings subdirectories(lines.begin() + current + 1, lines.end());
    std::sort(subdirectories.begin(), subdirectories.end());
    EXPECT_EQ(subdirectories, (Strings{"Disc 1: Live", "Gone", "Who?", deep.substr(0, 200), "back\uF05Cslash", "real",
                                       "tolink", "日本語", "\xff\xfe"}));

    list->SetDirPath(list->LevelPath(LineOf(*list, "tolink")));
    EXPECT_EQ(list->DirPath(), folder_.WindowsPath("real")) << "a link leads to where it points";
    for (const char* name : {"日本語", "\xff\xfe", "back\uF05Cslash", "Disc 1: Live", "Who?"}) {
        list->SetDirPath(folder_.WindowsPath(name));
        EXPECT_EQ(list->DirPath(), folder_.WindowsPath(name));
        DispatchPending();
        EXPECT_EQ(list->LevelPath(list->ItemIndex() - 1), folder_.WindowsPath());
    }

    list->SetDirPath(folder_.WindowsPath("Gone"));
    std::filesystem::remove_all(folder_.Path() / "Gone");
    const Strings before = Lines(*list);
    list->SetItemIndex(LineOf(*list, "sub"));
    try {
        list->OpenSelected();
        ADD_FAILURE() << "opened a folder that was removed";
    } catch (const EInOutError& error) {
        EXPECT_TRUE(error.ErrorCode() == 2 || error.ErrorCode() == 3) << error.ErrorCode();
    }
    EXPECT_EQ(Lines(*list), before);
    EXPECT_EQ(list->DirPath(), folder_.WindowsPath("Gone"));

    const std::string deepFolder = folder_.WindowsPath(deep);
    ASSERT_EQ(deepFolder.size(), 4002u);
    list->SetDirPath(deepFolder);
    EXPECT_EQ(Lines(*list), LevelLines(deepFolder));
    EXPECT_EQ(list->LevelPath(list->ItemIndex() - 1), deepFolder.substr(0, deepFolder.rfind('\\')));
    DispatchPending();
    list->SetItemIndex(0);
    list->OpenSelected();
    EXPECT_EQ(list->DirPath(), "C:\\");
}

namespace {

// Runs without the superuser's rights; returns a bit for every check that failed.
int EnterUnreadableFolders(const std::string& root) {
    try {
        TBrowseHost host(nullptr);
        host.HandleNeeded();
        ChangeDirectory(root);
        auto* list = new TDirectoryListBox(&host);
        list->SetParent(&host);
        const Strings before = Lines(*list);
        int failed = 0;
        for (const char* name : {"\\locked", "\\passable"}) {
            try {
                list->SetDirPath(root + name);
                failed |= 1;
            } catch (const EInOutError& error) {
                if (error.ErrorCode() != 5 || error.Message() != "ファイルへのアクセスが拒否されました") failed |= 2;
            }
            if (Lines(*list) != before || list->DirPath() != root || CurrentDirectory() != root) failed |= 4;
        }
        return failed;
    } catch (...) {
        return 128;
    }
}

}  // namespace

TEST_F(BrowseTest, DirectoryListReportsFoldersItMayNotReadAndStaysWhereItWas) {
    folder_.MakeFolder("locked/inner");
    folder_.MakeFolder("passable/inner");
    chmod(folder_.Path().c_str(), 0755);  // others may pass through to the folders under test
    chmod((folder_.Path() / "locked").c_str(), 0);
    chmod((folder_.Path() / "passable").c_str(), 0311);  // may be entered, not read
    EXPECT_EQ(RunWithoutPrivileges(EnterUnreadableFolders, folder_.WindowsPath()), 0);
}

TEST_F(BrowseTest, DirectoryLabelShortensThePathFromTheFront) {
    HDC dc = GetDC(nullptr);
    {
        TCanvas canvas;
        TCanvasLoan loan(canvas, dc);
        for (const char* expected : {"C:\\Music\\Jazz", "C:\\...\\Jazz", "...\\Jazz", "Jazz"})
            EXPECT_EQ(ShortenPath("C:\\Music\\Jazz", canvas, canvas.TextWidth(expected)), expected);
        EXPECT_EQ(ShortenPath("C:\\Music\\Jazz", canvas, 0), "Jazz");
        // A folder whose name starts with "." is a folder like any other, not the mark of an earlier step.
        EXPECT_EQ(ShortenPath("C:\\.a\\Music\\Jazz", canvas, canvas.TextWidth("C:\\...\\Music\\Jazz")),
                  "C:\\...\\Music\\Jazz");
    }
    ReleaseDC(nullptr, dc);
}

TEST_F(BrowseTest, DirectoryListReadsItsLayoutProperties) {
    folder_.MakeFolder("A");
    ChangeDirectory(folder_.WindowsPath());
    auto* list = Place<TDirectoryListBox>();
    auto* files = new TFileListBox(&host_);
    files->SetName("Files");
    auto* label = new TLabel(&host_);
    label->SetName("Where");
    int changes = 0;
    THandlers handlers{{"DirChange", TNotifyEvent([&](TObject*) { ++changes; })}};
    TLayoutContext context(host_, handlers);
    auto read = [&](std::string_view name, std::string_view json) {
        return list->ReadProperty(name, TLayoutValue::Parse(json), context);
    };

    EXPECT_TRUE(read("OnChange", "\"DirChange\""));
    EXPECT_TRUE(read("FileList", "\"Files\""));
    EXPECT_TRUE(read("DirLabel", "\"Where\""));
    EXPECT_TRUE(read("ItemHeight", "20"));
    EXPECT_FALSE(read("DirPath", "\"C:\\\\\""));
    EXPECT_FALSE(read("DriveLetter", "\"C\""));
    EXPECT_EQ(list->FileList(), nullptr);
    context.RunLaterSteps();
    EXPECT_EQ(list->FileList(), files);
    EXPECT_EQ(list->DirLabel(), label);
    EXPECT_EQ(list->ItemHeight(), 20);
    list->SetDirPath(folder_.WindowsPath("A"));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(files->DirPath(), folder_.WindowsPath("A"));
}
