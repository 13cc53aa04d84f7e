// The caret: one per program, owned by a window, drawn by inverting its rectangle and blinking on a timer of the
// window system's own. Painting a window hides the caret first and shows it again after, so it is never painted
// over and never left behind.

#include "platform/user/WindowSystem.h"

using namespace platform::user;

namespace {

struct Caret {
    HWND owner = nullptr;
    POINT position{};
    SIZE size{};
    int hidden = 1;       // ShowCaret and HideCaret count; a new caret starts hidden, as on Windows
    bool drawn = false;   // inverted on the screen right now
    UINT_PTR timer = 0;
};

Caret caret;
UINT blinkTime = 530;

void Invert() {
    HDC dc = GetDC(caret.owner);
    if (!dc) return;
    PatBlt(dc, caret.position.x, caret.position.y, caret.size.cx, caret.size.cy, DSTINVERT);
    ReleaseDC(caret.owner, dc);
    caret.drawn = !caret.drawn;
}

void Erase() {
    if (caret.drawn) Invert();
}

void CALLBACK Blink(HWND, UINT, UINT_PTR, DWORD) {
    if (caret.owner && caret.hidden == 0) Invert();
}

// Starts the blink over with the caret on, as Windows does after every move, so that typing shows it at once.
void Restart() {
    if (!caret.owner) return;
    if (caret.hidden == 0 && !caret.drawn) Invert();
    caret.timer = SetTimer(nullptr, caret.timer, blinkTime, Blink);
}

// The input method's candidate window goes to the caret.
void PlaceTextInput() {
    WindowSystem& system = WindowSystem::Get();
    if (!system.HasDisplay() || !caret.owner) return;
    POINT origin = caret.position;
    ClientToScreen(caret.owner, &origin);
    system.Display().StartTextInput({origin.x, origin.y, origin.x + caret.size.cx, origin.y + caret.size.cy});
}

}  // namespace

namespace platform::user {

void HideCaretForPainting(HWND handle) {
    if (caret.owner == handle) Erase();
}

void ShowCaretAfterPainting(HWND handle) {
    if (caret.owner == handle && caret.hidden == 0 && !caret.drawn) Invert();
}

void ForgetCaret(HWND handle) {
    if (caret.owner == handle) DestroyCaret();
}

}  // namespace platform::user

BOOL WINAPI CreateCaret(HWND hWnd, HBITMAP hBitmap, int nWidth, int nHeight) {
    if (!WindowSystem::Get().FindOrFail(hWnd)) return FALSE;
    DestroyCaret();
    caret.owner = hWnd;
    caret.position = {0, 0};
    // A bitmap's own size wins; a width of 0 is the system's border width, as on Windows.
    BITMAP info{};
    if (hBitmap && reinterpret_cast<uintptr_t>(hBitmap) > 1 && GetObjectA(hBitmap, sizeof info, &info)) {
        nWidth = info.bmWidth;
        nHeight = info.bmHeight;
    }
    caret.size = {nWidth > 0 ? nWidth : GetSystemMetrics(SM_CXBORDER), nHeight > 0 ? nHeight : GetSystemMetrics(SM_CYBORDER)};
    caret.hidden = 1;
    caret.drawn = false;
    return TRUE;
}

BOOL WINAPI DestroyCaret() {
    if (!caret.owner) return FALSE;
    Erase();
    if (caret.timer) KillTimer(nullptr, caret.timer);
    caret = Caret{};
    return TRUE;
}

BOOL WINAPI ShowCaret(HWND hWnd) {
    if (!caret.owner || (hWnd && hWnd != caret.owner) || caret.hidden == 0) return FALSE;
    if (--caret.hidden == 0) {
        Restart();
        PlaceTextInput();
    }
    return TRUE;
}

BOOL WINAPI HideCaret(HWND hWnd) {
    if (!caret.owner || (hWnd && hWnd != caret.owner)) return FALSE;
    if (caret.hidden++ == 0) Erase();
    return TRUE;
}

BOOL WINAPI SetCaretPos(int X, int Y) {
    if (!caret.owner) return FALSE;
    if (caret.position.x != X || caret.position.y != Y) {
        Erase();
        caret.position = {X, Y};
        Restart();
        PlaceTextInput();
    }
    // A reader follows the caret by this to say where in the text the user now is; told even when it stays put, as
    // the text may have scrolled under it.
    NotifyWinEvent(EVENT_OBJECT_LOCATIONCHANGE, caret.owner, OBJID_CARET, CHILDID_SELF);
    return TRUE;
}

BOOL WINAPI GetCaretPos(LPPOINT lpPoint) {
    if (!lpPoint) return FALSE;
    *lpPoint = caret.position;
    return TRUE;
}

BOOL WINAPI SetCaretBlinkTime(UINT uMSeconds) {
    blinkTime = uMSeconds;
    if (caret.owner && caret.timer) caret.timer = SetTimer(nullptr, caret.timer, blinkTime, Blink);
    return TRUE;
}

UINT WINAPI GetCaretBlinkTime() { return blinkTime; }
