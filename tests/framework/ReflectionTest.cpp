// What a parent window hears about a child (commands, owner drawing and measuring, scrolling, colours) reaches the
// child control that caused it as a CN_* notification, whichever container it sits in; what concerns no control of
// the framework stays with the parent.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework/ExtCtrls.h"
#include "framework/StdCtrls.h"
#include "tests/framework/FormFixture.h"

using namespace platform::testing;

namespace {

// A windowed control over one of the platform's own classes that notes each notification passed on to it.
class TNotedControl : public TWinControl {
  public:
    explicit TNotedControl(TComponent* owner) : TWinControl(owner) {}
    void Use(const char* className, DWORD style) {
        className_ = className;
        style_ = style;
    }

    std::vector<std::string> notes;
    HWND drawnWindow = nullptr;

    void WndProc(TMessage& message) override {
        switch (message.Msg) {
            case CN_COMMAND: notes.push_back("command " + std::to_string(HIWORD(message.WParam))); return;
            case CN_DRAWITEM: {
                const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(message.LParam);
                notes.push_back("draw " + std::to_string(static_cast<int>(item->itemID)));
                drawnWindow = item->hwndItem;
                message.Result = TRUE;
                return;
            }
            case CN_MEASUREITEM: {
                // Asked while the window is still being made, before it is bound to this control.
                reinterpret_cast<MEASUREITEMSTRUCT*>(message.LParam)->itemHeight = 23;
                notes.push_back(HandleAllocated() ? "measure" : "measure while made");
                message.Result = TRUE;
                return;
            }
            case CN_HSCROLL: notes.push_back("hscroll " + std::to_string(LOWORD(message.WParam))); return;
            case CN_VSCROLL: notes.push_back("vscroll " + std::to_string(LOWORD(message.WParam))); return;
            default: break;
        }
        TWinControl::WndProc(message);
    }

  protected:
    void CreateParams(TCreateParams& params) override {
        TWinControl::CreateParams(params);
        params.className = className_;
        params.builtInClass = true;
        params.style |= style_;
    }

  private:
    std::string className_ = "BUTTON";
    DWORD style_ = 0;
};

}  // namespace

class Reflection : public Controls {};

TEST_F(Reflection, CommandsDrawingMeasuringAndScrollingReachTheChildThatCausedThem) {
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_BAR_CLASSES};
    InitCommonControlsEx(&classes);
    // Inside a panel, so that the panel is the parent window that hears of them first.
    auto* panel = Place<TPanel>(form_, "panel", 10, 10, 300, 200);
    auto* button = Place<TNotedControl>(panel, "button", 10, 10, 75, 25);
    button->Use("BUTTON", BS_PUSHBUTTON);
    auto* list = Place<TNotedControl>(panel, "list", 100, 10, 120, 100);
    list->Use("LISTBOX", LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY);
    auto* bar = Place<TNotedControl>(panel, "bar", 10, 150, 200, 30);
    bar->Use(TRACKBAR_CLASSA, TBS_HORZ);
    Show();

    Click(button->Handle(), 10, 10);
    DispatchPending();
    EXPECT_EQ(button->notes, (std::vector<std::string>{"command " + std::to_string(BN_CLICKED)}));

    // A fixed-height owner-drawn list is measured while its window is made; the height the control gives is used.
    ASSERT_FALSE(list->notes.empty());
    EXPECT_EQ(list->notes.front(), "measure while made");
    EXPECT_EQ(SendMessageA(list->Handle(), LB_GETITEMHEIGHT, 0, 0), 23);
    list->notes.clear();
    SendMessageA(list->Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("one"));
    SendMessageA(list->Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("two"));
    DispatchPending();
    Click(list->Handle(), 10, 23 + 5);
    DispatchPending();
    EXPECT_NE(std::find(list->notes.begin(), list->notes.end(), "draw 1"), list->notes.end());
    EXPECT_EQ(list->notes.back(), "command " + std::to_string(LBN_SELCHANGE));
    EXPECT_EQ(list->drawnWindow, list->Handle());

    bar->SetFocus();
    PressKey(VK_RIGHT);
    DispatchPending();
    EXPECT_EQ(bar->notes, (std::vector<std::string>{"hscroll " + std::to_string(TB_LINEDOWN),
                                                    "hscroll " + std::to_string(TB_ENDTRACK)}));
    EXPECT_EQ(button->notes, (std::vector<std::string>{"command " + std::to_string(BN_CLICKED)}))
        << "none of it reached the button";
    EXPECT_EQ(button->drawnWindow, nullptr);
}

TEST_F(Reflection, NoticesAboutNoControlOfTheFrameworkStayWithTheParent) {
    auto* panel = Place<TPanel>(form_, "panel", 10, 10, 300, 200);
    auto* button = Place<TNotedControl>(panel, "button", 10, 10, 75, 25);
    Show();
    // A window of the platform's made straight on the panel: its click reaches the panel's own window procedure.
    HWND plain = CreateWindowExA(0, "BUTTON", "plain", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 100, 10, 75, 25,
                                 panel->Handle(), reinterpret_cast<HMENU>(77), nullptr, nullptr);
    ASSERT_NE(plain, nullptr);
    DispatchPending();
    Click(plain, 10, 10);
    DispatchPending();
    // A command from a menu carries no window, and one naming the panel itself must not come back to it.
    EXPECT_EQ(SendMessageA(panel->Handle(), WM_COMMAND, MAKEWPARAM(5, 0), 0), 0);
    EXPECT_EQ(SendMessageA(panel->Handle(), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED),
                           reinterpret_cast<LPARAM>(panel->Handle())),
              0);
    EXPECT_TRUE(button->notes.empty());
    DestroyWindow(plain);
}

TEST_F(Reflection, AChildColoursItselfWhenItsWindowAsksItsParent) {
    Place<TButton>(form_, "first", 10, 220, 75, 25);  // takes the focus, so the edit's text shows unselected
    auto* panel = Place<TPanel>(form_, "panel", 10, 10, 300, 200);
    panel->SetTabOrder(1);
    auto* edit = Place<TEdit>(panel, "edit", 10, 10, 150, 24);
    edit->SetColor(clPurple);
    edit->Font().SetColor(clYellow);
    edit->SetText("WWW");
    Show();
    ASSERT_FALSE(edit->Focused());
    RECT client;
    GetClientRect(edit->Handle(), &client);
    auto countIf = [&](auto test) {
        int found = 0;
        for (int y = 0; y < client.bottom; ++y)
            for (int x = 0; x < client.right; ++x) found += test(Pixel(edit->Handle(), x, y));
        return found;
    };
    auto count = [&](COLORREF colour) { return countIf([colour](COLORREF c) { return c == colour; }); };
    const int area = client.right * client.bottom;
    EXPECT_GT(count(RGB(128, 0, 128)), area / 2) << "the edit's own colour behind its text";
    // The text's edges are smoothed into the background; its strokes are yellow.
    EXPECT_GT(countIf([](COLORREF c) { return GetRValue(c) > 224 && GetGValue(c) > 224 && GetBValue(c) < 32; }), 10)
        << "its font's colour for the text";

    edit->SetColor(clGreen);
    DispatchPending();
    EXPECT_EQ(count(RGB(128, 0, 128)), 0);
    EXPECT_GT(count(RGB(0, 128, 0)), area / 2);
    EXPECT_EQ(panel->Color(), clBtnFace) << "the parent answered with the child's colours, not its own";
}
