// The list box's mouse, keyboard, wheel and scroll-bar input, and its notifications to the parent.

#include <algorithm>

#include "platform/controls/listbox/ListBox.h"

namespace platform::controls {

LRESULT ListBox::HandleInput(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    handled = true;
    switch (message) {
        case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
        case WM_SETFOCUS: FocusChanged(true); return 0;
        case WM_KILLFOCUS: FocusChanged(false); return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: ButtonDown(point, wParam, message == WM_LBUTTONDBLCLK); return 0;
        case WM_MOUSEMOVE: MouseMove(point); return 0;
        case WM_LBUTTONUP: ButtonUp(point); return 0;
        case WM_CAPTURECHANGED:
            if (dropDown_ && !trackingScrollBar_ && dropDownOwner_) dropDownOwner_->ListDismissed();
            else if (pressed_) FinishPress();
            return 0;
        case WM_CANCELMODE:
            if (pressed_ && GetCapture() == window_) ReleaseCapture();
            return 0;
        case WM_KEYDOWN: KeyDown(wParam); return 0;
        case WM_CHAR: Char(static_cast<unsigned char>(wParam)); return 0;
        case WM_MOUSEWHEEL: Wheel(GET_WHEEL_DELTA_WPARAM(wParam)); return 0;
        case WM_VSCROLL: Scroll(SB_VERT, wParam); return 0;
        case WM_HSCROLL: Scroll(SB_HORZ, wParam); return 0;
        default: handled = false; return 0;
    }
}

bool ListBox::Notify(int code) {
    if (dropDown_) return !Destroyed();  // a drop-down list tells its combo box through DropDownOwner
    if (code != LBN_ERRSPACE && !(style_ & LBS_NOTIFY)) return true;
    NotifyParent(window_, static_cast<WORD>(code));
    return !Destroyed();
}

void ListBox::FocusChanged(bool focused) {
    focused_ = focused;
    if (!focused && pressed_ && GetCapture() == window_) ReleaseCapture();
    if (Destroyed()) return;
    RedrawLine(lines_.Count() > 0 ? Caret() : -1, ODA_FOCUS);
    Notify(focused ? LBN_SETFOCUS : LBN_KILLFOCUS);
}

void ListBox::ButtonDown(POINT point, WPARAM keys, bool doubleClick) {
    if (dropDown_) return DropDownButtonDown(point);
    if (!focused_) {
        SetFocus(window_);
        if (Destroyed()) return;
    }
    if (!pressed_) {
        selectionAtPress_ = selected_;
        changedByPress_ = false;
    }
    pressed_ = true;
    SetCapture(window_);
    int line = LineAt(point);
    if (line < 0) return;
    if (!MultiSelect()) {
        SetSelection(line);
    } else if (!doubleClick) {
        bool shift = keys & MK_SHIFT, control = keys & MK_CONTROL;
        if (Extended() && shift) {
            changedByPress_ |= SelectRange(anchor_ >= 0 ? anchor_ : line, line, control);
        } else if (Extended() && !control) {
            changedByPress_ |= SelectRange(line, line, false);
            anchor_ = line;
        } else {
            changedByPress_ |= SetLineSelected(line, !lines_.At(line).selected);
            anchor_ = line;
        }
    }
    SetCaret(line);
    EnsureVisible(line);
    if (doubleClick) Notify(LBN_DBLCLK);
}

void ListBox::MouseMove(POINT point) {
    if (dropDown_) {
        // The line under the mouse is the one a release would choose.
        if (int line = LineAt(point); line >= 0) {
            SetSelection(line);
            SetCaret(line);
        }
        return;
    }
    const int count = lines_.Count();
    if (!pressed_ || count == 0 || (MultiSelect() && !Extended())) return;
    int line;
    if (MultiColumn()) {
        line = LineAt(point);
        if (line < 0) return;
    } else if (point.y < 0) {
        line = std::max(0, top_ - 1);  // above the list: it scrolls toward the pointer
    } else if (point.y >= ClientHeight()) {
        line = std::min(count - 1, top_ + VisibleRows());
    } else {
        line = LineAt({std::clamp<LONG>(point.x, 0, ClientWidth() - 1), point.y});
        if (line < 0) line = count - 1;
    }
    if (!MultiSelect()) SetSelection(line);
    else changedByPress_ |= SelectRange(anchor_ >= 0 ? anchor_ : line, line, GetKeyState(VK_CONTROL) < 0);
    SetCaret(line);
    EnsureVisible(line);
}

void ListBox::ButtonUp(POINT point) {
    if (dropDown_) {
        int line = LineAt(point);
        if (line >= 0 && dropDownOwner_) {
            SetSelection(line);
            SetCaret(line);
            dropDownOwner_->ListChosen();
        }
        return;
    }
    if (!pressed_) return;
    if (GetCapture() == window_) ReleaseCapture();  // WM_CAPTURECHANGED finishes the press
    if (pressed_ && !Destroyed()) FinishPress();
}

void ListBox::FinishPress() {
    pressed_ = false;
    bool changed = MultiSelect() ? changedByPress_ : selected_ != selectionAtPress_;
    if (changed) Notify(LBN_SELCHANGE);
}

// While a drop-down list is shown it holds the mouse: a press outside it closes it, a press on its scroll bar
// scrolls it, and the release on a line chooses that line.
void ListBox::DropDownButtonDown(POINT point) {
    RECT client{0, 0, ClientWidth(), ClientHeight()};
    if (PtInRect(&client, point)) {
        if (int line = LineAt(point); line >= 0) {
            SetSelection(line);
            SetCaret(line);
        }
        return;
    }
    POINT screen = point;
    ClientToScreen(window_, &screen);
    RECT outer;
    GetWindowRect(window_, &outer);
    if (PtInRect(&outer, screen)) {
        LPARAM where = MAKELPARAM(screen.x, screen.y);
        if (SendMessageA(window_, WM_NCHITTEST, 0, where) == HTVSCROLL) {
            trackingScrollBar_ = true;
            DefWindowProcA(window_, WM_NCLBUTTONDOWN, HTVSCROLL, where);
            if (Destroyed()) return;
            trackingScrollBar_ = false;
            if (IsWindowVisible(window_)) SetCapture(window_);
        }
        return;
    }
    if (dropDownOwner_) dropDownOwner_->ListDismissed();
}

void ListBox::KeyDown(WPARAM key) {
    if (dropDown_) return;
    if (style_ & LBS_WANTKEYBOARDINPUT) {
        LRESULT answer =
            SendMessageA(Owner(), WM_VKEYTOITEM, MAKEWPARAM(key, Caret()), reinterpret_cast<LPARAM>(window_));
        if (Destroyed() || answer == -2) return;
        if (answer >= 0) {
            if (Valid(static_cast<int>(answer))) MoveByKey(static_cast<int>(answer), false, false);
            return;
        }
    }
    const int count = lines_.Count();
    if (count == 0) return;
    const bool shift = GetKeyState(VK_SHIFT) < 0, control = GetKeyState(VK_CONTROL) < 0;
    const int origin = KeyboardOrigin();
    const int step = MultiColumn() ? Rows() : 1;
    const int page = MultiColumn() ? Rows() * VisibleColumns() : std::max(1, VisibleRows() - 1);
    int target;
    switch (key) {
        case VK_UP: target = origin - 1; break;
        case VK_DOWN: target = origin + 1; break;
        case VK_LEFT: target = origin - step; break;
        case VK_RIGHT: target = origin + step; break;
        case VK_PRIOR: target = origin - page; break;
        case VK_NEXT: target = origin + page; break;
        case VK_HOME: target = 0; break;
        case VK_END: target = count - 1; break;
        case VK_SPACE:
            if (MultiSelect() && (!Extended() || control)) {
                int line = Caret();
                anchor_ = line;
                if (SetLineSelected(line, !lines_.At(line).selected)) Notify(LBN_SELCHANGE);
            }
            return;
        default: return;
    }
    // With nothing chosen yet, the arrows start at the first line.
    if (origin < 0 && key != VK_HOME && key != VK_END && key != VK_PRIOR && key != VK_NEXT) target = 0;
    MoveByKey(std::clamp(target, 0, count - 1), shift, control);
}

void ListBox::MoveByKey(int target, bool shift, bool control) {
    if (!MultiSelect()) {
        int before = selected_;
        SetSelection(target);
        SetCaret(target);
        EnsureVisible(target);
        if (selected_ != before) Notify(LBN_SELCHANGE);
        return;
    }
    bool changed = false;
    if (Extended() && shift) {
        changed = SelectRange(anchor_ >= 0 ? anchor_ : target, target, control);
    } else if (Extended() && !control) {
        changed = SelectRange(target, target, false);
        anchor_ = target;
    }
    SetCaret(target);
    EnsureVisible(target);
    if (changed) Notify(LBN_SELCHANGE);
}

void ListBox::Char(unsigned char byte) {
    if (dropDown_ || byte < 0x20 || !typed_.Add(byte) || !HasStrings()) return;
    if (MultiSelect() && typed_.Text() == " ") return;  // Space toggles the caret line instead
    int found = FindLineStartingWith(window_, KeyboardOrigin(), typed_.Text());
    if (found >= 0) MoveByKey(found, false, false);
}

void ListBox::Wheel(int delta) {
    wheelDelta_ += delta;
    int notches = wheelDelta_ / WHEEL_DELTA;
    wheelDelta_ -= notches * WHEEL_DELTA;
    if (notches == 0) return;
    if (MultiColumn()) return SetTop(top_ - notches * Rows());
    UINT lines = 3;
    SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    int step = std::min<int>(static_cast<int>(std::min<UINT>(lines, 0x7FFF)), VisibleRows());
    SetTop(top_ - notches * std::max(1, step));
}

void ListBox::Scroll(int bar, WPARAM wParam) {
    if ((bar == SB_VERT) == MultiColumn()) return;
    const int unit = MultiColumn() ? Rows() : 1;
    const int page = MultiColumn() ? VisibleColumns() * Rows() : VisibleRows();
    switch (LOWORD(wParam)) {
        case SB_LINEUP: SetTop(top_ - unit); break;
        case SB_LINEDOWN: SetTop(top_ + unit); break;
        case SB_PAGEUP: SetTop(top_ - page); break;
        case SB_PAGEDOWN: SetTop(top_ + page); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: {
            // The 16 bits of wParam cannot hold a position in a long list; the scroll bar keeps all 32.
            SCROLLINFO info{sizeof info, SIF_TRACKPOS, 0, 0, 0, 0, 0};
            if (GetScrollInfo(window_, bar, &info)) SetTop(info.nTrackPos * unit);
            break;
        }
        case SB_TOP: SetTop(0); break;
        case SB_BOTTOM: SetTop(MaxTop()); break;
        default: break;
    }
}

}  // namespace platform::controls
