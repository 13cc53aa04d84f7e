#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/testing/Desktop.h"
#include "platform/testing/VirtualClock.h"
#include "tests/support/Recorder.h"

using namespace platform::testing;
using namespace std::chrono_literals;

namespace {

constexpr int kId = 7;
constexpr COLORREF kGreen = RGB(0, 96, 0);  // not the highlight colour, so that the two can be told apart
constexpr COLORREF kYellow = RGB(255, 255, 0);

class ListBoxTest : public ::testing::Test {
  protected:
    ListBoxTest() : display_(UseHeadlessDisplay()) {
        parent_ = recorder_.TopLevel("parent", 0, 0, 400, 400, WS_OVERLAPPED | WS_SYSMENU | WS_VISIBLE);
    }
    ~ListBoxTest() override { ResetDesktop(); }

    HWND List(DWORD style, int height = 100, int width = 150) {
        return CreateWindowExA(0, "LISTBOX", "", WS_CHILD | WS_VISIBLE | LBS_NOINTEGRALHEIGHT | style, 10, 10, width,
                               height, parent_, reinterpret_cast<HMENU>(kId), nullptr, nullptr);
    }
    static LRESULT Send(HWND list, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return SendMessageA(list, message, wParam, lParam);
    }
    static LRESULT Send(HWND list, UINT message, WPARAM wParam, const char* text) {
        return SendMessageA(list, message, wParam, reinterpret_cast<LPARAM>(text));
    }
    // The notification codes the parent received from the list, in order.
    std::vector<int> Notifications() const {
        std::vector<int> codes;
        for (const Received& r : recorder_.Log())
            if (r.message == WM_COMMAND && LOWORD(r.wParam) == kId) codes.push_back(HIWORD(r.wParam));
        return codes;
    }
    // The parent colours the lines, as the player's navy playlist with yellow text does.
    void GreenAndYellow() {
        recorder_.Handle(parent_, [this](HWND, UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
            if (message != WM_CTLCOLORLISTBOX) return false;
            SetTextColor(reinterpret_cast<HDC>(wParam), kYellow);
            SetBkColor(reinterpret_cast<HDC>(wParam), kGreen);
            result = reinterpret_cast<LRESULT>(green_);
            return true;
        });
    }
    // Pixels of a client rectangle of the list that pass a test.
    static int Count(HWND list, RECT area, bool (*test)(COLORREF)) {
        int count = 0;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x) count += test(Pixel(list, x, y));
        return count;
    }

    platform::display::HeadlessDisplay& display_;
    VirtualClock clock_;
    Recorder recorder_;
    HWND parent_;
    HBRUSH green_ = CreateSolidBrush(kGreen);
    std::vector<DRAWITEMSTRUCT> drawn_;
};

bool Yellowish(COLORREF c) { return GetRValue(c) > 200 && GetGValue(c) > 200 && GetBValue(c) < 60; }
bool Whitish(COLORREF c) { return GetRValue(c) > 200 && GetGValue(c) > 200 && GetBValue(c) > 200; }

// A drag on a scroll bar runs a loop of its own until the button is released; the rest of the drag comes from a
// timer, which that loop dispatches, so that the loop holds the mouse by then.
struct PendingDrag {
    HWND window;
    int x;
    int y;
} pendingDrag;

void CALLBACK FinishDrag(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    MouseMove(pendingDrag.window, pendingDrag.x, pendingDrag.y);
    MouseUp(pendingDrag.window, pendingDrag.x, pendingDrag.y);
}

void DragScrollBar(HWND window, int x, int fromY, int toY) {
    MouseDown(window, x, fromY);
    pendingDrag = {window, x, toY};
    SetTimer(nullptr, 0, 10, FinishDrag);
    DispatchPending();
}

}  // namespace

TEST_F(ListBoxTest, ClickSelectsAndNotifiesOnlyWhenTheSelectionChanges) {
    HWND list = List(LBS_HASSTRINGS | LBS_NOTIFY);
    for (const char* line : {"a", "b", "c"}) Send(list, LB_ADDSTRING, 0, line);
    const int height = static_cast<int>(Send(list, LB_GETITEMHEIGHT, 0));
    DispatchPending();
    recorder_.Clear();
    Click(list, 20, height + 1);
    DispatchPending();
    EXPECT_EQ(GetFocus(), list);
    EXPECT_EQ(Send(list, LB_GETCURSEL), 1);
    EXPECT_EQ(Notifications(), (std::vector<int>{LBN_SETFOCUS, LBN_SELCHANGE}));
    recorder_.Clear();
    clock_.Advance(1s);
    Click(list, 20, height + 1);  // the line already selected
    clock_.Advance(1s);
    Click(list, 20, 80);  // below the last line
    DispatchPending();
    EXPECT_TRUE(Notifications().empty());
    EXPECT_EQ(Send(list, LB_GETCURSEL), 1);
}

TEST_F(ListBoxTest, DoubleClickReportsTheFirstPressesChangeThenTheDoubleClick) {
    HWND list = List(LBS_HASSTRINGS | LBS_NOTIFY);
    for (const char* line : {"a", "b", "c"}) Send(list, LB_ADDSTRING, 0, line);
    const int height = static_cast<int>(Send(list, LB_GETITEMHEIGHT, 0));
    SetFocus(list);
    DispatchPending();
    recorder_.Clear();
    DoubleClick(list, 20, 2 * height + 1);
    DispatchPending();
    EXPECT_EQ(Notifications(), (std::vector<int>{LBN_SELCHANGE, LBN_DBLCLK}));
    EXPECT_EQ(Send(list, LB_GETCURSEL), 2);
}

TEST_F(ListBoxTest, KeysMoveTheSelectionAndKeepItInView) {
    HWND list = List(LBS_HASSTRINGS | LBS_NOTIFY | WS_VSCROLL);
    const int height = static_cast<int>(Send(list, LB_GETITEMHEIGHT, 0));
    MoveWindow(list, 10, 10, 150, height * 5, TRUE);  // five lines show
    for (const char* line : {"apple", "Banana", "cherry", "bean", "date", "elder", "fig", "grape", "びわ", "ぶどう"})
        Send(list, LB_ADDSTRING, 0, line);
    SetFocus(list);
    DispatchPending();
    recorder_.Clear();
    auto press = [](int key) {
        PressKey(key);
        DispatchPending();
    };
    press(VK_DOWN);  // nothing was selected: the first line
    EXPECT_EQ(Send(list, LB_GETCURSEL), 0);
    press(VK_UP);  // already at the top: no change, no notification
    press(VK_END);
    EXPECT_EQ(Send(list, LB_GETCURSEL), 9);
    EXPECT_EQ(Send(list, LB_GETTOPINDEX), 5);
    press(VK_HOME);
    EXPECT_EQ(Send(list, LB_GETTOPINDEX), 0);
    press(VK_NEXT);
    EXPECT_EQ(Send(list, LB_GETCURSEL), 4);
    EXPECT_EQ(Notifications(), (std::vector<int>{LBN_SELCHANGE, LBN_SELCHANGE, LBN_SELCHANGE, LBN_SELCHANGE}));
    Type("b");  // the next line starting with b, ignoring case, from the selection on and around
    DispatchPending();
    EXPECT_EQ(Send(list, LB_GETCURSEL), 1);
    Type("B");
    DispatchPending();
    EXPECT_EQ(Send(list, LB_GETCURSEL), 3);
    Type("ぶ");
    DispatchPending();
    EXPECT_EQ(Send(list, LB_GETCURSEL), 9);
}

TEST_F(ListBoxTest, WheelAndScrollBarMoveTheTopLine) {
    HWND list = List(LBS_HASSTRINGS | WS_VSCROLL, 100);
    const int height = static_cast<int>(Send(list, LB_GETITEMHEIGHT, 0));
    EXPECT_FALSE(GetWindowLongA(list, GWL_STYLE) & WS_VSCROLL);  // nothing to scroll: no bar
    char text[8];
    for (int i = 0; i < 100; ++i) {
        std::snprintf(text, sizeof text, "%03d", i);
        Send(list, LB_ADDSTRING, 0, text);
    }
    EXPECT_TRUE(GetWindowLongA(list, GWL_STYLE) & WS_VSCROLL);
    SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(list, SB_VERT, &info);
    RECT client;
    GetClientRect(list, &client);
    const int shown = client.bottom / height;
    EXPECT_EQ(info.nMin, 0);
    EXPECT_EQ(info.nMax, 99);
    EXPECT_EQ(static_cast<int>(info.nPage), shown);

    SetFocus(list);
    Wheel(list, 20, 20, -2);
    DispatchPending();
    EXPECT_EQ(Send(list, LB_GETTOPINDEX), 6);  // three lines a notch
    Wheel(list, 20, 20, 1);
    DispatchPending();
    EXPECT_EQ(Send(list, LB_GETTOPINDEX), 3);
    Send(list, WM_VSCROLL, SB_BOTTOM);
    EXPECT_EQ(Send(list, LB_GETTOPINDEX), 100 - shown);
    Send(list, WM_VSCROLL, SB_LINEUP);
    EXPECT_EQ(Send(list, LB_GETTOPINDEX), 99 - shown);
    Send(list, WM_VSCROLL, SB_TOP);

    // Dragging the thumb from the top to the middle of the bar shows the middle of the list; to the end, the end.
    const int bar = client.right + 8;
    DragScrollBar(list, bar, 16 + 2, client.bottom / 2);
    EXPECT_GT(Send(list, LB_GETTOPINDEX), (100 - shown) / 4);
    EXPECT_LT(Send(list, LB_GETTOPINDEX), (100 - shown) * 3 / 4);
    clock_.Advance(1s);
    DragScrollBar(list, bar, client.bottom / 2, client.bottom + 40);
    EXPECT_EQ(Send(list, LB_GETTOPINDEX), 100 - shown);
    GetScrollInfo(list, SB_VERT, &info);
    EXPECT_EQ(info.nPos, Send(list, LB_GETTOPINDEX));
}

TEST_F(ListBoxTest, LinesAreDrawnInTheParentsColoursAndTheSelectionInHighlight) {
    GreenAndYellow();
    HWND list = List(LBS_HASSTRINGS, 100);
    for (const char* line : {"Illinois", "Illinois", "Illinois"}) Send(list, LB_ADDSTRING, 0, line);
    Send(list, LB_SETCURSEL, 1);
    DispatchPending();
    const int height = static_cast<int>(Send(list, LB_GETITEMHEIGHT, 0));
    EXPECT_EQ(Pixel(list, 140, 0), kGreen);  // right of the text
    EXPECT_EQ(Pixel(list, 5, 90), kGreen);   // below the lines
    EXPECT_GT(Count(list, {0, 0, 100, height}, Yellowish), 10);
    EXPECT_EQ(Pixel(list, 140, height + 1), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_GT(Count(list, {0, height, 100, 2 * height}, Whitish), 10);  // the highlight's text colour
    EXPECT_EQ(Count(list, {0, height, 100, 2 * height}, Yellowish), 0);

    EnableWindow(list, FALSE);
    DispatchPending();
    EXPECT_EQ(Count(list, {0, 0, 100, height}, Yellowish), 0);  // grey text when disabled
}

TEST_F(ListBoxTest, OwnerDrawnLinesAreMeasuredAndDrawnByTheParent) {
    recorder_.Handle(parent_, [this](HWND, UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
        if (message == WM_MEASUREITEM) {
            auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
            EXPECT_EQ(measure->CtlType, static_cast<UINT>(ODT_LISTBOX));
            EXPECT_EQ(measure->itemID, 0u);
            measure->itemHeight = 20;
            result = TRUE;
            return true;
        }
        if (message == WM_DRAWITEM) drawn_.push_back(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
        return false;
    });
    HWND list = List(LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | WS_VSCROLL, 100);
    EXPECT_EQ(Send(list, LB_GETITEMHEIGHT, 0), 20);
    SetFocus(list);
    DispatchPending();
    // An empty list with the focus asks for the focus rectangle of no line.
    ASSERT_FALSE(drawn_.empty());
    EXPECT_EQ(drawn_.back().itemID, static_cast<UINT>(-1));
    EXPECT_EQ(drawn_.back().itemAction, static_cast<UINT>(ODA_FOCUS));

    Send(list, WM_SETREDRAW, FALSE);
    char text[8];
    for (int i = 0; i < 1000; ++i) {
        std::snprintf(text, sizeof text, "%04d", i);
        Send(list, LB_SETITEMDATA, static_cast<WPARAM>(Send(list, LB_ADDSTRING, 0, text)), 1000 + i);
    }
    Send(list, WM_SETREDRAW, TRUE);
    drawn_.clear();
    DispatchPending();
    ASSERT_EQ(drawn_.size(), 5u);  // the lines that show, not a thousand
    RECT client;
    GetClientRect(list, &client);
    for (UINT i = 0; i < 5; ++i) {
        const DRAWITEMSTRUCT& item = drawn_[i];
        EXPECT_EQ(item.CtlType, static_cast<UINT>(ODT_LISTBOX));
        EXPECT_EQ(item.CtlID, static_cast<UINT>(kId));
        EXPECT_EQ(item.itemID, i);
        EXPECT_EQ(item.itemAction, static_cast<UINT>(ODA_DRAWENTIRE));
        EXPECT_EQ(item.hwndItem, list);
        EXPECT_EQ(item.itemData, 1000 + i);
        RECT expected{0, static_cast<LONG>(20 * i), client.right, static_cast<LONG>(20 * i + 20)};
        EXPECT_TRUE(EqualRect(&item.rcItem, &expected));
        EXPECT_EQ(item.itemState, i == 0 ? static_cast<UINT>(ODS_FOCUS) : 0u);  // line 0 has the focus rectangle
    }
    drawn_.clear();
    Send(list, LB_SETCURSEL, 2);
    ASSERT_FALSE(drawn_.empty());
    auto selected = std::find_if(drawn_.begin(), drawn_.end(), [](const DRAWITEMSTRUCT& d) { return d.itemID == 2; });
    ASSERT_NE(selected, drawn_.end());
    EXPECT_EQ(selected->itemAction, static_cast<UINT>(ODA_SELECT));
    EXPECT_TRUE(selected->itemState & ODS_SELECTED);
    EnableWindow(list, FALSE);
    drawn_.clear();
    DispatchPending();
    ASSERT_FALSE(drawn_.empty());
    EXPECT_TRUE(drawn_[0].itemState & ODS_DISABLED);
}

TEST_F(ListBoxTest, ExtendedSelectionTakesRangesWithShiftAndSingleLinesWithControl) {
    HWND list = List(LBS_HASSTRINGS | LBS_NOTIFY | LBS_EXTENDEDSEL, 200);
    for (const char* line : {"a", "b", "c", "d", "e"}) Send(list, LB_ADDSTRING, 0, line);
    const int height = static_cast<int>(Send(list, LB_GETITEMHEIGHT, 0));
    EXPECT_EQ(Send(list, LB_SETCURSEL, 1), LB_ERR);
    DispatchPending();
    Click(list, 10, height + 1);
    DispatchPending();
    KeyDown(VK_SHIFT);
    clock_.Advance(1s);
    Click(list, 10, 3 * height + 1);
    KeyUp(VK_SHIFT);
    DispatchPending();
    EXPECT_EQ(Send(list, LB_GETSELCOUNT), 3);
    int selected[5] = {};
    EXPECT_EQ(Send(list, LB_GETSELITEMS, 5, reinterpret_cast<LPARAM>(selected)), 3);
    EXPECT_EQ(selected[0], 1);
    EXPECT_EQ(selected[2], 3);
    KeyDown(VK_CONTROL);
    clock_.Advance(1s);
    Click(list, 10, 2 * height + 1);  // takes c out of the range
    KeyUp(VK_CONTROL);
    DispatchPending();
    EXPECT_EQ(Send(list, LB_GETSEL, 2), 0);
    EXPECT_EQ(Send(list, LB_GETSELCOUNT), 2);
    EXPECT_EQ(Send(list, LB_GETCARETINDEX), 2);
    EXPECT_EQ(Notifications(), (std::vector<int>{LBN_SETFOCUS, LBN_SELCHANGE, LBN_SELCHANGE, LBN_SELCHANGE}));
    Send(list, LB_SETSEL, FALSE, -1);
    EXPECT_EQ(Send(list, LB_GETSELCOUNT), 0);
}

TEST_F(ListBoxTest, TabStopsLineUpTheTextAfterEachTab) {
    GreenAndYellow();
    HWND list = List(LBS_HASSTRINGS | LBS_USETABSTOPS, 100, 300);
    Send(list, LB_ADDSTRING, 0, "I\tIII");
    int stop = 100;  // dialog units: a quarter of the average character width each
    EXPECT_TRUE(Send(list, LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&stop)));
    DispatchPending();
    const int height = static_cast<int>(Send(list, LB_GETITEMHEIGHT, 0));
    // Between the first I and the tab stop nothing is drawn; from the stop on there is text.
    int first = -1, second = -1;
    for (int x = 0; x < 300; ++x) {
        if (Count(list, {x, 0, x + 1, height}, Yellowish) == 0) continue;
        if (first < 0) first = x;
        else if (x > first + 10 && second < 0) second = x;
    }
    ASSERT_GE(first, 0);
    ASSERT_GT(second, first + 30);
    EXPECT_FALSE(Send(List(LBS_HASSTRINGS), LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&stop)));
}

