// Filled and outlined shapes, lines and single pixels. Shapes follow Windows' rules for their bounding boxes: the
// right and bottom edges are outside, a pen's outline lies on the box's edge pixels, and without a pen the fill
// loses the right column and the bottom row.

#include <cmath>
#include <vector>

#include "platform/gdi/Raster.h"

using namespace platform::gdi;

namespace {

RECT Normalized(int left, int top, int right, int bottom) {
    return {std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
}

// Fills with the brush as PATCOPY does: no ROP2 mode.
void PaintArea(DrawScope& scope, const BrushPaint& brush, const RECT& area) {
    if (brush.Empty() || RectEmpty(area)) return;
    Surface& surface = scope.Pixels();
    scope.ForSpans(area, [&](int y, int x0, int x1) {
        uint32_t* row = surface.Row(y);
        if (brush.IsSolid()) {
            std::fill(row + x0, row + x1, brush.SolidPixel());
            return;
        }
        for (int x = x0; x < x1; ++x) {
            uint32_t pixel;
            if (brush.At(x, y, pixel)) row[x] = pixel;
        }
    });
    scope.Mark(area);
}

// A row of a shape's outline, in the pen's colour through the ROP2 mode.
void OutlineRow(DrawScope& scope, uint32_t pixel, int y, int x0, int x1) {
    Surface& surface = scope.Pixels();
    int rop2 = scope.Dc().state.rop2;
    scope.ForRow(y, x0, x1, [&](int row, int left, int right) {
        uint32_t* line = surface.Row(row);
        for (int x = left; x < right; ++x) line[x] = Rop2(rop2, pixel, line[x] & 0xFFFFFF);
    });
}

// The pixels of row y whose centres lie inside the ellipse of the box; false when there are none.
bool EllipseSpan(const RECT& box, int y, int& x0, int& x1) {
    double rx = (box.right - box.left) / 2.0, ry = (box.bottom - box.top) / 2.0;
    if (rx <= 0 || ry <= 0) return false;
    double cx = (box.left + box.right) / 2.0, cy = (box.top + box.bottom) / 2.0;
    double dy = (y + 0.5 - cy) / ry;
    if (dy <= -1 || dy >= 1) return false;
    double half = rx * std::sqrt(1 - dy * dy);
    x0 = static_cast<int>(std::ceil(cx - half - 0.5));
    x1 = static_cast<int>(std::floor(cx + half - 0.5)) + 1;
    return x0 < x1;
}

// The box of a shape's outline and the box inside it, for a pen of width w on the path (l, t)-(r - 1, b - 1).
void PenBoxes(const RECT& box, int w, bool insideFrame, RECT& outer, RECT& inner) {
    if (insideFrame)
        outer = box;
    else
        outer = {box.left - w / 2, box.top - w / 2, box.right - 1 - w / 2 + w, box.bottom - 1 - w / 2 + w};
    inner = {outer.left + w, outer.top + w, outer.right - w, outer.bottom - w};
}

enum class Shape { Rectangle, Ellipse };

BOOL DrawShape(HDC hdc, int left, int top, int right, int bottom, Shape shape) {
    DrawScope scope(hdc);
    if (!scope) return FALSE;
    const DcState& state = scope.Dc().state;
    PenPaint pen(scope, FindInState<PenObject>(state.pen));
    BrushPaint brush(scope, FindInState<BrushObject>(state.brush));
    RECT box = scope.ToSurface(Normalized(left, top, right, bottom));
    RECT outer, inner;
    if (pen.Empty()) {
        outer = inner = {box.left, box.top, box.right - 1, box.bottom - 1};
    } else {
        PenBoxes(box, pen.Width(), pen.InsideFrame(), outer, inner);
    }
    const RECT& clip = scope.ClipBounds();  // rows outside it draw nothing, however large the shape
    if (shape == Shape::Rectangle && pen.Styled()) {
        // A dotted or dashed outline runs its pattern around the box; the fill is inside it.
        for (int y = std::max(inner.top, clip.top); y < std::min(inner.bottom, clip.bottom); ++y)
            FillRowWithBrush(scope, brush, y, inner.left, inner.right);
        POINT corners[] = {{outer.left, outer.top},
                           {outer.right - 1, outer.top},
                           {outer.right - 1, outer.bottom - 1},
                           {outer.left, outer.bottom - 1},
                           {outer.left, outer.top}};
        for (int i = 0; i < 4; ++i) pen.Line(scope, corners[i], corners[i + 1]);
        scope.Mark(outer);
        return TRUE;
    }
    // FIXME: an ellipse's outline is drawn solid whatever the pen's style; nothing here draws dotted ellipses.
    for (int y = std::max(outer.top, clip.top); y < std::min(outer.bottom, clip.bottom); ++y) {
        int a, b, c = 0, d = 0;
        bool inside;
        if (shape == Shape::Rectangle) {
            if (outer.left >= outer.right) break;
            a = outer.left, b = outer.right;
            inside = y >= inner.top && y < inner.bottom && inner.left < inner.right;
            c = inner.left, d = inner.right;
        } else {
            if (!EllipseSpan(outer, y, a, b)) continue;
            inside = EllipseSpan(inner, y, c, d);
        }
        if (!inside) {
            if (!pen.Empty())
                OutlineRow(scope, pen.Pixel(), y, a, b);
            else
                FillRowWithBrush(scope, brush, y, a, b);
            continue;
        }
        if (!pen.Empty()) {
            OutlineRow(scope, pen.Pixel(), y, a, c);
            OutlineRow(scope, pen.Pixel(), y, d, b);
        }
        FillRowWithBrush(scope, brush, y, c, d);
    }
    scope.Mark(outer);
    return TRUE;
}

// Scan-converts a polygon by pixel centres: alternate rows of crossings, or a non-zero winding number.
void FillPolygon(DrawScope& scope, const BrushPaint& brush, const std::vector<POINT>& points, bool winding) {
    if (brush.Empty() || points.size() < 3) return;
    LONG top = points[0].y, bottom = points[0].y, left = points[0].x, right = points[0].x;
    for (const POINT& p : points) {
        top = std::min(top, p.y), bottom = std::max(bottom, p.y);
        left = std::min(left, p.x), right = std::max(right, p.x);
    }
    struct Crossing {
        double x;
        int direction;
    };
    std::vector<Crossing> crossings;
    const RECT& clip = scope.ClipBounds();
    for (LONG y = std::max(top, clip.top); y < std::min(bottom, clip.bottom); ++y) {
        double center = y + 0.5;
        crossings.clear();
        for (size_t i = 0; i < points.size(); ++i) {
            const POINT& a = points[i];
            const POINT& b = points[(i + 1) % points.size()];
            if (a.y == b.y) continue;
            bool down = a.y < b.y;
            double y0 = down ? a.y : b.y, y1 = down ? b.y : a.y;
            if (center < y0 || center >= y1) continue;
            double x = a.x + (center - a.y) * (b.x - a.x) / static_cast<double>(b.y - a.y);
            crossings.push_back({x, down ? 1 : -1});
        }
        std::sort(crossings.begin(), crossings.end(), [](const Crossing& p, const Crossing& q) { return p.x < q.x; });
        int count = 0;
        for (size_t i = 0; i + 1 < crossings.size(); ++i) {
            count += winding ? crossings[i].direction : 1;
            bool filled = winding ? count != 0 : count % 2 == 1;
            if (!filled) continue;
            int x0 = static_cast<int>(std::ceil(crossings[i].x - 0.5));
            int x1 = static_cast<int>(std::ceil(crossings[i + 1].x - 0.5));
            FillRowWithBrush(scope, brush, static_cast<int>(y), x0, x1);
        }
    }
    scope.Mark(RECT{left, top, right, bottom});
}

BOOL DrawPoly(HDC hdc, const POINT* apt, int cpt, bool closed) {
    if (!apt || cpt < 2) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DrawScope scope(hdc);
    if (!scope) return FALSE;
    const DcState& state = scope.Dc().state;
    std::vector<POINT> points;
    points.reserve(static_cast<size_t>(cpt));
    for (int i = 0; i < cpt; ++i) points.push_back(scope.ToSurface(apt[i].x, apt[i].y));
    if (closed) {
        BrushPaint brush(scope, FindInState<BrushObject>(state.brush));
        FillPolygon(scope, brush, points, state.polyFillMode == WINDING);
    }
    PenPaint pen(scope, FindInState<PenObject>(state.pen));
    for (size_t i = 0; i + 1 < points.size(); ++i) pen.Line(scope, points[i], points[i + 1]);
    if (closed) pen.Line(scope, points.back(), points.front());
    return TRUE;
}

}  // namespace

int WINAPI FillRect(HDC hDC, const RECT* lprc, HBRUSH hbr) {
    BrushObject* brushObject = ResolveBrush(hbr);
    if (!lprc || !brushObject) {
        SetLastError(lprc ? ERROR_INVALID_HANDLE : ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DrawScope scope(hDC);
    if (!scope) return FALSE;
    PaintArea(scope, BrushPaint(scope, brushObject), scope.ToSurface(*lprc));
    return TRUE;
}

int WINAPI FrameRect(HDC hDC, const RECT* lprc, HBRUSH hbr) {
    BrushObject* brushObject = ResolveBrush(hbr);
    if (!lprc || !brushObject) {
        SetLastError(lprc ? ERROR_INVALID_HANDLE : ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DrawScope scope(hDC);
    if (!scope) return FALSE;
    RECT r = scope.ToSurface(*lprc);
    if (RectEmpty(r)) return TRUE;
    BrushPaint brush(scope, brushObject);
    PaintArea(scope, brush, {r.left, r.top, r.right, r.top + 1});
    PaintArea(scope, brush, {r.left, r.bottom - 1, r.right, r.bottom});
    PaintArea(scope, brush, {r.left, r.top, r.left + 1, r.bottom});
    PaintArea(scope, brush, {r.right - 1, r.top, r.right, r.bottom});
    return TRUE;
}

BOOL WINAPI InvertRect(HDC hDC, const RECT* lprc) {
    if (!lprc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return PatBlt(hDC, lprc->left, lprc->top, lprc->right - lprc->left, lprc->bottom - lprc->top, DSTINVERT);
}

BOOL WINAPI FillRgn(HDC hdc, HRGN hrgn, HBRUSH hbr) {
    auto* region = Find<RegionObject>(hrgn);
    BrushObject* brushObject = ResolveBrush(hbr);
    if (!region || !brushObject) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    DrawScope scope(hdc);
    if (!scope) return FALSE;
    BrushPaint brush(scope, brushObject);
    for (const RECT& r : region->region.Rects()) PaintArea(scope, brush, scope.ToSurface(r));
    return TRUE;
}

BOOL WINAPI Rectangle(HDC hdc, int left, int top, int right, int bottom) {
    return DrawShape(hdc, left, top, right, bottom, Shape::Rectangle);
}

BOOL WINAPI Ellipse(HDC hdc, int left, int top, int right, int bottom) {
    return DrawShape(hdc, left, top, right, bottom, Shape::Ellipse);
}

BOOL WINAPI Polygon(HDC hdc, const POINT* apt, int cpt) { return DrawPoly(hdc, apt, cpt, true); }

BOOL WINAPI Polyline(HDC hdc, const POINT* apt, int cpt) { return DrawPoly(hdc, apt, cpt, false); }

BOOL WINAPI MoveToEx(HDC hdc, int x, int y, LPPOINT lppt) {
    DcObject* dc = FindDc(hdc);
    if (!dc) return FALSE;
    if (lppt) *lppt = dc->state.position;
    dc->state.position = {x, y};
    return TRUE;
}

BOOL WINAPI LineTo(HDC hdc, int x, int y) {
    DrawScope scope(hdc);
    if (!scope) return FALSE;
    DcState& state = scope.Dc().state;
    PenPaint pen(scope, FindInState<PenObject>(state.pen));
    pen.Line(scope, scope.ToSurface(state.position.x, state.position.y), scope.ToSurface(x, y));
    state.position = {x, y};
    return TRUE;
}

BOOL WINAPI GetCurrentPositionEx(HDC hdc, LPPOINT lppt) {
    DcObject* dc = FindDc(hdc);
    if (!dc || !lppt) return FALSE;
    *lppt = dc->state.position;
    return TRUE;
}

COLORREF WINAPI SetPixel(HDC hdc, int x, int y, COLORREF color) {
    DrawScope scope(hdc);
    if (!scope) return CLR_INVALID;
    POINT p = scope.ToSurface(x, y);
    if (!scope.Visible(p.x, p.y)) return CLR_INVALID;
    uint32_t pixel = scope.PixelOf(color);
    scope.Pixels().Row(p.y)[p.x] = pixel;
    scope.Mark(RECT{p.x, p.y, p.x + 1, p.y + 1});
    return ColorOf(pixel);
}

BOOL WINAPI SetPixelV(HDC hdc, int x, int y, COLORREF color) { return SetPixel(hdc, x, y, color) != CLR_INVALID; }

COLORREF WINAPI GetPixel(HDC hdc, int x, int y) {
    DrawScope scope(hdc);
    if (!scope) return CLR_INVALID;
    POINT p = scope.ToSurface(x, y);
    if (!scope.Visible(p.x, p.y)) return CLR_INVALID;
    return ColorOf(scope.Pixels().At(p.x, p.y) & 0xFFFFFF);
}
