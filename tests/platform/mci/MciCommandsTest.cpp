// Device identifiers, capabilities, and every failure with its code and text.

#include <sndfile.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>

#include "platform/mci/MciSystem.h"
#include "tests/support/MediaFixtures.h"
#include "tests/platform/mci/MciTestSupport.h"

using namespace std::chrono_literals;

namespace {

class MciCommands : public MciTest {
  protected:
    void SetUp() override {
        ASSERT_TRUE(WriteSound(folder_.Path() / "a.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, kOutputRate, 2,
                               Tone(kOutputRate, 2, kOutputRate)));
        ASSERT_TRUE(WriteSound(folder_.Path() / "b.mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, kOutputRate, 2,
                               Tone(kOutputRate, 2, kOutputRate)));
    }
};

// Whether a descriptor of the process is open on the file.
bool FileIsOpen(const std::filesystem::path& path) {
    const std::filesystem::path target = std::filesystem::canonical(path);
    std::error_code error;
    for (std::filesystem::directory_iterator it("/proc/self/fd", error), end; !error && it != end;
         it.increment(error)) {
        std::error_code gone;
        if (std::filesystem::read_symlink(it->path(), gone) == target) return true;
    }
    return false;
}

}  // namespace

TEST_F(MciCommands, DeviceIdentifiersStartAtOneAndFreedOnesAreReused) {
    MCIDEVICEID first = 0, second = 0, third = 0;
    ASSERT_EQ(Open("a.wav", first), 0u);
    ASSERT_EQ(Open(folder_.WindowsPath("b.mp3"), second), 0u);  // a full Windows path works as well
    EXPECT_EQ(first, 1u);
    EXPECT_EQ(second, 2u);
    EXPECT_EQ(Send(first, MCI_CLOSE), 0u);
    MCIERROR closed = 0;
    EXPECT_EQ(Status(first, MCI_STATUS_MODE, &closed), 0xDEADBEEFu);  // dwReturn is left as it was
    EXPECT_EQ(closed, static_cast<MCIERROR>(MCIERR_INVALID_DEVICE_ID));
    ASSERT_EQ(Open("a.wav", third), 0u);
    EXPECT_EQ(third, 1u);
    EXPECT_EQ(mciSendCommandA(MCI_ALL_DEVICE_ID, MCI_CLOSE, MCI_WAIT, 0), 0u);
    MCIERROR error = 0;
    Status(second, MCI_STATUS_LENGTH, &error);
    EXPECT_EQ(error, static_cast<MCIERROR>(MCIERR_INVALID_DEVICE_ID));
}

TEST_F(MciCommands, CapabilitiesAreThoseOfTheDeviceKind) {
    MCIDEVICEID wave = 0, mpeg = 0, typeOnly = 0;
    ASSERT_EQ(Open("a.wav", wave), 0u);
    ASSERT_EQ(Open("b.mp3", mpeg), 0u);
    ASSERT_EQ(Open("", typeOnly, "WaveAudio"), 0u);
    EXPECT_EQ(Capability(wave, MCI_GETDEVCAPS_DEVICE_TYPE), static_cast<DWORD>(MCI_DEVTYPE_WAVEFORM_AUDIO));
    EXPECT_EQ(Capability(mpeg, MCI_GETDEVCAPS_DEVICE_TYPE), static_cast<DWORD>(MCI_DEVTYPE_DIGITAL_VIDEO));
    EXPECT_EQ(Capability(typeOnly, MCI_GETDEVCAPS_DEVICE_TYPE), static_cast<DWORD>(MCI_DEVTYPE_WAVEFORM_AUDIO));
    for (MCIDEVICEID id : {wave, mpeg}) {
        EXPECT_EQ(Capability(id, MCI_GETDEVCAPS_CAN_PLAY), static_cast<DWORD>(TRUE));
        EXPECT_EQ(Capability(id, MCI_GETDEVCAPS_CAN_RECORD), static_cast<DWORD>(FALSE));
        EXPECT_EQ(Capability(id, MCI_GETDEVCAPS_CAN_EJECT), static_cast<DWORD>(FALSE));
        EXPECT_EQ(Status(id, MCI_STATUS_NUMBER_OF_TRACKS), 1u);
    }
    EXPECT_EQ(Capability(wave, MCI_GETDEVCAPS_HAS_VIDEO), static_cast<DWORD>(FALSE));
    EXPECT_EQ(Capability(mpeg, MCI_GETDEVCAPS_HAS_VIDEO), static_cast<DWORD>(TRUE));
    EXPECT_EQ(Status(wave, MCI_WAVE_STATUS_SAMPLESPERSEC), static_cast<DWORD>(kOutputRate));
    EXPECT_EQ(Status(wave, MCI_WAVE_STATUS_BITSPERSAMPLE), 16u);
    // A device opened by its type alone holds nothing: length 0, and a play ends at once.
    EXPECT_EQ(Status(typeOnly, MCI_STATUS_LENGTH), 0u);
    EXPECT_EQ(Play(typeOnly), 0u);
    EXPECT_EQ(TakeNotices(typeOnly), std::vector<WPARAM>{MCI_NOTIFY_SUCCESSFUL});
}

TEST_F(MciCommands, EveryFailureHasItsCodeAndItsText) {
    MCIDEVICEID id = 0, ignored = 0;
    ASSERT_EQ(Open("a.wav", id), 0u);
    MCI_OPEN_PARMSA open{};
    open.lpstrElementName = "a.wav";
    MCI_SET_PARMS set{0, MCI_FORMAT_SMPTE_25, 0};
    MCI_STATUS_PARMS status{0, 0, 0x7777, 0};
    const struct {
        MCIERROR got;
        MCIERROR expected;
    } cases[] = {
        {Send(0, MCI_PLAY), MCIERR_INVALID_DEVICE_ID},
        {Send(99, MCI_STOP), MCIERR_INVALID_DEVICE_ID},
        {Send(id, 0x0700), MCIERR_UNRECOGNIZED_COMMAND},
        {Open("", ignored, "CDAudio"), MCIERR_INVALID_DEVICE_NAME},
        {mciSendCommandA(0, MCI_OPEN, MCI_WAIT, reinterpret_cast<DWORD_PTR>(&open)), MCIERR_MISSING_PARAMETER},
        {mciSendCommandA(0, MCI_OPEN, MCI_WAIT | MCI_OPEN_ELEMENT, 0), MCIERR_NULL_PARAMETER_BLOCK},
        {Send(id, MCI_STEP), MCIERR_UNSUPPORTED_FUNCTION},
        {Send(id, MCI_RECORD), MCIERR_UNSUPPORTED_FUNCTION},
        {Send(id, MCI_WINDOW), MCIERR_UNSUPPORTED_FUNCTION},
        {Send(id, MCI_SET, MCI_WAIT | MCI_SET_DOOR_OPEN), MCIERR_UNSUPPORTED_FUNCTION},
        {mciSendCommandA(id, MCI_SET, MCI_WAIT | MCI_SET_TIME_FORMAT, reinterpret_cast<DWORD_PTR>(&set)),
         MCIERR_BAD_TIME_FORMAT},
        {mciSendCommandA(id, MCI_STATUS, MCI_WAIT, reinterpret_cast<DWORD_PTR>(&status)), MCIERR_MISSING_PARAMETER},
        {mciSendCommandA(id, MCI_STATUS, MCI_WAIT | MCI_STATUS_ITEM, reinterpret_cast<DWORD_PTR>(&status)),
         MCIERR_UNSUPPORTED_FUNCTION},
        {Play(id, MCI_NOTIFY | MCI_FROM, 1001), MCIERR_OUTOFRANGE},
        {mciSendCommandA(id, MCI_PLAY, MCI_NOTIFY, 0), MCIERR_NULL_PARAMETER_BLOCK},
        {mciSendCommandA(MCI_ALL_DEVICE_ID, MCI_PLAY, MCI_WAIT, 0), MCIERR_CANNOT_USE_ALL},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.got, c.expected);
        const std::string text = ErrorText(c.expected);
        EXPECT_NE(text, "<none>") << c.expected;
        EXPECT_NE(text.find("\xE3"), std::string::npos) << "a Japanese text for " << c.expected;
    }
    EXPECT_NE(Status(id, MCI_STATUS_MODE), 0u);  // the failures left the device as it was
    EXPECT_NE(ErrorText(MCIERR_FILE_NOT_FOUND), ErrorText(MCIERR_INVALID_FILE));
    for (MCIERROR produced :
         {MCIERR_FILE_NOT_FOUND, MCIERR_INVALID_FILE, MCIERR_FILE_READ, MCIERR_CANNOT_LOAD_DRIVER,
          MCIERR_DEVICE_NOT_READY})
        EXPECT_NE(ErrorText(produced), "<none>") << produced;
    // Codes this platform never produces have no text, so the program shows its own "unknown error".
    char text[16] = "x";
    EXPECT_FALSE(mciGetErrorStringA(MCIERR_HARDWARE, text, sizeof(text)));
    EXPECT_FALSE(mciGetErrorStringA(12345, text, sizeof(text)));
    // A short buffer gets as much of the text as fits, terminated.
    EXPECT_TRUE(mciGetErrorStringA(MCIERR_FILE_NOT_FOUND, text, sizeof(text)));
    EXPECT_LT(std::string(text).size(), sizeof(text));
}

TEST_F(MciCommands, WithoutASoundDeviceTheFirstOpenSaysSoAndPlayingGoesOnSilently) {
    const char* old = getenv("SDL_AUDIODRIVER");
    std::string saved = old ? old : "";
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    std::string error;
    EXPECT_TRUE(platform::mci::MciSystem::Get().UseOutput({"sdl", 0, {}}, error));
    if (old) setenv("SDL_AUDIODRIVER", saved.c_str(), 1);
    else unsetenv("SDL_AUDIODRIVER");

    MCIDEVICEID id = 0;
    EXPECT_EQ(Open("a.wav", id), static_cast<MCIERROR>(MCIERR_DEVICE_NOT_READY));
    ASSERT_EQ(Open("a.wav", id), 0u);
    EXPECT_EQ(Play(id), 0u);
    Pass(1500ms);
    EXPECT_EQ(Status(id, MCI_STATUS_POSITION), 1000u);
    EXPECT_EQ(TakeNotices(id), std::vector<WPARAM>{MCI_NOTIFY_SUCCESSFUL});
    MCIDEVICEID again = 0;
    EXPECT_EQ(Open("a.wav", again), 0u);
}

TEST_F(MciCommands, CloseLetsGoOfTheFileBeforeItReturnsEvenWhileTheFileIsBeingDecoded) {
    // Right after play the decoding thread is filling the device's buffer. Had it still held the device when the
    // close returned, the file would stay open behind the program's back, and a MIDI file's synthesizer would come
    // back to the pool only after the next MIDI file had made a second one, sound font and all.
    for (const char* name : {"a.wav", "b.mp3"}) {
        SCOPED_TRACE(name);
        int leftOpen = 0;
        for (int i = 0; i < 500; ++i) {
            MCIDEVICEID id = 0;
            ASSERT_EQ(Open(name, id), 0u);
            ASSERT_EQ(Play(id), 0u);
            ASSERT_EQ(Send(id, MCI_CLOSE), 0u);
            if (FileIsOpen(folder_.Path() / name)) ++leftOpen;
        }
        EXPECT_EQ(leftOpen, 0);
    }
}
