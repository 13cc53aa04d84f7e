// A parent may destroy a control inside the control's own report, as a dialog closed by a choice does. The control's
// object must outlive the report, and everything it owns must go with it.

#include <gtest/gtest.h>

#include <vector>

#include "platform/testing/Desktop.h"
#include "platform/testing/VirtualClock.h"
#include "tests/support/Recorder.h"

using namespace platform::testing;

namespace {

constexpr int kId = 11;

class ControlLifetime : public ::testing::Test {
  protected:
    ControlLifetime() : display_(UseHeadlessDisplay()) {
        parent_ = recorder_.TopLevel("parent", 0, 0, 400, 400, WS_OVERLAPPED | WS_SYSMENU | WS_VISIBLE);
    }
    ~ControlLifetime() override { ResetDesktop(); }

    HWND Make(const char* className, DWORD style) {
        return CreateWindowExA(0, className, "", WS_CHILD | WS_VISIBLE | style, 10, 10, 150, 100, parent_,
                               reinterpret_cast<HMENU>(kId), nullptr, nullptr);
    }
    static void Add(HWND window, UINT message, std::initializer_list<const char*> lines) {
        for (const char* line : lines) SendMessageA(window, message, 0, reinterpret_cast<LPARAM>(line));
    }
    // The parent destroys the control when it reports `code`; the codes it heard are kept.
    void DestroyOn(int code) {
        recorder_.Handle(parent_, [this, code](HWND, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
            if (message != WM_COMMAND || LOWORD(wParam) != kId) return false;
            heard_.push_back(HIWORD(wParam));
            if (HIWORD(wParam) == code) DestroyWindow(reinterpret_cast<HWND>(lParam));
            result = 0;
            return true;
        });
    }

    platform::display::HeadlessDisplay& display_;
    VirtualClock clock_;
    Recorder recorder_;
    HWND parent_;
    std::vector<int> heard_;
};

}  // namespace

TEST_F(ControlLifetime, AListBoxDestroyedWhileReportingAChangeFinishesSafely) {
    DestroyOn(LBN_SELCHANGE);
    HWND clicked = Make("LISTBOX", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT);
    Add(clicked, LB_ADDSTRING, {"a", "b", "c"});
    Click(clicked, 20, 2);  // the release reports the press's change
    DispatchPending();
    EXPECT_FALSE(IsWindow(clicked));
    EXPECT_EQ(heard_, (std::vector<int>{LBN_SETFOCUS, LBN_SELCHANGE, LBN_KILLFOCUS}));

    heard_.clear();
    HWND keyed = Make("LISTBOX", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT);
    Add(keyed, LB_ADDSTRING, {"a", "b"});
    SetFocus(keyed);
    PressKey(VK_DOWN);
    DispatchPending();
    EXPECT_FALSE(IsWindow(keyed));
    EXPECT_EQ(heard_, (std::vector<int>{LBN_SETFOCUS, LBN_SELCHANGE, LBN_KILLFOCUS}));

    // A list made afterwards has an object of its own.
    HWND next = Make("LISTBOX", LBS_NOINTEGRALHEIGHT);
    Add(next, LB_ADDSTRING, {"x"});
    EXPECT_EQ(SendMessageA(next, LB_GETCOUNT, 0, 0), 1);
}

TEST_F(ControlLifetime, AComboBoxDestroyedWhenALineIsChosenTakesItsListWithIt) {
    DestroyOn(CBN_SELCHANGE);
    HWND combo = Make("COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL);
    Add(combo, CB_ADDSTRING, {"a", "b", "c"});
    Click(combo, 20, 5);
    DispatchPending();
    ASSERT_TRUE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));
    RECT dropped{};
    SendMessageA(combo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
    const int height = static_cast<int>(SendMessageA(combo, CB_GETITEMHEIGHT, 0, 0));
    HWND list = WindowFromPoint({dropped.left + 20, dropped.top + height + 2});
    ASSERT_NE(list, nullptr);
    ASSERT_NE(list, combo);
    HWND popup = GetParent(list);

    // The list's release chooses the line; the report destroys the combo box, its popup and the list whose handler
    // is still running.
    Click(list, 20, height + 2);
    DispatchPending();
    EXPECT_FALSE(IsWindow(combo));
    EXPECT_FALSE(IsWindow(popup));
    EXPECT_FALSE(IsWindow(list));
    EXPECT_EQ(heard_, (std::vector<int>{CBN_SETFOCUS, CBN_DROPDOWN, CBN_SELCHANGE, CBN_KILLFOCUS}));
    EXPECT_EQ(GetCapture(), nullptr);
}
