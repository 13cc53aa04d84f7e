// The focus among windowed controls: each move runs the exit events up to the parent the two controls share and
// the enter events down to the new one; the tab order runs through containers in order and skips what cannot take
// the focus; an edit box entered by the keyboard selects its text.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "framework/ExtCtrls.h"
#include "framework/StdCtrls.h"
#include "tests/framework/FormFixture.h"

using namespace platform::testing;

namespace {

std::string NameOf(TWinControl* control) { return control ? control->Name() : "(none)"; }

std::string FocusedName() { return NameOf(TWinControl::FindControl(GetFocus())); }

}  // namespace

class Focus : public Controls {
  protected:
    // Notes the enter and exit events of a control in the trail.
    void Watch(TWinControl* control) {
        const std::string name = control->Name();
        control->OnEnter = [this, name](TObject*) { trail_ += "enter " + name + " "; };
        control->OnExit = [this, name](TObject*) { trail_ += "exit " + name + " "; };
    }
    std::string TakeTrail() { return std::exchange(trail_, std::string()); }

    std::string trail_;
};

TEST_F(Focus, EachMoveExitsUpToTheSharedParentThenEntersDownToTheNewControl) {
    auto* panelA = Place<TPanel>(form_, "panelA", 8, 8, 160, 100);
    auto* a1 = Place<TEdit>(panelA, "a1", 8, 8, 100, 21);
    auto* a2 = Place<TEdit>(panelA, "a2", 8, 40, 100, 21);
    auto* panelB = Place<TPanel>(form_, "panelB", 180, 8, 160, 100);
    auto* inner = Place<TPanel>(panelB, "inner", 8, 8, 140, 60);
    auto* b1 = Place<TEdit>(inner, "b1", 8, 8, 100, 21);
    auto* button = Place<TButton>(form_, "button", 8, 200, 75, 25);
    for (TWinControl* control : std::vector<TWinControl*>{panelA, a1, a2, panelB, inner, b1, button}) Watch(control);

    Show();
    EXPECT_EQ(TakeTrail(), "enter panelA enter a1 ") << "the first control in tab order takes the focus";
    EXPECT_EQ(FocusedName(), "a1");

    a2->SetFocus();
    EXPECT_EQ(TakeTrail(), "exit a1 enter a2 ") << "the panel they share is neither left nor entered";
    b1->SetFocus();
    EXPECT_EQ(TakeTrail(), "exit a2 exit panelA enter panelB enter inner enter b1 ");
    button->SetFocus();
    EXPECT_EQ(TakeTrail(), "exit b1 exit inner exit panelB enter button ");
    b1->SetFocus();
    EXPECT_EQ(TakeTrail(), "exit button enter panelB enter inner enter b1 ");
    b1->SetFocus();
    EXPECT_EQ(TakeTrail(), "") << "the focused control again: nothing moves";
    EXPECT_EQ(FocusedName(), "b1");
    EXPECT_EQ(form_->ActiveControl(), b1);

    // A handler that moves the focus elsewhere ends the move it interrupted: the rest of it does not run.
    bool redirected = false;
    panelB->OnEnter = [&](TObject*) {
        trail_ += "enter panelB ";
        if (redirected) return;
        redirected = true;
        a2->SetFocus();
    };
    a1->SetFocus();
    TakeTrail();
    b1->SetFocus();
    EXPECT_EQ(TakeTrail(), "exit a1 exit panelA enter panelB exit panelB enter panelA enter a2 ");
    EXPECT_EQ(FocusedName(), "a2");
    EXPECT_EQ(form_->ActiveControl(), a2);
    EXPECT_TRUE(a2->Focused());
    EXPECT_FALSE(b1->Focused());
}

TEST_F(Focus, TabVisitsTabStopsThroughContainersInOrderAndSkipsWhatCannotTakeTheFocus) {
    auto* first = Place<TEdit>(form_, "first", 8, 8, 100, 21);
    auto* panel = Place<TPanel>(form_, "panel", 8, 40, 200, 60);
    Place<TEdit>(panel, "inside", 8, 8, 80, 21);
    auto* disabled = Place<TEdit>(panel, "disabled", 100, 8, 80, 21);
    disabled->SetEnabled(false);
    auto* hidden = Place<TEdit>(form_, "hidden", 8, 110, 100, 21);
    hidden->SetVisible(false);
    auto* hiddenPanel = Place<TPanel>(form_, "hiddenPanel", 120, 110, 100, 40);
    Place<TEdit>(hiddenPanel, "inHidden", 4, 4, 80, 21);
    hiddenPanel->SetVisible(false);
    auto* disabledPanel = Place<TPanel>(form_, "disabledPanel", 8, 160, 100, 40);
    Place<TEdit>(disabledPanel, "inDisabled", 4, 4, 80, 21);
    disabledPanel->SetEnabled(false);
    auto* noStop = Place<TEdit>(form_, "noStop", 120, 160, 100, 21);
    noStop->SetTabStop(false);
    auto* last = Place<TButton>(form_, "last", 8, 210, 75, 25);

    std::vector<std::string> order;
    for (TWinControl* control : form_->TabOrderList()) order.push_back(control->Name());
    EXPECT_EQ(order, (std::vector<std::string>{"first", "panel", "inside", "disabled", "hidden", "hiddenPanel",
                                               "inHidden", "disabledPanel", "inDisabled", "noStop", "last"}))
        << "each container's controls follow it";

    Show();
    auto tabs = [this](int count, bool backward = false) {
        std::string visited;
        for (int i = 0; i < count; ++i) {
            if (backward) KeyDown(VK_SHIFT);
            PressKey(VK_TAB);
            if (backward) KeyUp(VK_SHIFT);
            HandleMessages();
            visited += FocusedName() + " ";
        }
        return visited;
    };
    EXPECT_EQ(FocusedName(), "first");
    EXPECT_EQ(tabs(4), "inside last first inside ");
    EXPECT_EQ(tabs(3, true), "first last inside ");

    // What could not take the focus takes it once it can, in its place in the order.
    disabled->SetEnabled(true);
    hiddenPanel->SetVisible(true);
    noStop->SetTabStop(true);
    EXPECT_EQ(tabs(5), "disabled inHidden noStop last first ");

    // A new tab order moves the control at once; an order past the end puts it last.
    last->SetTabOrder(0);
    EXPECT_EQ(last->TabOrder(), 0);
    EXPECT_EQ(first->TabOrder(), 1);
    last->SetFocus();
    EXPECT_EQ(tabs(1), "first ");
    first->SetTabOrder(99);
    EXPECT_EQ(first->TabOrder(), 6);
    EXPECT_EQ(NameOf(form_->FindNextControl(noStop, true, true, false)), "first");

    // A control moved to another parent leaves the old one's order.
    noStop->SetParent(panel);
    EXPECT_EQ(noStop->TabOrder(), 2);
    order.clear();
    for (TWinControl* control : form_->TabOrderList()) order.push_back(control->Name());
    EXPECT_EQ(order, (std::vector<std::string>{"last", "panel", "inside", "disabled", "noStop", "hidden",
                                               "hiddenPanel", "inHidden", "disabledPanel", "inDisabled", "first"}));
}

TEST_F(Focus, ArrowsMoveAmongTheSameParentsControlsWhetherTheyAreTabStopsOrNot) {
    auto* panel = Place<TPanel>(form_, "panel", 8, 8, 300, 60);
    auto* one = Place<TButton>(panel, "one", 8, 8, 75, 25);
    auto* two = Place<TButton>(panel, "two", 90, 8, 75, 25);
    auto* three = Place<TButton>(panel, "three", 172, 8, 75, 25);
    auto* inner = Place<TPanel>(panel, "inner", 8, 36, 200, 20);
    Place<TButton>(inner, "nested", 0, 0, 75, 20);
    Place<TButton>(form_, "outside", 8, 100, 75, 25);
    two->SetTabStop(false);
    three->SetEnabled(false);
    Show();
    one->SetFocus();
    // Arrows stay among the panel's own controls: not into the inner panel's, not out to the form's.
    EXPECT_EQ(NameOf(panel->FindNextControl(one, true, false, true)), "two");
    EXPECT_EQ(NameOf(panel->FindNextControl(two, true, false, true)), "inner") << "past the disabled one";
    EXPECT_EQ(NameOf(panel->FindNextControl(one, false, false, true)), "inner") << "backwards, round the end";
    PressKey(VK_RIGHT);
    HandleMessages();
    EXPECT_EQ(FocusedName(), "two");
    PressKey(VK_LEFT);
    HandleMessages();
    EXPECT_EQ(FocusedName(), "one");
    // With no other control that can take it, the focus stays.
    inner->SetEnabled(false);
    two->SetEnabled(false);
    PressKey(VK_RIGHT);
    HandleMessages();
    EXPECT_EQ(FocusedName(), "one");
}

TEST_F(Focus, AnEditEnteredByTheKeyboardSelectsItsTextAndAClickPlacesTheCaret) {
    auto* first = Place<TEdit>(form_, "first", 8, 8, 100, 21);
    auto* mask = Place<TEdit>(form_, "mask", 8, 40, 100, 21);
    mask->SetText("*.mp3");
    Show();
    auto selection = [mask] {
        DWORD start = 0, end = 0;
        SendMessageA(mask->Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        return std::to_string(start) + "-" + std::to_string(end);
    };
    PressKey(VK_TAB);
    HandleMessages();
    ASSERT_TRUE(mask->Focused());
    EXPECT_EQ(selection(), "0-5");
    Type("*.wav");
    HandleMessages();
    EXPECT_EQ(mask->Text(), "*.wav") << "typing replaced the selected text";

    first->SetFocus();
    Click(mask->Handle(), 2, 10);
    HandleMessages();
    ASSERT_TRUE(mask->Focused());
    EXPECT_EQ(selection(), "0-0") << "the caret where the click was, nothing selected";

    mask->SetAutoSelect(false);
    first->SetFocus();
    PressKey(VK_TAB);
    HandleMessages();
    ASSERT_TRUE(mask->Focused());
    EXPECT_EQ(selection(), "0-0") << "without AutoSelect the box keeps its caret";
}
