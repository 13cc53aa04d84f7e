// The mouse over controls without windows of their own: the parent hands each press to the topmost enabled,
// visible one under the pointer, in its own coordinates, and keeps handing it everything until the button is
// released, wherever the pointer has gone; a click counts only when released over it.

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <utility>

#include "framework/ExtCtrls.h"
#include "framework/GraphicControl.h"
#include "tests/framework/FormFixture.h"

using namespace platform::testing;

namespace {

// A graphic control that fills itself with one colour.
class TSwatch : public TGraphicControl {
  public:
    explicit TSwatch(TComponent* owner) : TGraphicControl(owner) {}
    TColor fill = clRed;

  protected:
    void Paint() override {
        Canvas().Brush().SetColor(fill);
        Canvas().FillRect(RECT{0, 0, Width(), Height()});
    }
};

}  // namespace

class GraphicMouse : public Controls {
  protected:
    // Notes what the control's mouse events say in the trail.
    void Watch(TControl* control) {
        const std::string name = control->Name();
        control->OnMouseDown = [this, name](TObject*, TMouseButton, TShiftState shift, int x, int y) {
            trail_ += name + ((shift & ssDouble) ? " double " : " down ") + std::to_string(x) + "," +
                      std::to_string(y) + " ";
        };
        control->OnMouseMove = [this, name](TObject*, TShiftState, int x, int y) {
            trail_ += name + " move " + std::to_string(x) + "," + std::to_string(y) + " ";
        };
        control->OnMouseUp = [this, name](TObject*, TMouseButton, TShiftState, int x, int y) {
            trail_ += name + " up " + std::to_string(x) + "," + std::to_string(y) + " ";
        };
        control->OnClick = [this, name](TObject*) { trail_ += name + " click "; };
        control->OnDblClick = [this, name](TObject*) { trail_ += name + " dblclick "; };
    }
    // The trail so far; a second passes, so that the next press is a press of its own, not a double click.
    std::string TakeTrail() {
        DispatchPending();
        clock_.Advance(std::chrono::seconds(1));
        return std::exchange(trail_, std::string());
    }

    std::string trail_;
};

TEST_F(GraphicMouse, ThePressGoesToTheTopmostControlUnderThePointerInItsOwnCoordinates) {
    auto* panel = Place<TPanel>(form_, "panel", 10, 10, 200, 120);
    auto* lower = Place<TSwatch>(panel, "lower", 10, 10, 50, 30);
    auto* upper = Place<TSwatch>(panel, "upper", 40, 20, 50, 30);
    upper->fill = clBlue;
    for (TControl* control : {static_cast<TControl*>(panel), static_cast<TControl*>(lower),
                              static_cast<TControl*>(upper)})
        Watch(control);
    Show();
    HWND surface = panel->Handle();
    EXPECT_EQ(Pixel(surface, 45, 25), RGB(0, 0, 255)) << "the later control is drawn over the earlier";

    Click(surface, 45, 25);
    EXPECT_EQ(TakeTrail(), "upper down 5,5 upper click upper up 5,5 ") << "with a click: released over it";
    lower->BringToFront();
    EXPECT_EQ(TakeTrail(), "");
    EXPECT_EQ(Pixel(surface, 45, 25), RGB(255, 0, 0));
    Click(surface, 45, 25);
    EXPECT_EQ(TakeTrail(), "lower down 35,15 lower click lower up 35,15 ");

    // A disabled or hidden control lets the press through to what is behind it.
    lower->SetEnabled(false);
    Click(surface, 45, 25);
    EXPECT_EQ(TakeTrail(), "upper down 5,5 upper click upper up 5,5 ");
    upper->SetVisible(false);
    DispatchPending();
    EXPECT_EQ(Pixel(surface, 80, 45), Pixel(surface, 150, 100)) << "the panel shows where it was";
    Click(surface, 45, 25);
    EXPECT_EQ(TakeTrail(), "panel down 45,25 panel click panel up 45,25 ");
    upper->SetVisible(true);
    DispatchPending();
    EXPECT_EQ(Pixel(surface, 80, 45), RGB(0, 0, 255));

    DoubleClick(surface, 60, 30);
    EXPECT_EQ(TakeTrail(), "upper down 20,10 upper click upper up 20,10 upper dblclick upper double 20,10 "
                           "upper up 20,10 ")
        << "the second press is the double click, and no click of its own";
}

TEST_F(GraphicMouse, TheControlPressedKeepsTheMouseUntilReleaseWhereverThePointerGoes) {
    auto* panel = Place<TPanel>(form_, "panel", 10, 10, 200, 120);
    auto* held = Place<TSwatch>(panel, "held", 10, 10, 50, 30);
    auto* other = Place<TSwatch>(panel, "other", 100, 10, 50, 30);
    for (TControl* control : {static_cast<TControl*>(panel), static_cast<TControl*>(held),
                              static_cast<TControl*>(other)})
        Watch(control);
    Show();
    HWND surface = panel->Handle();

    MouseDown(surface, 15, 15);
    EXPECT_EQ(TakeTrail(), "held down 5,5 ");
    EXPECT_EQ(CaptureControl(), held);
    EXPECT_EQ(GetCapture(), surface) << "held through its parent's window";
    MouseMove(surface, 110, 20);  // over the other control
    MouseMove(surface, 250, 150);  // outside the panel altogether
    MouseUp(surface, 110, 20);
    EXPECT_EQ(TakeTrail(), "held move 100,10 held move 240,140 held up 100,10 ") << "released elsewhere: no click";
    EXPECT_EQ(CaptureControl(), nullptr);
    EXPECT_EQ(GetCapture(), nullptr);

    MouseDown(surface, 15, 15);
    MouseMove(surface, 150, 100);
    MouseMove(surface, 20, 20);  // back over it
    MouseUp(surface, 20, 20);
    EXPECT_EQ(TakeTrail(), "held down 5,5 held move 140,90 held move 10,10 held click held up 10,10 ");
    MouseMove(surface, 110, 20);
    EXPECT_EQ(TakeTrail(), "other move 10,10 ") << "free again, the mouse goes to whatever is under it";

    // A control destroyed while it holds the mouse lets go of it; the release then goes to what is there.
    MouseDown(surface, 115, 15);
    EXPECT_EQ(TakeTrail(), "other down 15,5 ");
    delete other;
    EXPECT_EQ(CaptureControl(), nullptr);
    EXPECT_EQ(GetCapture(), nullptr);
    MouseUp(surface, 115, 15);
    EXPECT_EQ(TakeTrail(), "panel up 115,15 ");
}
