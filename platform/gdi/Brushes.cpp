// Making brushes and pens.

#include <memory>

#include "platform/gdi/Objects.h"

using namespace platform::gdi;

namespace {

HBRUSH AddBrush(std::unique_ptr<BrushObject> brush) { return static_cast<HBRUSH>(AddObject(std::move(brush))); }

HBRUSH Invalid() {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
}

}  // namespace

HBRUSH WINAPI CreateSolidBrush(COLORREF color) {
    auto brush = std::make_unique<BrushObject>();
    brush->color = color & 0xFFFFFF;
    return AddBrush(std::move(brush));
}

HBRUSH WINAPI CreateHatchBrush(int iHatch, COLORREF color) {
    if (iHatch < HS_HORIZONTAL || iHatch > HS_DIAGCROSS) return Invalid();
    auto brush = std::make_unique<BrushObject>();
    brush->style = BS_HATCHED;
    brush->color = color & 0xFFFFFF;
    brush->hatch = iHatch;
    return AddBrush(std::move(brush));
}

HBRUSH WINAPI CreatePatternBrush(HBITMAP hbm) {
    auto* bitmap = Find<BitmapObject>(hbm);
    if (!bitmap) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    bitmap->LoadBits();
    auto brush = std::make_unique<BrushObject>();
    brush->style = BS_PATTERN;
    brush->pattern = bitmap->pixels;
    brush->patternMono = bitmap->mono;
    return AddBrush(std::move(brush));
}

HBRUSH WINAPI CreateBrushIndirect(const LOGBRUSH* plbrush) {
    if (!plbrush) return Invalid();
    switch (plbrush->lbStyle) {
        case BS_SOLID: return CreateSolidBrush(plbrush->lbColor);
        case BS_HATCHED: return CreateHatchBrush(static_cast<int>(plbrush->lbHatch), plbrush->lbColor);
        case BS_PATTERN: return CreatePatternBrush(reinterpret_cast<HBITMAP>(plbrush->lbHatch));
        case BS_NULL: {
            auto brush = std::make_unique<BrushObject>();
            brush->style = BS_NULL;
            return AddBrush(std::move(brush));
        }
        default: return Invalid();
    }
}

HPEN WINAPI CreatePen(int iStyle, int cWidth, COLORREF color) {
    if (iStyle < PS_SOLID || iStyle > PS_INSIDEFRAME) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto pen = std::make_unique<PenObject>();
    pen->style = static_cast<UINT>(iStyle);
    pen->width = cWidth < 0 ? 0 : cWidth;
    pen->color = color & 0xFFFFFF;
    return static_cast<HPEN>(AddObject(std::move(pen)));
}

HPEN WINAPI CreatePenIndirect(const LOGPEN* plpen) {
    if (!plpen) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return CreatePen(static_cast<int>(plpen->lopnStyle), plpen->lopnWidth.x, plpen->lopnColor);
}
