// Fuzzes opening and playing arbitrary bytes through mciSendCommandA, as the player does with whatever file the
// folder holds under the names its mask knows. The sound goes to the null output on the virtual clock, so playing
// takes no real time; each input plays at most a second from its start and a second up to its end. Whatever the
// bytes, nothing may crash or hang: a file is opened or refused as invalid, a play reaches its end and stops
// there, positions never run backwards or past the length, and the device closes.
//
// The first byte of an input picks the file's extension (its value modulo 5) and, above that, how it is played:
// waiting for each play to end (even) or letting the clock run in steps while it plays (odd), and whether the
// length is also asked for in samples and bytes. The rest is the file.

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

#include "platform/kernel/Paths.h"
#include "platform/mci/MciSystem.h"
#include "platform/testing/VirtualClock.h"
#include "platform/win32.h"

namespace {

constexpr const char* kExtensions[] = {"mp3", "wav", "aif", "au", "mid"};
constexpr DWORD kPlayedMilliseconds = 1000;
constexpr auto kStep = std::chrono::milliseconds(100);

struct Session {
    platform::testing::VirtualClock clock;
    std::filesystem::path stem;  // each input is written here with its extension, and removed after it has played
};
Session* session = nullptr;

void Check(bool condition, const char* broken) {
    if (condition) return;
    std::fprintf(stderr, "MCI invariant broken: %s\n", broken);
    std::abort();
}

std::filesystem::path InputStem() {
    // Memory-backed where there is such a place, so that writing each input costs no disk.
    std::error_code error;
    std::filesystem::path base = std::filesystem::is_directory("/dev/shm", error) && access("/dev/shm", W_OK) == 0
                                     ? std::filesystem::path("/dev/shm")
                                     : std::filesystem::temp_directory_path();
    return base / ("korvo-mci-fuzz-" + std::to_string(getpid()));
}

DWORD Status(MCIDEVICEID id, DWORD item) {
    MCI_STATUS_PARMS params{};
    params.dwItem = item;
    Check(mciSendCommandA(id, MCI_STATUS, MCI_WAIT | MCI_STATUS_ITEM, reinterpret_cast<DWORD_PTR>(&params)) == 0,
          "a status item refused");
    return static_cast<DWORD>(params.dwReturn);
}

void SetTimeFormat(MCIDEVICEID id, DWORD format) {
    MCI_SET_PARMS params{0, format, 0};
    Check(mciSendCommandA(id, MCI_SET, MCI_WAIT | MCI_SET_TIME_FORMAT, reinterpret_cast<DWORD_PTR>(&params)) == 0,
          "a time format refused");
}

MCIERROR Play(MCIDEVICEID id, DWORD flags, DWORD from = 0, DWORD to = 0) {
    MCI_PLAY_PARMS params{0, from, to};
    return mciSendCommandA(id, MCI_PLAY, flags, reinterpret_cast<DWORD_PTR>(&params));
}

void CheckStoppedAt(MCIDEVICEID id, DWORD position) {
    Check(Status(id, MCI_STATUS_MODE) == MCI_MODE_STOP, "a play that ended did not stop");
    Check(Status(id, MCI_STATUS_POSITION) == position, "a play ended elsewhere than where it was to end");
}

// Plays the first second and the last, each time waiting for the end.
void PlayWaiting(MCIDEVICEID id) {
    DWORD length = Status(id, MCI_STATUS_LENGTH);
    const DWORD to = std::min(length, kPlayedMilliseconds);
    MCIERROR error = Play(id, MCI_WAIT | MCI_FROM | MCI_TO, 0, to);
    length = Status(id, MCI_STATUS_LENGTH);
    // Decoding ahead may have found the data ending before its header said, and the length is then shorter.
    if (error == MCIERR_OUTOFRANGE && length < to) return;
    Check(error == 0, "a play within the length refused");
    CheckStoppedAt(id, std::min(to, length));

    MCI_SEEK_PARMS seek{0, length > kPlayedMilliseconds ? length - kPlayedMilliseconds : 0};
    Check(mciSendCommandA(id, MCI_SEEK, MCI_WAIT | MCI_TO, reinterpret_cast<DWORD_PTR>(&seek)) == 0,
          "a seek within the length refused");
    Check(Play(id, MCI_WAIT) == 0, "a play to the end refused");
    CheckStoppedAt(id, Status(id, MCI_STATUS_LENGTH));
}

// Plays from the start while virtual time passes in steps, looking at the position after each.
void PlaySteps(MCIDEVICEID id) {
    Check(Play(id, 0) == 0, "a play refused");
    DWORD previous = 0;
    for (auto passed = kStep; passed <= std::chrono::milliseconds(kPlayedMilliseconds); passed += kStep) {
        session->clock.Advance(kStep);
        const DWORD position = Status(id, MCI_STATUS_POSITION);
        Check(position >= previous, "the position ran backwards");
        Check(position <= Status(id, MCI_STATUS_LENGTH), "the position ran past the length");
        previous = position;
        if (Status(id, MCI_STATUS_MODE) == MCI_MODE_STOP) {
            Check(position == Status(id, MCI_STATUS_LENGTH), "a play stopped by itself before the end");
            break;
        }
    }
    MCI_GENERIC_PARMS stop{0};
    Check(mciSendCommandA(id, MCI_STOP, MCI_WAIT, reinterpret_cast<DWORD_PTR>(&stop)) == 0, "a stop refused");
    Check(Status(id, MCI_STATUS_MODE) == MCI_MODE_STOP, "a stopped device is not stopped");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    session = new Session{{}, InputStem()};
    std::string error;
    if (!platform::mci::MciSystem::Get().UseOutput({"null", 44100, {}}, error)) {
        std::fprintf(stderr, "no null output: %s\n", error.c_str());
        std::abort();
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint8_t mode = data[0];
    const std::filesystem::path path = session->stem.string() + "." + kExtensions[mode % std::size(kExtensions)];
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data) + 1, std::streamsize(size - 1));
    const std::string name = platform::kernel::WindowsPathOf(path.string());

    MCI_OPEN_PARMSA open{};
    open.lpstrElementName = name.c_str();
    const MCIERROR error =
        mciSendCommandA(0, MCI_OPEN, MCI_WAIT | MCI_OPEN_ELEMENT, reinterpret_cast<DWORD_PTR>(&open));
    if (error) {
        Check(error == MCIERR_INVALID_FILE, "a file refused for another reason than its content");
    } else {
        const MCIDEVICEID id = open.wDeviceID;
        Check(Status(id, MCI_STATUS_POSITION) == 0 && Status(id, MCI_STATUS_MODE) == MCI_MODE_STOP,
              "a file opened somewhere else than stopped at its start");
        const int style = static_cast<int>(mode / std::size(kExtensions));
        if (style & 2) {
            SetTimeFormat(id, MCI_FORMAT_SAMPLES);
            Status(id, MCI_STATUS_LENGTH);
            SetTimeFormat(id, MCI_FORMAT_BYTES);
            Status(id, MCI_STATUS_LENGTH);
            SetTimeFormat(id, MCI_FORMAT_MILLISECONDS);
        }
        if (style & 1) PlaySteps(id);
        else PlayWaiting(id);
        MCI_GENERIC_PARMS close{0};
        Check(mciSendCommandA(id, MCI_CLOSE, MCI_WAIT, reinterpret_cast<DWORD_PTR>(&close)) == 0, "a close refused");
    }
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    return 0;
}
