// Playing, pausing, resuming, stopping and seeking through mciSendCommandA on the virtual clock, and the notices.

#include <sndfile.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "platform/mci/MciSystem.h"
#include "platform/testing/Desktop.h"
#include "tests/support/MediaFixtures.h"
#include "tests/platform/mci/MciTestSupport.h"

using namespace std::chrono_literals;

namespace {

// The output takes frames a little ahead of the clock (so that the next file can follow without a gap): a
// position may run this far ahead of the time played.
constexpr DWORD kLeadMs = 100;

class MciTransport : public MciTest {
  protected:
    MCIDEVICEID OpenTone(const char* name, int rate, int64_t frames) {
        EXPECT_TRUE(
            WriteSound(folder_.Path() / name, SF_FORMAT_WAV | SF_FORMAT_PCM_16, rate, 2, Tone(rate, 2, frames)));
        MCIDEVICEID id = 0;
        EXPECT_EQ(Open(name, id), 0u);
        return id;
    }
};

}  // namespace

TEST_F(MciTransport, PositionFollowsTheClockAndPauseStopAndPlayKeepIt) {
    const MCIDEVICEID id = OpenTone("ten.wav", 22050, 220500);  // resampled to the output's rate
    EXPECT_EQ(Status(id, MCI_STATUS_LENGTH), 10000u);
    EXPECT_EQ(Status(id, MCI_STATUS_MODE), static_cast<DWORD>(MCI_MODE_STOP));
    EXPECT_EQ(Play(id), 0u);
    EXPECT_EQ(Status(id, MCI_STATUS_MODE), static_cast<DWORD>(MCI_MODE_PLAY));
    Pass(1000ms);
    const DWORD played = Status(id, MCI_STATUS_POSITION);
    EXPECT_GE(played, 1000u);
    EXPECT_LE(played, 1000u + kLeadMs);

    EXPECT_EQ(Send(id, MCI_PAUSE), 0u);
    EXPECT_EQ(Status(id, MCI_STATUS_MODE), static_cast<DWORD>(MCI_MODE_PAUSE));
    const DWORD paused = Status(id, MCI_STATUS_POSITION);
    EXPECT_GE(paused, played);
    Pass(3000ms);
    EXPECT_EQ(Status(id, MCI_STATUS_POSITION), paused);

    EXPECT_EQ(Send(id, MCI_RESUME, MCI_WAIT), 0u);
    Pass(500ms);
    const DWORD resumed = Status(id, MCI_STATUS_POSITION);
    EXPECT_GE(resumed, paused + 500);
    EXPECT_LE(resumed, paused + 500 + kLeadMs);

    EXPECT_EQ(Send(id, MCI_STOP), 0u);
    const DWORD stopped = Status(id, MCI_STATUS_POSITION);
    EXPECT_EQ(Status(id, MCI_STATUS_MODE), static_cast<DWORD>(MCI_MODE_STOP));
    Pass(1000ms);
    EXPECT_EQ(Status(id, MCI_STATUS_POSITION), stopped);
    EXPECT_EQ(Send(id, MCI_RESUME, MCI_WAIT), static_cast<MCIERROR>(MCIERR_NONAPPLICABLE_FUNCTION));
    EXPECT_EQ(Play(id), 0u);  // play after stop goes on from there
    Pass(200ms);
    EXPECT_GE(Status(id, MCI_STATUS_POSITION), stopped + 200);
    EXPECT_LE(Status(id, MCI_STATUS_POSITION), stopped + 200 + kLeadMs);
}

TEST_F(MciTransport, PlayingToTheEndStopsExactlyAtTheLengthWithNotice) {
    const MCIDEVICEID id = OpenTone("short.wav", kOutputRate, 33075);  // 750 ms
    EXPECT_EQ(Play(id), 0u);
    Pass(std::chrono::milliseconds(740 - kLeadMs));
    EXPECT_EQ(Status(id, MCI_STATUS_MODE), static_cast<DWORD>(MCI_MODE_PLAY));
    EXPECT_TRUE(TakeNotices(id).empty());
    Pass(200ms);
    EXPECT_EQ(Status(id, MCI_STATUS_POSITION), 750u);
    EXPECT_EQ(Status(id, MCI_STATUS_LENGTH), 750u);
    EXPECT_EQ(Status(id, MCI_STATUS_MODE), static_cast<DWORD>(MCI_MODE_STOP));
    EXPECT_EQ(TakeNotices(id), std::vector<WPARAM>{MCI_NOTIFY_SUCCESSFUL});
    // Playing again at the end ends at once; from the start it plays the whole file again.
    EXPECT_EQ(Play(id), 0u);
    EXPECT_EQ(TakeNotices(id), std::vector<WPARAM>{MCI_NOTIFY_SUCCESSFUL});
    EXPECT_EQ(Play(id, MCI_NOTIFY | MCI_FROM, 0), 0u);
    Pass(1000ms);
    EXPECT_EQ(TakeNotices(id), std::vector<WPARAM>{MCI_NOTIFY_SUCCESSFUL});
    // A play that waits returns at the end, with virtual time moved there.
    EXPECT_EQ(Play(id, MCI_WAIT | MCI_FROM | MCI_TO, 250, 500), 0u);
    EXPECT_EQ(Status(id, MCI_STATUS_POSITION), 500u);
    EXPECT_EQ(Status(id, MCI_STATUS_MODE), static_cast<DWORD>(MCI_MODE_STOP));
}

TEST_F(MciTransport, SeeksLandExactlyAndStopAPlayingDevice) {
    const MCIDEVICEID id = OpenTone("seek.wav", 48000, 240000);  // 5 s
    EXPECT_EQ(SeekTo(id, 1234), 0u);
    EXPECT_EQ(Status(id, MCI_STATUS_POSITION), 1234u);
    EXPECT_EQ(Play(id), 0u);
    Pass(300ms);
    EXPECT_EQ(SeekTo(id, 4321), 0u);
    EXPECT_EQ(Status(id, MCI_STATUS_MODE), static_cast<DWORD>(MCI_MODE_STOP));
    EXPECT_EQ(Status(id, MCI_STATUS_POSITION), 4321u);
    EXPECT_EQ(TakeNotices(id), std::vector<WPARAM>{MCI_NOTIFY_ABORTED});
    EXPECT_EQ(SetTimeFormat(id, MCI_FORMAT_SAMPLES), 0u);
    EXPECT_EQ(Status(id, MCI_STATUS_POSITION), 207408u);  // the first sample of millisecond 4321
    EXPECT_EQ(SeekTo(id, 100000), 0u);
    EXPECT_EQ(Status(id, MCI_STATUS_POSITION), 100000u);
    EXPECT_EQ(SetTimeFormat(id, MCI_FORMAT_BYTES), 0u);
    EXPECT_EQ(Status(id, MCI_STATUS_POSITION), 400000u);  // 16-bit stereo
    EXPECT_EQ(Status(id, MCI_STATUS_TIME_FORMAT), static_cast<DWORD>(MCI_FORMAT_BYTES));
    EXPECT_EQ(SetTimeFormat(id, MCI_FORMAT_MILLISECONDS), 0u);

    MCI_SEEK_PARMS seek{reinterpret_cast<DWORD_PTR>(window_), 0};
    EXPECT_EQ(mciSendCommandA(id, MCI_SEEK, MCI_WAIT | MCI_SEEK_TO_END, reinterpret_cast<DWORD_PTR>(&seek)), 0u);
    EXPECT_EQ(Status(id, MCI_STATUS_POSITION), 5000u);
    EXPECT_EQ(mciSendCommandA(id, MCI_SEEK, MCI_WAIT | MCI_SEEK_TO_START, reinterpret_cast<DWORD_PTR>(&seek)), 0u);
    EXPECT_EQ(Status(id, MCI_STATUS_POSITION), 0u);
    EXPECT_EQ(SeekTo(id, 5001), static_cast<MCIERROR>(MCIERR_OUTOFRANGE));
    EXPECT_EQ(mciSendCommandA(id, MCI_SEEK, MCI_WAIT, reinterpret_cast<DWORD_PTR>(&seek)),
              static_cast<MCIERROR>(MCIERR_MISSING_PARAMETER));
    EXPECT_EQ(mciSendCommandA(id, MCI_SEEK, MCI_WAIT | MCI_SEEK_TO_END | MCI_TO, reinterpret_cast<DWORD_PTR>(&seek)),
              static_cast<MCIERROR>(MCIERR_FLAGS_NOT_COMPATIBLE));
}

TEST_F(MciTransport, NoticesAreSupersededAbortedOrSuccessful) {
    const MCIDEVICEID id = OpenTone("notices.wav", kOutputRate, kOutputRate * 2);
    EXPECT_EQ(Play(id), 0u);
    EXPECT_EQ(Play(id), 0u);  // a second play takes over the first one's notice
    EXPECT_EQ(TakeNotices(id), std::vector<WPARAM>{MCI_NOTIFY_SUPERSEDED});
    EXPECT_EQ(Send(id, MCI_PAUSE, MCI_WAIT | MCI_NOTIFY), 0u);
    EXPECT_EQ(TakeNotices(id), (std::vector<WPARAM>{MCI_NOTIFY_ABORTED, MCI_NOTIFY_SUCCESSFUL}));
    EXPECT_EQ(Send(id, MCI_RESUME, MCI_NOTIFY), 0u);
    EXPECT_EQ(Send(id, MCI_STOP), 0u);
    EXPECT_EQ(TakeNotices(id), std::vector<WPARAM>{MCI_NOTIFY_ABORTED});
    // The time-format write with a notice (every tick of the player) answers at once and leaves a play's notice.
    EXPECT_EQ(Play(id), 0u);
    MCI_SET_PARMS set{reinterpret_cast<DWORD_PTR>(window_), MCI_FORMAT_MILLISECONDS, 0};
    EXPECT_EQ(mciSendCommandA(id, MCI_SET, MCI_NOTIFY | MCI_SET_TIME_FORMAT, reinterpret_cast<DWORD_PTR>(&set)), 0u);
    EXPECT_EQ(TakeNotices(id), std::vector<WPARAM>{MCI_NOTIFY_SUCCESSFUL});
    Pass(2500ms);
    EXPECT_EQ(TakeNotices(id), std::vector<WPARAM>{MCI_NOTIFY_SUCCESSFUL});
    // Closing a playing device aborts its notice.
    EXPECT_EQ(Play(id, MCI_NOTIFY | MCI_FROM, 0), 0u);
    EXPECT_EQ(Send(id, MCI_CLOSE), 0u);
    EXPECT_EQ(TakeNotices(id), std::vector<WPARAM>{MCI_NOTIFY_ABORTED});
}

TEST_F(MciTransport, TheNextFileFollowsWithoutAGapWhenStartedAtTheEnd) {
    // As the player does: poll every 10 ms; when the position reaches the length, close, open the next, play.
    const int64_t frames = kOutputRate / 2;
    std::string capture = (folder_.Path() / "gapless.wav").string();
    std::string error;
    ASSERT_TRUE(platform::mci::MciSystem::Get().UseOutput({"capture", kOutputRate, capture}, error));
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(WriteSound(folder_.Path() / ("part" + std::to_string(i) + ".wav"), SF_FORMAT_WAV | SF_FORMAT_FLOAT,
                               kOutputRate, 2, Tone(kOutputRate, 2, frames)));
    MCIDEVICEID id = 0;
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(Open("part" + std::to_string(i) + ".wav", id), 0u);
        EXPECT_EQ(Play(id), 0u);
        while (Status(id, MCI_STATUS_POSITION) != Status(id, MCI_STATUS_LENGTH)) Pass(10ms);
        EXPECT_EQ(Send(id, MCI_CLOSE), 0u);
    }
    Pass(500ms);
    ASSERT_TRUE(platform::mci::MciSystem::Get().UseOutput({"null", kOutputRate, {}}, error));
    int rate = 0, channels = 0;
    const auto captured = ReadSound(capture, rate, channels);
    size_t first = 0;
    while (first < captured.size() && captured[first] == 0.0f) ++first;
    const auto part = Tone(kOutputRate, 2, frames);
    ASSERT_GE(captured.size(), first + 3 * part.size());
    for (size_t i = 0; i < 3 * part.size(); ++i)
        ASSERT_EQ(captured[first + i], part[i % part.size()]) << "sample " << i;
}

TEST(MciRealTime, TheOutputThreadPlaysInRealTimeAndTheNoticeArrivesByItself) {
    // No virtual clock: the null output pulls on a thread of its own and the worker posts the notice.
    platform::testing::UseHeadlessDisplay();
    TempFolder folder;
    Recorder recorder;
    HWND window = recorder.TopLevel("notices", 0, 0, 50, 50);
    std::string error;
    ASSERT_TRUE(platform::mci::MciSystem::Get().UseOutput({"null", 48000, {}}, error));
    ASSERT_TRUE(
        WriteSound(folder.Path() / "quick.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 48000, 2, Tone(48000, 2, 9600)));
    MCI_OPEN_PARMSA open{};
    const std::string name = folder.WindowsPath("quick.wav");
    open.lpstrElementName = name.c_str();
    ASSERT_EQ(mciSendCommandA(0, MCI_OPEN, MCI_WAIT | MCI_OPEN_ELEMENT, reinterpret_cast<DWORD_PTR>(&open)), 0u);
    MCI_PLAY_PARMS play{reinterpret_cast<DWORD_PTR>(window), 0, 0};
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(mciSendCommandA(open.wDeviceID, MCI_PLAY, MCI_NOTIFY, reinterpret_cast<DWORD_PTR>(&play)), 0u);
    auto noticed = [&] {
        for (const Received& received : recorder.Log())
            if (received.message == MM_MCINOTIFY && received.wParam == MCI_NOTIFY_SUCCESSFUL) return true;
        return false;
    };
    EXPECT_TRUE(platform::testing::RunUntil(noticed, 5000ms));
    // 200 ms of sound, less what the mixer hands over ahead of time.
    EXPECT_GE(std::chrono::steady_clock::now() - start, 100ms);
    MCI_STATUS_PARMS status{0, 0, MCI_STATUS_POSITION, 0};
    mciSendCommandA(open.wDeviceID, MCI_STATUS, MCI_WAIT | MCI_STATUS_ITEM, reinterpret_cast<DWORD_PTR>(&status));
    EXPECT_EQ(status.dwReturn, 200u);
    mciSendCommandA(MCI_ALL_DEVICE_ID, MCI_CLOSE, MCI_WAIT, 0);
    platform::testing::ResetDesktop();
}

namespace {

bool SoundThreadRuns() {
    std::error_code error;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task", error)) {
        std::ifstream comm(task.path() / "comm");
        std::string name;
        if (std::getline(comm, name) && name.starts_with("SDLAudio")) return true;
    }
    return false;
}

// Threads come and go without a message to the program: this looks every few milliseconds.
template <typename Condition>
bool Within(std::chrono::milliseconds limit, Condition condition) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

}  // namespace

TEST(MciRealTime, TheSoundDeviceIsLetGoWhileNothingPlaysAndTakenAgainForThePlay) {
    // SDL's audio thread wakes every period even while paused; a player that stands stopped must not.
    platform::testing::UseHeadlessDisplay();
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    TempFolder folder;
    Recorder recorder;
    HWND window = recorder.TopLevel("notices", 0, 0, 50, 50);
    std::string error;
    ASSERT_TRUE(platform::mci::MciSystem::Get().UseOutput({"sdl", 0, {}}, error)) << error;
    ASSERT_TRUE(
        WriteSound(folder.Path() / "quick.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 48000, 2, Tone(48000, 2, 4800)));
    MCI_OPEN_PARMSA open{};
    const std::string name = folder.WindowsPath("quick.wav");
    open.lpstrElementName = name.c_str();
    ASSERT_EQ(mciSendCommandA(0, MCI_OPEN, MCI_WAIT | MCI_OPEN_ELEMENT, reinterpret_cast<DWORD_PTR>(&open)), 0u);
    size_t notices = 0;
    auto noticed = [&] {
        size_t count = 0;
        for (const Received& received : recorder.Log())
            count += received.message == MM_MCINOTIFY && received.wParam == MCI_NOTIFY_SUCCESSFUL;
        return count > notices;
    };
    MCI_STATUS_PARMS status{0, 0, MCI_STATUS_POSITION, 0};
    for (int play = 0; play < 2; ++play) {
        // SDL names its thread once the thread runs, a moment after the device opens.
        auto runs = [] { return Within(1000ms, SoundThreadRuns); };
        if (play == 0) EXPECT_TRUE(runs());  // opened with the output, then let go after the first play
        else EXPECT_FALSE(SoundThreadRuns());
        MCI_PLAY_PARMS params{reinterpret_cast<DWORD_PTR>(window), 0, 0};
        ASSERT_EQ(mciSendCommandA(open.wDeviceID, MCI_PLAY, MCI_NOTIFY | MCI_FROM, reinterpret_cast<DWORD_PTR>(&params)),
                  0u);
        EXPECT_TRUE(runs());
        ASSERT_TRUE(platform::testing::RunUntil(noticed, 5000ms)) << "play " << play;
        ++notices;
        mciSendCommandA(open.wDeviceID, MCI_STATUS, MCI_WAIT | MCI_STATUS_ITEM, reinterpret_cast<DWORD_PTR>(&status));
        EXPECT_EQ(status.dwReturn, 100u);
        EXPECT_TRUE(Within(8000ms, [] { return !SoundThreadRuns(); })) << "play " << play;
    }
    mciSendCommandA(MCI_ALL_DEVICE_ID, MCI_CLOSE, MCI_WAIT, 0);
    ASSERT_TRUE(platform::mci::MciSystem::Get().UseOutput({"null", 48000, {}}, error));
    platform::testing::ResetDesktop();
}
