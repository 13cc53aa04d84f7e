// The scroll bars of windows with WS_VSCROLL or WS_HSCROLL: their values, their drawing in the window's frame, and
// the mouse on them. A press runs a tracking loop of its own, as on Windows, reporting WM_VSCROLL/WM_HSCROLL to the
// window while other windows' messages and timers go on.

#include <algorithm>

#include "platform/user/SharedLook.h"
#include "platform/user/WindowSystem.h"

using namespace platform::user;

namespace {

enum Part { kNone, kLineUp, kPageUp, kThumb, kPageDown, kLineDown };

constexpr UINT_PTR kRepeatTimer = 0xFFFE;  // an id of the window system's own, never one a program uses
constexpr UINT kFirstRepeat = 400;          // ms before a held arrow or page area starts repeating
constexpr UINT kRepeat = 50;

struct Layout {
    RECT lineUp{}, lineDown{}, track{}, thumb{};
    bool hasThumb = false;
};

bool Shown(const Window& window, int bar) { return window.style & (bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL); }

// The bar's rectangle in window coordinates.
RECT BarRect(const Window& window, int bar) {
    RECT client = window.ClientRect();
    LONG left = window.clientInsets.left;
    LONG top = window.clientInsets.top;
    if (bar == SB_VERT) return {left + client.right, top, left + client.right + GetSystemMetrics(SM_CXVSCROLL), top + client.bottom};
    return {left, top + client.bottom, left + client.right, top + client.bottom + GetSystemMetrics(SM_CYHSCROLL)};
}

int MaximumPosition(const ScrollBarState& s) { return std::max(s.min, s.max - std::max(0, static_cast<int>(s.page) - 1)); }

bool Scrollable(const ScrollBarState& s) {
    int64_t range = int64_t{s.max} - s.min + 1;
    return s.max > s.min && (s.page == 0 || s.page < range) && s.disabledArrows != ESB_DISABLE_BOTH;
}

Layout Measure(const RECT& bar, bool vertical, const ScrollBarState& s) {
    Layout layout;
    LONG length = vertical ? bar.bottom - bar.top : bar.right - bar.left;
    LONG breadth = vertical ? bar.right - bar.left : bar.bottom - bar.top;
    LONG arrow = std::min(breadth, length / 2);
    auto span = [&](LONG from, LONG to) {
        return vertical ? RECT{bar.left, bar.top + from, bar.right, bar.top + to}
                        : RECT{bar.left + from, bar.top, bar.left + to, bar.bottom};
    };
    layout.lineUp = span(0, arrow);
    layout.lineDown = span(length - arrow, length);
    layout.track = span(arrow, length - arrow);
    LONG trackLength = length - 2 * arrow;
    if (!Scrollable(s) || trackLength < 8) return layout;
    int64_t range = int64_t{s.max} - s.min + 1;
    LONG thumbLength = s.page ? static_cast<LONG>(std::max<int64_t>(8, trackLength * int64_t{s.page} / range))
                              : GetSystemMetrics(vertical ? SM_CYVTHUMB : SM_CXHTHUMB);
    thumbLength = std::min(thumbLength, trackLength);
    int position = s.tracking ? s.trackPos : s.pos;
    int64_t span64 = int64_t{MaximumPosition(s)} - s.min;
    LONG offset = span64 > 0 ? static_cast<LONG>((trackLength - thumbLength) * (int64_t{position} - s.min) / span64) : 0;
    offset = std::clamp<LONG>(offset, 0, trackLength - thumbLength);
    layout.thumb = span(arrow + offset, arrow + offset + thumbLength);
    layout.hasThumb = true;
    return layout;
}

Part PartAt(const Layout& layout, POINT point, bool vertical) {
    if (PtInRect(&layout.lineUp, point)) return kLineUp;
    if (PtInRect(&layout.lineDown, point)) return kLineDown;
    if (!layout.hasThumb) return kNone;
    if (PtInRect(&layout.thumb, point)) return kThumb;
    LONG at = vertical ? point.y : point.x;
    LONG thumbStart = vertical ? layout.thumb.top : layout.thumb.left;
    return at < thumbStart ? kPageUp : kPageDown;
}


void PaintBar(HDC dc, const Window& window, int bar) {
    const ScrollBarState& s = window.scroll[bar];
    bool vertical = bar == SB_VERT;
    RECT rect = BarRect(window, bar);
    Layout layout = Measure(rect, vertical, s);
    bool enabled = Scrollable(s) && !(window.style & WS_DISABLED);
    auto arrow = [&](RECT r, UINT kind, Part part, UINT disabledFlag) {
        UINT state = kind;
        if (!enabled || (s.disabledArrows & disabledFlag)) state |= DFCS_INACTIVE;
        else if (s.pressedPart == part) state |= DFCS_PUSHED | DFCS_FLAT;
        DrawFrameControl(dc, &r, DFC_SCROLL, state);
    };
    arrow(layout.lineUp, vertical ? DFCS_SCROLLUP : DFCS_SCROLLLEFT, kLineUp, ESB_DISABLE_LTUP);
    arrow(layout.lineDown, vertical ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT, kLineDown, ESB_DISABLE_RTDN);
    FillRect(dc, &layout.track, DitherBrush());
    if (!layout.hasThumb || !enabled) return;
    if (s.pressedPart == kPageUp || s.pressedPart == kPageDown) {
        RECT held = layout.track;
        if (vertical) (s.pressedPart == kPageUp ? held.bottom : held.top) = s.pressedPart == kPageUp ? layout.thumb.top : layout.thumb.bottom;
        else (s.pressedPart == kPageUp ? held.right : held.left) = s.pressedPart == kPageUp ? layout.thumb.left : layout.thumb.right;
        FillRect(dc, &held, GetSysColorBrush(COLOR_3DDKSHADOW));
    }
    RECT thumb = layout.thumb;
    DrawEdge(dc, &thumb, EDGE_RAISED, BF_RECT | BF_MIDDLE);
}

void RedrawBar(HWND handle) {
    if (Window* window = WindowSystem::Get().Find(handle)) {
        HDC dc = GetWindowDC(handle);
        if (!dc) return;
        PaintScrollBars(dc, *window);
        ReleaseDC(handle, dc);
    }
}

WPARAM CodeFor(Part part) {
    switch (part) {
        case kLineUp: return SB_LINEUP;
        case kLineDown: return SB_LINEDOWN;
        case kPageUp: return SB_PAGEUP;
        case kPageDown: return SB_PAGEDOWN;
        default: return SB_ENDSCROLL;
    }
}

// Shows or hides a bar as its range calls for, as Windows does for a window's own scroll bars.
void FitVisibility(HWND handle, Window& window, int bar, bool disableInstead) {
    bool needed = Scrollable(window.scroll[bar]) || disableInstead;
    if (needed != Shown(window, bar)) ShowScrollBar(handle, bar, needed);
}

ScrollBarState* StateOf(HWND handle, int bar, Window** owner = nullptr) {
    Window* window = WindowSystem::Get().FindOrFail(handle);
    if (!window || (bar != SB_HORZ && bar != SB_VERT)) {
        if (window) SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (owner) *owner = window;
    return &window->scroll[bar];
}

}  // namespace

namespace platform::user {

HBRUSH DitherBrush() {
    static HBRUSH brush = [] {
        HDC dc = CreateCompatibleDC(nullptr);
        HBITMAP pattern = CreateCompatibleBitmap(dc, 8, 8);
        HGDIOBJ old = SelectObject(dc, pattern);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) SetPixel(dc, x, y, GetSysColor((x + y) % 2 ? COLOR_BTNFACE : COLOR_BTNHIGHLIGHT));
        SelectObject(dc, old);
        DeleteDC(dc);
        HBRUSH made = CreatePatternBrush(pattern);
        DeleteObject(pattern);
        return made;
    }();
    return brush;
}

void PaintScrollBars(HDC windowDC, Window& window) {
    if (Shown(window, SB_VERT)) PaintBar(windowDC, window, SB_VERT);
    if (Shown(window, SB_HORZ)) PaintBar(windowDC, window, SB_HORZ);
    if (Shown(window, SB_VERT) && Shown(window, SB_HORZ)) {
        RECT vertical = BarRect(window, SB_VERT);
        RECT corner{vertical.left, vertical.bottom, vertical.right, vertical.bottom + GetSystemMetrics(SM_CYHSCROLL)};
        FillRect(windowDC, &corner, GetSysColorBrush(COLOR_BTNFACE));
    }
}

namespace {

// The position a dragged thumb stands for, the pointer `mouse` (window coordinates) held `grab` pixels into it.
int DraggedThumbPosition(const Window& window, int bar, POINT mouse, LONG grab) {
    const bool vertical = bar == SB_VERT;
    const ScrollBarState& s = window.scroll[bar];
    Layout now = Measure(BarRect(window, bar), vertical, s);
    LONG trackLength = vertical ? now.track.bottom - now.track.top : now.track.right - now.track.left;
    LONG thumbLength = vertical ? now.thumb.bottom - now.thumb.top : now.thumb.right - now.thumb.left;
    LONG offset = (vertical ? mouse.y - now.track.top : mouse.x - now.track.left) - grab;
    offset = std::clamp<LONG>(offset, 0, std::max<LONG>(0, trackLength - thumbLength));
    int64_t span = int64_t{MaximumPosition(s)} - s.min;
    LONG room = trackLength - thumbLength;
    return room > 0 ? static_cast<int>(s.min + (span * offset + room / 2) / room) : s.min;
}

// The bar as it was before the press, whichever way the tracking ended (the window may be gone by then).
void EndTracking(HWND handle, int bar) {
    WindowSystem& system = WindowSystem::Get();
    KillTimer(handle, kRepeatTimer);
    if (Window* w = system.Find(handle)) {
        w->scroll[bar].tracking = false;
        w->scroll[bar].pressedPart = kNone;
    }
    if (GetCapture() == handle) ReleaseCapture();
    if (system.Find(handle)) {
        SendMessageA(handle, bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL, SB_ENDSCROLL, 0);
        RedrawBar(handle);
    }
}

// One press on a scroll bar, from the press to the release: the part pressed, where the pointer is now (in window
// coordinates) and, on the thumb, how far into it the pointer took hold.
struct BarTracking {
    HWND handle;
    int bar;
    bool vertical;
    UINT report;  // WM_VSCROLL or WM_HSCROLL
    RECT outer;   // the window on the screen
    Part part = kNone;
    LONG grab = 0;
    POINT mouse{};

    POINT Local(POINT screen) const { return POINT{screen.x - outer.left, screen.y - outer.top}; }
    Layout LayoutNow() const {
        Window* w = WindowSystem::Get().Find(handle);
        return w ? Measure(BarRect(*w, bar), vertical, w->scroll[bar]) : Layout{};
    }
    // A move drags the thumb; the release ends the tracking (true), with the thumb's final position.
    bool FollowMouse(const MSG& message) {
        POINT client{GET_X_LPARAM(message.lParam), GET_Y_LPARAM(message.lParam)};
        ClientToScreen(handle, &client);
        mouse = Local(client);
        const bool released = message.message == WM_LBUTTONUP;
        if (part != kThumb) return released;
        Window* w = WindowSystem::Get().Find(handle);
        if (!w) return true;
        ScrollBarState& s = w->scroll[bar];
        const int position = DraggedThumbPosition(*w, bar, mouse, grab);
        if (position != s.trackPos || released) {
            s.trackPos = position;
            if (!released) {
                RedrawBar(handle);
                SendMessageA(handle, report, MAKEWPARAM(SB_THUMBTRACK, position), 0);
            }
        }
        if (released) SendMessageA(handle, report, MAKEWPARAM(SB_THUMBPOSITION, s.trackPos), 0);
        return released;
    }
    // A held arrow repeats; a held page area repeats until the thumb reaches the pointer.
    void Repeat() {
        SetTimer(handle, kRepeatTimer, kRepeat, nullptr);
        if (PartAt(LayoutNow(), mouse, vertical) == part) SendMessageA(handle, report, CodeFor(part), 0);
        RedrawBar(handle);
    }
};

}  // namespace

void TrackScrollBar(HWND handle, int bar, POINT screen) {
    WindowSystem& system = WindowSystem::Get();
    Window* window = system.Find(handle);
    if (!window || !Scrollable(window->scroll[bar]) || (window->style & WS_DISABLED)) return;
    BarTracking tracking{handle, bar, bar == SB_VERT, static_cast<UINT>(bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL), {}};
    GetWindowRect(handle, &tracking.outer);
    tracking.mouse = tracking.Local(screen);
    Layout layout = tracking.LayoutNow();
    tracking.part = PartAt(layout, tracking.mouse, tracking.vertical);
    if (tracking.part == kNone) return;

    ScrollBarState& state = window->scroll[bar];
    state.pressedPart = tracking.part;
    tracking.grab = tracking.vertical ? tracking.mouse.y - layout.thumb.top : tracking.mouse.x - layout.thumb.left;
    if (tracking.part == kThumb) {
        state.tracking = true;
        state.trackPos = state.pos;
    }
    SetCapture(handle);
    RedrawBar(handle);
    if (tracking.part != kThumb) {
        SendMessageA(handle, tracking.report, CodeFor(tracking.part), 0);
        SetTimer(handle, kRepeatTimer, kFirstRepeat, nullptr);
    }
    MSG message;
    bool ended = false;
    while (!ended && system.Find(handle) && GetCapture() == handle) {
        if (!GetMessageA(&message, nullptr, 0, 0)) {
            PostQuitMessage(static_cast<int>(message.wParam));  // the outer loop must still see it
            break;
        }
        const bool ours = message.hwnd == handle;
        if (ours && (message.message == WM_MOUSEMOVE || message.message == WM_LBUTTONUP))
            ended = tracking.FollowMouse(message);
        else if (ours && message.message == WM_TIMER && message.wParam == kRepeatTimer)
            tracking.Repeat();
        else if (!ours || message.message < WM_MOUSEFIRST || message.message > WM_MOUSELAST) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    EndTracking(handle, bar);
}

}  // namespace platform::user

int WINAPI SetScrollInfo(HWND hwnd, int nBar, LPCSCROLLINFO lpsi, BOOL redraw) {
    Window* window = nullptr;
    ScrollBarState* s = StateOf(hwnd, nBar, &window);
    if (!s || !lpsi) return 0;
    if (lpsi->fMask & SIF_RANGE) {
        s->min = lpsi->nMin;
        s->max = std::max(lpsi->nMin, lpsi->nMax);
    }
    if (lpsi->fMask & SIF_PAGE) {
        int64_t range = int64_t{s->max} - s->min + 1;
        s->page = static_cast<UINT>(std::min<int64_t>(lpsi->nPage, range));
    }
    if (lpsi->fMask & SIF_POS) s->pos = lpsi->nPos;
    s->pos = std::clamp(s->pos, s->min, MaximumPosition(*s));
    int position = s->pos;
    FitVisibility(hwnd, *window, nBar, lpsi->fMask & SIF_DISABLENOSCROLL);
    // The bar is drawn again with the next painting, so that many changes in a row cost one drawing.
    if (redraw && (window = WindowSystem::Get().Find(hwnd))) NeedFrame(*window);
    return position;
}

BOOL WINAPI GetScrollInfo(HWND hwnd, int nBar, LPSCROLLINFO lpsi) {
    ScrollBarState* s = StateOf(hwnd, nBar);
    if (!s || !lpsi) return FALSE;
    if (lpsi->fMask & SIF_RANGE) {
        lpsi->nMin = s->min;
        lpsi->nMax = s->max;
    }
    if (lpsi->fMask & SIF_PAGE) lpsi->nPage = s->page;
    if (lpsi->fMask & SIF_POS) lpsi->nPos = s->pos;
    if (lpsi->fMask & SIF_TRACKPOS) lpsi->nTrackPos = s->tracking ? s->trackPos : s->pos;
    return TRUE;
}

int WINAPI SetScrollPos(HWND hWnd, int nBar, int nPos, BOOL bRedraw) {
    ScrollBarState* s = StateOf(hWnd, nBar);
    if (!s) return 0;
    int old = s->pos;
    SCROLLINFO info{sizeof info, SIF_POS, 0, 0, 0, nPos, 0};
    SetScrollInfo(hWnd, nBar, &info, bRedraw);
    return old;
}

int WINAPI GetScrollPos(HWND hWnd, int nBar) {
    ScrollBarState* s = StateOf(hWnd, nBar);
    return s ? s->pos : 0;
}

BOOL WINAPI SetScrollRange(HWND hWnd, int nBar, int nMinPos, int nMaxPos, BOOL bRedraw) {
    SCROLLINFO info{sizeof info, SIF_RANGE, nMinPos, nMaxPos, 0, 0, 0};
    return StateOf(hWnd, nBar) && (SetScrollInfo(hWnd, nBar, &info, bRedraw), TRUE);
}

BOOL WINAPI GetScrollRange(HWND hWnd, int nBar, LPINT lpMinPos, LPINT lpMaxPos) {
    ScrollBarState* s = StateOf(hWnd, nBar);
    if (!s || !lpMinPos || !lpMaxPos) return FALSE;
    *lpMinPos = s->min;
    *lpMaxPos = s->max;
    return TRUE;
}

BOOL WINAPI ShowScrollBar(HWND hWnd, int wBar, BOOL bShow) {
    Window* window = WindowSystem::Get().FindOrFail(hWnd);
    if (!window) return FALSE;
    DWORD bits = wBar == SB_VERT ? WS_VSCROLL : wBar == SB_HORZ ? WS_HSCROLL : wBar == SB_BOTH ? WS_VSCROLL | WS_HSCROLL : 0;
    DWORD style = bShow ? (window->style | bits) : (window->style & ~bits);
    if (style == window->style) return TRUE;
    window->style = style;
    // The client area changes size: the window lays itself out again through WM_SIZE.
    SetWindowPos(hWnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    return TRUE;
}

BOOL WINAPI EnableScrollBar(HWND hWnd, UINT wSBflags, UINT wArrows) {
    Window* window = WindowSystem::Get().FindOrFail(hWnd);
    if (!window) return FALSE;
    for (int bar : {SB_HORZ, SB_VERT})
        if (wSBflags == SB_BOTH || static_cast<int>(wSBflags) == bar) window->scroll[bar].disabledArrows = wArrows;
    RedrawBar(hWnd);
    return TRUE;
}
