#include "framework/WinControl.h"

#include <algorithm>

#include "framework/ErrorTrap.h"
#include "framework/Layout.h"
#include "runtime/Exception.h"

namespace {

constexpr char kControlProperty[] = "KorvoControl";

// A windowed control whose window is being made: messages its parent hears about it during CreateWindowExA
// (WM_MEASUREITEM of an owner-drawn list) reach it before the window is bound to it.
TWinControl* creating = nullptr;
WORD nextId = 0;

HMENU NextChildId() {
    if (++nextId == 0) ++nextId;
    return reinterpret_cast<HMENU>(static_cast<uintptr_t>(nextId));
}

bool IsMouseMessage(UINT message) { return message >= WM_MOUSEFIRST && message <= WM_MOUSELAST && message != WM_MOUSEWHEEL; }

}  // namespace

LRESULT CALLBACK FrameworkWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    TWinControl* control = TWinControl::FindControl(window);
    if (!control) return DefWindowProcA(window, message, wParam, lParam);
    TMessage m{message, wParam, lParam, 0};
    try {
        control->WndProc(m);
    } catch (...) {
        ShowCurrentError(control);
    }
    if (message == WM_NCDESTROY && TWinControl::FindControl(window) == control) {
        RemovePropA(window, kControlProperty);
        control->handle_ = nullptr;
        control->defaultProc_ = nullptr;
    }
    return m.Result;
}

TWinControl* TWinControl::FindControl(HWND window) {
    return window ? static_cast<TWinControl*>(GetPropA(window, kControlProperty)) : nullptr;
}

TFormBase* GetParentForm(const TControl* control) {
    const TControl* top = control;
    while (top && top->Parent()) top = top->Parent();
    return dynamic_cast<TFormBase*>(const_cast<TControl*>(top));
}

TWinControl::TWinControl(TComponent* owner) : TControl(owner) { brush_.SetColor(Color()); }

TWinControl::~TWinControl() {
    MarkDestroying();
    for (TControl* child : controls_) child->parent_ = nullptr;
    controls_.clear();
    tabList_.clear();
    if (handle_) {
        // The window goes without this half-destroyed object hearing of it; the children's objects still hear of
        // theirs and forget their handles.
        RemovePropA(handle_, kControlProperty);
        SetWindowLongPtrA(handle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(defaultProc_));
        DestroyWindow(handle_);
        handle_ = nullptr;
    }
}

HWND TWinControl::Handle() {
    if (!handle_) {
        if (Parent()) Parent()->HandleNeeded();
        if (!handle_) CreateWnd();
    }
    return handle_;
}

void TWinControl::CreateParams(TCreateParams& params) {
    params.caption = StoredText();
    params.style = WS_CLIPSIBLINGS | (Enabled() ? 0 : WS_DISABLED) | (tabStop_ ? WS_TABSTOP : 0);
    if (Parent()) {
        params.style |= WS_CHILD | (Visible() ? WS_VISIBLE : 0);
        params.parent = Parent()->Handle();
        params.id = NextChildId();
    }
    params.x = Left();
    params.y = Top();
    params.width = Width();
    params.height = Height();
    params.className = ClassName();
}

void TWinControl::CreateWnd() {
    TCreateParams params;
    CreateParams(params);
    if (!params.builtInClass) {
        WNDCLASSA existing;
        if (!GetClassInfoA(GetModuleHandleA(nullptr), params.className.c_str(), &existing)) {
            WNDCLASSA cls{};
            cls.style = params.classStyle;
            cls.lpfnWndProc = DefWindowProcA;
            cls.hInstance = GetModuleHandleA(nullptr);
            cls.hCursor = LoadCursorA(nullptr, IDC_ARROW);
            cls.lpszClassName = params.className.c_str();
            if (!RegisterClassA(&cls)) throw EOutOfResources(Msg::SWindowClass);
        }
    }
    TWinControl* outer = creating;
    creating = this;
    HWND window = CreateWindowExA(params.exStyle, params.className.c_str(), params.caption.c_str(), params.style,
                                  params.x, params.y, params.width, params.height, params.parent, params.id,
                                  GetModuleHandleA(nullptr), nullptr);
    creating = outer;
    if (!window) throw EOutOfResources(Msg::SWindowCreate);
    handle_ = window;
    SetPropA(window, kControlProperty, this);
    defaultProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FrameworkWindowProc)));
    ApplyFont();
}

void TWinControl::DestroyWnd() {
    // What the user typed lives in the window; the next window starts with it.
    StoredText() = Text();
}

void TWinControl::DestroyHandle() {
    if (!handle_) return;
    for (TControl* child : controls_)
        if (auto* windowed = dynamic_cast<TWinControl*>(child)) windowed->DestroyHandle();
    DestroyWnd();
    if (handle_) DestroyWindow(handle_);  // WM_NCDESTROY forgets the handle
    handle_ = nullptr;
}

void TWinControl::RecreateWnd() {
    if (!handle_) return;
    // The focus may be on this control or on one inside it; either window goes with this one's.
    TWinControl* focused = FindControl(GetFocus());
    const TControl* above = focused;
    while (above && above != this) above = above->Parent();
    if (!above) focused = nullptr;
    DestroyHandle();
    UpdateShowing();
    // Straight to the new window: the form still holds that control as its active one, so asking the form would
    // change nothing and leave the keyboard with no window at all.
    if (focused && focused->handle_) ::SetFocus(focused->handle_);
}

void TWinControl::UpdateShowing() {
    if (!Showing()) return;
    HandleNeeded();
    for (TControl* child : std::vector<TControl*>(controls_))
        if (auto* windowed = dynamic_cast<TWinControl*>(child); windowed && windowed->Visible()) windowed->UpdateShowing();
}

void TWinControl::ApplyFont() {
    if (handle_) SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), FALSE);
}

void TWinControl::InsertControl(TControl* control) {
    controls_.push_back(control);
    if (auto* windowed = dynamic_cast<TWinControl*>(control)) {
        tabList_.push_back(windowed);
        if (handle_ && Showing() && windowed->Visible()) windowed->UpdateShowing();
    } else {
        control->Invalidate();
    }
}

void TWinControl::RemoveControl(TControl* control) {
    if (TFormBase* form = GetParentForm(this)) form->ForgetControl(control);
    if (auto* windowed = dynamic_cast<TWinControl*>(control)) {
        if (!windowed->Destroying()) windowed->DestroyHandle();
        std::erase(tabList_, windowed);
    } else {
        control->Invalidate();
    }
    std::erase(controls_, control);
    if (CaptureControl() == control) SetCaptureControl(nullptr);
}

TControl* TWinControl::ControlAtPos(POINT point, bool allowDisabled) const {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        TControl* control = *it;
        if (!control->Visible() || (!allowDisabled && !control->Enabled())) continue;
        RECT bounds = control->BoundsRect();
        // The type is asked last: the hints look here every time the program falls idle.
        if (!PtInRect(&bounds, point) || dynamic_cast<TWinControl*>(control)) continue;
        if (control->Perform(CM_HITTEST, 0, 0)) return control;
    }
    return nullptr;
}

std::vector<TControl*> TWinControl::ReaderParts() const {
    std::vector<TControl*> parts;
    for (TControl* control : controls_)
        if (control->ReadAsPart()) parts.push_back(control);
    return parts;
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
    if (left == Left() && top == Top() && width == Width() && height == Height()) return;
    StoreBounds(left, top, width, height);
    if (handle_) SetWindowPos(handle_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT TWinControl::ClientRect() const {
    RECT client{0, 0, Width(), Height()};
    if (handle_) GetClientRect(handle_, &client);
    return client;
}

POINT TWinControl::ClientOrigin() const {
    if (!handle_) return TControl::ClientOrigin();
    POINT origin{0, 0};
    ::ClientToScreen(handle_, &origin);
    return origin;
}

void TWinControl::SetVisible(bool value) { TControl::SetVisible(value); }

bool TWinControl::Showing() const { return Visible() && (Parent() ? Parent()->Showing() : handle_ != nullptr); }

std::string TWinControl::Text() const {
    if (!handle_) return TControl::Text();
    std::string text(static_cast<size_t>(GetWindowTextLengthA(handle_)) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(handle_, text.data(), static_cast<int>(text.size()))));
    return text;
}

void TWinControl::SetText(const std::string& value) {
    if (value == Text()) return;
    StoredText() = value;
    if (handle_) SetWindowTextA(handle_, value.c_str());
    Perform(CM_TEXTCHANGED, 0, 0);
}

void TWinControl::Invalidate() {
    if (handle_) InvalidateRect(handle_, nullptr, !(ControlStyle() & csOpaque));
}

void TWinControl::Update() {
    if (handle_) UpdateWindow(handle_);
}

void TWinControl::BringToFront() {
    TControl::BringToFront();
    if (handle_) SetWindowPos(handle_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TWinControl::PaintWindow(HDC dc) {
    TMessage paint{WM_PAINT, reinterpret_cast<WPARAM>(dc), 0, 0};
    DefaultHandler(paint);
}

void TWinControl::PaintControls(HDC dc) {
    for (TControl* control : controls_) {
        if (dynamic_cast<TWinControl*>(control) || !control->Visible()) continue;
        RECT bounds = control->BoundsRect();
        if (!RectVisible(dc, &bounds)) continue;
        int saved = SaveDC(dc);
        POINT origin;
        GetWindowOrgEx(dc, &origin);
        SetWindowOrgEx(dc, origin.x - control->Left(), origin.y - control->Top(), nullptr);
        IntersectClipRect(dc, 0, 0, control->Width(), control->Height());
        control->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
        RestoreDC(dc, saved);
    }
}

void TWinControl::PaintHandler(TMessage& message) {
    PAINTSTRUCT paint{};
    HDC dc = message.WParam ? reinterpret_cast<HDC>(message.WParam) : BeginPaint(handle_, &paint);
    if (!dc) return;
    PaintWindow(dc);
    PaintControls(dc);
    if (!message.WParam) EndPaint(handle_, &paint);
}

bool TWinControl::RouteMouseToGraphicChild(TMessage& message) {
    POINT point{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
    TControl* target = nullptr;
    if (GetCapture() == handle_) {
        TControl* captured = CaptureControl();
        if (captured && captured->Parent() == this && !dynamic_cast<TWinControl*>(captured)) target = captured;
    } else {
        target = ControlAtPos(point, false);
    }
    if (!target) return false;
    message.Result = target->Perform(message.Msg, message.WParam,
                                     MAKELPARAM(point.x - target->Left(), point.y - target->Top()));
    return true;
}

void TWinControl::Reflect(TMessage& message, HWND child) {
    TWinControl* control = FindControl(child);
    if (!control && message.Msg == WM_MEASUREITEM) control = creating;
    if (control && control != this) message.Result = control->Perform(CN_BASE + message.Msg, message.WParam, message.LParam);
    else DefaultHandler(message);
}

namespace {

// Hands a message to every control inside `parent`, at any depth.
void PassOn(TWinControl& parent, const TMessage& message) {
    for (int i = 0; i < parent.ControlCount(); ++i) {
        TControl* control = parent.Controls(i);
        control->Perform(message.Msg, message.WParam, message.LParam);
        if (auto* inner = dynamic_cast<TWinControl*>(control)) PassOn(*inner, message);
    }
}

}  // namespace

void TWinControl::WndProc(TMessage& message) {
    if (HandleWindowMessage(message) || HandleChildMessage(message) || HandleControlMessage(message) ||
        HandleKeyMessage(message))
        return;
    if (IsMouseMessage(message.Msg) && RouteMouseToGraphicChild(message)) return;
    TControl::WndProc(message);
}

// The window's own: drives coming and going, painting, erasing and being moved.
bool TWinControl::HandleWindowMessage(TMessage& message) {
    switch (message.Msg) {
        case WM_DEVICECHANGE:
            // Windows tells top-level windows alone of drives that come and go; such a window passes it on to every
            // control it holds, so that a drive selector can read its drives again.
            TControl::WndProc(message);
            if (!Parent()) PassOn(*this, message);
            return true;
        case WM_PAINT:
            if (!customPaint_ && std::all_of(controls_.begin(), controls_.end(),
                                             [](TControl* c) { return dynamic_cast<TWinControl*>(c) != nullptr; }))
                return false;
            PaintHandler(message);
            return true;
        case WM_ERASEBKGND: {
            RECT client = ClientRect();
            FillRect(reinterpret_cast<HDC>(message.WParam), &client, brush_.Handle());
            message.Result = 1;
            return true;
        }
        case WM_WINDOWPOSCHANGED: {
            DefaultHandler(message);
            RECT window;
            GetWindowRect(handle_, &window);
            POINT corner{window.left, window.top};
            if (Parent() && Parent()->HandleAllocated()) ::ScreenToClient(Parent()->Handle(), &corner);
            StoreBounds(corner.x, corner.y, window.right - window.left, window.bottom - window.top);
            return true;
        }
        default: return false;
    }
}

// What a child window tells its parent goes back to the child's own control; the colours a child asks of its
// parent are the child control's.
bool TWinControl::HandleChildMessage(TMessage& message) {
    switch (message.Msg) {
        case WM_COMMAND:
        case WM_HSCROLL:
        case WM_VSCROLL:
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
            if (!message.LParam) return false;
            Reflect(message, reinterpret_cast<HWND>(message.LParam));
            return true;
        case WM_DRAWITEM: Reflect(message, reinterpret_cast<DRAWITEMSTRUCT*>(message.LParam)->hwndItem); return true;
        case WM_MEASUREITEM:
            Reflect(message, GetDlgItem(handle_, static_cast<int>(reinterpret_cast<MEASUREITEMSTRUCT*>(message.LParam)->CtlID)));
            return true;
        case CN_CTLCOLORMSGBOX:
        case CN_CTLCOLOREDIT:
        case CN_CTLCOLORLISTBOX:
        case CN_CTLCOLORBTN:
        case CN_CTLCOLORDLG:
        case CN_CTLCOLORSCROLLBAR:
        case CN_CTLCOLORSTATIC: {
            auto dc = reinterpret_cast<HDC>(message.WParam);
            SetTextColor(dc, ColorToRGB(Font().Color()));
            SetBkColor(dc, ColorToRGB(Color()));
            message.Result = reinterpret_cast<LRESULT>(brush_.Handle());
            return true;
        }
        default: return false;
    }
}

// The framework's own notices of a changed property, passed on to the children where they depend on it.
bool TWinControl::HandleControlMessage(TMessage& message) {
    switch (message.Msg) {
        case CM_ENABLEDCHANGED:
            if (handle_) EnableWindow(handle_, Enabled());
            Invalidate();
            return true;
        case CM_VISIBLECHANGED:
            if (handle_ && Parent()) ShowWindow(handle_, Visible() ? SW_SHOWNA : SW_HIDE);
            if (Visible()) UpdateShowing();
            TControl::WndProc(message);
            return true;
        case CM_FONTCHANGED:
            ApplyFont();
            for (TControl* child : std::vector<TControl*>(controls_)) child->Perform(CM_PARENTFONTCHANGED, 0, 0);
            Invalidate();
            return true;
        case CM_COLORCHANGED:
            brush_.SetColor(Color());
            for (TControl* child : std::vector<TControl*>(controls_)) child->Perform(CM_PARENTCOLORCHANGED, 0, 0);
            Invalidate();
            return true;
        case CM_DIALOGKEY:
            message.Result = OfferDialogKey(static_cast<WORD>(message.WParam), message.LParam) ? 1 : 0;
            return true;
        case CM_FOCUSCHANGED:
            for (TControl* child : std::vector<TControl*>(controls_))
                child->Perform(CM_FOCUSCHANGED, message.WParam, message.LParam);
            return true;
        case CM_ENTER: DoEnter(); return true;
        case CM_EXIT: DoExit(); return true;
        default: return false;
    }
}

// The focus and the keys: the control's own events first, the window's default handling for what they leave.
bool TWinControl::HandleKeyMessage(TMessage& message) {
    switch (message.Msg) {
        case WM_SETFOCUS:
            DefaultHandler(message);
            if (TFormBase* form = GetParentForm(this); form && form != this) form->SetFocusedControl(this);
            return true;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            if (!DoKeyDown(message)) DefaultHandler(message);
            return true;
        case WM_CHAR:
            if (!DoKeyPress(message)) DefaultHandler(message);
            return true;
        case WM_KEYUP:
        case WM_SYSKEYUP:
            if (!DoKeyUp(message)) DefaultHandler(message);
            return true;
        case CN_KEYDOWN:
        case CN_SYSKEYDOWN:
        case CN_KEYUP:
        case CN_CHAR:
        case CN_SYSCHAR: HandleKeyNotification(message); return true;
        default: return false;
    }
}

void TWinControl::DefaultHandler(TMessage& message) {
    if (!handle_ || !defaultProc_) return;
    message.Result = CallWindowProcA(defaultProc_, handle_, message.Msg, message.WParam, message.LParam);
}

bool TWinControl::ReadProperty(std::string_view name, const TLayoutValue& value, TLayoutContext& context) {
    if (name == "TabStop") SetTabStop(value.Boolean());
    else if (name == "TabOrder") SetTabOrder(value.Integer());
    else if (name == "OnEnter") OnEnter = context.Handler<TNotifyEvent>(value.Text());
    else if (name == "OnExit") OnExit = context.Handler<TNotifyEvent>(value.Text());
    else if (name == "OnKeyDown") OnKeyDown = context.Handler<TKeyEvent>(value.Text());
    else if (name == "OnKeyPress") OnKeyPress = context.Handler<TKeyPressEvent>(value.Text());
    else if (name == "OnKeyUp") OnKeyUp = context.Handler<TKeyEvent>(value.Text());
    else return TControl::ReadProperty(name, value, context);
    return true;
}
