// Where windows are, whether they show, and whether they take input.

#include <algorithm>

#include "platform/user/WindowSystem.h"

using namespace platform::user;

namespace {


bool AllVisible(Window* window) {
    WindowSystem& system = WindowSystem::Get();
    for (; window; window = window->Child() ? system.Find(window->parent) : nullptr)
        if (!window->Visible()) return false;
    return true;
}

void Reorder(Window& window, HWND insertAfter) {
    WindowSystem& system = WindowSystem::Get();
    if (!window.Child()) {
        if (insertAfter == HWND_TOP || insertAfter == HWND_TOPMOST) system.BringToFront(window.handle);
        return;
    }
    Window* parent = system.Find(window.parent);
    if (!parent) return;
    auto& siblings = parent->children;
    std::erase(siblings, window.handle);
    auto at = siblings.begin();
    if (insertAfter == HWND_BOTTOM) at = siblings.end();
    else if (insertAfter != HWND_TOP && insertAfter != HWND_TOPMOST && insertAfter != HWND_NOTOPMOST) {
        at = std::find(siblings.begin(), siblings.end(), insertAfter);
        at = at == siblings.end() ? siblings.begin() : at + 1;
    }
    siblings.insert(at, window.handle);
}

// Minimising a window also iconifies the desktop windows it owns; a window without one of its own (the hidden
// application window) is minimised through them alone.
void SetNativeMinimized(Window& window, bool minimized) {
    WindowSystem& system = WindowSystem::Get();
    auto apply = [minimized](Window& w) {
        if (!w.native) return;
        if (minimized) w.native->Minimize();
        else w.native->Restore();
    };
    apply(window);
    for (HWND other : system.TopLevelWindows())
        if (Window* owned = system.Find(other); owned && owned->owner == window.handle && owned->Visible()) apply(*owned);
}

BOOL ShowMinimized(HWND handle, bool minimized) {
    WindowSystem& system = WindowSystem::Get();
    Window* window = system.Find(handle);
    bool was = window->style & WS_MINIMIZE;
    if (was == minimized) return TRUE;
    if (minimized) window->style |= WS_MINIMIZE;
    else window->style &= ~WS_MINIMIZE;
    SetNativeMinimized(*window, minimized);
    RECT client = window->ClientRect();
    SendMessageA(handle, WM_SIZE, minimized ? SIZE_MINIMIZED : SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
    if (minimized) {
        Window* active = system.Find(GetActiveWindow());
        if (active && (active->handle == handle || active->owner == handle)) SendActivation(nullptr, false, false);
    } else if ((window = system.Find(handle)) && window->native) {
        SendActivation(handle, false, false);
    }
    return TRUE;
}

}  // namespace

namespace platform::user {

RECT NonClientInsets(DWORD style, DWORD exStyle) {
    LONG frame = 0;
    if (!(style & WS_CHILD)) {
        if (style & WS_THICKFRAME) frame = GetSystemMetrics(SM_CXFRAME);
        else if ((style & WS_CAPTION) == WS_CAPTION || (style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME))
            frame = GetSystemMetrics(SM_CXDLGFRAME);
        else if (style & WS_BORDER) frame = GetSystemMetrics(SM_CXBORDER);
    } else {
        if (style & WS_DLGFRAME) frame = GetSystemMetrics(SM_CXDLGFRAME);
        else if (style & WS_BORDER) frame = GetSystemMetrics(SM_CXBORDER);
        if (exStyle & WS_EX_DLGMODALFRAME) frame += GetSystemMetrics(SM_CXDLGFRAME);
    }
    if (exStyle & WS_EX_CLIENTEDGE) frame += GetSystemMetrics(SM_CXEDGE);
    if (exStyle & WS_EX_STATICEDGE) frame += GetSystemMetrics(SM_CXBORDER);
    RECT insets{frame, frame, frame, frame};
    if ((style & WS_CAPTION) == WS_CAPTION)
        insets.top += GetSystemMetrics((exStyle & WS_EX_TOOLWINDOW) ? SM_CYSMCAPTION : SM_CYCAPTION);
    if (style & WS_VSCROLL) insets.right += GetSystemMetrics(SM_CXVSCROLL);
    if (style & WS_HSCROLL) insets.bottom += GetSystemMetrics(SM_CYHSCROLL);
    return insets;
}

POINT ClientOriginOnScreen(const Window& window) {
    POINT origin{window.rect.left + window.clientInsets.left, window.rect.top + window.clientInsets.top};
    if (window.Child())
        if (Window* parent = WindowSystem::Get().Find(window.parent)) {
            POINT base = ClientOriginOnScreen(*parent);
            origin.x += base.x;
            origin.y += base.y;
        }
    return origin;
}

POINT ClientOriginOnSurface(const Window& window) {
    if (!window.Child()) return {0, 0};
    Window* parent = WindowSystem::Get().Find(window.parent);
    POINT base = parent ? ClientOriginOnSurface(*parent) : POINT{0, 0};
    return {base.x + window.rect.left + window.clientInsets.left, base.y + window.rect.top + window.clientInsets.top};
}

RECT WindowRectOnSurface(const Window& window) {
    POINT client = ClientOriginOnSurface(window);
    LONG left = client.x - window.clientInsets.left;
    LONG top = client.y - window.clientInsets.top;
    return {left, top, left + window.Width(), top + window.Height()};
}

void ApplyNativeBounds(Window& window) {
    if (!window.native) return;
    POINT origin = ClientOriginOnScreen(window);
    RECT client = window.ClientRect();
    window.native->SetBounds({origin.x, origin.y, origin.x + client.right, origin.y + client.bottom});
}

void CreateNativeIfNeeded(Window& window) {
    RECT client = window.ClientRect();
    if (window.Child() || window.native || !window.Visible() || client.right <= 0 || client.bottom <= 0) return;
    display::NativeWindowOptions options;
    options.title = window.text;
    POINT origin = ClientOriginOnScreen(window);
    options.bounds = {origin.x, origin.y, origin.x + client.right, origin.y + client.bottom};
    options.popup = (window.style & WS_POPUP) && (window.style & WS_CAPTION) != WS_CAPTION;
    options.minimizable = window.style & WS_MINIMIZEBOX;
    options.resizable = window.style & WS_THICKFRAME;
    window.native = WindowSystem::Get().Display().CreateNativeWindow(options);
    // Before the window is first shown, so that the desktop never shows it without its icon.
    ApplyNativeIcon(window);
}

}  // namespace platform::user

namespace {

// What SetWindowPos changed, for what follows from it.
struct PositionChange {
    RECT oldRect;
    bool moved;
    bool sized;
    bool wasVisible;
    bool nowVisible;
    UINT flags;  // as the caller asked
};

// What a child window uncovered belongs to its parent again; what it covers now is drawn anew.
void RedrawMovedChild(Window& window, const PositionChange& change) {
    if (change.flags & SWP_NOREDRAW) return;
    const bool changed = change.moved || change.sized;
    if (change.wasVisible && (changed || !change.nowVisible) && WindowSystem::Get().Find(window.parent))
        InvalidateParentArea(window, change.oldRect);
    if (change.nowVisible && (changed || !change.wasVisible || (change.flags & SWP_FRAMECHANGED))) {
        NeedFrame(window);
        InvalidateArea(window, platform::gdi::Region(window.ClientRect()), true, true);
    }
}

// A top-level window's pixels and its window on the desktop follow; shown it becomes active, hidden it hands the
// activation on.
void ApplyToTopLevel(Window& window, const PositionChange& change) {
    WindowSystem& system = WindowSystem::Get();
    const HWND handle = window.handle;
    RECT client = window.ClientRect();
    if (change.nowVisible && (window.surface.width != client.right || window.surface.height != client.bottom)) {
        window.surface.Resize(client.right, client.bottom);
        InvalidateArea(window, platform::gdi::Region(client), true, true);
        window.presentAll = true;
    }
    if (change.nowVisible) CreateNativeIfNeeded(window);
    if (window.native && (change.moved || change.sized)) ApplyNativeBounds(window);
    if (window.native && change.nowVisible != change.wasVisible) {
        if (change.nowVisible) window.native->Show(!(change.flags & SWP_NOACTIVATE));
        else window.native->Hide();
    }
    if (change.nowVisible && !change.wasVisible && !(change.flags & SWP_NOACTIVATE)) {
        system.BringToFront(handle);
        SendActivation(handle, false, false);
    }
    if (!change.nowVisible && change.wasVisible && GetActiveWindow() == handle) {
        // The owner, or else the frontmost other visible window, takes over; a disabled window cannot, so while a
        // modal window's owners are disabled none may be active until they are enabled again.
        auto canTake = [](const Window* w) { return w && w->Visible() && w->native && !(w->style & WS_DISABLED); };
        HWND next = nullptr;
        if (Window* owner = system.Find(window.owner); canTake(owner)) next = owner->handle;
        for (HWND other : system.TopLevelWindows())
            if (!next && other != handle && canTake(system.Find(other))) next = other;
        SendActivation(next, false, false);
    }
}

}  // namespace

BOOL WINAPI SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy, UINT uFlags) {
    WindowSystem& system = WindowSystem::Get();
    Window* window = system.FindOrFail(hWnd);
    if (!window) return FALSE;
    WINDOWPOS pos{hWnd, hWndInsertAfter, X, Y, cx, cy, uFlags};
    if (uFlags & SWP_NOMOVE) {
        pos.x = window->rect.left;
        pos.y = window->rect.top;
    }
    if (uFlags & SWP_NOSIZE) {
        pos.cx = window->Width();
        pos.cy = window->Height();
    }
    if (!(uFlags & SWP_NOSENDCHANGING)) {
        SendMessageA(hWnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
        if (!(window = system.Find(hWnd))) return FALSE;
    }
    const RECT oldRect = window->rect;
    const bool wasVisible = AllVisible(window);
    pos.cx = std::max(0, pos.cx);
    pos.cy = std::max(0, pos.cy);
    bool moved = pos.x != oldRect.left || pos.y != oldRect.top;
    bool sized = pos.cx != window->Width() || pos.cy != window->Height();
    if (!moved) pos.flags |= SWP_NOMOVE;
    if (!sized) pos.flags |= SWP_NOSIZE;
    const RECT oldClient = window->ClientRect();
    window->rect = {pos.x, pos.y, pos.x + pos.cx, pos.y + pos.cy};
    if (sized || (uFlags & SWP_FRAMECHANGED)) {
        RECT client = window->rect;
        SendMessageA(hWnd, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&client));
        if (!(window = system.Find(hWnd))) return FALSE;
        window->clientInsets = {client.left - window->rect.left, client.top - window->rect.top,
                                window->rect.right - client.right, window->rect.bottom - client.bottom};
        // A new frame (a scroll bar shown or hidden) changes the client area: the window hears of it by WM_SIZE.
        RECT newClient = window->ClientRect();
        if (newClient.right != oldClient.right || newClient.bottom != oldClient.bottom) pos.flags &= ~SWP_NOSIZE;
    }
    if (!(uFlags & SWP_NOZORDER)) Reorder(*window, pos.hwndInsertAfter);
    if (uFlags & SWP_SHOWWINDOW) window->style |= WS_VISIBLE;
    if (uFlags & SWP_HIDEWINDOW) window->style &= ~WS_VISIBLE;
    const bool nowVisible = AllVisible(window);
    // A window shown again may still hold an area it was to paint.
    if (nowVisible != wasVisible) {
        NotePaintMaybeDue();
        // Told before a window shown is activated, so that a reader hears of the window before its focus.
        NotifyWinEvent(nowVisible ? EVENT_OBJECT_SHOW : EVENT_OBJECT_HIDE, hWnd, OBJID_WINDOW, CHILDID_SELF);
        if (!(window = system.Find(hWnd))) return FALSE;
    }

    const PositionChange change{oldRect, moved, sized, wasVisible, nowVisible, uFlags};
    if (window->Child()) RedrawMovedChild(*window, change);
    else ApplyToTopLevel(*window, change);
    if ((window = system.Find(hWnd))) {
        pos.x = window->rect.left;
        pos.y = window->rect.top;
        SendMessageA(hWnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
    }
    return TRUE;
}

BOOL WINAPI MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL bRepaint) {
    return SetWindowPos(hWnd, nullptr, X, Y, nWidth, nHeight,
                        SWP_NOZORDER | SWP_NOACTIVATE | (bRepaint ? 0 : SWP_NOREDRAW));
}

BOOL WINAPI BringWindowToTop(HWND hWnd) { return SetWindowPos(hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); }

BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow) {
    WindowSystem& system = WindowSystem::Get();
    Window* window = system.FindOrFail(hWnd);
    if (!window) return FALSE;
    const BOOL wasVisible = window->Visible();
    auto show = [&](bool activate) {
        if (Window* w = system.Find(hWnd); w && !w->Visible()) {
            SendMessageA(hWnd, WM_SHOWWINDOW, TRUE, 0);
            UINT flags = SWP_SHOWWINDOW | SWP_NOSIZE | SWP_NOMOVE | (activate ? 0 : SWP_NOACTIVATE | SWP_NOZORDER);
            SetWindowPos(hWnd, HWND_TOP, 0, 0, 0, 0, flags);
        } else if (w && activate && !w->Child()) {
            SetActiveWindow(hWnd);
        }
    };
    switch (nCmdShow) {
        case SW_HIDE:
            if (!wasVisible) return FALSE;
            SendMessageA(hWnd, WM_SHOWWINDOW, FALSE, 0);
            SetWindowPos(hWnd, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER);
            break;
        case SW_MINIMIZE:
        case SW_SHOWMINIMIZED:
        case SW_SHOWMINNOACTIVE:
            show(false);
            if (system.Find(hWnd)) ShowMinimized(hWnd, true);
            break;
        case SW_RESTORE:
            show(false);
            if (system.Find(hWnd)) ShowMinimized(hWnd, false);
            break;
        case SW_SHOWNA:
        case SW_SHOWNOACTIVATE: show(false); break;
        default: show(!window->Child()); break;
    }
    return wasVisible;
}

BOOL WINAPI ShowOwnedPopups(HWND hWnd, BOOL fShow) {
    WindowSystem& system = WindowSystem::Get();
    for (HWND other : system.TopLevelWindows())
        if (Window* owned = system.Find(other); owned && owned->owner == hWnd && (owned->style & WS_POPUP))
            ShowWindow(other, fShow ? SW_SHOWNA : SW_HIDE);
    return TRUE;
}

BOOL WINAPI IsWindowVisible(HWND hWnd) {
    Window* window = WindowSystem::Get().Find(hWnd);
    return window && AllVisible(window);
}

BOOL WINAPI IsIconic(HWND hWnd) {
    Window* window = WindowSystem::Get().Find(hWnd);
    return window && (window->style & WS_MINIMIZE);
}

BOOL WINAPI IsZoomed(HWND hWnd) {
    Window* window = WindowSystem::Get().Find(hWnd);
    return window && (window->style & WS_MAXIMIZE);
}

BOOL WINAPI GetWindowRect(HWND hWnd, LPRECT lpRect) {
    if (!lpRect) return FALSE;
    if (hWnd == kDesktopWindow) {
        SIZE screen{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        *lpRect = {0, 0, screen.cx, screen.cy};
        return TRUE;
    }
    Window* window = WindowSystem::Get().FindOrFail(hWnd);
    if (!window) return FALSE;
    POINT client = ClientOriginOnScreen(*window);
    LONG left = client.x - window->clientInsets.left;
    LONG top = client.y - window->clientInsets.top;
    *lpRect = {left, top, left + window->Width(), top + window->Height()};
    return TRUE;
}

BOOL WINAPI GetClientRect(HWND hWnd, LPRECT lpRect) {
    if (!lpRect) return FALSE;
    if (hWnd == kDesktopWindow) return GetWindowRect(hWnd, lpRect);
    Window* window = WindowSystem::Get().FindOrFail(hWnd);
    if (!window) return FALSE;
    *lpRect = window->ClientRect();
    return TRUE;
}

BOOL WINAPI AdjustWindowRectEx(LPRECT lpRect, DWORD dwStyle, BOOL, DWORD dwExStyle) {
    if (!lpRect) return FALSE;
    RECT insets = NonClientInsets(dwStyle & ~(WS_VSCROLL | WS_HSCROLL), dwExStyle);
    *lpRect = {lpRect->left - insets.left, lpRect->top - insets.top, lpRect->right + insets.right,
               lpRect->bottom + insets.bottom};
    return TRUE;
}

BOOL WINAPI ClientToScreen(HWND hWnd, LPPOINT lpPoint) {
    return lpPoint && MapWindowPoints(hWnd, nullptr, lpPoint, 1) != 0 ? TRUE : IsWindow(hWnd);
}

BOOL WINAPI ScreenToClient(HWND hWnd, LPPOINT lpPoint) {
    return lpPoint && MapWindowPoints(nullptr, hWnd, lpPoint, 1) != 0 ? TRUE : IsWindow(hWnd);
}

int WINAPI MapWindowPoints(HWND hWndFrom, HWND hWndTo, LPPOINT lpPoints, UINT cPoints) {
    WindowSystem& system = WindowSystem::Get();
    auto origin = [&system](HWND handle, POINT& at) {
        if (!handle || handle == kDesktopWindow) {
            at = {0, 0};
            return true;
        }
        Window* window = system.FindOrFail(handle);
        if (!window) return false;
        at = ClientOriginOnScreen(*window);
        return true;
    };
    POINT from{}, to{};
    if (!origin(hWndFrom, from) || !origin(hWndTo, to)) return 0;
    LONG dx = from.x - to.x;
    LONG dy = from.y - to.y;
    for (UINT i = 0; i < cPoints; ++i) {
        lpPoints[i].x += dx;
        lpPoints[i].y += dy;
    }
    return MAKELONG(static_cast<WORD>(dx), static_cast<WORD>(dy));
}

BOOL WINAPI EnableWindow(HWND hWnd, BOOL bEnable) {
    WindowSystem& system = WindowSystem::Get();
    Window* window = system.FindOrFail(hWnd);
    if (!window) return FALSE;
    BOOL wasDisabled = (window->style & WS_DISABLED) != 0;
    if (wasDisabled == !bEnable) return wasDisabled;
    if (bEnable) {
        window->style &= ~WS_DISABLED;
    } else {
        SendMessageA(hWnd, WM_CANCELMODE, 0, 0);
        if (!(window = system.Find(hWnd))) return wasDisabled;
        window->style |= WS_DISABLED;
        if (HWND focus = GetFocus(); focus && (focus == hWnd || IsChild(hWnd, focus))) SetFocus(nullptr);
    }
    SendMessageA(hWnd, WM_ENABLE, bEnable, 0);
    NotifyWinEvent(EVENT_OBJECT_STATECHANGE, hWnd, OBJID_WINDOW, CHILDID_SELF);
    return wasDisabled;
}

BOOL WINAPI IsWindowEnabled(HWND hWnd) {
    Window* window = WindowSystem::Get().Find(hWnd);
    return window && !(window->style & WS_DISABLED);
}
