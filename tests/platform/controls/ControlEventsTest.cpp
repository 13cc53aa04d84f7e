// What the built-in controls tell a screen reader's listener with NotifyWinEvent when the program or the user changes
// them: a check, a slider's position, a list's choice, each once and only when it changed; and the built-in class a
// superclassed control is read by.

#include <gtest/gtest.h>
#include <strings.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "platform/testing/Desktop.h"
#include "platform/testing/VirtualClock.h"
#include "platform/user/Classes.h"
#include "tests/support/Recorder.h"

using namespace platform::testing;

namespace {

struct Heard {
    DWORD event;
    HWND window;
    LONG object;
    LONG child;
    bool operator==(const Heard&) const = default;
};

std::vector<Heard>* heard = nullptr;

void Listen(DWORD event, HWND window, LONG object, LONG child) { heard->push_back({event, window, object, child}); }

void PrintTo(const Heard& h, std::ostream* out) {
    *out << "{0x" << std::hex << h.event << std::dec << ", " << h.window << ", " << h.object << ", " << h.child << "}";
}

class ControlEvents : public ::testing::Test {
  protected:
    ControlEvents() : display_(UseHeadlessDisplay()) {
        InitCommonControls();
        parent_ = recorder_.TopLevel("parent", 0, 0, 400, 300, WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE);
        DispatchPending();
        heard = &events_;
        platform::user::WatchWinEvents(&Listen);
    }
    ~ControlEvents() override {
        platform::user::WatchWinEvents(nullptr);
        heard = nullptr;
        ResetDesktop();
    }

    HWND Make(const char* cls, DWORD style, RECT r, const char* text = "") {
        HWND window = CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.right - r.left,
                                      r.bottom - r.top, parent_, nullptr, nullptr, nullptr);
        DispatchPending();
        events_.clear();
        return window;
    }

    // The events of one kind heard since the last look, the others dropped.
    std::vector<Heard> Take(DWORD event) {
        std::vector<Heard> kept;
        for (const Heard& h : events_)
            if (h.event == event) kept.push_back(h);
        events_.clear();
        return kept;
    }

    platform::display::HeadlessDisplay& display_;
    VirtualClock clock_;
    Recorder recorder_;
    HWND parent_ = nullptr;
    std::vector<Heard> events_;
};

using Events = std::vector<Heard>;

}  // namespace

TEST_F(ControlEvents, AChecksChangeIsToldOnceWhetherTheProgramOrAClickMadeIt) {
    HWND box = Make("BUTTON", BS_AUTOCHECKBOX, {10, 10, 120, 30}, "Shuffle");
    const Heard changed{EVENT_OBJECT_STATECHANGE, box, OBJID_CLIENT, CHILDID_SELF};

    SendMessageA(box, BM_SETCHECK, BST_CHECKED, 0);
    SendMessageA(box, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(events_, Events{changed});
    events_.clear();
    SendMessageA(box, BM_SETCHECK, BST_UNCHECKED, 0);
    EXPECT_EQ(events_, Events{changed});
    events_.clear();

    Click(box, 10, 10);
    DispatchPending();
    EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(Take(EVENT_OBJECT_STATECHANGE), Events{changed});

    // A push button has no check to change.
    HWND push = Make("BUTTON", BS_PUSHBUTTON, {10, 40, 120, 60}, "Play");
    SendMessageA(push, BM_SETCHECK, BST_CHECKED, 0);
    Click(push, 10, 10);
    DispatchPending();
    EXPECT_EQ(Take(EVENT_OBJECT_STATECHANGE), Events{});

    // Radio buttons: the one clicked is checked and the one that was is unchecked, each told.
    HWND cd = Make("BUTTON", BS_AUTORADIOBUTTON | WS_GROUP, {10, 70, 120, 90}, "CD");
    HWND files = Make("BUTTON", BS_AUTORADIOBUTTON, {10, 100, 120, 120}, "Files");
    SendMessageA(cd, BM_SETCHECK, BST_CHECKED, 0);
    events_.clear();
    Click(files, 10, 10);
    DispatchPending();
    const Events radios = Take(EVENT_OBJECT_STATECHANGE);
    EXPECT_EQ(radios.size(), 2u);
    for (HWND radio : {cd, files})
        EXPECT_EQ(std::count(radios.begin(), radios.end(), Heard{EVENT_OBJECT_STATECHANGE, radio, OBJID_CLIENT, 0}), 1);
    Click(files, 10, 10);
    DispatchPending();
    EXPECT_EQ(Take(EVENT_OBJECT_STATECHANGE), Events{}) << "checked already";
}

TEST_F(ControlEvents, ASlidersPositionAndAListsChoiceAreToldWhenTheyMove) {
    HWND slider = Make(TRACKBAR_CLASSA, TBS_BOTH | TBS_NOTICKS, {10, 10, 210, 40});
    SendMessageA(slider, TBM_SETRANGE, TRUE, MAKELPARAM(0, 100));
    events_.clear();
    const Heard moved{EVENT_OBJECT_VALUECHANGE, slider, OBJID_CLIENT, CHILDID_SELF};
    SendMessageA(slider, TBM_SETPOS, TRUE, 40);
    SendMessageA(slider, TBM_SETPOS, TRUE, 40);
    SendMessageA(slider, TBM_SETPOS, FALSE, 41);  // moved without drawing is moved all the same
    EXPECT_EQ(events_, (Events{moved, moved}));
    events_.clear();
    SendMessageA(slider, TBM_SETPOS, TRUE, 500);
    SendMessageA(slider, TBM_SETPOS, TRUE, 600);  // both past the end: one move
    EXPECT_EQ(events_, Events{moved});
    events_.clear();
    SetFocus(slider);
    events_.clear();
    PressKey(VK_LEFT);
    DispatchPending();
    EXPECT_EQ(SendMessageA(slider, TBM_GETPOS, 0, 0), 99);
    EXPECT_EQ(Take(EVENT_OBJECT_VALUECHANGE), Events{moved});
    // A drag tells each move of the thumb; a range that shuts the thumb out moves it too.
    MouseDown(slider, 190, 15);
    DispatchPending();
    Take(0);
    MouseMove(slider, 100, 15);
    DispatchPending();
    MouseUp(slider, 100, 15);
    DispatchPending();
    const LONG dropped = static_cast<LONG>(SendMessageA(slider, TBM_GETPOS, 0, 0));
    EXPECT_LT(dropped, 90);
    EXPECT_EQ(Take(EVENT_OBJECT_VALUECHANGE), Events{moved});
    SendMessageA(slider, TBM_SETRANGE, TRUE, MAKELPARAM(0, dropped + 10));
    EXPECT_EQ(events_, Events{}) << "still in range";
    SendMessageA(slider, TBM_SETRANGE, TRUE, MAKELPARAM(0, 10));
    EXPECT_EQ(Take(EVENT_OBJECT_VALUECHANGE), Events{moved});

    HWND list = Make("LISTBOX", LBS_NOTIFY, {10, 60, 210, 200});
    for (const char* line : {"One", "Two", "Three"}) SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
    events_.clear();
    // The line is counted from 1, as Windows counts a control's parts; none is 0.
    SendMessageA(list, LB_SETCURSEL, 1, 0);
    SendMessageA(list, LB_SETCURSEL, 1, 0);
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    EXPECT_EQ(events_, (Events{{EVENT_OBJECT_SELECTION, list, OBJID_CLIENT, 2}, {EVENT_OBJECT_SELECTION, list, OBJID_CLIENT, 0}}));
    events_.clear();

    RECT line{};
    SendMessageA(list, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&line));
    Click(list, line.left + 5, line.top + 2);
    DispatchPending();
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(Take(EVENT_OBJECT_SELECTION), (Events{{EVENT_OBJECT_SELECTION, list, OBJID_CLIENT, 3}}));
    PressKey(VK_UP);
    DispatchPending();
    EXPECT_EQ(Take(EVENT_OBJECT_SELECTION), (Events{{EVENT_OBJECT_SELECTION, list, OBJID_CLIENT, 2}}));
    // While the list has the keyboard, its keyboard line is told focused as it moves; without it, never.
    PressKey(VK_DOWN);
    DispatchPending();
    EXPECT_EQ(Take(EVENT_OBJECT_FOCUS), (Events{{EVENT_OBJECT_FOCUS, list, OBJID_CLIENT, 3}}));
    SetFocus(parent_);
    events_.clear();
    SendMessageA(list, LB_SETCURSEL, 0, 0);
    EXPECT_EQ(Take(EVENT_OBJECT_FOCUS), Events{});
}

TEST_F(ControlEvents, ASuperclassedControlIsReadByTheBuiltInClassItWasMadeFrom) {
    WNDCLASSA superclass{};
    ASSERT_TRUE(GetClassInfoA(nullptr, "BUTTON", &superclass));
    superclass.lpszClassName = "TestRadioButton";
    ASSERT_TRUE(RegisterClassA(&superclass));
    HWND own = Make("TestRadioButton", BS_AUTORADIOBUTTON, {10, 10, 120, 30}, "Own");
    HWND slider = Make(TRACKBAR_CLASSA, 0, {10, 40, 210, 70});
    HWND plain = recorder_.Child(parent_, 10, 80, 50, 20);
    events_.clear();

    char name[64] = {};
    EXPECT_GT(GetClassNameA(own, name, sizeof name), 0);
    EXPECT_STREQ(name, "TestRadioButton");
    EXPECT_EQ(RealGetWindowClassA(own, name, sizeof name), 6u);
    EXPECT_EQ(strcasecmp(name, "Button"), 0) << name;
    EXPECT_GT(RealGetWindowClassA(slider, name, sizeof name), 0u);
    EXPECT_STREQ(name, TRACKBAR_CLASSA);
    // A class of the program's own is its own.
    EXPECT_GT(RealGetWindowClassA(plain, name, sizeof name), 0u);
    EXPECT_STREQ(name, Recorder::kClassName);
    // A short buffer holds what fits, ended.
    char shortName[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(RealGetWindowClassA(own, shortName, sizeof shortName), 3u);
    EXPECT_EQ(strcasecmp(shortName, "But"), 0);
    EXPECT_EQ(RealGetWindowClassA(nullptr, name, sizeof name), 0u);

    // Its events are those of the class it was made from.
    SendMessageA(own, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(events_, (Events{{EVENT_OBJECT_STATECHANGE, own, OBJID_CLIENT, CHILDID_SELF}}));
}

TEST_F(ControlEvents, AnEditTellsItsTextBeforeItsCaretAndADropDownsChoiceIsItsBoxs) {
    HWND edit = Make("EDIT", ES_AUTOHSCROLL, {10, 10, 210, 30}, "abc");
    const Heard text{EVENT_OBJECT_VALUECHANGE, edit, OBJID_CLIENT, CHILDID_SELF};
    const Heard caret{EVENT_OBJECT_LOCATIONCHANGE, edit, OBJID_CARET, CHILDID_SELF};
    // Unfocused, a program's text has no caret to move.
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("abcd"));
    EXPECT_EQ(events_, Events{text});
    SetFocus(edit);
    SendMessageA(edit, EM_SETSEL, 4, 4);
    events_.clear();
    // Typed: the text is told first, so that a reader hears what came before where the caret went.
    SendMessageA(edit, WM_CHAR, 'x', 0);
    EXPECT_EQ(Take(EVENT_OBJECT_VALUECHANGE), Events{text});
    SendMessageA(edit, WM_CHAR, 'y', 0);
    const auto firstText = std::find(events_.begin(), events_.end(), text);
    const auto firstCaret = std::find(events_.begin(), events_.end(), caret);
    ASSERT_NE(firstText, events_.end());
    ASSERT_NE(firstCaret, events_.end());
    EXPECT_LT(firstText, firstCaret);
    events_.clear();
    // The caret moved by keys or by the program is told each time; a caret that cannot move is told again, as the
    // text may have scrolled under it.
    PressKey(VK_LEFT);
    DispatchPending();
    SendMessageA(edit, EM_SETSEL, 0, 2);
    EXPECT_EQ(Take(EVENT_OBJECT_LOCATIONCHANGE), (Events{caret, caret}));
    EXPECT_EQ(Take(EVENT_OBJECT_VALUECHANGE), Events{}) << "nothing was typed";
    SetFocus(parent_);
    events_.clear();
    SendMessageA(edit, EM_SETSEL, 1, 1);
    EXPECT_EQ(events_, Events{}) << "without the focus the edit has no caret";

    HWND combo = Make("COMBOBOX", CBS_DROPDOWNLIST, {10, 40, 210, 200});
    for (const char* line : {"a:", "b:", "c:"}) SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
    events_.clear();
    const Heard named{EVENT_OBJECT_NAMECHANGE, combo, OBJID_CLIENT, CHILDID_SELF};
    SendMessageA(combo, CB_SETCURSEL, 1, 0);
    EXPECT_EQ(events_, (Events{{EVENT_OBJECT_SELECTION, combo, OBJID_CLIENT, 2}, named}));
    events_.clear();
    SetFocus(combo);
    events_.clear();
    PressKey(VK_DOWN);
    DispatchPending();
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(Take(EVENT_OBJECT_SELECTION), (Events{{EVENT_OBJECT_SELECTION, combo, OBJID_CLIENT, 3}}));

    // A list of many choices tells once for each change however many lines it took, and not for none.
    HWND many = Make("LISTBOX", LBS_EXTENDEDSEL, {220, 10, 390, 200});
    for (const char* line : {"One", "Two", "Three"}) SendMessageA(many, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
    events_.clear();
    const Heard within{EVENT_OBJECT_SELECTIONWITHIN, many, OBJID_CLIENT, CHILDID_SELF};
    SendMessageA(many, LB_SETSEL, TRUE, 1);
    SendMessageA(many, LB_SETSEL, TRUE, 1);
    EXPECT_EQ(Take(EVENT_OBJECT_SELECTIONWITHIN), Events{within});
    SendMessageA(many, LB_SETSEL, TRUE, static_cast<LPARAM>(-1));
    SendMessageA(many, LB_SETSEL, TRUE, static_cast<LPARAM>(-1));
    EXPECT_EQ(Take(EVENT_OBJECT_SELECTIONWITHIN), Events{within});
    EXPECT_EQ(SendMessageA(many, LB_GETSELCOUNT, 0, 0), 3);
    RECT line{};
    SendMessageA(many, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&line));
    Click(many, line.left + 5, line.top + 2);  // this line alone
    DispatchPending();
    EXPECT_EQ(SendMessageA(many, LB_GETSELCOUNT, 0, 0), 1);
    EXPECT_EQ(Take(EVENT_OBJECT_SELECTIONWITHIN), Events{within});
    EXPECT_EQ(Take(EVENT_OBJECT_SELECTION), Events{}) << "the single choice's event is not a multiple choice's";
}
