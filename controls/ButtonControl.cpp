#include "controls/ButtonControl.h"

#include <cctype>

#include "framework/Layout.h"
#include "runtime/Exception.h"

TButtonControl::TButtonControl(TComponent* owner) : TWinControl(owner) {
    // The platform's button captures the mouse and reports the clicks; the framework adds no click of its own.
    SetControlStyle(csSetCaption | csDoubleClicks);
    SetParentColor(true);
}

void TButtonControl::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.className = ClassName();
    params.builtInClass = true;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA cls;
    if (GetClassInfoA(instance, params.className.c_str(), &cls)) return;
    if (!GetClassInfoA(nullptr, "BUTTON", &cls)) throw EOutOfResources(Msg::SWindowClass);
    // The box and its caption keep their place when the control is resized, so a resize need not repaint it all.
    cls.style &= ~(CS_HREDRAW | CS_VREDRAW | CS_GLOBALCLASS);
    cls.hInstance = instance;
    cls.lpszClassName = params.className.c_str();
    if (!RegisterClassA(&cls)) throw EOutOfResources(Msg::SWindowClass);
}

void TButtonControl::WndProc(TMessage& message) {
    switch (message.Msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (!Focused()) {
                clicksDisabled_ = true;
                ::SetFocus(Handle());
                clicksDisabled_ = false;
                if (!Focused()) return;
            }
            break;
        case CN_COMMAND:
            if (!clicksDisabled_) ButtonNotified(HIWORD(message.WParam));
            return;
        default: break;
    }
    TWinControl::WndProc(message);
}

void TButtonControl::Changed() { Perform(CM_CHANGED, 0, reinterpret_cast<LPARAM>(this)); }

TRadioButton::TRadioButton(TComponent* owner) : TButtonControl(owner) { SetBounds(0, 0, 113, 17); }

void TRadioButton::CreateParams(TCreateParams& params) {
    TButtonControl::CreateParams(params);
    params.style |= BS_RADIOBUTTON;
}

void TRadioButton::CreateWnd() {
    TButtonControl::CreateWnd();
    SendMessageA(Handle(), BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TRadioButton::SetChecked(bool value) {
    if (checked_ == value) return;
    checked_ = value;
    SetTabStop(value);
    if (HandleAllocated()) SendMessageA(Handle(), BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
    if (!value) return;
    if (TWinControl* parent = Parent()) {
        for (int i = 0; i < parent->ControlCount(); ++i) {
            auto* sibling = dynamic_cast<TRadioButton*>(parent->Controls(i));
            if (sibling && sibling != this) sibling->SetChecked(false);
        }
    }
    Changed();
    if (!ClicksDisabled() && !Loading()) Click();
}

void TRadioButton::ButtonNotified(WORD notifyCode) {
    if (notifyCode == BN_CLICKED) SetChecked(true);
    else if (notifyCode == BN_DOUBLECLICKED) DblClick();
}

bool TRadioButton::ReadProperty(std::string_view name, const TLayoutValue& value, TLayoutContext& context) {
    if (name == "Checked") SetChecked(value.Boolean());
    else return TButtonControl::ReadProperty(name, value, context);
    return true;
}

bool IsAccelerator(char key, std::string_view caption) {
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {
            ++i;  // "&&" is a plain ampersand
            continue;
        }
        auto upper = [](char c) { return std::toupper(static_cast<unsigned char>(c)); };
        return upper(caption[i + 1]) == upper(key);
    }
    return false;
}
