// The combo box on real (headless) windows: Items are the window's lines with their data values, a new line height
// makes the window again with the lines kept, and a choice by the user sets the text, clicks and changes, in
// that order, while a program's changes raise nothing.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/ComboBox.h"
#include "frame/Application.h"
#include "frame/Forms.h"
#include "platform/testing/Desktop.h"
#include "platform/testing/VirtualClock.h"
#include "runtime/Exception.h"

using namespace platform::testing;

namespace {

// Counts the selection requests that reach the window.
class TCountingComboBox : public TCustomComboBox {
  public:
    using TCustomComboBox::TCustomComboBox;
    int selectionRequests = 0;
    void WndProc(TMessage& message) override {
        if (message.Msg == CB_SETCURSEL) ++selectionRequests;
        TCustomComboBox::WndProc(message);
    }
};

class ComboBox : public ::testing::Test {
  protected:
    ComboBox() {
        static const bool headless = (UseHeadlessDisplay(), true);
        (void)headless;
        Application();
        form_ = new TForm(&Application());
        form_->SetBounds(50, 50, 300, 300);
        combo_ = new TCountingComboBox(form_);
        combo_->SetParent(form_);
        combo_->SetBounds(10, 10, 200, 25);
        combo_->OnClick = [this](TObject*) { events_.push_back("click " + combo_->Text()); };
        combo_->OnChange = [this](TObject*) { events_.push_back("change " + combo_->Text()); };
        combo_->OnDropDown = [this](TObject*) { events_.push_back("dropdown"); };
        for (const char* line : {"a:", "c: [system]", "d: []"})
            combo_->Items().AppendLineData(line, static_cast<TLineData>(combo_->Items().LineCount() + 100));
    }
    // The desktop stays: the application's window lives as long as the process.
    ~ComboBox() override { delete form_; }

    VirtualClock clock_;
    TForm* form_;
    TCountingComboBox* combo_;
    std::vector<std::string> events_;
};

}  // namespace

TEST_F(ComboBox, LinesAndSelectionOutliveANewLineHeight) {
    EXPECT_EQ(combo_->Items().LineCount(), 3);
    EXPECT_EQ(combo_->Items().LineData(1), 101);
    EXPECT_THROW(combo_->Items().LineData(3), EStringListError);
    EXPECT_EQ(combo_->ItemIndex(), -1);

    combo_->SetItemIndex(2);
    combo_->SetItemIndex(2);
    EXPECT_EQ(combo_->selectionRequests, 1) << "the present index sends nothing";
    EXPECT_EQ(combo_->Text(), "d: []");

    HWND before = combo_->Handle();
    combo_->SetItemHeight(30);
    EXPECT_NE(combo_->Handle(), before);
    EXPECT_EQ(SendMessageA(combo_->Handle(), CB_GETITEMHEIGHT, 0, 0), 30);
    EXPECT_EQ(SendMessageA(combo_->Handle(), CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0), 30);
    EXPECT_EQ(combo_->Items().LineText(1), "c: [system]");
    EXPECT_EQ(combo_->Items().LineData(2), 102);
    EXPECT_EQ(combo_->ItemIndex(), 2);

    before = combo_->Handle();
    combo_->SetItemHeight(30);
    combo_->SetItemHeight(0);
    EXPECT_EQ(combo_->Handle(), before) << "the present height and a height of 0 change nothing";

    combo_->Items().RemoveAll();
    EXPECT_EQ(combo_->Items().LineCount(), 0);
    EXPECT_EQ(combo_->ItemIndex(), -1);
    EXPECT_EQ(combo_->Text(), "");
    DispatchPending();
    EXPECT_TRUE(events_.empty()) << "a program's changes raise no events";
}

TEST_F(ComboBox, TheUsersChoiceSetsTheTextThenClicksThenChanges) {
    combo_->SetItemIndex(0);
    form_->Show();
    DispatchPending();
    combo_->SetFocus();
    PressKey(VK_DOWN);  // on the closed field the arrow keys choose at once
    DispatchPending();
    EXPECT_EQ(events_, (std::vector<std::string>{"click c: [system]", "change c: [system]"}));

    events_.clear();
    Click(combo_->Handle(), 20, 8);
    DispatchPending();
    EXPECT_TRUE(combo_->DroppedDown());
    EXPECT_EQ(events_, (std::vector<std::string>{"dropdown"}));
    PressKey(VK_ESCAPE);
    DispatchPending();
    EXPECT_FALSE(combo_->DroppedDown());
    EXPECT_EQ(events_, (std::vector<std::string>{"dropdown"})) << "a list closed without a choice changes nothing";
}
