// The COMBOBOX class as the drive selector uses it: a drop-down list whose lines, choice and text are set by
// messages, which the parent does not hear of.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/Recorder.h"
#include "tests/winapi/Suite.h"

namespace {

constexpr int kId = 9;

class ComboBox : public winapi::ControlTest {
  protected:
    HWND Combo(DWORD style = 0) const {
        return Make("COMBOBOX", WS_VSCROLL | CBS_DROPDOWNLIST | style, "", kId, {10, 10, 160, 210});
    }
    static void Add(HWND combo, std::initializer_list<const char*> lines) {
        for (const char* line : lines) Send(combo, CB_ADDSTRING, 0, line);
    }
    static std::vector<std::string> Lines(HWND combo) {
        return ControlTest::Lines(combo, CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT);
    }
    std::vector<int> Notifications() const { return ControlTest::Notifications(kId); }
};

}  // namespace

TEST_F(ComboBox, ItsLinesLiveInTheListAndItsTextIsTheChosenLine) {
    HWND combo = Combo();
    winapi::DispatchPending();
    recorder_.Clear();
    Add(combo, {"c: [system]", "d: []", "e: [usb]"});
    EXPECT_EQ(Send(combo, CB_GETCOUNT), 3);
    char text[32];
    EXPECT_EQ(Send(combo, CB_GETLBTEXT, 1, text), 5);
    EXPECT_STREQ(text, "d: []");
    EXPECT_EQ(Send(combo, CB_GETLBTEXTLEN, 2), 8);
    EXPECT_EQ(Send(combo, CB_GETLBTEXT, 3, text), CB_ERR);
    EXPECT_EQ(Send(combo, CB_GETLBTEXTLEN, 3), CB_ERR);
    EXPECT_EQ(Send(combo, CB_GETITEMDATA, 3), CB_ERR);
    EXPECT_EQ(Send(combo, CB_GETCURSEL), CB_ERR);
    EXPECT_EQ(Text(combo), "");
    EXPECT_EQ(Send(combo, CB_SETCURSEL, 1), 1);
    EXPECT_EQ(Text(combo), "d: []");
    EXPECT_EQ(Send(combo, WM_GETTEXTLENGTH), 5);
    EXPECT_EQ(Send(combo, CB_SETCURSEL, 2), 2);
    EXPECT_EQ(Send(combo, CB_SETCURSEL, static_cast<WPARAM>(-1)), CB_ERR);  // -1: no choice, which is no error
    EXPECT_EQ(Send(combo, CB_GETCURSEL), CB_ERR);
    EXPECT_EQ(Text(combo), "");
    EXPECT_EQ(Send(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), "D: []"), 1);
    EXPECT_EQ(Send(combo, CB_FINDSTRING, static_cast<WPARAM>(-1), "E:"), 2);
    EXPECT_EQ(Send(combo, CB_FINDSTRING, static_cast<WPARAM>(-1), "f:"), CB_ERR);
    EXPECT_EQ(Send(combo, CB_SELECTSTRING, static_cast<WPARAM>(-1), "C"), 0);  // a prefix chooses too
    EXPECT_EQ(Text(combo), "c: [system]");
    EXPECT_EQ(Send(combo, CB_SELECTSTRING, static_cast<WPARAM>(-1), "f:"), CB_ERR);
    EXPECT_EQ(Send(combo, CB_GETCURSEL), 0);  // a failed search leaves the choice
    Send(combo, CB_RESETCONTENT);
    EXPECT_EQ(Send(combo, CB_GETCOUNT), 0);
    EXPECT_EQ(Send(combo, CB_GETCURSEL), CB_ERR);
    EXPECT_EQ(Text(combo), "");
    winapi::DispatchPending();
    EXPECT_TRUE(Notifications().empty());
}

TEST_F(ComboBox, AChoicePastTheEndLeavesNoLineChosen) {
    KORVO_KNOWN_TO_DIFFER_ON_WINE("CB_SETCURSEL: \"If wParam is greater than the number of items in the list or if "
                                  "wParam is -1, the return value is CB_ERR and the selection is cleared.\"");
    HWND combo = Combo();
    Add(combo, {"c: [system]", "d: []"});
    Send(combo, CB_SETCURSEL, 1);
    EXPECT_EQ(Send(combo, CB_SETCURSEL, 2), CB_ERR);
    EXPECT_EQ(Send(combo, CB_GETCURSEL), CB_ERR);
    EXPECT_EQ(Text(combo), "");
}

TEST_F(ComboBox, AWindowTextChoosesNoLineOfADropDownList) {
    HWND combo = Combo();
    Add(combo, {"c: [system]", "d: []", "e: [usb]"});
    Send(combo, CB_SETCURSEL, 1);
    // A drop-down list has no field to write in; CB_SELECTSTRING is the message that chooses by text.
    EXPECT_EQ(Send(combo, WM_SETTEXT, 0, "e: [usb]"), CB_ERR);
    EXPECT_EQ(Send(combo, WM_SETTEXT, 0, "f:"), CB_ERR);
    EXPECT_EQ(Send(combo, CB_GETCURSEL), 1);
    EXPECT_EQ(Text(combo), "d: []");
}

TEST_F(ComboBox, LinesAreSortedOrInsertedWhereAskedAndTakeTheirDataWithThem) {
    HWND sorted = Combo(CBS_SORT);
    Add(sorted, {"e: [usb]", "c: [system]", "d: []"});
    EXPECT_EQ(Lines(sorted), (std::vector<std::string>{"c: [system]", "d: []", "e: [usb]"}));
    EXPECT_EQ(Send(sorted, CB_ADDSTRING, 0, "a:"), 0);  // the answer is where the line went
    EXPECT_EQ(Send(sorted, CB_INSERTSTRING, 3, "z:"), 3);  // inserting does not sort
    EXPECT_EQ(Lines(sorted), (std::vector<std::string>{"a:", "c: [system]", "d: []", "z:", "e: [usb]"}));

    HWND combo = Combo();
    Add(combo, {"c:", "d:"});
    EXPECT_EQ(Send(combo, CB_INSERTSTRING, 0, "a:"), 0);
    EXPECT_EQ(Send(combo, CB_INSERTSTRING, static_cast<WPARAM>(-1), "e:"), 3);  // -1: the end
    EXPECT_EQ(Send(combo, CB_INSERTSTRING, 9, "f:"), CB_ERR);
    EXPECT_EQ(Send(combo, CB_SETITEMDATA, 2, 'd'), TRUE);
    EXPECT_EQ(Send(combo, CB_SETITEMDATA, 9, 'x'), CB_ERR);
    Send(combo, CB_SETCURSEL, 2);
    EXPECT_EQ(Send(combo, CB_DELETESTRING, 0), 3);  // the lines left; the choice and the data move with their line
    EXPECT_EQ(Send(combo, CB_GETCURSEL), 1);
    EXPECT_EQ(Send(combo, CB_GETITEMDATA, 1), 'd');
    EXPECT_EQ(Text(combo), "d:");
    EXPECT_EQ(Send(combo, CB_DELETESTRING, 3), CB_ERR);
    EXPECT_EQ(Send(combo, CB_DELETESTRING, 1), 2);  // the chosen line goes, and the choice with it
    EXPECT_EQ(Send(combo, CB_GETCURSEL), CB_ERR);
    EXPECT_EQ(Lines(combo), (std::vector<std::string>{"c:", "e:"}));
}

TEST_F(ComboBox, TheWindowIsAsHighAsItsFieldWhateverHeightItWasMadeWith) {
    HWND combo = Combo();  // made 200 pixels high: the height of the list it drops
    for (int field : {10, 30}) {
        EXPECT_NE(Send(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field), CB_ERR);
        RECT client;
        GetClientRect(combo, &client);
        EXPECT_EQ(client.bottom, field + 6) << "the field's line, a pixel above and below it, and the edges";
    }
    // The lines of the list keep their own height.
    EXPECT_LT(Send(combo, CB_GETITEMHEIGHT, 0), 30);
}
