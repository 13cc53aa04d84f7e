#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>

#include "platform/testing/Desktop.h"
#include "platform/testing/VirtualClock.h"
#include "tests/support/Recorder.h"

using namespace platform::testing;

namespace {

constexpr COLORREF kHighlight = RGB(0, 0, 128);

class EditWindow : public ::testing::Test {
  protected:
    EditWindow() : display_(UseHeadlessDisplay()) {
        parent_ = recorder_.TopLevel("parent", 0, 0, 320, 120, WS_POPUP | WS_VISIBLE);
        DispatchPending();
    }
    ~EditWindow() override {
        ResetDesktop();
        DeleteObject(green_);
    }

    HWND Make(const char* text, DWORD style = ES_AUTOHSCROLL, int width = 200) {
        HWND edit = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", text, WS_CHILD | WS_VISIBLE | style, 10, 10, width, 20,
                                    parent_, reinterpret_cast<HMENU>(5), nullptr, nullptr);
        DispatchPending();
        return edit;
    }

    static std::string Text(HWND edit) {
        char buffer[256] = {};
        GetWindowTextA(edit, buffer, sizeof buffer);
        return buffer;
    }

    static std::pair<DWORD, DWORD> Selection(HWND edit) {
        DWORD start = 0, end = 0;
        SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        return {start, end};
    }

    // The EN_* codes the parent received, in order.
    std::vector<int> Reports() const {
        std::vector<int> codes;
        for (const Received& r : recorder_.Log())
            if (r.message == WM_COMMAND) codes.push_back(HIWORD(r.wParam));
        return codes;
    }

    static void WithKey(int modifier, int key) {
        KeyDown(modifier);
        PressKey(key);
        KeyUp(modifier);
        DispatchPending();
    }

    static void Press(int key) {
        PressKey(key);
        DispatchPending();
    }

    static std::string Clipboard() {
        std::string text;
        OpenClipboard(nullptr);
        if (HANDLE memory = GetClipboardData(CF_TEXT)) {
            text = static_cast<const char*>(GlobalLock(memory));
            GlobalUnlock(memory);
        }
        CloseClipboard();
        return text;
    }

    static void SetClipboard(const std::string& text) {
        OpenClipboard(nullptr);
        EmptyClipboard();
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
        std::memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
        GlobalUnlock(memory);
        SetClipboardData(CF_TEXT, memory);
        CloseClipboard();
    }

    platform::display::HeadlessDisplay& display_;
    VirtualClock clock_;
    Recorder recorder_;
    HWND parent_ = nullptr;
    HBRUSH green_ = CreateSolidBrush(RGB(0, 255, 0));
    UINT colorsAsked_ = 0;  // the last WM_CTLCOLOR* message the parent received
};

}  // namespace

TEST_F(EditWindow, TypedCharactersGoInWholeAndAreNeverSplit) {
    HWND edit = Make("");
    SetFocus(edit);
    Type("日本");
    DispatchPending();
    EXPECT_EQ(Text(edit), "日本");
    EXPECT_EQ(Selection(edit), std::make_pair(6u, 6u));
    Press(VK_BACK);
    EXPECT_EQ(Text(edit), "日");

    // An input method's character arrives byte by byte and goes in when whole.
    SendMessageA(edit, WM_CHAR, 0xE8, 1);
    SendMessageA(edit, WM_CHAR, 0xAA, 1);
    EXPECT_EQ(Text(edit), "日");
    SendMessageA(edit, WM_CHAR, 0x9E, 1);
    EXPECT_EQ(Text(edit), "日語");
    // A lead byte that no continuation follows stays, as a byte of its own.
    SendMessageA(edit, WM_CHAR, 0xE6, 1);
    SendMessageA(edit, WM_CHAR, 'a', 1);
    EXPECT_EQ(Text(edit), "日語\xE6" "a");
    Press(VK_BACK);
    Press(VK_BACK);
    EXPECT_EQ(Text(edit), "日語");

    Press(VK_LEFT);
    EXPECT_EQ(Selection(edit), std::make_pair(3u, 3u));
    Press(VK_DELETE);
    EXPECT_EQ(Text(edit), "日");
    SendMessageA(edit, EM_SETSEL, 1, 2);  // inside the character: both ends go to its start
    EXPECT_EQ(Selection(edit), std::make_pair(0u, 0u));

    SetWindowTextA(edit, "日本");
    char small[5];
    EXPECT_EQ(GetWindowTextA(edit, small, sizeof small), 3);  // room for four bytes holds one character
    EXPECT_STREQ(small, "日");
}

TEST_F(EditWindow, TheSelectionFollowsMessagesKeysAndTheMouse) {
    HWND edit = Make("one two 日本");
    const DWORD length = 14;
    SendMessageA(edit, EM_SETSEL, 5, 2);  // the caret goes to the second end
    SetFocus(edit);
    WithKey(VK_SHIFT, VK_LEFT);
    EXPECT_EQ(Selection(edit), std::make_pair(1u, 5u));

    Press(VK_HOME);
    WithKey(VK_SHIFT, VK_END);
    EXPECT_EQ(Selection(edit), std::make_pair(0u, length));
    Press(VK_RIGHT);
    EXPECT_EQ(Selection(edit), std::make_pair(length, length));
    WithKey(VK_SHIFT, VK_LEFT);
    EXPECT_EQ(Selection(edit), std::make_pair(length - 3, length));
    WithKey(VK_CONTROL, VK_LEFT);
    EXPECT_EQ(Selection(edit), std::make_pair(8u, 8u));

    auto xOf = [&](int index) { return LOWORD(SendMessageA(edit, EM_POSFROMCHAR, index, 0)); };
    MouseDown(edit, xOf(4), 8);
    DispatchPending();
    MouseMove(edit, 250, 8);  // beyond the edit's end
    MouseUp(edit, 250, 8);
    DispatchPending();
    EXPECT_EQ(Selection(edit), std::make_pair(4u, length));
    KeyDown(VK_SHIFT);
    Click(edit, xOf(2), 8);
    KeyUp(VK_SHIFT);
    DispatchPending();
    EXPECT_EQ(Selection(edit), std::make_pair(2u, 4u));
    DoubleClick(edit, xOf(5) + 1, 8);
    DispatchPending();
    EXPECT_EQ(Selection(edit), std::make_pair(4u, 8u));  // the word and the blank after it
}

TEST_F(EditWindow, CutCopyAndPasteGoThroughTheClipboardAndUndoTakesThemBack) {
    HWND edit = Make("abc 日本");
    SetFocus(edit);
    SendMessageA(edit, EM_SETSEL, 4, 10);
    WithKey(VK_CONTROL, 'C');
    EXPECT_EQ(Clipboard(), "日本");
    EXPECT_EQ(Text(edit), "abc 日本");
    WithKey(VK_CONTROL, 'X');
    EXPECT_EQ(Text(edit), "abc ");
    Press(VK_HOME);
    WithKey(VK_CONTROL, 'V');
    EXPECT_EQ(Text(edit), "日本abc ");
    EXPECT_EQ(Selection(edit), std::make_pair(6u, 6u));
    WithKey(VK_CONTROL, 'Z');
    EXPECT_EQ(Text(edit), "abc ");
    WithKey(VK_CONTROL, 'Z');  // undoing the undo
    EXPECT_EQ(Text(edit), "日本abc ");

    SetClipboard("first\r\nsecond");
    SendMessageA(edit, EM_SETSEL, 0, -1);
    SendMessageA(edit, WM_PASTE, 0, 0);
    EXPECT_EQ(Text(edit), "first");

    // Typing is one step of undo until something else happens.
    Type("123");
    DispatchPending();
    EXPECT_EQ(Text(edit), "first123");
    SendMessageA(edit, WM_UNDO, 0, 0);
    EXPECT_EQ(Text(edit), "first");

    HWND password = Make("secret", ES_PASSWORD | ES_AUTOHSCROLL);
    SendMessageA(password, EM_SETSEL, 0, -1);
    SendMessageA(password, WM_COPY, 0, 0);
    SendMessageA(password, WM_CUT, 0, 0);
    EXPECT_EQ(Clipboard(), "first\r\nsecond");
    EXPECT_EQ(Text(password), "secret");
}

TEST_F(EditWindow, TheLimitKeepsWholeCharactersAndReportsWhatItRefused) {
    HWND edit = Make("");
    SendMessageA(edit, EM_LIMITTEXT, 5, 0);
    SetFocus(edit);
    recorder_.Clear();
    Type("ab日本");
    DispatchPending();
    EXPECT_EQ(Text(edit), "ab日");
    EXPECT_EQ(Reports().back(), EN_MAXTEXT);

    recorder_.Clear();
    SendMessageA(edit, EM_SETSEL, 0, 1);
    SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("xyz"));
    EXPECT_EQ(Text(edit), "xb日");  // one byte of room after the selection went: only "x" fits
    EXPECT_EQ(Reports(), (std::vector<int>{EN_MAXTEXT, EN_UPDATE, EN_CHANGE}));
}

TEST_F(EditWindow, AReadOnlyEditRefusesChangesButSelectsAndCopies) {
    HWND readOnly = Make("fixed", ES_READONLY | ES_AUTOHSCROLL);
    SetFocus(readOnly);
    Type("x");
    Press(VK_BACK);
    WithKey(VK_CONTROL, 'A');
    WithKey(VK_CONTROL, 'C');
    WithKey(VK_CONTROL, 'X');
    EXPECT_EQ(Text(readOnly), "fixed");
    EXPECT_EQ(Clipboard(), "fixed");
}

TEST_F(EditWindow, TheCaretStaysInSightAsTheTextScrolls) {
    HWND edit = Make("", ES_AUTOHSCROLL, 60);
    SetFocus(edit);
    Type("a long line that does not fit");
    DispatchPending();
    RECT client;
    GetClientRect(edit, &client);
    POINT caret;
    GetCaretPos(&caret);
    EXPECT_GE(caret.x, 0);
    EXPECT_LT(caret.x, client.right);
    EXPECT_LT(static_cast<short>(LOWORD(SendMessageA(edit, EM_POSFROMCHAR, 0, 0))), 0);  // scrolled out on the left
    Press(VK_HOME);
    GetCaretPos(&caret);
    EXPECT_LE(caret.x, 2);
    EXPECT_GE(static_cast<short>(LOWORD(SendMessageA(edit, EM_POSFROMCHAR, 0, 0))), 0);

    HWND fixed = Make("", 0, 60);  // without ES_AUTOHSCROLL the text stops at the edge
    SetFocus(fixed);
    Type("a long line that does not fit");
    DispatchPending();
    EXPECT_GT(Text(fixed).size(), 0u);
    EXPECT_LT(Text(fixed).size(), 29u);
}

TEST_F(EditWindow, TheSelectionShowsHighlightedOnTheParentsColoursWhileFocused) {
    recorder_.Handle(parent_, [this](HWND, UINT message, WPARAM, LPARAM, LRESULT& result) {
        if (message != WM_CTLCOLOREDIT && message != WM_CTLCOLORSTATIC) return false;
        colorsAsked_ = message;
        result = reinterpret_cast<LRESULT>(green_);
        return true;
    });
    HWND edit = Make("abcdef");
    SendMessageA(edit, EM_SETSEL, 0, -1);
    auto highlighted = [&] {
        int count = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 80; ++x) count += Pixel(edit, x, y) == kHighlight;
        return count;
    };
    DispatchPending();
    EXPECT_EQ(colorsAsked_, static_cast<UINT>(WM_CTLCOLOREDIT));
    EXPECT_EQ(Pixel(edit, 150, 8), RGB(0, 255, 0));
    EXPECT_EQ(highlighted(), 0);
    SetFocus(edit);
    DispatchPending();
    EXPECT_GT(highlighted(), 40);
    SetFocus(parent_);
    DispatchPending();
    EXPECT_EQ(highlighted(), 0);

    SendMessageA(edit, EM_SETREADONLY, TRUE, 0);
    DispatchPending();
    EXPECT_EQ(colorsAsked_, static_cast<UINT>(WM_CTLCOLORSTATIC));
}
