#include "platform/controls/button/Button.h"

#include <algorithm>

#include "platform/controls/Controls.h"

namespace platform::controls {

Button::Button(HWND window, const CREATESTRUCTA&) : window_(window) {}

UINT Button::Type() const { return static_cast<UINT>(GetWindowLongA(window_, GWL_STYLE)) & BS_TYPEMASK; }

bool Button::IsPush() const { return !IsCheckable() && Type() != BS_GROUPBOX; }

bool Button::IsRadio() const { return Type() == BS_RADIOBUTTON || Type() == BS_AUTORADIOBUTTON; }

bool Button::IsCheckable() const {
    switch (Type()) {
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_RADIOBUTTON:
        case BS_3STATE:
        case BS_AUTO3STATE:
        case BS_AUTORADIOBUTTON: return true;
        default: return false;
    }
}

UINT Button::MaximumCheck() const {
    return Type() == BS_3STATE || Type() == BS_AUTO3STATE ? BST_INDETERMINATE : BST_CHECKED;
}

LRESULT Button::DialogCode() const {
    switch (Type()) {
        case BS_DEFPUSHBUTTON: return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
        case BS_GROUPBOX: return DLGC_STATIC;
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON: return DLGC_BUTTON | DLGC_RADIOBUTTON;
        default: return IsPush() ? DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON : DLGC_BUTTON;
    }
}

void Button::Redraw() { InvalidateRect(window_, nullptr, FALSE); }

void Button::SetCheck(UINT check) {
    if (!IsCheckable()) return;
    check = std::min(check, MaximumCheck());
    // A radio button is a tab stop exactly while it is checked, so Tab enters a group at its chosen button.
    if (IsRadio()) {
        LONG style = GetWindowLongA(window_, GWL_STYLE);
        LONG wanted = check ? (style | WS_TABSTOP) : (style & ~static_cast<LONG>(WS_TABSTOP));
        if (wanted != style) SetWindowLongA(window_, GWL_STYLE, wanted);
    }
    if (check == check_) return;
    check_ = check;
    Redraw();
    NotifyWinEvent(EVENT_OBJECT_STATECHANGE, window_, OBJID_CLIENT, CHILDID_SELF);
}

void Button::SetPushed(bool pushed) {
    if (pushed_ == pushed) return;
    pushed_ = pushed;
    Redraw();
}

void Button::Press() {
    pressing_ = true;
    if (GetFocus() != window_) SetFocus(window_);
    pressing_ = false;
    if (Destroyed()) return;
    SetCapture(window_);
    mouseDown_ = true;
    SetPushed(true);
}

void Button::Release(bool click) {
    SetPushed(false);
    if (click) Click();
}

void Button::Click() {
    switch (Type()) {
        case BS_AUTOCHECKBOX: SetCheck(check_ == BST_UNCHECKED ? BST_CHECKED : BST_UNCHECKED); break;
        case BS_AUTO3STATE: SetCheck((check_ + 1) % 3); break;
        case BS_AUTORADIOBUTTON:
            SetCheck(BST_CHECKED);
            CheckAutoRadioGroup();
            break;
        default: break;
    }
    if (!Destroyed()) NotifyParent(window_, BN_CLICKED);
}

// The group is the run of siblings that starts at the nearest one with WS_GROUP at or before this button and ends
// before the next one with WS_GROUP.
void Button::CheckAutoRadioGroup() {
    HWND first = window_;
    while (!(GetWindowLongA(first, GWL_STYLE) & WS_GROUP)) {
        HWND previous = GetWindow(first, GW_HWNDPREV);
        if (!previous) break;
        first = previous;
    }
    for (HWND sibling = first; sibling;) {
        HWND next = GetWindow(sibling, GW_HWNDNEXT);
        if (sibling != window_ && (SendMessageA(sibling, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) &&
            (static_cast<UINT>(GetWindowLongA(sibling, GWL_STYLE)) & BS_TYPEMASK) == BS_AUTORADIOBUTTON)
            SendMessageA(sibling, BM_SETCHECK, BST_UNCHECKED, 0);
        sibling = next && !(GetWindowLongA(next, GWL_STYLE) & WS_GROUP) ? next : nullptr;
    }
}

LRESULT Button::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    bool handled = false;
    LRESULT result =
        Offer({&Button::HandleState, &Button::HandleMouse, &Button::HandleKeysAndFocus}, message, wParam, lParam, handled);
    if (handled) return result;
    switch (message) {
        case WM_NCHITTEST:
            if (Type() == BS_GROUPBOX) return HTTRANSPARENT;
            break;
        case WM_GETDLGCODE: return DialogCode();
        case WM_ERASEBKGND: return 1;  // painting covers everything
        case WM_PAINT: Paint(); return 0;
        case WM_SETTEXT: {
            LRESULT stored = DefWindowProcA(window_, message, wParam, lParam);
            if (Type() == BS_GROUPBOX) {
                // The frame behind a shorter caption belongs to the parent's background again.
                RECT area;
                GetWindowRect(window_, &area);
                MapWindowPoints(nullptr, GetParent(window_), reinterpret_cast<POINT*>(&area), 2);
                InvalidateRect(GetParent(window_), &area, TRUE);
            }
            Redraw();
            return stored;
        }
        case WM_SETFONT:
            font_ = reinterpret_cast<HFONT>(wParam);
            if (lParam) Redraw();
            return 0;
        case WM_GETFONT: return reinterpret_cast<LRESULT>(font_);
        case WM_ENABLE: Redraw(); return 0;
        default: break;
    }
    return DefWindowProcA(window_, message, wParam, lParam);
}

// The check state, the pushed look and the style, as a program sets and reads them, and a program's click.
LRESULT Button::HandleState(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    handled = true;
    switch (message) {
        case BM_GETCHECK: return check_;
        case BM_SETCHECK: SetCheck(static_cast<UINT>(std::min<WPARAM>(wParam, BST_INDETERMINATE))); return 0;
        case BM_GETSTATE: return check_ | (pushed_ ? BST_PUSHED : 0) | (focused_ ? BST_FOCUS : 0);
        case BM_SETSTATE: SetPushed(wParam != 0); return 0;
        case BM_SETSTYLE: {
            LONG style = GetWindowLongA(window_, GWL_STYLE);
            SetWindowLongA(window_, GWL_STYLE, (style & ~static_cast<LONG>(BS_TYPEMASK)) | (wParam & BS_TYPEMASK));
            if (lParam) Redraw();
            return 0;
        }
        case BM_CLICK:
            // A disabled button takes no clicks, from the mouse or from a program.
            if (Type() == BS_GROUPBOX || !IsWindowEnabled(window_)) return 0;
            SendMessageA(window_, WM_LBUTTONDOWN, MK_LBUTTON, 0);
            if (!Destroyed()) SendMessageA(window_, WM_LBUTTONUP, 0, 0);
            return 0;
        default: handled = false; return 0;
    }
}

// The left button: pressed, dragged in and out, let go, double-clicked, or its capture taken away.
LRESULT Button::HandleMouse(UINT message, WPARAM, LPARAM lParam, bool& handled) {
    const bool group = Type() == BS_GROUPBOX;
    const auto inside = [this, lParam] {
        RECT client;
        GetClientRect(window_, &client);
        return PtInRect(&client, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}) != FALSE;
    };
    handled = true;
    switch (message) {
        case WM_LBUTTONDBLCLK:
            if (group) return 0;
            if (Type() == BS_RADIOBUTTON || Type() == BS_USERBUTTON || Type() == BS_OWNERDRAW || Notifies()) {
                NotifyParent(window_, BN_DOUBLECLICKED);
                return 0;
            }
            Press();
            return 0;
        case WM_LBUTTONDOWN:
            if (!group) Press();
            return 0;
        case WM_MOUSEMOVE:
            if (mouseDown_) SetPushed(inside());
            return 0;
        case WM_LBUTTONUP:
            if (mouseDown_) {
                const bool released = inside();
                mouseDown_ = false;
                ReleaseCapture();
                Release(released);
            }
            return 0;
        case WM_CAPTURECHANGED:
            if (mouseDown_) {
                mouseDown_ = false;
                SetPushed(false);
            }
            return 0;
        default: handled = false; return 0;
    }
}

// Space presses and releases; the focus comes and goes.
LRESULT Button::HandleKeysAndFocus(UINT message, WPARAM wParam, LPARAM, bool& handled) {
    handled = true;
    switch (message) {
        case WM_KEYDOWN:
            if (wParam == VK_SPACE && Type() != BS_GROUPBOX && !mouseDown_ && !spaceDown_) {
                spaceDown_ = true;
                SetPushed(true);
            }
            return 0;
        case WM_KEYUP:
            if (wParam == VK_SPACE && spaceDown_) {
                spaceDown_ = false;
                Release(true);
            }
            return 0;
        case WM_SETFOCUS:
            focused_ = true;
            Redraw();
            if (Notifies()) NotifyParent(window_, BN_SETFOCUS);
            // A radio button reached by the keyboard (not pressed) reports a click, so moving through a group with
            // the arrow keys chooses as it goes.
            if (!Destroyed() && IsRadio() && !pressing_ && check_ == BST_UNCHECKED && GetCapture() != window_) Click();
            return 0;
        case WM_KILLFOCUS:
            focused_ = false;
            spaceDown_ = false;
            if (mouseDown_) {
                mouseDown_ = false;
                ReleaseCapture();
            }
            pushed_ = false;
            Redraw();
            if (Notifies()) NotifyParent(window_, BN_KILLFOCUS);
            return 0;
        default: handled = false; return 0;
    }
}

bool Button::Notifies() const { return GetWindowLongA(window_, GWL_STYLE) & BS_NOTIFY; }

void RegisterButtonClass() {
    WNDCLASSA cls{};
    cls.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW | CS_GLOBALCLASS;
    cls.lpfnWndProc = Button::Procedure;
    cls.cbWndExtra = Button::kExtraBytes;
    cls.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    cls.lpszClassName = "BUTTON";
    RegisterClassA(&cls);
}

}  // namespace platform::controls
