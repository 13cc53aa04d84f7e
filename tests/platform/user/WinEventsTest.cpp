// What the window manager tells a screen reader's listener with NotifyWinEvent: one event for each change, in the
// order the changes happen, naming the window and the object that changed, and nothing for a change that did not
// happen.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "platform/testing/Desktop.h"
#include "platform/testing/VirtualClock.h"
#include "platform/user/Classes.h"
#include "tests/support/Recorder.h"

using namespace platform::testing;

namespace {

// The listener is a plain function, as the accessibility support's is: what it hears goes here.
std::vector<std::string>* heard = nullptr;
std::map<HWND, std::string>* labels = nullptr;

std::string EventName(DWORD event) {
    switch (event) {
        case EVENT_SYSTEM_FOREGROUND: return "foreground";
        case EVENT_OBJECT_CREATE: return "create";
        case EVENT_OBJECT_DESTROY: return "destroy";
        case EVENT_OBJECT_SHOW: return "show";
        case EVENT_OBJECT_HIDE: return "hide";
        case EVENT_OBJECT_FOCUS: return "focus";
        case EVENT_OBJECT_SELECTION: return "selection";
        case EVENT_OBJECT_STATECHANGE: return "state";
        case EVENT_OBJECT_NAMECHANGE: return "name";
        case EVENT_OBJECT_VALUECHANGE: return "value";
        default: return "event " + std::to_string(event);
    }
}

// "show(a window)": the event, the window's label, and the object (window or client) with the child when not self.
void Heard(DWORD event, HWND window, LONG object, LONG child) {
    const auto label = labels->find(window);
    std::string text = EventName(event) + "(" + (label == labels->end() ? "?" : label->second) + " " +
                       (object == OBJID_WINDOW ? "window" : object == OBJID_CLIENT ? "client" : std::to_string(object));
    if (child != CHILDID_SELF) text += " " + std::to_string(child);
    heard->push_back(text + ")");
}

class WinEvents : public ::testing::Test {
  protected:
    WinEvents() : display_(UseHeadlessDisplay()) {
        heard = &events_;
        labels = &labels_;
        platform::user::WatchWinEvents(&Heard);
    }
    ~WinEvents() override {
        platform::user::WatchWinEvents(nullptr);
        ResetDesktop();
        heard = nullptr;
        labels = nullptr;
    }

    HWND TopLevel(const char* label, DWORD style, int x = 10) {
        HWND window = recorder_.TopLevel(label, x, 10, 160, 120, style);
        labels_[window] = label;
        return window;
    }
    HWND Child(HWND parent, const char* label, DWORD style = WS_CHILD | WS_VISIBLE) {
        HWND window = recorder_.Child(parent, 10, 10, 40, 20, style);
        labels_[window] = label;
        return window;
    }
    // What was heard since the last look.
    std::vector<std::string> Take() {
        std::vector<std::string> taken;
        taken.swap(events_);
        return taken;
    }

    using Events = std::vector<std::string>;

    platform::display::HeadlessDisplay& display_;
    VirtualClock clock_;
    Recorder recorder_;
    std::vector<std::string> events_;
    std::map<HWND, std::string> labels_;
};

}  // namespace

TEST_F(WinEvents, AWindowsLifeIsToldInOrderAndOnlyWhatChanged) {
    HWND frame = TopLevel("frame", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU);
    // Told as it is made, before the test has its handle to label it.
    EXPECT_EQ(Take(), (Events{"create(? window)"}));

    ShowWindow(frame, SW_SHOW);
    DispatchPending();
    const Events shown = Take();
    // Shown before it is activated, so that a reader knows the window before it hears of its focus.
    ASSERT_GE(shown.size(), 2u);
    EXPECT_EQ(shown[0], "show(frame window)");
    EXPECT_EQ(shown[1], "foreground(frame window)");
    for (size_t i = 2; i < shown.size(); ++i) EXPECT_EQ(shown[i], "focus(frame client)") << i;
    ShowWindow(frame, SW_SHOW);
    DispatchPending();
    EXPECT_EQ(Take(), Events{}) << "shown again";

    HWND button = Child(frame, "button");
    HWND field = Child(frame, "field", WS_CHILD);  // hidden
    DispatchPending();
    const Events made = Take();
    // Told as they are made, before the test has their handles: the one made visible is shown as well.
    EXPECT_EQ(made, (Events{"create(? window)", "show(? window)", "create(? window)"}));

    SetWindowTextA(button, "Play");
    EXPECT_EQ(Take(), (Events{"name(button window)"}));

    EnableWindow(button, FALSE);
    EnableWindow(button, FALSE);
    EnableWindow(button, TRUE);
    EnableWindow(button, TRUE);
    EXPECT_EQ(Take(), (Events{"state(button window)", "state(button window)"}));

    SetFocus(button);
    SetFocus(button);
    SetFocus(frame);
    EXPECT_EQ(Take(), (Events{"focus(button client)", "focus(frame client)"}));

    ShowWindow(field, SW_SHOW);
    ShowWindow(field, SW_SHOW);
    ShowWindow(field, SW_HIDE);
    ShowWindow(field, SW_HIDE);
    DispatchPending();
    EXPECT_EQ(Take(), (Events{"show(field window)", "hide(field window)"}));

    // A focused window that is disabled loses the focus without a focus event for nobody.
    SetFocus(button);
    Take();
    EnableWindow(button, FALSE);
    EXPECT_EQ(Take(), (Events{"state(button window)"}));

    // Moving and sizing change nothing a reader is told of.
    SetWindowPos(frame, nullptr, 30, 40, 200, 150, SWP_NOZORDER | SWP_NOACTIVATE);
    DispatchPending();
    EXPECT_EQ(Take(), Events{});

    ShowWindow(frame, SW_HIDE);
    DispatchPending();
    const Events hidden = Take();
    ASSERT_FALSE(hidden.empty());
    EXPECT_EQ(hidden[0], "hide(frame window)");

    DestroyWindow(frame);
    DispatchPending();
    const Events destroyed = Take();
    // What it held goes with it, each told once, after it; then nothing more is told of any of them.
    EXPECT_EQ(destroyed, (Events{"destroy(frame window)", "destroy(button window)", "destroy(field window)"}));
}

TEST_F(WinEvents, ActivationIsToldOncePerMoveBetweenWindows) {
    const DWORD shown = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_VISIBLE;
    HWND first = TopLevel("first", shown, 10);
    HWND second = TopLevel("second", shown, 200);
    DispatchPending();
    Take();

    // Each activation is settled before the next: the display reports back what it was told, from the loop.
    SetActiveWindow(first);
    SetActiveWindow(first);
    DispatchPending();
    EXPECT_EQ(Take().front(), "foreground(first window)");
    SetActiveWindow(second);
    DispatchPending();
    const Events moved = Take();
    ASSERT_FALSE(moved.empty());
    EXPECT_EQ(moved.front(), "foreground(second window)");
    EXPECT_EQ(std::count(moved.begin(), moved.end(), "foreground(second window)"), 1);
    EXPECT_EQ(std::count(moved.begin(), moved.end(), "foreground(first window)"), 0);
    SetActiveWindow(second);
    DispatchPending();
    EXPECT_EQ(Take(), Events{});

    // A click on the other window activates it as the user's click does.
    Click(first, 50, 50);
    DispatchPending();
    const Events clicked = Take();
    EXPECT_EQ(std::count(clicked.begin(), clicked.end(), "foreground(first window)"), 1);
}

TEST_F(WinEvents, WithoutAListenerOrOffItsThreadNothingIsToldAndNothingBreaks) {
    HWND frame = TopLevel("frame", WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE);
    HWND child = Child(frame, "child");
    DispatchPending();
    Take();

    // Events told from another thread are not the listener's: it belongs to the windows' thread.
    std::thread([&] { NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, child, OBJID_WINDOW, CHILDID_SELF); }).join();
    EXPECT_EQ(Take(), Events{});

    platform::user::WatchWinEvents(nullptr);
    SetWindowTextA(child, "text");
    EnableWindow(child, FALSE);
    EnableWindow(child, TRUE);
    SetFocus(child);
    ShowWindow(child, SW_HIDE);
    HWND other = Child(frame, "other");
    DestroyWindow(other);
    NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, child, OBJID_CLIENT, CHILDID_SELF);
    DispatchPending();
    EXPECT_EQ(Take(), Events{});
    char text[16] = {};
    GetWindowTextA(child, text, sizeof text);
    EXPECT_STREQ(text, "text");

    // Listening again hears again.
    platform::user::WatchWinEvents(&Heard);
    SetWindowTextA(child, "again");
    EXPECT_EQ(Take(), (Events{"name(child window)"}));
}

TEST_F(WinEvents, AMessageBoxsKeysMoveTheKeyboardAmongItsButtonsAndSaySo) {
    HWND frame = TopLevel("frame", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_VISIBLE);
    DispatchPending();
    Take();
    // The box waits in a loop of its own: a timer of the frame's presses the keys while it is up and keeps what each
    // press was heard to do.
    static std::vector<Events> afterEach;
    static int step = 0;
    afterEach.clear();
    step = 0;
    SetTimer(frame, 1, 10, [](HWND, UINT, UINT_PTR, DWORD) {
        const int keys[] = {VK_TAB, VK_RIGHT, VK_LEFT, VK_LEFT, VK_ESCAPE};
        if (step > 0) afterEach.push_back(std::exchange(*heard, {}));
        else heard->clear();  // the box's making and showing
        if (step < static_cast<int>(std::size(keys))) PressKey(keys[step++]);
        else if (++step > 50) PressKey(VK_RETURN);  // rather than wait for ever should Escape be lost
    });
    // Its buttons are its parts 1 to 3 after its text (part 0), counted from 1 as Windows counts a window's parts:
    // the default second button (はい, いいえ, キャンセル) starts with the keyboard, and the keys go round.
    EXPECT_EQ(MessageBoxA(frame, "Keep the changes?", "Box", MB_YESNOCANCEL | MB_DEFBUTTON2), IDCANCEL);
    KillTimer(frame, 1);
    ASSERT_GE(afterEach.size(), 4u);
    EXPECT_EQ(afterEach[0], (Events{"focus(? client 4)"})) << "Tab: to the third";
    EXPECT_EQ(afterEach[1], (Events{"focus(? client 2)"})) << "Right: round to the first";
    EXPECT_EQ(afterEach[2], (Events{"focus(? client 4)"})) << "Left: round to the third";
    EXPECT_EQ(afterEach[3], (Events{"focus(? client 3)"})) << "Left: the second";
}
