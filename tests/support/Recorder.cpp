#include "tests/support/Recorder.h"

#include <algorithm>

namespace {
Recorder* current = nullptr;
}

Recorder::Recorder() {
    current = this;
    WNDCLASSA cls{};
    cls.style = CS_DBLCLKS;
    cls.lpfnWndProc = Procedure;
    cls.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_BTNFACE + 1));
    cls.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    cls.lpszClassName = kClassName;
    WNDCLASSA existing;
    if (!GetClassInfoA(nullptr, kClassName, &existing)) RegisterClassA(&cls);
}

Recorder::~Recorder() { current = nullptr; }

HWND Recorder::TopLevel(const char* title, int x, int y, int width, int height, DWORD style, HWND owner) {
    return CreateWindowExA(0, kClassName, title, style, x, y, width, height, owner, nullptr, nullptr, nullptr);
}

HWND Recorder::Child(HWND parent, int x, int y, int width, int height, DWORD style, DWORD exStyle) {
    return CreateWindowExA(exStyle, kClassName, "", style, x, y, width, height, parent, nullptr, nullptr, nullptr);
}

LRESULT CALLBACK Recorder::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!current) return DefWindowProcA(window, message, wParam, lParam);
    current->log_.push_back({window, message, wParam, lParam});
    auto handler = current->handlers_.find(window);
    LRESULT result = 0;
    if (handler != current->handlers_.end() && handler->second(window, message, wParam, lParam, result)) return result;
    return DefWindowProcA(window, message, wParam, lParam);
}

std::vector<std::string> Recorder::Sequence(const std::vector<UINT>& interesting) const {
    std::vector<std::string> sequence;
    for (const Received& r : log_) {
        if (std::find(interesting.begin(), interesting.end(), r.message) == interesting.end()) continue;
        auto label = labels_.find(r.window);
        std::string name = MessageName(r.message);
        if (r.message == WM_ACTIVATE) name += LOWORD(r.wParam) == WA_INACTIVE ? "-" : "+";
        sequence.push_back(name + "(" + (label != labels_.end() ? label->second : "?") + ")");
    }
    return sequence;
}

const char* MessageName(UINT message) {
    switch (message) {
        case WM_CREATE: return "WM_CREATE";
        case WM_NCCREATE: return "WM_NCCREATE";
        case WM_DESTROY: return "WM_DESTROY";
        case WM_NCDESTROY: return "WM_NCDESTROY";
        case WM_ACTIVATE: return "WM_ACTIVATE";
        case WM_NCACTIVATE: return "WM_NCACTIVATE";
        case WM_SETFOCUS: return "WM_SETFOCUS";
        case WM_KILLFOCUS: return "WM_KILLFOCUS";
        case WM_MOUSEACTIVATE: return "WM_MOUSEACTIVATE";
        case WM_LBUTTONDOWN: return "WM_LBUTTONDOWN";
        case WM_LBUTTONUP: return "WM_LBUTTONUP";
        case WM_LBUTTONDBLCLK: return "WM_LBUTTONDBLCLK";
        case WM_PAINT: return "WM_PAINT";
        case WM_TIMER: return "WM_TIMER";
        case WM_KEYDOWN: return "WM_KEYDOWN";
        case WM_CHAR: return "WM_CHAR";
        case WM_USER: return "WM_USER";
        case WM_SETCURSOR: return "WM_SETCURSOR";
        case WM_PARENTNOTIFY: return "WM_PARENTNOTIFY";
        case WM_QUERYENDSESSION: return "WM_QUERYENDSESSION";
        case WM_ENDSESSION: return "WM_ENDSESSION";
        case WM_CLOSE: return "WM_CLOSE";
        case WM_SYSCOMMAND: return "WM_SYSCOMMAND";
        default: return "other";
    }
}
