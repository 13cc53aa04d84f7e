#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/testing/Desktop.h"
#include "platform/testing/VirtualClock.h"
#include "tests/support/Recorder.h"

using namespace platform::testing;
using namespace std::chrono_literals;

namespace {

constexpr int kId = 9;
constexpr COLORREF kGreen = RGB(0, 96, 0);

class ComboBoxTest : public ::testing::Test {
  protected:
    ComboBoxTest() : display_(UseHeadlessDisplay()) {
        parent_ = recorder_.TopLevel("parent", 0, 0, 400, 400, WS_OVERLAPPED | WS_SYSMENU | WS_VISIBLE);
    }
    ~ComboBoxTest() override { ResetDesktop(); }

    HWND Combo(DWORD style = 0, int y = 10) {
        return CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST | style, 10, y,
                               150, 200, parent_, reinterpret_cast<HMENU>(kId), nullptr, nullptr);
    }
    static LRESULT Send(HWND combo, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return SendMessageA(combo, message, wParam, lParam);
    }
    static void Add(HWND combo, std::initializer_list<const char*> lines) {
        for (const char* line : lines) SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
    }
    static std::string Text(HWND combo) {
        char text[64] = "";
        GetWindowTextA(combo, text, sizeof text);
        return text;
    }
    // The drop-down list: the "ComboLBox" inside the popup that the combo box's window owns.
    HWND DroppedList() const {
        HWND found = nullptr;
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND top, LPARAM out) {
                HWND child = GetWindow(top, GW_CHILD);
                char name[32] = "";
                if (child && GetClassNameA(child, name, sizeof name) && std::string(name) == "ComboLBox" &&
                    IsWindowVisible(child))
                    *reinterpret_cast<HWND*>(out) = child;
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&found));
        return found;
    }
    std::vector<int> Notifications() const {
        std::vector<int> codes;
        for (const Received& r : recorder_.Log())
            if (r.message == WM_COMMAND && LOWORD(r.wParam) == kId) codes.push_back(HIWORD(r.wParam));
        return codes;
    }
    // The notifications that a choice in the list sends, without the focus ones.
    std::vector<int> Choices() const {
        std::vector<int> codes;
        for (int code : Notifications())
            if (code != CBN_SETFOCUS && code != CBN_KILLFOCUS) codes.push_back(code);
        return codes;
    }

    platform::display::HeadlessDisplay& display_;
    VirtualClock clock_;
    Recorder recorder_;
    HWND parent_;
};

}  // namespace

TEST_F(ComboBoxTest, AClickOnALineChoosesItAndClosesTheList) {
    HWND combo = Combo();
    Add(combo, {"a:", "c: [system]", "d: []"});
    DispatchPending();
    recorder_.Clear();
    Click(combo, 20, 5);
    DispatchPending();
    EXPECT_EQ(GetFocus(), combo);
    EXPECT_EQ(Choices(), (std::vector<int>{CBN_DROPDOWN}));
    EXPECT_TRUE(Send(combo, CB_GETDROPPEDSTATE));
    HWND list = DroppedList();
    ASSERT_NE(list, nullptr);
    RECT field, dropped;
    GetWindowRect(combo, &field);
    GetWindowRect(GetParent(list), &dropped);
    EXPECT_EQ(dropped.top, field.bottom);
    EXPECT_EQ(dropped.left, field.left);

    const int height = static_cast<int>(Send(combo, CB_GETITEMHEIGHT, 0));
    MouseMove(list, 20, height + 2);  // the highlight follows the mouse, choosing nothing yet
    DispatchPending();
    EXPECT_EQ(Choices(), (std::vector<int>{CBN_DROPDOWN}));
    Click(list, 20, 2 * height + 2);
    DispatchPending();
    EXPECT_EQ(Choices(), (std::vector<int>{CBN_DROPDOWN, CBN_SELCHANGE, CBN_SELENDOK, CBN_CLOSEUP}));
    EXPECT_FALSE(Send(combo, CB_GETDROPPEDSTATE));
    EXPECT_FALSE(IsWindowVisible(list));
    EXPECT_EQ(Send(combo, CB_GETCURSEL), 2);
    EXPECT_EQ(Text(combo), "d: []");
    EXPECT_EQ(GetActiveWindow(), parent_);  // the popup never took the activation
    EXPECT_EQ(GetFocus(), combo);
}

TEST_F(ComboBoxTest, EscapeAndAClickOutsideCloseTheListWithoutChoosing) {
    HWND combo = Combo();
    Add(combo, {"a:", "c: [system]", "d: []"});
    Send(combo, CB_SETCURSEL, 0);
    SetFocus(combo);
    DispatchPending();
    recorder_.Clear();
    PressKey(VK_F4);
    PressKey(VK_DOWN);  // moves the highlight in the open list
    DispatchPending();
    EXPECT_TRUE(Send(combo, CB_GETDROPPEDSTATE));
    EXPECT_EQ(Send(combo, CB_GETCURSEL), 1);
    PressKey(VK_ESCAPE);
    DispatchPending();
    EXPECT_EQ(Choices(), (std::vector<int>{CBN_DROPDOWN, CBN_SELENDCANCEL, CBN_CLOSEUP}));
    EXPECT_FALSE(Send(combo, CB_GETDROPPEDSTATE));
    EXPECT_EQ(Send(combo, CB_GETCURSEL), 0);

    recorder_.Clear();
    KeyDown(VK_MENU);
    PressKey(VK_DOWN);
    KeyUp(VK_MENU);
    DispatchPending();
    EXPECT_TRUE(Send(combo, CB_GETDROPPEDSTATE));
    Click(parent_, 300, 300);
    DispatchPending();
    EXPECT_EQ(Choices(), (std::vector<int>{CBN_DROPDOWN, CBN_SELENDCANCEL, CBN_CLOSEUP}));
    EXPECT_FALSE(Send(combo, CB_GETDROPPEDSTATE));

    // Enter takes the highlighted line.
    recorder_.Clear();
    PressKey(VK_F4);
    PressKey(VK_END);
    PressKey(VK_RETURN);
    DispatchPending();
    EXPECT_EQ(Choices(), (std::vector<int>{CBN_DROPDOWN, CBN_SELCHANGE, CBN_SELENDOK, CBN_CLOSEUP}));
    EXPECT_EQ(Send(combo, CB_GETCURSEL), 2);
}

TEST_F(ComboBoxTest, KeysOnTheClosedFieldChooseAtOnce) {
    HWND combo = Combo();
    Add(combo, {"a:", "c: [system]", "d: []", "D: [dvd]"});
    SetFocus(combo);
    DispatchPending();
    recorder_.Clear();
    PressKey(VK_DOWN);  // nothing chosen yet: the first line
    PressKey(VK_UP);    // already first: nothing changes
    PressKey(VK_END);
    DispatchPending();
    EXPECT_EQ(Send(combo, CB_GETCURSEL), 3);
    Type("d");  // the next line starting with d, around the end
    DispatchPending();
    EXPECT_EQ(Send(combo, CB_GETCURSEL), 2);
    EXPECT_EQ(Choices(), (std::vector<int>{CBN_SELCHANGE, CBN_SELENDOK, CBN_SELCHANGE, CBN_SELENDOK, CBN_SELCHANGE,
                                           CBN_SELENDOK}));
    EXPECT_FALSE(Send(combo, CB_GETDROPPEDSTATE));
}

TEST_F(ComboBoxTest, TheListOpensAboveTheFieldNearTheBottomOfTheScreen) {
    display_.SetScreenSize({640, 300});
    HWND combo = Combo(0, 240);
    Add(combo, {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j"});
    Send(combo, CB_SHOWDROPDOWN, TRUE);
    DispatchPending();
    HWND list = DroppedList();
    ASSERT_NE(list, nullptr);
    RECT field, dropped;
    GetWindowRect(combo, &field);
    GetWindowRect(GetParent(list), &dropped);
    EXPECT_EQ(dropped.bottom, field.top);
    // Eight lines show; the rest scroll.
    EXPECT_EQ(dropped.bottom - dropped.top, 8 * Send(combo, CB_GETITEMHEIGHT, 0) + 2);
    EXPECT_TRUE(GetWindowLongA(list, GWL_STYLE) & WS_VSCROLL);
    Send(combo, CB_SHOWDROPDOWN, FALSE);
    EXPECT_FALSE(IsWindowVisible(list));
}

TEST_F(ComboBoxTest, AnOwnerDrawnComboBoxHasItsFieldAndLinesDrawnByTheParent) {
    std::vector<MEASUREITEMSTRUCT> measured;
    std::vector<DRAWITEMSTRUCT> drawn;
    HBRUSH green = CreateSolidBrush(kGreen);
    recorder_.Handle(parent_, [&](HWND, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
        if (message == WM_MEASUREITEM) {
            auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
            measure->itemHeight = measure->itemID == static_cast<UINT>(-1) ? 18 : 16;
            measured.push_back(*measure);
        } else if (message == WM_DRAWITEM) {
            drawn.push_back(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
        } else if (message == WM_CTLCOLORLISTBOX) {
            result = reinterpret_cast<LRESULT>(green);
            SetBkColor(reinterpret_cast<HDC>(wParam), kGreen);
            return true;
        } else {
            return false;
        }
        result = TRUE;
        return true;
    });
    HWND combo = Combo(CBS_OWNERDRAWFIXED | CBS_HASSTRINGS);
    ASSERT_EQ(measured.size(), 2u);
    EXPECT_EQ(measured[0].itemID, static_cast<UINT>(-1));  // the field first
    EXPECT_EQ(measured[1].itemID, 0u);
    EXPECT_EQ(measured[1].CtlType, static_cast<UINT>(ODT_COMBOBOX));
    EXPECT_EQ(Send(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1)), 18);
    EXPECT_EQ(Send(combo, CB_GETITEMHEIGHT, 0), 16);
    Add(combo, {"a:", "c: [system]"});
    Send(combo, CB_SETITEMDATA, 1, 77);
    Send(combo, CB_SETCURSEL, 1);
    DispatchPending();
    ASSERT_FALSE(drawn.empty());
    EXPECT_EQ(drawn.back().itemID, 1u);
    EXPECT_EQ(drawn.back().itemData, 77u);
    EXPECT_EQ(drawn.back().hwndItem, combo);
    EXPECT_EQ(drawn.back().itemState, static_cast<UINT>(ODS_COMBOBOXEDIT));
    EXPECT_EQ(Pixel(combo, 4, 4), kGreen);  // the parent's brush fills the field

    drawn.clear();
    SetFocus(combo);
    DispatchPending();
    ASSERT_FALSE(drawn.empty());
    EXPECT_EQ(drawn.back().itemState, static_cast<UINT>(ODS_COMBOBOXEDIT | ODS_SELECTED | ODS_FOCUS));

    drawn.clear();
    PressKey(VK_F4);
    DispatchPending();
    HWND list = DroppedList();
    ASSERT_NE(list, nullptr);
    std::vector<DRAWITEMSTRUCT> lines;
    for (const DRAWITEMSTRUCT& item : drawn)
        if (!(item.itemState & ODS_COMBOBOXEDIT)) lines.push_back(item);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].CtlType, static_cast<UINT>(ODT_COMBOBOX));
    EXPECT_EQ(lines[0].CtlID, static_cast<UINT>(kId));
    EXPECT_EQ(lines[1].rcItem.top, 16);
    EXPECT_TRUE(lines[1].itemState & ODS_SELECTED);
    EXPECT_FALSE(lines[0].itemState & ODS_SELECTED);
    bool listColoured = false;  // the parent colours the list too, told which window asks
    for (const Received& r : recorder_.Log())
        listColoured |= r.message == WM_CTLCOLORLISTBOX && r.lParam == reinterpret_cast<LPARAM>(list);
    EXPECT_TRUE(listColoured);
    DeleteObject(green);
}
