#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "TestCanvas.h"
#include "platform/gdi/Dib.h"
#include "platform/gdi/Resources.h"
#include "platform/win32.h"
#include "tests/support/TempFolder.h"

using platform::gdi::ParseBmpFile;

namespace {

void Put(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// A BMP file with a BITMAPINFOHEADER. `values` are palette indexes, or 0x00RRGGBB pixels for 24 and 32 bits, row
// by row from the top.
std::vector<uint8_t> MakeBmp(int bits, int width, int height, bool topDown, const std::vector<uint32_t>& palette,
                             const std::vector<uint32_t>& values) {
    size_t stride = ((static_cast<size_t>(width) * bits + 31) / 32) * 4;
    uint32_t offset = 14 + 40 + 4 * static_cast<uint32_t>(palette.size());
    std::vector<uint8_t> out{'B', 'M'};
    Put(out, offset + static_cast<uint32_t>(stride) * height, 4);
    Put(out, 0, 4);
    Put(out, offset, 4);
    Put(out, 40, 4);
    Put(out, static_cast<uint32_t>(width), 4);
    Put(out, static_cast<uint32_t>(topDown ? -height : height), 4);
    Put(out, 1, 2);
    Put(out, static_cast<uint32_t>(bits), 2);
    Put(out, 0, 4);  // BI_RGB
    Put(out, static_cast<uint32_t>(stride) * height, 4);
    Put(out, 0, 4);  // pixels per metre, across and down
    Put(out, 0, 4);
    Put(out, static_cast<uint32_t>(palette.size()), 4);
    Put(out, 0, 4);
    for (uint32_t color : palette) Put(out, color, 4);  // 0x00RRGGBB is the byte order of an RGBQUAD
    for (int r = 0; r < height; ++r) {
        int y = topDown ? r : height - 1 - r;
        std::vector<uint8_t> row(stride, 0);
        for (int x = 0; x < width; ++x) {
            uint32_t v = values[static_cast<size_t>(y * width + x)];
            if (bits <= 8) {
                int shift = 8 - bits - (x * bits) % 8;
                row[static_cast<size_t>(x * bits / 8)] |= static_cast<uint8_t>(v << shift);
            } else {
                for (int b = 0; b < bits / 8; ++b)
                    row[static_cast<size_t>(x * bits / 8 + b)] = static_cast<uint8_t>(v >> (8 * b));
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

const std::vector<uint32_t> kPalette{0x000000, 0xFF0000, 0x00FF00, 0x0000FF};

}  // namespace

TEST(GdiBitmaps, BmpFilesOfEveryDepthAndOrientationParse) {
    const std::vector<uint32_t> indexes{0, 1, 2, 3, 2, 1};
    for (bool topDown : {false, true}) {
        for (int bits : {1, 4, 8, 24, 32}) {
            std::vector<uint32_t> palette = bits == 1   ? std::vector<uint32_t>{0x000000, 0xFFFFFF}
                                            : bits <= 8 ? kPalette
                                                        : std::vector<uint32_t>{};
            std::vector<uint32_t> values = indexes, expected;
            for (uint32_t& v : values) {
                if (bits == 1) v &= 1;
                expected.push_back(bits == 1 ? palette[v] : kPalette[v]);
                if (bits > 8) v = kPalette[v];
            }
            auto parsed = ParseBmpFile(MakeBmp(bits, 3, 2, topDown, palette, values));
            ASSERT_TRUE(parsed) << bits << " bits";
            EXPECT_EQ(parsed->format.bitCount, bits);
            EXPECT_EQ(parsed->pixels.width, 3);
            EXPECT_EQ(parsed->pixels.height, 2);
            EXPECT_EQ(parsed->pixels.pixels, expected) << bits << " bits, top-down " << topDown;
        }
    }
}

TEST(GdiBitmaps, DamagedBmpFilesAreRefused) {
    std::vector<uint8_t> good = MakeBmp(4, 5, 3, false, kPalette, std::vector<uint32_t>(15, 2));
    ASSERT_TRUE(ParseBmpFile(good));
    for (size_t length = 0; length < good.size(); ++length)
        EXPECT_FALSE(ParseBmpFile(std::span<const uint8_t>(good.data(), length))) << length;

    auto damaged = [&](size_t at, uint32_t value, int bytes) {
        std::vector<uint8_t> copy = good;
        for (int i = 0; i < bytes; ++i) copy[at + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
        return ParseBmpFile(copy).has_value();
    };
    EXPECT_FALSE(damaged(0, 'X', 1));          // not "BM"
    EXPECT_FALSE(damaged(10, 100000, 4));      // rows beyond the end
    EXPECT_FALSE(damaged(14, 7, 4));           // no such header
    EXPECT_FALSE(damaged(18, 0, 4));           // no width
    EXPECT_FALSE(damaged(18, 0xFFFFFFF0, 4));  // negative width
    EXPECT_FALSE(damaged(18, 1000000, 4));     // absurd width
    EXPECT_FALSE(damaged(22, 0, 4));           // no height
    EXPECT_FALSE(damaged(22, 0x80000000, 4));  // the one height that cannot be negated
    EXPECT_FALSE(damaged(28, 3, 2));           // no 3-bit pixels
    EXPECT_FALSE(damaged(30, BI_RLE4, 4));     // compressed
    EXPECT_FALSE(damaged(46, 1000, 4));        // a colour table past the end
    // An index beyond the colour table reads as black rather than from beyond it.
    std::vector<uint8_t> shortTable = MakeBmp(4, 2, 1, true, {0xFFFFFF}, {0, 9});
    auto parsed = ParseBmpFile(shortTable);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->pixels.At(0, 0), 0xFFFFFFu);
    EXPECT_EQ(parsed->pixels.At(1, 0), 0u);
}

TEST(GdiBitmaps, ColourMasksConvertExactlyOrAreRefused) {
    // A BI_BITFIELDS file of one row.
    auto bitfields = [](int bits, std::vector<uint32_t> masks, std::vector<uint32_t> values) {
        const uint32_t rows = static_cast<uint32_t>(((values.size() * bits + 31) / 32) * 4);
        std::vector<uint8_t> bmp{'B', 'M'};
        Put(bmp, 14 + 40 + 12 + rows, 4);
        Put(bmp, 0, 4);
        Put(bmp, 14 + 40 + 12, 4);
        for (uint32_t field : {40u, static_cast<uint32_t>(values.size()), 1u}) Put(bmp, field, 4);
        Put(bmp, 1, 2);
        Put(bmp, static_cast<uint32_t>(bits), 2);
        Put(bmp, BI_BITFIELDS, 4);
        for (int i = 0; i < 5; ++i) Put(bmp, 0, 4);
        for (uint32_t mask : masks) Put(bmp, mask, 4);
        for (uint32_t value : values) Put(bmp, value, bits / 8);
        bmp.resize(14 + 40 + 12 + rows);
        return bmp;
    };

    // Red takes 25 bits: scaling such a channel to 8 bits and back overflows 32-bit arithmetic.
    const std::vector<uint32_t> values{0x01FFFFFF, 0x01000000, 0xFE000000};
    const std::vector<uint8_t> wide = bitfields(32, {0x01FFFFFF, 0x7E000000, 0x80000000}, values);
    auto parsed = ParseBmpFile(wide);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->pixels.pixels, (std::vector<uint32_t>{0xFF0000, 0x800000, 0x00FFFF}));
    // As a DIB section of the same format, full channels become full masks again.
    TempFolder folder;
    folder.Write("wide.bmp", std::string(wide.begin(), wide.end()));
    HBITMAP bitmap = static_cast<HBITMAP>(LoadImageA(nullptr, folder.WindowsPath("wide.bmp").c_str(), IMAGE_BITMAP, 0,
                                                     0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    ASSERT_NE(bitmap, nullptr);
    DIBSECTION section{};
    ASSERT_EQ(GetObjectA(bitmap, sizeof section, &section), static_cast<int>(sizeof section));
    const auto* bits = static_cast<const uint32_t*>(section.dsBm.bmBits);
    ASSERT_NE(bits, nullptr);
    EXPECT_EQ(bits[0], values[0]);
    EXPECT_EQ(bits[2], values[2]);
    DeleteObject(bitmap);

    // Masks that a pixel cannot hold as written: beyond a 16-bit pixel, or sharing bits.
    EXPECT_TRUE(ParseBmpFile(bitfields(16, {0xF800, 0x07E0, 0x001F}, {0xFFFF})));
    EXPECT_FALSE(ParseBmpFile(bitfields(16, {0, 0x00FFFFFE, 0}, {0xFFFF})));
    EXPECT_FALSE(ParseBmpFile(bitfields(32, {0xFF0000, 0x0FF000, 0xFF}, {0xFFFFFF})));
}

TEST(GdiBitmaps, DibSectionBitsAreThePixelsGdiDrawsOn) {
    for (bool topDown : {false, true}) {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), 3, topDown ? -2 : 2, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        ASSERT_NE(dib, nullptr);
        ASSERT_NE(bits, nullptr);
        auto* pixels = static_cast<uint32_t*>(bits);
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, dib);
        int bottomRow = topDown ? 3 : 0;  // where the bottom row starts in memory
        pixels[bottomRow] = 0x00FF0000;
        EXPECT_EQ(GetPixel(dc, 0, 1), RGB(255, 0, 0));
        RECT top{0, 0, 3, 1};
        FillRect(dc, &top, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        EXPECT_EQ(pixels[topDown ? 0 : 3] & 0xFFFFFF, 0xFFFFFFu);
        DIBSECTION section{};
        ASSERT_EQ(GetObjectA(dib, sizeof section, &section), static_cast<int>(sizeof section));
        EXPECT_EQ(section.dsBm.bmBits, bits);
        EXPECT_EQ(section.dsBmih.biHeight, topDown ? -2 : 2);
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(dib);
    }

    // An 8-bit section: its bits are palette indexes.
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[2];
    } info{{sizeof(BITMAPINFOHEADER), 4, -1, 1, 8, BI_RGB, 0, 0, 0, 2, 0}, {{0, 0, 0, 0}, {0, 0, 255, 0}}};
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(dib, nullptr);
    auto* indexes = static_cast<uint8_t*>(bits);
    indexes[2] = 1;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, dib);
    EXPECT_EQ(GetPixel(dc, 2, 0), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dc, 1, 0), RGB(0, 0, 0));
    SetPixel(dc, 0, 0, RGB(250, 10, 0));  // nearest entry: red
    EXPECT_EQ(indexes[0], 1);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(dib);
}

TEST(GdiBitmaps, DibBitsGoInAndOut) {
    TestCanvas canvas(2, 2);
    SetPixel(canvas.Dc(), 0, 0, RGB(1, 2, 3));
    SelectObject(canvas.Dc(), GetStockObject(WHITE_BRUSH));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    // Asked to describe itself first, as programs do.
    HBITMAP bitmap = static_cast<HBITMAP>(GetCurrentObject(canvas.Dc(), OBJ_BITMAP));
    ASSERT_TRUE(GetDIBits(canvas.Dc(), bitmap, 0, 0, nullptr, &info, DIB_RGB_COLORS));
    EXPECT_EQ(info.bmiHeader.biWidth, 2);
    EXPECT_EQ(info.bmiHeader.biBitCount, 32);
    info.bmiHeader.biHeight = -2;
    info.bmiHeader.biCompression = BI_RGB;
    uint32_t pixels[4] = {};
    EXPECT_EQ(GetDIBits(canvas.Dc(), bitmap, 0, 2, pixels, &info, DIB_RGB_COLORS), 2);
    EXPECT_EQ(pixels[0], 0x010203u);
    EXPECT_EQ(pixels[3], 0xFFFFFFu);

    uint32_t replacement[4] = {0x00FF0000, 0, 0, 0x000000FF};
    EXPECT_EQ(SetDIBits(canvas.Dc(), bitmap, 0, 2, replacement, &info, DIB_RGB_COLORS), 2);
    EXPECT_EQ(canvas.At(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(canvas.At(1, 1), RGB(0, 0, 255));

    // Monochrome bits: WORD-aligned rows, 1 is white.
    const uint8_t rows[4] = {0x80, 0x00, 0x40, 0x00};
    HBITMAP mask = CreateBitmap(2, 2, 1, 1, rows);
    uint8_t back[4] = {};
    EXPECT_EQ(GetBitmapBits(mask, sizeof back, back), 4);
    EXPECT_EQ(back[0] & 0xC0, 0x80);
    EXPECT_EQ(back[2] & 0xC0, 0x40);
    DeleteObject(mask);
}

TEST(GdiBitmaps, BitmapResourcesLoadByName) {
    static const std::vector<uint8_t> glyph = MakeBmp(4, 2, 2, false, kPalette, {1, 2, 3, 0});
    static const std::vector<uint8_t> mask = MakeBmp(1, 3, 1, false, {0x000000, 0xFFFFFF}, {1, 0, 1});
    static const std::vector<uint8_t> broken(glyph.begin(), glyph.end() - 3);
    static const platform::gdi::EmbeddedResource table[] = {
        {2, "TESTGLYPH", glyph.data(), glyph.size()},
        {2, "TESTMASK", mask.data(), mask.size()},
        {2, "TESTBROKEN", broken.data(), broken.size()},
    };
    static const bool registered = platform::gdi::RegisterResources(table, 3);
    ASSERT_TRUE(registered);
    HINSTANCE module = GetModuleHandleA(nullptr);

    HBITMAP bitmap = LoadBitmapA(module, "TestGlyph");
    ASSERT_NE(bitmap, nullptr);
    BITMAP bm{};
    GetObjectA(bitmap, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 2);
    EXPECT_EQ(bm.bmBitsPixel, 32);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dc, 1, 1), RGB(0, 0, 0));
    SelectObject(dc, old);
    DeleteObject(bitmap);

    HBITMAP twoColours = static_cast<HBITMAP>(LoadImageA(module, "TESTMASK", IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
    ASSERT_NE(twoColours, nullptr);
    GetObjectA(twoColours, sizeof bm, &bm);
    EXPECT_EQ(bm.bmBitsPixel, 1);
    DeleteObject(twoColours);

    SetLastError(0);
    EXPECT_EQ(LoadBitmapA(module, "TESTBROKEN"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));
    EXPECT_EQ(LoadBitmapA(module, "NOSUCHBITMAP"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
    EXPECT_EQ(LoadBitmapA(nullptr, "TESTGLYPH"), nullptr);  // no module: the system's bitmaps

    // A bitmap resource's data is the DIB without the file header.
    HRSRC found = FindResourceA(nullptr, "TESTGLYPH", RT_BITMAP);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(SizeofResource(nullptr, found), glyph.size() - 14);
    auto* header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(nullptr, found)));
    EXPECT_EQ(header->biSize, 40u);
    DeleteDC(dc);
}

TEST(GdiBitmaps, TheBuildEmbedsResourceFilesByteForByte) {
    HRSRC found = FindResourceA(nullptr, "greeting", RT_RCDATA);
    ASSERT_NE(found, nullptr);
    const std::string expected = "プレイ 再生形態\r\nline two\n";
    ASSERT_EQ(SizeofResource(nullptr, found), expected.size());
    const char* data = static_cast<const char*>(LockResource(LoadResource(nullptr, found)));
    EXPECT_EQ(std::string(data, expected.size()), expected);
    EXPECT_EQ(FindResourceA(nullptr, "GREETING", RT_BITMAP), nullptr);
}

TEST(GdiBitmaps, ImagesLoadFromFilesAsDibSections) {
    TempFolder folder;
    std::vector<uint8_t> bytes = MakeBmp(4, 3, 2, false, kPalette, {1, 1, 2, 2, 3, 3});
    folder.Write("strip.bmp", std::string(bytes.begin(), bytes.end()));
    HBITMAP bitmap = static_cast<HBITMAP>(LoadImageA(nullptr, folder.WindowsPath("strip.bmp").c_str(), IMAGE_BITMAP, 6,
                                                     4, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    ASSERT_NE(bitmap, nullptr);
    DIBSECTION section{};
    ASSERT_EQ(GetObjectA(bitmap, sizeof section, &section), static_cast<int>(sizeof section));
    EXPECT_EQ(section.dsBm.bmWidth, 6);
    EXPECT_EQ(section.dsBm.bmHeight, 4);
    EXPECT_EQ(section.dsBmih.biBitCount, 4);
    EXPECT_NE(section.dsBm.bmBits, nullptr);
    DeleteObject(bitmap);
    EXPECT_EQ(LoadImageA(nullptr, folder.WindowsPath("missing.bmp").c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE),
              nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}
