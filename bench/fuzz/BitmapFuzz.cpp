// Fuzzes the reading of BMP bytes into bitmaps, the way the program's embedded bitmaps are loaded: the bytes become
// a BITMAP resource, and LoadImageA makes a bitmap of it (a device-dependent one, a monochrome one or a DIB
// section, at its own size or resized). Whatever the bytes, nothing may crash; a bitmap is made exactly when the
// bytes parse, it has the size asked for, and at its own size it holds the parsed pixels. The same rows read as a
// packed DIB (the file without its file header) must give the same pixels.
//
// An input is three bytes, then the file: the load flags (bit 0 a DIB section, bit 1 monochrome), and the width
// and height to load at (0 keeps the bitmap's own; kept small, so that a resize stays quick).

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <span>
#include <vector>

#include "platform/gdi/Bitmaps.h"
#include "platform/gdi/Dib.h"
#include "platform/gdi/Objects.h"
#include "platform/gdi/Resources.h"
#include "platform/win32.h"

using namespace platform::gdi;

namespace {

constexpr int kLargestResize = 63;

void Check(bool condition, const char* broken) {
    if (condition) return;
    std::fprintf(stderr, "bitmap invariant broken: %s\n", broken);
    std::abort();
}

// The one resource, pointed at each input in turn.
EmbeddedResource resource{2, "FUZZ", nullptr, 0};
const bool registered = RegisterResources(&resource, 1);

// What a bitmap loaded at the file's own size must hold.
void CheckPixels(const ParsedBitmap& parsed, const Surface& loaded, bool dibSection, bool mono) {
    const DibFormat& format = parsed.format;
    if (dibSection) {
        if (format.bitCount <= 8) {
            // An index beyond the colour table reads as black, which the table may not hold; the section keeps
            // the nearest colour it has.
            for (uint32_t pixel : loaded.pixels)
                Check(format.palette.empty() ||
                          std::find(format.palette.begin(), format.palette.end(), pixel) != format.palette.end(),
                      "a DIB section pixel outside its colour table");
        } else {
            Check(loaded.pixels == parsed.pixels.pixels, "a DIB section changed the pixels");
        }
        return;
    }
    if (!mono) {
        Check(loaded.pixels == parsed.pixels.pixels, "a bitmap changed the pixels");
        return;
    }
    for (size_t i = 0; i < loaded.pixels.size(); ++i)
        Check(loaded.pixels[i] == MonoPixel(parsed.pixels.pixels[i]), "a monochrome bitmap has the wrong pixels");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3 || !registered) return 0;
    const bool dibSection = data[0] & 1, monochrome = data[0] & 2;
    const int cx = data[1] % (kLargestResize + 1), cy = data[2] % (kLargestResize + 1);
    // An exactly sized heap copy, so that reading one byte too far is caught.
    const std::vector<uint8_t> file(data + 3, data + size);
    resource.data = file.data();
    resource.size = file.size();

    const std::optional<ParsedBitmap> parsed = ParseBmpFile(file);
    const UINT flags = (dibSection ? LR_CREATEDIBSECTION : 0) | (monochrome ? LR_MONOCHROME : 0);
    SetLastError(0);
    auto bitmap = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), "fuzz", IMAGE_BITMAP, cx, cy, flags));
    Check((bitmap != nullptr) == parsed.has_value(), "bytes that parse made no bitmap, or others made one");
    if (!bitmap) {
        Check(GetLastError() == ERROR_INVALID_DATA, "a refused bitmap without its error");
    } else {
        const int width = cx ? cx : parsed->format.width, height = cy ? cy : parsed->format.height;
        BITMAP info{};
        Check(GetObjectA(bitmap, sizeof info, &info) == sizeof info, "a loaded bitmap cannot be described");
        Check(info.bmWidth == width && info.bmHeight == height, "a loaded bitmap has the wrong size");
        const Surface* pixels = BitmapPixels(bitmap);
        Check(pixels && pixels->width == width && pixels->height == height, "a bitmap's pixels have the wrong size");
        if (width == parsed->format.width && height == parsed->format.height)
            CheckPixels(*parsed, *pixels, dibSection, !dibSection && (monochrome || parsed->format.bitCount == 1));
        Check(DeleteObject(bitmap), "a loaded bitmap cannot be deleted");
    }

    // Rows right after the colour table are where a packed DIB has them.
    if (file.size() < 14) return 0;
    const uint32_t bitsOffset = file[10] | file[11] << 8 | file[12] << 16 | static_cast<uint32_t>(file[13]) << 24;
    const std::vector<uint8_t> dib(file.begin() + 14, file.end());
    const std::optional<ParsedBitmap> packed = ParsePackedDib(dib);
    DibFormat format;
    size_t headerBytes = 0;
    if (parsed && (bitsOffset == 0 || (ReadDibHeader(dib.data(), dib.size(), format, headerBytes) &&
                                       bitsOffset == 14 + headerBytes))) {
        Check(packed.has_value(), "a packed DIB refused where the same file reads");
        Check(packed->pixels.pixels == parsed->pixels.pixels, "a packed DIB reads differently from its file");
    }
    return 0;
}
