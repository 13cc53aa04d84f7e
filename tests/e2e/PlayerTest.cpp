// The real player, as ./run builds it, on a real X server: a home whose music folder holds generated files, SDL's
// disk audio driver for a sound card, and xdotool for a user. It opens on the music folder, plays, steps to the next
// file, pauses, resumes, stops, and on close writes its six settings. The screen is kept as a PNG.

#include <gtest/gtest.h>
#include <sndfile.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "platform/gdi/Png.h"
#include "tests/e2e/XServer.h"
#include "tests/platform/mci/MediaFixtures.h"
#include "tests/support/TempFolder.h"

using namespace std::chrono_literals;

namespace {

// Where the buttons sit in the window's client area: the button bar's panel at (2, 4), each button 25 pixels square.
constexpr int kButtonRow = 4 + 4 + 12;
int ButtonColumn(int left) { return 2 + left + 12; }
constexpr int kPlay = 4, kPause = 28, kStop = 52, kNext = 106;

std::string WindowName(const std::string& id) {
    std::string name = RunProgram({"xdotool", "getwindowname", id});
    while (!name.empty() && (name.back() == '\n' || name.back() == '\r')) name.pop_back();
    return name;
}

bool WaitForName(const std::string& id, const std::string& name, std::chrono::milliseconds limit) {
    auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (WindowName(id) == name) return true;
        std::this_thread::sleep_for(50ms);
    }
    return false;
}

// Sets an environment variable for the programs this test starts, and puts it back afterwards.
class Environment {
  public:
    Environment(const char* name, const std::string& value) : name_(name) {
        if (const char* old = getenv(name)) saved_ = old;
        setenv(name, value.c_str(), 1);
    }
    ~Environment() {
        if (saved_) setenv(name_, saved_->c_str(), 1);
        else unsetenv(name_);
    }

  private:
    const char* name_;
    std::optional<std::string> saved_;
};

}  // namespace

TEST(PlayerOnScreen, ItPlaysStepsPausesStopsAndSavesItsSettingsOnClose) {
    ASSERT_TRUE(std::filesystem::exists(KORVO_RELEASE_PROGRAM)) << "./test builds the optimised program first";
    TempFolder home, program;
    std::filesystem::create_directories(home.Path() / "Music");
    for (const char* name : {"01 はじまり.wav", "02 Rain.wav", "03 夜の海.wav"})
        ASSERT_TRUE(WriteSound(home.Path() / "Music" / name, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2,
                               Tone(44100, 2, 44100 * 4)));
    // The program in a folder of its own, so its settings file is the test's.
    std::filesystem::copy_file(KORVO_RELEASE_PROGRAM, program.Path() / "korvo");
    std::filesystem::path sound = home.Path() / "sound.raw";
    Environment homeFolder("HOME", home.Path().string());
    Environment noUserDirs("XDG_CONFIG_HOME", (home.Path() / ".config").string());
    Environment driver("SDL_AUDIODRIVER", "disk");
    Environment output("SDL_DISKAUDIOFILE", sound.string());

    VirtualXServer server(640, 800);
    ASSERT_TRUE(server.Running()) << "Xvfb did not start";
    Process player({(program.Path() / "korvo").string()}, false);
    ASSERT_TRUE(player.Started());
    std::string id = server.WindowId("Korvo Music Player");
    ASSERT_FALSE(id.empty());
    // The first file of the folder is open, stopped, and named in the caption.
    ASSERT_TRUE(WaitForName(id, "Korvo Music Player - 01 はじまり.wav", 10s)) << WindowName(id);
    std::this_thread::sleep_for(300ms);
    if (auto screen = server.Screen()) platform::gdi::WritePng(*screen, KORVO_E2E_PLAYER_SCREENSHOT);

    server.Click(id, ButtonColumn(kPlay), kButtonRow);
    std::this_thread::sleep_for(1500ms);
    server.Click(id, ButtonColumn(kNext), kButtonRow);
    EXPECT_TRUE(WaitForName(id, "Korvo Music Player - 02 Rain.wav", 10s)) << WindowName(id);
    std::this_thread::sleep_for(1000ms);
    server.Click(id, ButtonColumn(kPause), kButtonRow);
    std::this_thread::sleep_for(500ms);
    if (auto screen = server.Screen()) platform::gdi::WritePng(*screen, KORVO_E2E_PLAYER_PAUSED_SCREENSHOT);
    server.Click(id, ButtonColumn(kPause), kButtonRow);  // resumes
    std::this_thread::sleep_for(500ms);
    server.Click(id, ButtonColumn(kStop), kButtonRow);
    std::this_thread::sleep_for(300ms);

    server.RequestClose(id);
    EXPECT_EQ(player.Wait(), 0);

    std::ifstream settingsFile(program.Path() / "Korvo.ini");
    std::string settings((std::istreambuf_iterator<char>(settingsFile)), std::istreambuf_iterator<char>());
    for (const char* line : {"[File]", "Mask=*.mp3;*.wav;*.aif;*.au;*.mid", "[Play]", "Style=0", "Repeat=0",
                             "[MainWindow]", "Top=", "Left=", "[Data]"})
        EXPECT_NE(settings.find(line), std::string::npos) << line << " in\n" << settings;
    EXPECT_NE(settings.find("Directory=" + home.WindowsPath("Music")), std::string::npos) << settings;

    // Two files played in part: the sound card, which takes 32-bit float samples, heard more than silence.
    std::ifstream raw(sound, std::ios::binary);
    std::vector<float> samples;
    for (float sample; raw.read(reinterpret_cast<char*>(&sample), sizeof sample);) samples.push_back(sample);
    size_t loud = std::count_if(samples.begin(), samples.end(), [](float s) { return s > 0.05f || s < -0.05f; });
    EXPECT_GT(loud, 44100u) << "of " << samples.size() << " samples written to the disk driver";
}

TEST(PlayerOnScreen, ClosedWhileAFilePlaysItEndsCleanlyUnderTheSanitizers) {
    TempFolder home, program;
    std::filesystem::create_directories(home.Path() / "Music");
    ASSERT_TRUE(WriteSound(home.Path() / "Music" / "long.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2,
                           Tone(44100, 2, 44100 * 30)));
    std::filesystem::copy_file(KORVO_SANITIZED_PROGRAM, program.Path() / "korvo");
    Environment homeFolder("HOME", home.Path().string());
    Environment noUserDirs("XDG_CONFIG_HOME", (home.Path() / ".config").string());
    Environment driver("SDL_AUDIODRIVER", "disk");
    Environment output("SDL_DISKAUDIOFILE", (home.Path() / "sound.raw").string());

    VirtualXServer server(640, 800);
    ASSERT_TRUE(server.Running()) << "Xvfb did not start";
    Process player({(program.Path() / "korvo").string()}, false);
    std::string id = server.WindowId("Korvo Music Player");
    ASSERT_FALSE(id.empty());
    ASSERT_TRUE(WaitForName(id, "Korvo Music Player - long.wav", 20s)) << WindowName(id);
    server.Click(id, ButtonColumn(kPlay), kButtonRow);
    std::this_thread::sleep_for(1500ms);
    server.RequestClose(id);
    EXPECT_EQ(player.Wait(), 0) << "a sanitizer's report ends the program with another code";
    EXPECT_TRUE(std::filesystem::exists(program.Path() / "Korvo.ini"));
}
