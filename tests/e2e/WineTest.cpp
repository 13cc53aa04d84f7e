// The Windows build of the player, korvo.exe, in Wine on a real X server: it opens on the folder its settings name,
// plays, steps, pauses and stops, takes a setting in its settings dialog, shows its about box, and on close writes
// its settings beside itself and ends with exit code 0. scripts/test-windows runs it, in the Wine prefix it makes.
//
// Wine's own exit code is not the program's, so the program is started by a batch file that writes the program's
// exit code to a file, and a crash (with the crash dialog off in the prefix) shows there instead of hanging. Sound
// goes through Wine's ALSA driver to ALSA's file plugin, whose file grows while the player plays.

#include <gtest/gtest.h>
#include <sndfile.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "platform/gdi/Png.h"
#include "tests/e2e/PlayerScreen.h"
#include "tests/e2e/XServer.h"
#include "tests/support/Environment.h"
#include "tests/support/MediaFixtures.h"
#include "tests/support/TempFolder.h"

using namespace e2e;

namespace {

std::string Trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
    return text;
}

// A POSIX path as the program in Wine names it: a Wine prefix's drive Z: is the root. Not asked of winepath, which
// started before the X server would leave the Wine server a desktop without a display, on which no window opens.
std::string WinePath(const std::filesystem::path& path) {
    std::string name = "Z:" + path.string();
    std::replace(name.begin(), name.end(), '/', '\\');
    return name;
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The dialog of this title on the screen, or nothing. The button that opens a dialog has the dialog's title as its
// hint, and the hint window that shows while the pointer rests on the button has it as its title: the dialog is the
// one of the two that is larger than a line of text. A dialog that has closed may keep its X window, unmapped.
std::string ShownDialog(const std::string& title) {
    std::istringstream ids(RunProgram({"xdotool", "search", "--onlyvisible", "--name", title}));
    for (std::string id; std::getline(ids, id);) {
        const std::string geometry = RunProgram({"xdotool", "getwindowgeometry", id});
        int width = 0, height = 0;
        const size_t at = geometry.find("Geometry: ");
        if (at != std::string::npos && std::sscanf(geometry.c_str() + at + 10, "%dx%d", &width, &height) == 2 &&
            height > 60)
            return id;
    }
    return {};
}

}  // namespace

TEST(WindowsProgramInWine, ItPlaysStepsPausesStopsTakesASettingAndSavesItBesideItself) {
    ASSERT_NE(getenv("WINEPREFIX"), nullptr) << "run by scripts/test-windows, which makes the Wine prefix";
    ASSERT_TRUE(std::filesystem::exists(KORVO_WINDOWS_PROGRAM)) << "scripts/build-windows builds it";
    TempFolder home, program;
    const std::filesystem::path music = home.Path() / "Music";
    std::filesystem::create_directories(music);
    for (const char* name : {"01 朝.wav", "02 Noon.wav", "03 夜.wav"})
        ASSERT_TRUE(WriteSound(music / name, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2, Tone(44100, 2, 44100 * 4)));
    // The program in a folder of its own, whose settings name the music folder, as a user's would after a session.
    std::filesystem::copy_file(KORVO_WINDOWS_PROGRAM, program.Path() / "korvo.exe");
    std::ofstream(program.Path() / "Korvo.ini", std::ios::binary)
        << "[Data]\r\nDirectory=" << WinePath(music) << "\r\n";
    const std::filesystem::path exitCode = program.Path() / "exit-code.txt";
    std::ofstream(program.Path() / "run.cmd", std::ios::binary)
        << "@start /wait \"\" \"" << WinePath(program.Path() / "korvo.exe") << "\"\r\n"
        << "@echo %ERRORLEVEL%>\"" << WinePath(exitCode) << "\"\r\n";
    const std::filesystem::path sound = home.Path() / "sound.raw";
    std::ofstream(home.Path() / "sound.conf") << "</usr/share/alsa/alsa.conf>\n"
                                              << "pcm.!default { type file slave.pcm null file \"" << sound.string()
                                              << "\" format raw }\n";
    Environment alsa("ALSA_CONFIG_PATH", (home.Path() / "sound.conf").string());
    Environment quiet("WINEDEBUG", "-all");

    VirtualXServer server(640, 800);
    ASSERT_TRUE(server.Running()) << "Xvfb did not start";
    Process wine({"wine", "cmd", "/c", WinePath(program.Path() / "run.cmd")}, false);
    ASSERT_TRUE(wine.Started());
    // The application's own hidden window has the bare title; the main window names its file.
    std::string id = server.WindowId("^Korvo Music Player - ");
    ASSERT_FALSE(id.empty());
    ASSERT_TRUE(WaitForName(id, "Korvo Music Player - 01 朝.wav")) << WindowName(id);
    std::string seen;
    auto stopped = WaitForButtons(server, id, "100", seen);
    ASSERT_TRUE(stopped) << seen;
    platform::gdi::WritePng(*stopped, KORVO_WINE_PLAYER_SCREENSHOT);

    server.Click(id, ButtonColumn(kPlay), kButtonRow);
    ASSERT_TRUE(WaitForButtons(server, id, "011", seen)) << seen;
    // A quarter of a second at the least a sound card is given: 44.1 kHz, two channels of 16 bits.
    constexpr std::uintmax_t kQuarterSecond = 44100 * 2 * 2 / 4;
    EXPECT_TRUE(WaitForSound(sound, kQuarterSecond)) << "the sound card was given sound";
    server.Click(id, ButtonColumn(kNext), kButtonRow);
    EXPECT_TRUE(WaitForName(id, "Korvo Music Player - 02 Noon.wav")) << WindowName(id);
    EXPECT_TRUE(WaitForButtons(server, id, "011", seen)) << "the next file plays on: " << seen;
    server.Click(id, ButtonColumn(kPause), kButtonRow);
    EXPECT_TRUE(WaitForButtons(server, id, "010", seen)) << seen;
    server.Click(id, ButtonColumn(kPause), kButtonRow);  // resumes
    EXPECT_TRUE(WaitForButtons(server, id, "011", seen)) << seen;
    server.Click(id, ButtonColumn(kStop), kButtonRow);
    EXPECT_TRUE(WaitForButtons(server, id, "100", seen)) << seen;

    // The settings dialog: repeat ticked, then OK.
    std::string dialog;
    server.Click(id, ButtonColumn(kSettings), kButtonRow);
    ASSERT_TRUE(WaitUntil([&] { return !(dialog = ShownDialog("^環境設定$")).empty(); }));
    server.Click(dialog, 144 + 8, 32 + 8);  // the repeat check box's box
    server.Click(dialog, 79 + 37, 204 + 12);  // OK
    EXPECT_TRUE(WaitUntil([] { return ShownDialog("^環境設定$").empty(); })) << "the dialog closes on OK";

    server.Click(id, ButtonColumn(kAbout), kButtonRow);
    ASSERT_TRUE(WaitUntil([&] { return !(dialog = ShownDialog("^バージョン情報$")).empty(); }));
    server.Click(dialog, 71 + 37, 116 + 12);  // OK
    EXPECT_TRUE(WaitUntil([] { return ShownDialog("^バージョン情報$").empty(); })) << "the about box closes on OK";

    server.RequestClose(id);
    wine.Wait();  // Wine's exit code, not the program's: the batch file wrote that
    EXPECT_EQ(Trimmed(ReadFile(exitCode)), "0") << "the program's exit code";
    const std::string settings = ReadFile(program.Path() / "Korvo.ini");
    for (const char* line : {"[File]", "Mask=*.mp3;*.wav;*.aif;*.au;*.mid", "[Play]", "Style=0", "Repeat=1",
                             "[MainWindow]", "Top=", "Left=", "[Data]"})
        EXPECT_NE(settings.find(line), std::string::npos) << line << " in\n" << settings;
    EXPECT_NE(settings.find("Directory=" + WinePath(music)), std::string::npos) << settings;
}
