// The folder browser's shared drawing: the text line height of a font, and a glyph placed on a line with its
// background showing the line's brush.

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

#include "browse/LineGlyphs.h"
#include "platform/testing/Desktop.h"
#include "runtime/Bitmap.h"

namespace {

constexpr std::pair<char, TColor> kLetters[] = {{'m', clFuchsia}, {'#', clBlack}, {'y', clYellow}, {'r', clRed},
                                                {'N', clNavy},    {'.', clWhite}, {'g', clGreen}};

std::string Picture(TBitmap& bitmap) {
    std::string picture;
    for (int y = 0; y < bitmap.Height(); ++y) {
        for (int x = 0; x < bitmap.Width(); ++x) {
            char letter = '?';
            for (auto [mark, color] : kLetters)
                if (color == bitmap.Canvas().Pixels(x, y)) letter = mark;
            picture += letter;
        }
        picture += '\n';
    }
    return picture;
}

void Paint(TBitmap& bitmap, std::initializer_list<std::string_view> rows) {
    int y = 0;
    for (std::string_view row : rows) {
        for (int x = 0; x < static_cast<int>(row.size()); ++x)
            for (auto [mark, color] : kLetters)
                if (mark == row[static_cast<size_t>(x)]) bitmap.Canvas().SetPixels(x, y, color);
        ++y;
    }
}

// A navy line (the player's lists) of the bitmap's width, rows top to bottom.
TBitmap& NavyLine(TBitmap& line) {
    line.Canvas().Brush().SetColor(clNavy);
    line.Canvas().FillRect(RECT{0, 0, line.Width(), line.Height()});
    return line;
}

}  // namespace

TEST(LineGlyphs, FontLineHeightIsTheHeightOfALineOfText) {
    platform::testing::UseHeadlessDisplay();
    TFont ui;  // 12-pixel characters: the cell adds the font's internal leading
    TBitmap probe(10, 10);
    probe.Canvas().Font().Assign(ui);
    EXPECT_EQ(FontLineHeight(ui), probe.Canvas().TextHeight("Ag"));
    EXPECT_GT(FontLineHeight(ui), 12);

    TFont large;
    large.SetHeight(-24);
    probe.Canvas().Font().Assign(large);
    EXPECT_EQ(FontLineHeight(large), probe.Canvas().TextHeight("Ag"));
    EXPECT_GT(FontLineHeight(large), 24);
}

TEST(LineGlyphs, AGlyphIsCentredAtItsOffsetAndItsBackgroundShowsTheBrush) {
    // Fuchsia at the bottom left is the background wherever it appears, also inside the picture.
    TBitmap glyph(3, 3);
    Paint(glyph, {"#y#", "rmr", "mgg"});

    TBitmap line(8, 7);
    NavyLine(line);
    DrawLineGlyph(line.Canvas(), RECT{1, 1, 8, 7}, 2, glyph);  // (1 + 7 - 3) / 2 = 2
    EXPECT_EQ(Picture(line),
              "NNNNNNNN\n"
              "NNNNNNNN\n"
              "NNN#y#NN\n"
              "NNNrNrNN\n"
              "NNNNggNN\n"
              "NNNNNNNN\n"
              "NNNNNNNN\n");

    // A line reaching above the surface: (-4 + 2 - 3) / 2 is -2 toward zero (rounding down would give -3 and
    // leave nothing of the glyph on the surface), so the glyph's bottom row lands on row 0.
    TBitmap clipped(5, 3);
    NavyLine(clipped);
    DrawLineGlyph(clipped.Canvas(), RECT{0, -4, 5, 2}, 1, glyph);
    EXPECT_EQ(Picture(clipped),
              "NNggN\n"
              "NNNNN\n"
              "NNNNN\n");

    TBitmap empty;
    DrawLineGlyph(line.Canvas(), RECT{0, 0, 8, 7}, 0, empty);  // nothing to draw, and no failure
}
