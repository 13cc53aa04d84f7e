#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "browse/FileListBox.h"
#include "browse/PathRoutines.h"
#include "frame/Screen.h"
#include "framework/Layout.h"
#include "framework/StdCtrls.h"
#include "runtime/Exception.h"
#include "tests/browse/BrowseFixture.h"

using namespace platform::testing;

namespace {

void MakeSocket(const std::filesystem::path& path) {
    int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    close(fd);
}

Strings Sorted(Strings lines) {
    std::sort(lines.begin(), lines.end());
    return lines;
}

}  // namespace

TEST_F(BrowseTest, FileListShowsOnlyMatchingPlainFilesWithTheirStoredCase) {
    for (const char* name : {"b.MP3", "a.wav", "c.txt", ".d.mp3"}) folder_.Write(name, "x");
    folder_.MakeFolder("e.mp3");
    ASSERT_EQ(mkfifo((folder_.Path() / "f.mp3").c_str(), 0600), 0);  // opening it would hang the test
    MakeSocket(folder_.Path() / "g.wav");
    ASSERT_EQ(symlink("a.wav", (folder_.Path() / "h.mp3").c_str()), 0);
    ASSERT_EQ(symlink("nowhere.mp3", (folder_.Path() / "i.mp3").c_str()), 0);
    ASSERT_EQ(symlink("e.mp3", (folder_.Path() / "j.wav").c_str()), 0);
    ChangeDirectory(folder_.WindowsPath());
    auto* list = Place<TFileListBox>();
    int changes = 0;
    list->OnChange = [&](TObject* sender) {
        EXPECT_EQ(sender, list);
        ++changes;
    };

    list->SetMask("*.mp3;*.wav;*.aif;*.au;*.mid");
    EXPECT_EQ(Lines(*list), (Strings{"a.wav", "b.MP3", "h.mp3"}));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(list->ItemIndex(), -1);
    EXPECT_EQ(CurrentDirectory(), folder_.WindowsPath());

    list->SetMask("*.*");
    EXPECT_EQ(Lines(*list), (Strings{"a.wav", "b.MP3", "c.txt", "h.mp3"}));
}

TEST_F(BrowseTest, FileListSearchesEachMaskPieceAsItIs) {
    folder_.Write("a.mp3", "x");
    folder_.Write("B.MP3", "x");
    ChangeDirectory(folder_.WindowsPath());
    auto* list = Place<TFileListBox>();
    int changes = 0;
    list->OnChange = [&](TObject*) { ++changes; };

    list->SetMask("*.mp3;*.MP3");  // the platform's matching ignores case, so both pieces match both files
    EXPECT_EQ(Lines(*list), (Strings{"a.mp3", "a.mp3", "B.MP3", "B.MP3"}));
    list->SetMask("");
    EXPECT_EQ(Lines(*list), Strings{});
    list->SetMask(";");
    EXPECT_EQ(Lines(*list), Strings{});
    EXPECT_EQ(changes, 3);
    list->SetMask(" *.mp3");
    EXPECT_EQ(Lines(*list), Strings{});
    list->SetMask(" *.mp3");
    EXPECT_EQ(changes, 4) << "the same mask does not read again";
    list->Rescan();
    EXPECT_EQ(changes, 5);
}

TEST_F(BrowseTest, FileListListsDirectoriesInBracketsAndDrawsGlyphs) {
    folder_.MakeFolder("sub");
    folder_.MakeFolder(".hidden");
    folder_.Write("a.wav", "x");
    folder_.Write("run.EXE", "x");
    ChangeDirectory(folder_.WindowsPath());
    auto* list = Place<TFileListBox>();

    list->SetFileType(TFileType{TFileAttr::ftDirectory});
    EXPECT_EQ(Sorted(Lines(*list)), (Strings{"[..]", "[.]", "[sub]"}));
    list->SetFileType(TFileType{TFileAttr::ftDirectory, TFileAttr::ftHidden});
    EXPECT_EQ(Sorted(Lines(*list)), (Strings{"[..]", "[.]", "[.hidden]", "[sub]"}));

    list->SetShowGlyphs(true);
    EXPECT_GE(list->ItemHeight(), 16);
    list->SetMask("*.wav;*.exe;sub");
    list->SetFileType(TFileType{TFileAttr::ftNormal, TFileAttr::ftDirectory});
    ASSERT_EQ(Sorted(Lines(*list)), (Strings{"[sub]", "a.wav", "run.EXE"}));
    DispatchPending();
    auto folder = ResourceGlyph("CLOSEDFOLDER");
    auto other = ResourceGlyph("UNKNOWNFILE");
    auto executable = ResourceGlyph("EXECUTABLE");
    for (int32_t i = 0; i < 3; ++i) {
        std::string text = list->Items().LineText(i);
        const TBitmap& glyph = text == "[sub]" ? *folder : text == "a.wav" ? *other : *executable;
        RECT line = list->ItemRect(i);
        EXPECT_TRUE(GlyphDrawnAt(list->Handle(), glyph, line.left + 2, GlyphTop(line, glyph))) << text;
    }
}

TEST_F(BrowseTest, FileListShowsTheHourglassFromThe101stEntryAndPutsTheCursorBack) {
    auto many = folder_.MakeFolder("many");
    for (int i = 0; i < 100; ++i) folder_.Write("many/" + std::to_string(1000 + i) + ".mp3", "x");
    ChangeDirectory(folder_.WindowsPath("many"));
    auto* list = Place<TFileListBox>();
    Screen().SetCursor(crCross);

    int before = Screen().CursorChanges();
    list->Rescan();
    EXPECT_EQ(Screen().CursorChanges() - before, 1) << "100 entries: the cursor is only put back";
    folder_.Write("many/1100.mp3", "x");
    before = Screen().CursorChanges();
    list->Rescan();
    EXPECT_EQ(Screen().CursorChanges() - before, 2) << "the hourglass, then the cursor back";
    EXPECT_EQ(Screen().Cursor(), crCross);

    // A folder removed while it is listed: the read fails before the cursor or the lines are touched.
    std::filesystem::remove_all(many);
    before = Screen().CursorChanges();
    try {
        list->Rescan();
        ADD_FAILURE() << "a removed folder was read";
    } catch (const EInOutError& error) {
        EXPECT_EQ(error.Message(), "ファイルが見つかりません");
    }
    EXPECT_EQ(Screen().CursorChanges(), before);
    EXPECT_EQ(list->Items().LineCount(), 101);
    Screen().SetCursor(crDefault);
}

TEST_F(BrowseTest, FileListReadAgainAtOnceGivesWhatAFreshReadGives) {
    for (const char* name : {"b.mp3", "a.mp3", "c.wav"}) folder_.Write(name, "x");
    ChangeDirectory(folder_.WindowsPath());
    auto* list = Place<TFileListBox>();
    list->SetMask("*.mp3;*.wav");
    int changes = 0;
    list->OnChange = [&](TObject*) { ++changes; };
    list->SetItemIndex(1);
    list->SetTopIndex(1);

    // Read again before anything else happens, as the player's rescan follows a change of folder: the same lines,
    // and no line selected, as after any read.
    list->Rescan();
    EXPECT_EQ(Lines(*list), (Strings{"a.mp3", "b.mp3", "c.wav"}));
    EXPECT_EQ(list->ItemIndex(), -1);
    EXPECT_EQ(list->TopIndex(), 0);
    EXPECT_EQ(changes, 1);
    // A file added and one removed meanwhile are seen at once, whatever message is being handled.
    folder_.Write("0.wav", "x");
    std::filesystem::remove(folder_.Path() / "b.mp3");
    list->Rescan();
    EXPECT_EQ(Lines(*list), (Strings{"0.wav", "a.mp3", "c.wav"}));
    list->SetMask("*.wav");
    EXPECT_EQ(Lines(*list), (Strings{"0.wav", "c.wav"}));
}

TEST_F(BrowseTest, FileListOrdersLinesAsASortedListDoesEvenWhereLongNamesDifferLate) {
    const Strings names = {"Artist Name - Album Title - 01 Intro.mp3", "Artist Name - Album Title - 01 intro.mp3",
                           "artist name - album title - 01 intro.mp3", "Artist Name - Album Title - 01 In-tro.mp3",
                           "Artist Name - Album Title - 1 Intro.mp3",  "Artist Name - Album Title - 10 Intro.mp3",
                           "Artist Name - Album Title - 01 Íntro.mp3", "Artist Name - Album Title - 02.mp3",
                           "a.mp3",                                    "A.mp3",
                           "co-op.mp3",                                "coop.mp3"};
    for (const std::string& name : names) folder_.Write(name, "x");
    ChangeDirectory(folder_.WindowsPath());
    auto* list = Place<TFileListBox>();
    // Each name twice, as two pieces that both match it list it.
    list->SetMask("*.mp3;*.MP3");

    Strings expected;
    for (const std::string& name : names) expected.insert(expected.end(), 2, name);
    std::stable_sort(expected.begin(), expected.end(), [](const std::string& a, const std::string& b) {
        return CompareStringA(LOCALE_USER_DEFAULT, 0, a.c_str(), -1, b.c_str(), -1) == CSTR_LESS_THAN;
    });
    EXPECT_EQ(Lines(*list), expected);
}

TEST_F(BrowseTest, FileListWithoutAWindowReadsNothing) {
    folder_.Write("sub/a.wav", "x");
    ChangeDirectory(folder_.WindowsPath());
    auto* list = new TFileListBox(&host_);
    int changes = 0;
    list->OnChange = [&](TObject*) { ++changes; };
    list->Rescan();
    list->SetMask("*.wav");
    list->SetFileType(TFileType{TFileAttr::ftDirectory});
    EXPECT_EQ(list->SelectedName(), "");
    list->SetDirPath("sub");
    EXPECT_EQ(list->DirPath(), folder_.WindowsPath("sub"));
    EXPECT_EQ(CurrentDirectory(), folder_.WindowsPath("sub"));
    EXPECT_FALSE(list->HandleAllocated());
    EXPECT_EQ(changes, 0);
}

TEST_F(BrowseTest, FileListMovesBetweenFoldersAndKeepsItsListWhenAMoveFails) {
    folder_.Write("Album/one.wav", "x");
    folder_.Write("top.wav", "x");
    ChangeDirectory(folder_.WindowsPath());
    auto* list = Place<TFileListBox>();
    int changes = 0;
    list->OnChange = [&](TObject*) { ++changes; };

    list->SetDirPath("Album");  // taken from the list's own folder
    EXPECT_EQ(list->DirPath(), folder_.WindowsPath("Album"));
    EXPECT_EQ(Lines(*list), Strings{"one.wav"});
    list->SetDirPath(folder_.WindowsPath("Album"));
    EXPECT_EQ(changes, 1) << "the same folder does nothing";

    try {
        list->SetDirPath(folder_.WindowsPath("Missing"));
        ADD_FAILURE() << "moved into a missing folder";
    } catch (const EInOutError& error) {
        EXPECT_EQ(error.ErrorCode(), 2);
        EXPECT_EQ(error.Message(), "ファイルが見つかりません");
    }
    EXPECT_EQ(list->DirPath(), folder_.WindowsPath("Album"));
    EXPECT_EQ(Lines(*list), Strings{"one.wav"});
    EXPECT_EQ(changes, 1);
}

TEST_F(BrowseTest, FileListSelectionNotifiesAndShowsInTheLinkedEdit) {
    folder_.Write("a.wav", "x");
    folder_.Write("b.MP3", "x");
    ChangeDirectory(folder_.WindowsPath());
    auto* list = Place<TFileListBox>();
    auto* edit = new TEdit(&host_);
    edit->SetParent(&host_);
    edit->SetBounds(210, 0, 100, 24);
    int changes = 0;
    list->OnChange = [&](TObject*) { ++changes; };

    list->SetFileEdit(edit);
    EXPECT_EQ(edit->Text(), "*.*");
    list->SelectName("B.mp3");
    EXPECT_EQ(list->SelectedName(), "b.MP3");
    EXPECT_EQ(edit->Text(), "b.MP3");
    EXPECT_EQ(list->ChosenFile(), folder_.WindowsPath("b.MP3"));
    list->SelectName("b.mp3");
    EXPECT_EQ(changes, 1) << "the selected name again does nothing";
    list->SelectName("zzz.mp3");
    EXPECT_EQ(list->ItemIndex(), -1);
    EXPECT_EQ(edit->Text(), "*.*");
    EXPECT_EQ(list->ChosenFile(), "");
    EXPECT_EQ(changes, 2);

    RECT first = list->ItemRect(0);
    Click(list->Handle(), 10, first.top + 2);
    DispatchPending();
    EXPECT_EQ(list->SelectedName(), "a.wav");
    EXPECT_EQ(changes, 3);
    Click(list->Handle(), 10, first.top + 2);
    DispatchPending();
    EXPECT_EQ(changes, 3) << "a click on the selected line changes nothing";

    delete edit;
    EXPECT_EQ(list->FileEdit(), nullptr);
    list->Rescan();
}

TEST_F(BrowseTest, FileListChosenFileMovesSelectsAndWidensTheMask) {
    folder_.Write("Album/a.mp3", "x");
    folder_.Write("Album/x.txt", "x");
    folder_.Write("top.mp3", "x");
    ASSERT_EQ(mkfifo((folder_.Path() / "Album/pipe.mp3").c_str(), 0600), 0);
    ChangeDirectory(folder_.WindowsPath());
    auto* list = Place<TFileListBox>();
    list->SetMask("*.mp3");

    list->SetChosenFile(folder_.WindowsPath("Album\\a.mp3"));
    EXPECT_EQ(list->DirPath(), folder_.WindowsPath("Album"));
    EXPECT_EQ(list->SelectedName(), "a.mp3");
    list->SetChosenFile(folder_.WindowsPath("Album\\x.txt"));
    EXPECT_EQ(list->Mask(), "x.txt") << "the mask gives way to a file it hid";
    EXPECT_EQ(list->SelectedName(), "x.txt");
    list->SetChosenFile(folder_.WindowsPath("*.mp3"));
    EXPECT_EQ(list->DirPath(), folder_.WindowsPath());
    EXPECT_EQ(Lines(*list), Strings{"top.mp3"});

    const std::string pipe = folder_.WindowsPath("Album\\pipe.mp3");
    try {
        list->SetChosenFile(pipe);
        ADD_FAILURE() << "a FIFO was chosen";
    } catch (const EInvalidOperation& error) {
        EXPECT_EQ(error.Message(), "不正なファイル名 - " + pipe);
    }
    EXPECT_THROW(list->SetChosenFile(folder_.WindowsPath("Missing\\a.mp3")), EInOutError);
    EXPECT_THROW(list->SetChosenFile(folder_.WindowsPath("nothing.mp3")), EInOutError);
}

TEST_F(BrowseTest, FileListHandlesUnusualNamesAndLongPaths) {
    for (const char* name :
         {"日本語の歌.mp3", "\xff\xfe.mp3", "back\\slash.mp3", "ok.mp3", "Op. 27: No. 2.mp3", "Who Are You?.mp3"})
        folder_.Write(name, "x");
    const std::string deep = MakeDeepFolder(folder_, 4000);
    folder_.Write(deep + "/deep.mp3", "x");
    ChangeDirectory(folder_.WindowsPath());
    auto* list = Place<TFileListBox>();
    list->SetShowGlyphs(true);

    EXPECT_EQ(Sorted(Lines(*list)),
              Sorted({"日本語の歌.mp3", "\xff\xfe.mp3", "ok.mp3", "back\uF05Cslash.mp3", "Op. 27: No. 2.mp3",
                      "Who Are You?.mp3"}));
    DispatchPending();  // draws every name
    list->SelectName("\xff\xfe.mp3");
    EXPECT_EQ(list->SelectedName(), "\xff\xfe.mp3");
    // A colon after the drive and a wildcard character are parts of a name that a file has.
    for (const char* name : {"日本語の歌.mp3", "Op. 27: No. 2.mp3", "back\uF05Cslash.mp3", "Who Are You?.mp3"}) {
        list->SetChosenFile(folder_.WindowsPath(name));
        EXPECT_EQ(list->ChosenFile(), folder_.WindowsPath(name));
    }
    EXPECT_EQ(list->Mask(), "*.*");

    const std::string deepFolder = folder_.WindowsPath(deep);
    ASSERT_EQ(deepFolder.size(), 4002u);
    list->SetDirPath(deepFolder);
    EXPECT_EQ(list->DirPath(), deepFolder);
    EXPECT_EQ(Lines(*list), Strings{"deep.mp3"});
    list->SelectName("deep.mp3");
    EXPECT_EQ(list->ChosenFile(), deepFolder + "\\deep.mp3");
}

namespace {

// Runs without the superuser's rights; returns a bit for every check that failed.
int ReadUnreadableFolders(const std::string& root) {
    try {
        TBrowseHost host(nullptr);
        host.HandleNeeded();
        ChangeDirectory(root + "\\open");
        auto* list = new TFileListBox(&host);
        list->SetParent(&host);
        const Strings before = Lines(*list);
        int failed = before == Strings{"song.mp3"} ? 0 : 1;
        for (const char* name : {"\\locked", "\\passable"}) {
            try {
                list->SetDirPath(root + name);
                failed |= 2;
            } catch (const EInOutError& error) {
                if (error.ErrorCode() != 5 || error.Message() != "ファイルへのアクセスが拒否されました") failed |= 4;
            }
            if (Lines(*list) != before || list->DirPath() != root + "\\open" || CurrentDirectory() != root + "\\open")
                failed |= 8;
        }
        // The hourglass is up when the unreadable piece fails, and goes again.
        list->SetDirPath(root + "\\many");
        Screen().SetCursor(crCross);
        int changes = Screen().CursorChanges();
        try {
            list->SetMask("*.mp3;..\\locked\\*.mp3");
            failed |= 16;
        } catch (const EInOutError&) {
        }
        if (Screen().Cursor() != crCross || Screen().CursorChanges() - changes != 2) failed |= 32;
        if (list->Items().LineCount() != 101) failed |= 64;
        return failed;
    } catch (...) {
        return 128;
    }
}

}  // namespace

TEST_F(BrowseTest, FileListReportsFoldersItMayNotReadAndKeepsItsList) {
    folder_.Write("open/song.mp3", "x");
    folder_.Write("locked/secret.mp3", "x");
    folder_.Write("passable/secret.mp3", "x");
    for (int i = 0; i < 101; ++i) folder_.Write("many/" + std::to_string(1000 + i) + ".mp3", "x");
    chmod(folder_.Path().c_str(), 0755);  // others may pass through to the folders under test
    chmod((folder_.Path() / "locked").c_str(), 0);
    chmod((folder_.Path() / "passable").c_str(), 0311);  // may be entered, not read
    EXPECT_EQ(RunWithoutPrivileges(ReadUnreadableFolders, folder_.WindowsPath()), 0);
}

TEST_F(BrowseTest, FileListReadsItsLayoutProperties) {
    folder_.Write("a.wav", "x");
    ChangeDirectory(folder_.WindowsPath());
    auto* list = Place<TFileListBox>();
    auto* edit = new TEdit(&host_);
    edit->SetName("NameEdit");
    int changes = 0;
    THandlers handlers{{"ListChange", TNotifyEvent([&](TObject*) { ++changes; })}};
    TLayoutContext context(host_, handlers);
    auto read = [&](std::string_view name, std::string_view json) {
        return list->ReadProperty(name, TLayoutValue::Parse(json), context);
    };

    EXPECT_TRUE(read("OnChange", "\"ListChange\""));
    EXPECT_TRUE(read("Mask", "\"*.wav;*.mp3\""));
    EXPECT_TRUE(read("FileType", "[\"ftReadOnly\", \"ftArchive\"]"));
    EXPECT_TRUE(read("ShowGlyphs", "true"));
    EXPECT_TRUE(read("FileEdit", "\"NameEdit\""));
    EXPECT_TRUE(read("Color", "\"clNavy\""));
    EXPECT_FALSE(read("DirPath", "\"C:\\\\\""));
    EXPECT_EQ(list->Mask(), "*.wav;*.mp3");
    EXPECT_EQ(list->FileType(), (TFileType{TFileAttr::ftReadOnly, TFileAttr::ftArchive}));
    EXPECT_TRUE(list->ShowGlyphs());
    EXPECT_EQ(list->Color(), clNavy);
    EXPECT_EQ(Lines(*list), Strings{"a.wav"});
    EXPECT_EQ(changes, 3) << "the mask, the file types, and the window made again for the glyphs' height";
    EXPECT_EQ(list->FileEdit(), nullptr) << "a link by name waits for every component";
    context.RunLaterSteps();
    EXPECT_EQ(list->FileEdit(), edit);
    EXPECT_THROW(read("FileType", "[\"ftEverything\"]"), EConvertError);
}
