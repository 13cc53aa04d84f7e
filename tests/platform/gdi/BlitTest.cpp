#include <gtest/gtest.h>

#include "TestCanvas.h"
#include "platform/win32.h"

namespace {

const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kBlack = RGB(0, 0, 0);
const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kBlue = RGB(0, 0, 255);
const COLORREF kFace = RGB(192, 192, 192);
const COLORREF kShadow = RGB(128, 128, 128);
const COLORREF kOlive = RGB(128, 128, 0);

// Draws rows of letters: '#' black, 'r' red, 'o' olive, '.' white.
void Paint(TestCanvas& canvas, std::initializer_list<const char*> rows) {
    int y = 0;
    for (const char* row : rows) {
        for (int x = 0; row[x]; ++x) {
            COLORREF color = row[x] == '#' ? kBlack : row[x] == 'r' ? kRed : row[x] == 'o' ? kOlive : kWhite;
            SetPixel(canvas.Dc(), x, y, color);
        }
        ++y;
    }
}

}  // namespace

TEST(GdiBlits, ColourAndMonochromeConvertAsWindowsDoes) {
    TestCanvas colour(4, 1);
    Paint(colour, {"r#.r"});
    TestCanvas mono(4, 1, kWhite, true);
    // Colour to monochrome: the source's background colour becomes white, everything else black.
    SetBkColor(colour.Dc(), kRed);
    BitBlt(mono.Dc(), 0, 0, 4, 1, colour.Dc(), 0, 0, SRCCOPY);
    EXPECT_EQ(mono.Picture({{kWhite, 'W'}, {kBlack, 'B'}}), "WBBW\n");

    // Monochrome to colour: black takes the destination's text colour, white its background colour.
    TestCanvas target(4, 1);
    SetTextColor(target.Dc(), kBlue);
    SetBkColor(target.Dc(), kFace);
    BitBlt(target.Dc(), 0, 0, 4, 1, mono.Dc(), 0, 0, SRCCOPY);
    EXPECT_EQ(target.Picture({{kBlue, 'b'}, {kFace, 'F'}}), "FbbF\n");

    // Brushes and pens on a monochrome bitmap become the nearer of black and white.
    SelectObject(mono.Dc(), GetStockObject(LTGRAY_BRUSH));
    PatBlt(mono.Dc(), 0, 0, 2, 1, PATCOPY);
    SelectObject(mono.Dc(), GetStockObject(DKGRAY_BRUSH));
    PatBlt(mono.Dc(), 2, 0, 2, 1, PATCOPY);
    EXPECT_EQ(mono.Picture({{kWhite, 'W'}, {kBlack, 'B'}}), "WWBB\n");
}

TEST(GdiBlits, EmbossedDisabledGlyphThroughAMask) {
    // The glyph: a black outline around a red fill, on olive.
    TestCanvas glyph(5, 5);
    Paint(glyph, {"ooooo", "o###o", "o#r#o", "o###o", "ooooo"});
    // A mask whose set pixels are exactly the black ones.
    TestCanvas mask(5, 5, kWhite, true);
    SetBkColor(glyph.Dc(), kBlack);
    BitBlt(mask.Dc(), 0, 0, 5, 5, glyph.Dc(), 0, 0, SRCCOPY);

    TestCanvas result(6, 6, kFace);
    HDC dc = result.Dc();
    // Painting through the mask: where it is set, the source turns black and 0x00B8074A puts down the brush.
    SetTextColor(dc, kWhite);
    SetBkColor(dc, kBlack);
    HGDIOBJ old = SelectObject(dc, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
    ASSERT_TRUE(BitBlt(dc, 1, 1, 5, 5, mask.Dc(), 0, 0, 0x00B8074A));
    SelectObject(dc, GetSysColorBrush(COLOR_BTNSHADOW));
    ASSERT_TRUE(BitBlt(dc, 0, 0, 5, 5, mask.Dc(), 0, 0, 0x00B8074A));
    SelectObject(dc, old);
    EXPECT_EQ(result.Picture({{kFace, 'F'}, {kWhite, 'H'}, {kShadow, 'S'}}),
              "FFFFFF\n"
              "FSSSFF\n"
              "FSHSHF\n"
              "FSSSHF\n"
              "FFHHHF\n"
              "FFFFFF\n");

    // 0x00E20746 is the same with the roles of the mask's values swapped.
    TestCanvas swapped(5, 5, kFace);
    SetTextColor(swapped.Dc(), kBlack);
    SetBkColor(swapped.Dc(), kWhite);
    SelectObject(swapped.Dc(), GetSysColorBrush(COLOR_BTNSHADOW));
    BitBlt(swapped.Dc(), 0, 0, 5, 5, mask.Dc(), 0, 0, 0x00E20746);
    EXPECT_EQ(swapped.At(1, 1), kShadow);
    EXPECT_EQ(swapped.At(2, 2), kFace);
}

TEST(GdiBlits, AnyTernaryRasterOperationWorks) {
    // 0x96 is pattern XOR source XOR destination; 0x1E is pattern XOR (source OR destination).
    TestCanvas source(1, 1, RGB(0x0F, 0x33, 0x55));
    TestCanvas canvas(2, 1, RGB(0xF0, 0x0F, 0x3C));
    HBRUSH brush = CreateSolidBrush(RGB(0xAA, 0xCC, 0x01));
    SelectObject(canvas.Dc(), brush);
    BitBlt(canvas.Dc(), 0, 0, 1, 1, source.Dc(), 0, 0, 0x00960169);
    BitBlt(canvas.Dc(), 1, 0, 1, 1, source.Dc(), 0, 0, 0x001E01A8);
    EXPECT_EQ(canvas.At(0, 0), RGB(0xAA ^ 0x0F ^ 0xF0, 0xCC ^ 0x33 ^ 0x0F, 0x01 ^ 0x55 ^ 0x3C));
    EXPECT_EQ(canvas.At(1, 0), RGB(0xAA ^ (0x0F | 0xF0), 0xCC ^ (0x33 | 0x0F), 0x01 ^ (0x55 | 0x3C)));
    SelectObject(canvas.Dc(), GetStockObject(WHITE_BRUSH));
    DeleteObject(brush);

    EXPECT_TRUE(PatBlt(canvas.Dc(), 0, 0, 2, 1, DSTINVERT));
    EXPECT_EQ(canvas.At(0, 0),
              RGB(0xFF - (0xAA ^ 0x0F ^ 0xF0), 0xFF - (0xCC ^ 0x33 ^ 0x0F), 0xFF - (0x01 ^ 0x55 ^ 0x3C)));
    EXPECT_TRUE(PatBlt(canvas.Dc(), 0, 0, 2, 1, BLACKNESS));
    EXPECT_EQ(canvas.At(1, 0), kBlack);
    EXPECT_FALSE(PatBlt(canvas.Dc(), 0, 0, 2, 1, SRCCOPY));  // PatBlt has no source
}

TEST(GdiBlits, TransparentBltLeavesOneColourOut) {
    TestCanvas source(3, 2);
    Paint(source, {"o#o", "rro"});
    TestCanvas canvas(6, 4, kFace);
    ASSERT_TRUE(TransparentBlt(canvas.Dc(), 0, 0, 6, 4, source.Dc(), 0, 0, 3, 2, kOlive));
    EXPECT_EQ(canvas.Picture({{kFace, 'F'}, {kBlack, '#'}, {kRed, 'r'}}),
              "FF##FF\n"
              "FF##FF\n"
              "rrrrFF\n"
              "rrrrFF\n");
    EXPECT_FALSE(TransparentBlt(canvas.Dc(), 0, 0, -1, 4, source.Dc(), 0, 0, 3, 2, kOlive));
}

TEST(GdiBlits, StretchMirrorsAndOverlappingCopiesReadTheOriginal) {
    TestCanvas source(3, 1);
    Paint(source, {"r#."});
    TestCanvas canvas(6, 1);
    StretchBlt(canvas.Dc(), 5, 0, -6, 1, source.Dc(), 0, 0, 3, 1, SRCCOPY);
    EXPECT_EQ(canvas.Picture({{kWhite, '.'}, {kBlack, '#'}, {kRed, 'r'}}), "..##rr\n");

    // Moving a row right by one inside the same bitmap copies what was there before the move.
    TestCanvas row(5, 1);
    Paint(row, {"r#..."});
    BitBlt(row.Dc(), 1, 0, 4, 1, row.Dc(), 0, 0, SRCCOPY);
    EXPECT_EQ(row.Picture({{kWhite, '.'}, {kBlack, '#'}, {kRed, 'r'}}), "rr#..\n");

    // Source pixels beyond the bitmap leave the destination alone.
    TestCanvas wide(4, 1, kFace);
    BitBlt(wide.Dc(), 0, 0, 4, 1, source.Dc(), 1, 0, SRCCOPY);
    EXPECT_EQ(wide.Picture({{kWhite, '.'}, {kBlack, '#'}, {kFace, 'F'}}), "#.FF\n");
}

TEST(GdiBlits, MaskBltChoosesTheOperationByTheMask) {
    TestCanvas source(3, 1, kRed);
    TestCanvas mask(3, 1, kWhite, true);
    SetPixel(mask.Dc(), 1, 0, kBlack);
    TestCanvas canvas(3, 1, kFace);
    ASSERT_TRUE(
        MaskBlt(canvas.Dc(), 0, 0, 3, 1, source.Dc(), 0, 0, mask.Bitmap(), 0, 0, MAKEROP4(SRCCOPY, 0x00AA0029)));
    EXPECT_EQ(canvas.Picture({{kRed, 'r'}, {kFace, 'F'}}), "rFr\n");
    EXPECT_FALSE(MaskBlt(canvas.Dc(), 0, 0, 3, 1, source.Dc(), 0, 0, source.Bitmap(), 0, 0, SRCCOPY));
}
