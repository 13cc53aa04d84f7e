// The media device on the headless display and the virtual clock, playing files the tests make, to the null
// output (or a capture of it).

#include <gtest/gtest.h>
#include <sndfile.h>

#include <chrono>
#include <fstream>

#include "frame/Application.h"
#include "frame/Forms.h"
#include "framework/ExtCtrls.h"
#include "framework/Layout.h"
#include "media/MediaPlayer.h"
#include "platform/mci/MciSystem.h"
#include "platform/testing/Desktop.h"
#include "platform/testing/VirtualClock.h"
#include "tests/support/MediaFixtures.h"
#include "tests/support/TempFolder.h"

using namespace platform::testing;
using namespace std::chrono_literals;

namespace {

constexpr int kRate = 44100;

const char* const kPlayerLayout = R"({
  "class": "TForm", "name": "PlayerForm",
  "properties": { "Left": 10, "Top": 10, "ClientWidth": 320, "ClientHeight": 120 },
  "children": [
    { "class": "TMediaPlayer", "name": "MediaPlayer",
      "properties": { "Left": 8, "Top": 8, "Width": 29, "Height": 33, "VisibleButtons": [] } },
    { "class": "TMediaPlayer", "name": "Bar",
      "properties": { "Left": 8, "Top": 60, "Width": 253, "Height": 30, "OnClick": "BarClick",
                      "OnPostClick": "BarPostClick", "OnNotify": "BarNotify" } }
  ]
})";

class MediaPlayerTest : public ::testing::Test {
  protected:
    MediaPlayerTest() {
        static const bool once = (UseHeadlessDisplay(), RegisterMediaComponents(), true);
        (void)once;
        Application();
        std::string error;
        EXPECT_TRUE(platform::mci::MciSystem::Get().UseOutput({"null", kRate, {}}, error)) << error;
        EXPECT_TRUE(SetCurrentDirectoryA(folder_.WindowsPath().c_str()));
        form_ = new TForm(&Application());
        ReadLayoutText(*form_, kPlayerLayout,
                       {{"BarClick", EMPNotify([this](TObject*, TMPBtnType button, bool& doDefault) {
                             trail_ += "click " + std::to_string(button) + " ";
                             doDefault = allowDefault_;
                         })},
                        {"BarPostClick", EMPPostNotify([this](TObject*, TMPBtnType button) {
                             trail_ += "post " + std::to_string(button) + " ";
                         })},
                        {"BarNotify", TNotifyEvent([this](TObject*) { ++notices_; })}});
        player_ = FindRequired<TMediaPlayer>(*form_, "MediaPlayer");
        bar_ = FindRequired<TMediaPlayer>(*form_, "Bar");
        form_->Show();
        DispatchPending();
    }

    // The desktop stays: the application's window lives as long as the process.
    ~MediaPlayerTest() override { delete form_; }

    // A stereo tone of that many milliseconds.
    void MakeWave(const std::string& name, int milliseconds) {
        ASSERT_TRUE(WriteSound(folder_.Path() / name, SF_FORMAT_WAV | SF_FORMAT_PCM_16, kRate, 2,
                               Tone(kRate, 2, int64_t{kRate} * milliseconds / 1000)));
    }

    void Open(TMediaPlayer& player, const std::string& name) {
        player.CloseMedia();
        player.SetFileName(name);
        player.OpenMedia();
        player.SetTimeUnit(0);
    }

    // The middle of a visible button of the bar, in the bar's client area.
    POINT ButtonCentre(TMPBtnType button) const {
        int left = 0;
        for (int other = 0; other < button; ++other)
            if (bar_->VisibleButtons() & ButtonBit(static_cast<TMPBtnType>(other))) left += bar_->ButtonWidth() - 1;
        return {left + bar_->ButtonWidth() / 2, bar_->Height() / 2};
    }

    void ClickButton(TMPBtnType button) {
        POINT at = ButtonCentre(button);
        Click(bar_->Handle(), at.x, at.y);
        DispatchPending();
    }

    const std::filesystem::path startFolder_ = std::filesystem::current_path();  // where screenshots go
    VirtualClock clock_;
    TempFolder folder_;
    CurrentDirectoryGuard directory_;
    TForm* form_ = nullptr;
    TMediaPlayer* player_ = nullptr;
    TMediaPlayer* bar_ = nullptr;
    std::string trail_;
    bool allowDefault_ = true;
    int notices_ = 0;
};

// The position counts what was handed to the output, which keeps a few tens of milliseconds ahead of the ear.
void ExpectPlayedAbout(int32_t position, int32_t milliseconds) {
    EXPECT_GE(position, milliseconds - 10);
    EXPECT_LE(position, milliseconds + 80);
}

constexpr TButtonSet Buttons(std::initializer_list<TMPBtnType> buttons) {
    TButtonSet set = 0;
    for (TMPBtnType button : buttons) set |= ButtonBit(button);
    return set;
}

TEST_F(MediaPlayerTest, WithoutADeviceOperationsRaiseAndReadsFailQuietly) {
    const std::string noDevice = "MCI デバイスがありません";
    auto raises = [&](const std::function<void()>& operation) {
        try {
            operation();
        } catch (const EMCIDeviceError& error) {
            return error.Message() == noDevice;
        }
        return false;
    };
    EXPECT_TRUE(raises([&] { player_->MediaLength(); }));
    EXPECT_TRUE(raises([&] { player_->StartPlayback(); }));
    EXPECT_TRUE(raises([&] { player_->StopPlayback(); }));
    EXPECT_TRUE(raises([&] { player_->PauseOrResume(); }));
    EXPECT_TRUE(raises([&] { player_->SetPlayPosition(10); }));
    EXPECT_TRUE(raises([&] { player_->SkipForward(); }));

    // The time format write fails at the device and only the error code says so.
    player_->SetTimeUnit(0);
    const MCIERROR failure = player_->LastError();
    EXPECT_EQ(failure, static_cast<MCIERROR>(MCIERR_INVALID_DEVICE_ID));
    EXPECT_EQ(player_->DeviceMode(), mdNotReady);
    EXPECT_EQ(player_->PlayPosition(), 0);

    // Closing with nothing open sends nothing, so the last error stays.
    player_->SetTimeUnit(0);
    player_->CloseMedia();
    EXPECT_EQ(player_->LastError(), failure);
}

TEST_F(MediaPlayerTest, AFailedOpenRaisesTheDevicesMessageAndLeavesNoDevice) {
    auto openMessage = [&](const std::string& name) {
        player_->SetFileName(name);
        try {
            player_->OpenMedia();
        } catch (const EMCIDeviceError& error) {
            return error.Message();
        }
        return std::string("no error");
    };
    std::string empty = openMessage("");
    EXPECT_NE(empty, "no error");
    EXPECT_EQ(empty, player_->LastErrorText());
    EXPECT_EQ(player_->DeviceHandle(), 0);

    EXPECT_EQ(openMessage("missing.wav"), "ファイルが見つかりません。パスとファイル名を確かめてください。");
    EXPECT_EQ(player_->LastError(), static_cast<MCIERROR>(MCIERR_FILE_NOT_FOUND));
    EXPECT_EQ(player_->DeviceHandle(), 0);

    std::ofstream(folder_.Path() / "noise.mp3", std::ios::binary) << std::string(5000, '\x5A');
    EXPECT_EQ(openMessage("noise.mp3"), "ファイルの形式を認識できないか、ファイルが壊れています。");
    EXPECT_EQ(player_->LastError(), static_cast<MCIERROR>(MCIERR_INVALID_FILE));
    EXPECT_EQ(player_->DeviceHandle(), 0);
}

TEST_F(MediaPlayerTest, OpeningReportsTheLengthAndWhatTheDeviceCanDo) {
    MakeWave("one.wav", 1500);
    MakeWave("two.wav", 250);
    Open(*bar_, "one.wav");
    EXPECT_NE(bar_->DeviceHandle(), 0);
    EXPECT_EQ(bar_->MediaLength(), 1500);
    EXPECT_EQ(bar_->DeviceMode(), mdStopped);
    EXPECT_EQ(bar_->TimeUnit(), 0);
    // A sound file plays; it cannot record, eject or step.
    EXPECT_EQ(bar_->AutoEnabledButtons(), Buttons({btPlay, btNext, btPrev}));

    // Opening the next file closes the first itself. The device takes the lowest free identifier, so the next
    // file gets the first one's back: a first device left open would keep it, and the next would get another.
    MCIDEVICEID first = bar_->DeviceHandle();
    bar_->SetFileName("two.wav");
    bar_->OpenMedia();
    bar_->SetTimeUnit(0);
    EXPECT_EQ(bar_->MediaLength(), 250);
    EXPECT_EQ(bar_->DeviceHandle(), first);
    MCI_STATUS_PARMS status{};
    status.dwItem = MCI_STATUS_LENGTH;
    EXPECT_EQ(mciSendCommandA(first, MCI_STATUS, MCI_WAIT | MCI_STATUS_ITEM, reinterpret_cast<DWORD_PTR>(&status)), 0u);
    EXPECT_EQ(status.dwReturn, 250u) << "the identifier names the second file now";

    bar_->CloseMedia();
    EXPECT_EQ(bar_->DeviceHandle(), 0);
    EXPECT_EQ(bar_->AutoEnabledButtons(), 0);
    EXPECT_EQ(mciSendCommandA(first, MCI_STATUS, MCI_WAIT | MCI_STATUS_ITEM, reinterpret_cast<DWORD_PTR>(&status)),
              static_cast<MCIERROR>(MCIERR_INVALID_DEVICE_ID))
        << "closing leaves no device behind";
}

TEST_F(MediaPlayerTest, EveryKindOfFileReportsItsExactLength) {
    struct Case {
        const char* name;
        int format;
        int rate;
        bool variableBitrate;
    } cases[] = {{"a.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, false},
                 {"b.aif", SF_FORMAT_AIFF | SF_FORMAT_PCM_24, 22050, false},
                 {"c.au", SF_FORMAT_AU | SF_FORMAT_PCM_16, 8000, false},
                 {"d.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 48000, false},
                 {"e.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 44100, false},
                 {"f.mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 44100, false},
                 {"g.mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 44100, true}};
    for (const Case& file : cases) {
        SCOPED_TRACE(file.name);
        // 1.5 s of sound.
        ASSERT_TRUE(WriteSound(folder_.Path() / file.name, file.format, file.rate, 2,
                               Tone(file.rate, 2, file.rate * 3 / 2), file.variableBitrate));
        Open(*player_, file.name);
        EXPECT_EQ(player_->MediaLength(), 1500);
    }
    // A MIDI file whose tempo doubles after one second: one second, then half a second.
    std::string track = MidiTempo(0, 500000) + MidiEvent(0, {0xC0, 0}) + MidiEvent(0, {0x90, 60, 100}) +
                        MidiTempo(960, 250000) + MidiEvent(940, {0x80, 60, 0}) + MidiEndOfTrack(20);
    std::ofstream(folder_.Path() / "tempo.mid", std::ios::binary) << MidiFile(0, 480, {MidiTrack(track)});
    Open(*player_, "tempo.mid");
    EXPECT_EQ(player_->MediaLength(), 1500);
    player_->SetPlayPosition(1200);
    player_->StartPlayback();
    RunFor(400ms);
    EXPECT_EQ(player_->PlayPosition(), 1500);
    EXPECT_EQ(player_->DeviceMode(), mdStopped);
}

TEST_F(MediaPlayerTest, PlayPauseResumeAndStopKeepThePosition) {
    MakeWave("tone.wav", 2000);
    Open(*player_, "tone.wav");
    player_->StartPlayback();
    EXPECT_EQ(player_->DeviceMode(), mdPlaying);
    RunFor(500ms);
    ExpectPlayedAbout(player_->PlayPosition(), 500);

    player_->PauseOrResume();
    EXPECT_EQ(player_->DeviceMode(), mdPaused);
    int32_t paused = player_->PlayPosition();
    RunFor(300ms);
    EXPECT_EQ(player_->PlayPosition(), paused);
    player_->PauseOrResume();  // resumes
    EXPECT_EQ(player_->DeviceMode(), mdPlaying);
    RunFor(200ms);
    ExpectPlayedAbout(player_->PlayPosition(), paused + 200);

    player_->StopPlayback();
    int32_t stopped = player_->PlayPosition();
    EXPECT_EQ(player_->DeviceMode(), mdStopped);
    player_->PauseOrResume();  // stopped: nothing is sent
    EXPECT_EQ(player_->DeviceMode(), mdStopped);
    player_->StartPlayback();
    RunFor(100ms);
    ExpectPlayedAbout(player_->PlayPosition(), stopped + 100);

    // A seek while stopped moves the position and does not play.
    player_->StopPlayback();
    player_->SetPlayPosition(1234);
    EXPECT_EQ(player_->PlayPosition(), 1234);
    RunFor(100ms);
    EXPECT_EQ(player_->PlayPosition(), 1234);
    EXPECT_EQ(player_->DeviceMode(), mdStopped);

    // Outside track formats the skips go to the ends.
    player_->SkipForward();
    EXPECT_EQ(player_->PlayPosition(), 2000);
    player_->SkipBack();
    EXPECT_EQ(player_->PlayPosition(), 0);
}

TEST_F(MediaPlayerTest, AtTheEndThePositionIsTheLengthAndPlayStartsAgainFromTheBeginning) {
    MakeWave("short.wav", 400);
    Open(*bar_, "short.wav");
    bar_->StartPlayback();
    RunFor(600ms);
    EXPECT_EQ(bar_->DeviceMode(), mdStopped);
    EXPECT_EQ(bar_->PlayPosition(), bar_->MediaLength());
    EXPECT_EQ(bar_->NotifyResult(), nvSuccessful);
    EXPECT_GE(notices_, 1);
    // The end notice gave Play back and took Pause and Stop away.
    EXPECT_EQ(bar_->AutoEnabledButtons() & Buttons({btPlay, btPause, btStop}), Buttons({btPlay}));

    bar_->StartPlayback();
    RunFor(100ms);
    EXPECT_EQ(bar_->DeviceMode(), mdPlaying);
    ExpectPlayedAbout(bar_->PlayPosition(), 100);

    // Without the rewind, play at the end stays at the end.
    RunFor(500ms);
    bar_->SetAutoRewind(false);
    bar_->StartPlayback();
    RunFor(100ms);
    EXPECT_EQ(bar_->PlayPosition(), 400);
    EXPECT_EQ(bar_->DeviceMode(), mdStopped);
}

TEST_F(MediaPlayerTest, OneShotOverridesApplyToTheNextRequestOnly) {
    MakeWave("tone.wav", 2000);
    Open(*bar_, "tone.wav");
    bar_->SetFrom(500);
    bar_->SetTo(800);
    bar_->StartPlayback();
    RunFor(500ms);
    EXPECT_EQ(bar_->PlayPosition(), 800);
    EXPECT_EQ(bar_->DeviceMode(), mdStopped);
    // The next play goes on from where the range ended, to the end.
    bar_->StartPlayback();
    RunFor(300ms);
    ExpectPlayedAbout(bar_->PlayPosition(), 1100);

    // Without a notice the end passes unannounced; the override is gone for the play after.
    bar_->StopPlayback();
    RunFor(20ms);
    notices_ = 0;
    bar_->SetNotify(false);
    bar_->StartPlayback();
    RunFor(1500ms);
    EXPECT_EQ(bar_->PlayPosition(), 2000);
    EXPECT_EQ(notices_, 0);
    bar_->StartPlayback();
    RunFor(2500ms);
    EXPECT_EQ(notices_, 1);
}

TEST_F(MediaPlayerTest, StoppingAPlayingFileNotifiesAborted) {
    MakeWave("tone.wav", 2000);
    Open(*bar_, "tone.wav");
    bar_->StartPlayback();
    RunFor(100ms);
    bar_->StopPlayback();
    RunFor(20ms);
    EXPECT_EQ(bar_->NotifyResult(), nvAborted);
    // A newer play supersedes the older one's notice.
    bar_->StartPlayback();
    bar_->StartPlayback();
    RunFor(20ms);
    EXPECT_EQ(bar_->NotifyResult(), nvSuperseded);
}

TEST_F(MediaPlayerTest, ThreeFilesPlayOneAfterAnotherOnVirtualTimeAndSoundAsWritten) {
    const std::string capture = (folder_.Path() / "captured.wav").string();
    std::string error;
    ASSERT_TRUE(platform::mci::MciSystem::Get().UseOutput({"capture", kRate, capture}, error)) << error;
    const auto tone = Tone(kRate, 2, kRate * 3 / 4);
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(WriteSound(folder_.Path() / ("part" + std::to_string(i) + ".wav"),
                               SF_FORMAT_WAV | SF_FORMAT_FLOAT, kRate, 2, tone));
    const auto start = clock_.Elapsed();
    // As the player does: poll every 10 ms, and at the end of one file open and play the next.
    for (int i = 0; i < 3; ++i) {
        Open(*player_, "part" + std::to_string(i) + ".wav");
        player_->StartPlayback();
        while (player_->PlayPosition() != player_->MediaLength()) RunFor(10ms);
    }
    player_->CloseMedia();
    RunFor(300ms);
    const auto elapsed = clock_.Elapsed() - start;
    ASSERT_TRUE(platform::mci::MciSystem::Get().UseOutput({"null", kRate, {}}, error)) << error;
    // The sound's own time on the virtual clock, whatever the machine took meanwhile: 2.25 s of sound and the 300 ms
    // after it, give or take the polls that saw each end and the output's lead on the clock.
    EXPECT_GE(elapsed, 2450ms);
    EXPECT_LE(elapsed, 2650ms);

    int rate = 0, channels = 0;
    const auto captured = ReadSound(capture, rate, channels);
    size_t first = 0;
    while (first < captured.size() && captured[first] == 0.0f) ++first;
    ASSERT_GE(captured.size(), first + 3 * tone.size());
    for (size_t i = 0; i < 3 * tone.size(); ++i) ASSERT_EQ(captured[first + i], tone[i % tone.size()]) << i;
}

TEST_F(MediaPlayerTest, TheBarFitsWholeButtonsOfTheGlyphsSize) {
    EXPECT_EQ(bar_->MinButtonSize().cx, 29);
    EXPECT_EQ(bar_->MinButtonSize().cy, 20);
    // No visible button counts as one: exactly one button of the smallest size.
    EXPECT_EQ(player_->Width(), 29);
    EXPECT_EQ(player_->Height(), 33);
    EXPECT_EQ(bar_->Width(), 253);

    // Narrower than nine smallest buttons: it widens to them; the height grows to the glyphs'.
    bar_->SetBounds(bar_->Left(), bar_->Top(), 100, 10);
    EXPECT_EQ(bar_->Width(), 9 * 28 + 1);
    EXPECT_EQ(bar_->Height(), 20);
    // Hiding buttons keeps the buttons' width.
    bar_->SetVisibleButtons(Buttons({btPlay, btPause, btStop}));
    EXPECT_EQ(bar_->Width(), 3 * 28 + 1);

    TMediaPlayer fresh(nullptr);
    EXPECT_EQ(fresh.Width(), 240);
    EXPECT_EQ(fresh.Height(), 30);
    EXPECT_EQ(fresh.VisibleButtons(), kAllButtons);
    EXPECT_EQ(fresh.FocusedButton(), btPlay);
}

TEST_F(MediaPlayerTest, ClicksRunOnlyActiveButtonsWithTheirEvents) {
    MakeWave("tone.wav", 2000);
    ClickButton(btPlay);  // nothing open: no button is active
    EXPECT_EQ(trail_, "");
    EXPECT_EQ(GetCapture(), nullptr);

    Open(*bar_, "tone.wav");
    ClickButton(btStop);  // not active before playing
    EXPECT_EQ(trail_, "");
    ClickButton(btPlay);
    EXPECT_EQ(trail_, "click 0 post 0 ");
    EXPECT_EQ(bar_->DeviceMode(), mdPlaying);
    EXPECT_EQ(bar_->AutoEnabledButtons(), Buttons({btPause, btStop, btNext, btPrev}));
    EXPECT_EQ(bar_->FocusedButton(), btPlay);

    trail_.clear();
    ClickButton(btPause);
    EXPECT_EQ(trail_, "click 1 post 1 ");
    EXPECT_EQ(bar_->DeviceMode(), mdPaused);
    EXPECT_EQ(bar_->FocusedButton(), btPause);
    EXPECT_EQ(bar_->AutoEnabledButtons(), Buttons({btPlay, btPause, btStop, btNext, btPrev}));

    // A handler that says no stops both the operation and the after-event.
    trail_.clear();
    allowDefault_ = false;
    ClickButton(btStop);
    EXPECT_EQ(trail_, "click 2 ");
    EXPECT_EQ(bar_->DeviceMode(), mdPaused);

    // A press that leaves the button before the release does nothing.
    allowDefault_ = true;
    trail_.clear();
    POINT at = ButtonCentre(btStop);
    MouseDown(bar_->Handle(), at.x, at.y);
    MouseMove(bar_->Handle(), at.x, at.y + 100);
    MouseUp(bar_->Handle(), at.x, at.y + 100);
    DispatchPending();
    EXPECT_EQ(trail_, "");
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(MediaPlayerTest, TheKeyboardMovesTheFocusAndRunsEnabledButtons) {
    MakeWave("tone.wav", 2000);
    Open(*bar_, "tone.wav");
    bar_->SetFocus();
    DispatchPending();
    PressKey(VK_RIGHT);
    PressKey(VK_RIGHT);
    DispatchPending();
    EXPECT_EQ(bar_->FocusedButton(), btStop);
    // Space runs a button the program enabled even when the device's state has not made it usable.
    PressKey(VK_SPACE);
    DispatchPending();
    EXPECT_EQ(trail_, "click 2 post 2 ");

    // The search for the next visible button ends at the bar's ends, hidden or not.
    bar_->SetVisibleButtons(Buttons({btPause, btStop, btNext}));
    PressKey(VK_LEFT);
    PressKey(VK_LEFT);
    DispatchPending();
    EXPECT_EQ(bar_->FocusedButton(), btPlay);
    for (int i = 0; i < 4; ++i) PressKey(VK_RIGHT);  // Pause, Stop, Next, then the hidden end
    DispatchPending();
    EXPECT_EQ(bar_->FocusedButton(), btEject);

    // The program's enabled buttons decide for the keyboard; nothing runs for a disabled one.
    trail_.clear();
    bar_->SetEnabledButtons(Buttons({btPlay}));
    PressKey(VK_SPACE);
    DispatchPending();
    EXPECT_EQ(trail_, "");
}

TEST_F(MediaPlayerTest, AFailedClickLeavesTheButtonsButTheSameKeyUpdatesThem) {
    // MP3 files open on the video-capable device, which offers frame steps and then refuses them for sound.
    ASSERT_TRUE(WriteSound(folder_.Path() / "song.mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, kRate, 2,
                           Tone(kRate, 2, kRate * 2)));
    Open(*bar_, "song.mp3");
    EXPECT_EQ(bar_->AutoEnabledButtons(), Buttons({btPlay, btNext, btPrev, btStep, btBack}));
    ClickButton(btPlay);
    const TButtonSet playing = Buttons({btPause, btStop, btNext, btPrev, btStep, btBack});
    EXPECT_EQ(bar_->AutoEnabledButtons(), playing);

    ClickButton(btStep);
    EXPECT_EQ(bar_->LastError(), static_cast<MCIERROR>(MCIERR_UNSUPPORTED_FUNCTION));
    EXPECT_EQ(bar_->AutoEnabledButtons(), playing);

    bar_->SetFocus();
    DispatchPending();
    ASSERT_EQ(bar_->FocusedButton(), btStep);
    PressKey(VK_SPACE);
    DispatchPending();
    EXPECT_EQ(bar_->LastError(), static_cast<MCIERROR>(MCIERR_UNSUPPORTED_FUNCTION));
    EXPECT_EQ(bar_->AutoEnabledButtons(), Buttons({btPlay, btNext, btPrev, btStep, btBack}));
}

TEST_F(MediaPlayerTest, TheBarDrawsItsButtonsWithTheGlyphsOfTheirState) {
    MakeWave("tone.wav", 2000);
    Open(*bar_, "tone.wav");
    DispatchPending();
    HWND window = bar_->Handle();
    EXPECT_EQ(Pixel(window, 0, 0), RGB(0, 0, 0)) << "the outline";
    EXPECT_EQ(Pixel(window, 1, 1), RGB(255, 255, 255)) << "a raised button's lit edge";
    auto hasColour = [&](TMPBtnType button, auto test) {
        POINT centre = ButtonCentre(button);
        for (int y = 0; y < bar_->Height(); ++y)
            for (int x = centre.x - 10; x < centre.x + 10; ++x)
                if (test(Pixel(window, x, y))) return true;
        return false;
    };
    auto coloured = [](COLORREF c) { return GetRValue(c) != GetGValue(c) || GetGValue(c) != GetBValue(c); };
    auto black = [](COLORREF c) { return c == RGB(0, 0, 0); };
    auto olive = [](COLORREF c) { return c == RGB(128, 128, 0); };
    EXPECT_TRUE(hasColour(btPlay, coloured)) << "an active button shows its coloured image";
    EXPECT_FALSE(hasColour(btStop, coloured)) << "an inactive one its grey image";
    EXPECT_FALSE(hasColour(btPlay, olive)) << "the glyphs' background is transparent";
    bar_->SetColoredButtons(0);
    DispatchPending();
    EXPECT_FALSE(hasColour(btPlay, coloured));
    EXPECT_TRUE(hasColour(btPlay, black)) << "without colour the black image";
    bar_->SetColoredButtons(kAllButtons);
    DispatchPending();
    WriteScreenshot(form_->Handle(), (startFolder_ / "media-bar-headless.png").string());
}

TEST_F(MediaPlayerTest, TheDisplayIsForgottenWhenItsControlIsDestroyed) {
    auto newPanel = [&] {
        auto* panel = new TPanel(form_);
        panel->SetParent(form_);
        panel->SetBounds(40, 8, 100, 40);
        return panel;
    };
    // Set with no device open. A FLAC file opens a device with video, and opening hands it the display.
    TPanel* panel = newPanel();
    player_->SetDisplay(panel);
    EXPECT_EQ(player_->Display(), panel);
    delete panel;
    EXPECT_EQ(player_->Display(), nullptr);
    ASSERT_TRUE(WriteSound(folder_.Path() / "tone.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, kRate, 2,
                           Tone(kRate, 2, kRate / 2)));
    Open(*player_, "tone.flac");
    EXPECT_EQ(player_->Display(), nullptr);

    // Set while a sound device, which takes no window, is open; a display replaced earlier clears nothing.
    MakeWave("tone.wav", 500);
    Open(*player_, "tone.wav");
    TPanel* first = newPanel();
    panel = newPanel();
    player_->SetDisplay(first);
    player_->SetDisplay(panel);
    delete first;
    EXPECT_EQ(player_->Display(), panel);
    delete panel;
    EXPECT_EQ(player_->Display(), nullptr);
    panel = newPanel();
    player_->SetDisplay(panel);
    player_->CloseMedia();
    Open(*player_, "tone.flac");
    player_->SetDisplay(nullptr);
    delete panel;

    // A player destroyed before its display leaves the display nobody to tell.
    panel = newPanel();
    bar_->SetDisplay(panel);
    delete bar_;
    bar_ = nullptr;
    delete panel;
}

TEST_F(MediaPlayerTest, DestroyingThePlayerClosesItsDevice) {
    MakeWave("tone.wav", 2000);
    Open(*bar_, "tone.wav");
    bar_->StartPlayback();
    MCIDEVICEID id = bar_->DeviceHandle();
    delete bar_;
    bar_ = nullptr;
    MCI_STATUS_PARMS status{};
    status.dwItem = MCI_STATUS_MODE;
    EXPECT_EQ(mciSendCommandA(id, MCI_STATUS, MCI_WAIT | MCI_STATUS_ITEM, reinterpret_cast<DWORD_PTR>(&status)),
              static_cast<MCIERROR>(MCIERR_INVALID_DEVICE_ID));
    RunFor(50ms);  // a notice for the closed device finds no window and harms nothing
}

}  // namespace
