// The message box: a modal window with an icon, a text and a row of buttons. Its loop dispatches every message
// of the program, so other windows' timers keep ticking while it waits.

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "platform/user/WindowSystem.h"
#include "platform/win32.h"

namespace {

constexpr int kMargin = 12;
constexpr int kIconSize = 32;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kButtonGap = 6;
constexpr int kMaximumTextWidth = 420;
constexpr char kClassName[] = "#32770";

struct Button {
    int result;
    const char* label;
    RECT rect{};
};

struct Box {
    std::string text;
    UINT type = 0;
    std::vector<Button> buttons;
    size_t focused = 0;
    int pressed = -1;     // the button held down with the mouse, or -1
    bool pressedIn = false;
    int result = 0;
    HFONT font = nullptr;
    RECT textRect{};
};

std::vector<Button> ButtonsFor(UINT type) {
    switch (type & MB_TYPEMASK) {
        case MB_OKCANCEL: return {{IDOK, "OK"}, {IDCANCEL, "キャンセル"}};
        case MB_ABORTRETRYIGNORE: return {{IDABORT, "中止(&A)"}, {IDRETRY, "再試行(&R)"}, {IDIGNORE, "無視(&I)"}};
        case MB_YESNOCANCEL: return {{IDYES, "はい(&Y)"}, {IDNO, "いいえ(&N)"}, {IDCANCEL, "キャンセル"}};
        case MB_YESNO: return {{IDYES, "はい(&Y)"}, {IDNO, "いいえ(&N)"}};
        case MB_RETRYCANCEL: return {{IDRETRY, "再試行(&R)"}, {IDCANCEL, "キャンセル"}};
        default: return {{IDOK, "OK"}};
    }
}

// Escape and the close box answer Cancel where the box has it, and OK in a box with only OK; otherwise nothing.
int EscapeResult(const Box& box) {
    for (const Button& button : box.buttons)
        if (button.result == IDCANCEL) return IDCANCEL;
    return box.buttons.size() == 1 ? IDOK : 0;
}

void DrawIcon(HDC dc, UINT type, int x, int y) {
    UINT icon = type & MB_ICONMASK;
    if (!icon) return;
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    COLORREF fill = icon == MB_ICONHAND ? RGB(255, 0, 0) : icon == MB_ICONEXCLAMATION ? RGB(255, 255, 0)
                                                                                       : RGB(0, 0, 255);
    HBRUSH brush = CreateSolidBrush(fill);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    const char* mark = icon == MB_ICONHAND ? "X" : icon == MB_ICONEXCLAMATION ? "!" : icon == MB_ICONQUESTION ? "?" : "i";
    if (icon == MB_ICONEXCLAMATION) {
        POINT triangle[] = {{x + kIconSize / 2, y + 1}, {x + kIconSize - 1, y + kIconSize - 2}, {x, y + kIconSize - 2}};
        Polygon(dc, triangle, 3);
    } else {
        Ellipse(dc, x, y, x + kIconSize, y + kIconSize);
    }
    HFONT markFont = CreateFontA(-20, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
    HGDIOBJ oldFont = SelectObject(dc, markFont);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, icon == MB_ICONEXCLAMATION ? RGB(0, 0, 0) : RGB(255, 255, 255));
    RECT area{x, y + (icon == MB_ICONEXCLAMATION ? 6 : 0), x + kIconSize, y + kIconSize};
    DrawTextA(dc, mark, -1, &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(markFont);
    DeleteObject(brush);
    DeleteObject(pen);
}

void Paint(HWND window, Box& box) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    DrawIcon(dc, box.type, kMargin, kMargin);
    HGDIOBJ oldFont = SelectObject(dc, box.font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    RECT textRect = box.textRect;
    DrawTextA(dc, box.text.c_str(), -1, &textRect, DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
    for (size_t i = 0; i < box.buttons.size(); ++i) {
        const Button& button = box.buttons[i];
        RECT face = button.rect;
        bool down = box.pressed == static_cast<int>(i) && box.pressedIn;
        if (i == box.focused) {
            FrameRect(dc, &face, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));  // the default button's ring
            InflateRect(&face, -1, -1);
        }
        DrawFrameControl(dc, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (down ? DFCS_PUSHED : 0));
        RECT label = face;
        if (down) OffsetRect(&label, 1, 1);
        DrawTextA(dc, button.label, -1, &label, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        if (i == box.focused) {
            InflateRect(&face, -3, -3);
            DrawFocusRect(dc, &face);
        }
    }
    SelectObject(dc, oldFont);
    EndPaint(window, &paint);
}

int ButtonAt(const Box& box, LPARAM lParam) {
    POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    for (size_t i = 0; i < box.buttons.size(); ++i)
        if (PtInRect(&box.buttons[i].rect, point)) return static_cast<int>(i);
    return -1;
}

// A reader hears which button has the keyboard. The box is read as its text and then its buttons, numbered from 1 as
// Windows numbers the parts of a window.
void TellFocusedButton(HWND window, const Box& box) {
    if (GetFocus() == window)
        NotifyWinEvent(EVENT_OBJECT_FOCUS, window, OBJID_CLIENT, static_cast<LONG>(box.focused) + 2);
}

LRESULT CALLBACK BoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* box = reinterpret_cast<Box*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!box) return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
        case WM_PAINT: Paint(window, *box); return 0;
        case WM_ERASEBKGND: return 1;
        case WM_KEYDOWN:
            if (wParam == VK_RETURN || wParam == VK_SPACE) box->result = box->buttons[box->focused].result;
            else if (wParam == VK_ESCAPE) box->result = EscapeResult(*box);
            else if (wParam == VK_TAB || wParam == VK_RIGHT || wParam == VK_DOWN || wParam == VK_LEFT || wParam == VK_UP) {
                bool back = wParam == VK_LEFT || wParam == VK_UP || (wParam == VK_TAB && GetKeyState(VK_SHIFT) < 0);
                size_t count = box->buttons.size();
                box->focused = (box->focused + (back ? count - 1 : 1)) % count;
                InvalidateRect(window, nullptr, FALSE);
                if (count > 1) TellFocusedButton(window, *box);
            }
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            box->pressed = ButtonAt(*box, lParam);
            if (box->pressed >= 0) {
                const bool moved = box->focused != static_cast<size_t>(box->pressed);
                box->focused = static_cast<size_t>(box->pressed);
                if (moved) TellFocusedButton(window, *box);
                box->pressedIn = true;
                SetCapture(window);
                InvalidateRect(window, nullptr, FALSE);
            }
            return 0;
        case WM_MOUSEMOVE:
            if (box->pressed >= 0) {
                bool in = ButtonAt(*box, lParam) == box->pressed;
                if (in != box->pressedIn) {
                    box->pressedIn = in;
                    InvalidateRect(window, nullptr, FALSE);
                }
            }
            return 0;
        case WM_LBUTTONUP:
            if (box->pressed >= 0) {
                if (ButtonAt(*box, lParam) == box->pressed) box->result = box->buttons[static_cast<size_t>(box->pressed)].result;
                box->pressed = -1;
                ReleaseCapture();
                InvalidateRect(window, nullptr, FALSE);
            }
            return 0;
        case WM_COMMAND:
            // A button pressed from outside, as a screen reader presses one, tells its box as a dialog's would.
            for (const Button& button : box->buttons)
                if (button.result == LOWORD(wParam)) box->result = button.result;
            return 0;
        case WM_CLOSE: box->result = EscapeResult(*box); return 0;
        default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

void Layout(HWND window, Box& box) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, box.font);
    RECT text{0, 0, kMaximumTextWidth, 0};
    DrawTextA(dc, box.text.c_str(), -1, &text, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);

    int left = kMargin + ((box.type & MB_ICONMASK) ? kIconSize + kMargin : 0);
    int textHeight = std::max<int>(text.bottom, (box.type & MB_ICONMASK) ? kIconSize : 0);
    int buttonsWidth = static_cast<int>(box.buttons.size()) * (kButtonWidth + kButtonGap) - kButtonGap;
    int width = std::max(left + static_cast<int>(text.right) + kMargin, buttonsWidth + 2 * kMargin);
    int height = kMargin + textHeight + kMargin + kButtonHeight + kMargin;
    int textTop = kMargin + (textHeight - text.bottom) / 2;
    box.textRect = {left, textTop, left + text.right, textTop + text.bottom};
    int x = (width - buttonsWidth) / 2;
    for (Button& button : box.buttons) {
        button.rect = {x, height - kMargin - kButtonHeight, x + kButtonWidth, height - kMargin};
        x += kButtonWidth + kButtonGap;
    }
    RECT frame{0, 0, width, height};
    DWORD style = GetWindowLongA(window, GWL_STYLE);
    AdjustWindowRectEx(&frame, style, FALSE, GetWindowLongA(window, GWL_EXSTYLE));
    int frameWidth = frame.right - frame.left;
    int frameHeight = frame.bottom - frame.top;
    SetWindowPos(window, nullptr, (GetSystemMetrics(SM_CXSCREEN) - frameWidth) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - frameHeight) / 2, frameWidth, frameHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

bool RegisterBoxClass() {
    WNDCLASSA existing;
    if (GetClassInfoA(nullptr, kClassName, &existing)) return true;
    WNDCLASSA cls{};
    cls.lpfnWndProc = BoxProc;
    cls.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    cls.lpszClassName = kClassName;
    return RegisterClassA(&cls) != 0;
}

BOOL CALLBACK DisableEnabled(HWND window, LPARAM lParam) {
    auto* disabled = reinterpret_cast<std::vector<HWND>*>(lParam);
    if (IsWindowVisible(window) && IsWindowEnabled(window)) {
        EnableWindow(window, FALSE);
        disabled->push_back(window);
    }
    return TRUE;
}

}  // namespace

int WINAPI MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
    if (!RegisterBoxClass()) return 0;
    HWND owner = hWnd ? GetAncestor(hWnd, GA_ROOT) : nullptr;
    Box box;
    box.text = lpText ? lpText : "";
    box.type = uType;
    box.buttons = ButtonsFor(uType);
    box.focused = std::min<size_t>((uType & MB_DEFMASK) >> 8, box.buttons.size() - 1);
    box.font = CreateFontA(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, 0, 0, 0, 0, "ＭＳ Ｐゴシック");

    // The owner (or, for a task-modal box, every window of the program) takes no input while the box is up.
    std::vector<HWND> disabled;
    if ((uType & MB_TASKMODAL) && !owner) EnumThreadWindows(GetCurrentThreadId(), DisableEnabled, reinterpret_cast<LPARAM>(&disabled));
    else if (owner && IsWindowEnabled(owner)) {
        EnableWindow(owner, FALSE);
        disabled.push_back(owner);
    }
    HWND previousActive = GetActiveWindow();
    bool closable = EscapeResult(box) != 0;
    HWND window = CreateWindowExA(WS_EX_DLGMODALFRAME | WS_EX_TOPMOST, kClassName, lpCaption ? lpCaption : "エラー",
                                  WS_POPUP | WS_CAPTION | (closable ? WS_SYSMENU : 0), 0, 0, 100, 100, owner, nullptr,
                                  nullptr, nullptr);
    int result = 0;
    if (window) {
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&box));
        Layout(window, box);
        ShowWindow(window, SW_SHOW);
        SetFocus(window);
        MSG message;
        while (!box.result && IsWindow(window)) {
            if (!GetMessageA(&message, nullptr, 0, 0)) {
                // The program is asked to end: the box ends too, and the request goes on to the outer loop.
                PostQuitMessage(static_cast<int>(message.wParam));
                box.result = EscapeResult(box) ? EscapeResult(box) : box.buttons.front().result;
                break;
            }
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        result = box.result;
        for (HWND w : disabled) EnableWindow(w, TRUE);
        disabled.clear();
        if (IsWindow(window)) {
            SetWindowLongPtrA(window, GWLP_USERDATA, 0);
            DestroyWindow(window);
        }
    }
    for (HWND w : disabled) EnableWindow(w, TRUE);
    if (previousActive && IsWindow(previousActive)) SetActiveWindow(previousActive);
    DeleteObject(box.font);
    return result;
}

BOOL WINAPI MessageBeep(UINT) { return TRUE; }

namespace platform::user {

namespace {

const Box* BoxOf(HWND window) {
    char name[16] = {};
    if (!IsWindow(window) || !GetClassNameA(window, name, sizeof name) || std::string_view(name) != kClassName)
        return nullptr;
    return reinterpret_cast<const Box*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

}  // namespace

std::optional<std::string> MessageBoxText(HWND window) {
    const Box* box = BoxOf(window);
    if (!box) return std::nullopt;
    return box->text;
}

std::optional<MessageBoxContent> MessageBoxContentOf(HWND window) {
    const Box* box = BoxOf(window);
    if (!box) return std::nullopt;
    MessageBoxContent content{box->text, box->textRect, {}};
    for (size_t i = 0; i < box->buttons.size(); ++i) {
        const Button& button = box->buttons[i];
        content.buttons.push_back({button.result, button.label, button.rect, i == box->focused});
    }
    return content;
}

}  // namespace platform::user
