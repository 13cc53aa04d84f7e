// The keyboard focus, the active window and the mouse capture, as the program sets them itself. The messages that
// tell of a change are sent while the call runs, so the tests take no messages from the queue meanwhile: what the
// display reports of its own (there is no window manager on the test's X server) stays out of what they see.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/Recorder.h"
#include "tests/winapi/Suite.h"

namespace {

class Focus : public winapi::WindowTest {
  protected:
    ~Focus() override { ReleaseCapture(); }

    HWND TopLevel(const char* label, int x = 20) {
        return WindowTest::TopLevel(label, WS_POPUP | WS_VISIBLE, nullptr, x);
    }
    HWND Child(HWND parent, const char* label, DWORD style = WS_CHILD | WS_VISIBLE) {
        return WindowTest::Child(parent, label, 10, 10, 40, 30, style);
    }

    // The messages of `type` in the log, each as "window label:wParam:lParam" with the handles named by label.
    std::vector<std::string> Parameters(UINT type, bool withWParam = true) const {
        std::vector<std::string> seen;
        auto name = [this](uintptr_t value) -> std::string {
            if (value == 0) return "0";
            for (const auto& [window, label] : labels_)
                if (reinterpret_cast<uintptr_t>(window) == value) return label;
            return "?";
        };
        for (const Received& r : recorder_.Log())
            if (r.message == type)
                seen.push_back(name(reinterpret_cast<uintptr_t>(r.window)) + ":" +
                               (withWParam ? name(r.wParam) : std::string("-")) + ":" +
                               name(static_cast<uintptr_t>(r.lParam)));
        return seen;
    }

    void Name(HWND window, const char* label) { labels_.push_back({window, label}); }

    std::vector<std::pair<HWND, std::string>> labels_;
};

const std::vector<UINT> kFocusAndActivation = {WM_NCACTIVATE, WM_ACTIVATE, WM_KILLFOCUS, WM_SETFOCUS};

}  // namespace

TEST_F(Focus, TheWindowLosingTheFocusHearsOfItFirst) {
    HWND top = TopLevel("top");
    HWND a = Child(top, "a");
    HWND b = Child(top, "b");
    Name(a, "a");
    Name(b, "b");
    SetFocus(a);
    ASSERT_EQ(GetFocus(), a);

    recorder_.Clear();
    EXPECT_EQ(SetFocus(b), a);
    EXPECT_EQ(GetFocus(), b);
    EXPECT_EQ(recorder_.Sequence(kFocusAndActivation),
              (std::vector<std::string>{"WM_KILLFOCUS(a)", "WM_SETFOCUS(b)"}));
    // Each is told of the other.
    EXPECT_EQ(Parameters(WM_KILLFOCUS), std::vector<std::string>{"a:b:0"});
    EXPECT_EQ(Parameters(WM_SETFOCUS), std::vector<std::string>{"b:a:0"});

    recorder_.Clear();
    EXPECT_EQ(SetFocus(b), b);
    EXPECT_TRUE(recorder_.Sequence(kFocusAndActivation).empty()) << "the focus stayed where it was";

    recorder_.Clear();
    EXPECT_EQ(SetFocus(nullptr), b);
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_EQ(Parameters(WM_KILLFOCUS), std::vector<std::string>{"b:0:0"});
}

TEST_F(Focus, ADisabledWindowNeitherTakesNorKeepsTheFocus) {
    HWND top = TopLevel("top");
    HWND a = Child(top, "a");
    HWND disabled = Child(top, "disabled", WS_CHILD | WS_VISIBLE | WS_DISABLED);
    HWND panel = Child(top, "panel", WS_CHILD | WS_VISIBLE | WS_DISABLED);
    HWND inPanel = Child(panel, "inPanel");
    SetFocus(a);
    ASSERT_EQ(GetFocus(), a);

    recorder_.Clear();
    EXPECT_EQ(SetFocus(disabled), nullptr);
    EXPECT_EQ(SetFocus(inPanel), nullptr) << "nor does a window inside a disabled one";
    EXPECT_EQ(GetFocus(), a);
    EXPECT_TRUE(recorder_.Sequence(kFocusAndActivation).empty());

    // Disabling the focus window takes the focus away.
    EnableWindow(a, FALSE);
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_EQ(recorder_.Sequence(kFocusAndActivation), std::vector<std::string>{"WM_KILLFOCUS(a)"});
}

TEST_F(Focus, AnotherWindowActivatedTakesOverAfterTheFirstLetGo) {
    HWND first = TopLevel("first", 20);
    HWND second = TopLevel("second", 260);
    HWND inFirst = Child(first, "inFirst");
    Name(first, "first");
    Name(second, "second");
    SetActiveWindow(first);
    ASSERT_EQ(GetActiveWindow(), first);
    ASSERT_EQ(GetFocus(), first);

    recorder_.Clear();
    EXPECT_EQ(SetActiveWindow(second), first);
    EXPECT_EQ(GetActiveWindow(), second);
    EXPECT_EQ(GetFocus(), second) << "an activated window's default handling takes the focus";
    EXPECT_EQ(recorder_.Sequence(kFocusAndActivation),
              (std::vector<std::string>{"WM_NCACTIVATE(first)", "WM_ACTIVATE-(first)", "WM_NCACTIVATE(second)",
                                        "WM_ACTIVATE+(second)", "WM_KILLFOCUS(first)", "WM_SETFOCUS(second)"}));
    // Each is told of the other; the one activated by a call, not a click, hears WA_ACTIVE.
    EXPECT_EQ(Parameters(WM_ACTIVATE, false), (std::vector<std::string>{"first:-:second", "second:-:first"}));
    for (const Received& r : recorder_.Log())
        if (r.message == WM_ACTIVATE && r.window == second) {
            EXPECT_EQ(LOWORD(r.wParam), WA_ACTIVE);
        }

    // Focusing a window in another top-level window activates that one first.
    recorder_.Clear();
    SetFocus(inFirst);
    EXPECT_EQ(GetActiveWindow(), first);
    EXPECT_EQ(GetFocus(), inFirst);
    std::vector<std::string> sequence = recorder_.Sequence(kFocusAndActivation);
    ASSERT_GE(sequence.size(), 5u);
    EXPECT_EQ(std::vector<std::string>(sequence.begin(), sequence.begin() + 4),
              (std::vector<std::string>{"WM_NCACTIVATE(second)", "WM_ACTIVATE-(second)", "WM_NCACTIVATE(first)",
                                        "WM_ACTIVATE+(first)"}));
    EXPECT_EQ(sequence.back(), "WM_SETFOCUS(inFirst)");
}

TEST_F(Focus, TheCaptureIsOneWindowsAndTheWindowLosingItIsTold) {
    HWND top = TopLevel("top");
    HWND a = Child(top, "a");
    HWND b = Child(top, "b");
    Name(a, "a");
    Name(b, "b");
    ReleaseCapture();
    recorder_.Clear();
    EXPECT_EQ(SetCapture(a), nullptr);
    EXPECT_EQ(GetCapture(), a);
    EXPECT_EQ(SetCapture(b), a);
    EXPECT_EQ(GetCapture(), b);
    EXPECT_TRUE(ReleaseCapture());
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(Parameters(WM_CAPTURECHANGED, false), (std::vector<std::string>{"a:-:b", "b:-:0"}));

    // A window that goes takes its capture with it.
    SetCapture(a);
    DestroyWindow(a);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(Focus, SetFocusOnADisabledWindowSaysWhyItFailed) {
    KORVO_KNOWN_TO_DIFFER_ON_WINE(
        "SetFocus: \"Extended error ERROR_INVALID_PARAMETER (0x57) means that window is in disabled state.\"");
    HWND top = TopLevel("top");
    HWND disabled = Child(top, "disabled", WS_CHILD | WS_VISIBLE | WS_DISABLED);
    SetLastError(0);
    EXPECT_EQ(SetFocus(disabled), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}
