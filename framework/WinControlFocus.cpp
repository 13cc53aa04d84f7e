// The focus, the tab order and the keys of windowed controls.

#include <algorithm>

#include "framework/WinControl.h"

void TWinControl::SetTabStop(bool value) {
    if (tabStop_ == value) return;
    tabStop_ = value;
    if (handle_) {
        LONG style = GetWindowLongA(handle_, GWL_STYLE);
        SetWindowLongA(handle_, GWL_STYLE, value ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP));
    }
}

int TWinControl::TabOrder() const {
    if (!Parent()) return -1;
    const auto& list = Parent()->tabList_;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int value) {
    // While a layout is read, the controls after this one are not there yet to be ordered against: the parent puts
    // its tab list in order once its layout has been read.
    if (Loading()) {
        loadedTabOrder_ = value;
        return;
    }
    if (!Parent()) return;
    auto& list = Parent()->tabList_;
    std::erase(list, this);
    value = std::clamp(value, 0, static_cast<int>(list.size()));
    list.insert(list.begin() + value, this);
}

bool TWinControl::CanFocus() const {
    TFormBase* form = GetParentForm(this);
    if (!form || !form->Visible() || !form->Enabled()) return false;
    for (const TWinControl* control = this; control && control != form; control = control->Parent())
        if (!control->Visible() || !control->Enabled()) return false;
    return true;
}

bool TWinControl::Focused() const { return handle_ && GetFocus() == handle_; }

void TWinControl::SetFocus() {
    if (TFormBase* form = GetParentForm(this); form && form != this) form->FocusControl(this);
    else if (Handle()) ::SetFocus(handle_);
}

std::vector<TWinControl*> TWinControl::TabOrderList() const {
    std::vector<TWinControl*> list;
    for (TWinControl* control : tabList_) {
        list.push_back(control);
        auto inner = control->TabOrderList();
        list.insert(list.end(), inner.begin(), inner.end());
    }
    return list;
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool goForward, bool checkTabStop,
                                          bool checkParent) const {
    std::vector<TWinControl*> list = TabOrderList();
    if (list.empty()) return nullptr;
    auto found = std::find(list.begin(), list.end(), current);
    size_t start = found != list.end() ? static_cast<size_t>(found - list.begin()) : (goForward ? list.size() - 1 : 0);
    size_t i = start;
    do {
        i = goForward ? (i + 1) % list.size() : (i + list.size() - 1) % list.size();
        TWinControl* candidate = list[i];
        if (candidate->CanFocus() && (!checkTabStop || candidate->TabStop()) &&
            (!checkParent || candidate->Parent() == this))
            return candidate;
    } while (i != start);
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* current, bool goForward, bool checkTabStop) {
    if (TWinControl* next = FindNextControl(current, goForward, checkTabStop, !checkTabStop)) next->SetFocus();
}

void TWinControl::DoEnter() {
    if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
    if (OnExit) OnExit(this);
}

bool TWinControl::DoKeyDown(TMessage& message) {
    auto key = static_cast<WORD>(message.WParam);
    TShiftState shift = KeyDataToShiftState(message.LParam);
    TFormBase* form = GetParentForm(this);
    if (form && form != this && form->KeyPreview() && form->PreviewKeyDown(key, shift)) return true;
    if (OnKeyDown) OnKeyDown(this, key, shift);
    if (key == 0) return true;
    message.WParam = key;
    return false;
}

bool TWinControl::DoKeyPress(TMessage& message) {
    char key = static_cast<char>(message.WParam);
    TFormBase* form = GetParentForm(this);
    if (form && form != this && form->KeyPreview() && form->PreviewKeyPress(key)) return true;
    if (OnKeyPress) OnKeyPress(this, key);
    if (key == 0) return true;
    message.WParam = static_cast<unsigned char>(key);
    return false;
}

bool TWinControl::DoKeyUp(TMessage& message) {
    auto key = static_cast<WORD>(message.WParam);
    TShiftState shift = KeyDataToShiftState(message.LParam);
    TFormBase* form = GetParentForm(this);
    if (form && form != this && form->KeyPreview() && form->PreviewKeyUp(key, shift)) return true;
    if (OnKeyUp) OnKeyUp(this, key, shift);
    if (key == 0) return true;
    message.WParam = key;
    return false;
}

// A key is offered to the focused control before it is dispatched. Tab, the arrows, Enter and Escape that the
// control's window does not ask for (WM_GETDLGCODE) go to the form as dialog keys; a non-zero result eats the key.
void TWinControl::HandleKeyNotification(TMessage& message) {
    message.Result = 0;
    if (message.Msg != CN_KEYDOWN && message.Msg != CN_SYSKEYDOWN) return;
    auto key = static_cast<WORD>(message.WParam);
    UINT wanted = 0;
    switch (key) {
        case VK_TAB: wanted = DLGC_WANTTAB; break;
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN: wanted = DLGC_WANTARROWS; break;
        case VK_RETURN:
        case VK_ESCAPE:
        case VK_CANCEL: wanted = DLGC_WANTALLKEYS; break;
        default: return;
    }
    if (Perform(CM_WANTSPECIALKEY, key, 0) != 0) return;
    if (handle_ && (SendMessageA(handle_, WM_GETDLGCODE, 0, 0) & wanted)) return;
    if (TFormBase* form = GetParentForm(this); form && form->Perform(CM_DIALOGKEY, key, message.LParam) != 0)
        message.Result = 1;
}

bool TWinControl::OfferDialogKey(WORD key, LPARAM keyData) {
    for (TControl* control : std::vector<TControl*>(controls_))
        if (control->Perform(CM_DIALOGKEY, key, keyData) != 0) return true;
    return false;
}

void TWinControl::Loaded() {
    TControl::Loaded();
    // A control without a tab order of its own keeps its place among the others.
    std::vector<std::pair<int, TWinControl*>> ordered;
    for (size_t i = 0; i < tabList_.size(); ++i) {
        TWinControl* control = tabList_[i];
        ordered.emplace_back(control->loadedTabOrder_ >= 0 ? control->loadedTabOrder_ : static_cast<int>(i), control);
        control->loadedTabOrder_ = -1;
    }
    std::stable_sort(ordered.begin(), ordered.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (size_t i = 0; i < ordered.size(); ++i) tabList_[i] = ordered[i].second;
}
