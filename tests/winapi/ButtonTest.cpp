// The BUTTON class: push buttons, check boxes and radio groups as a program sets, reads and clicks them, and what
// their parent hears of it.

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/Recorder.h"
#include "tests/winapi/Suite.h"

namespace {

class Button : public winapi::ControlTest {
  protected:
    HWND Make(DWORD style, const char* caption = "OK", int id = 7, RECT r = {10, 10, 85, 35}) const {
        return ControlTest::Make("BUTTON", style, caption, id, r);
    }

    // The BN_* codes the parent received from a button, in order.
    std::vector<int> Reports(HWND button) const {
        std::vector<int> codes;
        for (const Received& r : recorder_.Log())
            if (r.message == WM_COMMAND && reinterpret_cast<HWND>(r.lParam) == button)
                codes.push_back(HIWORD(r.wParam));
        return codes;
    }

    static LRESULT Check(HWND button) { return SendMessageA(button, BM_GETCHECK, 0, 0); }
    static void Click(HWND button) { SendMessageA(button, BM_CLICK, 0, 0); }
    static bool TabStop(HWND window) { return GetWindowLongA(window, GWL_STYLE) & WS_TABSTOP; }
};

}  // namespace

TEST_F(Button, BmClickReportsAsTheButtonsOwnIdAndTakesTheFocus) {
    HWND button = Make(BS_PUSHBUTTON);
    HWND other = Make(BS_PUSHBUTTON, "other", 8, {100, 10, 175, 35});
    SetFocus(button);
    recorder_.Clear();
    Click(other);
    EXPECT_EQ(Reports(other), std::vector<int>{BN_CLICKED});
    std::vector<WPARAM> commands;
    for (const Received& r : recorder_.Log())
        if (r.message == WM_COMMAND) commands.push_back(r.wParam);
    EXPECT_EQ(commands, std::vector<WPARAM>{MAKEWPARAM(8, BN_CLICKED)});
    // A click by message takes the focus as a click by hand does, and leaves the button up.
    EXPECT_EQ(GetFocus(), other);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(SendMessageA(other, BM_GETSTATE, 0, 0), BST_FOCUS);
    EXPECT_EQ(Check(other), BST_UNCHECKED);  // a push button has no check to change
    // Whether a disabled button takes BM_CLICK, Windows does not say; it is not asserted.
}

TEST_F(Button, AutomaticBoxesChangeTheirCheckBeforeTheyReportTheClick) {
    HWND box = Make(BS_AUTOCHECKBOX, "repeat");
    std::vector<LRESULT> seen;  // the check as the parent finds it when told of the click
    recorder_.Handle(parent_, [&seen](HWND, UINT message, WPARAM, LPARAM lParam, LRESULT&) {
        if (message == WM_COMMAND) seen.push_back(Check(reinterpret_cast<HWND>(lParam)));
        return false;
    });
    Click(box);
    Click(box);
    EXPECT_EQ(seen, (std::vector<LRESULT>{BST_CHECKED, BST_UNCHECKED}));

    HWND three = Make(BS_AUTO3STATE, "three", 8, {100, 10, 180, 30});
    std::vector<LRESULT> cycle;
    for (int i = 0; i < 3; ++i) {
        Click(three);
        cycle.push_back(Check(three));
    }
    EXPECT_EQ(cycle, (std::vector<LRESULT>{BST_CHECKED, BST_INDETERMINATE, BST_UNCHECKED}));

    // A plain check box and a three-state box only report; the program sets their check.
    HWND plain = Make(BS_3STATE, "plain", 9, {100, 40, 180, 60});
    recorder_.Clear();
    Click(plain);
    EXPECT_EQ(Check(plain), BST_UNCHECKED);
    EXPECT_EQ(Reports(plain), std::vector<int>{BN_CLICKED});
    SendMessageA(plain, BM_SETCHECK, BST_INDETERMINATE, 0);
    EXPECT_EQ(Check(plain), BST_INDETERMINATE);
    EXPECT_EQ(SendMessageA(plain, BM_GETSTATE, 0, 0) & BST_INDETERMINATE, BST_INDETERMINATE);
}

TEST_F(Button, AProgramsCheckIsNeitherReportedNorPassedOnToTheGroup) {
    HWND box = Make(BS_AUTOCHECKBOX, "repeat");
    HWND first = Make(BS_AUTORADIOBUTTON | WS_GROUP, "a", 8, {10, 40, 100, 60});
    HWND second = Make(BS_AUTORADIOBUTTON, "b", 9, {10, 70, 100, 90});
    SetWindowPos(second, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    winapi::DispatchPending();
    recorder_.Clear();
    EXPECT_EQ(SendMessageA(box, BM_SETCHECK, BST_CHECKED, 0), 0);
    EXPECT_EQ(Check(box), BST_CHECKED);
    SendMessageA(first, BM_SETCHECK, BST_CHECKED, 0);
    SendMessageA(second, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(Check(first), BST_CHECKED);  // only a click unchecks the others
    EXPECT_EQ(Check(second), BST_CHECKED);
    // Only a checked radio button is a tab stop, so that Tab enters its group at the chosen one.
    EXPECT_TRUE(TabStop(first));
    SendMessageA(first, BM_SETCHECK, BST_UNCHECKED, 0);
    EXPECT_FALSE(TabStop(first));
    EXPECT_EQ(Check(first), BST_UNCHECKED);
    winapi::DispatchPending();
    for (HWND button : {box, first, second}) EXPECT_TRUE(Reports(button).empty());
}

TEST_F(Button, AnAutomaticRadioButtonUnchecksTheOthersOfItsGroupOnly) {
    std::vector<HWND> radios;
    for (int i = 0; i < 4; ++i) {
        DWORD group = i == 0 || i == 3 ? WS_GROUP : 0;
        radios.push_back(Make(BS_AUTORADIOBUTTON | group, "r", 20 + i, {10, 10 + 25 * i, 100, 30 + 25 * i}));
        // The dialog order: each new control behind the ones before it.
        SetWindowPos(radios.back(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    SendMessageA(radios[0], BM_SETCHECK, BST_CHECKED, 0);
    SendMessageA(radios[3], BM_SETCHECK, BST_CHECKED, 0);
    Click(radios[1]);
    EXPECT_EQ(Check(radios[0]), BST_UNCHECKED);
    EXPECT_EQ(Check(radios[1]), BST_CHECKED);
    EXPECT_EQ(Check(radios[2]), BST_UNCHECKED);
    EXPECT_EQ(Check(radios[3]), BST_CHECKED);  // another group
    EXPECT_FALSE(TabStop(radios[0]));
    EXPECT_TRUE(TabStop(radios[1]));
    Click(radios[1]);  // a second click changes nothing
    EXPECT_EQ(Check(radios[1]), BST_CHECKED);
    EXPECT_EQ(Check(radios[0]), BST_UNCHECKED);
}

TEST_F(Button, ARadioButtonReachedByTheKeyboardIsChosenUnlessItWasAlready) {
    KORVO_KNOWN_TO_DIFFER_ON_WINE("Button default message processing, WM_SETFOCUS: \"For radio buttons and automatic "
                                  "radio buttons, the parent window is sent a BN_CLICKED notification code\" (and "
                                  "BM_SETDONTCLICK turns off \"the generation of BN_CLICKED messages when the button "
                                  "receives focus\")");
    HWND first = Make(BS_AUTORADIOBUTTON | WS_GROUP, "a", 20, {10, 10, 100, 30});
    HWND second = Make(BS_AUTORADIOBUTTON, "b", 21, {10, 40, 100, 60});
    HWND third = Make(BS_AUTORADIOBUTTON, "c", 22, {10, 70, 100, 90});
    for (HWND radio : {first, second, third})
        SetWindowPos(radio, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SendMessageA(first, BM_SETCHECK, BST_CHECKED, 0);
    recorder_.Clear();
    SetFocus(second);
    EXPECT_EQ(Check(second), BST_CHECKED);
    EXPECT_EQ(Check(first), BST_UNCHECKED);
    EXPECT_EQ(Reports(second), std::vector<int>{BN_CLICKED});
    SetFocus(parent_);
    SetFocus(second);  // checked already: nothing more to report
    EXPECT_EQ(Reports(second), std::vector<int>{BN_CLICKED});
    EXPECT_TRUE(Reports(first).empty());
    EXPECT_EQ(Check(third), BST_UNCHECKED);
}

TEST_F(Button, EachKindTellsTheDialogManagerWhatItIs) {
    HWND ok = Make(BS_DEFPUSHBUTTON | WS_TABSTOP, "OK");
    HWND cancel = Make(BS_PUSHBUTTON, "Cancel", 8, {100, 10, 175, 35});
    EXPECT_EQ(SendMessageA(ok, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_DEFPUSHBUTTON);
    EXPECT_EQ(SendMessageA(cancel, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON);
    EXPECT_EQ(SendMessageA(Make(BS_AUTOCHECKBOX, "box", 9), WM_GETDLGCODE, 0, 0), DLGC_BUTTON);
    EXPECT_EQ(SendMessageA(Make(BS_RADIOBUTTON, "radio", 10), WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_RADIOBUTTON);
    EXPECT_EQ(SendMessageA(Make(BS_GROUPBOX, "group", 11), WM_GETDLGCODE, 0, 0), DLGC_STATIC);

    // The default moves by changing the buttons' type; the rest of their style stays.
    SendMessageA(ok, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    SendMessageA(cancel, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    EXPECT_EQ(SendMessageA(ok, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON);
    EXPECT_EQ(SendMessageA(cancel, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_DEFPUSHBUTTON);
    EXPECT_EQ(GetWindowLongA(cancel, GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    EXPECT_TRUE(TabStop(ok));
    EXPECT_TRUE(GetWindowLongA(ok, GWL_STYLE) & WS_VISIBLE);
}

TEST_F(Button, TheCaptionIsTheWindowText) {
    HWND button = Make(BS_PUSHBUTTON, "Play");
    char text[16] = "";
    EXPECT_EQ(GetWindowTextA(button, text, sizeof text), 4);
    EXPECT_STREQ(text, "Play");
    EXPECT_EQ(SendMessageA(button, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Pause")), TRUE);
    EXPECT_EQ(SendMessageA(button, WM_GETTEXTLENGTH, 0, 0), 5);
    EXPECT_EQ(SendMessageA(button, WM_GETTEXT, 3, reinterpret_cast<LPARAM>(text)), 2);  // what fits, and its end
    EXPECT_STREQ(text, "Pa");
}

TEST_F(Button, AButtonItsParentDestroysOnTheClickFinishesTheClickSafely) {
    recorder_.Handle(parent_, [](HWND, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
        if (message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) return false;
        DestroyWindow(reinterpret_cast<HWND>(lParam));
        result = 0;
        return true;
    });
    HWND box = Make(BS_AUTOCHECKBOX, "close");
    Click(box);
    EXPECT_FALSE(IsWindow(box));
    EXPECT_EQ(GetCapture(), nullptr);
    HWND next = Make(BS_AUTOCHECKBOX, "next", 8);  // a button made afterwards has a state of its own
    EXPECT_EQ(Check(next), BST_UNCHECKED);
    winapi::DispatchPending();
}
