// The radio group and the check box on a real (headless) form: what code sets, what the user clicks, what a layout
// gives, and where the group puts its buttons.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/CheckBox.h"
#include "controls/RadioGroup.h"
#include "frame/Application.h"
#include "frame/Forms.h"
#include "framework/ErrorTrap.h"
#include "framework/Layout.h"
#include "framework/StdCtrls.h"
#include "platform/testing/Desktop.h"
#include "platform/testing/VirtualClock.h"
#include "runtime/Exception.h"

using namespace platform::testing;

namespace {

// Notes how many properties a layout had set and how many buttons existed after each.
class TProbeGroup : public TRadioGroup {
  public:
    using TRadioGroup::TRadioGroup;
    std::vector<int> buttonsWhileReading;
    bool ReadProperty(std::string_view name, const TLayoutValue& value, TLayoutContext& context) override {
        bool known = TRadioGroup::ReadProperty(name, value, context);
        buttonsWhileReading.push_back(ButtonCount());
        return known;
    }
};

// The settings dialog's two choices, as its layout gives them.
constexpr char kSettingsLayout[] = R"({
  "class": "TChoiceDialog", "name": "ChoiceDialog",
  "properties": { "Caption": "環境設定", "ClientWidth": 313, "ClientHeight": 239, "Color": "clBtnFace",
                  "Font": { "Charset": "SHIFTJIS_CHARSET", "Color": "clWindowText", "Height": -12,
                            "Name": "ＭＳ Ｐゴシック" } },
  "children": [
    { "class": "TProbeGroup", "name": "rgpPlayStyle",
      "properties": { "Left": 16, "Top": 24, "Width": 105, "Height": 89, "OnClick": "StyleClick", "ItemIndex": 1,
                      "Caption": "再生形態", "Items": ["ファイル名順", "１曲", "ランダム"], "Columns": 1,
                      "TabOrder": 2 } },
    { "class": "TCheckBox", "name": "cbxRepeat",
      "properties": { "Left": 144, "Top": 32, "Width": 97, "Height": 17, "OnClick": "RepeatClick",
                      "Caption": "リピートする", "AllowGrayed": true, "State": "cbGrayed",
                      "Alignment": "taLeftJustify", "TabOrder": 4 } }
  ]
})";

class TChoiceDialog : public TForm {
  public:
    TChoiceDialog(TComponent* owner, std::string_view layout) : TForm(owner) {
        ReadLayoutText(*this, layout,
                       {{"StyleClick", TNotifyEvent([this](TObject*) { ++styleClicks; })},
                        {"RepeatClick", TNotifyEvent([this](TObject*) { ++repeatClicks; })}});
    }
    int styleClicks = 0;
    int repeatClicks = 0;
};

class ChoiceControls : public ::testing::Test {
  protected:
    ChoiceControls() {
        static const bool headless = (UseHeadlessDisplay(), true);
        (void)headless;
        Application();
        RegisterComponentClass<TProbeGroup>("TProbeGroup");
        RegisterComponentClass<TCheckBox>("TCheckBox");
        form_ = new TForm(&Application());
        form_->SetBounds(40, 40, 330, 260);
        edit_ = new TEdit(form_);  // first in tab order: the form's focus starts here
        edit_->SetParent(form_);
        edit_->SetBounds(144, 120, 100, 21);
        group_ = new TRadioGroup(form_);
        group_->SetParent(form_);
        group_->SetBounds(16, 24, 105, 89);
        group_->OnClick = [this](TObject* sender) {
            EXPECT_EQ(sender, group_);
            groupClicks_.push_back(group_->ItemIndex());
        };
        box_ = new TCheckBox(form_);
        box_->SetParent(form_);
        box_->SetBounds(144, 32, 97, 17);
        box_->SetCaption("リピートする");
        box_->OnClick = [this](TObject* sender) {
            EXPECT_EQ(sender, box_);
            boxClicks_.push_back(box_->State());
        };
    }
    // The desktop stays: the application's window lives as long as the process.
    ~ChoiceControls() override { delete form_; }

    void Show() {
        form_->Show();
        DispatchPending();
    }
    void SetLines(const std::vector<std::string>& lines) {
        TStringList source;
        for (const std::string& line : lines) source.AppendLine(line);
        group_->SetItems(source);
    }
    void UserClick(TWinControl* control) {
        Click(control->Handle(), 4, control->Height() / 2);
        DispatchPending();
    }
    // Which buttons are checked, as the controls and as their windows say.
    std::string CheckedButtons() {
        std::string marks;
        for (int i = 0; i < group_->ButtonCount(); ++i) {
            TRadioButton* button = group_->Buttons(i);
            marks += button->Checked() ? 'x' : '-';
            if (button->HandleAllocated() && (SendMessageA(button->Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED) !=
                                                 button->Checked())
                marks += '!';
        }
        return marks;
    }
    // A button's window as its group's client area places it.
    static RECT PlaceInGroup(TWinControl* button) {
        RECT rect;
        GetWindowRect(button->Handle(), &rect);
        MapWindowPoints(nullptr, button->Parent()->Handle(), reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }
    static int TextHeight(TControl& control) {
        HDC dc = GetDC(nullptr);
        HGDIOBJ old = SelectObject(dc, control.Font().Handle());
        TEXTMETRICA metrics{};
        GetTextMetricsA(dc, &metrics);
        SelectObject(dc, old);
        ReleaseDC(nullptr, dc);
        return metrics.tmHeight;
    }

    VirtualClock clock_;
    TForm* form_;
    TEdit* edit_;
    TRadioGroup* group_;
    TCheckBox* box_;
    std::vector<int32_t> groupClicks_;  // ItemIndex as each OnClick saw it
    std::vector<TCheckBoxState> boxClicks_;
};

}  // namespace

TEST_F(ChoiceControls, RadioGroupClampsItemIndexAndRaisesOnClickOnlyForANewValue) {
    group_->SetItemIndex(3);
    EXPECT_EQ(group_->ItemIndex(), -1) << "a group without lines has nothing to check";
    EXPECT_TRUE(groupClicks_.empty());

    SetLines({"ファイル名順", "１曲", "ランダム"});
    Show();
    group_->SetItemIndex(5);
    EXPECT_EQ(group_->ItemIndex(), 2);
    EXPECT_EQ(CheckedButtons(), "--x");
    group_->SetItemIndex(2);
    EXPECT_EQ(groupClicks_, std::vector<int32_t>{2}) << "the present value raises nothing";
    group_->SetItemIndex(0);
    EXPECT_EQ(CheckedButtons(), "x--");
    group_->SetItemIndex(-7);
    EXPECT_EQ(group_->ItemIndex(), -1);
    EXPECT_EQ(CheckedButtons(), "---");
    EXPECT_EQ(groupClicks_, (std::vector<int32_t>{2, 0})) << "unchecking every button is not a choice";
    group_->SetItemIndex(1);
    EXPECT_EQ(groupClicks_, (std::vector<int32_t>{2, 0, 1}));
    EXPECT_TRUE(group_->Buttons(1)->TabStop()) << "only the checked button is a tab stop";
    EXPECT_FALSE(group_->Buttons(0)->TabStop());
}

TEST_F(ChoiceControls, RadioGroupRebuildsItsButtonsWhenTheLinesChange) {
    SetLines({"a", "b", "c"});
    Show();
    group_->SetItemIndex(2);
    groupClicks_.clear();

    SetLines({"one", "two"});
    EXPECT_EQ(group_->ItemIndex(), 1);
    ASSERT_EQ(group_->ButtonCount(), 2);
    EXPECT_EQ(CheckedButtons(), "-x");
    EXPECT_EQ(group_->Buttons(0)->Caption(), "one");
    EXPECT_EQ(group_->Buttons(1)->Caption(), "two");
    EXPECT_TRUE(groupClicks_.empty()) << "checking after a rebuild is the group's own doing";

    group_->Items().AppendLine("three");
    ASSERT_EQ(group_->ButtonCount(), 3);
    EXPECT_TRUE(group_->Buttons(2)->Visible());
    EXPECT_TRUE(IsWindowVisible(group_->Buttons(2)->Handle()));
    EXPECT_EQ(CheckedButtons(), "-x-");
    group_->Items().ReplaceLine(0, "first");
    EXPECT_EQ(group_->Buttons(0)->Caption(), "first");

    group_->Items().RemoveAll();
    EXPECT_EQ(group_->ItemIndex(), -1);
    EXPECT_EQ(group_->ButtonCount(), 0);
    EXPECT_EQ(group_->ControlCount(), 0);
    EXPECT_TRUE(groupClicks_.empty());
}

TEST_F(ChoiceControls, RadioGroupPlacesItsButtonsInColumns) {
    // The settings dialog's group: 105 × 89 pixels, three lines, a font whose text the platform measures 12
    // pixels high. (A cell height of 12: the dialog's own font, 12-pixel characters, measures 13 here.)
    group_->Font().SetHeight(12);
    ASSERT_EQ(TextHeight(*group_), 12);
    SetLines({"ファイル名順", "１曲", "ランダム"});
    Show();
    int tops[] = {13, 37, 61};
    for (int i = 0; i < 3; ++i) {
        RECT place = PlaceInGroup(group_->Buttons(i));
        EXPECT_EQ(place.left, 8) << i;
        EXPECT_EQ(place.top, tops[i]) << i;
        EXPECT_EQ(place.right - place.left, 95) << i;
        EXPECT_EQ(place.bottom - place.top, 24) << i;
    }

    // 185 × 105 with five lines in two columns: three rows 29 high from 13, columns 87 wide from 8.
    group_->SetBounds(16, 24, 185, 105);
    SetLines({"0", "1", "2", "3", "4"});
    group_->SetColumns(2);
    struct Place {
        int left, top;
    } expected[] = {{8, 13}, {8, 42}, {8, 71}, {95, 13}, {95, 42}};
    for (int i = 0; i < 5; ++i) {
        RECT place = PlaceInGroup(group_->Buttons(i));
        EXPECT_EQ(place.left, expected[i].left) << i;
        EXPECT_EQ(place.top, expected[i].top) << i;
        EXPECT_EQ(place.right - place.left, 87) << i;
        EXPECT_EQ(place.bottom - place.top, 29) << i;
    }

    group_->SetColumns(0);
    EXPECT_EQ(group_->Columns(), 1);
    EXPECT_EQ(PlaceInGroup(group_->Buttons(4)).left, 8) << "one column again";
    group_->SetColumns(40);
    EXPECT_EQ(group_->Columns(), 16);
    EXPECT_EQ(PlaceInGroup(group_->Buttons(4)).left, 4 * 10 + 8) << "one button per column, 10 wide";

    // A resize and a font change place them again.
    group_->SetColumns(1);
    group_->SetBounds(16, 24, 205, 105);
    EXPECT_EQ(group_->Buttons(0)->Width(), 195);
    group_->Font().SetHeight(16);
    ASSERT_EQ(TextHeight(*group_), 16);
    EXPECT_EQ(PlaceInGroup(group_->Buttons(0)).top, 19) << "below the taller caption line, with half the rest";
    EXPECT_EQ(PlaceInGroup(group_->Buttons(1)).top, 35) << "five rows of 16 in the 84 pixels left";
}

TEST_F(ChoiceControls, RadioGroupFromALayoutBuildsOnceLoadedWithoutAClick) {
    auto* dialog = new TChoiceDialog(&Application(), kSettingsLayout);
    auto* group = FindRequired<TProbeGroup>(*dialog, "rgpPlayStyle");
    auto* box = FindRequired<TCheckBox>(*dialog, "cbxRepeat");
    EXPECT_EQ(group->buttonsWhileReading, std::vector<int>(group->buttonsWhileReading.size(), 0))
        << "no button exists while the layout is read";
    EXPECT_EQ(group->Caption(), "再生形態");
    EXPECT_EQ(group->ItemIndex(), 1) << "stored before the lines were read, kept";
    ASSERT_EQ(group->ButtonCount(), 3);
    EXPECT_EQ(group->Buttons(2)->Caption(), "ランダム");
    EXPECT_TRUE(group->Buttons(1)->Checked());
    EXPECT_FALSE(group->Buttons(0)->Checked());
    EXPECT_EQ(dialog->styleClicks, 0);
    EXPECT_EQ(box->State(), TCheckBoxState::cbGrayed);
    EXPECT_TRUE(box->AllowGrayed());
    EXPECT_EQ(box->Alignment(), TLeftRight::taLeftJustify);
    EXPECT_EQ(dialog->repeatClicks, 0) << "a state read from the layout is no click";

    dialog->Show();
    DispatchPending();
    EXPECT_EQ(PlaceInGroup(group->Buttons(2)).left, 8);
    EXPECT_EQ(group->Buttons(2)->Width(), 95);
    EXPECT_EQ(SendMessageA(group->Buttons(1)->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageA(box->Handle(), BM_GETCHECK, 0, 0), BST_INDETERMINATE);
    EXPECT_TRUE(GetWindowLongA(box->Handle(), GWL_STYLE) & BS_LEFTTEXT);
    group->SetItemIndex(2);
    box->SetChecked(false);
    EXPECT_EQ(dialog->styleClicks, 1) << "the bound handlers work once loaded";
    EXPECT_EQ(dialog->repeatClicks, 1);
    delete dialog;

    // An index beyond the lines of a layout is brought among them; unknown values are refused by name.
    std::string beyond = kSettingsLayout;
    beyond.replace(beyond.find("\"ItemIndex\": 1"), 14, "\"ItemIndex\": 7");
    dialog = new TChoiceDialog(&Application(), beyond);
    EXPECT_EQ(FindRequired<TProbeGroup>(*dialog, "rgpPlayStyle")->ItemIndex(), 2);
    delete dialog;
    std::string wrong = kSettingsLayout;
    wrong.replace(wrong.find("cbGrayed"), 8, "cbMaybe!");
    EXPECT_THROW(TChoiceDialog(&Application(), wrong), EConvertError);
}

TEST_F(ChoiceControls, RadioGroupTakesTheUsersClickOnAButton) {
    SetLines({"a", "b", "c"});
    std::string typed;
    group_->OnKeyPress = [&](TObject* sender, char& key) {
        EXPECT_EQ(sender, group_);
        typed += key;
    };
    Show();
    ASSERT_TRUE(edit_->Focused());
    TRadioButton* second = group_->Buttons(1);

    MouseDown(second->Handle(), 4, 8);
    DispatchPending();
    EXPECT_TRUE(second->Focused());
    EXPECT_EQ(group_->ItemIndex(), -1) << "taking the focus by a press is no choice yet";
    MouseUp(second->Handle(), 4, 8);
    DispatchPending();
    EXPECT_EQ(group_->ItemIndex(), 1);
    EXPECT_EQ(CheckedButtons(), "-x-");
    EXPECT_EQ(groupClicks_, std::vector<int32_t>{1});

    UserClick(group_->Buttons(2));
    EXPECT_EQ(CheckedButtons(), "--x");
    UserClick(group_->Buttons(2));
    EXPECT_EQ(groupClicks_, (std::vector<int32_t>{1, 2})) << "the checked button clicked again changes nothing";
    Type("q");
    DispatchPending();
    EXPECT_EQ(typed, "q") << "keys in a button reach the group's handler";

    // Disabled, the group passes that on: its buttons take no clicks.
    group_->SetEnabled(false);
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(IsWindowEnabled(group_->Buttons(i)->Handle())) << i;
    UserClick(group_->Buttons(0));
    EXPECT_EQ(group_->ItemIndex(), 2);
    group_->Items().AppendLine("d");
    EXPECT_FALSE(group_->Buttons(3)->Enabled()) << "a new button starts as the group is";
    group_->SetEnabled(true);
    UserClick(group_->Buttons(3));
    EXPECT_EQ(CheckedButtons(), "---x");
}

TEST_F(ChoiceControls, APressThatLeavesTheFocusElsewhereIsDropped) {
    SetLines({"a", "b"});
    Show();
    ASSERT_TRUE(edit_->Focused());
    edit_->OnExit = [this](TObject*) { edit_->SetFocus(); };
    UserClick(group_->Buttons(0));
    UserClick(box_);
    EXPECT_TRUE(edit_->Focused());
    EXPECT_EQ(group_->ItemIndex(), -1);
    EXPECT_FALSE(box_->Checked());
    EXPECT_TRUE(groupClicks_.empty());
    EXPECT_TRUE(boxClicks_.empty());

    edit_->OnExit = nullptr;
    UserClick(group_->Buttons(0));
    EXPECT_EQ(groupClicks_, std::vector<int32_t>{0});
}

TEST_F(ChoiceControls, RadioGroupSurvivesItsOwnClickHandlerRemovingTheButton) {
    SetLines({"a", "b", "c"});
    Show();
    group_->OnClick = [this](TObject*) {
        if (group_->ItemIndex() == 2) SetLines({"only"});
    };
    UserClick(group_->Buttons(2));
    EXPECT_EQ(group_->ItemIndex(), 0);
    ASSERT_EQ(group_->ButtonCount(), 1);
    EXPECT_EQ(CheckedButtons(), "x");
    DispatchPending();
    EXPECT_EQ(group_->ControlCount(), 1) << "the clicked button is freed once its messages are done";
}

TEST_F(ChoiceControls, AnErrorInAClickGoesToTheErrorDisplayFromTheButton) {
    SetLines({"a", "b"});
    Show();
    std::vector<std::string> shown;
    SetErrorDisplay([&](TObject* sender) {
        EXPECT_EQ(sender, group_->Buttons(0));
        try {
            throw;
        } catch (const Exception& error) {
            shown.push_back(error.Message());
        }
    });
    group_->OnClick = [](TObject*) { throw Exception("選択できません"); };
    UserClick(group_->Buttons(0));
    group_->OnClick = [this](TObject*) { groupClicks_.push_back(group_->ItemIndex()); };
    UserClick(group_->Buttons(1));
    SetErrorDisplay([](TObject* sender) { Application().ReportException(sender); });
    EXPECT_EQ(shown, std::vector<std::string>{"選択できません"});
    EXPECT_EQ(groupClicks_, std::vector<int32_t>{1}) << "the next click is taken as usual";
}

TEST_F(ChoiceControls, CheckBoxStateRaisesOnClickOnlyWhenItChanges) {
    EXPECT_EQ(box_->State(), TCheckBoxState::cbUnchecked);
    EXPECT_TRUE(box_->TabStop());
    EXPECT_EQ(box_->Alignment(), TLeftRight::taRightJustify);
    box_->SetChecked(true);
    box_->SetChecked(true);
    EXPECT_EQ(boxClicks_, std::vector<TCheckBoxState>{TCheckBoxState::cbChecked});

    Show();
    EXPECT_EQ(SendMessageA(box_->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED) << "a new window is given the state";
    box_->SetState(TCheckBoxState::cbGrayed);
    EXPECT_FALSE(box_->Checked());
    EXPECT_EQ(SendMessageA(box_->Handle(), BM_GETCHECK, 0, 0), BST_INDETERMINATE);
    box_->SetChecked(true);
    EXPECT_EQ(box_->State(), TCheckBoxState::cbChecked);
    EXPECT_EQ(boxClicks_, (std::vector<TCheckBoxState>{TCheckBoxState::cbChecked, TCheckBoxState::cbGrayed,
                                                       TCheckBoxState::cbChecked}));

    // The caption side is a window style: a change makes the window again, with its state.
    HWND before = box_->Handle();
    box_->SetAlignment(TLeftRight::taLeftJustify);
    EXPECT_NE(box_->Handle(), before);
    LONG style = GetWindowLongA(box_->Handle(), GWL_STYLE);
    EXPECT_EQ(style & BS_TYPEMASK, BS_3STATE);
    EXPECT_TRUE(style & BS_LEFTTEXT);
    EXPECT_EQ(SendMessageA(box_->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    before = box_->Handle();
    box_->SetAlignment(TLeftRight::taLeftJustify);
    EXPECT_EQ(box_->Handle(), before);
    EXPECT_FALSE(GetClassLongPtrA(box_->Handle(), GCL_STYLE) & (CS_HREDRAW | CS_VREDRAW));
    EXPECT_TRUE(GetClassLongPtrA(box_->Handle(), GCL_STYLE) & CS_DBLCLKS);
}

TEST_F(ChoiceControls, CheckBoxClicksStepThroughItsStates) {
    Show();
    UserClick(box_);
    EXPECT_TRUE(box_->Focused());
    EXPECT_TRUE(box_->Checked()) << "the press that focuses the box still counts as its click";
    UserClick(box_);
    EXPECT_EQ(box_->State(), TCheckBoxState::cbUnchecked);
    EXPECT_EQ(boxClicks_, (std::vector<TCheckBoxState>{TCheckBoxState::cbChecked, TCheckBoxState::cbUnchecked}));

    box_->SetAllowGrayed(true);
    boxClicks_.clear();
    for (int i = 0; i < 3; ++i) UserClick(box_);
    EXPECT_EQ(boxClicks_, (std::vector<TCheckBoxState>{TCheckBoxState::cbGrayed, TCheckBoxState::cbChecked,
                                                       TCheckBoxState::cbUnchecked}));
    PressKey(VK_SPACE);
    DispatchPending();
    EXPECT_EQ(SendMessageA(box_->Handle(), BM_GETCHECK, 0, 0), BST_INDETERMINATE) << "Space clicks it as well";

    // Its accelerator focuses and toggles it.
    box_->SetCaption("&Repeat");
    edit_->SetFocus();
    EXPECT_EQ(box_->Perform(CM_DIALOGCHAR, 'x', 0), 0);
    EXPECT_EQ(box_->State(), TCheckBoxState::cbGrayed);
    EXPECT_EQ(box_->Perform(CM_DIALOGCHAR, 'r', 0), 1);
    EXPECT_TRUE(box_->Focused());
    EXPECT_EQ(box_->State(), TCheckBoxState::cbChecked);
    EXPECT_FALSE(IsAccelerator('&', "Rock && Roll")) << "a doubled ampersand is a plain one";
    EXPECT_TRUE(IsAccelerator('O', "Rock && R&oll"));
}
