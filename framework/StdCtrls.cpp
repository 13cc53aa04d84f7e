#include "framework/StdCtrls.h"

#include <algorithm>

#include "framework/Layout.h"
#include "framework/LayoutProperties.h"

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) {
    SetControlStyle(ControlStyle() | csOpaque);
    SetBounds(0, 0, 65, 17);
    SetParentColor(true);
}

UINT TLabel::TextFormat() const {
    UINT format = DT_EXPANDTABS | DT_NOPREFIX | (wordWrap_ ? DT_WORDBREAK : 0);
    switch (alignment_) {
        case TAlignment::taLeftJustify: return format | DT_LEFT;
        case TAlignment::taRightJustify: return format | DT_RIGHT;
        case TAlignment::taCenter: return format | DT_CENTER;
    }
    return format;
}

void TLabel::AdjustBounds() {
    if (!autoSize_ || Loading()) return;
    HDC dc = GetDC(nullptr);
    HGDIOBJ oldFont = SelectObject(dc, Font().Handle());
    std::string text = Text();
    RECT rect{0, 0, wordWrap_ ? Width() : 0, 0};
    // An empty caption still takes a line's height.
    DrawTextA(dc, text.empty() ? " " : text.c_str(), -1, &rect, TextFormat() | DT_CALCRECT);
    SelectObject(dc, oldFont);
    ReleaseDC(nullptr, dc);
    int left = Left();
    if (alignment_ == TAlignment::taRightJustify) left += Width() - rect.right;
    else if (alignment_ == TAlignment::taCenter) left += (Width() - rect.right) / 2;
    SetBounds(left, Top(), rect.right, rect.bottom);
}

void TLabel::SetAutoSize(bool value) {
    if (autoSize_ == value) return;
    autoSize_ = value;
    AdjustBounds();
}

void TLabel::SetAlignment(TAlignment value) {
    if (alignment_ == value) return;
    alignment_ = value;
    Invalidate();
}

void TLabel::SetTransparent(bool value) {
    if (transparent_ == value) return;
    transparent_ = value;
    SetControlStyle(value ? ControlStyle() & ~csOpaque : ControlStyle() | csOpaque);
    Invalidate();
}

void TLabel::SetWordWrap(bool value) {
    if (wordWrap_ == value) return;
    wordWrap_ = value;
    AdjustBounds();
    Invalidate();
}

void TLabel::Loaded() {
    TGraphicControl::Loaded();
    AdjustBounds();
}

void TLabel::Paint() {
    TCanvas& canvas = Canvas();
    RECT rect{0, 0, Width(), Height()};
    if (!transparent_) {
        canvas.Brush().SetStyle(bsSolid);
        canvas.Brush().SetColor(Color());
        canvas.FillRect(rect);
    }
    canvas.Brush().SetStyle(bsClear);
    canvas.Font().Assign(Font());
    std::string text = Text();
    if (!Enabled()) {
        // Disabled text is engraved: a highlight offset by one pixel under the grey.
        RECT shifted = rect;
        OffsetRect(&shifted, 1, 1);
        canvas.Font().SetColor(clBtnHighlight);
        canvas.DrawText(text, shifted, TextFormat());
        canvas.Font().SetColor(clBtnShadow);
    }
    canvas.DrawText(text, rect, TextFormat());
}

void TLabel::WndProc(TMessage& message) {
    if (message.Msg == CM_TEXTCHANGED || message.Msg == CM_FONTCHANGED) AdjustBounds();
    TGraphicControl::WndProc(message);
}

bool TLabel::ReadProperty(std::string_view name, const TLayoutValue& value, TLayoutContext& context) {
    if (name == "AutoSize") SetAutoSize(value.Boolean());
    else if (name == "Alignment")
        SetAlignment(static_cast<TAlignment>(ReadEnumeration(value, {"taLeftJustify", "taRightJustify", "taCenter"})));
    else if (name == "Transparent") SetTransparent(value.Boolean());
    else if (name == "WordWrap") SetWordWrap(value.Boolean());
    else return TGraphicControl::ReadProperty(name, value, context);
    return true;
}

TEdit::TEdit(TComponent* owner) : TWinControl(owner) {
    SetBounds(0, 0, 121, 25);
    SetTabStop(true);
}

void TEdit::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.className = "EDIT";
    params.builtInClass = true;
    params.style |= ES_AUTOHSCROLL | (readOnly_ ? ES_READONLY : 0);
    params.exStyle |= WS_EX_CLIENTEDGE;
}

void TEdit::CreateWnd() {
    TWinControl::CreateWnd();
    SendMessageA(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
}

void TEdit::SetMaxLength(int value) {
    value = std::max(value, 0);
    if (maxLength_ == value) return;
    maxLength_ = value;
    if (HandleAllocated()) SendMessageA(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
}

void TEdit::SetReadOnly(bool value) {
    if (readOnly_ == value) return;
    readOnly_ = value;
    if (HandleAllocated()) SendMessageA(Handle(), EM_SETREADONLY, value, 0);
}

void TEdit::SelectAll() {
    if (HandleAllocated()) SendMessageA(Handle(), EM_SETSEL, 0, -1);
}

void TEdit::DoEnter() {
    // Tabbing into the box selects its text, so typing replaces it; a click places the caret instead.
    if (autoSelect_ && GetKeyState(VK_LBUTTON) >= 0) SelectAll();
    TWinControl::DoEnter();
}

void TEdit::WndProc(TMessage& message) {
    if (message.Msg == CN_COMMAND && HIWORD(message.WParam) == EN_CHANGE) {
        if (OnChange && !Loading()) OnChange(this);
        return;
    }
    TWinControl::WndProc(message);
}

bool TEdit::ReadProperty(std::string_view name, const TLayoutValue& value, TLayoutContext& context) {
    if (name == "MaxLength") SetMaxLength(value.Integer());
    else if (name == "ReadOnly") SetReadOnly(value.Boolean());
    else if (name == "AutoSelect") SetAutoSelect(value.Boolean());
    else if (name == "OnChange") OnChange = context.Handler<TNotifyEvent>(value.Text());
    else return TWinControl::ReadProperty(name, value, context);
    return true;
}

TButton::TButton(TComponent* owner) : TWinControl(owner) {
    // The platform's button captures the mouse and reports the click itself.
    SetControlStyle(csSetCaption | csDoubleClicks);
    SetBounds(0, 0, 75, 25);
    SetTabStop(true);
}

void TButton::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.className = "BUTTON";
    params.builtInClass = true;
    params.style |= active_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::SetActive(bool value) {
    if (active_ == value) return;
    active_ = value;
    if (HandleAllocated()) SendMessageA(Handle(), BM_SETSTYLE, value ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::SetDefault(bool value) {
    default_ = value;
    TFormBase* form = GetParentForm(this);
    TWinControl* focused = form ? TWinControl::FindControl(GetFocus()) : nullptr;
    if (dynamic_cast<TButton*>(focused) && GetParentForm(focused) == form) SetActive(focused == this);
    else SetActive(value);
}

void TButton::Click() {
    if (TFormBase* form = GetParentForm(this)) form->SetModalResult(modalResult_);
    TWinControl::Click();
}

void TButton::WndProc(TMessage& message) {
    switch (message.Msg) {
        case CN_COMMAND:
            if (HIWORD(message.WParam) == BN_CLICKED) Click();
            return;
        case CM_DIALOGKEY: {
            auto key = static_cast<WORD>(message.WParam);
            if (((key == VK_RETURN && active_) || (key == VK_ESCAPE && cancel_)) &&
                KeyDataToShiftState(message.LParam) == 0 && CanFocus()) {
                Click();
                message.Result = 1;
            }
            return;
        }
        case CM_FOCUSCHANGED: {
            auto* focused = reinterpret_cast<TControl*>(message.LParam);
            if (dynamic_cast<TButton*>(focused)) SetActive(focused == this);
            else SetActive(default_);
            return;
        }
        default: break;
    }
    TWinControl::WndProc(message);
}

bool TButton::ReadProperty(std::string_view name, const TLayoutValue& value, TLayoutContext& context) {
    if (name == "ModalResult") SetModalResult(value.Integer());
    else if (name == "Default") SetDefault(value.Boolean());
    else if (name == "Cancel") SetCancel(value.Boolean());
    else return TWinControl::ReadProperty(name, value, context);
    return true;
}

TCustomGroupBox::TCustomGroupBox(TComponent* owner) : TCustomControl(owner) {
    SetControlStyle(csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks);
    SetBounds(0, 0, 185, 105);
}

void TCustomGroupBox::Paint() {
    TCanvas& canvas = Canvas();
    canvas.Font().Assign(Font());
    int textHeight = canvas.TextHeight("0");
    RECT frame{0, textHeight / 2 - 1, Width(), Height()};
    // An engraved line: shadow, with the highlight one pixel inside it.
    RECT outer{frame.left, frame.top, frame.right - 1, frame.bottom - 1};
    Frame3D(canvas, outer, clBtnShadow, clBtnShadow, 1);
    RECT inner{frame.left + 1, frame.top + 1, frame.right, frame.bottom};
    Frame3D(canvas, inner, clBtnHighlight, clBtnHighlight, 1);
    std::string caption = Text();
    if (caption.empty()) return;
    RECT text{8, 0, 0, textHeight};
    canvas.DrawText(caption, text, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    canvas.Brush().SetStyle(bsSolid);
    canvas.Brush().SetColor(Color());
    canvas.DrawText(caption, text, DT_SINGLELINE | DT_NOPREFIX);
}

void TCustomGroupBox::WndProc(TMessage& message) {
    if (message.Msg == CM_TEXTCHANGED) Invalidate();
    TCustomControl::WndProc(message);
}

void RegisterFrameworkComponents() {
    static bool registered = false;
    if (registered) return;
    registered = true;
    RegisterComponentClass<TPanel>("TPanel");
    RegisterComponentClass<TBevel>("TBevel");
    RegisterComponentClass<TImage>("TImage");
    RegisterComponentClass<TLabel>("TLabel");
    RegisterComponentClass<TEdit>("TEdit");
    RegisterComponentClass<TButton>("TButton");
    RegisterComponentClass<TGroupBox>("TGroupBox");
}
