// The player's controls and the folder browser on a real X server with the SDL display: a generated folder tree,
// a subfolder opened by a double click, a playlist line clicked, the slider dragged, a drive picked from the drop-
// down list, the radio group and the check box clicked, and the busy pointer the X server shows while the program
// is held up. The screen is kept as a PNG.

#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "platform/gdi/Png.h"
#include "platform/win32.h"
#include "tests/e2e/XServer.h"
#include "tests/support/TempFolder.h"

namespace {

POINT PlaceOf(const std::optional<std::string>& line) {
    std::istringstream words(line.value_or(""));
    std::string word, name;
    POINT at{-1, -1};
    words >> word >> name >> at.x >> at.y;
    return at;
}

// The pointer image the X server shows now: size, hot spot, visible pixels and a checksum of its pixels.
std::string PointerImage() { return RunProgram({KORVO_E2E_CURSOR_IMAGE}); }

// How many of the image's pixels are not transparent; 0 for no image at all.
long VisiblePixels(const std::string& image) {
    std::istringstream fields(image);
    long width = 0, height = 0, hotX = 0, hotY = 0, visible = 0;
    fields >> width >> height >> hotX >> hotY >> visible;
    return fields ? visible : 0;
}

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
    EXPECT_EQ(program.WaitFor("folder"), "folder " + WindowsPath(tree.Path()) + " 3");
    POINT subfolder = PlaceOf(program.WaitFor("place subfolder"));
    POINT line = PlaceOf(program.WaitFor("place playlist"));
    POINT thumb = PlaceOf(program.WaitFor("place thumb"));
    POINT slider = PlaceOf(program.WaitFor("place slider"));
    POINT button = PlaceOf(program.WaitFor("place button"));
    POINT drives = PlaceOf(program.WaitFor("place drives"));
    POINT style = PlaceOf(program.WaitFor("place style"));
    POINT repeat = PlaceOf(program.WaitFor("place repeat"));
    ASSERT_TRUE(program.WaitFor("shown"));
    std::string id = server.WindowId("Korvo browse");
    ASSERT_FALSE(id.empty());

    server.Click(id, line.x, line.y);
    EXPECT_EQ(program.WaitFor("playlist click"), "playlist click 1 02 Rain.wav") << "the program said:\n"
                                                                                 << program.Said();
    ASSERT_TRUE(program.WaitFor("idle"));  // the clicked line is on the screen
    if (auto screen = server.Screen()) platform::gdi::WritePng(*screen, KORVO_E2E_BROWSE_FOLDER_SCREENSHOT);

    server.Click(id, style.x, style.y);
    EXPECT_EQ(program.WaitFor("style"), "style 1");
    server.Click(id, repeat.x, repeat.y);
    EXPECT_EQ(program.WaitFor("repeat"), "repeat 1");

    // The thumb dragged from the start to three quarters of the way, and then the button clicked. The program
    // takes its input in order, so every report of the drag comes before the button's: the last is about 750.
    server.Drag(id, thumb.x, thumb.y, slider.x, slider.y);
    // The pointer rests over the window; the button holds the program up with the busy pointer showing.
    std::string arrow = PointerImage();
    server.Click(id, button.x, button.y);
    std::string lastMove;
    bool busyNow = false;
    while (std::optional<std::string> said = program.ReadLine()) {
        if (*said == "busy") {
            busyNow = true;
            break;
        }
        if (said->starts_with("slider")) lastMove = *said;
    }
    ASSERT_TRUE(busyNow);
    ASSERT_FALSE(lastMove.empty());
    EXPECT_NEAR(std::stoi(lastMove.substr(7)), 750, 60);
    std::string busy = PointerImage();
    program.Signal(SIGUSR1);  // looked: the program may go on
    ASSERT_TRUE(program.WaitFor("free"));
    EXPECT_GT(VisiblePixels(arrow), 0) << arrow;
    EXPECT_GT(VisiblePixels(busy), 0) << "a pointer the user can see: " << busy;
    EXPECT_NE(busy, arrow) << "the X server shows another pointer while the program is busy";
    EXPECT_TRUE(WaitUntil([&] { return PointerImage() == arrow; })) << "and the arrow again afterwards";

    // Two presses close together on the subfolder's line: the directory list opens it.
    server.DoubleClick(id, subfolder.x, subfolder.y);
    EXPECT_EQ(program.WaitFor("folder"), "folder " + WindowsPath(tree.Path() / "Rock") + " 2");

    server.Click(id, drives.x, drives.y);
    POINT pick = PlaceOf("x " + program.WaitFor("dropped").value_or(""));  // once the list is on the screen
    server.ClickOnScreen(pick.x, pick.y);
    EXPECT_EQ(program.WaitFor("drive"), "drive d");
    EXPECT_EQ(program.WaitFor("folder"), "folder D:\\ 1");
    ASSERT_TRUE(program.WaitFor("idle"));  // the list has closed and the new folder is on the screen

    auto screen = server.Screen();
    ASSERT_TRUE(screen);
    ASSERT_TRUE(platform::gdi::WritePng(*screen, KORVO_E2E_BROWSE_SCREENSHOT));
}
