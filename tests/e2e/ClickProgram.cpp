// A small program for the end-to-end test: one real window that paints itself white and marks every left click
// with a red square, reporting on its standard output what it received and when what it painted is on the screen,
// so the test can compare what it did with what reached the screen.

#include <cstdio>

#include "platform/win32.h"
#include "tests/e2e/Handshake.h"

namespace {

POINT lastClick{-100, -100};
bool shownPending = false;
constexpr UINT_PTR kLifeTimer = 2;

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window, &paint);
            RECT client;
            GetClientRect(window, &client);
            FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
            HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
            RECT mark{lastClick.x - 10, lastClick.y - 10, lastClick.x + 10, lastClick.y + 10};
            FillRect(dc, &mark, red);
            DeleteObject(red);
            EndPaint(window, &paint);
            if (!shownPending) {
                shownPending = true;
                e2e::WhenIdle([] {
                    shownPending = false;
                    e2e::Say("shown");
                });
            }
            return 0;
        }
        case WM_LBUTTONDOWN:
            lastClick = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            std::printf("click %ld %ld\n", static_cast<long>(lastClick.x), static_cast<long>(lastClick.y));
            std::fflush(stdout);
            InvalidateRect(window, nullptr, TRUE);
            return 0;
        case WM_TIMER:
            if (wParam == kLifeTimer) DestroyWindow(window);
            return 0;
        case WM_DESTROY: PostQuitMessage(0); return 0;
        default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

int main() {
    WNDCLASSA cls{};
    cls.lpfnWndProc = Procedure;
    cls.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    cls.lpszClassName = "KorvoEndToEnd";
    RegisterClassA(&cls);
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    RECT frame{0, 0, 200, 150};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    HWND window = CreateWindowExA(0, "KorvoEndToEnd", "Korvo e2e", style, 100 + frame.left, 100 + frame.top,
                                  frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, nullptr,
                                  nullptr);
    if (!window) return 1;
    ShowWindow(window, SW_SHOW);
    SetTimer(window, kLifeTimer, 600000, nullptr);  // never outlive a test that went wrong by much
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
