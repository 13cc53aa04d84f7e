// The about box on a real X server with the SDL display: it opens with its Japanese texts and picture, exactly as
// the same layout draws in memory, and closes with Enter and with the close box.

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/gdi/Png.h"
#include "tests/e2e/XServer.h"

namespace {

// The small program that shows the box modally, on a server of its own, with the box on the screen.
class AboutBoxOnScreen : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(server.Running()) << "Xvfb did not start";
        ASSERT_TRUE(program.Started());
        ASSERT_TRUE(program.WaitFor("shown"));  // said once the box is on the screen
        id = server.WindowId(".");  // the only window on this server; xdotool cannot match Japanese names
        ASSERT_FALSE(id.empty());
    }

    VirtualXServer server;  // first: the program connects to it
    Process program{{KORVO_E2E_ABOUT_PROGRAM}};
    std::string id;
};

}  // namespace

TEST_F(AboutBoxOnScreen, ItShowsItsTextsAndPictureAndClosesWithEnter) {
    auto screen = server.Screen();
    ASSERT_TRUE(screen);
    ASSERT_TRUE(platform::gdi::WritePng(*screen, KORVO_E2E_ABOUT_SCREENSHOT));
    int x = 0, y = 0;
    ASSERT_TRUE(server.WindowPosition(id, x, y));
    ASSERT_TRUE(x >= 0 && y >= 0 && x + 218 <= screen->width && y + 148 <= screen->height)
        << "the box is not on the screen: " << x << ", " << y;
    // Pixel for pixel what the same layout draws in memory: the picture and the three texts in the panel, and the
    // OK button.
    Process headless({KORVO_E2E_ABOUT_PROGRAM, "--headless"});
    auto rendering = ReadPixels(headless);
    ASSERT_TRUE(rendering) << "the headless rendering";
    EXPECT_EQ(headless.Wait(), 0);
    EXPECT_EQ(rendering->width, 218);
    EXPECT_EQ(rendering->height, 148);
    EXPECT_EQ(rendering->At(16, 28), 0x000080u) << "the picture's navy frame";
    EXPECT_EQ(DifferentPixels(*screen, x, y, *rendering, {16, 16, 50, 50}), 0) << "the picture";
    EXPECT_EQ(DifferentPixels(*screen, x, y, *rendering, {56, 24, 198, 36}), 0) << "the product name";
    EXPECT_EQ(DifferentPixels(*screen, x, y, *rendering, {56, 48, 119, 60}), 0) << "the version";
    EXPECT_EQ(DifferentPixels(*screen, x, y, *rendering, {56, 72, 184, 84}), 0) << "the team's notice";
    EXPECT_EQ(DifferentPixels(*screen, x, y, *rendering, {71, 116, 146, 141}), 0) << "the OK button";
    EXPECT_EQ(DifferentPixels(*screen, x, y, *rendering, {0, 0, 218, 148}), 0) << "the whole box";

    server.PressKey(id, "Return");
    EXPECT_EQ(program.WaitFor("result"), "result 1");
    EXPECT_EQ(program.Wait(), 0);
}

TEST_F(AboutBoxOnScreen, EscapeLeavesItOpenAndTheCloseBoxClosesIt) {
    server.PressKey(id, "Escape");  // no Cancel button: nothing happens
    EXPECT_EQ(program.ReadLine(), "key up 27") << "the box was still open when the key was released";
    server.RequestClose(id);
    EXPECT_EQ(program.WaitFor("result"), "result 2");
    EXPECT_EQ(program.Wait(), 0);
}
