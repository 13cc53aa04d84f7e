// System metrics of the classic look, and rectangle arithmetic.

#include <algorithm>

#include "platform/user/WindowSystem.h"

using namespace platform::user;

int WINAPI GetSystemMetrics(int nIndex) {
    WindowSystem& system = WindowSystem::Get();
    // The screen's size is a question for the display, so asking it opens the display as a first window would:
    // a form centred before its window exists must be centred on the real screen.
    auto screen = [&system] { return system.Display().ScreenSize(); };
    switch (nIndex) {
        case SM_CXSCREEN:
        case SM_CXFULLSCREEN: return screen().cx;
        case SM_CYSCREEN: return screen().cy;
        case SM_CYFULLSCREEN: return screen().cy - 18;
        case SM_CXVSCROLL:
        case SM_CYHSCROLL:
        case SM_CYVSCROLL:
        case SM_CXHSCROLL:
        case SM_CYVTHUMB:
        case SM_CXHTHUMB: return 16;
        case SM_CYCAPTION:
        case SM_CXSIZE:
        case SM_CYSIZE:
        case SM_CYMENU: return 18;
        case SM_CYSMCAPTION: return 15;
        case SM_CXBORDER:
        case SM_CYBORDER: return 1;
        case SM_CXEDGE:
        case SM_CYEDGE: return 2;
        case SM_CXDLGFRAME:
        case SM_CYDLGFRAME: return 3;
        case SM_CXFRAME:
        case SM_CYFRAME: return 4;
        case SM_CXICON:
        case SM_CYICON:
        case SM_CXCURSOR:
        case SM_CYCURSOR: return 32;
        case SM_CXSMICON:
        case SM_CYSMICON: return 16;
        case SM_CXDOUBLECLK:
        case SM_CYDOUBLECLK:
        case SM_CXDRAG:
        case SM_CYDRAG: return 4;
        case SM_CXMIN: return 112;
        case SM_CYMIN: return 27;
        case SM_CXMINTRACK: return 112;
        case SM_CYMINTRACK: return 27;
        case SM_SWAPBUTTON: return 0;
        case SM_MOUSEWHEELPRESENT: return 1;
        case SM_CMOUSEBUTTONS: return 3;
        case SM_CMONITORS: return 1;
        default: return 0;
    }
}

BOOL WINAPI SystemParametersInfoA(UINT uiAction, UINT, PVOID pvParam, UINT) {
    if (!pvParam) return FALSE;
    switch (uiAction) {
        case SPI_GETWORKAREA:
            *static_cast<RECT*>(pvParam) = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
            return TRUE;
        case SPI_GETWHEELSCROLLLINES: *static_cast<UINT*>(pvParam) = 3; return TRUE;
        default: return FALSE;
    }
}

BOOL WINAPI SetRect(LPRECT lprc, int xLeft, int yTop, int xRight, int yBottom) {
    if (!lprc) return FALSE;
    *lprc = {xLeft, yTop, xRight, yBottom};
    return TRUE;
}

BOOL WINAPI SetRectEmpty(LPRECT lprc) { return SetRect(lprc, 0, 0, 0, 0); }

BOOL WINAPI CopyRect(LPRECT lprcDst, const RECT* lprcSrc) {
    if (!lprcDst || !lprcSrc) return FALSE;
    *lprcDst = *lprcSrc;
    return TRUE;
}

BOOL WINAPI InflateRect(LPRECT lprc, int dx, int dy) {
    if (!lprc) return FALSE;
    *lprc = {lprc->left - dx, lprc->top - dy, lprc->right + dx, lprc->bottom + dy};
    return TRUE;
}

BOOL WINAPI OffsetRect(LPRECT lprc, int dx, int dy) {
    if (!lprc) return FALSE;
    *lprc = {lprc->left + dx, lprc->top + dy, lprc->right + dx, lprc->bottom + dy};
    return TRUE;
}

BOOL WINAPI IsRectEmpty(const RECT* lprc) { return !lprc || lprc->right <= lprc->left || lprc->bottom <= lprc->top; }

BOOL WINAPI IntersectRect(LPRECT lprcDst, const RECT* lprcSrc1, const RECT* lprcSrc2) {
    if (!lprcDst || !lprcSrc1 || !lprcSrc2) return FALSE;
    RECT r{std::max(lprcSrc1->left, lprcSrc2->left), std::max(lprcSrc1->top, lprcSrc2->top),
           std::min(lprcSrc1->right, lprcSrc2->right), std::min(lprcSrc1->bottom, lprcSrc2->bottom)};
    if (IsRectEmpty(&r)) r = {0, 0, 0, 0};
    *lprcDst = r;
    return !IsRectEmpty(&r);
}

BOOL WINAPI UnionRect(LPRECT lprcDst, const RECT* lprcSrc1, const RECT* lprcSrc2) {
    if (!lprcDst || !lprcSrc1 || !lprcSrc2) return FALSE;
    if (IsRectEmpty(lprcSrc1)) *lprcDst = IsRectEmpty(lprcSrc2) ? RECT{0, 0, 0, 0} : *lprcSrc2;
    else if (IsRectEmpty(lprcSrc2)) *lprcDst = *lprcSrc1;
    else
        *lprcDst = {std::min(lprcSrc1->left, lprcSrc2->left), std::min(lprcSrc1->top, lprcSrc2->top),
                    std::max(lprcSrc1->right, lprcSrc2->right), std::max(lprcSrc1->bottom, lprcSrc2->bottom)};
    return !IsRectEmpty(lprcDst);
}

// What is left of the first rectangle without the second, when that is still a rectangle.
BOOL WINAPI SubtractRect(LPRECT lprcDst, const RECT* lprcSrc1, const RECT* lprcSrc2) {
    if (!lprcDst || !lprcSrc1 || !lprcSrc2) return FALSE;
    RECT r = *lprcSrc1;
    RECT overlap;
    if (IntersectRect(&overlap, lprcSrc1, lprcSrc2)) {
        bool fullWidth = overlap.left == r.left && overlap.right == r.right;
        bool fullHeight = overlap.top == r.top && overlap.bottom == r.bottom;
        if (fullWidth && overlap.top == r.top) r.top = overlap.bottom;
        else if (fullWidth && overlap.bottom == r.bottom) r.bottom = overlap.top;
        else if (fullHeight && overlap.left == r.left) r.left = overlap.right;
        else if (fullHeight && overlap.right == r.right) r.right = overlap.left;
    }
    *lprcDst = r;
    return !IsRectEmpty(&r);
}

BOOL WINAPI EqualRect(const RECT* lprc1, const RECT* lprc2) {
    return lprc1 && lprc2 && lprc1->left == lprc2->left && lprc1->top == lprc2->top &&
           lprc1->right == lprc2->right && lprc1->bottom == lprc2->bottom;
}

BOOL WINAPI PtInRect(const RECT* lprc, POINT pt) {
    return lprc && pt.x >= lprc->left && pt.x < lprc->right && pt.y >= lprc->top && pt.y < lprc->bottom;
}
