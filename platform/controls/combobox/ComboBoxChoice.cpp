// How a combo box's line is chosen: by the program's messages, or by the user in the drop-down list, with the mouse
// or the keys, or with the keys on the closed field.

#include <algorithm>

#include "platform/controls/combobox/ComboBox.h"

namespace platform::controls {

LRESULT ComboBox::HandleChoice(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    handled = true;
    switch (message) {
        case CB_GETCURSEL: return ToList(LB_GETCURSEL);
        case CB_SETCURSEL: return SetCurSel(wParam);
        case CB_SELECTSTRING: {
            LRESULT found = ToList(LB_FINDSTRING, wParam, lParam);
            if (found >= 0) SetCurSel(static_cast<WPARAM>(found));
            return found;
        }
        case CB_SHOWDROPDOWN:
            if (wParam) DropDown();
            else CloseUp(false, false);
            return TRUE;
        case CB_GETDROPPEDSTATE: return dropped_;
        case CB_GETDROPPEDCONTROLRECT:
            if (!lParam) return CB_ERR;
            if (dropped_) GetWindowRect(frame_, reinterpret_cast<RECT*>(lParam));
            else *reinterpret_cast<RECT*>(lParam) = DroppedRect();
            return TRUE;
        case CB_SETDROPPEDWIDTH: droppedWidth_ = std::max(0, static_cast<int>(wParam)); return droppedWidth_;
        case CB_GETDROPPEDWIDTH: return droppedWidth_;
        case CB_SETEXTENDEDUI: extendedUI_ = wParam != 0; return CB_OKAY;
        case CB_GETEXTENDEDUI: return extendedUI_;
        default: handled = false; return 0;
    }
}

// Messages not answered here go on to the default procedure, some after a look at them.
LRESULT ComboBox::HandleInput(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    handled = true;
    switch (message) {
        case WM_ENABLE:
            if (!wParam) CloseUp(false, false);
            InvalidateRect(window_, nullptr, FALSE);
            return 0;
        case WM_CANCELMODE: CloseUp(false, false); return 0;
        case WM_SETFOCUS:
            focused_ = true;
            InvalidateRect(window_, nullptr, FALSE);
            Notify(CBN_SETFOCUS);
            return 0;
        case WM_KILLFOCUS:
            CloseUp(false, false);
            if (Destroyed()) return 0;
            focused_ = false;
            InvalidateRect(window_, nullptr, FALSE);
            Notify(CBN_KILLFOCUS);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (!focused_) SetFocus(window_);
            if (Destroyed()) return 0;
            if (dropped_) CloseUp(false, false);
            else DropDown();
            return 0;
        case WM_KEYDOWN: KeyDown(wParam); return 0;
        case WM_SYSKEYDOWN:
            if (wParam != VK_UP && wParam != VK_DOWN) break;
            if (dropped_) CloseUp(true, false);
            else DropDown();
            return 0;
        case WM_CHAR: Char(static_cast<unsigned char>(wParam)); return 0;
        case WM_MOUSEWHEEL:
            if (dropped_) return ToList(WM_MOUSEWHEEL, wParam, lParam);
            break;
        case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS | (dropped_ ? DLGC_WANTMESSAGE : 0);
        default: break;
    }
    handled = false;
    return 0;
}

LRESULT ComboBox::SetCurSel(WPARAM index) {
    LRESULT result = ToList(LB_SETCURSEL, index);
    if (dropped_) chosenBeforeDrop_ = Selection();
    if (!DropDownList()) text_ = LineText(Selection());
    InvalidateRect(window_, nullptr, FALSE);
    return result;
}

// Below the field, or above it when the screen ends first.
RECT ComboBox::DroppedRect() const {
    RECT combo;
    GetWindowRect(window_, &combo);
    int count = static_cast<int>(std::max<LRESULT>(0, ToList(LB_GETCOUNT)));
    int height = 2;  // the list's border
    for (int i = 0, shown = std::clamp(count, 1, kDropDownLines); i < shown; ++i) {
        LRESULT line = ToList(LB_GETITEMHEIGHT, static_cast<WPARAM>(i));
        height += line > 0 ? static_cast<int>(line) : fieldHeight_;
    }
    int width = std::max<int>(combo.right - combo.left, droppedWidth_);
    int top = combo.bottom;
    if (top + height > GetSystemMetrics(SM_CYSCREEN)) top = std::max<int>(0, combo.top - height);
    return {combo.left, top, combo.left + width, top + height};
}

void ComboBox::DropDown() {
    if (dropped_ || !list_ || !IsWindowEnabled(window_)) return;
    if (!Notify(CBN_DROPDOWN) || dropped_) return;  // the parent may fill the list now
    chosenBeforeDrop_ = Selection();
    RECT rect = DroppedRect();
    SetWindowPos(frame_, HWND_TOP, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
    if (chosenBeforeDrop_ >= 0) ToList(LB_SETCARETINDEX, static_cast<WPARAM>(chosenBeforeDrop_), FALSE);
    else ToList(LB_SETTOPINDEX, 0);
    dropped_ = true;
    SetCapture(list_);
    InvalidateRect(window_, nullptr, FALSE);
}

void ComboBox::CloseUp(bool choose, bool byClick) {
    if (!dropped_) return;
    dropped_ = false;
    const int highlighted = Selection();
    SetWindowPos(frame_, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (list_ && GetCapture() == list_) ReleaseCapture();
    InvalidateRect(window_, nullptr, FALSE);
    if (choose && highlighted >= 0) {
        if (!DropDownList()) text_ = LineText(highlighted);
        if ((byClick || highlighted != chosenBeforeDrop_) && !Notify(CBN_SELCHANGE)) return;
        if (!Notify(CBN_SELENDOK)) return;
    } else {
        if (highlighted != chosenBeforeDrop_) ToList(LB_SETCURSEL, static_cast<WPARAM>(chosenBeforeDrop_));
        if (!Notify(CBN_SELENDCANCEL)) return;
    }
    Notify(CBN_CLOSEUP);
}

void ComboBox::ChooseOnField(int index) {
    if (index == Selection()) return;
    ToList(LB_SETCURSEL, static_cast<WPARAM>(index));
    if (!DropDownList()) text_ = LineText(index);
    InvalidateRect(window_, nullptr, FALSE);
    if (Notify(CBN_SELCHANGE)) Notify(CBN_SELENDOK);
}

int ComboBox::KeyTarget(WPARAM key, int count) const {
    const int from = Selection();
    int target;
    switch (key) {
        case VK_UP:
        case VK_LEFT: target = from - 1; break;
        case VK_DOWN:
        case VK_RIGHT: target = from + 1; break;
        case VK_PRIOR: target = from - (kDropDownLines - 1); break;
        case VK_NEXT: target = from + (kDropDownLines - 1); break;
        case VK_HOME: target = 0; break;
        case VK_END: target = count - 1; break;
        default: return -1;
    }
    if (count == 0) return -1;
    if (from < 0 && key != VK_END) target = 0;
    return std::clamp(target, 0, count - 1);
}

void ComboBox::KeyDown(WPARAM key) {
    if (key == VK_F4) {
        if (extendedUI_) return;
        if (dropped_) CloseUp(true, false);
        else DropDown();
        return;
    }
    if (dropped_ && key == VK_RETURN) return CloseUp(true, false);
    if (dropped_ && key == VK_ESCAPE) return CloseUp(false, false);
    if (!dropped_ && extendedUI_ && key == VK_DOWN) return DropDown();
    int target = KeyTarget(key, static_cast<int>(std::max<LRESULT>(0, ToList(LB_GETCOUNT))));
    if (target < 0) return;
    if (dropped_) ToList(LB_SETCURSEL, static_cast<WPARAM>(target));
    else ChooseOnField(target);
}

void ComboBox::Char(unsigned char byte) {
    if (byte < 0x20 || !typed_.Add(byte)) return;
    int found = FindLineStartingWith(list_, Selection(), typed_.Text());
    if (found < 0) return;
    if (dropped_) ToList(LB_SETCURSEL, static_cast<WPARAM>(found));
    else ChooseOnField(found);
}

}  // namespace platform::controls
