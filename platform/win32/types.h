#pragma once
// Windows' basic types, with their Windows sizes (LONG and DWORD are 32 bits; handles and LPARAM are
// pointer-sized, as on 64-bit Windows).

#include <cstddef>
#include <cstdint>

#define WINAPI
#define CALLBACK

using BOOL = int;
using BYTE = uint8_t;
using WORD = uint16_t;
using DWORD = uint32_t;
using UINT = unsigned int;
using INT = int;
using LONG = int32_t;
using ULONG = uint32_t;
using CHAR = char;
using LCID = DWORD;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using DWORD_PTR = uintptr_t;
using ULONG_PTR = uintptr_t;
using SHORT = int16_t;
using USHORT = uint16_t;
using PVOID = void*;
using LPINT = int*;
using SIZE_T = size_t;
using LONG_PTR = intptr_t;
using UINT_PTR = uintptr_t;

using LPSTR = char*;
using LPCSTR = const char*;
using LPVOID = void*;
using LPCVOID = const void*;
using LPDWORD = DWORD*;
using PDWORD = DWORD*;

using HANDLE = void*;
// Each kind of handle is its own pointer type, so that a brush cannot be passed where a window is expected.
#define KORVO_DECLARE_HANDLE(name) \
    struct name##__;               \
    using name = name##__*
KORVO_DECLARE_HANDLE(HINSTANCE);
KORVO_DECLARE_HANDLE(HWND);
KORVO_DECLARE_HANDLE(HDC);
KORVO_DECLARE_HANDLE(HBITMAP);
KORVO_DECLARE_HANDLE(HBRUSH);
KORVO_DECLARE_HANDLE(HPEN);
KORVO_DECLARE_HANDLE(HFONT);
KORVO_DECLARE_HANDLE(HRGN);
KORVO_DECLARE_HANDLE(HICON);
KORVO_DECLARE_HANDLE(HMENU);
KORVO_DECLARE_HANDLE(HPALETTE);
KORVO_DECLARE_HANDLE(HRSRC);
#undef KORVO_DECLARE_HANDLE
using HMODULE = HINSTANCE;
using HCURSOR = HICON;
using HGDIOBJ = void*;
using HGLOBAL = void*;
using ATOM = WORD;
using COLORREF = DWORD;  // 0x00BBGGRR

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1)))
#define MAX_PATH 260

#define LOWORD(l) (static_cast<WORD>(static_cast<DWORD_PTR>(l) & 0xffff))
#define HIWORD(l) (static_cast<WORD>((static_cast<DWORD_PTR>(l) >> 16) & 0xffff))
#define LOBYTE(w) (static_cast<BYTE>(static_cast<DWORD_PTR>(w) & 0xff))
#define MAKELONG(a, b) (static_cast<LONG>((static_cast<WORD>(a)) | (static_cast<DWORD>(static_cast<WORD>(b)) << 16)))

#define RGB(r, g, b) \
    (static_cast<COLORREF>(static_cast<BYTE>(r) | (static_cast<WORD>(static_cast<BYTE>(g)) << 8) | \
                           (static_cast<DWORD>(static_cast<BYTE>(b)) << 16)))
#define GetRValue(rgb) (LOBYTE(rgb))
#define GetGValue(rgb) (LOBYTE(static_cast<WORD>(rgb) >> 8))
#define GetBValue(rgb) (LOBYTE((rgb) >> 16))
#define MAKEWPARAM(l, h) (static_cast<WPARAM>(static_cast<DWORD>(MAKELONG(l, h))))
#define MAKELPARAM(l, h) (static_cast<LPARAM>(static_cast<DWORD>(MAKELONG(l, h))))
#define MAKELRESULT(l, h) (static_cast<LRESULT>(static_cast<DWORD>(MAKELONG(l, h))))
// Mouse positions in lParam are signed 16-bit values.
#define GET_X_LPARAM(lp) (static_cast<int>(static_cast<short>(LOWORD(lp))))
#define GET_Y_LPARAM(lp) (static_cast<int>(static_cast<short>(HIWORD(lp))))

struct POINT {
    LONG x;
    LONG y;
};
using LPPOINT = POINT*;

struct SIZE {
    LONG cx;
    LONG cy;
};
using LPSIZE = SIZE*;

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};
using LPRECT = RECT*;
using LPCRECT = const RECT*;

struct FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
};

struct SYSTEMTIME {
    WORD wYear;
    WORD wMonth;
    WORD wDayOfWeek;
    WORD wDay;
    WORD wHour;
    WORD wMinute;
    WORD wSecond;
    WORD wMilliseconds;
};
