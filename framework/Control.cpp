#include "framework/Control.h"

#include <algorithm>
#include <vector>

#include "framework/Layout.h"
#include "framework/LayoutProperties.h"
#include "framework/WinControl.h"

namespace {

TControl* captureControl = nullptr;

TShiftState MouseShift(WPARAM keys) {
    TShiftState shift = 0;
    if (keys & MK_SHIFT) shift |= ssShift;
    if (keys & MK_CONTROL) shift |= ssCtrl;
    if (keys & MK_LBUTTON) shift |= ssLeft;
    if (keys & MK_RBUTTON) shift |= ssRight;
    if (keys & MK_MBUTTON) shift |= ssMiddle;
    if (GetKeyState(VK_MENU) < 0) shift |= ssAlt;
    return shift;
}

}  // namespace

TControl* CaptureControl() { return captureControl; }

void SetCaptureControl(TControl* control) {
    captureControl = control;
    if (!control) {
        if (GetCapture()) ReleaseCapture();
        return;
    }
    auto* windowed = dynamic_cast<TWinControl*>(control);
    if (!windowed) windowed = control->Parent();
    if (windowed && windowed->HandleAllocated()) SetCapture(windowed->Handle());
}

TControl::TControl(TComponent* owner) : TComponent(owner), font_(std::make_unique<TFont>()) {
    font_->OnChange = [this](TObject*) { FontChanged(); };
}

TControl::~TControl() {
    MarkDestroying();
    // A graphic control holds the mouse through its parent's window, which stays: it must let go of it too.
    if (captureControl == this) SetCaptureControl(nullptr);
    font_->OnChange = nullptr;
    if (parent_) parent_->RemoveControl(this);
    parent_ = nullptr;
}

void TControl::SetParent(TWinControl* parent) {
    if (parent_ == parent || parent == this) return;
    if (parent_) parent_->RemoveControl(this);
    parent_ = parent;
    if (!parent_) return;
    parent_->InsertControl(this);
    if (parentFont_) TakeParentFont();
    if (parentColor_) TakeParentColor();
}

void TControl::SetBounds(int left, int top, int width, int height) {
    if (left == left_ && top == top_ && width == width_ && height == height_) return;
    bool resized = width != width_ || height != height_;
    if (parent_ && visible_) Invalidate();  // the old place
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    if (parent_ && visible_) Invalidate();  // the new one
    if (resized) Resize();
}

void TControl::StoreBounds(int left, int top, int width, int height) {
    bool resized = width != width_ || height != height_;
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    if (resized) Resize();
}

RECT TControl::ClientRect() const { return {0, 0, width_, height_}; }

int TControl::ClientWidth() const { return ClientRect().right; }

int TControl::ClientHeight() const { return ClientRect().bottom; }

void TControl::SetClientSize(int width, int height) {
    RECT client = ClientRect();
    SetBounds(left_, top_, width_ + width - client.right, height_ + height - client.bottom);
}

POINT TControl::ClientOrigin() const {
    POINT origin{left_, top_};
    if (parent_) {
        POINT base = parent_->ClientOrigin();
        origin.x += base.x;
        origin.y += base.y;
    }
    return origin;
}

POINT TControl::ClientToScreen(POINT point) const {
    POINT origin = ClientOrigin();
    return {point.x + origin.x, point.y + origin.y};
}

POINT TControl::ScreenToClient(POINT point) const {
    POINT origin = ClientOrigin();
    return {point.x - origin.x, point.y - origin.y};
}

void TControl::SetVisible(bool value) {
    if (visible_ == value) return;
    visible_ = value;
    Perform(CM_VISIBLECHANGED, value, 0);
    TellReaders(value ? EVENT_OBJECT_SHOW : EVENT_OBJECT_HIDE);
}

bool TControl::Showing() const { return visible_ && parent_ && parent_->Showing(); }

void TControl::SetEnabled(bool value) {
    if (enabled_ == value) return;
    enabled_ = value;
    Perform(CM_ENABLEDCHANGED, 0, 0);
    TellReaders(EVENT_OBJECT_STATECHANGE);
}

void TControl::TellReaders(DWORD event) {
    // A windowed control's window tells of itself; a part's window exists only once its parent's does, and
    // before then no reader can have seen the part.
    if (!ReadAsPart() || !parent_ || !parent_->HandleAllocated()) return;
    const std::vector<TControl*> parts = parent_->ReaderParts();
    const auto found = std::find(parts.begin(), parts.end(), this);
    if (found == parts.end()) return;
    // Windows numbers a window's children from 1, 0 being the window itself.
    NotifyWinEvent(event, parent_->Handle(), OBJID_CLIENT, static_cast<LONG>(found - parts.begin()) + 1);
}

void TControl::SetColor(TColor value) {
    parentColor_ = false;
    if (color_ == value) return;
    color_ = value;
    Perform(CM_COLORCHANGED, 0, 0);
}

void TControl::SetParentColor(bool value) {
    if (parentColor_ == value) return;
    parentColor_ = value;
    if (value && parent_) TakeParentColor();
}

void TControl::TakeParentColor() {
    if (color_ == parent_->Color()) return;
    color_ = parent_->Color();
    Perform(CM_COLORCHANGED, 0, 0);
}

void TControl::SetParentFont(bool value) {
    if (parentFont_ == value) return;
    parentFont_ = value;
    if (value && parent_) TakeParentFont();
}

void TControl::TakeParentFont() {
    takingParentFont_ = true;
    font_->Assign(parent_->Font());
    takingParentFont_ = false;
}

void TControl::FontChanged() {
    // A font changed by its own properties is this control's own from now on; one taken from the parent stays
    // the parent's.
    if (!takingParentFont_) parentFont_ = false;
    Perform(CM_FONTCHANGED, 0, 0);
}

void TControl::SetText(const std::string& value) {
    if (value == Text()) return;
    text_ = value;
    Perform(CM_TEXTCHANGED, 0, 0);
    TellReaders(EVENT_OBJECT_NAMECHANGE);
}

void TControl::SetHint(std::string value) {
    if (value == hint_) return;
    hint_ = std::move(value);
    // A tool button is read by its hint.
    TellReaders(EVENT_OBJECT_NAMECHANGE);
}

bool TControl::ShowHint() const { return parentShowHint_ && parent_ ? parent_->ShowHint() : showHint_; }

void TControl::SetShowHint(bool value) {
    if (showHint_ == value && !parentShowHint_) return;
    showHint_ = value;
    parentShowHint_ = false;
}

void TControl::SetParentShowHint(bool value) { parentShowHint_ = value; }

LRESULT TControl::Perform(UINT message, WPARAM wParam, LPARAM lParam) {
    TMessage m{message, wParam, lParam, 0};
    WndProc(m);
    return m.Result;
}

void TControl::WndProc(TMessage& message) {
    switch (message.Msg) {
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
        case WM_MBUTTONDBLCLK: HandleMouse(message); return;
        case CM_ENABLEDCHANGED:
        case CM_FONTCHANGED:
        case CM_COLORCHANGED:
        case CM_TEXTCHANGED: Invalidate(); return;
        case CM_VISIBLECHANGED:
            if (parent_) {
                RECT bounds = BoundsRect();
                if (parent_->HandleAllocated()) InvalidateRect(parent_->Handle(), &bounds, TRUE);
            }
            return;
        case CM_PARENTFONTCHANGED:
            if (parentFont_ && parent_) TakeParentFont();
            return;
        case CM_PARENTCOLORCHANGED:
            if (parentColor_ && parent_) TakeParentColor();
            return;
        case CM_HITTEST: message.Result = HTCLIENT; return;
        default: DefaultHandler(message); return;
    }
}

void TControl::DefaultHandler(TMessage&) {}

void TControl::HandleMouse(TMessage& message) {
    // The window's own handling first (a list box moves its selection), then the control's events.
    DefaultHandler(message);
    int x = GET_X_LPARAM(message.LParam);
    int y = GET_Y_LPARAM(message.LParam);
    TShiftState shift = MouseShift(message.WParam);
    auto down = [&](TMouseButton button, bool twice) {
        if (controlStyle_ & csCaptureMouse) SetMouseCapture(true);
        if (button == TMouseButton::mbLeft && (controlStyle_ & csClickEvents)) {
            if (twice) DblClick();
            else AddState(csClicked);
        }
        MouseDown(button, shift | (twice ? ssDouble : 0), x, y);
    };
    auto up = [&](TMouseButton button) {
        if (controlStyle_ & csCaptureMouse) SetMouseCapture(false);
        if (button == TMouseButton::mbLeft && (controlState_ & csClicked)) {
            RemoveState(csClicked);
            RECT client = ClientRect();
            if (PtInRect(&client, POINT{x, y})) Click();
        }
        MouseUp(button, shift, x, y);
    };
    switch (message.Msg) {
        case WM_MOUSEMOVE: MouseMove(shift, x, y); break;
        case WM_LBUTTONDOWN: down(TMouseButton::mbLeft, false); break;
        case WM_LBUTTONDBLCLK: down(TMouseButton::mbLeft, (controlStyle_ & csDoubleClicks) != 0); break;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK: down(TMouseButton::mbRight, false); break;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK: down(TMouseButton::mbMiddle, false); break;
        case WM_LBUTTONUP: up(TMouseButton::mbLeft); break;
        case WM_RBUTTONUP: up(TMouseButton::mbRight); break;
        case WM_MBUTTONUP: up(TMouseButton::mbMiddle); break;
        default: break;
    }
}

void TControl::SetMouseCapture(bool capture) {
    if (capture) SetCaptureControl(this);
    else if (captureControl == this) SetCaptureControl(nullptr);
}

void TControl::Click() {
    if (OnClick) OnClick(this);
}

void TControl::DblClick() {
    if (OnDblClick) OnDblClick(this);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
    if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TControl::Resize() {
    if (OnResize) OnResize(this);
}

void TControl::Loaded() {
    TComponent::Loaded();
    if (parent_ && parentFont_) TakeParentFont();
    if (parent_ && parentColor_) TakeParentColor();
}

void TControl::Invalidate() {
    if (!parent_ || !parent_->HandleAllocated() || !visible_) return;
    RECT bounds = BoundsRect();
    InvalidateRect(parent_->Handle(), &bounds, !(controlStyle_ & csOpaque));
}

void TControl::Update() {
    if (parent_) parent_->Update();
}

void TControl::Repaint() {
    Invalidate();
    Update();
}

void TControl::BringToFront() {
    if (!parent_) return;
    TWinControl* parent = parent_;
    parent->RemoveControl(this);
    parent->InsertControl(this);
    Invalidate();
}

bool TControl::ReadProperty(std::string_view name, const TLayoutValue& value, TLayoutContext& context) {
    if (name == "Left") SetLeft(value.Integer());
    else if (name == "Top") SetTop(value.Integer());
    else if (name == "Width") SetWidth(value.Integer());
    else if (name == "Height") SetHeight(value.Integer());
    else if (name == "ClientWidth") SetClientSize(value.Integer(), ClientHeight());
    else if (name == "ClientHeight") SetClientSize(ClientWidth(), value.Integer());
    else if (name == "Visible") SetVisible(value.Boolean());
    else if (name == "Enabled") SetEnabled(value.Boolean());
    else if (name == "Color") SetColor(ReadColor(value));
    else if (name == "ParentColor") SetParentColor(value.Boolean());
    else if (name == "Font") ReadFont(*font_, value);
    else if (name == "ParentFont") SetParentFont(value.Boolean());
    else if (name == "Caption" || name == "Text") SetText(value.Text());
    else if (name == "Hint") SetHint(value.Text());
    else if (name == "ShowHint") SetShowHint(value.Boolean());
    else if (name == "ParentShowHint") SetParentShowHint(value.Boolean());
    else if (name == "OnClick") OnClick = context.Handler<TNotifyEvent>(value.Text());
    else if (name == "OnDblClick") OnDblClick = context.Handler<TNotifyEvent>(value.Text());
    else if (name == "OnMouseDown") OnMouseDown = context.Handler<TMouseEvent>(value.Text());
    else if (name == "OnMouseMove") OnMouseMove = context.Handler<TMouseMoveEvent>(value.Text());
    else if (name == "OnMouseUp") OnMouseUp = context.Handler<TMouseEvent>(value.Text());
    else if (name == "OnResize") OnResize = context.Handler<TNotifyEvent>(value.Text());
    else return TComponent::ReadProperty(name, value, context);
    return true;
}
