#include <algorithm>

#include "frame/Application.h"
#include "frame/Forms.h"
#include "frame/Screen.h"
#include "framework/ErrorTrap.h"
#include "framework/Layout.h"
#include "framework/LayoutProperties.h"
#include "framework/StdCtrls.h"
#include "frame/Timer.h"
#include "runtime/Exception.h"
#include "runtime/ScopeExit.h"

namespace {

// The classes a form's layout may name, known to the layout reader before the first form reads its layout.
void RegisterFrameComponents() {
    static const bool registered = [] {
        RegisterFrameworkComponents();
        RegisterComponentClass<TTimer>("TTimer");
        return true;
    }();
    (void)registered;
}

}  // namespace

TCustomForm::TCustomForm(TComponent* owner) : TFormBase(owner) {
    RegisterFrameComponents();
    SetVisibleFlag(false);
    SetColor(clBtnFace);
    icon_.OnChange = [this](TObject*) { UpdateIcon(); };
    Screen().AddForm(this);
}

TCustomForm::~TCustomForm() {
    MarkDestroying();
    icon_.OnChange = nullptr;
    // The window outlives this part of the form by a moment; it lets go of the icon before the icon goes.
    if (iconHandle_ && HandleAllocated()) {
        SendMessageA(Handle(), WM_SETICON, ICON_BIG, 0);
        SendMessageA(Handle(), WM_SETICON, ICON_SMALL, 0);
    }
    Screen().RemoveForm(this);
}

void TCustomForm::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.style &= ~static_cast<DWORD>(WS_CHILD | WS_VISIBLE);
    params.style |= WS_CLIPCHILDREN;
    params.parent = Application().Handle();  // the owner of every form without a parent window
    params.id = nullptr;
    StyleParams(params);
}

// The frame's styles alone, which also tell how much of the form's size its frame takes before it has a window.
void TCustomForm::StyleParams(TCreateParams& params) const {
    switch (borderStyle_) {
        case TFormBorderStyle::bsNone: params.style |= WS_POPUP; break;
        case TFormBorderStyle::bsSingle:
        case TFormBorderStyle::bsToolWindow: params.style |= WS_CAPTION | WS_BORDER; break;
        case TFormBorderStyle::bsSizeable:
        case TFormBorderStyle::bsSizeToolWin: params.style |= WS_CAPTION | WS_THICKFRAME; break;
        case TFormBorderStyle::bsDialog:
            params.style |= WS_POPUP | WS_CAPTION;
            params.exStyle |= WS_EX_DLGMODALFRAME;
            break;
    }
    if (borderStyle_ == TFormBorderStyle::bsToolWindow || borderStyle_ == TFormBorderStyle::bsSizeToolWin)
        params.exStyle |= WS_EX_TOOLWINDOW;
    if (borderStyle_ != TFormBorderStyle::bsNone && borderIcons_.Contains(biSystemMenu)) {
        params.style |= WS_SYSMENU;
        if (borderStyle_ != TFormBorderStyle::bsDialog && borderStyle_ != TFormBorderStyle::bsToolWindow) {
            if (borderIcons_.Contains(biMinimize)) params.style |= WS_MINIMIZEBOX;
            if (borderIcons_.Contains(biMaximize)) params.style |= WS_MAXIMIZEBOX;
        }
    }
}

RECT TCustomForm::NonClientInsets() const {
    TCreateParams params;
    StyleParams(params);
    RECT frame{0, 0, 0, 0};
    AdjustWindowRectEx(&frame, params.style, FALSE, params.exStyle);
    return {-frame.left, -frame.top, frame.right, frame.bottom};
}

RECT TCustomForm::ClientRect() const {
    if (HandleAllocated()) return TWinControl::ClientRect();
    RECT insets = NonClientInsets();
    return {0, 0, std::max<LONG>(0, Width() - insets.left - insets.right),
            std::max<LONG>(0, Height() - insets.top - insets.bottom)};
}

void TCustomForm::SetClientSize(int width, int height) {
    RECT insets = NonClientInsets();
    SetBounds(Left(), Top(), width + insets.left + insets.right, height + insets.top + insets.bottom);
}

POINT TCustomForm::ClientOrigin() const {
    if (HandleAllocated()) return TWinControl::ClientOrigin();
    RECT insets = NonClientInsets();
    return {Left() + insets.left, Top() + insets.top};
}

bool TCustomForm::Showing() const { return Visible() && HandleAllocated(); }

void TCustomForm::PlaceAtScreenCentre() {
    int left = (GetSystemMetrics(SM_CXSCREEN) - Width()) / 2;
    int top = (GetSystemMetrics(SM_CYSCREEN) - Height()) / 2;
    SetBounds(left, top, Width(), Height());
}

void TCustomForm::SetVisible(bool value) {
    if (showingChange_) throw EInvalidOperation(Msg::SVisibleChanged);
    if (Visible() == value) return;
    SetVisibleFlag(value);
    showingChange_ = true;
    ScopeExit done([this] { showingChange_ = false; });
    if (value) {
        if (OnShow) OnShow(this);
        HandleNeeded();
        if (position_ == TPosition::poScreenCenter && !placed_) PlaceAtScreenCentre();
        placed_ = true;
        UpdateShowing();
        ShowWindow(Handle(), modal_ ? SW_SHOW : SW_SHOWNORMAL);
    } else {
        if (OnHide) OnHide(this);
        if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
    }
}

void TCustomForm::Loaded() {
    TFormBase::Loaded();
    // A form that took the focus while its layout was read runs OnActivate now that it is whole.
    if (activatedWhileLoading_) {
        activatedWhileLoading_ = false;
        Activate();
    }
}

void TCustomForm::Activate() {
    if (OnActivate) OnActivate(this);
}

void TCustomForm::Deactivate() {
    if (OnDeactivate) OnDeactivate(this);
}

bool TCustomForm::QueryClose() {
    bool canClose = true;
    if (OnCloseQuery) OnCloseQuery(this, canClose);
    return canClose;
}

void TCustomForm::RequestClose() {
    if (modal_) {
        modalResult_ = mrCancel;
        return;
    }
    if (!QueryClose()) return;
    TCloseAction action = TCloseAction::CloseHide;
    if (OnClose) OnClose(this, action);
    if (action == TCloseAction::CloseNone) return;
    // The main form stays on the screen until the loop has ended.
    if (Application().MainForm() == this) {
        Application().RequestQuit();
        return;
    }
    switch (action) {
        case TCloseAction::CloseHide: Hide(); break;
        case TCloseAction::CloseMinimize: ShowWindow(Handle(), SW_MINIMIZE); break;
        case TCloseAction::CloseFree: ReleaseLater(); break;
        default: break;
    }
}

void TCustomForm::ReleaseLater() { PostMessageA(Handle(), CM_RELEASE, 0, 0); }

void TCustomForm::EndModal() {
    try {
        TCloseAction action = TCloseAction::CloseNone;
        if (QueryClose()) {
            action = TCloseAction::CloseHide;
            if (OnClose) OnClose(this, action);
        }
        if (action == TCloseAction::CloseNone) modalResult_ = mrNone;
        else if (action == TCloseAction::CloseFree) ReleaseLater();
    } catch (...) {
        modalResult_ = mrNone;
        Application().ReportException(this);
    }
}

namespace {

BOOL CALLBACK DisableForModal(HWND window, LPARAM list) {
    if (IsWindowVisible(window) && IsWindowEnabled(window)) {
        EnableWindow(window, FALSE);
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    }
    return TRUE;
}

}  // namespace

TModalResult TCustomForm::RunModal() {
    if (Visible() || !Enabled() || modal_) throw EInvalidOperation(Msg::SCannotShowModal);
    if (HWND captured = GetCapture()) SendMessageA(captured, WM_CANCELMODE, 0, 0);
    ReleaseCapture();
    modal_ = true;
    HWND previousActive = GetActiveWindow();
    int focusCount = FocusChanges();
    TScreen& screen = Screen();
    screen.savedFocusForms_.insert(screen.savedFocusForms_.begin(), screen.currentFocusForm_);
    screen.currentFocusForm_ = this;
    TCursor savedCursor = screen.Cursor();
    screen.SetCursor(crDefault);
    int cursorChanges = screen.CursorChanges();
    std::vector<HWND> disabled;
    EnumThreadWindows(GetCurrentThreadId(), DisableForModal, reinterpret_cast<LPARAM>(&disabled));

    auto restore = [&] {
        if (Visible()) Hide();
        if (screen.CursorChanges() == cursorChanges) screen.SetCursor(savedCursor);
        else screen.SetCursor(crDefault);
        for (HWND window : disabled)
            if (IsWindow(window)) EnableWindow(window, TRUE);
        TCustomForm* saved = nullptr;
        if (!screen.savedFocusForms_.empty()) {
            saved = screen.savedFocusForms_.front();
            screen.savedFocusForms_.erase(screen.savedFocusForms_.begin());
        }
        screen.currentFocusForm_ = saved;
        if (previousActive && IsWindow(previousActive)) SetActiveWindow(previousActive);
        RestoreFocusChanges(focusCount);
        modal_ = false;
    };
    try {
        Show();
        Perform(CM_ACTIVATE, 0, 0);
        modalResult_ = mrNone;
        do {
            Application().HandleNextMessage();
            if (Application().QuitRequested()) modalResult_ = mrCancel;
            else if (modalResult_ != mrNone) EndModal();
        } while (modalResult_ == mrNone);
        Perform(CM_DEACTIVATE, 0, 0);
        if (GetActiveWindow() != Handle()) previousActive = nullptr;
    } catch (...) {
        restore();
        throw;
    }
    restore();
    return modalResult_;
}

void TCustomForm::WndProc(TMessage& message) {
    switch (message.Msg) {
        case WM_CLOSE: RequestClose(); return;
        case WM_ACTIVATE: SetActive(LOWORD(message.WParam) != WA_INACTIVE); return;
        case WM_SETFOCUS:
            DefaultHandler(message);
            TakeFocus();
            return;
        case CM_ACTIVATE:
            if (Loading()) activatedWhileLoading_ = true;
            else Activate();
            return;
        case CM_DEACTIVATE: Deactivate(); return;
        case CM_RELEASE: delete this; return;
        case CM_DIALOGKEY: message.Result = DialogKey(static_cast<WORD>(message.WParam), message.LParam) ? 1 : 0; return;
        case WM_SYSCOMMAND:
            if (Application().MainForm() == this && (message.WParam & 0xFFF0) == SC_MINIMIZE) {
                Application().Minimize();
                return;
            }
            if (Application().MainForm() == this && (message.WParam & 0xFFF0) == SC_RESTORE && Application().Minimized()) {
                Application().Restore();
                return;
            }
            break;
        case WM_QUERYENDSESSION:
            try {
                message.Result = QueryClose();
            } catch (...) {
                message.Result = TRUE;
                Application().ReportException(this);
            }
            return;
        default: break;
    }
    TFormBase::WndProc(message);
}

bool TCustomForm::ReadProperty(std::string_view name, const TLayoutValue& value, TLayoutContext& context) {
    if (name == "BorderStyle")
        borderStyle_ = static_cast<TFormBorderStyle>(
            ReadEnumeration(value, {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"}));
    else if (name == "BorderIcons") {
        borderIcons_ = {};
        for (const TLayoutValue& item : value.Items())
            borderIcons_.Include(static_cast<TBorderIcon>(ReadEnumeration(item, {"biSystemMenu", "biMinimize", "biMaximize", "biHelp"})));
    } else if (name == "Position")
        position_ = static_cast<TPosition>(ReadEnumeration(value, {"poDesigned", "poDefault", "poScreenCenter"}));
    else if (name == "KeyPreview") keyPreview_ = value.Boolean();
    else if (name == "Icon") icon_.LoadFromResourceName(GetModuleHandleA(nullptr), value.Text());
    else if (name == "ActiveControl") {
        std::string control = value.Text();
        context.Later([this, control] { SetActiveControl(FindRequired<TWinControl>(*this, control)); });
    } else if (name == "OnActivate") OnActivate = context.Handler<TNotifyEvent>(value.Text());
    else if (name == "OnDeactivate") OnDeactivate = context.Handler<TNotifyEvent>(value.Text());
    else if (name == "OnShow") OnShow = context.Handler<TNotifyEvent>(value.Text());
    else if (name == "OnHide") OnHide = context.Handler<TNotifyEvent>(value.Text());
    else if (name == "OnCloseQuery") OnCloseQuery = context.Handler<TCloseQueryEvent>(value.Text());
    else if (name == "OnClose") OnClose = context.Handler<TCloseEvent>(value.Text());
    else return TFormBase::ReadProperty(name, value, context);
    return true;
}
