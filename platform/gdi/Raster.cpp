#include "platform/gdi/Raster.h"

#include <cmath>
#include <cstdlib>

namespace platform::gdi {

namespace {

constexpr uint32_t kRgb = 0xFFFFFF;

int Wrap(int value, int size) {
    int m = value % size;
    return m < 0 ? m + size : m;
}

}  // namespace

uint32_t Rop2(int rop2, uint32_t pen, uint32_t dst) {
    switch (rop2) {
        case R2_COPYPEN: return pen;
        case R2_XORPEN: return (pen ^ dst) & kRgb;
        case R2_NOT: return ~dst & kRgb;
        case R2_NOTXORPEN: return ~(pen ^ dst) & kRgb;
        default: break;
    }
    // The mode less one is a truth table over (pen, destination): bit 0 for (0, 0) up to bit 3 for (1, 1).
    unsigned table = static_cast<unsigned>(rop2 - 1);
    uint32_t result = 0;
    if (table & 1) result |= ~pen & ~dst;
    if (table & 2) result |= ~pen & dst;
    if (table & 4) result |= pen & ~dst;
    if (table & 8) result |= pen & dst;
    return result & kRgb;
}

uint32_t Rop3(uint8_t rop, uint32_t p, uint32_t s, uint32_t d) {
    switch (rop) {
        case 0xCC: return s;                            // SRCCOPY
        case 0x88: return s & d;                        // SRCAND
        case 0xEE: return s | d;                        // SRCPAINT
        case 0x66: return s ^ d;                        // SRCINVERT
        case 0x33: return ~s & kRgb;                    // NOTSRCCOPY
        case 0xC0: return p & s;                        // MERGECOPY
        case 0xF0: return p;                            // PATCOPY
        case 0x5A: return p ^ d;                        // PATINVERT
        case 0x55: return ~d & kRgb;                    // DSTINVERT
        case 0x00: return 0;                            // BLACKNESS
        case 0xFF: return kRgb;                         // WHITENESS
        case 0xB8: return ((s & d) | (~s & p)) & kRgb;  // the pattern where the source is 0
        case 0xE2: return ((s & p) | (~s & d)) & kRgb;  // the pattern where the source is 1
        default: break;
    }
    // The index is a truth table over (pattern, source, destination): bit p * 4 + s * 2 + d.
    uint32_t result = 0;
    for (int i = 0; i < 8; ++i) {
        if (!(rop & (1 << i))) continue;
        result |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
    }
    return result & kRgb;
}

// ---- DrawScope ---------------------------------------------------------------------------------------------------

DrawScope::DrawScope(HDC hdc) {
    DcObject* dc = FindDc(hdc);
    if (!dc) return;
    Surface* pixels = dc->Pixels();
    if (!pixels) {
        SetLastError(ERROR_INVALID_HANDLE);
        return;
    }
    dc_ = dc;
    pixels_ = pixels;
    bitmap_ = dc->Bitmap();
    mono_ = bitmap_ && bitmap_->mono;
    if (bitmap_) bitmap_->LoadBits();
    clip_ = dc->EffectiveClip();
    clipBounds_ = clip_.Bounds();
    offset_ = dc->SurfaceOffset();
}

DrawScope::~DrawScope() {
    if (marked_ && bitmap_) bitmap_->StoreBits();
}

uint32_t DrawScope::PixelOf(COLORREF color) const {
    uint32_t pixel = gdi::PixelOf(color) & kRgb;
    return mono_ ? MonoPixel(pixel) : pixel;
}

void DrawScope::LimitClip(const RECT& area) {
    clip_.Intersect(area);
    clipBounds_ = clip_.Bounds();
}

bool DrawScope::Visible(int x, int y) const { return clip_.Contains(x, y); }

void DrawScope::Mark(const RECT& area) {
    RECT part = RectIntersection(area, clipBounds_);
    if (RectEmpty(part)) return;
    dc_->drawn = RectUnion(dc_->drawn, part);
    marked_ = true;
}

// ---- brushes -----------------------------------------------------------------------------------------------------

BrushPaint::BrushPaint(const DrawScope& scope, const BrushObject* brush) {
    if (!brush || brush->style == BS_NULL) return;
    const DcState& state = scope.Dc().state;
    originX_ = scope.Dc().origin.x + state.brushOrg.x;
    originY_ = scope.Dc().origin.y + state.brushOrg.y;
    switch (brush->style) {
        case BS_SOLID:
            kind_ = Kind::Solid;
            solid_ = scope.PixelOf(brush->color);
            break;
        case BS_HATCHED:
            kind_ = Kind::Hatch;
            solid_ = scope.PixelOf(brush->color);
            hatch_ = brush->hatch;
            background_ = scope.PixelOf(state.bkColor);
            opaque_ = state.bkMode == OPAQUE;
            break;
        case BS_PATTERN: {
            if (brush->pattern.width <= 0 || brush->pattern.height <= 0) return;
            kind_ = Kind::Pattern;
            width_ = brush->pattern.width;
            height_ = brush->pattern.height;
            uint32_t zero = scope.PixelOf(state.textColor), one = scope.PixelOf(state.bkColor);
            pattern_.reserve(brush->pattern.pixels.size());
            for (uint32_t pixel : brush->pattern.pixels) {
                pixel &= kRgb;
                if (brush->patternMono)
                    pixel = pixel ? one : zero;
                else if (scope.Mono())
                    pixel = MonoPixel(pixel);
                pattern_.push_back(pixel);
            }
            break;
        }
        default: break;
    }
}

bool BrushPaint::At(int x, int y, uint32_t& pixel) const {
    switch (kind_) {
        case Kind::Solid: pixel = solid_; return true;
        case Kind::Pattern:
            pixel = pattern_[static_cast<size_t>(Wrap(y - originY_, height_)) * static_cast<size_t>(width_) +
                             static_cast<size_t>(Wrap(x - originX_, width_))];
            return true;
        case Kind::Hatch: {
            int i = Wrap(x - originX_, 8), j = Wrap(y - originY_, 8);
            bool line = false;
            switch (hatch_) {
                case HS_HORIZONTAL: line = j == 0; break;
                case HS_VERTICAL: line = i == 0; break;
                case HS_FDIAGONAL: line = i == j; break;
                case HS_BDIAGONAL: line = i + j == 7; break;
                case HS_CROSS: line = i == 0 || j == 0; break;
                default: line = i == j || i + j == 7; break;
            }
            if (line)
                pixel = solid_;
            else if (opaque_)
                pixel = background_;
            return line || opaque_;
        }
        case Kind::None: break;
    }
    return false;
}

// ---- pens --------------------------------------------------------------------------------------------------------

PenPaint::PenPaint(const DrawScope& scope, const PenObject* pen) {
    if (!pen || (pen->style & PS_STYLE_MASK) == PS_NULL) return;
    const DcState& state = scope.Dc().state;
    none_ = false;
    pixel_ = scope.PixelOf(pen->color);
    width_ = std::max(1, pen->width);
    rop2_ = state.rop2;
    UINT style = pen->style & PS_STYLE_MASK;
    insideFrame_ = style == PS_INSIDEFRAME;
    // Styled pens are cosmetic: wider ones draw solid, as on Windows.
    if (width_ == 1) {
        switch (style) {
            case PS_DASH: dashes_ = {18, 6}; break;
            case PS_DOT: dashes_ = {3, 3}; break;
            case PS_DASHDOT: dashes_ = {9, 6, 3, 6}; break;
            case PS_DASHDOTDOT: dashes_ = {9, 3, 3, 3, 3, 3}; break;
            default: break;
        }
    }
    opaqueGaps_ = state.bkMode == OPAQUE;
    gapPixel_ = scope.PixelOf(state.bkColor);
}

void PenPaint::Plot(DrawScope& scope, int x, int y, uint32_t pixel) const {
    Surface& surface = scope.Pixels();
    auto apply = [&](int row, int x0, int x1) {
        uint32_t* line = surface.Row(row);
        for (int i = x0; i < x1; ++i) line[i] = Rop2(rop2_, pixel, line[i] & kRgb);
    };
    if (width_ == 1) {
        if (scope.Visible(x, y)) apply(y, x, x + 1);
        return;
    }
    int left = x - width_ / 2, top = y - width_ / 2;
    scope.ForSpans(RECT{left, top, left + width_, top + width_}, apply);
}

namespace {

// The part of the segment inside the box, as the segment's parameters t0 <= t1 in [0, 1]; false when none is.
bool ClipSegment(POINT from, POINT to, const RECT& box, double& t0, double& t1) {
    t0 = 0, t1 = 1;
    double dx = static_cast<double>(to.x) - from.x, dy = static_cast<double>(to.y) - from.y;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {static_cast<double>(from.x) - box.left, box.right - 1.0 - from.x,
                         static_cast<double>(from.y) - box.top, box.bottom - 1.0 - from.y};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
    }
    return t0 <= t1;
}

}  // namespace

void PenPaint::Line(DrawScope& scope, POINT from, POINT to) {
    if (none_) return;
    constexpr int64_t kLongLine = 1 << 16;
    int64_t length = std::max(std::abs(int64_t{to.x} - from.x), std::abs(int64_t{to.y} - from.y));
    if (length > kLongLine) {
        // A very long line is first cut to the clip, so that drawing it costs what its visible part costs.
        RECT box = scope.ClipBounds();
        int margin = width_ + 1;
        box = {box.left - margin, box.top - margin, box.right + margin, box.bottom + margin};
        double t0, t1;
        if (RectEmpty(scope.ClipBounds()) || !ClipSegment(from, to, box, t0, t1)) return;
        auto at = [&](double t) {
            return POINT{static_cast<LONG>(std::lround(from.x + t * (static_cast<double>(to.x) - from.x))),
                         static_cast<LONG>(std::lround(from.y + t * (static_cast<double>(to.y) - from.y)))};
        };
        phase_ += static_cast<int>(std::lround(t0 * static_cast<double>(length)) % 1048576);
        POINT start = at(t0), end = at(t1);
        if (std::max(std::abs(end.x - start.x), std::abs(end.y - start.y)) <= kLongLine) Line(scope, start, end);
        return;
    }
    int total = 0;
    for (int d : dashes_) total += d;
    const int half = width_ / 2;
    const RECT reach{std::min(from.x, to.x) - half, std::min(from.y, to.y) - half,
                     std::max(from.x, to.x) - half + width_, std::max(from.y, to.y) - half + width_};
    // A solid line wholly outside the clip draws and marks nothing: a panel's bevel drawn again around a label that
    // changed need not be visited pixel by pixel. A dashed one still counts its steps for the dashes that follow.
    if (total == 0 && RectEmpty(RectIntersection(reach, scope.ClipBounds()))) return;
    int x = from.x, y = from.y;
    int dx = std::abs(to.x - from.x), dy = std::abs(to.y - from.y);
    int sx = from.x < to.x ? 1 : -1, sy = from.y < to.y ? 1 : -1;
    int steps = std::max(dx, dy);
    int error = (dx > dy ? dx : -dy) / 2;
    for (int i = 0; i < steps; ++i) {
        bool on = true;
        if (total > 0) {
            int at = phase_ % total;
            for (size_t k = 0; k < dashes_.size(); ++k) {
                if (at < dashes_[k]) {
                    on = k % 2 == 0;
                    break;
                }
                at -= dashes_[k];
            }
            ++phase_;
        }
        if (on)
            Plot(scope, x, y, pixel_);
        else if (opaqueGaps_)
            Plot(scope, x, y, gapPixel_);
        int e = error;
        if (e > -dx) {
            error -= dy;
            x += sx;
        }
        if (e < dy) {
            error += dx;
            y += sy;
        }
    }
    scope.Mark(reach);
}

// ---- fills -------------------------------------------------------------------------------------------------------

void FillSolid(DrawScope& scope, const RECT& area, uint32_t pixel) {
    Surface& surface = scope.Pixels();
    scope.ForSpans(area, [&](int y, int x0, int x1) { std::fill(surface.Row(y) + x0, surface.Row(y) + x1, pixel); });
    scope.Mark(area);
}

void FillRowWithBrush(DrawScope& scope, const BrushPaint& brush, int y, int x0, int x1) {
    if (brush.Empty()) return;
    Surface& surface = scope.Pixels();
    int rop2 = scope.Dc().state.rop2;
    scope.ForRow(y, x0, x1, [&](int row, int left, int right) {
        uint32_t* line = surface.Row(row);
        for (int x = left; x < right; ++x) {
            uint32_t pixel;
            if (brush.At(x, row, pixel)) line[x] = Rop2(rop2, pixel, line[x] & kRgb);
        }
    });
}

BrushObject* ResolveBrush(HBRUSH brush) {
    auto value = reinterpret_cast<uintptr_t>(brush);
    if (value >= 1 && value <= COLOR_MENUBAR + 1) brush = GetSysColorBrush(static_cast<int>(value) - 1);
    return FindInState<BrushObject>(brush);
}

}  // namespace platform::gdi
