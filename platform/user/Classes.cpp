// Window classes: registration, lookup, and the class values of a window.

#include <cstring>

#include <utility>

#include "platform/user/Classes.h"
#include "platform/user/WindowSystem.h"

using namespace platform::user;

namespace {

ATOM nextAtom = 0xC000;  // the range Windows gives registered classes

void (*&SystemClasses())() {
    static void (*registerAll)() = nullptr;
    return registerAll;
}

// A class name may be a text or an atom in the low word of the pointer.
std::shared_ptr<WindowClass> Lookup(LPCSTR name) {
    WindowSystem& system = WindowSystem::Get();
    // Taken before it runs: registering a class looks classes up too.
    if (auto registerAll = std::exchange(SystemClasses(), nullptr)) registerAll();
    if (!name) return nullptr;
    if (IS_INTRESOURCE(name)) {
        auto atom = static_cast<ATOM>(reinterpret_cast<uintptr_t>(name));
        for (auto& [key, cls] : system.Classes())
            if (cls->atom == atom) return cls;
        return nullptr;
    }
    return system.FindClass(name);
}

}  // namespace

namespace platform::user {

void ProvideSystemClasses(void (*registerAll)()) { SystemClasses() = registerAll; }

std::shared_ptr<WindowClass> ClassByName(LPCSTR name) { return Lookup(name); }

}  // namespace platform::user

ATOM WINAPI RegisterClassA(const WNDCLASSA* lpWndClass) {
    if (!lpWndClass || !lpWndClass->lpszClassName || IS_INTRESOURCE(lpWndClass->lpszClassName) ||
        !lpWndClass->lpfnWndProc || lpWndClass->cbWndExtra < 0 || lpWndClass->cbClsExtra < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    WindowSystem& system = WindowSystem::Get();
    if (system.FindClass(lpWndClass->lpszClassName)) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    auto cls = std::make_shared<WindowClass>();
    cls->name = lpWndClass->lpszClassName;
    cls->info = *lpWndClass;
    cls->info.lpszClassName = nullptr;
    cls->info.lpszMenuName = nullptr;
    cls->atom = nextAtom++;
    std::string key = cls->name;
    for (char& c : key) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    system.Classes()[key] = cls;
    return cls->atom;
}

BOOL WINAPI UnregisterClassA(LPCSTR lpClassName, HINSTANCE) {
    auto cls = Lookup(lpClassName);
    if (!cls) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    if (cls->windows > 0) {
        SetLastError(ERROR_CLASS_HAS_WINDOWS);
        return FALSE;
    }
    auto& classes = WindowSystem::Get().Classes();
    for (auto it = classes.begin(); it != classes.end(); ++it)
        if (it->second == cls) {
            classes.erase(it);
            break;
        }
    return TRUE;
}

BOOL WINAPI GetClassInfoA(HINSTANCE, LPCSTR lpClassName, LPWNDCLASSA lpWndClass) {
    auto cls = Lookup(lpClassName);
    if (!cls || !lpWndClass) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    *lpWndClass = cls->info;
    lpWndClass->lpszClassName = lpClassName;
    return TRUE;
}

int WINAPI GetClassNameA(HWND hWnd, LPSTR lpClassName, int nMaxCount) {
    Window* window = WindowSystem::Get().FindOrFail(hWnd);
    if (!window || !lpClassName || nMaxCount <= 0) return 0;
    size_t length = std::min(window->cls->name.size(), static_cast<size_t>(nMaxCount - 1));
    std::memcpy(lpClassName, window->cls->name.data(), length);
    lpClassName[length] = '\0';
    return static_cast<int>(length);
}

UINT WINAPI RealGetWindowClassA(HWND hwnd, LPSTR ptszClassName, UINT cchClassNameMax) {
    WindowSystem& system = WindowSystem::Get();
    Window* window = system.FindOrFail(hwnd);
    if (!window || !ptszClassName || cchClassNameMax == 0) return 0;
    std::string name = window->cls->name;
    for (const char* builtIn : {"BUTTON", "COMBOBOX", "EDIT", "LISTBOX", "STATIC", "msctls_trackbar32"}) {
        const std::shared_ptr<WindowClass> base = ClassByName(builtIn);
        if (base && base->info.lpfnWndProc == window->cls->info.lpfnWndProc) {
            name = builtIn;
            break;
        }
    }
    const size_t length = std::min(name.size(), static_cast<size_t>(cchClassNameMax - 1));
    std::memcpy(ptszClassName, name.data(), length);
    ptszClassName[length] = '\0';
    return static_cast<UINT>(length);
}

ULONG_PTR WINAPI GetClassLongPtrA(HWND hWnd, int nIndex) {
    Window* window = WindowSystem::Get().FindOrFail(hWnd);
    if (!window) return 0;
    const WNDCLASSA& info = window->cls->info;
    switch (nIndex) {
        case GCLP_HBRBACKGROUND: return reinterpret_cast<ULONG_PTR>(info.hbrBackground);
        case GCLP_HCURSOR: return reinterpret_cast<ULONG_PTR>(info.hCursor);
        case GCLP_HICON: return reinterpret_cast<ULONG_PTR>(info.hIcon);
        case GCLP_HMODULE: return reinterpret_cast<ULONG_PTR>(info.hInstance);
        case GCL_CBWNDEXTRA: return static_cast<ULONG_PTR>(info.cbWndExtra);
        case GCL_CBCLSEXTRA: return static_cast<ULONG_PTR>(info.cbClsExtra);
        case GCLP_WNDPROC: return reinterpret_cast<ULONG_PTR>(info.lpfnWndProc);
        case GCL_STYLE: return info.style;
        default: SetLastError(ERROR_INVALID_INDEX); return 0;
    }
}

ULONG_PTR WINAPI SetClassLongPtrA(HWND hWnd, int nIndex, LONG_PTR dwNewLong) {
    Window* window = WindowSystem::Get().FindOrFail(hWnd);
    if (!window) return 0;
    ULONG_PTR old = GetClassLongPtrA(hWnd, nIndex);
    WNDCLASSA& info = window->cls->info;
    switch (nIndex) {
        case GCLP_HBRBACKGROUND: info.hbrBackground = reinterpret_cast<HBRUSH>(dwNewLong); break;
        case GCLP_HCURSOR: info.hCursor = reinterpret_cast<HCURSOR>(dwNewLong); break;
        case GCLP_HICON: info.hIcon = reinterpret_cast<HICON>(dwNewLong); break;
        case GCLP_WNDPROC: info.lpfnWndProc = reinterpret_cast<WNDPROC>(dwNewLong); break;
        case GCL_STYLE: info.style = static_cast<UINT>(dwNewLong); break;
        default: SetLastError(ERROR_INVALID_INDEX); return 0;
    }
    return old;
}
