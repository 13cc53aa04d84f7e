// The window system on a real X server: Xvfb, the SDL display, xdotool's click and xwd's screenshot.

#include <gtest/gtest.h>

#include "tests/e2e/XServer.h"

TEST(EndToEnd, AClickOnARealWindowArrivesAndWhatItPaintedIsOnTheScreen) {
    VirtualXServer server;
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
    EXPECT_EQ(screen->At(x + 50, y + 40), 0xFF0000u);
    EXPECT_EQ(screen->At(x + 150, y + 120), 0xFFFFFFu);
    EXPECT_EQ(screen->At(x + 61, y + 40), 0xFFFFFFu);
}
