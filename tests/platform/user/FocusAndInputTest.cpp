#include <gtest/gtest.h>

#include <thread>

#include "platform/testing/Desktop.h"
#include "platform/testing/VirtualClock.h"
#include "platform/user/WindowSystem.h"
#include "tests/support/Recorder.h"

using namespace platform::testing;
using namespace std::chrono_literals;

namespace {

class FocusAndInput : public ::testing::Test {
  protected:
    FocusAndInput() : display_(UseHeadlessDisplay()) {}
    ~FocusAndInput() override { ResetDesktop(); }

    HWND Shown(const char* label, int x) {
        HWND window = recorder_.TopLevel(label, x, 10, 120, 100, WS_OVERLAPPED | WS_SYSMENU | WS_MINIMIZEBOX | WS_VISIBLE);
        recorder_.Label(window, label);
        return window;
    }

    platform::display::HeadlessDisplay& display_;
    VirtualClock clock_;
    Recorder recorder_;
};

const std::vector<UINT> kActivation = {WM_MOUSEACTIVATE, WM_NCACTIVATE, WM_ACTIVATE,   WM_KILLFOCUS,
                                       WM_SETFOCUS,      WM_LBUTTONDOWN, WM_LBUTTONUP};

}  // namespace

TEST_F(FocusAndInput, AClickOnAnotherWindowActivatesItThenFocusesItThenClicks) {
    HWND a = Shown("a", 10);
    HWND b = Shown("b", 200);
    DispatchPending();
    ASSERT_EQ(GetActiveWindow(), b);
    ASSERT_EQ(GetFocus(), b);
    recorder_.Clear();

    Click(a, 10, 10);
    DispatchPending();
    EXPECT_EQ(recorder_.Sequence(kActivation),
              (std::vector<std::string>{"WM_MOUSEACTIVATE(a)", "WM_NCACTIVATE(b)", "WM_ACTIVATE-(b)",
                                        "WM_NCACTIVATE(a)", "WM_ACTIVATE+(a)", "WM_KILLFOCUS(b)", "WM_SETFOCUS(a)",
                                        "WM_LBUTTONDOWN(a)", "WM_LBUTTONUP(a)"}));
    EXPECT_EQ(GetActiveWindow(), a);
    EXPECT_EQ(GetFocus(), a);
    std::vector<WORD> activations;
    for (const Received& r : recorder_.Log())
        if (r.message == WM_ACTIVATE && r.window == a) activations.push_back(LOWORD(r.wParam));
    EXPECT_EQ(activations, std::vector<WORD>{WA_CLICKACTIVE});

    // The desktop's own word on the change arrives later and changes nothing more.
    recorder_.Clear();
    DispatchPending();
    EXPECT_TRUE(recorder_.Sequence(kActivation).empty());
    EXPECT_EQ(display_.ActiveWindow() != 0, true);
}

TEST_F(FocusAndInput, SwitchingAwayAndBackReactivatesWithoutAClick) {
    HWND a = Shown("a", 10);
    DispatchPending();
    recorder_.Clear();
    SwitchAway(a);
    DispatchPending();
    EXPECT_EQ(GetActiveWindow(), nullptr);
    EXPECT_EQ(GetFocus(), nullptr);
    SetForegroundWindow(a);
    DispatchPending();
    EXPECT_EQ(recorder_.Sequence({WM_ACTIVATE, WM_KILLFOCUS, WM_SETFOCUS}),
              (std::vector<std::string>{"WM_ACTIVATE-(a)", "WM_KILLFOCUS(a)", "WM_ACTIVATE+(a)", "WM_SETFOCUS(a)"}));
}

TEST_F(FocusAndInput, ChildrenTakeClicksAndFocusAndDisabledChildrenPassClicksToTheirParent) {
    HWND top = Shown("top", 10);
    HWND child = recorder_.Child(top, 20, 20, 40, 30);
    HWND disabled = recorder_.Child(top, 70, 20, 40, 30, WS_CHILD | WS_VISIBLE | WS_DISABLED);
    recorder_.Label(child, "child");
    recorder_.Label(disabled, "disabled");
    DispatchPending();
    recorder_.Clear();
    Click(top, 25, 30);   // on the child
    Click(top, 80, 30);   // on the disabled child: the parent gets it
    DispatchPending();
    EXPECT_EQ(recorder_.Sequence({WM_LBUTTONDOWN, WM_LBUTTONUP}),
              (std::vector<std::string>{"WM_LBUTTONDOWN(child)", "WM_LBUTTONUP(child)", "WM_LBUTTONDOWN(top)",
                                        "WM_LBUTTONUP(top)"}));
    // In client coordinates of the child, with the button held.
    std::vector<std::string> presses;
    for (const Received& r : recorder_.Log())
        if (r.message == WM_LBUTTONDOWN && r.window == child)
            presses.push_back(std::to_string(GET_X_LPARAM(r.lParam)) + "," + std::to_string(GET_Y_LPARAM(r.lParam)) +
                              ((r.wParam & MK_LBUTTON) ? " left" : ""));
    EXPECT_EQ(presses, std::vector<std::string>{"5,10 left"});
    SetFocus(child);
    EXPECT_EQ(GetFocus(), child);
    EXPECT_TRUE(display_.TextInputActive());  // typed text flows to the focus window
    EnableWindow(child, FALSE);  // disabling the focused window takes the focus away
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_FALSE(display_.TextInputActive());
}

TEST_F(FocusAndInput, DoubleClicksNeedTheClassStyleATimeAndAPlace) {
    HWND window = Shown("w", 10);
    DispatchPending();
    recorder_.Clear();
    DoubleClick(window, 10, 10);
    DispatchPending();
    clock_.Advance(600ms);
    Click(window, 10, 10);
    DispatchPending();
    clock_.Advance(100ms);
    Click(window, 30, 30);  // too far from the last press
    DispatchPending();
    EXPECT_EQ(recorder_.Sequence({WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}),
              (std::vector<std::string>{"WM_LBUTTONDOWN(w)", "WM_LBUTTONDBLCLK(w)", "WM_LBUTTONDOWN(w)",
                                        "WM_LBUTTONDOWN(w)"}));
}

TEST_F(FocusAndInput, CaptureKeepsTheMouseOnItsWindowOutsideIt) {
    HWND a = Shown("a", 10);
    HWND child = recorder_.Child(a, 50, 50, 20, 20);
    recorder_.Label(child, "child");
    DispatchPending();
    SetCapture(child);
    EXPECT_TRUE(display_.MouseCaptured());
    recorder_.Clear();
    MouseMove(a, 5, 5);
    DispatchPending();
    ASSERT_FALSE(recorder_.Log().empty());
    const Received& move = recorder_.Log().back();
    EXPECT_EQ(move.window, child);
    EXPECT_EQ(move.message, static_cast<UINT>(WM_MOUSEMOVE));
    EXPECT_EQ(GET_X_LPARAM(move.lParam), -45);
    EXPECT_EQ(GET_Y_LPARAM(move.lParam), -45);
    ReleaseCapture();
    EXPECT_FALSE(display_.MouseCaptured());
}

TEST_F(FocusAndInput, KeysAndTextReachTheFocusWindow) {
    HWND window = Shown("w", 10);
    DispatchPending();
    recorder_.Clear();
    KeyDown(VK_SHIFT);
    KeyDown('A');
    Type("A");
    Type("日");
    KeyUp('A');
    KeyUp(VK_SHIFT);
    PressKey(VK_RETURN);
    bool shiftSeenDown = false;
    recorder_.Handle(window, [&](HWND, UINT message, WPARAM wParam, LPARAM, LRESULT&) {
        if (message == WM_KEYDOWN && wParam == 'A') shiftSeenDown = GetKeyState(VK_SHIFT) < 0;
        return false;
    });
    DispatchPending();
    std::vector<WPARAM> characters;
    for (const Received& r : recorder_.Log())
        if (r.message == WM_CHAR) characters.push_back(r.wParam);
    EXPECT_EQ(characters, (std::vector<WPARAM>{'A', 0xE6, 0x97, 0xA5, 13}));  // 日 in UTF-8, then Enter
    EXPECT_TRUE(shiftSeenDown);
    EXPECT_GE(GetKeyState(VK_SHIFT), 0);
}

TEST_F(FocusAndInput, TheCloseBoxAndAltF4CloseAndMinimisingComesBack) {
    HWND a = Shown("a", 10);
    HWND b = Shown("b", 200);
    DispatchPending();
    MinimizeBox(b);
    DispatchPending();
    EXPECT_TRUE(IsIconic(b));
    RestoreFromTaskbar(b);
    DispatchPending();
    EXPECT_FALSE(IsIconic(b));

    CloseBox(b);
    DispatchPending();
    EXPECT_FALSE(IsWindow(b));
    EXPECT_EQ(GetActiveWindow(), a);  // the next window takes over
    KeyDown(VK_MENU);
    PressKey(VK_F4);
    KeyUp(VK_MENU);
    DispatchPending();
    EXPECT_FALSE(IsWindow(a));
    EXPECT_EQ(recorder_.Sequence({WM_CLOSE}), (std::vector<std::string>{"WM_CLOSE(b)", "WM_CLOSE(a)"}));
}

TEST_F(FocusAndInput, ALongWaitForAFileSystemShowsTheBusyCursorAndThenTheProgramsOwn) {
    Shown("a", 10);
    SetCursor(LoadCursorA(nullptr, IDC_IBEAM));
    ASSERT_EQ(display_.Cursor(), platform::display::CursorShape::IBeam);

    platform::user::ShowBusyWhileWaiting(true);
    EXPECT_EQ(display_.Cursor(), platform::display::CursorShape::Wait);
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_IBEAM)) << "the program's cursor is its own";
    platform::user::ShowBusyWhileWaiting(false);
    EXPECT_EQ(display_.Cursor(), platform::display::CursorShape::IBeam);

    // A wait on another thread holds no window: the cursor stays.
    std::thread([] { platform::user::ShowBusyWhileWaiting(true); }).join();
    EXPECT_EQ(display_.Cursor(), platform::display::CursorShape::IBeam);
}
