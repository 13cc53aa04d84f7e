#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/gdi/Png.h"

using platform::gdi::EncodePng;
using platform::gdi::Surface;

namespace {

uint32_t Big32(const std::vector<uint8_t>& data, size_t at) {
    return (uint32_t{data[at]} << 24) | (uint32_t{data[at + 1]} << 16) | (uint32_t{data[at + 2]} << 8) | data[at + 3];
}

uint32_t Crc(const uint8_t* data, size_t size) {
    uint32_t crc = 0xFFFFFFFF;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

// Reads back the image data of a PNG made of stored blocks, checking every chunk's CRC and the Adler-32 sum.
std::vector<uint8_t> ImageData(const std::vector<uint8_t>& png, uint32_t& width, uint32_t& height) {
    std::vector<uint8_t> zlib;
    for (size_t at = 8; at + 12 <= png.size();) {
        uint32_t length = Big32(png, at);
        std::string type(png.begin() + static_cast<ptrdiff_t>(at + 4), png.begin() + static_cast<ptrdiff_t>(at + 8));
        EXPECT_EQ(Crc(png.data() + at + 4, length + 4), Big32(png, at + 8 + length)) << type;
        if (type == "IHDR") width = Big32(png, at + 8), height = Big32(png, at + 12);
        if (type == "IDAT")
            zlib.insert(zlib.end(), png.begin() + static_cast<ptrdiff_t>(at + 8),
                        png.begin() + static_cast<ptrdiff_t>(at + 8 + length));
        at += 12 + length;
    }
    std::vector<uint8_t> raw;
    size_t at = 2;
    for (bool last = false; !last && at + 5 <= zlib.size();) {
        last = zlib[at] & 1;
        size_t length = zlib[at + 1] | (zlib[at + 2] << 8);
        EXPECT_EQ(length ^ 0xFFFF, static_cast<size_t>(zlib[at + 3] | (zlib[at + 4] << 8)));
        raw.insert(raw.end(), zlib.begin() + static_cast<ptrdiff_t>(at + 5),
                   zlib.begin() + static_cast<ptrdiff_t>(at + 5 + length));
        at += 5 + length;
    }
    uint32_t a = 1, b = 0;
    for (uint8_t byte : raw) a = (a + byte) % 65521, b = (b + a) % 65521;
    EXPECT_EQ(Big32(zlib, at), (b << 16) | a);
    return raw;
}

}  // namespace

TEST(GdiPng, ScreenshotsDecodeBackToTheirPixels) {
    for (int width : {3, 200}) {
        Surface surface(width, 120);  // the wide one needs more than one stored block
        for (int y = 0; y < surface.height; ++y)
            for (int x = 0; x < surface.width; ++x)
                surface.Row(y)[x] = static_cast<uint32_t>((x * 7) << 16 | (y * 3) << 8 | (x + y));
        std::vector<uint8_t> png = EncodePng(surface);
        ASSERT_GT(png.size(), 8u);
        EXPECT_EQ(std::vector<uint8_t>(png.begin(), png.begin() + 8),
                  (std::vector<uint8_t>{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}));
        uint32_t w = 0, h = 0;
        std::vector<uint8_t> raw = ImageData(png, w, h);
        EXPECT_EQ(w, static_cast<uint32_t>(width));
        EXPECT_EQ(h, 120u);
        ASSERT_EQ(raw.size(), static_cast<size_t>(120 * (1 + 3 * width)));
        for (int y = 0; y < 120; ++y) {
            const uint8_t* row = raw.data() + static_cast<size_t>(y * (1 + 3 * width));
            EXPECT_EQ(row[0], 0);
            for (int x = 0; x < width; ++x) {
                uint32_t pixel = surface.At(x, y);
                ASSERT_EQ(row[1 + 3 * x], static_cast<uint8_t>(pixel >> 16));
                ASSERT_EQ(row[2 + 3 * x], static_cast<uint8_t>(pixel >> 8));
                ASSERT_EQ(row[3 + 3 * x], static_cast<uint8_t>(pixel));
            }
        }
    }
}
