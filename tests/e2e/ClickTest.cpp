// The window system on a real X server: Xvfb, the SDL display, xdotool's click and xwd's screenshot.

#include <gtest/gtest.h>

#include "tests/e2e/XServer.h"

namespace {

// Whether every channel of `pixel` is within `tolerance` of `expected`'s.
bool Near(uint32_t pixel, uint32_t expected, int tolerance) {
    for (int shift = 0; shift < 24; shift += 8) {
        const int difference = static_cast<int>((pixel >> shift) & 0xFF) - static_cast<int>((expected >> shift) & 0xFF);
        if (difference < -tolerance || difference > tolerance) return false;
    }
    return true;
}

// Both ways to the screen: at 24 bits the pixels go to the window as they are, at 16 through a conversion.
void ClickAndLook(int depth) {
    VirtualXServer server(640, 480, depth);
    ASSERT_TRUE(server.Running()) << "Xvfb did not start";
    Process program({KORVO_E2E_CLICK_PROGRAM});
    ASSERT_TRUE(program.Started());
    ASSERT_EQ(program.ReadLine(), "shown");

    std::string id = server.WindowId("Korvo e2e");
    ASSERT_FALSE(id.empty());
    server.Click(id, 50, 40);
    EXPECT_EQ(program.WaitFor("click"), "click 50 40");
    // Said once the mark the click asked for is on the screen.
    ASSERT_EQ(program.WaitFor("shown"), "shown");

    auto screen = server.Screen();
    ASSERT_TRUE(screen);
    int x = 0, y = 0;
    ASSERT_TRUE(server.WindowPosition(id, x, y));
    // Five or six bits a channel at 16 bits: what comes back is within 8 of what was painted.
    const int tolerance = depth == 24 ? 0 : 8;
    EXPECT_PRED3(Near, screen->At(x + 50, y + 40), 0xFF0000u, tolerance);
    EXPECT_PRED3(Near, screen->At(x + 150, y + 120), 0xFFFFFFu, tolerance);
    EXPECT_PRED3(Near, screen->At(x + 61, y + 40), 0xFFFFFFu, tolerance);
}

}  // namespace

TEST(EndToEnd, AClickOnARealWindowArrivesAndWhatItPaintedIsOnTheScreen) { ClickAndLook(24); }

TEST(EndToEnd, OnASixteenBitScreenTooWhatAWindowPaintedIsOnTheScreen) { ClickAndLook(16); }
