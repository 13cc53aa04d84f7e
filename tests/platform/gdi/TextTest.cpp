#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "TestCanvas.h"
#include "platform/gdi/FontCache.h"
#include "platform/win32.h"

namespace {

const COLORREF kWhite = RGB(255, 255, 255);

// The font as the program makes it: character height -12 in "ＭＳ Ｐゴシック" (MS P Gothic in full-width letters).
HFONT JapaneseFont(int height = -12) {
    return CreateFontA(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                       DEFAULT_QUALITY, DEFAULT_PITCH, "ＭＳ Ｐゴシック");
}

LOGFONTA LogFontOf(HFONT font) {
    LOGFONTA lf{};
    GetObjectA(font, sizeof lf, &lf);
    return lf;
}

// Text drawn in black on a white canvas, as the picture of its dark pixels.
std::string Render(HFONT font, const char* text, int width = 40, int height = 20) {
    TestCanvas canvas(width, height);
    SelectObject(canvas.Dc(), font);
    TextOutA(canvas.Dc(), 2, 2, text, static_cast<int>(std::strlen(text)));
    std::string picture;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) picture += GetRValue(canvas.At(x, y)) < 128 ? '#' : '.';
    SelectObject(canvas.Dc(), GetStockObject(SYSTEM_FONT));
    return picture;
}

int Dark(const std::string& picture) { return static_cast<int>(std::count(picture.begin(), picture.end(), '#')); }

SIZE Extent(HDC dc, const char* text) {
    SIZE size{};
    GetTextExtentPoint32A(dc, text, static_cast<int>(std::strlen(text)), &size);
    return size;
}

}  // namespace

TEST(GdiText, JapaneseFaceNameResolvesToAJapaneseFontAndDrawsItsCharacters) {
    HFONT font = JapaneseFont();
    platform::gdi::FontInstance& instance = platform::gdi::InstanceFor(LogFontOf(font));
    // The installed IPA P Gothic, not the Latin face fontconfig would give for that name on its own.
    EXPECT_EQ(instance.Family(), "IPAPGothic") << instance.File();
    for (char32_t c : std::u32string(U"プレイ再生形態")) EXPECT_TRUE(instance.FaceHas(c));

    std::string play = Render(font, "プレイ");
    EXPECT_GT(Dark(play), 30);
    std::string first = Render(font, "再"), second = Render(font, "生");
    EXPECT_GT(Dark(first), 10);
    EXPECT_GT(Dark(second), 10);
    EXPECT_NE(first, second);  // two kanji, two shapes: not the same box twice
    DeleteObject(font);
}

TEST(GdiText, FacesWithoutACharacterBorrowItFromOneThatHasIt) {
    HFONT latin = CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "MS Sans Serif");
    platform::gdi::FontInstance& instance = platform::gdi::InstanceFor(LogFontOf(latin));
    EXPECT_FALSE(instance.FaceHas(U'再')) << instance.Family();
    // Drawn from another face, the kanji is not the mark for a missing glyph (U+0378 is unassigned everywhere).
    std::string kanji = Render(latin, "再"), missing = Render(latin, "\u0378");
    EXPECT_GT(Dark(kanji), 10);
    EXPECT_NE(kanji, missing);
    DeleteObject(latin);

    // Bytes that are no UTF-8 draw a replacement mark, and measure like one.
    HFONT font = JapaneseFont();
    EXPECT_GT(Dark(Render(font, "\xff")), 3);
    TestCanvas canvas(4, 4);
    SelectObject(canvas.Dc(), font);
    EXPECT_EQ(Extent(canvas.Dc(), "\xff").cx, Extent(canvas.Dc(), "\xef\xbf\xbd").cx);
    EXPECT_EQ(Extent(canvas.Dc(), "\xe5\x86").cx, 2 * Extent(canvas.Dc(), "\xef\xbf\xbd").cx);  // a cut character
    SelectObject(canvas.Dc(), GetStockObject(SYSTEM_FONT));
    DeleteObject(font);
}

TEST(GdiText, AFileNamesCarriedCharactersDrawAsThemselves) {
    // A backslash in a file name reads as U+F05C in the program and draws as a backslash; a control character
    // (U+F000 plus its code) draws as its picture from the U+2400 block, which is not an empty space.
    HFONT font = JapaneseFont();
    EXPECT_EQ(Render(font, "a\uF05Cb"), Render(font, "a\\b"));
    EXPECT_EQ(Render(font, "a\uF009b"), Render(font, "a\u2409b"));
    EXPECT_NE(Render(font, "a\uF009b"), Render(font, "ab"));
    TestCanvas canvas(4, 4);
    SelectObject(canvas.Dc(), font);
    EXPECT_EQ(Extent(canvas.Dc(), "a\uF05Cb").cx, Extent(canvas.Dc(), "a\\b").cx);
    SelectObject(canvas.Dc(), GetStockObject(SYSTEM_FONT));
    DeleteObject(font);
}

TEST(GdiText, MetricsAndExtents) {
    HFONT font = JapaneseFont();
    TestCanvas canvas(4, 4);
    SelectObject(canvas.Dc(), font);
    TEXTMETRICA tm{};
    ASSERT_TRUE(GetTextMetricsA(canvas.Dc(), &tm));
    EXPECT_GE(tm.tmHeight, 12);
    EXPECT_LE(tm.tmHeight, 16);
    EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
    EXPECT_GT(tm.tmAveCharWidth, 0);
    EXPECT_EQ(tm.tmCharSet, SHIFTJIS_CHARSET);
    EXPECT_EQ(tm.tmWeight, FW_NORMAL);

    SIZE two = Extent(canvas.Dc(), "再生"), four = Extent(canvas.Dc(), "再生形態");
    EXPECT_GT(two.cx, 12);
    EXPECT_GT(four.cx, two.cx + 12);
    EXPECT_EQ(four.cy, tm.tmHeight);
    EXPECT_EQ(Extent(canvas.Dc(), "").cx, 0);

    // A positive height asks for the cell height.
    HFONT cell = JapaneseFont(20);
    SelectObject(canvas.Dc(), cell);
    GetTextMetricsA(canvas.Dc(), &tm);
    EXPECT_NEAR(tm.tmHeight, 20, 1);
    SelectObject(canvas.Dc(), GetStockObject(SYSTEM_FONT));
    DeleteObject(cell);
    DeleteObject(font);
}

TEST(GdiText, WordBreakWrapsLatinAtSpacesAndJapaneseAnywhere) {
    HFONT font = JapaneseFont();
    TestCanvas canvas(4, 4);
    SelectObject(canvas.Dc(), font);
    TEXTMETRICA tm{};
    GetTextMetricsA(canvas.Dc(), &tm);
    int wordWidth = Extent(canvas.Dc(), "play").cx;

    RECT r{0, 0, wordWidth + 4, 0};
    const char* latin = "play play play";
    EXPECT_EQ(DrawTextA(canvas.Dc(), latin, -1, &r, DT_CALCRECT | DT_WORDBREAK), 3 * tm.tmHeight);
    EXPECT_EQ(r.bottom, 3 * tm.tmHeight);
    EXPECT_LE(r.right, wordWidth + 4);

    int kanji = Extent(canvas.Dc(), "再").cx;
    RECT j{0, 0, 3 * kanji, 0};
    EXPECT_EQ(DrawTextA(canvas.Dc(), "再生形態再生形態", -1, &j, DT_CALCRECT | DT_WORDBREAK), 3 * tm.tmHeight);
    // A closing mark does not start a line: "再生。" moves on whole.
    RECT k{0, 0, 2 * kanji, 0};
    EXPECT_EQ(DrawTextA(canvas.Dc(), "再生。", -1, &k, DT_CALCRECT | DT_WORDBREAK), 2 * tm.tmHeight);

    // A word longer than the line is not broken; the rectangle widens instead.
    RECT narrow{0, 0, wordWidth / 2, 0};
    EXPECT_EQ(DrawTextA(canvas.Dc(), "play", -1, &narrow, DT_CALCRECT | DT_WORDBREAK), tm.tmHeight);
    EXPECT_EQ(narrow.right, wordWidth);
    // Without DT_WORDBREAK only line breaks make lines; a single line ignores them.
    RECT lines{0, 0, 1, 0};
    EXPECT_EQ(DrawTextA(canvas.Dc(), "a\nb\r\nc", -1, &lines, DT_CALCRECT), 3 * tm.tmHeight);
    EXPECT_EQ(DrawTextA(canvas.Dc(), "a\nb\r\nc", -1, &lines, DT_CALCRECT | DT_SINGLELINE), tm.tmHeight);
    RECT empty{0, 0, 10, 10};
    EXPECT_EQ(DrawTextA(canvas.Dc(), "", 0, &empty, DT_CALCRECT), 0);
    SelectObject(canvas.Dc(), GetStockObject(SYSTEM_FONT));
    DeleteObject(font);
}

TEST(GdiText, SingleLineCentresAndEllipsisFits) {
    HFONT font = JapaneseFont();
    TestCanvas canvas(80, 30);
    HDC dc = canvas.Dc();
    SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    RECT r{0, 0, 80, 30};
    int offset = DrawTextA(dc, "再生", -1, &r, DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_NOPREFIX);
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    EXPECT_EQ(offset, (30 - tm.tmHeight) / 2 + tm.tmHeight);
    RECT ink{};
    ASSERT_GT(canvas.CountNot(kWhite, &ink), 0);
    EXPECT_NEAR((ink.left + ink.right) / 2.0, 40, 2);
    EXPECT_NEAR((ink.top + ink.bottom) / 2.0, 15, 3);

    // The ellipsis keeps the text inside the rectangle.
    TestCanvas clipped(80, 20);
    SelectObject(clipped.Dc(), font);
    int threeKanji = Extent(clipped.Dc(), "再生形").cx;
    RECT small{0, 0, threeKanji, 20};
    DrawTextA(clipped.Dc(), "再生形態再生形態", -1, &small, DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOCLIP);
    clipped.CountNot(kWhite, &ink);
    EXPECT_LE(ink.right, threeKanji);
    EXPECT_GT(ink.right, threeKanji / 2);
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
    SelectObject(clipped.Dc(), GetStockObject(SYSTEM_FONT));
    DeleteObject(font);
}

TEST(GdiText, PrefixCharactersAreUnderlinedUnlessAskedNotTo) {
    HFONT font = JapaneseFont();
    TestCanvas canvas(4, 4);
    SelectObject(canvas.Dc(), font);
    RECT withPrefix{0, 0, 100, 0}, noPrefix{0, 0, 100, 0};
    DrawTextA(canvas.Dc(), "&Play && stop", -1, &withPrefix, DT_CALCRECT | DT_SINGLELINE);
    DrawTextA(canvas.Dc(), "Play & stop", -1, &noPrefix, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_EQ(withPrefix.right, noPrefix.right);

    TestCanvas marked(40, 20), plain(40, 20);
    for (TestCanvas* c : {&marked, &plain}) SelectObject(c->Dc(), font);
    RECT r{2, 2, 40, 20};
    DrawTextA(marked.Dc(), "&P", -1, &r, DT_SINGLELINE);
    DrawTextA(plain.Dc(), "P", -1, &r, DT_SINGLELINE);
    RECT markedInk{}, plainInk{};
    marked.CountNot(kWhite, &markedInk);
    plain.CountNot(kWhite, &plainInk);
    EXPECT_GT(markedInk.bottom, plainInk.bottom);  // the underline below the letter
    for (TestCanvas* c : {&marked, &plain}) SelectObject(c->Dc(), GetStockObject(SYSTEM_FONT));
    DeleteObject(font);
}

TEST(GdiText, OpaqueBackgroundAndAlignment) {
    HFONT font = JapaneseFont();
    TestCanvas canvas(60, 20, RGB(0, 128, 0));
    HDC dc = canvas.Dc();
    SelectObject(dc, font);
    SetBkColor(dc, RGB(0, 0, 128));
    SetTextColor(dc, RGB(255, 255, 0));
    TextOutA(dc, 0, 0, "ab", 2);
    EXPECT_EQ(canvas.At(0, 0), RGB(0, 0, 128));  // the cell is filled
    SIZE ab = Extent(dc, "ab");
    EXPECT_EQ(canvas.At(ab.cx, 0), RGB(0, 128, 0));

    // Aligned by its bottom-right corner, the text ends at the point.
    RECT ink{};
    TestCanvas probe(60, 20, RGB(0, 128, 0));
    SelectObject(probe.Dc(), font);
    SetTextColor(probe.Dc(), RGB(255, 255, 0));
    SetBkMode(probe.Dc(), TRANSPARENT);
    SetTextAlign(probe.Dc(), TA_RIGHT | TA_BOTTOM);
    TextOutA(probe.Dc(), 60, 20, "ab", 2);
    probe.CountNot(RGB(0, 128, 0), &ink);
    EXPECT_LE(ink.right, 60);
    EXPECT_GE(ink.left, 60 - ab.cx);
    EXPECT_GE(ink.top, 20 - ab.cy);
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
    SelectObject(probe.Dc(), GetStockObject(SYSTEM_FONT));
    DeleteObject(font);
}
