// Forms: modal runs and their results, the dialog keys, key preview, focus and the enter and exit events.

#include <string>

#include "frame/Forms.h"
#include "framework/Layout.h"
#include "framework/StdCtrls.h"
#include "runtime/Exception.h"
#include "tests/frame/FrameFixture.h"

using namespace platform::testing;

namespace {

constexpr char kDialogLayout[] = R"({
  "class": "TTestDialog", "name": "TestDialog",
  "properties": { "BorderStyle": "bsDialog", "Caption": "設定", "ClientWidth": 240, "ClientHeight": 120,
                  "Position": "poScreenCenter", "OnActivate": "Activated", "OnDeactivate": "Deactivated",
                  "OnClose": "Closed" },
  "children": [
    { "class": "TEdit", "name": "MaskEdit",
      "properties": { "Left": 8, "Top": 8, "Width": 120, "Height": 21, "Text": "*.mp3", "TabOrder": 0,
                      "OnEnter": "Entered", "OnExit": "Exited" } },
    { "class": "TEdit", "name": "OtherEdit",
      "properties": { "Left": 8, "Top": 40, "Width": 120, "Height": 21, "TabOrder": 1 } },
    { "class": "TButton", "name": "OKButton",
      "properties": { "Left": 80, "Top": 88, "Width": 75, "Height": 25, "Caption": "OK", "Default": true,
                      "ModalResult": 1, "TabOrder": 2 } },
    { "class": "TButton", "name": "CancelButton",
      "properties": { "Left": 160, "Top": 88, "Width": 75, "Height": 25, "Caption": "キャンセル", "Cancel": true,
                      "ModalResult": 2, "TabOrder": 3 } }
  ]
})";

class TTestDialog : public TForm {
  public:
    explicit TTestDialog(TComponent* owner) : TForm(owner) {
        ReadLayoutText(*this, kDialogLayout,
                       {{"Activated", TNotifyEvent([this](TObject*) { ++activated; })},
                        {"Deactivated", TNotifyEvent([this](TObject*) { ++deactivated; })},
                        {"Closed", TCloseEvent([this](TObject*, TCloseAction&) { ++closed; })},
                        {"Entered", TNotifyEvent([this](TObject*) { trail += "enter "; })},
                        {"Exited", TNotifyEvent([this](TObject*) { trail += "exit "; })}});
        maskEdit = FindRequired<TEdit>(*this, "MaskEdit");
        otherEdit = FindRequired<TEdit>(*this, "OtherEdit");
        okButton = FindRequired<TButton>(*this, "OKButton");
        cancelButton = FindRequired<TButton>(*this, "CancelButton");
    }

    TEdit* maskEdit;
    TEdit* otherEdit;
    TButton* okButton;
    TButton* cancelButton;
    int activated = 0;
    int deactivated = 0;
    int closed = 0;
    std::string trail;
};

void AltF4() {
    KeyDown(VK_MENU);
    PressKey(VK_F4);
    KeyUp(VK_MENU);
}

}  // namespace

TEST_F(FrameTest, RunModalEndsWithTheResultOfEachWayOut) {
    struct Case {
        const char* way;
        std::function<void(TTestDialog&)> act;
        TModalResult expected;
    };
    const Case cases[] = {
        {"OK clicked", [](TTestDialog& d) { Click(d.okButton->Handle(), 10, 10); }, mrOk},
        {"Cancel clicked", [](TTestDialog& d) { Click(d.cancelButton->Handle(), 10, 10); }, mrCancel},
        {"Escape", [](TTestDialog&) { PressKey(VK_ESCAPE); }, mrCancel},
        {"Enter in the edit box", [](TTestDialog&) { PressKey(VK_RETURN); }, mrOk},
        {"close box", [](TTestDialog& d) { CloseBox(d.Handle()); }, mrCancel},
        {"Alt+F4", [](TTestDialog&) { AltF4(); }, mrCancel},
        {"ModalResult set by the program", [](TTestDialog& d) { d.SetModalResult(7); }, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.way);
        auto* dialog = new TTestDialog(&Application());
        bool editFocused = false;
        Script script({[&] { editFocused = dialog->maskEdit->Focused(); }, [&] { c.act(*dialog); }});
        EXPECT_EQ(dialog->RunModal(), c.expected);
        EXPECT_TRUE(editFocused) << "the first control in tab order takes the focus";
        EXPECT_FALSE(dialog->Visible());
        EXPECT_EQ(dialog->activated, 1);
        EXPECT_EQ(dialog->deactivated, 1);
        EXPECT_EQ(dialog->closed, 1);
        EXPECT_EQ(dialog->maskEdit->Text(), "*.mp3") << "a closed dialog keeps its values for the caller";
        delete dialog;
    }
}

TEST_F(FrameTest, TabAndArrowsMoveTheFocusAndEnterClicksTheFocusedButton) {
    auto* dialog = new TTestDialog(&Application());
    std::string focusOrder;
    auto note = [&] {
        TWinControl* focused = TWinControl::FindControl(GetFocus());
        focusOrder += focused ? focused->Name() + " " : "? ";
    };
    auto tab = [] { PressKey(VK_TAB); };
    Script script({note, tab, note, tab, note,
                   [] {
                       KeyDown(VK_SHIFT);
                       PressKey(VK_TAB);
                       KeyUp(VK_SHIFT);
                   },
                   note, [] { PressKey(VK_DOWN); }, note, tab, note, [] { PressKey(VK_RIGHT); }, note,
                   // The focused Cancel button is the active one now: Enter clicks it, not the default button.
                   [] { PressKey(VK_RETURN); }});
    EXPECT_EQ(dialog->RunModal(), mrCancel);
    // The edit box wants the arrows itself, so Down there moves nothing; on a button Right moves to the next.
    EXPECT_EQ(focusOrder, "MaskEdit OtherEdit OKButton OtherEdit OtherEdit OKButton CancelButton ");
    EXPECT_EQ(dialog->trail, "enter exit ");
    delete dialog;
}

TEST_F(FrameTest, TheDefaultButtonIsActiveUntilAnotherButtonTakesTheFocus) {
    auto* dialog = new TTestDialog(&Application());
    bool okActiveAtStart = false, okActiveOnCancel = true, cancelActive = false;
    Script script({[&] { okActiveAtStart = dialog->okButton->Active(); },
                   [&] { dialog->cancelButton->SetFocus(); },
                   [&] {
                       okActiveOnCancel = dialog->okButton->Active();
                       cancelActive = dialog->cancelButton->Active();
                   },
                   [&] { dialog->otherEdit->SetFocus(); },
                   // Escape with Shift held is not a dialog key for the buttons.
                   [] {
                       KeyDown(VK_SHIFT);
                       PressKey(VK_ESCAPE);
                       KeyUp(VK_SHIFT);
                   },
                   [&] { PressKey(VK_RETURN); }});
    EXPECT_EQ(dialog->RunModal(), mrOk);
    EXPECT_TRUE(okActiveAtStart);
    EXPECT_FALSE(okActiveOnCancel);
    EXPECT_TRUE(cancelActive);
    EXPECT_TRUE(dialog->okButton->Active()) << "back to the default button once an edit box has the focus";
    delete dialog;
}

TEST_F(FrameTest, RunModalRefusesAFormThatIsAlreadyShowing) {
    auto* dialog = new TTestDialog(&Application());
    dialog->Show();
    try {
        dialog->RunModal();
        ADD_FAILURE() << "RunModal on a visible form went ahead";
    } catch (const EInvalidOperation& error) {
        EXPECT_EQ(error.Message(), "表示されているウィンドウをモーダルにすることはできません");
    }
    EXPECT_FALSE(dialog->Modal());
    delete dialog;
}

TEST_F(FrameTest, ShowingAFormFromItsOwnOnShowRaises) {
    auto* dialog = new TTestDialog(&Application());
    std::string message;
    dialog->OnShow = [&](TObject*) {
        try {
            dialog->Hide();
        } catch (const EInvalidOperation& error) {
            message = error.Message();
        }
    };
    dialog->Show();
    EXPECT_EQ(message, "OnShow/OnHide イベントの処理中は表示状態の変更はできません");
    EXPECT_TRUE(dialog->Visible());
    delete dialog;
}

TEST_F(FrameTest, AnErrorInOnCloseKeepsTheDialogOpenAndIsShown) {
    auto* dialog = new TTestDialog(&Application());
    int attempts = 0;
    dialog->OnClose = [&](TObject*, TCloseAction&) {
        if (++attempts == 1) throw Exception(std::string("閉じられません"));
    };
    std::optional<std::string> shown;
    Script script({[&] { Click(dialog->okButton->Handle(), 10, 10); },
                   [&] {
                       shown = ActiveMessageBoxText();
                       PressKey(VK_RETURN);  // answers the error box
                   },
                   [&] { EXPECT_TRUE(dialog->Visible()); },
                   [&] { Click(dialog->okButton->Handle(), 10, 10); }});
    EXPECT_EQ(dialog->RunModal(), mrOk);
    EXPECT_EQ(attempts, 2);
    EXPECT_EQ(shown, "閉じられません.");
    delete dialog;
}

TEST_F(FrameTest, KeyPreviewDecidesWhetherTheFormSeesCharactersFirst) {
    auto* dialog = new TTestDialog(&Application());
    std::string formKeys, editKeys;
    dialog->OnKeyPress = [&](TObject*, char& key) {
        formKeys += key;
        if (key == 'x') key = 0;  // the form swallows x
    };
    dialog->maskEdit->OnKeyPress = [&](TObject*, char& key) { editKeys += key; };
    Script script({[] { PressKey(VK_END); }, [] { Type("ab"); }, [&] { dialog->SetKeyPreview(true); },
                   [] { Type("xy"); }, [] { PressKey(VK_RETURN); }});
    EXPECT_EQ(dialog->RunModal(), mrOk);
    EXPECT_EQ(formKeys, "xy");
    EXPECT_EQ(editKeys, "aby");
    EXPECT_EQ(dialog->maskEdit->Text(), "*.mp3aby");
    delete dialog;
}

TEST_F(FrameTest, ReleaseLaterDestroysTheFormAfterTheHandlerReturns) {
    auto* dialog = new TTestDialog(&Application());
    TComponentWatch watch(dialog);
    dialog->OnClose = [](TObject*, TCloseAction& action) { action = TCloseAction::CloseFree; };
    dialog->Show();
    const HWND handle = dialog->Handle();
    // The close is handled in full, and the form and its window are still there when the handling returns.
    SendMessageA(handle, WM_CLOSE, 0, 0);
    EXPECT_FALSE(watch.Destroyed());
    EXPECT_TRUE(IsWindow(handle));
    DispatchPending();
    EXPECT_TRUE(watch.Destroyed());
    EXPECT_FALSE(IsWindow(handle));
}
