// The list box's selection and caret, and the messages that read and set them.

#include <utility>

#include "platform/controls/listbox/ListBox.h"

namespace platform::controls {

LRESULT ListBox::HandleSelection(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    const int index = static_cast<int>(wParam);
    handled = true;
    switch (message) {
        case LB_GETCURSEL:
            if (MultiSelect()) return Caret();
            return selected_ >= 0 ? selected_ : LB_ERR;
        case LB_SETCURSEL: return SetCurSel(index);
        case LB_GETSEL: return Valid(index) ? static_cast<LRESULT>(Selected(index)) : LB_ERR;
        case LB_SETSEL: return SetSel(wParam != 0, static_cast<int>(lParam));
        case LB_GETSELCOUNT: return SelectedCount();
        case LB_GETSELITEMS: return SelectedLines(index, reinterpret_cast<int*>(lParam));
        case LB_GETCARETINDEX: return Caret();
        case LB_SETCARETINDEX:
            if (!Valid(index)) return LB_ERR;
            SetCaret(index);
            EnsureVisible(index, lParam != 0);
            return LB_OKAY;
        case LB_GETANCHORINDEX: return anchor_;
        case LB_SETANCHORINDEX:
            if (!Valid(index)) return LB_ERR;
            anchor_ = index;
            return LB_OKAY;
        case LB_SELECTSTRING: {
            if (MultiSelect()) return LB_ERR;
            LRESULT found = Find(index, lParam, false);
            if (found >= 0) SetCurSel(static_cast<int>(found));
            return found;
        }
        default: handled = false; return 0;
    }
}

bool ListBox::Selected(int index) const {
    if (!Valid(index)) return false;
    return MultiSelect() ? lines_.At(index).selected : index == selected_;
}

int ListBox::Caret() const { return caret_ >= 0 ? caret_ : (lines_.Count() > 0 ? 0 : -1); }

int ListBox::KeyboardOrigin() const { return caret_ >= 0 ? caret_ : selected_; }

void ListBox::SetSelection(int index) {
    if (selected_ == index) return;
    int old = selected_;
    selected_ = index;
    RedrawLine(old, ODA_SELECT);
    RedrawLine(index, ODA_SELECT);
    // The line chosen, counted from 1 as Windows counts a control's parts; 0 for none. A drop-down list's choice is
    // its combo box's, whose name is the chosen line: a reader knows the box, not the popup that holds the list.
    NotifyWinEvent(EVENT_OBJECT_SELECTION, combo_ ? combo_ : window_, OBJID_CLIENT, index + 1);
    if (combo_) NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, combo_, OBJID_CLIENT, CHILDID_SELF);
}

bool ListBox::SetLineSelected(int index, bool selected) {
    ListBoxLine& line = lines_.At(index);
    if (line.selected == selected) return false;
    line.selected = selected;
    RedrawLine(index, ODA_SELECT);
    ChoiceChangedWithin();
    return true;
}

// A multiple choice may change in many lines at once: a reader is told once, and reads the choice again.
void ListBox::ChoiceChangedWithin() {
    NotifyWinEvent(EVENT_OBJECT_SELECTIONWITHIN, window_, OBJID_CLIENT, CHILDID_SELF);
}

LRESULT ListBox::SelectedCount() {
    if (!MultiSelect()) return LB_ERR;
    int count = 0;
    lines_.ForEach([&count](ListBoxLine& line) { count += line.selected; });
    return count;
}

LRESULT ListBox::SelectedLines(int room, int* out) {
    if (!MultiSelect() || !out) return LB_ERR;
    int stored = 0, at = 0;
    lines_.ForEach([&](ListBoxLine& line) {
        if (line.selected && stored < room) out[stored++] = at;
        ++at;
    });
    return stored;
}

bool ListBox::SelectRange(int from, int to, bool keepOthers) {
    if (from > to) std::swap(from, to);
    bool changed = false;
    int at = 0;
    lines_.ForEach([&](ListBoxLine& line) {
        bool wanted = (at >= from && at <= to) || (keepOthers && line.selected);
        changed |= line.selected != wanted;
        line.selected = wanted;
        ++at;
    });
    if (changed) {
        InvalidateRect(window_, nullptr, FALSE);
        ChoiceChangedWithin();
    }
    return changed;
}

void ListBox::SetCaret(int index) {
    if (caret_ == index) return;
    int old = Caret();
    caret_ = index;
    if (focused_ && old != Caret()) {
        RedrawLine(old, ODA_FOCUS);
        RedrawLine(Caret(), ODA_FOCUS);
        // The keyboard's line is where a reader's focus is while the list has the keyboard, as on Windows.
        if (Caret() >= 0) NotifyWinEvent(EVENT_OBJECT_FOCUS, window_, OBJID_CLIENT, Caret() + 1);
    }
}

LRESULT ListBox::SetCurSel(int index) {
    if (MultiSelect()) return LB_ERR;
    if (!Valid(index)) {
        SetSelection(-1);
        return LB_ERR;
    }
    SetSelection(index);
    SetCaret(index);
    EnsureVisible(index);
    return index;
}

LRESULT ListBox::SetSel(bool select, int index) {
    if (!MultiSelect() || (index != -1 && !Valid(index))) return LB_ERR;
    if (index == -1) {
        bool changed = false;
        lines_.ForEach([&](ListBoxLine& line) {
            changed |= line.selected != select;
            line.selected = select;
        });
        if (changed) {
            InvalidateRect(window_, nullptr, FALSE);
            ChoiceChangedWithin();
        }
        return LB_OKAY;
    }
    SetLineSelected(index, select);
    SetCaret(index);
    anchor_ = index;
    return LB_OKAY;
}

}  // namespace platform::controls
