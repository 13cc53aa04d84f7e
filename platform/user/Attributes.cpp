// A window's values: its longs, extra bytes, properties and text.

#include <cstring>
#include <string_view>

#include "platform/user/WindowSystem.h"

using namespace platform::user;

LONG_PTR WINAPI GetWindowLongPtrA(HWND hWnd, int nIndex) {
    Window* window = WindowSystem::Get().FindOrFail(hWnd);
    if (!window) return 0;
    switch (nIndex) {
        case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(window->proc);
        case GWLP_HINSTANCE: return reinterpret_cast<LONG_PTR>(window->instance);
        case GWLP_HWNDPARENT: return reinterpret_cast<LONG_PTR>(window->Child() ? window->parent : window->owner);
        case GWL_STYLE: return static_cast<LONG_PTR>(static_cast<LONG>(window->style));
        case GWL_EXSTYLE: return static_cast<LONG_PTR>(static_cast<LONG>(window->exStyle));
        case GWLP_USERDATA: return window->userData;
        case GWLP_ID: return window->id;
    }
    if (nIndex < 0 || static_cast<size_t>(nIndex) + sizeof(LONG_PTR) > window->extra.size()) {
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
    LONG_PTR value = 0;
    std::memcpy(&value, window->extra.data() + nIndex, sizeof value);
    return value;
}

LONG_PTR WINAPI SetWindowLongPtrA(HWND hWnd, int nIndex, LONG_PTR dwNewLong) {
    WindowSystem& system = WindowSystem::Get();
    Window* window = system.FindOrFail(hWnd);
    if (!window) return 0;
    LONG_PTR old = GetWindowLongPtrA(hWnd, nIndex);
    switch (nIndex) {
        case GWLP_WNDPROC: window->proc = reinterpret_cast<WNDPROC>(dwNewLong); return old;
        case GWLP_HINSTANCE: window->instance = reinterpret_cast<HINSTANCE>(dwNewLong); return old;
        case GWLP_HWNDPARENT:
            if (!window->Child()) window->owner = reinterpret_cast<HWND>(dwNewLong);
            return old;
        case GWLP_USERDATA: window->userData = dwNewLong; return old;
        case GWLP_ID: window->id = dwNewLong; return old;
        case GWL_STYLE:
        case GWL_EXSTYLE: {
            // The shown and enabled states keep their own functions; a style write only changes the other bits.
            DWORD& bits = nIndex == GWL_STYLE ? window->style : window->exStyle;
            DWORD kept = nIndex == GWL_STYLE ? (bits & (WS_VISIBLE | WS_CHILD)) : 0;
            DWORD mask = nIndex == GWL_STYLE ? ~static_cast<DWORD>(WS_VISIBLE | WS_CHILD) : ~0u;
            bits = kept | (static_cast<DWORD>(dwNewLong) & mask);
            return old;
        }
    }
    if (nIndex < 0 || static_cast<size_t>(nIndex) + sizeof(LONG_PTR) > window->extra.size()) {
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
    std::memcpy(window->extra.data() + nIndex, &dwNewLong, sizeof dwNewLong);
    return old;
}

BOOL WINAPI SetPropA(HWND hWnd, LPCSTR lpString, HANDLE hData) {
    Window* window = WindowSystem::Get().FindOrFail(hWnd);
    if (!window || !lpString) return FALSE;
    window->properties[lpString] = hData;
    return TRUE;
}

HANDLE WINAPI GetPropA(HWND hWnd, LPCSTR lpString) {
    Window* window = WindowSystem::Get().Find(hWnd);
    if (!window || !lpString) return nullptr;
    auto it = window->properties.find(std::string_view(lpString));
    return it == window->properties.end() ? nullptr : it->second;
}

HANDLE WINAPI RemovePropA(HWND hWnd, LPCSTR lpString) {
    Window* window = WindowSystem::Get().Find(hWnd);
    if (!window || !lpString) return nullptr;
    auto it = window->properties.find(std::string_view(lpString));
    if (it == window->properties.end()) return nullptr;
    HANDLE data = it->second;
    window->properties.erase(it);
    return data;
}

BOOL WINAPI SetWindowTextA(HWND hWnd, LPCSTR lpString) {
    if (!WindowSystem::Get().FindOrFail(hWnd)) return FALSE;
    return SendMessageA(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpString ? lpString : "")) != 0;
}

int WINAPI GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount) {
    if (!WindowSystem::Get().FindOrFail(hWnd) || !lpString || nMaxCount <= 0) return 0;
    return static_cast<int>(SendMessageA(hWnd, WM_GETTEXT, static_cast<WPARAM>(nMaxCount),
                                         reinterpret_cast<LPARAM>(lpString)));
}

int WINAPI GetWindowTextLengthA(HWND hWnd) {
    if (!WindowSystem::Get().FindOrFail(hWnd)) return 0;
    return static_cast<int>(SendMessageA(hWnd, WM_GETTEXTLENGTH, 0, 0));
}
