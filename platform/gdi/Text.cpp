// Fonts and single lines of text: CreateFontA, TextOutA, ExtTextOutA, the extent and metrics queries.

#include "platform/gdi/Text.h"

#include <cstring>
#include <memory>
#include <numeric>

#include "platform/gdi/FontCache.h"
#include "platform/gdi/Raster.h"
#include "platform/kernel/Names.h"

namespace platform::gdi {

int TextLine::Width() const { return std::accumulate(advances.begin(), advances.end(), 0); }

TextLine LayOut(FontInstance& font, std::u32string chars) {
    TextLine line;
    // A file name's backslash or control character, carried in a private-use character, shows as itself.
    for (char32_t& c : chars) c = kernel::ShownCharacter(c);
    line.advances.reserve(chars.size());
    for (char32_t c : chars) line.advances.push_back(font.GlyphOf(c).advance);
    line.underlined.assign(chars.size(), false);
    line.chars = std::move(chars);
    return line;
}

namespace {

void BlendGlyph(DrawScope& scope, const Glyph& glyph, int penX, int baseline, uint32_t color, RECT& touched) {
    if (glyph.width == 0 || glyph.height == 0) return;
    RECT box{penX + glyph.left, baseline - glyph.top, penX + glyph.left + glyph.width,
             baseline - glyph.top + glyph.height};
    Surface& pixels = scope.Pixels();
    const bool mono = scope.Mono();
    const uint32_t cr = (color >> 16) & 0xFF, cg = (color >> 8) & 0xFF, cb = color & 0xFF;
    scope.ForSpans(box, [&](int y, int x0, int x1) {
        const uint8_t* coverage =
            glyph.coverage.data() + static_cast<size_t>(y - box.top) * static_cast<size_t>(glyph.width);
        uint32_t* row = pixels.Row(y);
        for (int x = x0; x < x1; ++x) {
            uint32_t a = coverage[x - box.left];
            if (a == 0) continue;
            if (a == 255 || mono) {
                if (a >= 128 || !mono) row[x] = color;
                continue;
            }
            uint32_t d = row[x];
            uint32_t r = ((d >> 16) & 0xFF), g = ((d >> 8) & 0xFF), b = d & 0xFF;
            r = (r * (255 - a) + cr * a + 127) / 255;
            g = (g * (255 - a) + cg * a + 127) / 255;
            b = (b * (255 - a) + cb * a + 127) / 255;
            row[x] = (r << 16) | (g << 8) | b;
        }
    });
    touched = RectUnion(touched, box);
}

}  // namespace

void PaintLine(DrawScope& scope, FontInstance& font, const TextLine& line, int x, int top) {
    const TEXTMETRICA& metrics = font.Metrics();
    uint32_t color = scope.PixelOf(scope.Dc().state.textColor);
    int baseline = top + metrics.tmAscent;
    int pen = x;
    RECT touched{0, 0, 0, 0};
    for (size_t i = 0; i < line.chars.size(); ++i) {
        BlendGlyph(scope, font.GlyphOf(line.chars[i]), pen, baseline, color, touched);
        if (line.underlined[i]) {
            int y = baseline + font.UnderlineOffset();
            FillSolid(scope, {pen, y, pen + line.advances[i], y + font.LineThickness()}, color);
        }
        pen += line.advances[i];
    }
    if (metrics.tmUnderlined) {
        int y = baseline + font.UnderlineOffset();
        FillSolid(scope, {x, y, pen, y + font.LineThickness()}, color);
    }
    if (metrics.tmStruckOut) {
        int y = baseline - font.StrikeOutOffset();
        FillSolid(scope, {x, y, pen, y + font.LineThickness()}, color);
    }
    scope.Mark(touched);
}

}  // namespace platform::gdi

using namespace platform::gdi;

HFONT WINAPI CreateFontA(int cHeight, int cWidth, int cEscapement, int cOrientation, int cWeight, DWORD bItalic,
                         DWORD bUnderline, DWORD bStrikeOut, DWORD iCharSet, DWORD iOutPrecision, DWORD iClipPrecision,
                         DWORD iQuality, DWORD iPitchAndFamily, LPCSTR pszFaceName) {
    LOGFONTA font{};
    font.lfHeight = cHeight;
    font.lfWidth = cWidth;
    font.lfEscapement = cEscapement;
    font.lfOrientation = cOrientation;
    font.lfWeight = cWeight;
    font.lfItalic = static_cast<BYTE>(bItalic != 0);
    font.lfUnderline = static_cast<BYTE>(bUnderline != 0);
    font.lfStrikeOut = static_cast<BYTE>(bStrikeOut != 0);
    font.lfCharSet = static_cast<BYTE>(iCharSet);
    font.lfOutPrecision = static_cast<BYTE>(iOutPrecision);
    font.lfClipPrecision = static_cast<BYTE>(iClipPrecision);
    font.lfQuality = static_cast<BYTE>(iQuality);
    font.lfPitchAndFamily = static_cast<BYTE>(iPitchAndFamily);
    if (pszFaceName) std::strncpy(font.lfFaceName, pszFaceName, LF_FACESIZE - 1);
    return CreateFontIndirectA(&font);
}

HFONT WINAPI CreateFontIndirectA(const LOGFONTA* lplf) {
    if (!lplf) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto font = std::make_unique<FontObject>();
    font->logFont = *lplf;
    font->logFont.lfFaceName[LF_FACESIZE - 1] = '\0';
    return static_cast<HFONT>(AddObject(std::move(font)));
}

BOOL WINAPI TextOutA(HDC hdc, int x, int y, LPCSTR lpString, int c) {
    if (c < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return ExtTextOutA(hdc, x, y, 0, nullptr, lpString, static_cast<UINT>(c), nullptr);
}

BOOL WINAPI ExtTextOutA(HDC hdc, int x, int y, UINT options, const RECT* lprect, LPCSTR lpString, UINT c,
                        const INT* lpDx) {
    if (!lpString && c > 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DrawScope scope(hdc);
    if (!scope) return FALSE;
    DcState& state = scope.Dc().state;
    FontInstance& font = FontOf(scope.Dc());
    std::vector<int> bytes;
    TextLine line = LayOut(font, DecodeUtf8(std::string_view(lpString ? lpString : "", c), &bytes));
    if (lpDx) {
        for (size_t i = 0, at = 0; i < line.chars.size(); at += static_cast<size_t>(bytes[i]), ++i)
            line.advances[i] = std::accumulate(lpDx + at, lpDx + at + bytes[i], 0);
    }
    int width = line.Width();
    const TEXTMETRICA& metrics = font.Metrics();
    UINT align = state.textAlign;
    POINT at = (align & TA_UPDATECP) ? state.position : POINT{x, y};
    int left = at.x;
    if ((align & TA_CENTER) == TA_CENTER)
        left -= width / 2;
    else if (align & TA_RIGHT)
        left -= width;
    int top = at.y;
    if ((align & TA_BASELINE) == TA_BASELINE)
        top -= metrics.tmAscent;
    else if (align & TA_BOTTOM)
        top -= metrics.tmHeight;
    if (align & TA_UPDATECP) {
        if ((align & TA_CENTER) != TA_CENTER) state.position.x += (align & TA_RIGHT) ? -width : width;
    }
    if ((options & ETO_OPAQUE) && lprect) FillSolid(scope, scope.ToSurface(*lprect), scope.PixelOf(state.bkColor));
    if ((options & ETO_CLIPPED) && lprect) scope.LimitClip(scope.ToSurface(*lprect));
    POINT origin = scope.ToSurface(left, top);
    if (state.bkMode == OPAQUE)
        FillSolid(scope, {origin.x, origin.y, origin.x + width, origin.y + metrics.tmHeight},
                  scope.PixelOf(state.bkColor));
    PaintLine(scope, font, line, origin.x, origin.y);
    return TRUE;
}

BOOL WINAPI GetTextExtentPoint32A(HDC hdc, LPCSTR lpString, int c, LPSIZE psizl) {
    return GetTextExtentExPointA(hdc, lpString, c, 0, nullptr, nullptr, psizl);
}

BOOL WINAPI GetTextExtentExPointA(HDC hdc, LPCSTR lpszString, int cchString, int nMaxExtent, INT* lpnFit, INT* lpnDx,
                                  LPSIZE lpSize) {
    DcObject* dc = FindDc(hdc);
    if (!dc) return FALSE;
    if (cchString < 0 || (!lpszString && cchString > 0) || !lpSize) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    FontInstance& font = FontOf(*dc);
    std::vector<int> bytes;
    TextLine line = LayOut(
        font, DecodeUtf8(std::string_view(lpszString ? lpszString : "", static_cast<size_t>(cchString)), &bytes));
    // Counts and extents are by byte: every byte of a character gets the extent at that character's end.
    int extent = 0, fit = 0;
    bool fitting = true;
    for (size_t i = 0, at = 0; i < line.chars.size(); ++i) {
        extent += line.advances[i];
        if (fitting && lpnFit && extent > nMaxExtent) fitting = false;
        for (int k = 0; k < bytes[i]; ++k, ++at) {
            if (lpnDx) lpnDx[at] = extent;
            if (fitting) ++fit;
        }
    }
    if (lpnFit) *lpnFit = fit;
    *lpSize = SIZE{extent, font.Metrics().tmHeight};
    return TRUE;
}

BOOL WINAPI GetTextMetricsA(HDC hdc, LPTEXTMETRICA lptm) {
    DcObject* dc = FindDc(hdc);
    if (!dc || !lptm) return FALSE;
    *lptm = FontOf(*dc).Metrics();
    return TRUE;
}

int WINAPI GetTextFaceA(HDC hdc, int c, LPSTR lpName) {
    DcObject* dc = FindDc(hdc);
    if (!dc) return 0;
    FontInstance& font = FontOf(*dc);
    std::string face(font.LogFont().lfFaceName, strnlen(font.LogFont().lfFaceName, LF_FACESIZE));
    if (face.empty()) face = font.Family();
    if (!lpName) return static_cast<int>(face.size()) + 1;
    if (c <= 0) return 0;
    size_t copied = std::min(face.size(), static_cast<size_t>(c - 1));
    std::memcpy(lpName, face.data(), copied);
    lpName[copied] = '\0';
    return static_cast<int>(copied);
}
