// The built-in controls on a real X server with the SDL display: a list line clicked, the slider's thumb dragged,
// the combo box opened and a line picked; the notifications are checked, and the screen is kept as a PNG.

#include <gtest/gtest.h>

#include <sstream>

#include "platform/gdi/Png.h"
#include "platform/win32.h"
#include "tests/e2e/XServer.h"

namespace {

POINT PlaceOf(const std::string& line) {
    std::istringstream words(line);
    std::string word, name;
    POINT at{};
    words >> word >> name >> at.x >> at.y;
    return at;
}

}  // namespace

TEST(EndToEnd, TheGalleryControlsAnswerRealClicksAndDrags) {
    VirtualXServer server;
    ASSERT_TRUE(server.Running()) << "Xvfb did not start";
    Process gallery({KORVO_E2E_GALLERY_PROGRAM});
    ASSERT_TRUE(gallery.Started());
    auto line2 = gallery.WaitFor("place line2");
    auto thumb = gallery.WaitFor("place thumb");
    auto combo = gallery.WaitFor("place combo");
    ASSERT_TRUE(line2 && thumb && combo);
    ASSERT_TRUE(gallery.WaitFor("shown"));
    std::string id = server.WindowId("Korvo gallery");
    ASSERT_FALSE(id.empty());

    POINT lineAt = PlaceOf(*line2);
    server.Click(id, lineAt.x, lineAt.y);
    EXPECT_EQ(gallery.WaitFor("command 101 selchange"), "command 101 selchange 2");

    POINT thumbAt = PlaceOf(*thumb);
    server.Drag(id, thumbAt.x, thumbAt.y, thumbAt.x + 100, thumbAt.y);
    auto track = gallery.WaitFor("scroll 5");  // TB_THUMBTRACK
    ASSERT_TRUE(track);
    auto released = gallery.WaitFor("scroll 4");  // TB_THUMBPOSITION
    ASSERT_TRUE(released);
    long position = std::stol(released->substr(9));
    EXPECT_GT(position, 4200000 / 320 * 80);  // about 100 of the channel's ~310 pixels
    EXPECT_LT(position, 4200000 / 320 * 120);
    EXPECT_TRUE(gallery.WaitFor("scroll 8"));  // TB_ENDTRACK

    POINT comboAt = PlaceOf(*combo);
    server.Click(id, comboAt.x, comboAt.y);
    EXPECT_TRUE(gallery.WaitFor("command 102 dropdown"));
    auto dropped = gallery.WaitFor("dropped");  // once the list is on the screen
    ASSERT_TRUE(dropped);
    POINT pick = PlaceOf("x " + *dropped);
    server.ClickOnScreen(pick.x, pick.y);
    // Three notices, in whichever order the combo box sends them.
    std::string said;
    for (int i = 0; i < 3; ++i) said += gallery.WaitFor("command 102").value_or("(none)") + "\n";
    EXPECT_NE(said.find("command 102 selchange 2"), std::string::npos) << said;
    EXPECT_NE(said.find("command 102 selendok"), std::string::npos) << said;
    EXPECT_NE(said.find("command 102 closeup"), std::string::npos) << said;
    // The drop-down has closed and the window is on the screen as the pick left it.
    ASSERT_TRUE(gallery.WaitFor("idle"));

    auto screen = server.Screen();
    ASSERT_TRUE(screen);
    ASSERT_TRUE(platform::gdi::WritePng(*screen, KORVO_E2E_GALLERY_SCREENSHOT));
    int x = 0, y = 0;
    ASSERT_TRUE(server.WindowPosition(id, x, y));
    // The clicked line stands out in the highlight colour, whatever the keyboard did since.
    EXPECT_EQ(screen->At(x + 13, y + lineAt.y), 0x000080u);  // left of the text, inside the line
}
