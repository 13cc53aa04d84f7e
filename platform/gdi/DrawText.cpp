// DrawTextA: prefix characters, tabs, word breaking (Japanese text may break between any two characters, except
// before closing punctuation and after opening brackets), ellipses, alignment, and the measuring mode.

#include <algorithm>
#include <string_view>

#include "platform/gdi/FontCache.h"
#include "platform/gdi/Raster.h"
#include "platform/gdi/Text.h"

using namespace platform::gdi;

namespace {

constexpr std::u32string_view kNoBreakBefore =
    U"、。，．・：；？！゛゜ヽヾゝゞ々ー’”）〕］｝〉》」』】°′″℃ぁぃぅぇぉっゃゅょゎァィゥェォッャュョヮヵヶ)]},.!?:;";
constexpr std::u32string_view kNoBreakAfter = U"‘“（〔［｛〈《「『【([{";

bool IsSpace(char32_t c) { return c == ' ' || c == '\t' || c == 0x3000; }

// Characters of the scripts written without spaces, each of which may start a new line.
bool IsWide(char32_t c) {
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) || (c >= 0xAC00 && c <= 0xD7A3) ||
           (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFFEF) ||
           (c >= 0x20000 && c <= 0x3FFFD);
}

struct Layout {
    UINT format;
    int tabWidth;
};

// Whether a line may end just before chars[i].
bool CanBreakBefore(const TextLine& text, size_t i, UINT format) {
    char32_t previous = text.chars[i - 1], current = text.chars[i];
    if (IsSpace(current)) return false;
    if (IsSpace(previous)) return true;
    if (format & DT_NOFULLWIDTHCHARBREAK) return false;
    return (IsWide(previous) || IsWide(current)) && kNoBreakBefore.find(current) == std::u32string_view::npos &&
           kNoBreakAfter.find(previous) == std::u32string_view::npos;
}

int AdvanceAt(const Layout& layout, const TextLine& paragraph, size_t i, int x) {
    if (paragraph.chars[i] == '\t' && (layout.format & DT_EXPANDTABS))
        return (x / layout.tabWidth + 1) * layout.tabWidth - x;
    return paragraph.advances[i];
}

// The part [begin, end) of a paragraph as a line of its own: tabs advance to the next stop from the line's start.
// A line made by wrapping loses the spaces it ends with.
TextLine Piece(const Layout& layout, const TextLine& paragraph, size_t begin, size_t end, bool wrapped) {
    TextLine line;
    int x = 0;
    for (size_t i = begin; i < end; ++i) {
        int advance = AdvanceAt(layout, paragraph, i, x);
        line.chars.push_back(paragraph.chars[i]);
        line.advances.push_back(advance);
        line.underlined.push_back(paragraph.underlined[i]);
        x += advance;
    }
    while (wrapped && !line.chars.empty() && IsSpace(line.chars.back())) {
        line.chars.pop_back();
        line.advances.pop_back();
        line.underlined.pop_back();
    }
    return line;
}

void Wrap(const Layout& layout, const TextLine& paragraph, int width, std::vector<TextLine>& lines) {
    size_t n = paragraph.chars.size(), start = 0;
    if (n == 0) {
        lines.push_back(TextLine{});
        return;
    }
    while (start < n) {
        size_t end = n, lastBreak = 0;
        int x = 0;
        for (size_t i = start; i < n; ++i) {
            if (i > start && CanBreakBefore(paragraph, i, layout.format)) lastBreak = i;
            int advance = AdvanceAt(layout, paragraph, i, x);
            if (!IsSpace(paragraph.chars[i]) && i > start && x + advance > width) {
                if (lastBreak > start) {
                    end = lastBreak;
                } else {
                    // A word longer than the line is not broken: it runs on to the next place a line may end.
                    end = i + 1;
                    while (end < n && !CanBreakBefore(paragraph, end, layout.format)) ++end;
                }
                break;
            }
            x += advance;
        }
        lines.push_back(Piece(layout, paragraph, start, end, true));
        start = end;
        while (start < n && IsSpace(paragraph.chars[start])) ++start;
    }
}

void AddEllipsis(FontInstance& font, TextLine& line, int width) {
    if (line.Width() <= width) return;
    TextLine dots = LayOut(font, U"...");
    while (!line.chars.empty() && line.Width() + dots.Width() > width) {
        line.chars.pop_back();
        line.advances.pop_back();
        line.underlined.pop_back();
    }
    line.chars += dots.chars;
    line.advances.insert(line.advances.end(), dots.advances.begin(), dots.advances.end());
    line.underlined.insert(line.underlined.end(), dots.underlined.begin(), dots.underlined.end());
}

// Removes the "&" prefix marks: "&x" underlines x, "&&" is one "&".
TextLine Prefixed(FontInstance& font, const std::u32string& chars, UINT format) {
    std::u32string plain;
    std::vector<bool> underlined;
    for (size_t i = 0; i < chars.size(); ++i) {
        if (chars[i] == '&' && !(format & DT_NOPREFIX)) {
            if (i + 1 >= chars.size()) break;
            ++i;
            plain.push_back(chars[i]);
            underlined.push_back(chars[i] != '&' && !(format & DT_HIDEPREFIX));
            continue;
        }
        plain.push_back(chars[i]);
        underlined.push_back(false);
    }
    TextLine line = LayOut(font, std::move(plain));
    line.underlined = std::move(underlined);
    return line;
}

// The text's lines: one, or one for each paragraph, or as many as the width needs with DT_WORDBREAK.
std::vector<TextLine> BreakLines(const Layout& layout, const TextLine& all, int width) {
    std::vector<TextLine> lines;
    if (layout.format & DT_SINGLELINE) {
        lines.push_back(Piece(layout, all, 0, all.chars.size(), false));
        return lines;
    }
    size_t begin = 0;
    for (size_t i = 0; i <= all.chars.size(); ++i) {
        bool end = i == all.chars.size();
        if (!end && all.chars[i] != '\n' && all.chars[i] != '\r') continue;
        if (end && begin == i && !lines.empty()) break;  // a final line break starts no line of its own
        if (end && all.chars.empty()) break;
        TextLine paragraph;
        paragraph.chars = all.chars.substr(begin, i - begin);
        paragraph.advances.assign(all.advances.begin() + static_cast<ptrdiff_t>(begin),
                                  all.advances.begin() + static_cast<ptrdiff_t>(i));
        paragraph.underlined.assign(all.underlined.begin() + static_cast<ptrdiff_t>(begin),
                                    all.underlined.begin() + static_cast<ptrdiff_t>(i));
        if (layout.format & DT_WORDBREAK)
            Wrap(layout, paragraph, width, lines);
        else
            lines.push_back(Piece(layout, paragraph, 0, paragraph.chars.size(), false));
        if (!end && all.chars[i] == '\r' && i + 1 < all.chars.size() && all.chars[i + 1] == '\n') ++i;
        begin = i + 1;
    }
    return lines;
}

// Paints the lines in the rectangle, aligned as the format asks; the height of the text, as DrawTextA returns it.
int PaintLines(HDC hdc, FontInstance& font, const std::vector<TextLine>& lines, const RECT& rect, UINT format,
               int lineHeight) {
    DrawScope scope(hdc);
    if (!scope) return 0;
    if (!(format & DT_NOCLIP)) scope.LimitClip(scope.ToSurface(rect));
    const TEXTMETRICA& metrics = font.Metrics();
    int y = rect.top;
    if (format & DT_SINGLELINE) {
        if (format & DT_VCENTER)
            y = rect.top + (rect.bottom - rect.top - lineHeight) / 2;
        else if (format & DT_BOTTOM)
            y = rect.bottom - lineHeight;
    }
    const DcState& state = scope.Dc().state;
    for (const TextLine& line : lines) {
        int lineWidth = line.Width();
        int x = rect.left;
        if (format & DT_CENTER)
            x += (rect.right - rect.left - lineWidth) / 2;
        else if (format & DT_RIGHT)
            x = rect.right - lineWidth;
        POINT at = scope.ToSurface(x, y);
        if (state.bkMode == OPAQUE)
            FillSolid(scope, {at.x, at.y, at.x + lineWidth, at.y + metrics.tmHeight}, scope.PixelOf(state.bkColor));
        if (format & DT_PREFIXONLY) {
            // Only the underlines of the prefix characters.
            TextLine marks = line;
            for (char32_t& c : marks.chars) c = ' ';
            PaintLine(scope, font, marks, at.x, at.y);
        } else {
            PaintLine(scope, font, line, at.x, at.y);
        }
        y += lineHeight;
    }
    if ((format & DT_SINGLELINE) && (format & (DT_VCENTER | DT_BOTTOM))) return y - rect.top;
    return static_cast<int>(lines.size()) * lineHeight;
}

}  // namespace

int WINAPI DrawTextA(HDC hdc, LPCSTR lpchText, int cchText, LPRECT lprc, UINT format) {
    DcObject* dc = FindDc(hdc);
    if (!dc) return 0;
    if (!lprc || (!lpchText && cchText != 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::string_view text = !lpchText     ? std::string_view()
                            : cchText < 0 ? std::string_view(lpchText)
                                          : std::string_view(lpchText, static_cast<size_t>(cchText));
    FontInstance& font = FontOf(*dc);
    const TEXTMETRICA& metrics = font.Metrics();
    int tabChars = 8;
    if (format & DT_TABSTOP) {
        // The tab size takes the byte that otherwise holds DT_NOCLIP to DT_NOPREFIX, as on Windows.
        tabChars = static_cast<int>((format >> 8) & 0xFF);
        if (tabChars == 0) tabChars = 8;
        format &= ~0xFF00u;
    }
    Layout layout{format, tabChars * std::max<int>(1, metrics.tmAveCharWidth)};
    int lineHeight = metrics.tmHeight + ((format & DT_EXTERNALLEADING) ? metrics.tmExternalLeading : 0);
    int width = lprc->right - lprc->left;

    std::vector<TextLine> lines;
    if (!text.empty()) lines = BreakLines(layout, Prefixed(font, DecodeUtf8(text), format), width);
    if (format & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS | DT_PATH_ELLIPSIS))
        for (TextLine& line : lines) AddEllipsis(font, line, width);

    int height = static_cast<int>(lines.size()) * lineHeight;
    if (format & DT_CALCRECT) {
        int widest = 0;
        for (const TextLine& line : lines) widest = std::max(widest, line.Width());
        lprc->right = lprc->left + widest;
        lprc->bottom = lprc->top + height;
        return height;
    }
    return PaintLines(hdc, font, lines, *lprc, format, lineHeight);
}
