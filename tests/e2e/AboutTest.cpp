// The about box on a real X server with the SDL display: it opens with its Japanese texts and picture, and
// closes with Enter and with the close box.

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/gdi/Png.h"
#include "tests/e2e/XServer.h"

namespace {

bool HasDarkPixels(const platform::gdi::Surface& screen, int left, int top, int right, int bottom) {
    for (int y = std::max(top, 0); y < std::min(bottom, screen.height); ++y)
        for (int x = std::max(left, 0); x < std::min(right, screen.width); ++x) {
            uint32_t c = screen.At(x, y);
            if (((c >> 16) & 0xFF) + ((c >> 8) & 0xFF) + (c & 0xFF) < 200) return true;
        }
    return false;
}

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
    // The panel starts at 8, 8 of the client area: the icon's navy frame, then the three lines of text.
    EXPECT_EQ(screen->At(x + 16, y + 28), 0x000080u);
    EXPECT_TRUE(HasDarkPixels(*screen, x + 56, y + 24, x + 198, y + 36)) << "the product name";
    EXPECT_TRUE(HasDarkPixels(*screen, x + 56, y + 48, x + 119, y + 60)) << "the version";
    EXPECT_TRUE(HasDarkPixels(*screen, x + 56, y + 72, x + 184, y + 84)) << "the team's notice";

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
