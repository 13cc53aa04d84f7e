// The player's controls and the folder browser on a real X server with the SDL display: a generated folder tree,
// a subfolder opened by a double click, a playlist line clicked, the slider dragged, a drive picked from the drop-
// down list, the radio group and the check box clicked, and the busy pointer the X server shows while the program
// is held up. The screen is kept as a PNG.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/gdi/Png.h"
#include "platform/win32.h"
#include "tests/e2e/XServer.h"
#include "tests/support/TempFolder.h"

using namespace std::chrono_literals;

namespace {

POINT PlaceOf(const std::optional<std::string>& line) {
    std::istringstream words(line.value_or(""));
    std::string word, name;
    POINT at{-1, -1};
    words >> word >> name >> at.x >> at.y;
    return at;
}

// The pointer image the X server shows now: size, hot spot and a checksum of its pixels.
std::string PointerImage() { return RunProgram({KORVO_E2E_CURSOR_IMAGE}); }

std::string WindowsPath(const std::filesystem::path& path) {
    std::string text = path.string();
    for (char& c : text)
        if (c == '/') c = '\\';
    return "C:" + text;
}

}  // namespace

TEST(EndToEnd, TheBrowserAndThePlayersControlsAnswerRealInput) {
    TempFolder tree, stick;
    for (const char* name : {"01 はじまり.mp3", "02 Rain.wav", "03 夜の海.MID", "cover.jpg", ".hidden.mp3"})
        tree.Write(name, "x");
    tree.Write("Rock/Anthem.mp3", "x");
    tree.Write("Rock/Ballad.aif", "x");
    tree.Write("Rock/notes.txt", "x");
    tree.MakeFolder("アルバム");
    stick.Write("stick song.mp3", "x");

    VirtualXServer server(480, 720);
    ASSERT_TRUE(server.Running()) << "Xvfb did not start";
    Process program({KORVO_E2E_BROWSE_PROGRAM, tree.Path().string(), stick.Path().string()});
    ASSERT_TRUE(program.Started());
    EXPECT_EQ(program.WaitFor("folder", 20s), "folder " + WindowsPath(tree.Path()) + " 3");
    POINT subfolder = PlaceOf(program.WaitFor("place subfolder", 10s));
    POINT line = PlaceOf(program.WaitFor("place playlist", 5s));
    POINT thumb = PlaceOf(program.WaitFor("place thumb", 5s));
    POINT slider = PlaceOf(program.WaitFor("place slider", 5s));
    POINT button = PlaceOf(program.WaitFor("place button", 5s));
    POINT drives = PlaceOf(program.WaitFor("place drives", 5s));
    POINT style = PlaceOf(program.WaitFor("place style", 5s));
    POINT repeat = PlaceOf(program.WaitFor("place repeat", 5s));
    ASSERT_TRUE(program.WaitFor("shown", 10s));
    std::string id = server.WindowId("Korvo browse");
    ASSERT_FALSE(id.empty());

    server.Click(id, line.x, line.y);
    EXPECT_EQ(program.WaitFor("playlist click", 10s), "playlist click 1 02 Rain.wav");
    std::this_thread::sleep_for(300ms);
    if (auto screen = server.Screen()) platform::gdi::WritePng(*screen, KORVO_E2E_BROWSE_FOLDER_SCREENSHOT);

    server.Click(id, style.x, style.y);
    EXPECT_EQ(program.WaitFor("style", 10s), "style 1");
    server.Click(id, repeat.x, repeat.y);
    EXPECT_EQ(program.WaitFor("repeat", 10s), "repeat 1");

    // The thumb dragged from the start to three quarters of the way: the last report is about 750 of 1000.
    server.Drag(id, thumb.x, thumb.y, slider.x, slider.y);
    std::string lastMove;
    while (auto moved = program.WaitFor("slider", 2s)) lastMove = *moved;
    ASSERT_FALSE(lastMove.empty());
    EXPECT_NEAR(std::stoi(lastMove.substr(7)), 750, 60);

    // The pointer rests over the window; the button holds the program up with the busy pointer showing.
    std::string arrow = PointerImage();
    server.Click(id, button.x, button.y);
    ASSERT_TRUE(program.WaitFor("busy", 10s));
    std::string busy = PointerImage();
    ASSERT_TRUE(program.WaitFor("idle", 10s));
    std::this_thread::sleep_for(300ms);
    EXPECT_FALSE(arrow.empty());
    EXPECT_NE(busy, arrow) << "the X server shows another pointer while the program is busy";
    EXPECT_EQ(PointerImage(), arrow) << "and the arrow again afterwards";

    // Two presses close together on the subfolder's line: the directory list opens it.
    server.DoubleClick(id, subfolder.x, subfolder.y);
    EXPECT_EQ(program.WaitFor("folder", 10s), "folder " + WindowsPath(tree.Path() / "Rock") + " 2");

    server.Click(id, drives.x, drives.y);
    POINT pick = PlaceOf("x " + program.WaitFor("dropped", 10s).value_or(""));
    server.ClickOnScreen(pick.x, pick.y);
    EXPECT_EQ(program.WaitFor("drive", 10s), "drive d");
    EXPECT_EQ(program.WaitFor("folder", 10s), "folder D:\\ 1");
    std::this_thread::sleep_for(500ms);

    auto screen = server.Screen();
    ASSERT_TRUE(screen);
    ASSERT_TRUE(platform::gdi::WritePng(*screen, KORVO_E2E_BROWSE_SCREENSHOT));
}
