#pragma once
// The pixel engine under the drawing functions: a DC made ready to draw (its pixels, clip and coordinate offset),
// brushes and pens realised for it, and the raster operations. Everything here works in surface coordinates.

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/gdi/Objects.h"

namespace platform::gdi {

// Raster operations, bitwise on whole pixels, so they keep a monochrome surface's 0 and 0xFFFFFF as they are.
uint32_t Rop2(int rop2, uint32_t pen, uint32_t dst);
// `rop` is the ternary operation's index, bits 16 to 23 of its code.
uint32_t Rop3(uint8_t rop, uint32_t pattern, uint32_t source, uint32_t dst);
inline bool RopUsesSource(uint8_t rop) { return ((rop >> 2) ^ rop) & 0x33; }
inline bool RopUsesPattern(uint8_t rop) { return ((rop >> 4) ^ rop) & 0x0F; }

// A DC made ready for drawing for the length of one GDI call. A DIB section's bits are read in when it starts, and
// written back when it ends if anything was drawn.
class DrawScope {
  public:
    explicit DrawScope(HDC hdc);  // sets ERROR_INVALID_HANDLE when hdc is not a DC
    ~DrawScope();
    DrawScope(const DrawScope&) = delete;
    DrawScope& operator=(const DrawScope&) = delete;

    explicit operator bool() const { return dc_ != nullptr; }
    DcObject& Dc() const { return *dc_; }
    Surface& Pixels() const { return *pixels_; }
    bool Mono() const { return mono_; }
    // The colour as this DC's pixels hold it: black or white on a monochrome bitmap.
    uint32_t PixelOf(COLORREF color) const;
    POINT ToSurface(LONG x, LONG y) const { return {x + offset_.x, y + offset_.y}; }
    RECT ToSurface(const RECT& r) const {
        return {r.left + offset_.x, r.top + offset_.y, r.right + offset_.x, r.bottom + offset_.y};
    }
    POINT Offset() const { return offset_; }
    const Region& Clip() const { return clip_; }
    const RECT& ClipBounds() const { return clipBounds_; }
    // Narrows the clip for the rest of this call (DrawTextA's rectangle, ETO_CLIPPED).
    void LimitClip(const RECT& area);
    bool Visible(int x, int y) const;
    // Adds to the DC's drawn bounds the part of `area` inside the clip.
    void Mark(const RECT& area);

    // Calls f(y, x0, x1) for each run of pixels of `area` inside the clip, x1 exclusive.
    template <class F>
    void ForSpans(const RECT& area, F&& f) const {
        for (const RECT& c : clip_.Rects()) {
            LONG left = std::max(area.left, c.left), right = std::min(area.right, c.right);
            LONG top = std::max(area.top, c.top), bottom = std::min(area.bottom, c.bottom);
            if (left >= right) continue;
            for (LONG y = top; y < bottom; ++y) f(static_cast<int>(y), static_cast<int>(left), static_cast<int>(right));
        }
    }
    template <class F>
    void ForRow(int y, int x0, int x1, F&& f) const {
        for (const RECT& c : clip_.Rects()) {
            if (y < c.top || y >= c.bottom) continue;
            int left = std::max<int>(x0, c.left), right = std::min<int>(x1, c.right);
            if (left < right) f(y, left, right);
        }
    }

  private:
    DcObject* dc_ = nullptr;
    BitmapObject* bitmap_ = nullptr;
    Surface* pixels_ = nullptr;
    bool mono_ = false;
    Region clip_;
    RECT clipBounds_{};
    POINT offset_{};
    bool marked_ = false;
};

// A brush realised for one DC: its colours resolved (a monochrome pattern takes the DC's text and background
// colours) and its pattern aligned to the DC's brush origin.
class BrushPaint {
  public:
    BrushPaint(const DrawScope& scope, const BrushObject* brush);
    bool Empty() const { return kind_ == Kind::None; }
    bool IsSolid() const { return kind_ == Kind::Solid; }
    uint32_t SolidPixel() const { return solid_; }
    // False where the brush leaves the pixel alone (the gaps of a hatch in transparent mode).
    bool At(int x, int y, uint32_t& pixel) const;

  private:
    enum class Kind { None, Solid, Pattern, Hatch };
    Kind kind_ = Kind::None;
    uint32_t solid_ = 0;
    std::vector<uint32_t> pattern_;
    int width_ = 0;
    int height_ = 0;
    int originX_ = 0;
    int originY_ = 0;
    int hatch_ = 0;
    uint32_t background_ = 0;
    bool opaque_ = false;
};

// A pen realised for one DC. Its dash pattern runs on across the segments of one figure.
class PenPaint {
  public:
    PenPaint(const DrawScope& scope, const PenObject* pen);
    bool Empty() const { return none_; }
    int Width() const { return width_; }
    uint32_t Pixel() const { return pixel_; }
    bool InsideFrame() const { return insideFrame_; }
    bool Styled() const { return !dashes_.empty(); }
    // Draws from `from` to `to` without the end point.
    void Line(DrawScope& scope, POINT from, POINT to);
    // One point of the pen (a square of its width), through the DC's ROP2 mode.
    void Plot(DrawScope& scope, int x, int y, uint32_t pixel) const;

  private:
    bool none_ = true;
    uint32_t pixel_ = 0;
    int width_ = 1;
    bool insideFrame_ = false;
    int rop2_ = R2_COPYPEN;
    std::vector<int> dashes_;  // on and off lengths; empty for a solid pen
    bool opaqueGaps_ = false;
    uint32_t gapPixel_ = 0;
    int phase_ = 0;
};

// Fills with one pixel value, ignoring the ROP2 mode: edges, frame controls, text backgrounds.
void FillSolid(DrawScope& scope, const RECT& area, uint32_t pixel);
// Fills a row through the ROP2 mode with a brush: the insides of shapes.
void FillRowWithBrush(DrawScope& scope, const BrushPaint& brush, int y, int x0, int x1);
BrushObject* ResolveBrush(HBRUSH brush);  // also takes (HBRUSH)(COLOR_xxx + 1)

}  // namespace platform::gdi
