// The player after something fails: a file that cannot be opened when playback reaches it, a folder that goes
// away under a playing file, a stick pulled under it, a first open that fails at start, and files with nothing in
// them. Whatever fails, the error shows once and the player is left stopped on the entry, with every way on open.

#include <filesystem>
#include <fstream>

#include "frame/Application.h"
#include "platform/mci/MciSystem.h"
#include "platform/testing/Desktop.h"
#include "platform/testing/FakeVolumes.h"
#include "tests/app/PlayerFixture.h"

using namespace platform::testing;
using namespace std::chrono_literals;

namespace {

const std::string kTitle = "Korvo Music Player";
const std::string kNoDevice = "MCI デバイスがありません.";

std::string TitleWith(const std::string& name) { return kTitle + " - " + name; }

bool BrowsingEnabled(TKorvo& korvo) {
    return korvo.DriveComboBox->Enabled() && korvo.DirectoryListBox->Enabled() && korvo.sbnSetEnv->Enabled();
}

// A key typed to the main window, which pauses and resumes as the pause button does.
void TypeKey(TKorvo& korvo, char key) {
    PostMessageA(korvo.Handle(), WM_CHAR, static_cast<WPARAM>(static_cast<unsigned char>(key)), 0);
    DispatchPending();
}

class PlayerFailureTest : public PlayerTest {
  protected:
    // Stopped on the entry that failed: play ready to try it again, its neighbours a step away, nothing ticking
    // and the folder browser free.
    void ExpectStoppedOn(const std::string& name, const std::string& transport) {
        EXPECT_EQ(Selected(), name);
        EXPECT_EQ(Caption(), TitleWith(name)) << "the steps before the failure stay done";
        EXPECT_EQ(korvo_->MediaPlayer->DeviceHandle(), 0u);
        EXPECT_EQ(Transport(), transport);
        EXPECT_FALSE(korvo_->Timer->Enabled());
        EXPECT_TRUE(BrowsingEnabled(*korvo_));
    }
};

struct Scenario {
    uint8_t style;
    bool repeat;
    bool atEnd;  // the damaged entry is the last of the list, else the middle one
};

}  // namespace

TEST_F(PlayerFailureTest, AFileThatCannotBeOpenedWhenPlaybackReachesItStopsThePlayerOnIt) {
    for (Scenario scenario : {Scenario{0, false, false}, Scenario{0, false, true}, Scenario{0, true, false},
                              Scenario{0, true, true}, Scenario{2, false, false}, Scenario{2, false, true},
                              Scenario{2, true, false}, Scenario{2, true, true}}) {
        SCOPED_TRACE(testing::Message() << "style " << int{scenario.style} << (scenario.repeat ? " repeat" : "")
                                        << (scenario.atEnd ? ", last entry" : ", middle entry"));
        boxes_.clear();
        for (const char* name : {"a.wav", "b.wav", "c.wav"}) WriteWave(name, 150);
        WriteSettings("[Play]\nStyle=" + std::to_string(scenario.style) + "\nRepeat=" + (scenario.repeat ? "1" : "0") +
                      "\n");
        TKorvo& korvo = Start();
        // The entry is damaged once the list is made, so that it lies where the scenario wants it in any order.
        const std::vector<std::string> order = Lines();
        const int damaged = scenario.atEnd ? 2 : 1;
        WriteFile(order[damaged], std::string(5000, '\x5A'));

        DoubleClickLine(damaged - 1);
        ASSERT_TRUE(Playing());
        ASSERT_TRUE(RunUntil([&] { return !boxes_.empty(); }));
        RunFor(300ms);
        ASSERT_EQ(boxes_.size(), 1u) << "one box, not one a tick";
        ExpectStoppedOn(order[damaged], scenario.atEnd ? "10010" : "10011");

        // Stop and pause are off, and a key (which pauses and resumes) opens the entry again, as play does:
        // nothing reports a device that the player closed itself.
        Press(korvo.sbnStop);
        Press(korvo.sbnPause);
        TypeKey(korvo, 'p');
        ASSERT_EQ(boxes_.size(), 2u);
        EXPECT_EQ(boxes_[1], boxes_[0]) << "the file is refused again";
        ExpectStoppedOn(order[damaged], scenario.atEnd ? "10010" : "10011");

        // A neighbour opens and plays.
        Press(scenario.atEnd ? korvo.sbnPrev : korvo.sbnNext);
        EXPECT_EQ(Selected(), order[scenario.atEnd ? 1 : 2]);
        Press(korvo.sbnPlay);
        EXPECT_TRUE(Playing());
        Press(korvo.sbnStop);
        EXPECT_EQ(boxes_.size(), 2u);
        for (const std::string& box : boxes_) EXPECT_NE(box, kNoDevice);
        std::filesystem::remove_all(MusicFolder());
    }
}

TEST_F(PlayerFailureTest, AFolderRemovedUnderThePlayingFileStopsThePlayerAtItsEnd) {
    WriteWave("a.wav", 200);
    WriteWave("b.wav", 200);
    TKorvo& korvo = Start();
    DoubleClickLine(0);
    RunFor(50ms);
    std::filesystem::rename(MusicFolder(), home_.Path() / "Renamed");

    ASSERT_TRUE(RunUntil([&] { return !boxes_.empty(); }));
    RunFor(300ms);
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0], "ファイルが見つかりません.");
    ExpectStoppedOn("b.wav", "10010");
    TypeKey(korvo, 'p');
    EXPECT_EQ(boxes_.size(), 2u) << "the folder is still gone";
    Press(korvo.sbnPrev);
    EXPECT_EQ(boxes_.size(), 3u);
    for (const std::string& box : boxes_) EXPECT_NE(box, kNoDevice);

    // The folder browser is free to go where the files went.
    korvo.DirectoryListBox->SetDirPath(home_.WindowsPath("Renamed"));
    EXPECT_EQ(Lines(), (std::vector<std::string>{"a.wav", "b.wav"}));
    Press(korvo.sbnPlay);
    EXPECT_TRUE(Playing());
}

TEST_F(PlayerFailureTest, AStickPulledUnderThePlayingFileIsADriveThatIsNotReadyAndTheBrowserStaysFree) {
    WriteWave("a.wav", 200);
    WriteWave("b.wav", 200);
    platform::kernel::Volume stick;
    stick.letter = 'E';
    stick.mountPoint = MusicFolder().string();
    stick.driveType = DRIVE_REMOVABLE;
    platform::testing::FakeVolumeTable table({platform::testing::RootVolume(), stick});
    WriteSettings("[Data]\nDirectory=E:\\\n");
    TKorvo& korvo = Start();
    ASSERT_EQ(korvo.DirectoryListBox->DirPath(), "E:\\");
    DoubleClickLine(0);
    table.Change({platform::testing::RootVolume()});

    // The next entry is on a drive that is not ready: said once, and the player stops on it.
    ASSERT_TRUE(RunUntil([&] { return !boxes_.empty(); }));
    RunFor(300ms);
    ASSERT_EQ(boxes_, std::vector<std::string>{"I/O エラー (21)"});
    ExpectStoppedOn("b.wav", "10010");
    EXPECT_EQ(Lines(), (std::vector<std::string>{"a.wav", "b.wav"})) << "a failed read leaves the lines";

    // The folder browser is free to go elsewhere, and the stick's drive stays not ready.
    korvo.DirectoryListBox->SetDirPath(home_.WindowsPath());
    EXPECT_TRUE(Lines().empty());
    EXPECT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(GetFileAttributesA("E:\\"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_READY));
}

TEST_F(PlayerFailureTest, AFirstOpenThatFailsAtStartStillLetsPlaybackAdvance) {
    WriteFile("a.wav", std::string(5000, '\x5A'));
    WriteWave("b.wav", 200);
    WriteWave("c.wav", 200);
    TKorvo& korvo = Start();
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_TRUE(korvo.AutoAdvance()) << "the folder has files";

    Press(korvo.sbnNext);
    Press(korvo.sbnPlay);
    EXPECT_EQ(CaptionsUntil([&] { return korvo.MediaPlayer->DeviceHandle() == 0; }),
              (std::vector<std::string>{TitleWith("b.wav"), TitleWith("c.wav"), kTitle}));
    EXPECT_EQ(boxes_.size(), 1u);
}

TEST_F(PlayerFailureTest, EmptyFilesNeverKeepThePlayerOpeningOneAfterAnother) {
    WriteWave("a.wav", 2000);
    WriteWave("empty.wav", 0);
    WriteWave("z.wav", 2000);
    TKorvo& korvo = Start();
    ASSERT_EQ(korvo.MediaPlayer->MediaLength(), 2000);

    // Chosen while another file plays, an empty file is opened, not taken as ended.
    DoubleClickLine(0);
    ClickLine(1);
    RunFor(200ms);
    EXPECT_EQ(Caption(), TitleWith("empty.wav"));
    EXPECT_EQ(korvo.MediaPlayer->MediaLength(), 0);
    EXPECT_FALSE(Playing());
    EXPECT_EQ(PlayPauseStop(), "100");

    // Played, it ends at once and playback goes on to the next file.
    Press(korvo.sbnPlay);
    RunFor(100ms);
    EXPECT_EQ(Caption(), TitleWith("z.wav"));
    EXPECT_TRUE(Playing());
    Press(korvo.sbnStop);

    // Repeat over nothing but empty files goes round once, then stops as at the end of the list.
    std::filesystem::remove(MusicFolder() / "a.wav");
    std::filesystem::remove(MusicFolder() / "z.wav");
    WriteWave("empty2.wav", 0);
    WriteSettings("[Play]\nStyle=0\nRepeat=1\n");
    Start();
    DoubleClickLine(0);
    RunFor(300ms);
    EXPECT_EQ(korvo_->MediaPlayer->DeviceHandle(), 0u);
    EXPECT_EQ(Caption(), kTitle);
    EXPECT_EQ(PlayPauseStop(), "100");
    EXPECT_FALSE(korvo_->Timer->Enabled());

    // One file style with repeat: the empty file ends and is not started again.
    WriteSettings("[Play]\nStyle=1\nRepeat=1\n");
    Start();
    DoubleClickLine(0);
    RunFor(300ms);
    EXPECT_FALSE(Playing());
    EXPECT_EQ(PlayPauseStop(), "100");
    EXPECT_EQ(Selected(), "empty.wav");
    EXPECT_TRUE(boxes_.empty());
}
