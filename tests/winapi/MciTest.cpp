// The waveaudio device of the Media Control Interface on WAV files, through mciSendCommandA, as the player drives it:
// open, ask the length and the mode, play with a notice to a window, pause, seek, stop, close.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/Recorder.h"
#include "tests/winapi/Suite.h"

namespace {

// A window for the notices and the devices opened from a work folder; every device is closed at the end.
class Mci : public ::testing::Test {
  protected:
    void SetUp() override {
        window_ = recorder_.TopLevel("notices", 0, 0, 50, 50);
        ASSERT_NE(window_, nullptr) << "no window to tell";
    }
    ~Mci() override {
        mciSendCommandA(MCI_ALL_DEVICE_ID, MCI_CLOSE, MCI_WAIT, 0);
        DestroyWindow(window_);
    }

    // Opens a file of the work folder, by the waveaudio type or (`type` null) by its extension alone.
    MCIERROR Open(const std::string& file, MCIDEVICEID& id, const char* type = "waveaudio") {
        const std::string path = folder_.Path(file);
        MCI_OPEN_PARMSA params{};
        params.dwCallback = reinterpret_cast<DWORD_PTR>(window_);
        params.lpstrDeviceType = type;
        params.lpstrElementName = path.c_str();
        const DWORD flags = MCI_WAIT | MCI_OPEN_ELEMENT | (type ? MCI_OPEN_TYPE : 0);
        MCIERROR error = mciSendCommandA(0, MCI_OPEN, flags, reinterpret_cast<DWORD_PTR>(&params));
        // Our platform, finding no sound output, says so once at the first open and plays silently from then on;
        // the suite needs no sound card, so that one answer is passed over.
        if (error == MCIERR_DEVICE_NOT_READY)
            error = mciSendCommandA(0, MCI_OPEN, flags, reinterpret_cast<DWORD_PTR>(&params));
        id = params.wDeviceID;
        return error;
    }
    // A device on a WAV of `milliseconds`, its time format set to milliseconds.
    MCIDEVICEID OpenTone(int milliseconds) {
        folder_.Write("tone.wav", winapi::WaveFile(milliseconds));
        MCIDEVICEID id = 0;
        EXPECT_EQ(Open("tone.wav", id), 0u);
        EXPECT_EQ(SetTimeFormat(id, MCI_FORMAT_MILLISECONDS), 0u);
        return id;
    }

    DWORD Status(MCIDEVICEID id, DWORD item) {
        MCI_STATUS_PARMS params{};
        params.dwItem = item;
        EXPECT_EQ(mciSendCommandA(id, MCI_STATUS, MCI_WAIT | MCI_STATUS_ITEM, reinterpret_cast<DWORD_PTR>(&params)),
                  0u)
            << "status item " << item;
        return static_cast<DWORD>(params.dwReturn);
    }
    MCIERROR SetTimeFormat(MCIDEVICEID id, DWORD format) {
        MCI_SET_PARMS params{0, format, 0};
        return mciSendCommandA(id, MCI_SET, MCI_WAIT | MCI_SET_TIME_FORMAT, reinterpret_cast<DWORD_PTR>(&params));
    }
    // A command whose parameter block holds no more than the callback window.
    MCIERROR Send(MCIDEVICEID id, UINT command, DWORD flags = MCI_WAIT) {
        MCI_GENERIC_PARMS params{reinterpret_cast<DWORD_PTR>(window_)};
        return mciSendCommandA(id, command, flags, reinterpret_cast<DWORD_PTR>(&params));
    }
    MCIERROR Play(MCIDEVICEID id, DWORD flags = MCI_NOTIFY, DWORD from = 0, DWORD to = 0) {
        MCI_PLAY_PARMS params{reinterpret_cast<DWORD_PTR>(window_), from, to};
        return mciSendCommandA(id, MCI_PLAY, flags, reinterpret_cast<DWORD_PTR>(&params));
    }
    MCIERROR Seek(MCIDEVICEID id, DWORD flags, DWORD to = 0) {
        MCI_SEEK_PARMS params{reinterpret_cast<DWORD_PTR>(window_), to};
        return mciSendCommandA(id, MCI_SEEK, MCI_WAIT | flags, reinterpret_cast<DWORD_PTR>(&params));
    }

    // The MM_MCINOTIFY codes the window has received for the device, oldest first.
    std::vector<WPARAM> Notices(MCIDEVICEID id) const {
        std::vector<WPARAM> codes;
        for (const Received& received : recorder_.Log())
            if (received.message == MM_MCINOTIFY && static_cast<MCIDEVICEID>(received.lParam) == id)
                codes.push_back(received.wParam);
        return codes;
    }
    bool NoticeArrives(MCIDEVICEID id, size_t count) {
        return winapi::RunUntil([&] { return Notices(id).size() >= count; });
    }

    winapi::WorkFolder folder_;
    Recorder recorder_;
    HWND window_ = nullptr;
};

}  // namespace

TEST_F(Mci, AWaveFileOpensStoppedAtTheStartWithItsLengthInEachTimeFormat) {
    folder_.Write("tone.wav", winapi::WaveFile(1500, 22050, 2));
    for (const char* type : {"waveaudio", "WaveAudio", static_cast<const char*>(nullptr)}) {
        SCOPED_TRACE(type ? type : "by its extension");
        MCIDEVICEID id = 0;
        ASSERT_EQ(Open("tone.wav", id, type), 0u);
        EXPECT_NE(id, 0u);
        EXPECT_EQ(SetTimeFormat(id, MCI_FORMAT_MILLISECONDS), 0u);
        EXPECT_EQ(Status(id, MCI_STATUS_TIME_FORMAT), static_cast<DWORD>(MCI_FORMAT_MILLISECONDS));
        EXPECT_EQ(Status(id, MCI_STATUS_LENGTH), 1500u);
        EXPECT_EQ(Status(id, MCI_STATUS_POSITION), 0u);
        EXPECT_EQ(Status(id, MCI_STATUS_MODE), static_cast<DWORD>(MCI_MODE_STOP));
        // The same length counted in samples of one channel and in bytes of the data.
        EXPECT_EQ(SetTimeFormat(id, MCI_FORMAT_SAMPLES), 0u);
        EXPECT_EQ(Status(id, MCI_STATUS_LENGTH), 33075u);
        EXPECT_EQ(SetTimeFormat(id, MCI_FORMAT_BYTES), 0u);
        EXPECT_EQ(Status(id, MCI_STATUS_LENGTH), 33075u * 4);
        EXPECT_EQ(Status(id, MCI_STATUS_TIME_FORMAT), static_cast<DWORD>(MCI_FORMAT_BYTES));
        EXPECT_EQ(Status(id, MCI_WAVE_STATUS_SAMPLESPERSEC), 22050u);
        EXPECT_EQ(Status(id, MCI_WAVE_STATUS_CHANNELS), 2u);
        EXPECT_EQ(Status(id, MCI_WAVE_STATUS_BITSPERSAMPLE), 16u);
        EXPECT_EQ(Send(id, MCI_CLOSE), 0u);
    }
}

TEST_F(Mci, PlayingToTheEndTellsTheWindowItSucceeded) {
    const MCIDEVICEID id = OpenTone(300);
    ASSERT_EQ(Play(id), 0u);
    EXPECT_EQ(Status(id, MCI_STATUS_MODE), static_cast<DWORD>(MCI_MODE_PLAY));
    ASSERT_TRUE(NoticeArrives(id, 1));
    EXPECT_EQ(Notices(id), std::vector<WPARAM>{MCI_NOTIFY_SUCCESSFUL});
    for (const Received& received : recorder_.Log())
        EXPECT_TRUE(received.message != MM_MCINOTIFY || received.window == window_);
    EXPECT_EQ(Status(id, MCI_STATUS_MODE), static_cast<DWORD>(MCI_MODE_STOP));
    EXPECT_EQ(Status(id, MCI_STATUS_POSITION), 300u);

    // From a place of its own to a place of its own, waiting: the call returns there.
    EXPECT_EQ(Play(id, MCI_WAIT | MCI_FROM | MCI_TO, 100, 200), 0u);
    EXPECT_EQ(Status(id, MCI_STATUS_POSITION), 200u);
    EXPECT_EQ(Status(id, MCI_STATUS_MODE), static_cast<DWORD>(MCI_MODE_STOP));
}

TEST_F(Mci, APauseHoldsThePlaceAndAStopAbortsThePlaysNotice) {
    const MCIDEVICEID id = OpenTone(5000);
    ASSERT_EQ(Play(id), 0u);
    winapi::RunFor(200);
    ASSERT_EQ(Send(id, MCI_PAUSE), 0u);
    EXPECT_EQ(Status(id, MCI_STATUS_MODE), static_cast<DWORD>(MCI_MODE_PAUSE));
    const DWORD paused = Status(id, MCI_STATUS_POSITION);
    EXPECT_LT(paused, 5000u);
    winapi::RunFor(300);
    EXPECT_EQ(Status(id, MCI_STATUS_POSITION), paused);

    ASSERT_EQ(Send(id, MCI_RESUME), 0u);
    EXPECT_EQ(Status(id, MCI_STATUS_MODE), static_cast<DWORD>(MCI_MODE_PLAY));
    ASSERT_EQ(Send(id, MCI_STOP), 0u);
    EXPECT_EQ(Status(id, MCI_STATUS_MODE), static_cast<DWORD>(MCI_MODE_STOP));
    ASSERT_TRUE(NoticeArrives(id, 1));
    winapi::RunFor(100);
    EXPECT_EQ(Notices(id), std::vector<WPARAM>{MCI_NOTIFY_ABORTED});
}

TEST_F(Mci, SeeksLandWhereAskedAndStopAPlay) {
    const MCIDEVICEID id = OpenTone(2000);
    EXPECT_EQ(Seek(id, MCI_TO, 1234), 0u);
    EXPECT_EQ(Status(id, MCI_STATUS_POSITION), 1234u);
    EXPECT_EQ(Seek(id, MCI_SEEK_TO_END), 0u);
    EXPECT_EQ(Status(id, MCI_STATUS_POSITION), 2000u);
    EXPECT_EQ(Seek(id, MCI_SEEK_TO_START), 0u);
    EXPECT_EQ(Status(id, MCI_STATUS_POSITION), 0u);
    EXPECT_EQ(Seek(id, MCI_TO, 2001), static_cast<MCIERROR>(MCIERR_OUTOFRANGE));

    ASSERT_EQ(Play(id), 0u);
    EXPECT_EQ(Seek(id, MCI_TO, 500), 0u);
    EXPECT_EQ(Status(id, MCI_STATUS_MODE), static_cast<DWORD>(MCI_MODE_STOP));
    EXPECT_EQ(Status(id, MCI_STATUS_POSITION), 500u);
    ASSERT_TRUE(NoticeArrives(id, 1));
    EXPECT_EQ(Notices(id), std::vector<WPARAM>{MCI_NOTIFY_ABORTED});
}

TEST_F(Mci, AMissingFileOrOneThatIsNoWaveIsNotOpened) {
    folder_.Write("text.wav", "This is a text file named like a sound.\r\n");
    MCIDEVICEID id = 0;
    EXPECT_EQ(Open("missing.wav", id), static_cast<MCIERROR>(MCIERR_FILE_NOT_FOUND));
    EXPECT_EQ(Open("no folder\\missing.wav", id), static_cast<MCIERROR>(MCIERR_FILE_NOT_FOUND));
    EXPECT_EQ(Open("text.wav", id), static_cast<MCIERROR>(MCIERR_INVALID_FILE));

    // A closed device is no device.
    const MCIDEVICEID tone = OpenTone(200);
    ASSERT_EQ(Send(tone, MCI_CLOSE), 0u);
    EXPECT_EQ(Send(tone, MCI_PLAY), static_cast<MCIERROR>(MCIERR_INVALID_DEVICE_ID));
    MCI_STATUS_PARMS status{0, 0, MCI_STATUS_MODE, 0};
    EXPECT_EQ(mciSendCommandA(tone, MCI_STATUS, MCI_WAIT | MCI_STATUS_ITEM, reinterpret_cast<DWORD_PTR>(&status)),
              static_cast<MCIERROR>(MCIERR_INVALID_DEVICE_ID));
}
