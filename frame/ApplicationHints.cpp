// Hints: the control under the mouse that shows hints, the pause before its hint appears, the hint window and
// the pause before it goes again.

#include "frame/Application.h"
#include "frame/HintWindow.h"

namespace {

// The framework control under a screen position: a graphic control where there is one, else the windowed one.
TControl* ControlAt(POINT screenPoint) {
    HWND window = WindowFromPoint(screenPoint);
    TWinControl* windowed = nullptr;
    for (; window && !windowed; window = GetParent(window)) windowed = TWinControl::FindControl(window);
    if (!windowed) return nullptr;
    POINT client = windowed->ScreenToClient(screenPoint);
    if (TControl* graphic = windowed->ControlAtPos(client, false)) return graphic;
    return windowed;
}

// A control's own hint, or its nearest parent's, up to the first "|" (what follows is for a status line).
std::string HintTextOf(const TControl* control) {
    for (; control; control = control->Parent()) {
        if (control->Hint().empty()) continue;
        const std::string& hint = control->Hint();
        return hint.substr(0, hint.find('|'));
    }
    return {};
}

}  // namespace

void CALLBACK HintTimerExpired(HWND, UINT, UINT_PTR id, DWORD) {
    TApplication& application = Application();
    KillTimer(nullptr, id);
    if (id == application.hideTimer_) {
        application.hideTimer_ = 0;
        if (application.hintWindow_) application.hintWindow_->ReleaseHint();
        application.hintShowing_ = false;
        return;
    }
    if (id != application.hintTimer_) return;
    application.hintTimer_ = 0;
    try {
        application.ShowHintNow();
    } catch (...) {
        application.ReportException(&application);
    }
}

void TApplication::SetShowHint(bool value) {
    if (showHint_ == value) return;
    showHint_ = value;
    if (!value) CancelHint();
}

void TApplication::TrackHint() {
    POINT cursor;
    GetCursorPos(&cursor);
    TControl* control = showHint_ ? ControlAt(cursor) : nullptr;
    while (control && !control->ShowHint()) control = control->Parent();
    if (control == hintControl_) return;
    bool quick = hintShowing_;
    CancelHint();
    if (hintControl_) hintControl_->RemoveFreeNotification(this);
    hintControl_ = control;
    if (!control) return;
    control->FreeNotification(this);
    if (!HintTextOf(control).empty())
        hintTimer_ = SetTimer(nullptr, 0, static_cast<UINT>(quick ? hintShortPause_ : hintPause_), HintTimerExpired);
}

void TApplication::ShowHintNow() {
    // Only over this program's active window, and only while the mouse stays on the control that asked.
    if (!hintControl_ || !GetActiveWindow()) return;
    POINT cursor;
    GetCursorPos(&cursor);
    TControl* control = ControlAt(cursor);
    while (control && !control->ShowHint()) control = control->Parent();
    if (control != hintControl_) return;
    std::string text = HintTextOf(control);
    if (text.empty()) return;
    if (!hintWindow_) hintWindow_ = new THintWindow(this);
    hintWindow_->SetColor(hintColor_);
    hintWindow_->ActivateHint({cursor.x, cursor.y + GetSystemMetrics(SM_CYCURSOR)}, text);
    hintShowing_ = true;
    hideTimer_ = SetTimer(nullptr, 0, static_cast<UINT>(hintHidePause_), HintTimerExpired);
}

void TApplication::CancelHint() {
    if (hintTimer_) KillTimer(nullptr, hintTimer_);
    if (hideTimer_) KillTimer(nullptr, hideTimer_);
    hintTimer_ = hideTimer_ = 0;
    if (hintShowing_ && hintWindow_) hintWindow_->ReleaseHint();
    hintShowing_ = false;
}

void TApplication::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation != TOperation::opRemove) return;
    if (component == hintControl_) {
        CancelHint();
        hintControl_ = nullptr;
    }
    if (component == hintWindow_) hintWindow_ = nullptr;
    if (component == mainForm_) mainForm_ = nullptr;
}
