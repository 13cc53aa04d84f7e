// The single-line EDIT class as the file name field uses it: its text, selection and limit, set by messages, and the
// changes its parent hears of.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "tests/support/Recorder.h"
#include "tests/winapi/Suite.h"

namespace {

class Edit : public winapi::ControlTest {
  protected:
    HWND Make(const char* text, DWORD style = ES_AUTOHSCROLL) const {
        return ControlTest::Make("EDIT", style, text, 5, {10, 10, 210, 30}, WS_EX_CLIENTEDGE);
    }
    static std::pair<DWORD, DWORD> Selection(HWND edit) {
        DWORD start = 0, end = 0;
        SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        return {start, end};
    }
    static std::pair<DWORD, DWORD> Range(DWORD start, DWORD end) { return {start, end}; }
    static void Select(HWND edit, int start, int end) { SendMessageA(edit, EM_SETSEL, start, end); }
    // Characters as the keyboard's translation delivers them, one message each.
    static void Type(HWND edit, const std::string& text) {
        for (char c : text) SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 1);
    }
    // The EN_* codes the parent received, in order.
    std::vector<int> Reports() const { return Notifications(5); }
};

}  // namespace

TEST_F(Edit, EveryChangeIsReportedAsUpdateThenChangeAndSelectingIsNot) {
    HWND edit = Make("");
    winapi::DispatchPending();
    recorder_.Clear();
    SetWindowTextA(edit, "abc");
    EXPECT_EQ(Reports(), (std::vector<int>{EN_UPDATE, EN_CHANGE}));
    EXPECT_EQ(SendMessageA(edit, EM_GETMODIFY, 0, 0), FALSE);  // a program's text is no change by the user
    EXPECT_EQ(Selection(edit), Range(0, 0));

    recorder_.Clear();
    Select(edit, 0, -1);
    SetFocus(edit);
    EXPECT_EQ(Reports(), std::vector<int>{EN_SETFOCUS});
    recorder_.Clear();
    Type(edit, "x");
    EXPECT_EQ(Text(edit), "x");
    EXPECT_EQ(Reports(), (std::vector<int>{EN_UPDATE, EN_CHANGE}));
    EXPECT_EQ(SendMessageA(edit, EM_GETMODIFY, 0, 0), TRUE);

    recorder_.Clear();
    SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("yz"));
    EXPECT_EQ(Text(edit), "xyz");
    SetFocus(parent_);
    EXPECT_EQ(Reports(), (std::vector<int>{EN_UPDATE, EN_CHANGE, EN_KILLFOCUS}));
}

TEST_F(Edit, TheSelectionIsSetAndReadByMessages) {
    HWND edit = Make("one two three");
    const DWORD length = 13;
    Select(edit, 0, -1);
    EXPECT_EQ(Selection(edit), Range(0, length));
    EXPECT_EQ(SendMessageA(edit, EM_GETSEL, 0, 0), MAKELONG(0, length));
    Select(edit, 5, 2);  // given backwards, read forwards
    EXPECT_EQ(Selection(edit), Range(2, 5));
    Select(edit, 4, 100);  // past the end: to the end
    EXPECT_EQ(Selection(edit), Range(4, length));
    Select(edit, -1, 0);  // drops the selection
    DWORD start, end;
    std::tie(start, end) = Selection(edit);
    EXPECT_EQ(start, end);

    // What replaces the selection leaves the caret after it.
    Select(edit, 4, 7);
    SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>("2"));
    EXPECT_EQ(Text(edit), "one 2 three");
    EXPECT_EQ(Selection(edit), Range(5, 5));
    SetWindowTextA(edit, "new");
    EXPECT_EQ(Selection(edit), Range(0, 0));  // a new text starts unselected
}

TEST_F(Edit, TheWindowTextIsCutToTheBufferItIsReadInto) {
    HWND edit = Make("a.wav");
    EXPECT_EQ(SendMessageA(edit, WM_GETTEXTLENGTH, 0, 0), 5);
    char small[4] = "xyz";
    EXPECT_EQ(SendMessageA(edit, WM_GETTEXT, sizeof small, reinterpret_cast<LPARAM>(small)), 3);
    EXPECT_STREQ(small, "a.w");
    EXPECT_EQ(SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("")), TRUE);
    EXPECT_EQ(SendMessageA(edit, WM_GETTEXTLENGTH, 0, 0), 0);
    EXPECT_EQ(Text(edit), "");
}

TEST_F(Edit, TheLimitHoldsWhatTheUserEntersButNotWhatTheProgramSets) {
    HWND edit = Make("");
    SendMessageA(edit, EM_LIMITTEXT, 5, 0);
    EXPECT_EQ(SendMessageA(edit, EM_GETLIMITTEXT, 0, 0), 5);
    SetFocus(edit);
    recorder_.Clear();
    Type(edit, "abcdefg");
    EXPECT_EQ(Text(edit), "abcde");
    // Each refused character is reported; an EN_CHANGE after it ("may have altered text") is Windows' to send or not.
    std::vector<int> reports = Reports();
    EXPECT_EQ(std::count(reports.begin(), reports.end(), EN_MAXTEXT), 2);

    recorder_.Clear();
    Select(edit, 0, 1);
    SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("xyz"));
    EXPECT_EQ(Text(edit), "xbcde");  // one character of room after the selection went: only "x" fits
    EXPECT_EQ(Reports(), (std::vector<int>{EN_MAXTEXT, EN_UPDATE, EN_CHANGE}));

    SetWindowTextA(edit, "a program's text is not limited");
    EXPECT_EQ(Text(edit), "a program's text is not limited");
    SendMessageA(edit, EM_LIMITTEXT, 0, 0);
    EXPECT_EQ(SendMessageA(edit, EM_GETLIMITTEXT, 0, 0), 0x7FFFFFFE);
}

TEST_F(Edit, AReadOnlyEditTakesAProgramsTextButNoCharacters) {
    HWND edit = Make("fixed", ES_READONLY | ES_AUTOHSCROLL);
    EXPECT_EQ(SendMessageA(edit, WM_GETDLGCODE, 0, 0), DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS);
    Select(edit, 0, -1);
    Type(edit, "x");
    SendMessageA(edit, WM_CHAR, VK_BACK, 1);
    EXPECT_EQ(Text(edit), "fixed");
    SetWindowTextA(edit, "set");
    EXPECT_EQ(Text(edit), "set");
    EXPECT_EQ(SendMessageA(edit, EM_SETREADONLY, FALSE, 0), TRUE);
    EXPECT_FALSE(GetWindowLongA(edit, GWL_STYLE) & ES_READONLY);
    Select(edit, 3, 3);
    Type(edit, "s");
    EXPECT_EQ(Text(edit), "sets");
}
