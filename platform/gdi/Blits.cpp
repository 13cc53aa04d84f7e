// Block transfers: pattern fills, copies and stretches through any ternary raster operation, copies that leave one
// colour out, and copies through a mask.

#include <cstring>
#include <optional>

#include "platform/gdi/Raster.h"

using namespace platform::gdi;

namespace {

constexpr uint32_t kRgb = 0xFFFFFF;

// Maps destination pixels 0 to count - 1 onto the source pixels from `start` on, by their centres, mirrored when
// asked; a source position outside [0, limit) has no pixel (-1).
struct Axis {
    int count = 1;
    int start = 0;
    int sourceCount = 1;
    bool mirror = false;
    int limit = 0;

    int Map(int i) const {
        int64_t k = (int64_t{2} * i + 1) * sourceCount / (int64_t{2} * count);
        if (mirror) k = sourceCount - 1 - k;
        int64_t at = start + k;
        return at >= 0 && at < limit ? static_cast<int>(at) : -1;
    }
};

struct BlitJob {
    RECT dst{};  // surface coordinates
    Axis xs, ys;
    const Surface* source = nullptr;
    bool sourceMono = false;
    uint32_t sourceBk = 0;  // the source DC's background colour as a pixel
    uint8_t rop = 0xCC;
    std::optional<uint32_t> transparent;  // a raw source pixel value that is left out
    const Surface* mask = nullptr;        // monochrome
    Axis maskXs, maskYs;
    uint8_t backRop = 0xCC;  // where the mask is 0
};

// Extents beyond this are refused rather than overflowing the arithmetic.
constexpr int64_t kMaxExtent = 1 << 28;

// A signed extent (x, width) as the pixels it covers: a negative width reaches back from x.
bool Span(int x, int width, int& start, int& count) {
    if (width < -kMaxExtent || width > kMaxExtent) return false;
    start = width < 0 ? x + width + 1 : x;
    count = width < 0 ? -width : width;
    return true;
}

void RunBlit(DrawScope& scope, BlitJob& job) {
    if (RectEmpty(job.dst)) return;
    const DcState& state = scope.Dc().state;
    std::optional<BrushPaint> brush;
    if (RopUsesPattern(job.rop) || (job.mask && RopUsesPattern(job.backRop)))
        brush.emplace(scope, FindInState<BrushObject>(state.brush));

    // Copying within one surface reads from a copy of the part it needs, so the source is not drawn over first.
    Surface copy;
    if (job.source == &scope.Pixels()) {
        int64_t left = std::max<int64_t>(0, job.xs.start),
                right = std::min<int64_t>(job.xs.limit, int64_t{job.xs.start} + job.xs.sourceCount);
        int64_t top = std::max<int64_t>(0, job.ys.start),
                bottom = std::min<int64_t>(job.ys.limit, int64_t{job.ys.start} + job.ys.sourceCount);
        if (left >= right || top >= bottom) return;
        copy.Resize(static_cast<int>(right - left), static_cast<int>(bottom - top));
        for (int y = 0; y < copy.height; ++y)
            std::memcpy(copy.Row(y), job.source->Row(static_cast<int>(top) + y) + left,
                        sizeof(uint32_t) * static_cast<size_t>(copy.width));
        job.xs.start -= static_cast<int>(left), job.xs.limit = copy.width;
        job.ys.start -= static_cast<int>(top), job.ys.limit = copy.height;
        job.source = &copy;
    }

    const bool dstMono = scope.Mono();
    const uint32_t text = scope.PixelOf(state.textColor), back = scope.PixelOf(state.bkColor);
    RECT touched{0, 0, 0, 0};
    Surface& pixels = scope.Pixels();
    scope.ForSpans(job.dst, [&](int y, int x0, int x1) {
        int row = y - job.dst.top;
        int sy = job.source ? job.ys.Map(row) : 0;
        if (sy < 0) return;
        uint32_t* line = pixels.Row(y);
        int first = -1, last = -1;
        for (int x = x0; x < x1; ++x) {
            int column = x - job.dst.left;
            uint32_t s = 0;
            if (job.source) {
                int sx = job.xs.Map(column);
                if (sx < 0) continue;
                uint32_t raw = job.source->At(sx, sy) & kRgb;
                if (job.transparent && raw == *job.transparent) continue;
                if (job.sourceMono && !dstMono)
                    s = raw ? back : text;
                else if (!job.sourceMono && dstMono)
                    s = raw == job.sourceBk ? kRgb : 0;
                else
                    s = raw;
            }
            uint8_t rop = job.rop;
            if (job.mask) {
                int mx = job.maskXs.Map(column), my = job.maskYs.Map(row);
                bool set = mx >= 0 && my >= 0 && (job.mask->At(mx, my) & kRgb) != 0;
                rop = set ? job.rop : job.backRop;
            }
            uint32_t p = 0;
            if (RopUsesPattern(rop) && !brush->At(x, y, p)) continue;  // no brush, or a hatch's gap
            line[x] = Rop3(rop, p, s, line[x] & kRgb);
            if (first < 0) first = x;
            last = x;
        }
        if (first >= 0) touched = RectUnion(touched, RECT{first, y, last + 1, y + 1});
    });
    scope.Mark(touched);
}

// Fills in the source of a job from the source DC's rectangle (logical coordinates of that DC).
bool SetSource(BlitJob& job, DrawScope& source, int x, int y, int width, int height, int dstWidth, int dstHeight,
               bool mirrorX, bool mirrorY) {
    if (!source) return false;
    POINT at = source.ToSurface(x, y);
    job.source = &source.Pixels();
    job.sourceMono = source.Mono();
    job.sourceBk = PixelOf(source.Dc().state.bkColor) & kRgb;
    job.xs = Axis{dstWidth, at.x, width, mirrorX, job.source->width};
    job.ys = Axis{dstHeight, at.y, height, mirrorY, job.source->height};
    return true;
}

BOOL Stretch(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc, int xSrc, int ySrc, int wSrc,
             int hSrc, DWORD rop, std::optional<COLORREF> transparent) {
    DrawScope scope(hdcDest);
    if (!scope) return FALSE;
    BlitJob job;
    job.rop = static_cast<uint8_t>(rop >> 16);
    int dx, dw, dy, dh, sx, sw, sy, sh;
    if (!Span(xDest, wDest, dx, dw) || !Span(yDest, hDest, dy, dh) || !Span(xSrc, wSrc, sx, sw) ||
        !Span(ySrc, hSrc, sy, sh)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    job.dst = scope.ToSurface(RECT{dx, dy, dx + dw, dy + dh});
    if (!RopUsesSource(job.rop) && !transparent) {
        RunBlit(scope, job);
        return TRUE;
    }
    if (sw == 0 || sh == 0) return TRUE;
    DrawScope source(hdcSrc);
    if (!SetSource(job, source, sx, sy, sw, sh, dw, dh, (wDest < 0) != (wSrc < 0), (hDest < 0) != (hSrc < 0)))
        return FALSE;
    if (transparent) {
        uint32_t pixel = PixelOf(*transparent) & kRgb;
        job.transparent = job.sourceMono ? MonoPixel(pixel) : pixel;
    }
    RunBlit(scope, job);
    return TRUE;
}

}  // namespace

BOOL WINAPI PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop) {
    if (RopUsesSource(static_cast<uint8_t>(rop >> 16))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return Stretch(hdc, x, y, w, h, nullptr, 0, 0, 0, 0, rop, std::nullopt);
}

BOOL WINAPI BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop) {
    return Stretch(hdc, x, y, cx, cy, hdcSrc, x1, y1, cx, cy, rop, std::nullopt);
}

BOOL WINAPI StretchBlt(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc, int xSrc, int ySrc,
                       int wSrc, int hSrc, DWORD rop) {
    return Stretch(hdcDest, xDest, yDest, wDest, hDest, hdcSrc, xSrc, ySrc, wSrc, hSrc, rop, std::nullopt);
}

BOOL WINAPI TransparentBlt(HDC hdcDest, int xoriginDest, int yoriginDest, int wDest, int hDest, HDC hdcSrc,
                           int xoriginSrc, int yoriginSrc, int wSrc, int hSrc, UINT crTransparent) {
    if (wDest <= 0 || hDest <= 0 || wSrc <= 0 || hSrc <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return Stretch(hdcDest, xoriginDest, yoriginDest, wDest, hDest, hdcSrc, xoriginSrc, yoriginSrc, wSrc, hSrc, SRCCOPY,
                   crTransparent);
}

BOOL WINAPI MaskBlt(HDC hdcDest, int xDest, int yDest, int width, int height, HDC hdcSrc, int xSrc, int ySrc,
                    HBITMAP hbmMask, int xMask, int yMask, DWORD rop) {
    if (!hbmMask) return BitBlt(hdcDest, xDest, yDest, width, height, hdcSrc, xSrc, ySrc, rop & 0x00FFFFFF);
    auto* mask = Find<BitmapObject>(hbmMask);
    if (!mask || !mask->mono || width <= 0 || height <= 0 || width > kMaxExtent || height > kMaxExtent) {
        SetLastError(mask ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
        return FALSE;
    }
    DrawScope scope(hdcDest);
    if (!scope) return FALSE;
    BlitJob job;
    job.rop = static_cast<uint8_t>(rop >> 16);
    job.backRop = static_cast<uint8_t>(rop >> 24);
    job.dst = scope.ToSurface(RECT{xDest, yDest, xDest + width, yDest + height});
    job.mask = &mask->pixels;
    job.maskXs = Axis{width, xMask, width, false, mask->pixels.width};
    job.maskYs = Axis{height, yMask, height, false, mask->pixels.height};
    std::optional<DrawScope> source;
    if (RopUsesSource(job.rop) || RopUsesSource(job.backRop)) {
        source.emplace(hdcSrc);
        if (!SetSource(job, *source, xSrc, ySrc, width, height, width, height, false, false)) return FALSE;
    }
    RunBlit(scope, job);
    return TRUE;
}

int WINAPI StretchDIBits(HDC hdc, int xDest, int yDest, int DestWidth, int DestHeight, int xSrc, int ySrc, int SrcWidth,
                         int SrcHeight, const void* lpBits, const BITMAPINFO* lpbmi, UINT iUsage, DWORD rop) {
    DibFormat format;
    size_t headerBytes = 0;
    if (!lpBits || iUsage != DIB_RGB_COLORS ||
        !ReadDibHeader(reinterpret_cast<const uint8_t*>(lpbmi), SIZE_MAX, format, headerBytes)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    DrawScope scope(hdc);
    if (!scope) return 0;
    Surface image;
    DibToSurface(format, static_cast<const uint8_t*>(lpBits), image);
    BlitJob job;
    job.rop = static_cast<uint8_t>(rop >> 16);
    int dx, dw, dy, dh, sx, sw, sy, sh;
    if (!Span(xDest, DestWidth, dx, dw) || !Span(yDest, DestHeight, dy, dh) || !Span(xSrc, SrcWidth, sx, sw) ||
        !Span(ySrc, SrcHeight, sy, sh) || sw == 0 || sh == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    // The source rectangle of a bottom-up DIB is measured from its bottom row.
    if (!format.topDown) sy = format.height - sy - sh;
    job.dst = scope.ToSurface(RECT{dx, dy, dx + dw, dy + dh});
    job.source = &image;
    job.xs = Axis{dw, sx, sw, (DestWidth < 0) != (SrcWidth < 0), image.width};
    job.ys = Axis{dh, sy, sh, (DestHeight < 0) != (SrcHeight < 0), image.height};
    RunBlit(scope, job);
    return sh;
}
