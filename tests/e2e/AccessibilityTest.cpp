// The real player on a real X server, a private session bus (the test runs under dbus-run-session) and the
// desktop's own accessibility bus and registry: while the desktop wants no accessibility the player never asks for
// the bus; once a screen reader is switched on it appears in the desktop's tree, and a reader's library
// (accessibility-probe.py) reads its windows, chooses in its playlist, plays, steps and opens its settings through
// the actions it offers, reads the file mask there as text and puts its caret, and answers the error box a damaged
// file brings; switched off again, it leaves.

#include <gtest/gtest.h>
#include <sndfile.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/e2e/XServer.h"
#include "tests/support/Environment.h"
#include "tests/support/MediaFixtures.h"
#include "tests/support/TempFolder.h"

namespace {

constexpr const char* kLauncher = "/usr/libexec/at-spi-bus-launcher";
const char* const kFiles[] = {"01 朝.wav", "02 Noon.wav", "03 夜.wav"};
constexpr const char* kDamaged = "04 壊れた.wav";

bool LauncherRunning() {
    return RunProgram({"busctl", "--user", "call", "org.freedesktop.DBus", "/org/freedesktop/DBus",
                       "org.freedesktop.DBus", "NameHasOwner", "s", "org.a11y.Bus"})
               .starts_with("b true");
}

bool PlayerShows(const std::string& file) {
    return RunProgram({"busctl", "--user", "get-property", "org.mpris.MediaPlayer2.korvo", "/org/mpris/MediaPlayer2",
                       "org.mpris.MediaPlayer2.Player", "Metadata"})
               .find(file) != std::string::npos;
}

void SetStatus(const char* property, bool on) {
    RunProgram({"busctl", "--user", "set-property", "org.a11y.Bus", "/org/a11y/bus", "org.a11y.Status", property,
                "b", on ? "true" : "false"});
}

// The accessibility bus's address, which the launcher makes the bus for when first asked.
std::string BusAddress() {
    std::string reply = RunProgram({"busctl", "--user", "call", "org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus",
                                    "GetAddress"});
    const size_t open = reply.find('"'), close = reply.rfind('"');
    return open == std::string::npos || close <= open ? std::string() : reply.substr(open + 1, close - open - 1);
}

// Runs the probe as a reader would run, off the X server (a reader's library would read the address from it).
int Probe(const std::string& address, std::vector<std::string> check, std::string& said) {
    std::vector<std::string> command{"env", "-u", "DISPLAY", "AT_SPI_BUS_ADDRESS=" + address, "/usr/bin/python3",
                                     KORVO_ACCESSIBILITY_PROBE};
    command.insert(command.end(), check.begin(), check.end());
    Process probe(command);
    if (!probe.Started()) return -1;
    while (probe.ReadLine()) {
    }
    said = probe.Said();
    return probe.Wait();
}

// Ends the processes whose command line or environment names `text` (a folder of this test's own). They block
// the signals that would end them gently, as the launcher leaves them.
void EndProcessesNaming(const std::string& text) {
    auto names = [&](const std::filesystem::path& file) {
        std::ifstream in(file);
        const std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        return content.find(text) != std::string::npos;
    };
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos || std::stoi(name) == getpid()) continue;
        if (names(entry.path() / "cmdline") || names(entry.path() / "environ")) kill(std::stoi(name), SIGKILL);
    }
}

}  // namespace

TEST(Accessibility, AScreenReaderSwitchedOnReadsAndPlaysThePlayerWhichOtherwiseNeverAsks) {
    ASSERT_NE(getenv("DBUS_SESSION_BUS_ADDRESS"), nullptr) << "run under dbus-run-session, as CTest does";
    ASSERT_TRUE(std::filesystem::exists(KORVO_RELEASE_PROGRAM)) << "./test builds the optimised program first";
    ASSERT_TRUE(std::filesystem::exists(kLauncher)) << "scripts/install-deps installs at-spi2-core";
    TempFolder home, program, runtime;
    chmod(runtime.Path().c_str(), 0700);
    std::filesystem::create_directories(home.Path() / "Music");
    for (const char* name : kFiles)
        ASSERT_TRUE(WriteSound(home.Path() / "Music" / name, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2,
                               Tone(44100, 2, 44100 * 3)));
    std::ofstream(home.Path() / "Music" / kDamaged, std::ios::binary) << std::string(5000, '\x5A');
    std::filesystem::copy_file(KORVO_RELEASE_PROGRAM, program.Path() / "korvo");
    Environment homeFolder("HOME", home.Path().string());
    Environment noUserDirs("XDG_CONFIG_HOME", (home.Path() / ".config").string());
    Environment driver("SDL_AUDIODRIVER", "dummy");
    // The launcher makes its bus's socket here, and would keep the user's settings in memory only.
    Environment runtimeFolder("XDG_RUNTIME_DIR", runtime.Path().string());
    Environment settings("GSETTINGS_BACKEND", "memory");
    Environment noAddress("AT_SPI_BUS_ADDRESS", std::nullopt);
    Environment notTurnedOff("NO_AT_BRIDGE", std::nullopt);

    VirtualXServer server(640, 800);
    ASSERT_TRUE(server.Running()) << "Xvfb did not start";
    // Off the X server: on one, the launcher would name its bus on the screen's root window for every program.
    Process launcher({"env", "-u", "DISPLAY", kLauncher, "--a11y=0", "--screen-reader=0"}, false);
    ASSERT_TRUE(launcher.Started());
    ASSERT_TRUE(WaitUntil(LauncherRunning)) << "the accessibility bus launcher did not start";
    Process player({(program.Path() / "korvo").string()}, false);
    ASSERT_TRUE(player.Started());
    ASSERT_TRUE(WaitUntil([] { return PlayerShows("01 "); })) << "the player did not start";

    // Accessibility off: the launcher makes its bus only when first asked for it, so its socket's absence shows
    // that the player never asked.
    EXPECT_FALSE(std::filesystem::exists(runtime.Path() / "at-spi"))
        << "the player asked for the accessibility bus while accessibility was off";

    SetStatus("ScreenReaderEnabled", true);
    const std::string address = BusAddress();
    ASSERT_FALSE(address.empty()) << "the launcher gave no accessibility bus";
    std::string said;
    EXPECT_EQ(Probe(address, {"read", kFiles[0], kFiles[1], kFiles[2], kDamaged}, said), 0) << said;
    EXPECT_NE(said.find("\nOK\n"), std::string::npos) << said;

    // Switched off, the player leaves the desktop's tree, and plays on.
    SetStatus("ScreenReaderEnabled", false);
    SetStatus("IsEnabled", false);
    EXPECT_EQ(Probe(address, {"absent"}, said), 0) << said;
    EXPECT_NE(said.find("OK\n"), std::string::npos) << said;
    EXPECT_TRUE(PlayerShows("02 Noon.wav")) << "the player went with the accessibility bus";

    RunProgram({"busctl", "--user", "call", "org.mpris.MediaPlayer2.korvo", "/org/mpris/MediaPlayer2",
                "org.mpris.MediaPlayer2", "Quit"});
    EXPECT_EQ(player.Wait(), 0);
    // The launcher's bus and the registry outlive the launcher: they are known by this test's own folder.
    launcher.Signal(SIGKILL);
    launcher.Wait();
    EndProcessesNaming(runtime.Path().string() + "/at-spi/");
}
