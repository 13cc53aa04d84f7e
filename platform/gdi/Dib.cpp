#include "platform/gdi/Dib.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstring>

namespace platform::gdi {

namespace {

constexpr size_t kCoreHeaderSize = 12;
constexpr size_t kInfoHeaderSize = 40;
constexpr size_t kFileHeaderSize = 14;

uint16_t Read16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Read32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

// One colour channel of a 16- or 32-bit pixel, by its mask, widened to 8 bits. A mask may be up to 32 bits wide,
// so the scaling is done in 64 bits.
struct Channel {
    int shift = 0;
    uint64_t max = 0;  // the channel's largest value
    explicit Channel(uint32_t mask) {
        if (mask == 0) return;
        shift = std::countr_zero(mask);
        max = mask >> shift;
    }
    uint32_t Get(uint32_t value, uint32_t mask) const {
        return max == 0 ? 0 : static_cast<uint32_t>((((value & mask) >> shift) * uint64_t{255} + max / 2) / max);
    }
    uint32_t Put(uint32_t byte) const {
        return max == 0 ? 0 : static_cast<uint32_t>((byte * max + 127) / 255) << shift;
    }
};

// The bits of a channel must be one run, inside the pixel, and no bit may belong to two channels: other masks
// cannot be read back as they were written.
bool MasksUsable(const uint32_t masks[3], int bitCount) {
    const uint32_t pixel = bitCount == 16 ? 0xFFFF : 0xFFFFFFFF;
    uint32_t taken = 0;
    for (int i = 0; i < 3; ++i) {
        uint32_t m = masks[i];
        if (m == 0) continue;
        uint32_t run = m >> std::countr_zero(m);
        if ((run & (run + 1)) != 0 || (m & ~pixel) != 0 || (m & taken) != 0) return false;
        taken |= m;
    }
    return true;
}

int Nearest(const std::vector<uint32_t>& palette, uint32_t pixel) {
    int best = 0;
    int bestDistance = INT_MAX;
    for (size_t i = 0; i < palette.size(); ++i) {
        int dr = static_cast<int>((palette[i] >> 16) & 0xFF) - static_cast<int>((pixel >> 16) & 0xFF);
        int dg = static_cast<int>((palette[i] >> 8) & 0xFF) - static_cast<int>((pixel >> 8) & 0xFF);
        int db = static_cast<int>(palette[i] & 0xFF) - static_cast<int>(pixel & 0xFF);
        int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = static_cast<int>(i);
            if (distance == 0) break;
        }
    }
    return best;
}

}  // namespace

bool BitmapSizeAllowed(int64_t width, int64_t height) {
    return width > 0 && height > 0 && width <= kMaxBitmapSide && height <= kMaxBitmapSide &&
           width * height <= kMaxBitmapPixels;
}

namespace {

// The colour masks of 16- and 32-bit pixels: given after the header (BI_BITFIELDS), or 5-5-5 for 16-bit BI_RGB.
// Other compressions are not read.
bool ReadMasks(const uint8_t* data, size_t size, uint32_t headerSize, uint32_t compression, DibFormat& format,
               size_t& offset) {
    const int bits = format.bitCount;
    if (compression == BI_RGB) {
        if (bits == 16) {
            format.masks[0] = 0x7C00;
            format.masks[1] = 0x03E0;
            format.masks[2] = 0x001F;
        }
        return true;
    }
    if (compression != BI_BITFIELDS || (bits != 16 && bits != 32)) return false;
    // The masks follow a plain BITMAPINFOHEADER, and sit at the same place inside the later headers.
    if (size < kInfoHeaderSize + 12) return false;
    for (int i = 0; i < 3; ++i) format.masks[i] = Read32(data + kInfoHeaderSize + 4 * static_cast<size_t>(i));
    if (headerSize == kInfoHeaderSize) offset += 12;
    return MasksUsable(format.masks, bits);
}

}  // namespace

bool ReadDibHeader(const uint8_t* data, size_t size, DibFormat& format, size_t& headerBytes) {
    if (!data || size < 4) return false;
    uint32_t headerSize = Read32(data);
    format = DibFormat{};
    int64_t width = 0;
    int64_t height = 0;
    uint32_t compression = BI_RGB;
    uint32_t colorsUsed = 0;
    size_t entryBytes = 4;
    size_t offset = 0;
    if (headerSize == kCoreHeaderSize) {
        if (size < kCoreHeaderSize) return false;
        width = Read16(data + 4);
        height = Read16(data + 6);
        if (Read16(data + 8) != 1) return false;
        format.bitCount = Read16(data + 10);
        entryBytes = 3;
        offset = kCoreHeaderSize;
    } else if (headerSize >= kInfoHeaderSize && headerSize <= 1024) {
        if (size < headerSize) return false;
        width = static_cast<int32_t>(Read32(data + 4));
        height = static_cast<int32_t>(Read32(data + 8));
        if (Read16(data + 12) != 1) return false;
        format.bitCount = Read16(data + 14);
        compression = Read32(data + 16);
        colorsUsed = Read32(data + 32);
        offset = headerSize;
    } else {
        return false;
    }
    if (height < 0) {
        format.topDown = true;
        height = -height;
    }
    if (!BitmapSizeAllowed(width, height)) return false;
    format.width = static_cast<int>(width);
    format.height = static_cast<int>(height);

    int bits = format.bitCount;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
    if (!ReadMasks(data, size, headerSize, compression, format, offset)) return false;

    size_t entries = colorsUsed;
    if (bits <= 8 && entries == 0) entries = size_t{1} << bits;
    if (entries > 256) return false;
    if (offset + entries * entryBytes > size) return false;
    if (bits <= 8) {
        format.palette.resize(entries);
        for (size_t i = 0; i < entries; ++i) {
            const uint8_t* e = data + offset + i * entryBytes;
            format.palette[i] = (static_cast<uint32_t>(e[2]) << 16) | (static_cast<uint32_t>(e[1]) << 8) | e[0];
        }
    }
    headerBytes = offset + entries * entryBytes;
    return true;
}

void WriteDibHeader(const DibFormat& format, BITMAPINFOHEADER& header) {
    header = BITMAPINFOHEADER{};
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = format.width;
    header.biHeight = format.topDown ? -format.height : format.height;
    header.biPlanes = 1;
    header.biBitCount = static_cast<WORD>(format.bitCount);
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(format.ImageSize());
    header.biClrUsed = static_cast<DWORD>(format.palette.size());
}

void DibToSurface(const DibFormat& format, const uint8_t* bits, Surface& surface) {
    if (surface.width != format.width || surface.height != format.height) surface.Resize(format.width, format.height);
    const Channel red(format.masks[0]), green(format.masks[1]), blue(format.masks[2]);
    const size_t stride = format.Stride();
    for (int y = 0; y < format.height; ++y) {
        const uint8_t* row = bits + stride * static_cast<size_t>(format.topDown ? y : format.height - 1 - y);
        uint32_t* out = surface.Row(y);
        for (int x = 0; x < format.width; ++x) {
            uint32_t pixel = 0;
            switch (format.bitCount) {
                case 1:
                case 4:
                case 8: {
                    int bitsPer = format.bitCount;
                    size_t bitIndex = static_cast<size_t>(x) * static_cast<size_t>(bitsPer);
                    uint32_t byte = row[bitIndex / 8];
                    uint32_t index = (byte >> (8 - bitsPer - static_cast<int>(bitIndex % 8))) & ((1u << bitsPer) - 1);
                    pixel = index < format.palette.size() ? format.palette[index] : 0;
                    break;
                }
                case 16: {
                    uint32_t v = Read16(row + 2 * static_cast<size_t>(x));
                    pixel = (red.Get(v, format.masks[0]) << 16) | (green.Get(v, format.masks[1]) << 8) |
                            blue.Get(v, format.masks[2]);
                    break;
                }
                case 24: {
                    const uint8_t* p = row + 3 * static_cast<size_t>(x);
                    pixel = (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[1]) << 8) | p[0];
                    break;
                }
                default: {
                    uint32_t v = Read32(row + 4 * static_cast<size_t>(x));
                    pixel = (red.Get(v, format.masks[0]) << 16) | (green.Get(v, format.masks[1]) << 8) |
                            blue.Get(v, format.masks[2]);
                    break;
                }
            }
            out[x] = pixel;
        }
    }
}

void SurfaceToDib(const Surface& surface, const DibFormat& format, uint8_t* bits) {
    const Channel red(format.masks[0]), green(format.masks[1]), blue(format.masks[2]);
    const size_t stride = format.Stride();
    int width = std::min(surface.width, format.width);
    int height = std::min(surface.height, format.height);
    uint32_t lastPixel = 0xFFFFFFFF;
    int lastIndex = 0;
    for (int y = 0; y < height; ++y) {
        uint8_t* row = bits + stride * static_cast<size_t>(format.topDown ? y : format.height - 1 - y);
        const uint32_t* in = surface.Row(y);
        for (int x = 0; x < width; ++x) {
            uint32_t pixel = in[x] & 0xFFFFFF;
            switch (format.bitCount) {
                case 1:
                case 4:
                case 8: {
                    if (pixel != lastPixel) {
                        lastIndex = format.palette.empty() ? 0 : Nearest(format.palette, pixel);
                        lastPixel = pixel;
                    }
                    int bitsPer = format.bitCount;
                    size_t bitIndex = static_cast<size_t>(x) * static_cast<size_t>(bitsPer);
                    int shift = 8 - bitsPer - static_cast<int>(bitIndex % 8);
                    uint8_t mask = static_cast<uint8_t>(((1u << bitsPer) - 1) << shift);
                    uint8_t& byte = row[bitIndex / 8];
                    byte = static_cast<uint8_t>((byte & ~mask) | ((static_cast<unsigned>(lastIndex) << shift) & mask));
                    break;
                }
                case 16: {
                    uint32_t v =
                        red.Put((pixel >> 16) & 0xFF) | green.Put((pixel >> 8) & 0xFF) | blue.Put(pixel & 0xFF);
                    row[2 * x] = static_cast<uint8_t>(v);
                    row[2 * x + 1] = static_cast<uint8_t>(v >> 8);
                    break;
                }
                case 24: {
                    uint8_t* p = row + 3 * static_cast<size_t>(x);
                    p[0] = static_cast<uint8_t>(pixel);
                    p[1] = static_cast<uint8_t>(pixel >> 8);
                    p[2] = static_cast<uint8_t>(pixel >> 16);
                    break;
                }
                default: {
                    uint32_t v =
                        red.Put((pixel >> 16) & 0xFF) | green.Put((pixel >> 8) & 0xFF) | blue.Put(pixel & 0xFF);
                    std::memcpy(row + 4 * static_cast<size_t>(x), &v, 4);
                    break;
                }
            }
        }
    }
}

std::optional<ParsedBitmap> ParsePackedDib(std::span<const uint8_t> dib) {
    ParsedBitmap result;
    size_t headerBytes = 0;
    if (!ReadDibHeader(dib.data(), dib.size(), result.format, headerBytes)) return std::nullopt;
    if (headerBytes > dib.size() || dib.size() - headerBytes < result.format.ImageSize()) return std::nullopt;
    DibToSurface(result.format, dib.data() + headerBytes, result.pixels);
    return result;
}

std::optional<ParsedBitmap> ParseBmpFile(std::span<const uint8_t> file) {
    if (file.size() < kFileHeaderSize || file[0] != 'B' || file[1] != 'M') return std::nullopt;
    uint32_t bitsOffset = Read32(file.data() + 10);
    std::span<const uint8_t> dib = file.subspan(kFileHeaderSize);
    ParsedBitmap result;
    size_t headerBytes = 0;
    if (!ReadDibHeader(dib.data(), dib.size(), result.format, headerBytes)) return std::nullopt;
    // Some writers leave the offset 0; the rows then follow the colour table.
    size_t rowsAt = bitsOffset == 0 ? kFileHeaderSize + headerBytes : bitsOffset;
    if (rowsAt < kFileHeaderSize + 12 || rowsAt > file.size() || file.size() - rowsAt < result.format.ImageSize())
        return std::nullopt;
    DibToSurface(result.format, file.data() + rowsAt, result.pixels);
    return result;
}

}  // namespace platform::gdi
