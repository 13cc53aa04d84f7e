// Region objects and the clip regions of DCs.

#include <algorithm>
#include <memory>

#include "platform/gdi/Objects.h"

namespace platform::gdi {

namespace {

// Stands for "no clip region" when a DC's clip must be cut from something: far beyond any surface.
constexpr LONG kFar = 1 << 27;
const RECT kEverything{-kFar, -kFar, kFar, kFar};

int TypeOf(const Region& region) {
    if (region.Empty()) return NULLREGION;
    RECT bounds = region.Bounds();
    int64_t area = 0;
    for (const RECT& r : region.Rects()) area += int64_t{r.right - r.left} * (r.bottom - r.top);
    return area == int64_t{bounds.right - bounds.left} * (bounds.bottom - bounds.top) ? SIMPLEREGION : COMPLEXREGION;
}

RegionObject* FindRegion(HRGN handle) {
    auto* region = Find<RegionObject>(handle);
    if (!region) SetLastError(ERROR_INVALID_HANDLE);
    return region;
}

RECT Normalized(int x1, int y1, int x2, int y2) {
    return {std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

HRGN NewRegion(const RECT& rect) {
    auto region = std::make_unique<RegionObject>();
    region->region = Region(rect);
    return static_cast<HRGN>(AddObject(std::move(region)));
}

// The DC's clip region as it stands, or everything when it has none.
Region CurrentClip(const DcObject& dc) { return dc.state.clip ? *dc.state.clip : Region(kEverything); }

int ClipType(const DcObject& dc) { return TypeOf(dc.EffectiveClip()); }

RECT DeviceRect(const DcObject& dc, int left, int top, int right, int bottom) {
    POINT offset = dc.DeviceOffset();
    return {left + offset.x, top + offset.y, right + offset.x, bottom + offset.y};
}

void Combine(Region& target, const Region& other, int mode) {
    switch (mode) {
        case RGN_AND: target.Intersect(other); break;
        case RGN_OR: target.Union(other); break;
        case RGN_DIFF: target.Subtract(other); break;
        case RGN_XOR: {
            Region both = target;
            both.Intersect(other);
            target.Union(other);
            target.Subtract(both);
            break;
        }
        default: target = other; break;
    }
}

}  // namespace

}  // namespace platform::gdi

using namespace platform::gdi;

HRGN WINAPI CreateRectRgn(int x1, int y1, int x2, int y2) { return NewRegion(Normalized(x1, y1, x2, y2)); }

HRGN WINAPI CreateRectRgnIndirect(const RECT* lprect) {
    if (!lprect) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return CreateRectRgn(lprect->left, lprect->top, lprect->right, lprect->bottom);
}

BOOL WINAPI SetRectRgn(HRGN hrgn, int left, int top, int right, int bottom) {
    RegionObject* region = FindRegion(hrgn);
    if (!region) return FALSE;
    region->region = Region(Normalized(left, top, right, bottom));
    return TRUE;
}

int WINAPI CombineRgn(HRGN hrgnDst, HRGN hrgnSrc1, HRGN hrgnSrc2, int iMode) {
    RegionObject* target = FindRegion(hrgnDst);
    RegionObject* first = FindRegion(hrgnSrc1);
    if (!target || !first || iMode < RGN_AND || iMode > RGN_COPY) return ERROR;
    Region result = first->region;
    if (iMode != RGN_COPY) {
        RegionObject* second = FindRegion(hrgnSrc2);
        if (!second) return ERROR;
        Combine(result, second->region, iMode);
    }
    target->region = std::move(result);
    return TypeOf(target->region);
}

int WINAPI OffsetRgn(HRGN hrgn, int x, int y) {
    RegionObject* region = FindRegion(hrgn);
    if (!region) return ERROR;
    region->region.Offset(x, y);
    return TypeOf(region->region);
}

BOOL WINAPI PtInRegion(HRGN hrgn, int x, int y) {
    RegionObject* region = FindRegion(hrgn);
    return region && region->region.Contains(x, y);
}

BOOL WINAPI RectInRegion(HRGN hrgn, const RECT* lprect) {
    RegionObject* region = FindRegion(hrgn);
    if (!region || !lprect) return FALSE;
    return region->region.Intersects(Normalized(lprect->left, lprect->top, lprect->right, lprect->bottom));
}

int WINAPI GetRgnBox(HRGN hrgn, LPRECT lprc) {
    RegionObject* region = FindRegion(hrgn);
    if (!region || !lprc) return ERROR;
    *lprc = region->region.Bounds();
    return TypeOf(region->region);
}

BOOL WINAPI EqualRgn(HRGN hrgn1, HRGN hrgn2) {
    RegionObject* a = FindRegion(hrgn1);
    RegionObject* b = FindRegion(hrgn2);
    if (!a || !b) return ERROR;
    return a->region == b->region;
}

int WINAPI IntersectClipRect(HDC hdc, int left, int top, int right, int bottom) {
    DcObject* dc = FindDc(hdc);
    if (!dc) return ERROR;
    Region clip = CurrentClip(*dc);
    clip.Intersect(DeviceRect(*dc, left, top, right, bottom));
    dc->state.clip = std::move(clip);
    return ClipType(*dc);
}

int WINAPI ExcludeClipRect(HDC hdc, int left, int top, int right, int bottom) {
    DcObject* dc = FindDc(hdc);
    if (!dc) return ERROR;
    Region clip = CurrentClip(*dc);
    clip.Subtract(DeviceRect(*dc, left, top, right, bottom));
    dc->state.clip = std::move(clip);
    return ClipType(*dc);
}

int WINAPI SelectClipRgn(HDC hdc, HRGN hrgn) { return ExtSelectClipRgn(hdc, hrgn, RGN_COPY); }

int WINAPI ExtSelectClipRgn(HDC hdc, HRGN hrgn, int mode) {
    DcObject* dc = FindDc(hdc);
    if (!dc || mode < RGN_AND || mode > RGN_COPY) return ERROR;
    if (!hrgn) {
        if (mode != RGN_COPY) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return ERROR;
        }
        dc->state.clip.reset();  // back to the DC's own bounds
        return ClipType(*dc);
    }
    RegionObject* region = FindRegion(hrgn);
    if (!region) return ERROR;
    Region clip = CurrentClip(*dc);
    Combine(clip, region->region, mode);
    dc->state.clip = std::move(clip);
    return ClipType(*dc);
}

int WINAPI GetClipRgn(HDC hdc, HRGN hrgn) {
    DcObject* dc = FindDc(hdc);
    RegionObject* region = FindRegion(hrgn);
    if (!dc || !region) return -1;
    if (!dc->state.clip) return 0;
    region->region = *dc->state.clip;
    return 1;
}

int WINAPI GetClipBox(HDC hdc, LPRECT lprect) {
    DcObject* dc = FindDc(hdc);
    if (!dc || !lprect) return ERROR;
    Region clip = dc->EffectiveClip();
    RECT box = clip.Bounds();
    POINT offset = dc->SurfaceOffset();
    *lprect = clip.Empty() ? RECT{0, 0, 0, 0}
                           : RECT{box.left - offset.x, box.top - offset.y, box.right - offset.x, box.bottom - offset.y};
    return TypeOf(clip);
}

BOOL WINAPI PtVisible(HDC hdc, int x, int y) {
    DcObject* dc = FindDc(hdc);
    if (!dc) return FALSE;
    POINT offset = dc->SurfaceOffset();
    return dc->EffectiveClip().Contains(x + offset.x, y + offset.y);
}

BOOL WINAPI RectVisible(HDC hdc, const RECT* lprect) {
    DcObject* dc = FindDc(hdc);
    if (!dc || !lprect) return FALSE;
    POINT offset = dc->SurfaceOffset();
    RECT r = Normalized(lprect->left, lprect->top, lprect->right, lprect->bottom);
    return dc->EffectiveClip().Intersects(
        {r.left + offset.x, r.top + offset.y, r.right + offset.x, r.bottom + offset.y});
}
