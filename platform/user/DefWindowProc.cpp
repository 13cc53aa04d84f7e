// What a window does with a message its own procedure passes on.

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/user/WindowSystem.h"

using namespace platform::user;

namespace {

// Child windows draw their own frames: a black line for WS_BORDER, a sunken edge for WS_EX_CLIENTEDGE, and their
// scroll bars.
void PaintFrame(HWND handle) {
    WindowSystem& system = WindowSystem::Get();
    Window* window = system.Find(handle);
    if (!window || !window->Child()) return;
    HDC dc = GetWindowDC(handle);
    if (!dc) return;
    RECT r{0, 0, window->Width(), window->Height()};
    if ((window->style & WS_BORDER) || (window->style & WS_DLGFRAME)) {
        FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        InflateRect(&r, -1, -1);
    }
    if (window->exStyle & WS_EX_CLIENTEDGE) DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    if (window->exStyle & WS_EX_STATICEDGE) DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    PaintScrollBars(dc, *window);
    ReleaseDC(handle, dc);
}

LRESULT HitTestFrame(Window& window, LPARAM lParam) {
    POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    RECT outer;
    GetWindowRect(window.handle, &outer);
    if (!PtInRect(&outer, point)) return HTNOWHERE;
    POINT client = ClientOriginOnScreen(window);
    RECT inner = window.ClientRect();
    OffsetRect(&inner, client.x, client.y);
    if (PtInRect(&inner, point)) return HTCLIENT;
    if ((window.style & WS_VSCROLL) && point.x >= inner.right && point.y < inner.bottom) return HTVSCROLL;
    if ((window.style & WS_HSCROLL) && point.y >= inner.bottom && point.x < inner.right) return HTHSCROLL;
    return HTBORDER;
}

HBRUSH ClassBrush(const Window& window) {
    HBRUSH brush = window.cls->info.hbrBackground;
    auto value = reinterpret_cast<uintptr_t>(brush);
    // A system colour index plus one stands for that colour's brush, as in a class definition on Windows.
    if (value > 0 && value <= COLOR_MENUBAR + 1) return GetSysColorBrush(static_cast<int>(value - 1));
    return brush;
}

// The system's colours for a control's text on a background of `background`, and that background's brush.
LRESULT SystemColours(HDC dc, int background) {
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(dc, GetSysColor(background));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(background));
}

void SetText(Window& window, const char* text) {
    window.text = text ? text : "";
    if (window.native) window.native->SetTitle(window.text);
}

// Each group below answers the messages of one concern; `handled` says whether the message was one of them.

LRESULT NonClient(HWND hWnd, Window& window, UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    handled = true;
    switch (message) {
        case WM_NCCREATE: return TRUE;
        case WM_NCCALCSIZE: {
            auto* r = wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0] : reinterpret_cast<RECT*>(lParam);
            RECT insets = NonClientInsets(window.style, window.exStyle);
            *r = {r->left + insets.left, r->top + insets.top, std::max(r->left + insets.left, r->right - insets.right),
                  std::max(r->top + insets.top, r->bottom - insets.bottom)};
            return 0;
        }
        case WM_NCHITTEST: return HitTestFrame(window, lParam);
        case WM_NCPAINT: PaintFrame(hWnd); return 0;
        case WM_NCACTIVATE: return TRUE;
        case WM_NCLBUTTONDOWN:
        case WM_NCLBUTTONDBLCLK:
            if (wParam == HTVSCROLL || wParam == HTHSCROLL)
                TrackScrollBar(hWnd, wParam == HTVSCROLL ? SB_VERT : SB_HORZ,
                               POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            return 0;
        default: handled = false; return 0;
    }
}

// A child passes the mouse's questions to its parent first; the parent's answer, when it gives one, stands.
LRESULT MouseAndActivation(HWND hWnd, Window& window, UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    WindowSystem& system = WindowSystem::Get();
    handled = true;
    switch (message) {
        case WM_SETCURSOR: {
            if (window.Child() && SendMessageA(window.parent, WM_SETCURSOR, wParam, lParam)) return TRUE;
            // The parent's handler may have destroyed the window.
            Window* alive = LOWORD(lParam) == HTCLIENT ? system.Find(hWnd) : nullptr;
            if (alive && alive->cls->info.hCursor) {
                SetCursor(alive->cls->info.hCursor);
                return TRUE;
            }
            if (LOWORD(lParam) != HTCLIENT) SetCursor(LoadCursorA(nullptr, IDC_ARROW));
            return FALSE;
        }
        case WM_MOUSEACTIVATE:
            if (window.Child())
                if (LRESULT answer = SendMessageA(window.parent, WM_MOUSEACTIVATE, wParam, lParam)) return answer;
            return MA_ACTIVATE;
        case WM_MOUSEWHEEL:
            if (window.Child()) return SendMessageA(window.parent, WM_MOUSEWHEEL, wParam, lParam);
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE && !HIWORD(wParam)) SetFocus(hWnd);
            return 0;
        case WM_CANCELMODE:
            if (GetCapture() == hWnd) ReleaseCapture();
            return 0;
        default: handled = false; return 0;
    }
}

LRESULT Painting(HWND hWnd, Window& window, UINT message, WPARAM wParam, LPARAM, bool& handled) {
    handled = true;
    switch (message) {
        case WM_ERASEBKGND: {
            HBRUSH brush = ClassBrush(window);
            if (!brush) return 0;
            RECT client = window.ClientRect();
            FillRect(reinterpret_cast<HDC>(wParam), &client, brush);
            return 1;
        }
        case WM_PAINT: {
            PAINTSTRUCT paint;
            BeginPaint(hWnd, &paint);
            EndPaint(hWnd, &paint);
            return 0;
        }
        case WM_SETREDRAW:
            window.redraw = wParam != 0;
            if (window.redraw) NotePaintMaybeDue();  // what it was to paint is due again
            return 0;
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX: return SystemColours(reinterpret_cast<HDC>(wParam), COLOR_WINDOW);
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC: return SystemColours(reinterpret_cast<HDC>(wParam), COLOR_BTNFACE);
        default: handled = false; return 0;
    }
}

// Closing, minimising and restoring: the system menu's commands, Alt+F4 and the end of the session.
LRESULT SystemCommands(HWND hWnd, Window& window, UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    handled = true;
    switch (message) {
        case WM_CLOSE: DestroyWindow(hWnd); return 0;
        case WM_SYSCOMMAND:
            switch (wParam & 0xFFF0) {
                case SC_CLOSE: SendMessageA(hWnd, WM_CLOSE, 0, 0); break;
                case SC_MINIMIZE: ShowWindow(hWnd, SW_MINIMIZE); break;
                case SC_RESTORE: ShowWindow(hWnd, SW_RESTORE); break;
                default: break;
            }
            return 0;
        case WM_SYSKEYDOWN:
            if (wParam == VK_F4 && (lParam & (LPARAM{1} << 29)))
                SendMessageA(TopLevelOf(&window)->handle, WM_SYSCOMMAND, SC_CLOSE, 0);
            return 0;
        case WM_QUERYENDSESSION: return TRUE;
        default: handled = false; return 0;
    }
}

LRESULT TextAndIcons(HWND, Window& window, UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    handled = true;
    switch (message) {
        case WM_SETTEXT:
            SetText(window, reinterpret_cast<LPCSTR>(lParam));
            NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, window.handle, OBJID_WINDOW, CHILDID_SELF);
            return TRUE;
        case WM_GETTEXT: {
            auto* buffer = reinterpret_cast<char*>(lParam);
            if (!buffer || wParam == 0) return 0;
            size_t length = std::min(window.text.size(), static_cast<size_t>(wParam - 1));
            std::memcpy(buffer, window.text.data(), length);
            buffer[length] = '\0';
            return static_cast<LRESULT>(length);
        }
        case WM_GETTEXTLENGTH: return static_cast<LRESULT>(window.text.size());
        case WM_SETICON: {
            if (wParam != ICON_BIG && wParam != ICON_SMALL) return 0;
            HICON& held = wParam == ICON_BIG ? window.bigIcon : window.smallIcon;
            HICON replaced = std::exchange(held, reinterpret_cast<HICON>(lParam));
            ApplyNativeIcon(window);
            return reinterpret_cast<LRESULT>(replaced);
        }
        case WM_GETICON:
            switch (wParam) {
                case ICON_BIG: return reinterpret_cast<LRESULT>(window.bigIcon);
                case ICON_SMALL: return reinterpret_cast<LRESULT>(window.smallIcon);
                // Windows would make a small icon of the big one; the big one itself serves here.
                case ICON_SMALL2:
                    return reinterpret_cast<LRESULT>(window.smallIcon ? window.smallIcon : window.bigIcon);
                default: return 0;
            }
        default: handled = false; return 0;
    }
}

// A move or a resize becomes WM_MOVE and WM_SIZE, unless WM_MOVE's handler destroyed the window.
LRESULT PositionChanged(HWND hWnd, Window& window, UINT message, WPARAM, LPARAM lParam, bool& handled) {
    handled = message == WM_WINDOWPOSCHANGED;
    if (!handled) return 0;
    auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
    RECT client = window.ClientRect();
    if (!(pos->flags & SWP_NOMOVE))
        SendMessageA(hWnd, WM_MOVE, 0,
                     MAKELPARAM(window.rect.left + window.clientInsets.left,
                                window.rect.top + window.clientInsets.top));
    if (!(pos->flags & SWP_NOSIZE) && WindowSystem::Get().Find(hWnd))
        SendMessageA(hWnd, WM_SIZE, IsIconic(hWnd) ? SIZE_MINIMIZED : SIZE_RESTORED,
                     MAKELPARAM(client.right, client.bottom));
    return 0;
}

using MessageGroup = LRESULT (*)(HWND, Window&, UINT, WPARAM, LPARAM, bool&);
constexpr MessageGroup kGroups[] = {NonClient,      MouseAndActivation, Painting,
                                    SystemCommands, TextAndIcons,       PositionChanged};

}  // namespace

LRESULT WINAPI DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    Window* window = WindowSystem::Get().Find(hWnd);
    if (!window) return 0;
    for (MessageGroup group : kGroups) {
        bool handled = false;
        LRESULT result = group(hWnd, *window, Msg, wParam, lParam, handled);
        if (handled) return result;
    }
    return 0;
}
