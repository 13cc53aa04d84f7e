// The settings dialog on the headless display: its layout, and what the user's choices read back as after each way
// of closing it.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/DlgSetEnv.h"
#include "frame/Application.h"
#include "platform/testing/Desktop.h"
#include "platform/testing/VirtualClock.h"

using namespace platform::testing;

namespace {

// What the main window puts into the dialog before showing it.
struct TSettings {
    int32_t playStyle = 0;
    bool repeat = false;
    std::string mask = "*.mid";
};

// What the dialog's controls hold once it has closed.
struct TOutcome {
    TModalResult result = mrNone;
    int32_t itemIndex = -1;
    bool repeat = false;
    std::string mask;
};

class DlgSetEnvTest : public ::testing::Test {
  protected:
    DlgSetEnvTest() {
        static const bool headless = (UseHeadlessDisplay(), true);
        (void)headless;
        Application();
    }

    // Fills a new dialog as the main window does, shows it modally, runs `steps` one per 20 ms from inside its loop,
    // and destroys it.
    TOutcome Run(const TSettings& settings, std::vector<std::function<void(TdlgSetEnv&)>> steps) {
        auto* dialog = new TdlgSetEnv(&Application());
        EXPECT_EQ(dlgSetEnv, dialog);
        dialog->rgpPlayStyle->SetItemIndex(settings.playStyle);
        dialog->cbxRepeat->SetChecked(settings.repeat);
        dialog->edtFileMask->SetText(settings.mask);
        static std::vector<std::function<void(TdlgSetEnv&)>>* pending = nullptr;
        static TdlgSetEnv* current = nullptr;
        static size_t next = 0;
        pending = &steps;
        current = dialog;
        next = 0;
        UINT_PTR timer = SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR, DWORD) {
            if (next < pending->size()) (*pending)[next++](*current);
        });
        TOutcome outcome;
        outcome.result = dialog->RunModal();
        KillTimer(nullptr, timer);
        EXPECT_EQ(next, steps.size()) << "the dialog closed before its steps were done";
        outcome.itemIndex = dialog->rgpPlayStyle->ItemIndex();
        outcome.repeat = dialog->cbxRepeat->Checked();
        outcome.mask = dialog->edtFileMask->Text();
        delete dialog;
        EXPECT_EQ(dlgSetEnv, nullptr);
        return outcome;
    }

    VirtualClock clock_;
};

RECT BoundsOf(const TControl& control) {
    return {control.Left(), control.Top(), control.Left() + control.Width(), control.Top() + control.Height()};
}

void ExpectBounds(const TControl& control, int left, int top, int width, int height) {
    EXPECT_EQ(control.Left(), left) << control.Name();
    EXPECT_EQ(control.Top(), top) << control.Name();
    EXPECT_EQ(control.Width(), width) << control.Name();
    EXPECT_EQ(control.Height(), height) << control.Name();
}

bool HasDarkPixels(HWND window, RECT area) {
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) {
            COLORREF c = Pixel(window, x, y);
            if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 200) return true;
        }
    return false;
}

// A click in the middle of a windowed control, as the user makes it.
void ClickOn(TWinControl& control) { Click(control.Handle(), control.Width() / 2, control.Height() / 2); }

// Checked while the dialog is shown, when every control has been placed and painted.
void ExpectTheLayout(TdlgSetEnv& dialog) {
    RECT client{}, window{};
    GetClientRect(dialog.Handle(), &client);
    GetWindowRect(dialog.Handle(), &window);
    EXPECT_EQ(client.right, 313);
    EXPECT_EQ(client.bottom, 239);
    EXPECT_EQ(window.left, (GetSystemMetrics(SM_CXSCREEN) - (window.right - window.left)) / 2);
    EXPECT_EQ(window.top, (GetSystemMetrics(SM_CYSCREEN) - (window.bottom - window.top)) / 2);
    LONG style = GetWindowLongA(dialog.Handle(), GWL_STYLE);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
    char caption[64] = {};
    GetWindowTextA(dialog.Handle(), caption, sizeof caption);
    EXPECT_STREQ(caption, "環境設定");
    EXPECT_EQ(dialog.Color(), clBtnFace);
    EXPECT_EQ(dialog.Font().Name(), "ＭＳ Ｐゴシック");
    EXPECT_EQ(dialog.Font().Height(), -12);

    ExpectBounds(*dialog.Bevel1, 8, 8, 297, 185);
    ExpectBounds(*dialog.rgpPlayStyle, 16, 24, 105, 89);
    ExpectBounds(*dialog.cbxRepeat, 144, 32, 97, 17);
    ExpectBounds(*dialog.pnlFileMask, 16, 128, 281, 57);
    // The label sizes itself to its text, whose height the platform reports as 13.
    EXPECT_EQ(dialog.lblFileMask->Left(), 8);
    EXPECT_EQ(dialog.lblFileMask->Top(), 8);
    EXPECT_NEAR(dialog.lblFileMask->Width(), 73, 1);
    EXPECT_NEAR(dialog.lblFileMask->Height(), 12, 1);
    ExpectBounds(*dialog.edtFileMask, 8, 24, 265, 20);
    ExpectBounds(*dialog.OKBtn, 79, 204, 75, 25);
    ExpectBounds(*dialog.CancelBtn, 159, 204, 75, 25);
    EXPECT_EQ(dialog.lblFileMask->Parent(), dialog.pnlFileMask);
    EXPECT_EQ(dialog.edtFileMask->Parent(), dialog.pnlFileMask);

    EXPECT_EQ(dialog.rgpPlayStyle->Text(), "再生形態");
    EXPECT_EQ(dialog.cbxRepeat->Text(), "リピートする");
    EXPECT_EQ(dialog.lblFileMask->Text(), "ファイルマスク");
    EXPECT_EQ(dialog.OKBtn->Text(), "OK");
    EXPECT_EQ(dialog.CancelBtn->Text(), "キャンセル");
    const char* styles[] = {"ファイル名順", "１曲", "ランダム"};
    ASSERT_EQ(dialog.rgpPlayStyle->ButtonCount(), 3);
    for (int i = 0; i < 3; ++i) {
        TRadioButton& button = *dialog.rgpPlayStyle->Buttons(i);
        EXPECT_EQ(button.Text(), styles[i]);
        // The platform's text height of this font is 13, so each button is 23 high.
        ExpectBounds(button, 8, 15 + 23 * i, 95, 23);
        EXPECT_TRUE(button.Visible());
        EXPECT_TRUE(HasDarkPixels(button.Handle(), {16, 4, 60, 19})) << styles[i];
    }

    HWND form = dialog.Handle();
    EXPECT_TRUE(HasDarkPixels(dialog.pnlFileMask->Handle(), BoundsOf(*dialog.lblFileMask)));
    EXPECT_TRUE(HasDarkPixels(dialog.cbxRepeat->Handle(), {20, 2, 80, 15}));
    // The bevel's sunken frame: a shadow line along its top edge.
    EXPECT_EQ(Pixel(form, 150, 8), RGB(128, 128, 128));
    EXPECT_EQ(Pixel(form, 150, 100), RGB(192, 192, 192));
    EXPECT_TRUE(WriteScreenshot(form, "settings-dialog-headless.png"));
}

}  // namespace

TEST_F(DlgSetEnvTest, ItShowsCentredWithTheSettingsLaidOut) {
    EXPECT_EQ(Run({}, {ExpectTheLayout, [](TdlgSetEnv&) { PressKey(VK_ESCAPE); }}).result, mrCancel);
}

TEST_F(DlgSetEnvTest, OKButtonConfirmsWhatTheUserChose) {
    TOutcome outcome = Run({0, false, "*.mid"}, {[](TdlgSetEnv& dialog) { ClickOn(*dialog.rgpPlayStyle->Buttons(2)); },
                                                 [](TdlgSetEnv& dialog) { ClickOn(*dialog.cbxRepeat); },
                                                 [](TdlgSetEnv& dialog) { ClickOn(*dialog.edtFileMask); },
                                                 [](TdlgSetEnv&) {
                                                     PressKey(VK_END);
                                                     Type(";*.wav");
                                                 },
                                                 [](TdlgSetEnv& dialog) { ClickOn(*dialog.OKBtn); }});
    EXPECT_EQ(outcome.result, mrOk);
    EXPECT_EQ(outcome.itemIndex, 2);
    EXPECT_TRUE(outcome.repeat);
    EXPECT_EQ(outcome.mask, "*.mid;*.wav");
}

TEST_F(DlgSetEnvTest, EnterConfirmsFromAnyControl) {
    // Enter typed in the mask, after the style and the repeat switch were changed.
    TOutcome fromMask =
        Run({2, true, "*.mid;*.rmi"}, {[](TdlgSetEnv& dialog) { ClickOn(*dialog.rgpPlayStyle->Buttons(1)); },
                                       [](TdlgSetEnv& dialog) { ClickOn(*dialog.cbxRepeat); },
                                       [](TdlgSetEnv& dialog) { dialog.edtFileMask->SetFocus(); },
                                       [](TdlgSetEnv&) {
                                           Type("*.wav");  // the mask's text was selected when it took the focus
                                           PressKey(VK_RETURN);
                                       }});
    EXPECT_EQ(fromMask.result, mrOk);
    EXPECT_EQ(fromMask.itemIndex, 1);
    EXPECT_FALSE(fromMask.repeat);
    EXPECT_EQ(fromMask.mask, "*.wav");

    // Enter right after opening, on the focused OK button: nothing changed.
    TOutcome untouched = Run({1, true, "*.mid"}, {[](TdlgSetEnv&) { PressKey(VK_RETURN); }});
    EXPECT_EQ(untouched.result, mrOk);
    EXPECT_EQ(untouched.itemIndex, 1);
    EXPECT_TRUE(untouched.repeat);
    EXPECT_EQ(untouched.mask, "*.mid");
}

TEST_F(DlgSetEnvTest, CancelEscapeAndTheCloseBoxAllGiveCancel) {
    auto changeStyle = [](TdlgSetEnv& dialog) { ClickOn(*dialog.rgpPlayStyle->Buttons(2)); };
    EXPECT_EQ(Run({}, {changeStyle, [](TdlgSetEnv& dialog) { ClickOn(*dialog.CancelBtn); }}).result, mrCancel);
    EXPECT_EQ(Run({}, {changeStyle, [](TdlgSetEnv&) { PressKey(VK_ESCAPE); }}).result, mrCancel);
    EXPECT_EQ(
        Run({}, {[](TdlgSetEnv& dialog) { dialog.edtFileMask->SetFocus(); }, [](TdlgSetEnv&) { PressKey(VK_ESCAPE); }})
            .result,
        mrCancel);
    EXPECT_EQ(Run({}, {changeStyle, [](TdlgSetEnv& dialog) { CloseBox(dialog.Handle()); }}).result, mrCancel);
}

TEST_F(DlgSetEnvTest, TabVisitsOKCancelStyleMaskAndRepeat) {
    std::vector<std::string> visited;
    auto note = [&](TdlgSetEnv& dialog) {
        TWinControl* controls[] = {dialog.OKBtn,
                                   dialog.CancelBtn,
                                   dialog.rgpPlayStyle->Buttons(0),
                                   dialog.rgpPlayStyle->Buttons(1),
                                   dialog.rgpPlayStyle->Buttons(2),
                                   dialog.edtFileMask,
                                   dialog.cbxRepeat};
        std::string name = "?";
        for (TWinControl* control : controls)
            if (control->Focused()) name = control->Text();
        visited.push_back(name);
    };
    auto tab = [](TdlgSetEnv&) { PressKey(VK_TAB); };
    std::vector<std::function<void(TdlgSetEnv&)>> steps{note};
    for (int i = 0; i < 5; ++i) {
        steps.push_back(tab);
        steps.push_back(note);
    }
    steps.push_back([](TdlgSetEnv&) { PressKey(VK_ESCAPE); });
    Run({1, false, "*.mid"}, steps);
    // Only the checked radio button is a tab stop; the edit shows as the mask it holds.
    EXPECT_EQ(visited, (std::vector<std::string>{"OK", "キャンセル", "１曲", "*.mid", "リピートする", "OK"}));
}

TEST_F(DlgSetEnvTest, AStoredStyleBeyondRandomShowsRandom) {
    bool randomChecked = false;
    TOutcome outcome = Run({3, false, "*.mid"}, {[&](TdlgSetEnv& dialog) {
                                                     randomChecked = dialog.rgpPlayStyle->Buttons(2)->Checked() &&
                                                                     !dialog.rgpPlayStyle->Buttons(0)->Checked() &&
                                                                     !dialog.rgpPlayStyle->Buttons(1)->Checked();
                                                 },
                                                 [](TdlgSetEnv&) { PressKey(VK_RETURN); }});
    EXPECT_TRUE(randomChecked);
    EXPECT_EQ(outcome.result, mrOk);
    EXPECT_EQ(outcome.itemIndex, 2);
}
