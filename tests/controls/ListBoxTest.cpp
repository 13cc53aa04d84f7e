// The list box on real (headless) windows: the window's lines are the only lines, sorting happens only when the
// window is made, swaps keep their order and carry the selection, and only the user's actions raise events.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/ListBox.h"
#include "frame/Application.h"
#include "frame/Forms.h"
#include "platform/testing/Desktop.h"
#include "platform/testing/VirtualClock.h"
#include "runtime/Exception.h"

using namespace platform::testing;

namespace {

using Texts = std::vector<std::string>;

// Counts the selection requests that reach the window.
class TCountingListBox : public TListBox {
  public:
    using TListBox::TListBox;
    int selectionRequests = 0;
    void WndProc(TMessage& message) override {
        if (message.Msg == LB_SETCURSEL) ++selectionRequests;
        TListBox::WndProc(message);
    }
};

class ListBox : public ::testing::Test {
  protected:
    ListBox() {
        static const bool headless = (UseHeadlessDisplay(), true);
        (void)headless;
        Application();
        form_ = new TForm(&Application());
        form_->SetBounds(50, 50, 300, 300);
        list_ = new TCountingListBox(form_);
        list_->SetParent(form_);
        list_->SetBounds(10, 10, 200, 200);
        list_->OnClick = [this](TObject*) { events_.push_back("click"); };
        list_->OnDblClick = [this](TObject*) { events_.push_back("dblclick"); };
    }
    // The desktop stays: the application's window lives as long as the process.
    ~ListBox() override { delete form_; }

    Texts Lines() {
        Texts lines;
        for (int32_t i = 0; i < list_->Items().LineCount(); ++i) lines.push_back(list_->Items().LineText(i));
        return lines;
    }
    void Fill(const Texts& lines) {
        TStringList source;
        for (size_t i = 0; i < lines.size(); ++i) source.AppendLineData(lines[i], static_cast<TLineData>(i + 100));
        list_->SetItems(source);
    }

    VirtualClock clock_;
    TForm* form_;
    TCountingListBox* list_;
    std::vector<std::string> events_;
};

TEST_F(ListBox, SwapKeepsOrderUntilTheWindowIsSortedAgain) {
    list_->SetSorted(true);
    Fill({"b", "a", "c"});
    EXPECT_EQ(Lines(), (Texts{"a", "b", "c"}));
    EXPECT_EQ(list_->Items().LineData(0), 101) << "the data value follows its line to the sorted place";

    list_->Items().SwapLines(0, 2);
    EXPECT_EQ(Lines(), (Texts{"c", "b", "a"}));
    EXPECT_EQ(list_->Items().LineData(0), 102);
    EXPECT_EQ(list_->Items().LineData(2), 101);
    EXPECT_TRUE(list_->Sorted());

    list_->SetSorted(true);
    EXPECT_EQ(Lines(), (Texts{"c", "b", "a"})) << "the present value re-creates nothing";
    list_->SetSorted(false);
    EXPECT_EQ(Lines(), (Texts{"c", "b", "a"})) << "turning sorting off keeps the order";
    list_->Items().AppendLine("0");
    EXPECT_EQ(Lines(), (Texts{"c", "b", "a", "0"})) << "an unsorted list appends at the end";
    list_->SetSorted(true);
    EXPECT_EQ(Lines(), (Texts{"0", "a", "b", "c"}));
    EXPECT_EQ(list_->Items().LineData(1), 101) << "data values survive the re-creation";
}

TEST_F(ListBox, TheSelectionFollowsASwappedLine) {
    Fill({"a", "b", "c", "d", "e"});
    list_->SetItemIndex(0);
    list_->Items().SwapLines(0, 3);
    EXPECT_EQ(list_->ItemIndex(), 3);
    EXPECT_EQ(list_->Items().LineText(3), "a");

    list_->Items().SwapLines(2, 2);
    EXPECT_EQ(Lines(), (Texts{"d", "b", "c", "a", "e"}));
    EXPECT_EQ(list_->ItemIndex(), 3);

    list_->Items().SwapLines(1, 2);
    EXPECT_EQ(list_->ItemIndex(), 3) << "a swap of other lines leaves the selection where it is";

    try {
        list_->Items().SwapLines(1, 5);
        FAIL() << "an index past the end is refused";
    } catch (const EStringListError& error) {
        EXPECT_EQ(error.Message(), "リストのインデックスが範囲を超えています (5)");
    }
    EXPECT_EQ(Lines(), (Texts{"d", "c", "b", "a", "e"})) << "a refused swap changes nothing";
    EXPECT_TRUE(events_.empty()) << "swaps raise no events";
}

TEST_F(ListBox, ItemIndexFromCodeRaisesNothingAndSendsOnlyChanges) {
    list_->SetItemIndex(0);
    EXPECT_EQ(list_->ItemIndex(), -1) << "an empty list has nothing to select";

    Fill({"a", "b", "c"});
    list_->selectionRequests = 0;
    list_->SetItemIndex(1);
    list_->SetItemIndex(1);
    EXPECT_EQ(list_->selectionRequests, 1) << "the present value sends nothing";
    EXPECT_EQ(list_->ItemIndex(), 1);
    list_->SetItemIndex(-1);
    EXPECT_EQ(list_->ItemIndex(), -1);
    DispatchPending();
    EXPECT_TRUE(events_.empty());
}

TEST_F(ListBox, OnlyTheUsersActionsRaiseClickAndDoubleClick) {
    Fill({"a", "b", "c"});
    form_->Show();
    DispatchPending();
    int line = list_->ItemHeight();
    Click(list_->Handle(), 20, line + line / 2);
    DispatchPending();
    EXPECT_EQ(list_->ItemIndex(), 1);
    EXPECT_EQ(events_, (Texts{"click"}));

    events_.clear();
    DoubleClick(list_->Handle(), 20, 2 * line + line / 2);
    DispatchPending();
    EXPECT_EQ(list_->ItemIndex(), 2);
    EXPECT_EQ(events_, (Texts{"click", "dblclick"})) << "the first press's selection change, then the double click";

    events_.clear();
    PressKey(VK_UP);
    DispatchPending();
    EXPECT_EQ(list_->ItemIndex(), 1);
    EXPECT_EQ(events_, (Texts{"click"}));
}

TEST_F(ListBox, IndexErrorsLeaveTheListAsItWas) {
    Fill({"a", "b", "c", "d", "e"});
    try {
        list_->Items().LineText(5);
        FAIL() << "LineText(5) of five lines is refused";
    } catch (const EStringListError& error) {
        EXPECT_EQ(error.Message(), "リストのインデックスが範囲を超えています (5)");
    }
    EXPECT_THROW(list_->Items().LineData(-1), EStringListError);
    EXPECT_EQ(list_->Items().LineCount(), 5);

    TObject notAList;
    EXPECT_THROW(list_->Items().CopyLinesFrom(&notAList), EConvertError);
    EXPECT_THROW(list_->Items().CopyLinesFrom(nullptr), EConvertError);
    EXPECT_EQ(list_->Items().LineCount(), 5);

    TStringList empty;
    list_->SetItems(empty);
    EXPECT_EQ(list_->Items().LineCount(), 0);
}

TEST_F(ListBox, ReCreationKeepsTheSelectedPositionNotTheLine) {
    Fill({"e", "d", "c", "b", "a"});
    form_->Show();
    list_->SetFocus();
    DispatchPending();
    list_->SetItemIndex(2);
    HWND before = list_->Handle();
    list_->SetSorted(true);
    EXPECT_NE(list_->Handle(), before);
    EXPECT_EQ(Lines(), (Texts{"a", "b", "c", "d", "e"}));
    EXPECT_EQ(list_->ItemIndex(), 2);
    EXPECT_EQ(GetFocus(), list_->Handle()) << "the focus goes back to the new window";

    list_->Items().RemoveAll();
    list_->SetSorted(false);
    EXPECT_EQ(list_->Items().LineCount(), 0);
    EXPECT_EQ(list_->ItemIndex(), -1) << "an empty list saves nothing and starts without a selection";
}

TEST_F(ListBox, ALineLongerThanAFixedBufferReadsBackWhole) {
    std::string longLine(5000, 'x');
    longLine += "end";
    list_->Items().AppendLine(longLine);
    EXPECT_EQ(list_->Items().LineText(0), longLine);
}

TEST_F(ListBox, ReplaceAndMoveKeepDataAndSelection) {
    list_->SetSorted(true);
    Fill({"a", "b", "c"});
    list_->SetItemIndex(1);
    list_->Items().ReplaceLine(0, "z");
    EXPECT_EQ(Lines(), (Texts{"z", "b", "c"})) << "a replaced line keeps its index in a sorted list";
    EXPECT_EQ(list_->Items().LineData(0), 100);
    EXPECT_EQ(list_->ItemIndex(), 1);

    list_->Items().MoveLine(0, 2);
    EXPECT_EQ(Lines(), (Texts{"b", "c", "z"}));
    EXPECT_EQ(list_->Items().LineData(2), 100);
    EXPECT_EQ(list_->Items().FindLine("C"), 1);
    EXPECT_EQ(list_->Items().FindLine("x"), -1);
}

TEST_F(ListBox, OwnerDrawnLinesUseTheHighlightForTheSelectedLine) {
    list_->SetStyle(TListBoxStyle::lbOwnerDrawFixed);
    list_->SetItemHeight(14);
    list_->SetColor(clNavy);
    list_->Font().SetColor(clYellow);
    Fill({"first", "second"});
    list_->SetItemIndex(1);
    form_->Show();
    std::vector<int32_t> drawn;
    list_->OnDrawItem = [&](TObject*, int32_t index, const RECT& rect, TOwnerDrawState state) {
        drawn.push_back(index);
        EXPECT_EQ(rect.bottom - rect.top, 14);
        EXPECT_EQ((state & ODS_SELECTED) != 0, index == 1);
        list_->Canvas().FillRect(rect);
    };
    list_->Repaint();
    DispatchPending();
    EXPECT_NE(std::find(drawn.begin(), drawn.end(), 0), drawn.end());
    EXPECT_NE(std::find(drawn.begin(), drawn.end(), 1), drawn.end());
    // Client coordinates: the middle of each line, away from the focus rectangle.
    EXPECT_EQ(Pixel(list_->Handle(), 40, 7), ColorToRGB(clNavy));
    EXPECT_EQ(Pixel(list_->Handle(), 40, 14 + 7), ColorToRGB(clHighlight));
    EXPECT_EQ(list_->ItemHeight(), 14);
}

}  // namespace
