// How the user chooses a combo box's line: in the drop-down list, with the mouse or the keys, or with the keys on
// the closed field.

#include <algorithm>

#include "platform/user/ComboBox.h"

namespace platform::user {

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

}  // namespace platform::user
