// A windowed control made again (a setting that needs another kind of window) keeps everything its old window
// showed: its text, place, visibility and enabled state, its font, its children with theirs, the focus, and the
// way its messages reach the control.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/ExtCtrls.h"
#include "framework/StdCtrls.h"
#include "tests/framework/FormFixture.h"

using namespace platform::testing;

namespace {

// A graphic control that fills itself with one colour.
class TSwatch : public TGraphicControl {
  public:
    explicit TSwatch(TComponent* owner) : TGraphicControl(owner) {}

  protected:
    void Paint() override {
        Canvas().Brush().SetColor(clRed);
        Canvas().FillRect(RECT{0, 0, Width(), Height()});
    }
};

// The window's place in its parent's client area.
RECT PlaceInParent(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace

class Recreation : public Controls {};

TEST_F(Recreation, AContainerMadeAgainKeepsItsChildrenWithTheirTextPlaceStateAndTheFocus) {
    auto* panel = Place<TPanel>(form_, "panel", 10, 10, 300, 200);
    auto* edit = Place<TEdit>(panel, "edit", 8, 8, 120, 21);
    auto* hidden = Place<TEdit>(panel, "hidden", 8, 40, 120, 21);
    hidden->SetText("later");
    hidden->SetVisible(false);
    auto* button = Place<TButton>(panel, "button", 140, 8, 75, 25);
    button->SetCaption("OK");
    button->SetEnabled(false);
    auto* inner = Place<TPanel>(panel, "inner", 8, 80, 200, 60);
    auto* nested = Place<TEdit>(inner, "nested", 4, 4, 100, 21);
    nested->SetText("deep");
    nested->Font().SetHeight(-20);
    Place<TSwatch>(panel, "swatch", 240, 150, 20, 20);
    int clicks = 0;
    button->OnClick = [&](TObject*) { ++clicks; };
    Show();
    edit->SetFocus();
    Type("abc");
    DispatchPending();

    const HWND oldPanel = panel->Handle(), oldEdit = edit->Handle(), oldNested = nested->Handle();
    const RECT editPlace = PlaceInParent(oldEdit), innerPlace = PlaceInParent(inner->Handle());
    panel->RecreateWnd();
    DispatchPending();

    ASSERT_NE(panel->Handle(), oldPanel);
    // Made again at once, not when first asked for.
    EXPECT_TRUE(edit->HandleAllocated());
    EXPECT_TRUE(inner->HandleAllocated());
    EXPECT_TRUE(nested->HandleAllocated());
    EXPECT_FALSE(IsWindow(oldPanel));
    EXPECT_FALSE(IsWindow(oldEdit));
    EXPECT_FALSE(IsWindow(oldNested));
    EXPECT_EQ(GetParent(edit->Handle()), panel->Handle());
    EXPECT_EQ(GetParent(inner->Handle()), panel->Handle());
    EXPECT_EQ(GetParent(nested->Handle()), inner->Handle());
    EXPECT_EQ(edit->Text(), "abc") << "what the user typed";
    EXPECT_EQ(nested->Text(), "deep");
    EXPECT_EQ(button->Text(), "OK");
    EXPECT_TRUE(SameRect(PlaceInParent(edit->Handle()), editPlace));
    EXPECT_TRUE(SameRect(PlaceInParent(inner->Handle()), innerPlace));
    EXPECT_TRUE(IsWindowVisible(nested->Handle()));
    EXPECT_FALSE(IsWindowEnabled(button->Handle()));
    EXPECT_TRUE(GetWindowLongA(edit->Handle(), GWL_STYLE) & WS_TABSTOP);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(nested->Handle(), WM_GETFONT, 0, 0)), nested->Font().Handle());
    EXPECT_EQ(Pixel(panel->Handle(), 250, 160), RGB(255, 0, 0)) << "the graphic child drawn on the new window";
    EXPECT_FALSE(hidden->HandleAllocated() && IsWindowVisible(hidden->Handle()));
    EXPECT_TRUE(edit->Focused()) << "the focus back on the control inside that had it";
    EXPECT_EQ(form_->ActiveControl(), edit);

    // The new windows' messages reach the same controls.
    button->SetEnabled(true);
    DispatchPending();
    Click(button->Handle(), 10, 10);
    DispatchPending();
    EXPECT_EQ(clicks, 1);
    hidden->SetVisible(true);
    DispatchPending();
    ASSERT_TRUE(hidden->HandleAllocated());
    EXPECT_EQ(GetParent(hidden->Handle()), panel->Handle());
    EXPECT_TRUE(IsWindowVisible(hidden->Handle()));
    EXPECT_EQ(hidden->Text(), "later");
    std::vector<std::string> order;
    for (TWinControl* control : panel->TabOrderList()) order.push_back(control->Name());
    EXPECT_EQ(order, (std::vector<std::string>{"edit", "hidden", "button", "inner", "nested"}));
}

TEST_F(Recreation, AHiddenControlMadeAgainWaitsUntilItIsShownWithWhatWasSetMeanwhile) {
    auto* edit = Place<TEdit>(form_, "edit", 8, 8, 120, 21);
    edit->SetText("kept");
    Show();
    ASSERT_TRUE(edit->HandleAllocated());
    edit->SetVisible(false);
    edit->SetBounds(20, 30, 90, 24);
    edit->SetEnabled(false);
    edit->RecreateWnd();
    EXPECT_FALSE(edit->HandleAllocated() && IsWindowVisible(edit->Handle()));
    EXPECT_EQ(edit->Text(), "kept");
    edit->SetVisible(true);
    DispatchPending();
    ASSERT_TRUE(edit->HandleAllocated());
    EXPECT_TRUE(IsWindowVisible(edit->Handle()));
    EXPECT_FALSE(IsWindowEnabled(edit->Handle()));
    EXPECT_TRUE(SameRect(PlaceInParent(edit->Handle()), RECT{20, 30, 110, 54}));
    EXPECT_EQ(edit->Text(), "kept");

    // A control that never had a window gets none from being made again.
    auto* later = new TEdit(form_);
    later->RecreateWnd();
    EXPECT_FALSE(later->HandleAllocated());
}
