#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/gdi/Resources.h"
#include "platform/win32.h"
#include "runtime/Bitmap.h"
#include "runtime/Canvas.h"
#include "runtime/Exception.h"

namespace {

constexpr TColor kNearOlive = 0x018080;

void Put(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// A bottom-up BMP file of 1 or 4 bits a pixel, as the program's glyphs are stored; rows of palette indexes (one
// hexadecimal digit a pixel) from the top.
std::vector<uint8_t> MakeBmp(int bits, const std::vector<uint32_t>& palette, const std::vector<std::string>& rows) {
    int width = static_cast<int>(rows[0].size()), height = static_cast<int>(rows.size());
    uint32_t stride = ((static_cast<uint32_t>(width) * bits + 31) / 32) * 4;
    uint32_t offset = 14 + 40 + 4 * static_cast<uint32_t>(palette.size());
    std::vector<uint8_t> out{'B', 'M'};
    Put(out, offset + stride * height, 4);
    Put(out, 0, 4);
    Put(out, offset, 4);
    for (uint32_t field : {40u, static_cast<uint32_t>(width), static_cast<uint32_t>(height)}) Put(out, field, 4);
    Put(out, 1, 2);
    Put(out, static_cast<uint32_t>(bits), 2);
    for (uint32_t field : {0u, stride * height, 0u, 0u, static_cast<uint32_t>(palette.size()), 0u}) Put(out, field, 4);
    for (uint32_t color : palette) Put(out, color, 4);  // 0x00RRGGBB is an RGBQUAD's byte order
    for (int y = height - 1; y >= 0; --y) {
        std::vector<uint8_t> row(stride, 0);
        for (int x = 0; x < width; ++x) {
            uint32_t index =
                std::stoul(std::string(1, rows[static_cast<size_t>(y)][static_cast<size_t>(x)]), nullptr, 16);
            row[static_cast<size_t>(x * bits / 8)] |= static_cast<uint8_t>(index << (8 - bits - (x * bits) % 8));
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

// Bitmap resources of the test program: a 16-colour glyph on olive, a two-colour one, and one that is no bitmap.
void RegisterGlyphs() {
    static const std::vector<uint8_t> colour =
        MakeBmp(4, {0x000000, 0x808000, 0xFF0000, 0xFFFFFF}, {"1021", "1131", "1111"});
    static const std::vector<uint8_t> mono = MakeBmp(1, {0x000000, 0xFFFFFF}, {"0110", "1001"});
    static const unsigned char broken[] = {'B', 'M', 1, 2, 3};
    static const platform::gdi::EmbeddedResource table[] = {
        {2, "TESTGLYPH", colour.data(), colour.size()},
        {2, "TESTMONO", mono.data(), mono.size()},
        {2, "TESTBROKEN", broken, sizeof broken},
    };
    [[maybe_unused]] static const bool registered = platform::gdi::RegisterResources(table, 3);
}

// The mask as '1' for set and '0' for clear pixels.
std::string MaskPicture(HBITMAP mask, int width, int height) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, mask);
    std::string picture;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) picture += GetPixel(dc, x, y) == RGB(255, 255, 255) ? '1' : '0';
        picture += '\n';
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    return picture;
}

TEST(Bitmap, ResizingKeepsThePictureAndEveryDrawingIsAChange) {
    TBitmap bitmap(2, 2);
    int changes = 0;
    bitmap.OnChange = [&](TObject*) { ++changes; };
    bitmap.Canvas().SetPixels(1, 1, clRed);
    EXPECT_EQ(changes, 1);
    bitmap.ScanLine(0)[1] = 0x0000FF;  // 0x00RRGGBB: blue, seen by the next drawing call
    EXPECT_EQ(bitmap.Canvas().Pixels(1, 0), clBlue);

    bitmap.SetSize(4, 3);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(bitmap.Canvas().Pixels(1, 1), clRed);
    EXPECT_EQ(bitmap.Canvas().Pixels(1, 0), clBlue);
    EXPECT_EQ(bitmap.Canvas().Pixels(3, 2), clWhite);
    bitmap.SetSize(4, 3);
    EXPECT_EQ(changes, 2) << "the same size is no change";
    EXPECT_THROW(bitmap.SetSize(1 << 20, 1 << 20), EOutOfResources);
    EXPECT_EQ(bitmap.Width(), 4);
    EXPECT_EQ(bitmap.Canvas().Pixels(1, 1), clRed) << "a size the platform refuses leaves the bitmap as it was";
    EXPECT_EQ(changes, 2);

    bitmap.SetSize(1, 1);
    EXPECT_EQ(bitmap.Canvas().Pixels(0, 0), clWhite);
    EXPECT_EQ(bitmap.Canvas().Pixels(1, 1), clNone) << "outside the picture";

    bitmap.SetSize(0, 3);
    EXPECT_TRUE(bitmap.Empty());
    EXPECT_EQ(bitmap.Handle(), nullptr);
    EXPECT_EQ(bitmap.ScanLine(0), nullptr);
    EXPECT_EQ(bitmap.MaskHandle(clWhite), nullptr);
    EXPECT_EQ(bitmap.TransparentColor(), clNone);
    bitmap.Canvas().FillRect(RECT{0, 0, 5, 5});  // an empty bitmap's canvas draws on nothing, harmlessly
    TBitmap target(2, 2);
    bitmap.SetTransparent(true);
    target.Canvas().Draw(0, 0, bitmap);
    target.Canvas().StretchDraw(RECT{0, 0, 2, 2}, bitmap);
    target.Canvas().BrushCopy(RECT{0, 0, 2, 2}, bitmap, RECT{0, 0, 2, 2}, clOlive);
    EXPECT_EQ(target.Canvas().Pixels(0, 0), clWhite) << "and is drawn as nothing";
    bitmap.SetSize(-4, 2);
    EXPECT_EQ(bitmap.Width(), 0);
}

TEST(Bitmap, AssignMakesAnIndependentCopyOfPictureAndSettings) {
    TBitmap source(3, 2);
    source.Canvas().SetPixels(2, 1, clLime);
    source.SetTransparent(true);
    source.SetTransparentColor(clLime);
    TBitmap copy;
    int changes = 0;
    copy.OnChange = [&](TObject*) { ++changes; };
    copy.Assign(source);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(copy.Height(), 2);
    EXPECT_TRUE(copy.Transparent());
    EXPECT_EQ(copy.TransparentColor(), clLime);
    EXPECT_EQ(copy.Canvas().Pixels(2, 1), clLime);
    copy.Canvas().SetPixels(0, 0, clRed);
    EXPECT_EQ(source.Canvas().Pixels(0, 0), clWhite);

    copy.Assign(TBitmap());
    EXPECT_TRUE(copy.Empty());
}

TEST(Bitmap, TransparentColourIsTheBottomLeftPixelUntilOneIsFixed) {
    TBitmap bitmap(2, 2);
    bitmap.Canvas().SetPixels(0, 1, clOlive);
    EXPECT_EQ(bitmap.TransparentMode(), tmAuto);
    EXPECT_EQ(bitmap.TransparentColor(), clOlive);
    bitmap.Canvas().SetPixels(0, 1, clTeal);
    EXPECT_EQ(bitmap.TransparentColor(), clTeal) << "follows the picture";

    bitmap.SetTransparentMode(tmFixed);
    bitmap.Canvas().SetPixels(0, 1, clRed);
    EXPECT_EQ(bitmap.TransparentColor(), clTeal) << "fixing keeps the colour in use";
    bitmap.SetTransparentColor(clDefault);
    EXPECT_EQ(bitmap.TransparentMode(), tmAuto);
    EXPECT_EQ(bitmap.TransparentColor(), clRed);

    bitmap.SetMonochrome(true);
    EXPECT_EQ(bitmap.TransparentColor(), clWhite) << "a two-colour bitmap's is white";
}

TEST(Bitmap, MonochromeKeepsWhiteAndTurnsEveryOtherColourBlack) {
    TBitmap bitmap(3, 1);
    bitmap.Canvas().SetPixels(0, 0, clSilver);
    bitmap.Canvas().SetPixels(1, 0, clYellow);
    bitmap.SetMonochrome(true);
    EXPECT_EQ(bitmap.ScanLine(0), nullptr);
    EXPECT_EQ(bitmap.Canvas().Pixels(0, 0), clBlack);
    EXPECT_EQ(bitmap.Canvas().Pixels(1, 0), clBlack);
    EXPECT_EQ(bitmap.Canvas().Pixels(2, 0), clWhite);

    // Drawn on colour, a two-colour bitmap is black on white whatever the canvas's colours are.
    TBitmap target(3, 1);
    target.Canvas().Font().SetColor(clRed);
    target.Canvas().Brush().SetColor(clLime);
    target.Canvas().TextOut(0, 0, "");
    target.Canvas().Draw(0, 0, bitmap);
    EXPECT_EQ(target.Canvas().Pixels(0, 0), clBlack);
    EXPECT_EQ(target.Canvas().Pixels(2, 0), clWhite);

    bitmap.SetMonochrome(false);
    EXPECT_NE(bitmap.ScanLine(0), nullptr);
    EXPECT_EQ(bitmap.Canvas().Pixels(0, 0), clBlack);
    EXPECT_EQ(bitmap.Canvas().Pixels(2, 0), clWhite);
}

TEST(Bitmap, MaskSetsExactlyThePixelsOfTheColour) {
    TBitmap bitmap(4, 2);
    bitmap.Canvas().SetPixels(0, 0, clOlive);
    bitmap.Canvas().SetPixels(1, 0, kNearOlive);
    bitmap.Canvas().SetPixels(2, 1, clOlive);
    bitmap.Canvas().SetPixels(3, 1, clBlack);
    HBITMAP olive = bitmap.MaskHandle(clOlive);
    EXPECT_EQ(MaskPicture(olive, 4, 2), "1000\n0010\n");
    EXPECT_EQ(bitmap.MaskHandle(clOlive), olive) << "kept while the picture stays";
    EXPECT_EQ(MaskPicture(bitmap.MaskHandle(clBlack), 4, 2), "0000\n0001\n");
    EXPECT_EQ(MaskPicture(bitmap.MaskHandle(clBtnHighlight), 4, 2), "0011\n1100\n") << "a system colour: white";

    bitmap.SetMonochrome(true);
    EXPECT_EQ(MaskPicture(bitmap.MaskHandle(clBlack), 4, 2), "1100\n0011\n");
    EXPECT_EQ(MaskPicture(bitmap.MaskHandle(clWhite), 4, 2), "0011\n1100\n");
    EXPECT_EQ(MaskPicture(bitmap.MaskHandle(clRed), 4, 2), "0000\n0000\n");
}

TEST(Bitmap, LoadsTheProgramsBitmapResourcesAsTheyAre) {
    RegisterGlyphs();
    HINSTANCE program = GetModuleHandleA(nullptr);
    TBitmap glyph;
    int changes = 0;
    glyph.OnChange = [&](TObject*) { ++changes; };
    glyph.LoadFromResourceName(program, "TestGlyph");
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(glyph.Height(), 3);
    EXPECT_NE(glyph.ScanLine(0), nullptr) << "a colour bitmap is held as 32-bit pixels";
    EXPECT_EQ(glyph.Canvas().Pixels(1, 0), clBlack);
    EXPECT_EQ(glyph.Canvas().Pixels(2, 0), clRed);
    EXPECT_EQ(glyph.Canvas().Pixels(2, 1), clWhite);
    EXPECT_EQ(glyph.TransparentColor(), clOlive);

    TBitmap mono;
    mono.LoadFromResourceName(program, "TESTMONO");
    EXPECT_TRUE(mono.Monochrome());
    EXPECT_EQ(mono.Canvas().Pixels(0, 0), clBlack);
    EXPECT_EQ(mono.Canvas().Pixels(1, 0), clWhite);
    EXPECT_EQ(mono.TransparentColor(), clWhite);

    try {
        glyph.LoadFromResourceName(program, "NOSUCHGLYPH");
        ADD_FAILURE() << "a missing resource loads nothing";
    } catch (const EResNotFound& error) {
        EXPECT_EQ(error.Message(), "ビットマップ リソース NOSUCHGLYPH が見つかりません");
    }
    EXPECT_THROW(glyph.LoadFromResourceName(program, "TESTBROKEN"), EInvalidGraphic);
    EXPECT_EQ(glyph.Width(), 4) << "the bitmap is as it was";
    EXPECT_EQ(glyph.Canvas().Pixels(2, 0), clRed);
    EXPECT_EQ(changes, 1);
}

}  // namespace
