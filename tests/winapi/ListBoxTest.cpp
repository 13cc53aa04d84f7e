// The LISTBOX class as the playlist and the file lists drive it: lines, their data, the selection and the top line,
// set by messages, and what the parent hears of them.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "tests/support/Recorder.h"
#include "tests/winapi/Suite.h"

namespace {

constexpr int kId = 7;

class ListBox : public winapi::ControlTest {
  protected:
    HWND List(DWORD style, int height = 100, int width = 150) const {
        return Make("LISTBOX", LBS_NOINTEGRALHEIGHT | style, "", kId, {10, 10, 10 + width, 10 + height});
    }
    static void Add(HWND list, std::initializer_list<const char*> lines) {
        for (const char* line : lines) Send(list, LB_ADDSTRING, 0, line);
    }
    static std::vector<std::string> Lines(HWND list) {
        return ControlTest::Lines(list, LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT);
    }
    // The notification codes the parent received from the list, in order.
    std::vector<int> Notifications() const { return ControlTest::Notifications(kId); }
    static int LinesShown(HWND list) {
        RECT client;
        GetClientRect(list, &client);
        return client.bottom / static_cast<int>(Send(list, LB_GETITEMHEIGHT, 0));
    }
};

}  // namespace

TEST_F(ListBox, SortedListPlacesEachLineInLocaleOrderButInsertsAtTheGivenIndex) {
    HWND list = List(LBS_SORT | LBS_HASSTRINGS);
    EXPECT_EQ(Send(list, LB_ADDSTRING, 0, "c.txt"), 0);
    EXPECT_EQ(Send(list, LB_ADDSTRING, 0, "b.MP3"), 0);
    EXPECT_EQ(Send(list, LB_ADDSTRING, 0, "a.wav"), 0);
    EXPECT_EQ(Send(list, LB_ADDSTRING, 0, "10 x.mid"), 0);
    EXPECT_EQ(Send(list, LB_ADDSTRING, 0, "B.WAV"), 3);  // case does not decide
    // Lines that differ only in case have no order Windows defines between them, so none are asserted here.
    EXPECT_EQ(Lines(list), (std::vector<std::string>{"10 x.mid", "a.wav", "b.MP3", "B.WAV", "c.txt"}));

    EXPECT_EQ(Send(list, LB_INSERTSTRING, 1, "zz"), 1);
    EXPECT_EQ(Send(list, LB_INSERTSTRING, static_cast<WPARAM>(-1), "0"), 6);  // -1: the end
    EXPECT_EQ(Send(list, LB_INSERTSTRING, 8, "past the end"), LB_ERR);
    EXPECT_EQ(Lines(list), (std::vector<std::string>{"10 x.mid", "zz", "a.wav", "b.MP3", "B.WAV", "c.txt", "0"}));

    HWND unsorted = List(LBS_HASSTRINGS);
    Send(unsorted, LB_ADDSTRING, 0, "b");
    EXPECT_EQ(Send(unsorted, LB_ADDSTRING, 0, "a"), 1);
}

TEST_F(ListBox, SortedOrderIsCompareStringOrderForFileNames) {
    std::vector<std::string> names = {"Track 10.mp3", "track 9.mp3",  "Track 1.mp3", "track-2.mp3", "track 2.mp3",
                                      "Track.mp3",    "track .mp3",   "b'z.mp3",     "bz.mp3",      "坂本.wav",
                                      "Björk.mp3",    "bjork.mp3",    "_intro.mp3",  "(live).mp3",  "a.b.mp3",
                                      "a b.mp3",      "ab.mp3",       "A.mp3",       "a.mp3",       "éa.mp3"};
    HWND list = List(LBS_SORT | LBS_HASSTRINGS);
    for (const std::string& name : names) Send(list, LB_ADDSTRING, 0, name.c_str());
    std::vector<std::string> sorted = Lines(list);
    ASSERT_EQ(sorted.size(), names.size());
    for (size_t i = 1; i < sorted.size(); ++i)
        EXPECT_NE(CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, sorted[i - 1].c_str(), -1, sorted[i].c_str(),
                                 -1),
                  CSTR_GREATER_THAN)
            << sorted[i - 1] << " before " << sorted[i];
}

TEST_F(ListBox, PositionalReplacementKeepsTheOrderOfASortedList) {
    HWND list = List(LBS_SORT | LBS_HASSTRINGS);
    Add(list, {"b", "a", "c"});
    Send(list, LB_SETITEMDATA, 0, 100);
    // An exchange of lines 0 and 2, as the playlist's shuffle does it: delete, then insert at the same index.
    Send(list, LB_DELETESTRING, 0);
    Send(list, LB_INSERTSTRING, 0, "c");
    Send(list, LB_DELETESTRING, 2);
    Send(list, LB_INSERTSTRING, 2, "a");
    Send(list, LB_SETITEMDATA, 2, 100);
    EXPECT_EQ(Lines(list), (std::vector<std::string>{"c", "b", "a"}));
    EXPECT_EQ(Send(list, LB_GETITEMDATA, 0), 0);
    EXPECT_EQ(Send(list, LB_GETITEMDATA, 2), 100);
}

TEST_F(ListBox, ManyChangesByPositionKeepEveryLineInItsPlace) {
    // Enough lines for the list to split its storage into many blocks and, shrinking again, to merge them.
    HWND list = List(LBS_HASSTRINGS);
    std::vector<int> expected;  // line numbers: line n reads "line n" and carries the data n
    std::mt19937 random(7);
    auto insert = [&](int at, int number) {
        ASSERT_EQ(Send(list, LB_INSERTSTRING, at, ("line " + std::to_string(number)).c_str()), at);
        Send(list, LB_SETITEMDATA, at, number);
        expected.insert(expected.begin() + at, number);
    };
    auto remove = [&](int at) {
        ASSERT_EQ(Send(list, LB_DELETESTRING, at), static_cast<LRESULT>(expected.size() - 1));
        expected.erase(expected.begin() + at);
    };
    auto place = [&](size_t count) { return static_cast<int>(random() % (count + 1)); };
    auto check = [&] {
        std::vector<std::string> texts;
        for (int number : expected) texts.push_back("line " + std::to_string(number));
        ASSERT_EQ(Lines(list), texts);
        for (size_t i = 0; i < expected.size(); i += 97) EXPECT_EQ(Send(list, LB_GETITEMDATA, i), expected[i]);
    };
    Send(list, WM_SETREDRAW, FALSE);
    for (int i = 0; i < 3000; ++i) insert(place(expected.size()), i);
    check();
    for (int i = 0; i < 3000; ++i) {
        int at = place(expected.size() - 1);
        int number = expected[static_cast<size_t>(place(expected.size() - 1))];
        remove(at);
        insert(at, number);
    }
    check();
    while (expected.size() > 20) remove(place(expected.size() - 1));
    check();
}

TEST_F(ListBox, LinesAnswerWithTheirTextAndDataAndRefuseBadIndexes) {
    HWND list = List(LBS_HASSTRINGS);
    Add(list, {"one", "two", "three"});
    char buffer[64] = "untouched";
    EXPECT_EQ(Send(list, LB_GETTEXT, 1, buffer), 3);
    EXPECT_STREQ(buffer, "two");
    EXPECT_EQ(Send(list, LB_GETTEXTLEN, 2), 5);
    EXPECT_EQ(Send(list, LB_GETITEMDATA, 2), 0);
    EXPECT_EQ(Send(list, LB_SETITEMDATA, 2, 42), TRUE);
    Send(list, LB_INSERTSTRING, 0, "zero");  // the data follows its line
    EXPECT_EQ(Send(list, LB_GETITEMDATA, 3), 42);
    for (int bad : {-1, 4}) {
        EXPECT_EQ(Send(list, LB_GETTEXT, bad, buffer), LB_ERR);
        EXPECT_EQ(Send(list, LB_GETTEXTLEN, bad), LB_ERR);
        EXPECT_EQ(Send(list, LB_GETITEMDATA, bad), LB_ERR);
        EXPECT_EQ(Send(list, LB_SETITEMDATA, bad, 1), LB_ERR);
        EXPECT_EQ(Send(list, LB_DELETESTRING, bad), LB_ERR);
    }
    EXPECT_EQ(Send(list, LB_DELETESTRING, 0), 3);  // the lines left
    Send(list, LB_RESETCONTENT);
    EXPECT_EQ(Send(list, LB_GETCOUNT), 0);
    RECT first{};
    EXPECT_NE(Send(list, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first)), LB_ERR);  // where line 0 will be
    EXPECT_EQ(first.bottom - first.top, Send(list, LB_GETITEMHEIGHT, 0));
}

TEST_F(ListBox, FindStringExactMatchesWholeTextsIgnoringCaseAfterTheStartAndWraps) {
    HWND list = List(LBS_HASSTRINGS);
    Add(list, {"a.wav", "B.mp3", "b.mp3x", "b.MP3"});
    EXPECT_EQ(Send(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), "b.mp3"), 1);
    EXPECT_EQ(Send(list, LB_FINDSTRINGEXACT, 1, "b.mp3"), 3);
    EXPECT_EQ(Send(list, LB_FINDSTRINGEXACT, 3, "b.mp3"), 1);  // past the end, on from the top
    EXPECT_EQ(Send(list, LB_FINDSTRINGEXACT, 0, "A.WAV"), 0);  // the start line itself comes last
    EXPECT_EQ(Send(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), "b"), LB_ERR);
    EXPECT_EQ(Send(list, LB_FINDSTRING, 1, "b.mp3"), 2);  // the prefix search finds more
    EXPECT_EQ(Send(list, LB_FINDSTRING, static_cast<WPARAM>(-1), "B"), 1);
    EXPECT_EQ(Send(list, LB_FINDSTRING, static_cast<WPARAM>(-1), "c"), LB_ERR);
}

TEST_F(ListBox, SelectionSetByMessagesNeverNotifies) {
    HWND list = List(LBS_HASSTRINGS | LBS_NOTIFY);
    Add(list, {"a", "b", "c", "d"});
    winapi::DispatchPending();
    recorder_.Clear();
    EXPECT_EQ(Send(list, LB_SETCURSEL, 2), 2);
    EXPECT_EQ(Send(list, LB_GETCURSEL), 2);
    EXPECT_EQ(Send(list, LB_GETSEL, 2), TRUE);
    Send(list, LB_INSERTSTRING, 0, "first");  // the selection moves with its line
    EXPECT_EQ(Send(list, LB_GETCURSEL), 3);
    Send(list, LB_DELETESTRING, 3);
    EXPECT_EQ(Send(list, LB_GETCURSEL), LB_ERR);
    EXPECT_EQ(Send(list, LB_SETCURSEL, 1), 1);
    EXPECT_EQ(Send(list, LB_SETCURSEL, static_cast<WPARAM>(-1)), LB_ERR);
    EXPECT_EQ(Send(list, LB_GETCURSEL), LB_ERR);
    // What stays selected after an index past the end is not Windows' to promise for a list box (it is for a combo
    // box); only the answer is.
    EXPECT_EQ(Send(list, LB_SETCURSEL, 9), LB_ERR);
    Send(list, LB_SETCURSEL, 2);
    Send(list, LB_RESETCONTENT);
    EXPECT_EQ(Send(list, LB_GETCURSEL), LB_ERR);
    winapi::DispatchPending();
    EXPECT_TRUE(Notifications().empty());
}

TEST_F(ListBox, TheTopLineStopsWhereTheLastPageIsFullAndTheSelectionIsScrolledIntoView) {
    HWND list = List(LBS_HASSTRINGS);
    const int shown = LinesShown(list);
    ASSERT_GT(shown, 2);
    for (int i = 0; i < 3 * shown; ++i) Send(list, LB_ADDSTRING, 0, std::to_string(i).c_str());
    EXPECT_EQ(Send(list, LB_GETTOPINDEX), 0);
    EXPECT_EQ(Send(list, LB_SETTOPINDEX, 2), LB_OKAY);
    EXPECT_EQ(Send(list, LB_GETTOPINDEX), 2);
    Send(list, LB_SETTOPINDEX, 3 * shown - 1);
    EXPECT_EQ(Send(list, LB_GETTOPINDEX), 2 * shown);

    // A line below the view comes up to the bottom; one above it goes to the top.
    Send(list, LB_SETTOPINDEX, 0);
    Send(list, LB_SETCURSEL, shown + 1);
    EXPECT_EQ(Send(list, LB_GETTOPINDEX), 2);
    Send(list, LB_SETCURSEL, 1);
    EXPECT_EQ(Send(list, LB_GETTOPINDEX), 1);
    Send(list, LB_SETCURSEL, 2);  // already in view: nothing moves
    EXPECT_EQ(Send(list, LB_GETTOPINDEX), 1);
}

TEST_F(ListBox, WithoutNoIntegralHeightTheListShowsWholeLines) {
    HWND list = CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "", WS_CHILD | WS_VISIBLE | LBS_HASSTRINGS, 0, 0, 100, 107,
                                parent_, nullptr, nullptr, nullptr);
    const int height = static_cast<int>(Send(list, LB_GETITEMHEIGHT, 0));
    RECT client;
    GetClientRect(list, &client);
    EXPECT_EQ(client.bottom % height, 0);
    EXPECT_GT(client.bottom, 107 - 4 - height);
    MoveWindow(list, 0, 0, 100, 205, TRUE);
    GetClientRect(list, &client);
    EXPECT_EQ(client.bottom % height, 0);
}

TEST_F(ListBox, VariableHeightLinesAreMeasuredOneByOne) {
    std::vector<UINT> measured;
    recorder_.Handle(parent_, [&measured](HWND, UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
        if (message != WM_MEASUREITEM) return false;
        auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        measured.push_back(measure->itemID);
        measure->itemHeight = 10 + 5 * measure->itemID;
        result = TRUE;
        return true;
    });
    HWND list = List(LBS_OWNERDRAWVARIABLE | LBS_HASSTRINGS, 100);
    Add(list, {"a", "b", "c"});
    EXPECT_EQ(measured, (std::vector<UINT>{0, 1, 2}));
    EXPECT_EQ(Send(list, LB_GETITEMHEIGHT, 1), 15);
    RECT rect;
    Send(list, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&rect));
    EXPECT_EQ(rect.top, 25);
    EXPECT_EQ(rect.bottom, 45);
    Send(list, LB_SETITEMHEIGHT, 0, MAKELPARAM(30, 0));
    Send(list, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&rect));
    EXPECT_EQ(rect.top, 45);
    EXPECT_EQ(Send(list, LB_GETITEMHEIGHT, 3), LB_ERR);
}

TEST_F(ListBox, MultipleColumnsFlowDownThenAcrossAndScrollSideways) {
    HWND list = List(LBS_HASSTRINGS | LBS_MULTICOLUMN | WS_HSCROLL, 100, 200);
    const int height = static_cast<int>(Send(list, LB_GETITEMHEIGHT, 0));
    Send(list, LB_SETCOLUMNWIDTH, 50);
    for (int i = 0; i < 40; ++i) Send(list, LB_ADDSTRING, 0, "x");
    RECT client;
    GetClientRect(list, &client);  // the horizontal bar takes its height from the lines
    const int rows = client.bottom / height;
    RECT rect;
    Send(list, LB_GETITEMRECT, rows + 1, reinterpret_cast<LPARAM>(&rect));
    EXPECT_EQ(rect.left, 50);
    EXPECT_EQ(rect.top, height);
    Send(list, WM_HSCROLL, SB_LINERIGHT);
    EXPECT_EQ(Send(list, LB_GETTOPINDEX), rows);
    Send(list, LB_SETTOPINDEX, 39);
    EXPECT_EQ(Send(list, LB_GETTOPINDEX) % rows, 0);  // a whole column
}
