#include "controls/CheckBox.h"

#include "framework/Layout.h"
#include "framework/LayoutProperties.h"

TCustomCheckBox::TCustomCheckBox(TComponent* owner) : TButtonControl(owner) {
    SetBounds(0, 0, 97, 17);
    SetTabStop(true);
}

void TCustomCheckBox::CreateParams(TCreateParams& params) {
    TButtonControl::CreateParams(params);
    params.style |= BS_3STATE | (alignment_ == TLeftRight::taLeftJustify ? BS_LEFTTEXT : 0);
}

void TCustomCheckBox::CreateWnd() {
    TButtonControl::CreateWnd();
    SendMessageA(Handle(), BM_SETCHECK, static_cast<WPARAM>(state_), 0);
}

void TCustomCheckBox::SetState(TCheckBoxState value) {
    if (state_ == value) return;
    state_ = value;
    if (HandleAllocated()) SendMessageA(Handle(), BM_SETCHECK, static_cast<WPARAM>(state_), 0);
    // A state read from a layout is the starting state, not a change anyone asked to hear of.
    if (!ClicksDisabled() && !Loading()) Click();
}

void TCustomCheckBox::SetAlignment(TLeftRight value) {
    if (alignment_ == value) return;
    alignment_ = value;
    RecreateWnd();
}

void TCustomCheckBox::Toggle() {
    switch (state_) {
        case TCheckBoxState::cbUnchecked:
            SetState(allowGrayed_ ? TCheckBoxState::cbGrayed : TCheckBoxState::cbChecked);
            break;
        case TCheckBoxState::cbChecked: SetState(TCheckBoxState::cbUnchecked); break;
        case TCheckBoxState::cbGrayed: SetState(TCheckBoxState::cbChecked); break;
    }
}

void TCustomCheckBox::Click() {
    Changed();
    TButtonControl::Click();
}

void TCustomCheckBox::ButtonNotified(WORD notifyCode) {
    if (notifyCode == BN_CLICKED) Toggle();
}

void TCustomCheckBox::WndProc(TMessage& message) {
    if (message.Msg == CM_DIALOGCHAR && IsAccelerator(static_cast<char>(message.WParam), Caption()) && CanFocus()) {
        SetFocus();
        if (Focused()) Toggle();
        message.Result = 1;
        return;
    }
    TButtonControl::WndProc(message);
}

bool TCustomCheckBox::ReadProperty(std::string_view name, const TLayoutValue& value, TLayoutContext& context) {
    if (name == "Checked") SetChecked(value.Boolean());
    else if (name == "State")
        SetState(static_cast<TCheckBoxState>(ReadEnumeration(value, {"cbUnchecked", "cbChecked", "cbGrayed"})));
    else if (name == "AllowGrayed") SetAllowGrayed(value.Boolean());
    else if (name == "Alignment")
        SetAlignment(static_cast<TLeftRight>(ReadEnumeration(value, {"taLeftJustify", "taRightJustify"})));
    else return TButtonControl::ReadProperty(name, value, context);
    return true;
}
