#include <gtest/gtest.h>

#include <algorithm>

#include "platform/testing/Desktop.h"
#include "platform/testing/VirtualClock.h"
#include "tests/support/Recorder.h"

using namespace platform::testing;

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kFace = RGB(192, 192, 192);
constexpr COLORREF kShadow = RGB(128, 128, 128);

class ButtonWindow : public ::testing::Test {
  protected:
    ButtonWindow() : display_(UseHeadlessDisplay()) {
        parent_ = recorder_.TopLevel("parent", 0, 0, 300, 200, WS_POPUP | WS_VISIBLE);
        DispatchPending();
    }
    ~ButtonWindow() override {
        ResetDesktop();
        DeleteObject(red_);
    }

    HWND Make(DWORD style, const char* caption = "OK", int id = 7, RECT r = {10, 10, 85, 35}) {
        HWND button = CreateWindowExA(0, "BUTTON", caption, WS_CHILD | WS_VISIBLE | style, r.left, r.top,
                                      r.right - r.left, r.bottom - r.top, parent_,
                                      reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, nullptr);
        DispatchPending();
        return button;
    }

    // The BN_* codes the parent received from a button, in order.
    std::vector<int> Reports(HWND button) const {
        std::vector<int> codes;
        for (const Received& r : recorder_.Log())
            if (r.message == WM_COMMAND && reinterpret_cast<HWND>(r.lParam) == button) codes.push_back(HIWORD(r.wParam));
        return codes;
    }

    LRESULT State(HWND button) { return SendMessageA(button, BM_GETSTATE, 0, 0); }
    LRESULT Check(HWND button) { return SendMessageA(button, BM_GETCHECK, 0, 0); }

    platform::display::HeadlessDisplay& display_;
    VirtualClock clock_;
    Recorder recorder_;
    HWND parent_ = nullptr;
    HBRUSH red_ = CreateSolidBrush(RGB(255, 0, 0));
};

}  // namespace

TEST_F(ButtonWindow, AReleaseInsideClicksAndAReleaseOutsideDoesNot) {
    HWND button = Make(BS_PUSHBUTTON);
    recorder_.Clear();
    MouseDown(button, 20, 10);
    DispatchPending();
    EXPECT_EQ(GetFocus(), button);
    EXPECT_EQ(GetCapture(), button);
    EXPECT_EQ(State(button), BST_PUSHED | BST_FOCUS);
    MouseMove(button, 120, 10);  // out: the button comes up, the press is not over
    DispatchPending();
    EXPECT_EQ(State(button) & BST_PUSHED, 0);
    MouseMove(button, 30, 12);
    DispatchPending();
    EXPECT_EQ(State(button) & BST_PUSHED, BST_PUSHED);
    EXPECT_TRUE(Reports(button).empty());
    MouseUp(button, 30, 12);
    DispatchPending();
    EXPECT_EQ(Reports(button), std::vector<int>{BN_CLICKED});
    auto report = std::find_if(recorder_.Log().begin(), recorder_.Log().end(),
                               [](const Received& r) { return r.message == WM_COMMAND; });
    EXPECT_EQ(report->wParam, MAKEWPARAM(7, BN_CLICKED));
    EXPECT_EQ(GetCapture(), nullptr);

    recorder_.Clear();
    MouseDown(button, 20, 10);
    DispatchPending();
    MouseMove(button, 20, 80);
    MouseUp(button, 20, 80);
    DispatchPending();
    EXPECT_TRUE(Reports(button).empty());
    EXPECT_EQ(State(button), BST_FOCUS);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ButtonWindow, SpaceClicksButADisabledButtonTakesNoClick) {
    HWND button = Make(BS_PUSHBUTTON);
    SetFocus(button);
    recorder_.Clear();
    KeyDown(VK_SPACE);
    DispatchPending();
    EXPECT_EQ(State(button) & BST_PUSHED, BST_PUSHED);
    EXPECT_TRUE(Reports(button).empty());
    KeyUp(VK_SPACE);
    DispatchPending();
    EXPECT_EQ(Reports(button), std::vector<int>{BN_CLICKED});
    EXPECT_EQ(State(button) & BST_PUSHED, 0);

    recorder_.Clear();
    EnableWindow(button, FALSE);
    SendMessageA(button, BM_CLICK, 0, 0);
    Click(button, 20, 10);
    DispatchPending();
    EXPECT_TRUE(Reports(button).empty());
}

TEST_F(ButtonWindow, TheDefaultButtonHasAHeavierFrameThatMovesWithItsStyle) {
    HWND ok = Make(BS_DEFPUSHBUTTON | WS_TABSTOP, "OK");
    HWND cancel = Make(BS_PUSHBUTTON, "Cancel", 8, {100, 10, 175, 35});
    EXPECT_EQ(Pixel(ok, 0, 12), kBlack);
    EXPECT_EQ(Pixel(ok, 1, 12), kWhite);
    EXPECT_EQ(Pixel(cancel, 0, 12), kWhite);

    SendMessageA(ok, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    SendMessageA(cancel, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    DispatchPending();
    EXPECT_EQ(Pixel(ok, 0, 12), kWhite);
    EXPECT_EQ(Pixel(cancel, 0, 12), kBlack);

    // Held down, the default button shows a shadow line inside its black frame.
    MouseDown(cancel, 20, 10);
    DispatchPending();
    EXPECT_EQ(Pixel(cancel, 0, 12), kBlack);
    EXPECT_EQ(Pixel(cancel, 1, 12), kShadow);
    EXPECT_EQ(Pixel(cancel, 2, 12), kFace);
    MouseUp(cancel, 20, 10);
    DispatchPending();
}

TEST_F(ButtonWindow, ACheckBoxDrawsItsMarkOnTheParentsBackgroundAndItsFocusAroundTheCaption) {
    recorder_.Handle(parent_, [this](HWND, UINT message, WPARAM, LPARAM, LRESULT& result) {
        if (message != WM_CTLCOLORSTATIC) return false;
        result = reinterpret_cast<LRESULT>(red_);
        return true;
    });
    HWND box = Make(BS_CHECKBOX, "repeat", 7, {10, 10, 107, 27});
    auto markPixels = [&] {
        int dark = 0;
        for (int y = 2; y < 15; ++y)
            for (int x = 0; x < 13; ++x) dark += Pixel(box, x, y) == kBlack;
        return dark;
    };
    int frameOnly = markPixels();  // the box's inner shadow line
    EXPECT_EQ(Pixel(box, 6, 8), kWhite);
    EXPECT_EQ(Pixel(box, 90, 1), RGB(255, 0, 0));
    SendMessageA(box, BM_SETCHECK, BST_CHECKED, 0);
    DispatchPending();
    EXPECT_GT(markPixels(), frameOnly + 10);
    SendMessageA(box, BM_SETCHECK, BST_UNCHECKED, 0);
    DispatchPending();
    EXPECT_EQ(markPixels(), frameOnly);

    auto inverted = [&] {
        int count = 0;
        for (int y = 0; y < 2; ++y)
            for (int x = 17; x < 97; ++x) count += Pixel(box, x, y) != RGB(255, 0, 0);
        return count;
    };
    EXPECT_EQ(inverted(), 0);
    SetFocus(box);
    DispatchPending();
    EXPECT_GT(inverted(), 5);  // the dotted line above the caption
}

TEST_F(ButtonWindow, AGroupBoxLetsTheMouseThroughToWhatIsBehindIt) {
    HWND group = Make(BS_GROUPBOX, "group", 7, {10, 10, 200, 150});
    recorder_.Clear();
    Click(group, 50, 50);
    DispatchPending();
    EXPECT_EQ(recorder_.Sequence({WM_LBUTTONDOWN, WM_LBUTTONUP}),
              (std::vector<std::string>{"WM_LBUTTONDOWN(?)", "WM_LBUTTONUP(?)"}));
    std::vector<HWND> pressed;
    for (const Received& r : recorder_.Log())
        if (r.message == WM_LBUTTONDOWN) pressed.push_back(r.window);
    EXPECT_EQ(pressed, std::vector<HWND>{parent_});
    EXPECT_TRUE(Reports(group).empty());
}
