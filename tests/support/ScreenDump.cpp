#include "tests/support/ScreenDump.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/TempFolder.h"

std::optional<platform::gdi::Surface> ReadScreen() {
    TempFolder folder;
    std::string dump = (folder.Path() / "screen.xwd").string();
    if (std::system(("xwd -root -silent -out '" + dump + "'").c_str()) != 0) return std::nullopt;
    std::ifstream in(dump, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto field = [&bytes](size_t index) {
        size_t at = index * 4;
        return at + 4 > bytes.size() ? 0u
                                     : (uint32_t{bytes[at]} << 24) | (uint32_t{bytes[at + 1]} << 16) |
                                           (uint32_t{bytes[at + 2]} << 8) | bytes[at + 3];
    };
    // An X window dump in ZPixmap form: a header of 32-bit fields, a colour table, then lines that may be padded.
    uint32_t width = field(4), height = field(5), byteOrder = field(7), bytesPerPixel = field(11) / 8,
             bytesPerLine = field(12), masks[3] = {field(14), field(15), field(16)};
    size_t start = field(0) + static_cast<size_t>(field(19)) * 12;
    if ((bytesPerPixel != 3 && bytesPerPixel != 4) || start + static_cast<size_t>(bytesPerLine) * height > bytes.size())
        return std::nullopt;
    platform::gdi::Surface screen(static_cast<int>(width), static_cast<int>(height));
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            const uint8_t* p = bytes.data() + start + static_cast<size_t>(y) * bytesPerLine + x * bytesPerPixel;
            uint32_t value = 0;
            for (uint32_t i = 0; i < bytesPerPixel; ++i)
                value |= uint32_t{p[byteOrder == 0 ? i : bytesPerPixel - 1 - i]} << (8 * i);
            uint32_t pixel = 0;
            for (uint32_t mask : masks) pixel = (pixel << 8) | (((value & mask) >> __builtin_ctz(mask)) & 0xFF);
            screen.Row(static_cast<int>(y))[x] = pixel;
        }
    return screen;
}
