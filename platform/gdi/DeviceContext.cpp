// Making, saving and deleting DCs, their coordinate origins and their drawing modes.

#include <utility>

#include "platform/gdi/Objects.h"
#include "platform/gdi/SurfaceDC.h"

namespace platform::gdi {

namespace {

void RetainState(const DcState& state) {
    for (HGDIOBJ handle : {state.brush, state.pen, state.font, state.bitmap}) Retain(handle);
}

void ReleaseState(const DcState& state) {
    for (HGDIOBJ handle : {state.brush, state.pen, state.font, state.bitmap}) Release(handle);
}

HDC AddDc(std::unique_ptr<DcObject> dc) {
    DcState state = dc->state;
    HGDIOBJ handle = AddObject(std::move(dc));
    if (handle) RetainState(state);
    return static_cast<HDC>(handle);
}

void DestroyDc(DcObject* dc) {
    ReleaseState(dc->state);
    for (const DcState& saved : dc->saved) ReleaseState(saved);
    dc->saved.clear();
    dc->state = DcState{};
    DestroyObject(dc->handle);
}

// Runs a change of one DC setting: the old value comes back, or `failure` for a handle that is not a DC.
template <class T, class F>
T Exchange(HDC hdc, T failure, F change) {
    DcObject* dc = FindDc(hdc);
    return dc ? change(*dc) : failure;
}

BOOL SetPoint(HDC hdc, POINT DcState::*member, int x, int y, LPPOINT old, bool offset) {
    DcObject* dc = FindDc(hdc);
    if (!dc) return FALSE;
    POINT& point = dc->state.*member;
    if (old) *old = point;
    point = offset ? POINT{point.x + x, point.y + y} : POINT{x, y};
    return TRUE;
}

BOOL GetPoint(HDC hdc, POINT DcState::*member, LPPOINT result) {
    DcObject* dc = FindDc(hdc);
    if (!dc || !result) return dc ? (SetLastError(ERROR_INVALID_PARAMETER), FALSE) : FALSE;
    *result = dc->state.*member;
    return TRUE;
}

}  // namespace

HDC CreateSurfaceDC(Surface* surface, POINT origin, const Region& clip) {
    if (!surface) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto dc = std::make_unique<DcObject>();
    dc->memory = false;
    dc->surface = surface;
    dc->origin = origin;
    dc->baseClip = clip;
    dc->state = DefaultDcState();
    return AddDc(std::move(dc));
}

RECT TakeDrawnBounds(HDC hdc) {
    DcObject* dc = FindDc(hdc);
    if (!dc) return RECT{0, 0, 0, 0};
    RECT drawn = dc->drawn;
    dc->drawn = RECT{0, 0, 0, 0};
    return drawn;
}

void DeleteSurfaceDC(HDC hdc) {
    DcObject* dc = FindDc(hdc);
    if (dc && !dc->memory) DestroyDc(dc);
}

}  // namespace platform::gdi

using namespace platform::gdi;

HDC WINAPI CreateCompatibleDC(HDC hdc) {
    if (hdc && !FindDc(hdc)) return nullptr;
    auto dc = std::make_unique<DcObject>();
    dc->state = DefaultDcState();
    dc->state.bitmap = DefaultBitmap();
    return AddDc(std::move(dc));
}

BOOL WINAPI DeleteDC(HDC hdc) {
    DcObject* dc = FindDc(hdc);
    if (!dc) return FALSE;
    if (!dc->memory) {
        SetLastError(ERROR_INVALID_HANDLE);  // a window's DC goes back through ReleaseDC or EndPaint
        return FALSE;
    }
    DestroyDc(dc);
    return TRUE;
}

int WINAPI SaveDC(HDC hdc) {
    DcObject* dc = FindDc(hdc);
    if (!dc) return 0;
    dc->saved.push_back(dc->state);
    RetainState(dc->state);
    return static_cast<int>(dc->saved.size());
}

BOOL WINAPI RestoreDC(HDC hdc, int nSavedDC) {
    DcObject* dc = FindDc(hdc);
    if (!dc) return FALSE;
    int count = static_cast<int>(dc->saved.size());
    int level = nSavedDC < 0 ? count + nSavedDC + 1 : nSavedDC;
    if (nSavedDC == 0 || level < 1 || level > count) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    ReleaseState(dc->state);
    dc->state = std::move(dc->saved[static_cast<size_t>(level - 1)]);  // its selections pass to the current state
    for (size_t i = static_cast<size_t>(level); i < dc->saved.size(); ++i) ReleaseState(dc->saved[i]);
    dc->saved.resize(static_cast<size_t>(level - 1));
    return TRUE;
}

int WINAPI GetDeviceCaps(HDC hdc, int index) {
    DcObject* dc = FindDc(hdc);
    if (!dc) return 0;
    Surface* pixels = dc->Pixels();
    int width = pixels ? pixels->width : 0;
    int height = pixels ? pixels->height : 0;
    constexpr int kDpi = 96;
    switch (index) {
        case DRIVERVERSION: return 0x4000;
        case TECHNOLOGY: return DT_RASDISPLAY;
        case HORZSIZE: return width * 254 / (kDpi * 10);
        case VERTSIZE: return height * 254 / (kDpi * 10);
        case HORZRES: return width;
        case VERTRES: return height;
        case BITSPIXEL: return 32;
        case PLANES: return 1;
        case NUMCOLORS: return -1;
        case RASTERCAPS: return RC_BITBLT | RC_DI_BITMAP | RC_DIBTODEV | RC_STRETCHBLT | RC_STRETCHDIB;
        case LOGPIXELSX:
        case LOGPIXELSY: return kDpi;
        case SIZEPALETTE: return 0;
        default: return 0;
    }
}

BOOL WINAPI SetWindowOrgEx(HDC hdc, int x, int y, LPPOINT lppt) {
    return SetPoint(hdc, &DcState::windowOrg, x, y, lppt, false);
}
BOOL WINAPI GetWindowOrgEx(HDC hdc, LPPOINT lppoint) { return GetPoint(hdc, &DcState::windowOrg, lppoint); }
BOOL WINAPI OffsetWindowOrgEx(HDC hdc, int x, int y, LPPOINT lppt) {
    return SetPoint(hdc, &DcState::windowOrg, x, y, lppt, true);
}
BOOL WINAPI SetViewportOrgEx(HDC hdc, int x, int y, LPPOINT lppt) {
    return SetPoint(hdc, &DcState::viewportOrg, x, y, lppt, false);
}
BOOL WINAPI GetViewportOrgEx(HDC hdc, LPPOINT lppoint) { return GetPoint(hdc, &DcState::viewportOrg, lppoint); }
BOOL WINAPI OffsetViewportOrgEx(HDC hdc, int x, int y, LPPOINT lppt) {
    return SetPoint(hdc, &DcState::viewportOrg, x, y, lppt, true);
}
BOOL WINAPI SetBrushOrgEx(HDC hdc, int x, int y, LPPOINT lppt) {
    return SetPoint(hdc, &DcState::brushOrg, x, y, lppt, false);
}
BOOL WINAPI GetBrushOrgEx(HDC hdc, LPPOINT lppt) { return GetPoint(hdc, &DcState::brushOrg, lppt); }

BOOL WINAPI LPtoDP(HDC hdc, LPPOINT lppt, int c) {
    DcObject* dc = FindDc(hdc);
    if (!dc) return FALSE;
    POINT offset = dc->DeviceOffset();
    for (int i = 0; lppt && i < c; ++i) lppt[i] = {lppt[i].x + offset.x, lppt[i].y + offset.y};
    return TRUE;
}

BOOL WINAPI DPtoLP(HDC hdc, LPPOINT lppt, int c) {
    DcObject* dc = FindDc(hdc);
    if (!dc) return FALSE;
    POINT offset = dc->DeviceOffset();
    for (int i = 0; lppt && i < c; ++i) lppt[i] = {lppt[i].x - offset.x, lppt[i].y - offset.y};
    return TRUE;
}

COLORREF WINAPI SetTextColor(HDC hdc, COLORREF color) {
    return Exchange(hdc, CLR_INVALID, [&](DcObject& dc) { return std::exchange(dc.state.textColor, color); });
}
COLORREF WINAPI GetTextColor(HDC hdc) {
    return Exchange(hdc, CLR_INVALID, [](DcObject& dc) { return dc.state.textColor; });
}
COLORREF WINAPI SetBkColor(HDC hdc, COLORREF color) {
    return Exchange(hdc, CLR_INVALID, [&](DcObject& dc) { return std::exchange(dc.state.bkColor, color); });
}
COLORREF WINAPI GetBkColor(HDC hdc) {
    return Exchange(hdc, CLR_INVALID, [](DcObject& dc) { return dc.state.bkColor; });
}

namespace {

// Sets an integer mode within [low, high]; anything else fails with 0, as do the Windows functions.
int SetMode(HDC hdc, int DcState::*member, int value, int low, int high) {
    return Exchange(hdc, 0, [&](DcObject& dc) {
        if (value < low || value > high) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
        return std::exchange(dc.state.*member, value);
    });
}

int GetMode(HDC hdc, int DcState::*member) {
    return Exchange(hdc, 0, [&](DcObject& dc) { return dc.state.*member; });
}

}  // namespace

int WINAPI SetBkMode(HDC hdc, int mode) { return SetMode(hdc, &DcState::bkMode, mode, TRANSPARENT, OPAQUE); }
int WINAPI GetBkMode(HDC hdc) { return GetMode(hdc, &DcState::bkMode); }
int WINAPI SetROP2(HDC hdc, int rop2) { return SetMode(hdc, &DcState::rop2, rop2, R2_BLACK, R2_WHITE); }
int WINAPI GetROP2(HDC hdc) { return GetMode(hdc, &DcState::rop2); }
int WINAPI SetStretchBltMode(HDC hdc, int mode) {
    return SetMode(hdc, &DcState::stretchMode, mode, BLACKONWHITE, HALFTONE);
}
int WINAPI GetStretchBltMode(HDC hdc) { return GetMode(hdc, &DcState::stretchMode); }
int WINAPI SetPolyFillMode(HDC hdc, int mode) { return SetMode(hdc, &DcState::polyFillMode, mode, ALTERNATE, WINDING); }
int WINAPI GetPolyFillMode(HDC hdc) { return GetMode(hdc, &DcState::polyFillMode); }

UINT WINAPI SetTextAlign(HDC hdc, UINT align) {
    return Exchange(hdc, static_cast<UINT>(GDI_ERROR),
                    [&](DcObject& dc) { return std::exchange(dc.state.textAlign, align); });
}
UINT WINAPI GetTextAlign(HDC hdc) {
    return Exchange(hdc, static_cast<UINT>(GDI_ERROR), [](DcObject& dc) { return dc.state.textAlign; });
}
