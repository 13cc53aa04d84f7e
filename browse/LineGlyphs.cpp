#include "browse/LineGlyphs.h"

namespace {

// Glyphs are colour bitmaps; a two-colour one takes white as its background, as every transparent bitmap does.
TColor BackgroundOf(const TBitmap& glyph) {
    const uint32_t* bottom = glyph.ScanLine(glyph.Height() - 1);
    if (!bottom) return clWhite;
    uint32_t pixel = bottom[0];  // 0x00RRGGBB
    return static_cast<TColor>(RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF));
}

}  // namespace

int FontLineHeight(const TFont& font) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font.Handle());
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return metrics.tmHeight;
}

void DrawLineGlyph(TCanvas& canvas, const RECT& line, int offset, const TBitmap& glyph) {
    if (glyph.Empty()) return;
    int width = glyph.Width(), height = glyph.Height();
    int x = line.left + offset;
    int y = (line.top + line.bottom - height) / 2;  // C++ division truncates toward zero, as the rule asks
    canvas.BrushCopy(RECT{x, y, x + width, y + height}, glyph, RECT{0, 0, width, height}, BackgroundOf(glyph));
}
