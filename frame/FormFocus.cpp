// How a form follows the focus: which control is active, when OnActivate and OnDeactivate run, the enter and exit
// events along the way, and the keys that move the focus or click a button.

#include "frame/Forms.h"
#include "frame/Screen.h"
#include "runtime/Exception.h"

namespace {

int focusChanges = 0;

bool IsSelfOrAncestor(const TControl* ancestor, const TControl* control) {
    for (; control; control = control->Parent())
        if (control == ancestor) return true;
    return false;
}

bool KeyHeld(int key) { return GetKeyState(key) < 0; }

}  // namespace

int FocusChanges() { return focusChanges; }
void RestoreFocusChanges(int value) { focusChanges = value; }

void TCustomForm::SetFocusedControl(TWinControl* control) {
    if (Destroying()) return;
    TScreen& screen = Screen();
    if (control != this) activeControl_ = control;
    screen.activeControl_ = control;
    screen.activeForm_ = this;
    screen.MoveToFront(this);
    int count = ++focusChanges;

    // Only a change of the form that last had the focus activates: a dialog that saved the focus form, another
    // program taking the focus, or a minimised program coming back all leave it as it was.
    if (screen.currentFocusForm_ != this) {
        if (TCustomForm* previous = screen.currentFocusForm_) {
            screen.currentFocusForm_ = nullptr;
            previous->Perform(CM_DEACTIVATE, 0, 0);
            if (count != focusChanges) return;
        }
        screen.currentFocusForm_ = this;
        Perform(CM_ACTIVATE, 0, 0);
        if (count != focusChanges) return;
    }

    if (!focusedControl_) focusedControl_ = this;
    while (!IsSelfOrAncestor(focusedControl_, control)) {
        TWinControl* leaving = focusedControl_;
        focusedControl_ = leaving->Parent() ? leaving->Parent() : this;
        leaving->Perform(CM_EXIT, 0, 0);
        if (count != focusChanges) return;
    }
    while (focusedControl_ != control) {
        TWinControl* entering = control;
        while (entering->Parent() != focusedControl_) entering = entering->Parent();
        focusedControl_ = entering;
        entering->Perform(CM_ENTER, 0, 0);
        if (count != focusChanges) return;
    }
    Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(control));
}

// A control leaving the form (or destroyed) must not stay behind as its active or focused control.
void TCustomForm::ForgetControl(TControl* control) {
    if (IsSelfOrAncestor(control, activeControl_)) activeControl_ = nullptr;
    if (focusedControl_ != this && IsSelfOrAncestor(control, focusedControl_))
        focusedControl_ = control->Parent() ? control->Parent() : this;
    if (IsSelfOrAncestor(control, Screen().activeControl_)) Screen().activeControl_ = nullptr;
}

void TCustomForm::SetActiveControl(TWinControl* control) {
    if (activeControl_ == control) return;
    if (control && (control == this || GetParentForm(control) != this || (!Loading() && !control->CanFocus())))
        throw EInvalidOperation(Msg::SCannotFocus);
    activeControl_ = control;
    if (!Loading() && active_) FocusWindow();
}

void TCustomForm::FocusWindow() {
    TWinControl* target = activeControl_ ? activeControl_ : this;
    if (!HandleAllocated() || IsIconic(Handle())) return;
    ::SetFocus(target->Handle());
}

void TCustomForm::FocusControl(TWinControl* control) {
    bool wasActive = active_;
    SetActiveControl(control);
    if (!wasActive) SetFocus();
}

void TCustomForm::SetFocus() {
    if (active_) {
        TFormBase::SetFocus();
        return;
    }
    if (!Visible() || !Enabled()) throw EInvalidOperation(Msg::SCannotFocus);
    FocusWindow();
}

void TCustomForm::SetActive(bool active) {
    active_ = active;
    if (!active) return;
    if (!activeControl_) activeControl_ = FindNextControl(nullptr, true, true, false);
    FocusWindow();
}

void TCustomForm::TakeFocus() {
    // The form's own window keeps the focus only while there is no control to pass it to.
    if (activeControl_ && activeControl_->CanFocus()) FocusWindow();
    else SetFocusedControl(this);
}

bool TCustomForm::PreviewKeyDown(WORD& key, TShiftState shift) {
    if (OnKeyDown) OnKeyDown(this, key, shift);
    return key == 0;
}

bool TCustomForm::PreviewKeyPress(char& key) {
    if (OnKeyPress) OnKeyPress(this, key);
    return key == 0;
}

bool TCustomForm::PreviewKeyUp(WORD& key, TShiftState shift) {
    if (OnKeyUp) OnKeyUp(this, key, shift);
    return key == 0;
}

bool TCustomForm::DialogKey(WORD key, LPARAM keyData) {
    if (!KeyHeld(VK_MENU)) {
        switch (key) {
            case VK_TAB:
                if (KeyHeld(VK_CONTROL)) break;
                SelectNext(activeControl_, !KeyHeld(VK_SHIFT), true);
                return true;
            case VK_LEFT:
            case VK_RIGHT:
            case VK_UP:
            case VK_DOWN:
                if (activeControl_ && activeControl_->Parent())
                    activeControl_->Parent()->SelectNext(activeControl_, key == VK_RIGHT || key == VK_DOWN, false);
                return activeControl_ != nullptr;
            default: break;
        }
    }
    return OfferDialogKey(key, keyData);
}
