// The real player on a real X server and a private session bus (the test runs under dbus-run-session): the desktop's
// media controls, played by busctl as a panel would, see the buttons' states and the open file, change the player
// as its buttons do, hear of every change by signal, and quit it as its exit button does, settings saved.

#include <gtest/gtest.h>
#include <sndfile.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "tests/e2e/XServer.h"
#include "tests/support/MediaFixtures.h"
#include "tests/support/Environment.h"
#include "tests/support/TempFolder.h"

namespace {

constexpr const char* kPlayerName = "org.mpris.MediaPlayer2.korvo";
constexpr const char* kPath = "/org/mpris/MediaPlayer2";
constexpr const char* kPlayer = "org.mpris.MediaPlayer2.Player";

std::string Trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
    return text;
}

// A property's value as busctl writes it in JSON ("\"Playing\"", "false", an object for the metadata); empty while
// the player is not on the bus.
std::string Property(const std::string& name, const char* interface = kPlayer) {
    const std::string json =
        Trimmed(RunProgram({"busctl", "--user", "--json=short", "get-property", kPlayerName, kPath, interface, name}));
    const size_t data = json.find("\"data\":");
    if (data == std::string::npos || json.back() != '}') return {};
    return json.substr(data + 7, json.size() - data - 8);
}

void Call(const char* interface, const std::string& method) {
    RunProgram({"busctl", "--user", "call", kPlayerName, kPath, interface, method});
}

bool WaitForProperty(const std::string& name, const std::string& value) {
    return WaitUntil([&] { return Property(name) == value; });
}

std::string Entry(const std::string& key, const std::string& value) {
    return "\"" + key + "\":{\"type\":\"s\",\"data\":\"" + value + "\"}";
}

bool WaitForTitle(const std::string& title) {
    return WaitUntil([&] { return Property("Metadata").find(Entry("xesam:title", title)) != std::string::npos; });
}

// Reads the signals of the player's properties from dbus-monitor until one carries `text`.
bool SignalCarries(Process& monitor, const std::string& text) {
    while (auto line = monitor.ReadLine())
        if (line->find(text) != std::string::npos) return true;
    return false;
}

}  // namespace

TEST(MediaControls, TheDesktopPlaysPausesStepsAndQuitsThePlayerAsItsButtonsWould) {
    ASSERT_NE(getenv("DBUS_SESSION_BUS_ADDRESS"), nullptr) << "run under dbus-run-session, as CTest does";
    ASSERT_TRUE(std::filesystem::exists(KORVO_RELEASE_PROGRAM)) << "./test builds the optimised program first";
    TempFolder home, program;
    std::filesystem::create_directories(home.Path() / "Music");
    for (const char* name : {"01 朝.wav", "02 Noon.wav", "03 夜.wav"})
        ASSERT_TRUE(WriteSound(home.Path() / "Music" / name, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2,
                               Tone(44100, 2, 44100 * 3)));
    std::filesystem::copy_file(KORVO_RELEASE_PROGRAM, program.Path() / "korvo");
    Environment homeFolder("HOME", home.Path().string());
    Environment noUserDirs("XDG_CONFIG_HOME", (home.Path() / ".config").string());
    Environment driver("SDL_AUDIODRIVER", "dummy");

    VirtualXServer server(640, 800);
    ASSERT_TRUE(server.Running()) << "Xvfb did not start";
    Process monitor({"dbus-monitor", "--session",
                     "type='signal',interface='org.freedesktop.DBus.Properties',member='PropertiesChanged'"});
    ASSERT_TRUE(monitor.Started());
    Process player({(program.Path() / "korvo").string()}, false);
    ASSERT_TRUE(player.Started());

    // On the bus as soon as it shows its first file, stopped, with nothing before it.
    ASSERT_TRUE(WaitForTitle("01 朝.wav")) << Property("Metadata");
    const std::string metadata = Property("Metadata");
    EXPECT_NE(metadata.find(Entry("xesam:album", (home.Path() / "Music").string())), std::string::npos)
        << metadata;
    EXPECT_NE(metadata.find("\"mpris:length\":{\"type\":\"x\",\"data\":3000000}"), std::string::npos) << metadata;
    EXPECT_EQ(Property("PlaybackStatus"), "\"Stopped\"");
    EXPECT_EQ(Property("CanGoPrevious"), "false");
    EXPECT_EQ(Property("CanGoNext"), "true");
    EXPECT_EQ(Property("CanPlay"), "true");
    EXPECT_EQ(Property("CanPause"), "false");
    EXPECT_EQ(Property("Identity", "org.mpris.MediaPlayer2"), "\"Korvo Music Player\"");

    Call(kPlayer, "Play");
    ASSERT_TRUE(WaitForProperty("PlaybackStatus", "\"Playing\"")) << Property("PlaybackStatus");
    EXPECT_TRUE(SignalCarries(monitor, "\"Playing\"")) << "the change was signalled";
    EXPECT_EQ(Property("CanPlay"), "false");
    Call(kPlayer, "Pause");
    EXPECT_TRUE(WaitForProperty("PlaybackStatus", "\"Paused\""));
    // Paused, a second pause changes nothing (the button would resume); play-pause resumes.
    Call(kPlayer, "Pause");
    Call(kPlayer, "PlayPause");
    EXPECT_TRUE(WaitForProperty("PlaybackStatus", "\"Playing\""));

    // The next file plays on, and now has one before it.
    Call(kPlayer, "Next");
    EXPECT_TRUE(WaitForTitle("02 Noon.wav")) << Property("Metadata");
    EXPECT_TRUE(WaitForProperty("CanGoPrevious", "true"));
    EXPECT_EQ(Property("PlaybackStatus"), "\"Playing\"");
    Call(kPlayer, "Stop");
    EXPECT_TRUE(WaitForProperty("PlaybackStatus", "\"Stopped\""));
    Call(kPlayer, "Previous");
    EXPECT_TRUE(WaitForTitle("01 朝.wav"));
    // The first entry again: a step back is refused as the greyed button refuses it. The requests are taken in
    // order, so once play has been carried out the step back has been refused.
    Call(kPlayer, "Previous");
    Call(kPlayer, "Play");
    EXPECT_TRUE(WaitForProperty("PlaybackStatus", "\"Playing\""));
    EXPECT_NE(Property("Metadata").find("01 朝.wav"), std::string::npos);
    Call(kPlayer, "Stop");
    EXPECT_TRUE(WaitForProperty("PlaybackStatus", "\"Stopped\""));

    Call("org.mpris.MediaPlayer2", "Quit");
    EXPECT_EQ(player.Wait(), 0);
    std::ifstream settingsFile(program.Path() / "Korvo.ini");
    std::string settings((std::istreambuf_iterator<char>(settingsFile)), std::istreambuf_iterator<char>());
    EXPECT_NE(settings.find("Directory=" + home.WindowsPath("Music")), std::string::npos) << settings;
    EXPECT_NE(settings.find("[MainWindow]"), std::string::npos) << settings;
    EXPECT_EQ(Property("PlaybackStatus"), "") << "the name goes with the program";
}
