// Update regions, WM_PAINT, device contexts on windows, and presenting what changed.

#include <algorithm>
#include <map>

#include "platform/gdi/SurfaceDC.h"
#include "platform/user/WindowSystem.h"

using namespace platform::user;
using platform::gdi::Region;

namespace {

struct WindowDC {
    HWND window;
    bool screen;  // GetDC of no window: a memory DC for measuring
};
std::map<HDC, WindowDC> windowDCs;

RECT OffsetRect(RECT r, LONG dx, LONG dy) { return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy}; }

bool ShowsOnScreen(Window* window) {
    WindowSystem& system = WindowSystem::Get();
    for (; window; window = window->Child() ? system.Find(window->parent) : nullptr)
        if (!window->Visible() || !window->redraw) return false;
    return true;
}

HDC MakeDC(HWND hWnd, bool clientOnly, const Region* limit) {
    WindowSystem& system = WindowSystem::Get();
    Window* window = system.FindOrFail(hWnd);
    if (!window) return nullptr;
    Window* top = TopLevelOf(window);
    Region clip = VisibleRegion(*window, clientOnly);
    if (limit) clip.Intersect(*limit);
    POINT origin = ClientOriginOnSurface(*window);
    if (!clientOnly) {
        RECT onSurface = WindowRectOnSurface(*window);
        origin = {onSurface.left, onSurface.top};
    }
    HDC dc = platform::gdi::CreateSurfaceDC(&top->surface, origin, clip);
    if (dc) windowDCs[dc] = {hWnd, false};
    return dc;
}

void FinishDC(HDC dc) {
    auto it = windowDCs.find(dc);
    if (it == windowDCs.end()) return;
    if (it->second.screen) {
        DeleteDC(dc);
    } else {
        RECT drawn = platform::gdi::TakeDrawnBounds(dc);
        if (Window* top = TopLevelOf(WindowSystem::Get().Find(it->second.window))) top->drawn.Union(drawn);
        platform::gdi::DeleteSurfaceDC(dc);
    }
    windowDCs.erase(it);
}

void PaintTreeNow(HWND handle, bool children) {
    WindowSystem& system = WindowSystem::Get();
    Window* window = system.Find(handle);
    if (!window) return;
    if (window->frameNeeded && window->update.Empty()) {
        window->frameNeeded = false;
        SendMessageA(handle, WM_NCPAINT, 1, 0);
    }
    if ((window = system.Find(handle)) && !window->update.Empty() && ShowsOnScreen(window))
        SendMessageA(handle, WM_PAINT, 0, 0);
    if (!children || !(window = system.Find(handle))) return;
    for (HWND child : std::vector<HWND>(window->children)) PaintTreeNow(child, true);
}

// Whether some window may have a frame or an area to paint: set whenever one is made invalid, shown or let draw
// again, and cleared by a look through every window that found none, so that the loop does not look through every
// window between any two messages when nothing has changed.
bool paintMaybeDue = false;

// The window whose WM_PAINT is due: the first invalid one, parents before their children.
HWND FindPaintWindow(HWND handle, HWND filter) {
    WindowSystem& system = WindowSystem::Get();
    Window* window = system.Find(handle);
    if (!window || !window->Visible() || !window->redraw) return nullptr;
    if (window->frameNeeded && window->update.Empty()) {
        window->frameNeeded = false;
        SendMessageA(handle, WM_NCPAINT, 1, 0);
        if (!(window = system.Find(handle))) return nullptr;
    }
    if (!window->update.Empty() && (!filter || filter == handle)) return handle;
    // Looked for between any two messages, so without copies; a child's frame may destroy windows on the way, so
    // the parent is looked up again after each.
    for (size_t i = 0; i < window->children.size(); ++i) {
        if (HWND found = FindPaintWindow(window->children[i], filter)) return found;
        if (!(window = system.Find(handle))) return nullptr;
    }
    return nullptr;
}

}  // namespace

namespace platform::user {

Region VisibleRegion(Window& window, bool clientOnly) {
    WindowSystem& system = WindowSystem::Get();
    if (!ShowsOnScreen(&window)) return {};
    RECT own = clientOnly ? OffsetRect(window.ClientRect(), ClientOriginOnSurface(window).x, ClientOriginOnSurface(window).y)
                          : WindowRectOnSurface(window);
    Region visible(own);
    Window* top = TopLevelOf(&window);
    visible.Intersect(RECT{0, 0, top->surface.width, top->surface.height});
    if (clientOnly && (window.style & WS_CLIPCHILDREN))
        for (HWND handle : window.children)
            if (Window* child = system.Find(handle); child && child->Visible()) visible.Subtract(WindowRectOnSurface(*child));
    // Up the tree: every parent's client area bounds what shows, and siblings in front cover it.
    for (Window* current = &window; current->Child();) {
        Window* parent = system.Find(current->parent);
        if (!parent) return {};
        POINT parentOrigin = ClientOriginOnSurface(*parent);
        visible.Intersect(OffsetRect(parent->ClientRect(), parentOrigin.x, parentOrigin.y));
        if (current->style & WS_CLIPSIBLINGS) {
            for (HWND handle : parent->children) {
                if (handle == current->handle) break;
                if (Window* sibling = system.Find(handle); sibling && sibling->Visible())
                    visible.Subtract(WindowRectOnSurface(*sibling));
            }
        }
        current = parent;
    }
    return visible;
}

void InvalidateArea(Window& window, const Region& clientArea, bool erase, bool withChildren) {
    WindowSystem& system = WindowSystem::Get();
    if (!ShowsOnScreen(&window)) return;
    Region area = clientArea;
    area.Intersect(window.ClientRect());
    if (area.Empty()) return;
    window.update.Union(area);
    window.eraseNeeded |= erase;
    paintMaybeDue = true;
    if (!withChildren) return;
    for (HWND handle : window.children) {
        Window* child = system.Find(handle);
        if (!child || !child->Visible() || !area.Intersects(child->rect)) continue;
        NeedFrame(*child);
        Region childArea = area;
        childArea.Offset(-(child->rect.left + child->clientInsets.left), -(child->rect.top + child->clientInsets.top));
        InvalidateArea(*child, childArea, erase, !(child->style & WS_CLIPCHILDREN));
    }
}

void NeedFrame(Window& window) {
    window.frameNeeded = true;
    paintMaybeDue = true;
}

void NotePaintMaybeDue() { paintMaybeDue = true; }

HWND NextPaintWindow(HWND filter) {
    WindowSystem& system = WindowSystem::Get();
    if (!paintMaybeDue) return nullptr;
    // Cleared before the look, so that a frame drawn on the way that makes something invalid sets it again; a
    // look for one window's painting says nothing of the others.
    if (!filter) paintMaybeDue = false;
    const std::vector<HWND>& tops = system.TopLevelWindowsOnUiThread();
    for (size_t i = 0; i < tops.size(); ++i) {
        if (HWND found = FindPaintWindow(tops[i], filter)) {
            paintMaybeDue = true;
            return found;
        }
    }
    return nullptr;
}


void InvalidateParentArea(Window& window, const RECT& rectInParent) {
    if (Window* parent = WindowSystem::Get().Find(window.parent)) InvalidateArea(*parent, Region(rectInParent), true, true);
}

void PresentAll() {
    WindowSystem& system = WindowSystem::Get();
    // Presenting sends no messages: the list stays as it is meanwhile.
    for (HWND handle : system.TopLevelWindowsOnUiThread()) {
        Window* window = system.Find(handle);
        if (!window || !window->native || !window->Visible()) continue;
        if (window->presentAll) {
            window->drawn = Region(RECT{0, 0, window->surface.width, window->surface.height});
            window->presentAll = false;
        }
        if (window->drawn.Empty()) continue;
        window->native->Present(window->surface, window->drawn.Rects());
        window->drawn.Clear();
    }
}

}  // namespace platform::user

// GDI draws into the windows' surfaces at once; the window manager presents them, so this is where a flush is.
BOOL WINAPI GdiFlush() {
    platform::user::PresentAll();
    WindowSystem& system = WindowSystem::Get();
    if (system.HasDisplay()) system.Display().Sync();
    return TRUE;
}

BOOL WINAPI InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase) {
    WindowSystem& system = WindowSystem::Get();
    if (!hWnd) {
        for (HWND top : system.TopLevelWindows()) InvalidateRect(top, lpRect, bErase);
        return TRUE;
    }
    Window* window = system.FindOrFail(hWnd);
    if (!window) return FALSE;
    InvalidateArea(*window, Region(lpRect ? *lpRect : window->ClientRect()), bErase, !(window->style & WS_CLIPCHILDREN));
    return TRUE;
}

BOOL WINAPI ValidateRect(HWND hWnd, const RECT* lpRect) {
    Window* window = WindowSystem::Get().FindOrFail(hWnd);
    if (!window) return FALSE;
    if (lpRect) window->update.Subtract(*lpRect);
    else window->update.Clear();
    if (window->update.Empty()) window->eraseNeeded = false;
    return TRUE;
}

BOOL WINAPI GetUpdateRect(HWND hWnd, LPRECT lpRect, BOOL) {
    Window* window = WindowSystem::Get().FindOrFail(hWnd);
    if (!window) return FALSE;
    if (lpRect) *lpRect = window->update.Bounds();
    return !window->update.Empty();
}

BOOL WINAPI UpdateWindow(HWND hWnd) {
    if (!WindowSystem::Get().FindOrFail(hWnd)) return FALSE;
    PaintTreeNow(hWnd, false);
    return TRUE;
}

BOOL WINAPI RedrawWindow(HWND hWnd, const RECT* lprcUpdate, HRGN hrgnUpdate, UINT flags) {
    WindowSystem& system = WindowSystem::Get();
    Window* window = system.FindOrFail(hWnd);
    if (!window) return FALSE;
    Region area(lprcUpdate ? *lprcUpdate : window->ClientRect());
    if (hrgnUpdate) {
        RECT box;
        GetRgnBox(hrgnUpdate, &box);
        area = Region(box);
    }
    bool children = (flags & RDW_ALLCHILDREN) || (!(flags & RDW_NOCHILDREN) && !(window->style & WS_CLIPCHILDREN));
    if (flags & RDW_FRAME) NeedFrame(*window);
    if (flags & RDW_INVALIDATE) InvalidateArea(*window, area, flags & RDW_ERASE, children);
    if (flags & RDW_VALIDATE) {
        window->update.Subtract(area);
        if (flags & RDW_NOERASE) window->eraseNeeded = false;
    }
    if (flags & (RDW_UPDATENOW | RDW_ERASENOW)) PaintTreeNow(hWnd, children);
    return TRUE;
}

HDC WINAPI BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint) {
    WindowSystem& system = WindowSystem::Get();
    Window* window = system.FindOrFail(hWnd);
    if (!window || !lpPaint) return nullptr;
    if (window->frameNeeded) {
        window->frameNeeded = false;
        SendMessageA(hWnd, WM_NCPAINT, 1, 0);
        if (!(window = system.Find(hWnd))) return nullptr;
    }
    HideCaretForPainting(hWnd);
    if (!(window = system.Find(hWnd))) return nullptr;
    Region area = window->update;
    bool erase = window->eraseNeeded;
    window->update.Clear();
    window->eraseNeeded = false;
    POINT origin = ClientOriginOnSurface(*window);
    Region onSurface = area;
    onSurface.Offset(origin.x, origin.y);
    HDC dc = MakeDC(hWnd, true, &onSurface);
    *lpPaint = PAINTSTRUCT{};
    lpPaint->hdc = dc;
    lpPaint->rcPaint = area.Bounds();
    lpPaint->fErase = erase;
    if (erase && dc) lpPaint->fErase = !SendMessageA(hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    return dc;
}

BOOL WINAPI EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint) {
    if (lpPaint && lpPaint->hdc) FinishDC(lpPaint->hdc);
    ShowCaretAfterPainting(hWnd);
    return TRUE;
}

HDC WINAPI GetDC(HWND hWnd) {
    if (!hWnd || hWnd == kDesktopWindow) {
        HDC dc = CreateCompatibleDC(nullptr);
        if (dc) windowDCs[dc] = {nullptr, true};
        return dc;
    }
    return MakeDC(hWnd, true, nullptr);
}

HDC WINAPI GetWindowDC(HWND hWnd) {
    if (!hWnd || hWnd == kDesktopWindow) return GetDC(nullptr);
    return MakeDC(hWnd, false, nullptr);
}

int WINAPI ReleaseDC(HWND, HDC hDC) {
    if (!windowDCs.contains(hDC)) return 0;
    FinishDC(hDC);
    return 1;
}

HWND WINAPI WindowFromDC(HDC hDC) {
    auto it = windowDCs.find(hDC);
    return it == windowDCs.end() ? nullptr : it->second.window;
}

// Moving pixels is not worth its bookkeeping at this program's sizes: the area is drawn again.
BOOL WINAPI ScrollWindow(HWND hWnd, int, int, const RECT* lpRect, const RECT* lpClipRect) {
    Window* window = WindowSystem::Get().FindOrFail(hWnd);
    if (!window) return FALSE;
    Region area(lpRect ? *lpRect : window->ClientRect());
    if (lpClipRect) area.Intersect(*lpClipRect);
    InvalidateArea(*window, area, true, true);
    return TRUE;
}

BOOL WINAPI InvalidateRgn(HWND hWnd, HRGN hRgn, BOOL bErase) {
    if (!hRgn) return InvalidateRect(hWnd, nullptr, bErase);
    RECT box;
    GetRgnBox(hRgn, &box);
    return InvalidateRect(hWnd, &box, bErase);
}
