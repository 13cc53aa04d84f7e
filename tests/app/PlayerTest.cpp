// The player at work on the virtual clock: playing a folder through, the play styles and repeat, the end test,
// pausing and seeking with the slider, a file that cannot be opened, and playing on under a modal box.

#include <algorithm>

#include "app/AboutBox.h"
#include "frame/Application.h"
#include "platform/mci/MciSystem.h"
#include "platform/testing/Desktop.h"
#include "tests/app/PlayerFixture.h"
#include "tests/frame/FrameFixture.h"
#include "tests/support/MediaFixtures.h"

using namespace platform::testing;
using namespace std::chrono_literals;

namespace {

const std::string kTitle = "Korvo Music Player";

std::string TitleWith(const std::string& name) { return kTitle + " - " + name; }

bool BrowsingEnabled(TKorvo& korvo) {
    return korvo.DriveComboBox->Enabled() && korvo.DirectoryListBox->Enabled() && korvo.sbnSetEnv->Enabled();
}

bool BrowsingLocked(TKorvo& korvo) {
    return !korvo.DriveComboBox->Enabled() && !korvo.DirectoryListBox->Enabled() && !korvo.sbnSetEnv->Enabled();
}

TEST(PlayerTime, MinutesAndSecondsAreRightAlignedInTwoPlaces) {
    EXPECT_EQ(TKorvo::FormatTime(0), " 0: 0");
    EXPECT_EQ(TKorvo::FormatTime(999), " 0: 0");
    EXPECT_EQ(TKorvo::FormatTime(59999), " 0:59");
    EXPECT_EQ(TKorvo::FormatTime(60000), " 1: 0");
    EXPECT_EQ(TKorvo::FormatTime(187000), " 3: 7");
    EXPECT_EQ(TKorvo::FormatTime(6000000), "100: 0") << "longer than the two places";
    EXPECT_EQ(TKorvo::FormatTime(INT32_MAX), "35791:23");
    // Both parts are 16-bit counts: a position before the start wraps its seconds, as the print of them did.
    EXPECT_EQ(TKorvo::FormatTime(-1000), " 0:65535");
}

TEST_F(PlayerTest, SequentialPlayGoesToTheEndOfTheListAndPlayThenOpensTheSelectedEntryAgain) {
    const std::string capture = (program_.Path() / "captured.wav").string();
    std::string error;
    ASSERT_TRUE(platform::mci::MciSystem::Get().UseOutput({"capture", kRate, capture}, error)) << error;
    const double frequencies[] = {330, 550, 770};
    WriteWave("a.wav", 300, frequencies[0]);
    WriteWave("b.wav", 300, frequencies[1]);
    WriteWave("c.wav", 300, frequencies[2]);
    TKorvo& korvo = Start();

    DoubleClickLine(0);
    EXPECT_TRUE(Playing());
    EXPECT_EQ(Transport(), "01101");
    EXPECT_TRUE(BrowsingLocked(korvo));
    const auto captions = CaptionsUntil([&] { return korvo.MediaPlayer->DeviceHandle() == 0; });
    EXPECT_EQ(captions, (std::vector<std::string>{TitleWith("a.wav"), TitleWith("b.wav"), TitleWith("c.wav"), kTitle}));
    EXPECT_EQ(Selected(), "c.wav") << "the selection stays on the last entry";
    EXPECT_EQ(Transport(), "10010");
    EXPECT_TRUE(BrowsingEnabled(korvo));
    EXPECT_FALSE(korvo.Timer->Enabled());

    // The device is closed, and play opens the selected entry again rather than failing for want of it.
    Press(korvo.sbnPlay);
    EXPECT_TRUE(Playing());
    EXPECT_EQ(Caption(), TitleWith("c.wav"));
    EXPECT_EQ(Transport(), "01110");
    EXPECT_TRUE(RunUntil([&] { return Caption() == kTitle; }));
    EXPECT_TRUE(boxes_.empty());

    Discard();
    RunFor(100ms);
    ASSERT_TRUE(platform::mci::MciSystem::Get().UseOutput({"null", kRate, {}}, error)) << error;
    int rate = 0, channels = 0;
    const std::vector<float> captured = ReadSound(capture, rate, channels);
    // The first tenth of a second of each file, in the order played.
    size_t at = 0;
    for (int file : {0, 1, 2, 2}) {
        SCOPED_TRACE(file);
        std::optional<size_t> found = FindSamples(captured, Tone(kRate, 2, kRate / 10, frequencies[file]), at);
        ASSERT_TRUE(found);
        at = *found + 1;
    }
}

TEST_F(PlayerTest, AOneFilePlaylistHasNeitherPreviousNorNext) {
    WriteWave("only.wav", 200);
    TKorvo& korvo = Start();
    EXPECT_EQ(Transport(), "10000");
    DoubleClickLine(0);
    EXPECT_EQ(Transport(), "01100");
    RunFor(100ms);
    EXPECT_EQ(Transport(), "01100") << "the timer's tick keeps them off";
    EXPECT_TRUE(RunUntil([&] { return Caption() == kTitle; }));
    EXPECT_EQ(Transport(), "10000");
    EXPECT_EQ(korvo.ListBox->ItemIndex(), 0);
}

TEST_F(PlayerTest, RandomWithRepeatShufflesAgainAtTheEndOfTheList) {
    const std::vector<std::string> files{"a.wav", "b.aif", "c.mp3", "d.mid", "e.wav", "f.wav"};
    WriteWave("a.wav", 150);
    WriteAiff("b.aif", 150);
    WriteMp3("c.mp3", 150);
    WriteMidi("d.mid");
    WriteWave("e.wav", 150);
    WriteWave("f.wav", 150);
    WriteSettings("[Play]\nStyle=2\nRepeat=1\n");
    TKorvo& korvo = Start();
    EXPECT_EQ(korvo.lblMode->Caption(), "Mode  Random Repeat");
    const std::vector<std::string> firstOrder = Lines();

    // The second entry, so that the click opens it: the first build opened the first file in name order.
    DoubleClickLine(1);
    // Each start by its caption and line: a new order may begin with the file that ended the old one.
    std::vector<std::string> played;
    int32_t line = -1;
    EXPECT_TRUE(RunUntil([&] {
        if (played.empty() || played.back() != Caption() || korvo.ListBox->ItemIndex() != line) {
            played.push_back(Caption());
            line = korvo.ListBox->ItemIndex();
        }
        return played.size() == files.size();
    }));
    // The rest of the list in its shuffled order, then the first entry of a new order.
    const std::vector<std::string> secondOrder = Lines();
    ASSERT_EQ(played.size(), files.size());
    for (size_t i = 1; i < files.size(); ++i) EXPECT_EQ(played[i - 1], TitleWith(firstOrder[i]));
    EXPECT_EQ(played.back(), TitleWith(secondOrder[0]));
    std::vector<std::string> sorted = secondOrder;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, files);
    EXPECT_NE(secondOrder, firstOrder);
    EXPECT_EQ(korvo.ListBox->ItemIndex(), 0);
    EXPECT_TRUE(Playing());
    EXPECT_TRUE(korvo.Timer->Enabled());
    EXPECT_TRUE(boxes_.empty());
}

TEST_F(PlayerTest, OneFileStyleStopsAtTheStartOrRepeatsTheSameFile) {
    WriteWave("a.wav", 300);
    WriteWave("b.wav", 300);
    WriteSettings("[Play]\nStyle=1\n");
    TKorvo& korvo = Start();

    DoubleClickLine(0);
    EXPECT_TRUE(BrowsingLocked(korvo));
    EXPECT_TRUE(RunUntil([&] { return korvo.sbnPlay->Enabled(); }));
    // Back at the start, open and stopped, with the browsing controls free and the timer still running.
    EXPECT_EQ(Caption(), TitleWith("a.wav"));
    EXPECT_EQ(PlayPauseStop(), "100");
    EXPECT_NE(korvo.MediaPlayer->DeviceHandle(), 0u);
    EXPECT_EQ(korvo.MediaPlayer->PlayPosition(), 0);
    EXPECT_EQ(korvo.TrackBar->Position(), 0);
    EXPECT_EQ(korvo.lblPosition->Caption(), "Time  0: 0");
    EXPECT_TRUE(BrowsingEnabled(korvo));
    EXPECT_TRUE(korvo.Timer->Enabled());
    RunFor(500ms);
    EXPECT_FALSE(Playing());
    EXPECT_EQ(Selected(), "a.wav");

    // With repeat the same entry starts again at each end.
    WriteSettings("[Play]\nStyle=1\nRepeat=1\n");
    Start();
    DoubleClickLine(1);
    int restarts = 0;
    int32_t last = 0;
    bool stayed = true;
    EXPECT_TRUE(RunUntil([&] {
        int32_t position = korvo_->MediaPlayer->PlayPosition();
        if (position < last) ++restarts;
        last = position;
        stayed = stayed && Caption() == TitleWith("b.wav") && Selected() == "b.wav";
        return restarts == 2;
    }));
    EXPECT_TRUE(stayed);
    EXPECT_TRUE(Playing());
    EXPECT_TRUE(boxes_.empty());
}

TEST_F(PlayerTest, AnAiffFileEndsOneMillisecondShortOfItsLengthAndAnMp3DoesNot) {
    WriteAiff("a.aif", 1000);
    WriteMp3("b.mp3", 1000);
    WriteSettings("[Play]\nStyle=1\n");  // a file that ends goes back to its start and the timer keeps watching
    TKorvo& korvo = Start();
    TMediaPlayer& device = *korvo.MediaPlayer;

    auto playToTheEnd = [&](int line) {
        DoubleClickLine(line);
        ASSERT_TRUE(Playing());
        ASSERT_TRUE(RunUntil([&] { return korvo.sbnPlay->Enabled(); }));
        ASSERT_EQ(device.PlayPosition(), 0);
    };
    // The slider moved by the user while nothing plays seeks the device.
    auto seekTo = [&](int32_t position) {
        korvo.TrackBar->SetPosition(position);
        EXPECT_EQ(device.PlayPosition(), position);
        RunFor(50ms);
    };

    playToTheEnd(0);
    const int32_t aiffLength = device.MediaLength();
    seekTo(aiffLength - 1);
    EXPECT_EQ(device.PlayPosition(), 0) << "counted as ended";
    EXPECT_EQ(korvo.TrackBar->Position(), 0);

    playToTheEnd(1);
    const int32_t mp3Length = device.MediaLength();
    seekTo(mp3Length - 1);
    EXPECT_EQ(device.PlayPosition(), mp3Length - 1) << "not ended";
    EXPECT_EQ(korvo.TrackBar->Position(), mp3Length - 1);
    seekTo(mp3Length);
    EXPECT_EQ(device.PlayPosition(), 0);
    EXPECT_TRUE(boxes_.empty());
}

TEST_F(PlayerTest, AClickOnTheSliderPausesAndDraggingItSeeks) {
    WriteWave("a.wav", 3000);
    WriteWave("b.wav", 200);
    TKorvo& korvo = Start();
    TMediaPlayer& device = *korvo.MediaPlayer;
    HWND slider = korvo.TrackBar->Handle();
    auto thumbCentre = [&] {
        RECT thumb{};
        SendMessageA(slider, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
        return POINT{(thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2};
    };

    DoubleClickLine(0);
    RunFor(1000ms);
    POINT at = thumbCentre();
    Click(slider, at.x, at.y);
    DispatchPending();
    EXPECT_EQ(device.DeviceMode(), mdPaused);
    EXPECT_EQ(PlayPauseStop(), "010");
    EXPECT_FALSE(korvo.AutoAdvance());
    EXPECT_FALSE(korvo.Timer->Enabled());
    EXPECT_TRUE(korvo.pnlButtons->Focused()) << "so the next click on the slider pauses again";
    const int32_t paused = device.PlayPosition();
    EXPECT_NEAR(paused, 1000, 100);
    RunFor(300ms);
    EXPECT_EQ(device.PlayPosition(), paused);

    // Dragging the thumb to three quarters of the way seeks there.
    at = thumbCentre();
    RECT client{};
    GetClientRect(slider, &client);
    MouseDown(slider, at.x, at.y);
    MouseMove(slider, at.x + (client.right * 3 / 4 - at.x) / 2, at.y);
    MouseMove(slider, client.right * 3 / 4, at.y);
    MouseUp(slider, client.right * 3 / 4, at.y);
    DispatchPending();
    const int32_t sought = korvo.TrackBar->Position();
    EXPECT_NEAR(sought, 2250, 150);
    EXPECT_EQ(device.PlayPosition(), sought);
    EXPECT_EQ(korvo.lblPosition->Caption(), "Time " + TKorvo::FormatTime(sought));
    EXPECT_FALSE(Playing());

    // The pause button resumes from there, and a file resumed with it advances at its end.
    Press(korvo.sbnPause);
    EXPECT_TRUE(Playing());
    EXPECT_TRUE(korvo.AutoAdvance());
    EXPECT_EQ(PlayPauseStop(), "011");
    RunFor(300ms);
    EXPECT_NEAR(device.PlayPosition(), sought + 300, 100);
    EXPECT_TRUE(RunUntil([&] { return Caption() == TitleWith("b.wav"); }));
    EXPECT_TRUE(boxes_.empty());
}

TEST_F(PlayerTest, PausingDisarmsTheAdvanceUntilPlaybackResumesWithThePauseButton) {
    WriteWave("a.wav", 300);
    WriteWave("b.wav", 300);
    WriteWave("c.wav", 300);
    TKorvo& korvo = Start();

    DoubleClickLine(0);
    RunFor(100ms);
    Press(korvo.sbnPause);
    EXPECT_FALSE(korvo.AutoAdvance());
    // Another entry while paused: opened and stopped, the browsing controls still locked.
    ClickLine(1);
    EXPECT_EQ(Caption(), TitleWith("b.wav"));
    EXPECT_EQ(PlayPauseStop(), "100");
    EXPECT_TRUE(BrowsingLocked(korvo));

    // Started with play, it runs to its end and stays there.
    Press(korvo.sbnPlay);
    EXPECT_TRUE(Playing());
    EXPECT_TRUE(RunUntil([&] { return !Playing(); }));
    RunFor(300ms);
    EXPECT_EQ(Caption(), TitleWith("b.wav"));
    EXPECT_EQ(Selected(), "b.wav");
    EXPECT_EQ(korvo.MediaPlayer->PlayPosition(), korvo.MediaPlayer->MediaLength());

    // Resumed with pause, it plays again and moves on at its end.
    Press(korvo.sbnPause);
    EXPECT_TRUE(Playing());
    EXPECT_TRUE(korvo.AutoAdvance());
    EXPECT_TRUE(RunUntil([&] { return Caption() == TitleWith("c.wav"); }));
    EXPECT_TRUE(RunUntil([&] { return Caption() == kTitle; }));
    EXPECT_TRUE(boxes_.empty());

    // Another entry clicked while playing: the playing file is closed and the new one opened, still locked.
    DoubleClickLine(0);
    RunFor(100ms);
    ClickLine(2);
    EXPECT_EQ(Caption(), TitleWith("c.wav"));
    EXPECT_FALSE(Playing());
    EXPECT_EQ(PlayPauseStop(), "100");
    EXPECT_TRUE(BrowsingLocked(korvo));

    // Stop keeps the position and frees the browsing controls.
    Press(korvo.sbnPlay);
    RunFor(100ms);
    Press(korvo.sbnStop);
    EXPECT_FALSE(Playing());
    EXPECT_NEAR(korvo.MediaPlayer->PlayPosition(), 100, 60);
    EXPECT_EQ(PlayPauseStop(), "100");
    EXPECT_TRUE(BrowsingEnabled(korvo));
    EXPECT_FALSE(korvo.Timer->Enabled());
}

TEST_F(PlayerTest, ADamagedFileShowsOneErrorAndThePlayerGoesOn) {
    WriteWave("a.wav", 200);
    WriteFile("b.mp3", std::string(5000, '\x5A'));
    WriteWave("c.wav", 200);
    TKorvo& korvo = Start();

    DoubleClickLine(0);
    EXPECT_TRUE(RunUntil([&] { return !boxes_.empty(); }));
    RunFor(500ms);
    ASSERT_EQ(boxes_.size(), 1u) << "the failed open stopped the timer";
    // The device's own text for the file, with the error box's closing stop.
    MCI_OPEN_PARMSA open{};
    const std::string damaged = home_.WindowsPath("Music/b.mp3");
    open.lpstrElementName = damaged.c_str();
    MCIERROR failure = mciSendCommandA(0, MCI_OPEN, MCI_OPEN_ELEMENT | MCI_WAIT, reinterpret_cast<DWORD_PTR>(&open));
    char text[512] = {};
    ASSERT_NE(failure, 0u);
    ASSERT_TRUE(mciGetErrorStringA(failure, text, sizeof text));
    EXPECT_EQ(boxes_[0], std::string(text) + ".");
    EXPECT_EQ(Caption(), TitleWith("b.mp3")) << "the steps before the failure stay done";
    EXPECT_EQ(Selected(), "b.mp3");
    EXPECT_EQ(korvo.MediaPlayer->DeviceHandle(), 0u);

    // The user steps past it and plays on.
    Press(korvo.sbnNext);
    EXPECT_EQ(Caption(), TitleWith("c.wav"));
    EXPECT_EQ(Transport(), "10010");
    Press(korvo.sbnPlay);
    EXPECT_TRUE(Playing());
    EXPECT_TRUE(RunUntil([&] { return Caption() == kTitle; }));
    EXPECT_EQ(boxes_.size(), 1u);

    // Choosing the damaged entry while the timer runs: one more box, not one for every tick after it.
    DoubleClickLine(0);
    RunFor(50ms);
    ClickLine(1);
    RunFor(300ms);
    EXPECT_EQ(boxes_.size(), 2u);
    EXPECT_EQ(Caption(), TitleWith("b.mp3"));
    EXPECT_EQ(korvo.MediaPlayer->DeviceHandle(), 0u);
}

TEST_F(PlayerTest, AFirstFileThatCannotBeOpenedAtStartLeavesTheSettingsReadAndPlayReady) {
    WriteFile("a.mp3", std::string(5000, '\x5A'));
    WriteWave("b.wav", 200);
    WriteSettings("[Play]\nStyle=1\nRepeat=1\n[MainWindow]\nTop=40\nLeft=50\n[File]\nMask=*.wav\n");
    TKorvo& korvo = Start();
    RunFor(100ms);
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(korvo.PlayStyle(), 1) << "the settings after the folder are read all the same";
    EXPECT_TRUE(korvo.RepeatOn());
    EXPECT_EQ(korvo.FileListBox->Mask(), "*.wav");
    EXPECT_EQ(korvo.Top(), 40);
    EXPECT_EQ(korvo.lblMode->Caption(), "Mode  Single Repeat");
    EXPECT_EQ(Transport(), "10001") << "play tries the entry again; the next one is a step away";

    Press(korvo.sbnPlay);
    EXPECT_EQ(boxes_.size(), 2u) << "the damaged file is opened again, and refused again";
    Press(korvo.sbnNext);
    Press(korvo.sbnPlay);
    EXPECT_TRUE(Playing());
}

TEST_F(PlayerTest, WithoutASoundDeviceTheFirstOpenSaysSoAndPlayThenPlaysInSilence) {
    WriteWave("a.wav", 2000);
    {
        EnvironmentGuard noDriver("SDL_AUDIODRIVER", "no-such-driver");
        std::string error;
        ASSERT_TRUE(platform::mci::MciSystem::Get().UseOutput({"sdl", 0, {}}, error)) << error;
    }
    TKorvo& korvo = Start();
    RunFor(100ms);
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0], "音声出力装置を開けません。これからは音を出さずに再生します。.");
    EXPECT_EQ(korvo.MediaPlayer->DeviceHandle(), 0u);

    Press(korvo.sbnPlay);
    EXPECT_EQ(boxes_.size(), 1u) << "said once";
    EXPECT_TRUE(Playing());
    RunFor(1000ms);
    EXPECT_GE(korvo.TrackBar->Position(), 900) << "the position moves in real time";
    EXPECT_EQ(korvo.lblPosition->Caption(), "Time  0: 1");
}

TEST_F(PlayerTest, PlaybackMovesOnWhileTheAboutBoxIsOpen) {
    WriteWave("a.wav", 200);
    WriteWave("b.wav", 2000);
    TKorvo& korvo = Start();
    DoubleClickLine(0);

    bool shown = false;
    std::string captionInBox;
    std::vector<std::function<void()>> steps{[&] { shown = AboutBox && AboutBox->Visible(); }};
    for (int i = 0; i < 15; ++i) steps.push_back([] {});  // 20 ms each: past the end of the first file
    steps.push_back([&] {
        captionInBox = Caption();
        PressKey(VK_RETURN);
    });
    Script script(std::move(steps));
    Press(korvo.sbnAbout);
    EXPECT_TRUE(shown);
    EXPECT_EQ(captionInBox, TitleWith("b.wav"));
    EXPECT_EQ(AboutBox, nullptr) << "the box lives for one showing";
    EXPECT_TRUE(Playing());
}

}  // namespace
