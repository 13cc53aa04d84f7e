#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

#include "platform/win32.h"
#include "runtime/Bitmap.h"
#include "runtime/Canvas.h"
#include "runtime/Exception.h"

namespace {

constexpr TColor kRose = 0x8080FF;       // a colour of the picture
constexpr TColor kNearOlive = 0x018080;  // one step from olive: must never count as olive

// Pictures of pixels, one letter a pixel.
constexpr std::pair<char, TColor> kLetters[] = {{'o', clOlive}, {'n', kNearOlive}, {'r', kRose},    {'#', clBlack},
                                                {'.', clWhite}, {'N', clNavy},     {'S', clSilver}, {'R', clRed},
                                                {'L', clLime},  {'B', clBlue}};

// Rows ending in "\n"; colours without a letter show as '?'.
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

int CountDark(TBitmap& bitmap, int fromX = 0) {
    int dark = 0;
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = fromX; x < bitmap.Width(); ++x)
            if (GetGValue(static_cast<COLORREF>(bitmap.Canvas().Pixels(x, y))) < 128) ++dark;
    return dark;
}

TEST(Canvas, BrushFillsWithItsColourWithSystemColoursResolved) {
    TBitmap bitmap(6, 4);
    TCanvas& canvas = bitmap.Canvas();
    canvas.Brush().SetColor(clBtnFace);
    canvas.FillRect(RECT{1, 1, 4, 3});
    canvas.Brush().SetColor(clNavy);
    canvas.FillRect(RECT{4, 0, 6, 1});
    TBitmap pattern(2, 1);
    Paint(pattern, {"r#"});
    canvas.Brush().SetBitmap(&pattern);
    Paint(pattern, {"oo"});  // the brush has a copy of its own
    canvas.FillRect(RECT{0, 3, 6, 4});
    canvas.Brush().SetBitmap(nullptr);
    canvas.Brush().SetStyle(bsClear);
    canvas.FillRect(RECT{0, 0, 6, 4});  // a clear brush paints nothing
    EXPECT_EQ(Picture(bitmap),
              "....NN\n"
              ".SSS..\n"
              ".SSS..\n"
              "r#r#r#\n");
}

TEST(Canvas, ShapesAreOutlinedWithThePenAndFilledWithTheBrush) {
    TBitmap bitmap(7, 6);
    TCanvas& canvas = bitmap.Canvas();
    canvas.Pen().SetColor(clRed);
    canvas.Brush().SetColor(clLime);
    canvas.Rectangle(0, 0, 5, 4);
    canvas.Pen().SetColor(clBlue);
    canvas.MoveTo(0, 5);
    canvas.LineTo(7, 5);
    EXPECT_EQ(canvas.PenPos().x, 7);
    EXPECT_EQ(Picture(bitmap),
              "RRRRR..\n"
              "RLLLR..\n"
              "RLLLR..\n"
              "RRRRR..\n"
              ".......\n"
              "BBBBBBB\n");
}

TEST(Canvas, JapaneseTextIsDrawnInTheFontAndMeasuredByIt) {
    TBitmap bitmap(90, 20);
    TCanvas& canvas = bitmap.Canvas();
    canvas.Font().SetColor(clBlack);
    canvas.Brush().SetStyle(bsClear);
    canvas.TextOut(2, 2, "プレイ");
    EXPECT_GT(CountDark(bitmap), 30);
    int one = canvas.TextWidth("プ"), three = canvas.TextWidth("プレイ");
    EXPECT_GT(one, 4);
    EXPECT_GT(three, 2 * one);
    EXPECT_GE(canvas.TextHeight("プレイ"), 12);
    canvas.Font().SetHeight(-20);
    EXPECT_GT(canvas.TextWidth("プレイ"), three) << "a changed font is selected again before measuring";

    // A solid brush is the text's background; TextRect keeps everything inside its rectangle.
    TBitmap clipped(90, 20);
    TCanvas& other = clipped.Canvas();
    other.Font().SetColor(clBlack);
    other.Brush().SetColor(clAqua);
    other.TextRect(RECT{0, 0, 20, 20}, 2, 2, "プレイプレイプレイ");
    EXPECT_GT(CountDark(clipped), 20);
    EXPECT_EQ(CountDark(clipped, 20), 0);
    EXPECT_EQ(other.Pixels(0, 0), clAqua) << "the rectangle is filled with the brush";
    EXPECT_EQ(other.Pixels(20, 0), clWhite);
}

TEST(Canvas, TransparentBitmapLeavesItsTransparentColourOut) {
    TBitmap glyph(3, 2);
    Paint(glyph, {"ron", "oo#"});
    TBitmap target(4, 3);
    target.Canvas().Brush().SetColor(clSilver);
    target.Canvas().FillRect(RECT{0, 0, 4, 3});

    glyph.SetTransparent(true);  // automatic: the bottom-left pixel, olive
    target.Canvas().Draw(1, 1, glyph);
    EXPECT_EQ(Picture(target),
              "SSSS\n"
              "SrSn\n"
              "SSS#\n");

    glyph.SetTransparentColor(kRose);
    EXPECT_EQ(glyph.TransparentMode(), tmFixed);
    target.Canvas().Draw(0, 0, glyph);
    EXPECT_EQ(Picture(target),
              "SonS\n"
              "oo#n\n"
              "SSS#\n");

    glyph.SetTransparent(false);
    target.Canvas().Draw(1, 1, glyph);
    EXPECT_EQ(Picture(target),
              "SonS\n"
              "oron\n"
              "Soo#\n");
}

TEST(Canvas, BrushCopyPaintsExactlyTheTransparentColourWithTheBrush) {
    TBitmap glyph(4, 2);
    Paint(glyph, {"o#no", "or.o"});
    TBitmap line(6, 4);
    TCanvas& canvas = line.Canvas();
    canvas.Brush().SetColor(clHighlight);  // a selected line of the file list
    canvas.FillRect(RECT{0, 0, 6, 4});
    canvas.BrushCopy(RECT{1, 1, 5, 3}, glyph, RECT{0, 0, 4, 2}, glyph.TransparentColor());
    EXPECT_EQ(Picture(line),
              "NNNNNN\n"
              "NN#nNN\n"
              "NNr.NN\n"
              "NNNNNN\n");

    // Onto a white line whose brush is silver: the brush shows, not what was under it.
    TBitmap plain(4, 2);
    plain.Canvas().Brush().SetColor(clSilver);
    plain.Canvas().BrushCopy(RECT{0, 0, 4, 2}, glyph, RECT{0, 0, 4, 2}, clOlive);
    EXPECT_EQ(Picture(plain),
              "S#nS\n"
              "Sr.S\n");

    // A clear brush leaves the line as it was there; a stretched copy replaces the colour at every size.
    TBitmap stretched(8, 4);
    stretched.Canvas().Brush().SetColor(clLime);
    stretched.Canvas().FillRect(RECT{0, 0, 8, 4});
    stretched.Canvas().Brush().SetStyle(bsClear);
    stretched.Canvas().BrushCopy(RECT{0, 0, 8, 4}, glyph, RECT{0, 0, 4, 2}, clOlive);
    EXPECT_EQ(Picture(stretched),
              "LL##nnLL\n"
              "LL##nnLL\n"
              "LLrr..LL\n"
              "LLrr..LL\n");
}

TEST(Canvas, StretchDrawAndCopyRectScaleThePicture) {
    TBitmap picture(2, 2);
    Paint(picture, {"r#", "o."});
    TBitmap target(6, 4);
    target.Canvas().StretchDraw(RECT{0, 0, 6, 4}, picture);
    EXPECT_EQ(Picture(target),
              "rrr###\n"
              "rrr###\n"
              "ooo...\n"
              "ooo...\n");

    TBitmap copy(2, 2);
    copy.Canvas().CopyRect(RECT{0, 0, 2, 2}, target.Canvas(), RECT{0, 0, 6, 4});
    EXPECT_EQ(Picture(copy),
              "r#\n"
              "o.\n");
    copy.Canvas().SetCopyMode(NOTSRCCOPY);
    copy.Canvas().CopyRect(RECT{0, 0, 1, 1}, target.Canvas(), RECT{3, 2, 4, 3});
    EXPECT_EQ(copy.Canvas().Pixels(0, 0), clBlack) << "white, inverted by the copy mode";
}

TEST(Canvas, LettingGoOfADcGivesItsObjectsBackAndFreesNothingOfTheDcs) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP surface = CreateBitmap(8, 8, 1, 32, nullptr);
    HGDIOBJ oldBitmap = SelectObject(dc, surface);
    HGDIOBJ font = GetCurrentObject(dc, OBJ_FONT);
    HGDIOBJ brush = GetCurrentObject(dc, OBJ_BRUSH);
    HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN);
    HFONT canvasFont = nullptr;
    HFONT firstFont = nullptr;
    HBRUSH canvasBrush = nullptr;
    HPEN canvasPen = nullptr;
    {
        TCanvas canvas;
        EXPECT_THROW(canvas.Handle(), EInvalidOperation) << "a plain canvas has no DC of its own";
        canvas.SetHandle(dc);
        canvas.TextOut(0, 0, "a");
        firstFont = canvas.Font().Handle();
        EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), firstFont);
        canvas.Font().SetHeight(-16);  // the canvas takes its old font out before it is freed
        EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font);
        EXPECT_EQ(GetObjectType(firstFont), 0u);
        canvas.TextOut(0, 0, "a");
        canvas.Rectangle(0, 0, 4, 4);
        canvasFont = canvas.Font().Handle();
        canvasBrush = canvas.Brush().Handle();
        canvasPen = canvas.Pen().Handle();
        EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), canvasFont);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), canvasBrush);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), canvasPen);

        canvas.SetHandle(nullptr);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen);
        canvas.SetHandle(dc);  // and when the canvas ends holding it
        canvas.FillRect(RECT{0, 0, 2, 2});
    }
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush);
    EXPECT_EQ(GetObjectType(canvasFont), 0u) << "the canvas's own objects go with it";
    EXPECT_EQ(GetObjectType(canvasBrush), 0u);
    EXPECT_EQ(GetObjectType(canvasPen), 0u);
    EXPECT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_MEMDC)) << "the DC stays its owner's";
    SelectObject(dc, oldBitmap);
    DeleteObject(surface);
    DeleteDC(dc);
}

}  // namespace
