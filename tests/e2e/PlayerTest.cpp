// The real player, as ./run builds it, on a real X server: a home whose music folder holds generated files, SDL's
// disk audio driver for a sound card, and xdotool for a user. It opens on the music folder, plays, steps to the next
// file, pauses, resumes, stops, and on close writes its six settings. The screen is kept as a PNG.
// The player says nothing on its output; each step waits for what it shows instead: the window's title, which of
// its transport buttons are lit on the screen, and the sound file the disk driver writes growing; that file tells
// by their tones which files played, and holds silence while the player is paused.

#include <gtest/gtest.h>
#include <sndfile.h>
#include <stdlib.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <system_error>
#include <thread>

#include "platform/gdi/Png.h"
#include "tests/e2e/PlayerScreen.h"
#include "tests/e2e/XServer.h"
#include "tests/support/MediaFixtures.h"
#include "tests/support/Environment.h"
#include "tests/support/TempFolder.h"

using namespace e2e;

namespace {

// About a second of what the disk driver writes: 32-bit float samples, two channels, 48 kHz.
constexpr std::uintmax_t kSecondOfSound = 48000 * 2 * sizeof(float);

// What the disk driver wrote: 32-bit float samples, two channels, 48 kHz, from byte `from` to byte `to`.
std::vector<float> SoundWritten(const std::filesystem::path& file, std::uintmax_t from = 0,
                                std::uintmax_t to = UINTMAX_MAX) {
    std::ifstream raw(file, std::ios::binary);
    raw.seekg(static_cast<std::streamoff>(from));
    std::vector<float> samples;
    for (float sample; from + sizeof sample <= to && raw.read(reinterpret_cast<char*>(&sample), sizeof sample);
         from += sizeof sample)
        samples.push_back(sample);
    return samples;
}

// The tones heard, in order: for every 50 ms of the first channel, the letter of the strongest of `frequencies`
// ('a' for the first), or '.' where it is silent; runs shorter than 100 ms (a change of file) are left out and
// runs of one letter are written once.
std::string TonesHeard(const std::vector<float>& samples, const std::vector<double>& frequencies) {
    constexpr int kRate = 48000, kWindow = kRate / 20;
    std::string windows;
    for (size_t start = 0; start + 2 * kWindow <= samples.size(); start += 2 * kWindow) {
        double energy = 0;
        for (int i = 0; i < kWindow; ++i) energy += samples[start + 2 * i] * samples[start + 2 * i];
        if (std::sqrt(energy / kWindow) < 0.02) {
            windows += '.';
            continue;
        }
        // Goertzel's filter gives the power of one frequency.
        char strongest = '?';
        double most = 0;
        for (size_t f = 0; f < frequencies.size(); ++f) {
            const double coefficient = 2 * std::cos(2 * M_PI * frequencies[f] / kRate);
            double previous = 0, before = 0;
            for (int i = 0; i < kWindow; ++i) {
                const double next = samples[start + 2 * i] + coefficient * previous - before;
                before = previous;
                previous = next;
            }
            const double power = previous * previous + before * before - coefficient * previous * before;
            if (power > most) most = power, strongest = static_cast<char>('a' + f);
        }
        windows += strongest;
    }
    std::string heard;
    for (size_t i = 0; i < windows.size();) {
        size_t end = windows.find_first_not_of(windows[i], i);
        if (end == std::string::npos) end = windows.size();
        if (end - i >= 2 && (heard.empty() || heard.back() != windows[i])) heard += windows[i];
        i = end;
    }
    return heard;
}

}  // namespace

TEST(PlayerOnScreen, ItPlaysStepsPausesStopsAndSavesItsSettingsOnClose) {
    ASSERT_TRUE(std::filesystem::exists(KORVO_RELEASE_PROGRAM)) << "./test builds the optimised program first";
    TempFolder home, program;
    std::filesystem::create_directories(home.Path() / "Music");
    // Each file a tone of its own, so that what the sound card heard tells which file played.
    const std::vector<double> tones{330, 550, 770};
    const char* const names[] = {"01 はじまり.wav", "02 Rain.wav", "03 夜の海.wav"};
    for (size_t i = 0; i < 3; ++i)
        ASSERT_TRUE(WriteSound(home.Path() / "Music" / names[i], SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2,
                               Tone(44100, 2, 44100 * 4, tones[i])));
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
    // The first file of the folder is open, stopped, and named in the caption: play alone is lit.
    ASSERT_TRUE(WaitForName(id, "Korvo Music Player - 01 はじまり.wav")) << WindowName(id);
    std::string seen;
    auto stopped = WaitForButtons(server, id, "100", seen);
    ASSERT_TRUE(stopped) << seen;
    platform::gdi::WritePng(*stopped, KORVO_E2E_PLAYER_SCREENSHOT);
    {
        // Pixel for pixel what the same layout draws in memory over the same folder.
        Process headless({KORVO_E2E_PLAYER_PROGRAM, "--headless", program.Path().string()});
        auto rendering = ReadPixels(headless);
        ASSERT_TRUE(rendering) << "the headless rendering";
        int x = 0, y = 0;
        ASSERT_TRUE(server.WindowPosition(id, x, y));
        const std::pair<const char*, RECT> parts[] = {
            {"the button bar", {2, 4, 349, 37}},  {"the time display", {2, 42, 349, 66}},
            {"the slider", {0, 66, 350, 78}},     {"the playlist", {2, 80, 176, 721}},
            {"the drive selector", {180, 80, 349, 98}}, {"the folder list", {180, 102, 349, 721}},
            {"the whole window", {0, 0, rendering->width, rendering->height}}};
        for (const auto& [part, area] : parts)
            EXPECT_EQ(DifferentPixels(*stopped, x, y, *rendering, area), 0) << part;
    }

    // Playing: play greys out, pause and stop light up, and a second of the first file is heard.
    server.Click(id, ButtonColumn(kPlay), kButtonRow);
    ASSERT_TRUE(WaitForButtons(server, id, "011", seen)) << seen;
    EXPECT_TRUE(WaitForSound(sound, kSecondOfSound));
    server.Click(id, ButtonColumn(kNext), kButtonRow);
    EXPECT_TRUE(WaitForName(id, "Korvo Music Player - 02 Rain.wav")) << WindowName(id);
    EXPECT_TRUE(WaitForButtons(server, id, "011", seen)) << "the next file plays on: " << seen;
    EXPECT_TRUE(WaitForSound(sound, kSecondOfSound / 2));
    // Paused: pause alone is lit, to resume with, and for as long as the user holds it nothing more is heard.
    server.Click(id, ButtonColumn(kPause), kButtonRow);
    auto paused = WaitForButtons(server, id, "010", seen);
    EXPECT_TRUE(paused) << seen;
    if (paused) platform::gdi::WritePng(*paused, KORVO_E2E_PLAYER_PAUSED_SCREENSHOT);
    const std::uintmax_t pausedAt = SizeOf(sound);
    std::this_thread::sleep_for(std::chrono::milliseconds(700));  // the user's pause, not a wait for the program
    const std::uintmax_t resumedAt = SizeOf(sound);
    server.Click(id, ButtonColumn(kPause), kButtonRow);  // resumes
    EXPECT_TRUE(WaitForButtons(server, id, "011", seen)) << seen;
    EXPECT_TRUE(WaitForSound(sound, kSecondOfSound / 4));
    server.Click(id, ButtonColumn(kStop), kButtonRow);
    EXPECT_TRUE(WaitForButtons(server, id, "100", seen)) << seen;

    server.RequestClose(id);
    EXPECT_EQ(player.Wait(), 0);

    std::ifstream settingsFile(program.Path() / "Korvo.ini");
    std::string settings((std::istreambuf_iterator<char>(settingsFile)), std::istreambuf_iterator<char>());
    for (const char* line : {"[File]", "Mask=*.mp3;*.wav;*.aif;*.au;*.mid", "[Play]", "Style=0", "Repeat=0",
                             "[MainWindow]", "Top=", "Left=", "[Data]"})
        EXPECT_NE(settings.find(line), std::string::npos) << line << " in\n" << settings;
    EXPECT_NE(settings.find("Directory=" + home.WindowsPath("Music")), std::string::npos) << settings;

    // The first file, then the second, silence while it was paused, the second again: the third never played.
    // Before the first play and after the stop the card may be given silence or nothing.
    std::string heard = TonesHeard(SoundWritten(sound), tones);
    heard.erase(0, heard.find_first_not_of('.'));
    heard.erase(heard.find_last_not_of('.') + 1);
    EXPECT_EQ(heard, "ab.b") << "'.' is silence, 'a' to 'c' the files' tones";
    // What the card was given while paused, past what was on its way when the pause came, is silence.
    const std::uintmax_t onItsWay = kSecondOfSound / 5;
    const std::vector<float> whilePaused = SoundWritten(sound, pausedAt + onItsWay, resumedAt);
    EXPECT_EQ(std::count_if(whilePaused.begin(), whilePaused.end(), [](float s) { return s > 0.01f || s < -0.01f; }),
              0)
        << "of " << whilePaused.size() << " samples written while paused";
}

TEST(PlayerOnScreen, FilesOfAnyNamePlayAndADamagedLastOneLeavesThePlayerStoppedOnIt) {
    ASSERT_TRUE(std::filesystem::exists(KORVO_RELEASE_PROGRAM)) << "./test builds the optimised program first";
    TempFolder home, program;
    // The folder the last session kept, a name with a colon, wildcards and quotes in it.
    const std::filesystem::path folder = home.Path() / "Music" / "Disc 1: \"Live\"?";
    std::filesystem::create_directories(folder);
    for (const char* name : {"01 Who Are You?.wav", "02 back\\slash*.wav"})
        ASSERT_TRUE(WriteSound(folder / name, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2, Tone(44100, 2, 44100)));
    std::ofstream(folder / "03 damaged.wav", std::ios::binary) << std::string(5000, '\x5A');
    std::filesystem::copy_file(KORVO_RELEASE_PROGRAM, program.Path() / "korvo");
    const std::string kept = home.WindowsPath("Music\\Disc 1: \"Live\"?");
    std::ofstream(program.Path() / "Korvo.ini") << "[Data]\nDirectory=" << kept << "\n";
    Environment homeFolder("HOME", home.Path().string());
    Environment noUserDirs("XDG_CONFIG_HOME", (home.Path() / ".config").string());
    Environment driver("SDL_AUDIODRIVER", "disk");
    Environment output("SDL_DISKAUDIOFILE", (home.Path() / "sound.raw").string());

    VirtualXServer server(640, 800);
    ASSERT_TRUE(server.Running()) << "Xvfb did not start";
    Process player({(program.Path() / "korvo").string()}, false);
    ASSERT_TRUE(player.Started());
    std::string id = server.WindowId("Korvo Music Player - ");
    ASSERT_FALSE(id.empty());
    ASSERT_TRUE(WaitForName(id, "Korvo Music Player - 01 Who Are You?.wav")) << WindowName(id);
    std::string seen;
    ASSERT_TRUE(WaitForButtons(server, id, "100", seen)) << seen;

    // The backslash shows as itself in the title the desktop reads.
    server.Click(id, ButtonColumn(kPlay), kButtonRow);
    EXPECT_TRUE(WaitForName(id, "Korvo Music Player - 02 back\\slash*.wav")) << WindowName(id);
    EXPECT_TRUE(WaitForName(id, "Korvo Music Player - 03 damaged.wav")) << WindowName(id);
    // One error box, named as the program is; the player behind it stands stopped on the damaged file.
    const std::string box = server.WindowId("^Korvo Music Player$");
    ASSERT_FALSE(box.empty());
    server.PressKey(box, "Return");
    EXPECT_TRUE(WaitForButtons(server, id, "100", seen)) << seen;
    EXPECT_TRUE(WaitUntil([&] { return RunProgram({"xdotool", "search", "--name", "^Korvo Music Player$"}).empty(); }))
        << "the box closed and no other came";
    EXPECT_EQ(WindowName(id), "Korvo Music Player - 03 damaged.wav");

    server.RequestClose(id);
    EXPECT_EQ(player.Wait(), 0);
    std::ifstream settingsFile(program.Path() / "Korvo.ini");
    std::string settings((std::istreambuf_iterator<char>(settingsFile)), std::istreambuf_iterator<char>());
    EXPECT_NE(settings.find("Directory=" + kept + "\n"), std::string::npos) << settings;
}

// A copy of a player over a folder of one 30-second file, playing it through SDL's disk driver.
class PlayingALongFile : public ::testing::Test {
  protected:
    PlayingALongFile()
        : homeFolder_("HOME", home_.Path().string()),
          noUserDirs_("XDG_CONFIG_HOME", (home_.Path() / ".config").string()),
          driver_("SDL_AUDIODRIVER", "disk"),
          output_("SDL_DISKAUDIOFILE", Sound().string()) {}

    std::filesystem::path Sound() const { return home_.Path() / "sound.raw"; }

    // Starts a copy of `original` and clicks play; returns once the buttons show the file playing.
    void StartPlaying(const char* original) {
        std::filesystem::create_directories(home_.Path() / "Music");
        ASSERT_TRUE(WriteSound(home_.Path() / "Music" / "long.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2,
                               Tone(44100, 2, 44100 * 30)));
        std::filesystem::copy_file(original, program_.Path() / "korvo");
        ASSERT_TRUE(server_.Running()) << "Xvfb did not start";
        player_ = std::make_unique<Process>(std::vector<std::string>{(program_.Path() / "korvo").string()}, false);
        id_ = server_.WindowId("Korvo Music Player");
        ASSERT_FALSE(id_.empty());
        ASSERT_TRUE(WaitForName(id_, "Korvo Music Player - long.wav")) << WindowName(id_);
        std::string seen;
        ASSERT_TRUE(WaitForButtons(server_, id_, "100", seen)) << seen;
        server_.Click(id_, ButtonColumn(kPlay), kButtonRow);
        ASSERT_TRUE(WaitForButtons(server_, id_, "011", seen)) << "playing: " << seen;
    }

    TempFolder home_, program_;
    Environment homeFolder_, noUserDirs_, driver_, output_;
    VirtualXServer server_{640, 800};
    std::unique_ptr<Process> player_;
    std::string id_;
};

TEST_F(PlayingALongFile, ClosedWhileItPlaysTheProgramEndsCleanlyUnderTheSanitizers) {
    ASSERT_NO_FATAL_FAILURE(StartPlaying(KORVO_SANITIZED_PROGRAM));
    EXPECT_TRUE(WaitForSound(Sound(), kSecondOfSound / 2)) << "and heard";
    server_.RequestClose(id_);
    EXPECT_EQ(player_->Wait(), 0) << "a sanitizer's report ends the program with another code";
    EXPECT_TRUE(std::filesystem::exists(program_.Path() / "Korvo.ini"));
}

// The optimised program, in which the exit that Xlib makes by default crashed every time.
TEST_F(PlayingALongFile, AnXServerThatDiesUnderItEndsTheProgramWithACodeNotACrash) {
    ASSERT_NO_FATAL_FAILURE(StartPlaying(KORVO_RELEASE_PROGRAM));
    server_.Kill();
    EXPECT_EQ(player_->Wait(), 1) << "-1 is a death by signal";
}
