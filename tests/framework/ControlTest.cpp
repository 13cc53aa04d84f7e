// Controls on real (headless) windows: a window made again keeps what the user typed, a parent's notices reach
// the child control that caused them, graphic controls are drawn on their parent, and bevels and pictures look
// as they should.

#include <gtest/gtest.h>

#include "framework/ExtCtrls.h"
#include "framework/StdCtrls.h"
#include "tests/framework/FormFixture.h"

using namespace platform::testing;

TEST_F(Controls, AWindowMadeAgainKeepsTheTypedTextAndItsPlace) {
    auto* edit = Place<TEdit>(form_, "edit", 10, 10, 120, 21);
    Show();
    edit->SetFocus();
    Type("abc");
    DispatchPending();
    ASSERT_EQ(edit->Text(), "abc");
    HWND before = edit->Handle();
    edit->SetReadOnly(true);
    edit->RecreateWnd();
    EXPECT_NE(edit->Handle(), before);
    EXPECT_EQ(edit->Text(), "abc");
    RECT bounds;
    GetWindowRect(edit->Handle(), &bounds);
    EXPECT_EQ(bounds.right - bounds.left, 120);
    EXPECT_TRUE(GetWindowLongA(edit->Handle(), GWL_STYLE) & ES_READONLY);
    EXPECT_TRUE(edit->Focused()) << "the focus goes back to the new window";
}

TEST_F(Controls, AParentsCommandReachesTheButtonThatSentIt) {
    auto* button = Place<TButton>(form_, "button", 10, 40, 75, 25);
    int clicks = 0;
    button->OnClick = [&](TObject* sender) {
        EXPECT_EQ(sender, button);
        ++clicks;
    };
    Show();
    Click(button->Handle(), 20, 10);
    DispatchPending();
    EXPECT_EQ(clicks, 1) << "one click: the platform's notice, not the mouse-up as well";
}

TEST_F(Controls, GraphicControlsAreDrawnOnTheirParentAndTakeItsMouse) {
    auto* panel = Place<TPanel>(form_, "panel", 10, 10, 100, 60);
    panel->SetBevelOuter(bvNone);
    panel->SetBevelInner(bvRaised);
    panel->SetBevelWidth(4);
    panel->SetColor(clWhite);
    auto* image = Place<TImage>(panel, "image", 20, 20, 20, 20);
    image->SetStretch(true);
    image->Picture().SetSize(2, 2);
    image->Picture().Canvas().Brush().SetColor(clNavy);
    image->Picture().Canvas().FillRect(RECT{0, 0, 2, 2});
    int clicks = 0;
    image->OnClick = [&](TObject*) { ++clicks; };
    Show();
    HWND surface = panel->Handle();
    EXPECT_EQ(Pixel(surface, 0, 0), RGB(255, 255, 255)) << "the highlight of the raised bevel";
    EXPECT_EQ(Pixel(surface, 3, 3), RGB(255, 255, 255));
    EXPECT_EQ(Pixel(surface, 99, 59), RGB(128, 128, 128)) << "its shadow";
    EXPECT_EQ(Pixel(surface, 96, 56), RGB(128, 128, 128));
    EXPECT_EQ(Pixel(surface, 50, 50), RGB(255, 255, 255)) << "the panel's colour inside";
    EXPECT_EQ(Pixel(surface, 21, 21), RGB(0, 0, 128)) << "the picture stretched over the image";
    EXPECT_EQ(Pixel(surface, 38, 38), RGB(0, 0, 128));
    EXPECT_EQ(Pixel(surface, 41, 41), RGB(255, 255, 255));
    Click(surface, 30, 30);
    DispatchPending();
    EXPECT_EQ(clicks, 1);
}

TEST_F(Controls, ALabelFitsItsTextAndParentFontChangesReachIt) {
    auto* panel = new TPanel(form_);
    panel->SetParent(form_);
    auto* label = new TLabel(form_);
    label->SetParent(panel);
    label->SetText("ミュージックプレーヤー");
    int narrow = label->Width();
    EXPECT_GT(narrow, 60);
    panel->Font().SetHeight(-24);
    EXPECT_EQ(label->Font().Height(), -24);
    EXPECT_GT(label->Width(), narrow * 3 / 2);
    label->Font().SetHeight(-12);  // its own font from now on
    panel->Font().SetHeight(-16);
    EXPECT_EQ(label->Font().Height(), -12);
}
