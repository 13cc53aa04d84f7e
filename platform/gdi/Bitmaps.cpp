// Making bitmaps and DIB sections, and moving their bits in and out.

#include "platform/gdi/Bitmaps.h"

#include <cstring>
#include <memory>
#include <new>

#include "platform/gdi/Objects.h"

namespace platform::gdi {

namespace {

HBITMAP Fail(DWORD error) {
    SetLastError(error);
    return nullptr;
}

size_t WordStride(int width, int bits) {
    return ((static_cast<size_t>(width) * static_cast<size_t>(bits) + 15) / 16) * 2;
}

BitmapObject* FindBitmap(HBITMAP handle) {
    auto* bitmap = Find<BitmapObject>(handle);
    if (!bitmap) SetLastError(ERROR_INVALID_HANDLE);
    return bitmap;
}

// The bits of a DDB in GetBitmapBits' layout: rows from the top, WORD-aligned; 1 or 32 bits a pixel.
void DdbRow(const BitmapObject& bitmap, int y, uint8_t* out) {
    const uint32_t* row = bitmap.pixels.Row(y);
    int width = bitmap.pixels.width;
    if (bitmap.mono) {
        std::memset(out, 0, WordStride(width, 1));
        for (int x = 0; x < width; ++x)
            if (row[x] & 0xFFFFFF) out[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
        return;
    }
    for (int x = 0; x < width; ++x) {
        uint32_t pixel = row[x] & 0xFFFFFF;
        std::memcpy(out + 4 * static_cast<size_t>(x), &pixel, 4);
    }
}

void SetDdbRow(BitmapObject& bitmap, int y, const uint8_t* in, int bits) {
    uint32_t* row = bitmap.pixels.Row(y);
    for (int x = 0; x < bitmap.pixels.width; ++x) {
        uint32_t pixel;
        if (bits == 1)
            pixel = (in[x / 8] & (0x80 >> (x % 8))) ? 0xFFFFFF : 0;
        else if (bits == 24)
            pixel = (static_cast<uint32_t>(in[3 * x + 2]) << 16) | (in[3 * x + 1] << 8) | in[3 * x];
        else
            std::memcpy(&pixel, in + 4 * static_cast<size_t>(x), 4);
        row[x] = bitmap.mono ? MonoPixel(pixel & 0xFFFFFF) : pixel & 0xFFFFFF;
    }
}

}  // namespace

HBITMAP NewBitmap(Surface pixels, bool mono) {
    auto bitmap = std::make_unique<BitmapObject>();
    bitmap->pixels = std::move(pixels);
    bitmap->mono = mono;
    bitmap->bitsPixel = mono ? 1 : 32;
    return static_cast<HBITMAP>(AddObject(std::move(bitmap)));
}

HBITMAP NewDibSection(const DibFormat& format, const Surface& pixels) {
    auto bitmap = std::make_unique<BitmapObject>();
    bitmap->dib = format;
    bitmap->bitsPixel = format.bitCount;
    bitmap->pixels.Resize(format.width, format.height);
    if (!format.SurfaceLayout()) {
        bitmap->dibBits.assign(format.ImageSize(), 0);
        bitmap->LoadBits();  // what zero bits stand for: palette entry 0 for the indexed formats
    }
    if (pixels.width == format.width && pixels.height == format.height) {
        bitmap->pixels.pixels = pixels.pixels;
        bitmap->StoreBits();
        bitmap->LoadBits();  // the pixels now read as the format can hold them
    }
    return static_cast<HBITMAP>(AddObject(std::move(bitmap)));
}

const Surface* BitmapPixels(HBITMAP handle) {
    auto* bitmap = Find<BitmapObject>(handle);
    if (!bitmap) return nullptr;
    bitmap->LoadBits();
    return &bitmap->pixels;
}

}  // namespace platform::gdi

using namespace platform::gdi;

HBITMAP WINAPI CreateCompatibleBitmap(HDC hdc, int cx, int cy) {
    DcObject* dc = FindDc(hdc);
    if (!dc) return nullptr;
    if (cx == 0 || cy == 0) return static_cast<HBITMAP>(DefaultBitmap());
    if (!BitmapSizeAllowed(cx, cy)) return Fail(ERROR_INVALID_PARAMETER);
    try {
        // A memory DC that holds a monochrome bitmap is a monochrome device.
        return NewBitmap(Surface(cx, cy), dc->memory && dc->Mono());
    } catch (const std::bad_alloc&) {
        return Fail(ERROR_NOT_ENOUGH_MEMORY);
    }
}

HBITMAP WINAPI CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitCount, const void* lpBits) {
    if (nWidth == 0 || nHeight == 0) return static_cast<HBITMAP>(DefaultBitmap());
    if (nPlanes != 1 || (nBitCount != 1 && nBitCount != 24 && nBitCount != 32) || !BitmapSizeAllowed(nWidth, nHeight))
        return Fail(ERROR_INVALID_PARAMETER);
    try {
        HBITMAP handle = NewBitmap(Surface(nWidth, nHeight), nBitCount == 1);
        auto* bitmap = Find<BitmapObject>(handle);
        if (bitmap && lpBits) {
            // 24-bit rows are taken in, but the bitmap keeps the device's 32 bits a pixel.
            size_t stride = WordStride(nWidth, static_cast<int>(nBitCount));
            for (int y = 0; y < nHeight; ++y)
                SetDdbRow(*bitmap, y, static_cast<const uint8_t*>(lpBits) + stride * static_cast<size_t>(y),
                          static_cast<int>(nBitCount));
        }
        return handle;
    } catch (const std::bad_alloc&) {
        return Fail(ERROR_NOT_ENOUGH_MEMORY);
    }
}

HBITMAP WINAPI CreateBitmapIndirect(const BITMAP* pbm) {
    if (!pbm) return Fail(ERROR_INVALID_PARAMETER);
    return CreateBitmap(pbm->bmWidth, pbm->bmHeight, pbm->bmPlanes, pbm->bmBitsPixel, pbm->bmBits);
}

HBITMAP WINAPI CreateDIBSection(HDC hdc, const BITMAPINFO* pbmi, UINT usage, void** ppvBits, HANDLE hSection,
                                DWORD offset) {
    (void)offset;
    if (ppvBits) *ppvBits = nullptr;
    if (hdc && !FindDc(hdc)) return nullptr;
    DibFormat format;
    size_t headerBytes = 0;
    if (!pbmi || usage != DIB_RGB_COLORS || hSection ||
        !ReadDibHeader(reinterpret_cast<const uint8_t*>(pbmi), SIZE_MAX, format, headerBytes))
        return Fail(ERROR_INVALID_PARAMETER);
    try {
        HBITMAP handle = NewDibSection(format, Surface());
        if (ppvBits && handle) *ppvBits = Find<BitmapObject>(handle)->Bits();
        return handle;
    } catch (const std::bad_alloc&) {
        return Fail(ERROR_NOT_ENOUGH_MEMORY);
    }
}

int WINAPI GetDIBits(HDC hdc, HBITMAP hbm, UINT start, UINT cLines, LPVOID lpvBits, LPBITMAPINFO lpbmi, UINT usage) {
    BitmapObject* bitmap = FindBitmap(hbm);
    if (!bitmap || !FindDc(hdc)) return 0;
    if (!lpbmi || usage != DIB_RGB_COLORS) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    BITMAPINFOHEADER& header = lpbmi->bmiHeader;
    bitmap->LoadBits();
    if (header.biBitCount == 0) {
        // Asked only to describe the bitmap.
        DibFormat format;
        format.width = bitmap->pixels.width;
        format.height = bitmap->pixels.height;
        format.bitCount = bitmap->bitsPixel;
        WriteDibHeader(format, header);
        header.biClrUsed = 0;
        return 1;
    }
    DibFormat format;
    format.width = bitmap->pixels.width;
    format.height = bitmap->pixels.height;
    format.topDown = header.biHeight < 0;
    format.bitCount = header.biBitCount;
    if (format.bitCount == 16) {
        format.masks[0] = 0x7C00, format.masks[1] = 0x03E0, format.masks[2] = 0x001F;
    } else if (format.bitCount == 1) {
        format.palette = {0x000000, 0xFFFFFF};
    } else if (format.bitCount != 24 && format.bitCount != 32) {
        SetLastError(ERROR_INVALID_PARAMETER);  // no palettes for 4 and 8 bits here
        return 0;
    }
    header.biSizeImage = static_cast<DWORD>(format.ImageSize());
    if (format.bitCount == 1) {
        lpbmi->bmiColors[0] = RGBQUAD{0, 0, 0, 0};
        (&lpbmi->bmiColors[0])[1] = RGBQUAD{255, 255, 255, 0};
    }
    if (!lpvBits) return 1;
    if (start >= static_cast<UINT>(format.height)) return 0;
    UINT lines = std::min<UINT>(cLines, static_cast<UINT>(format.height) - start);
    std::vector<uint8_t> all(format.ImageSize());
    SurfaceToDib(bitmap->pixels, format, all.data());
    // Scan line n is the nth row in memory, counted from the bottom or the top as the DIB's orientation says.
    std::memcpy(lpvBits, all.data() + start * format.Stride(), lines * format.Stride());
    return static_cast<int>(lines);
}

int WINAPI SetDIBits(HDC hdc, HBITMAP hbm, UINT start, UINT cLines, const void* lpBits, const BITMAPINFO* lpbmi,
                     UINT ColorUse) {
    BitmapObject* bitmap = FindBitmap(hbm);
    if (!bitmap || (hdc && !FindDc(hdc))) return 0;
    DibFormat format;
    size_t headerBytes = 0;
    if (!lpBits || ColorUse != DIB_RGB_COLORS ||
        !ReadDibHeader(reinterpret_cast<const uint8_t*>(lpbmi), SIZE_MAX, format, headerBytes)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    bitmap->LoadBits();
    int height = std::min(format.height, bitmap->pixels.height);
    int width = std::min(format.width, bitmap->pixels.width);
    DibFormat row = format;
    row.height = 1;
    Surface line;
    UINT done = 0;
    for (UINT i = 0; i < cLines && start + i < static_cast<UINT>(height); ++i, ++done) {
        UINT scan = start + i;
        DibToSurface(row, static_cast<const uint8_t*>(lpBits) + i * format.Stride(), line);
        int y = format.topDown ? static_cast<int>(scan) : height - 1 - static_cast<int>(scan);
        for (int x = 0; x < width; ++x)
            bitmap->pixels.Row(y)[x] = bitmap->mono ? MonoPixel(line.At(x, 0)) : line.At(x, 0);
    }
    bitmap->StoreBits();
    return static_cast<int>(done);
}

LONG WINAPI GetBitmapBits(HBITMAP hbit, LONG cb, LPVOID lpvBits) {
    BitmapObject* bitmap = FindBitmap(hbit);
    if (!bitmap) return 0;
    bitmap->LoadBits();
    size_t stride = WordStride(bitmap->pixels.width, bitmap->mono ? 1 : 32);
    size_t total = stride * static_cast<size_t>(bitmap->pixels.height);
    if (!lpvBits) return static_cast<LONG>(total);
    size_t wanted = std::min(total, static_cast<size_t>(std::max<LONG>(cb, 0)));
    std::vector<uint8_t> row(stride);
    auto* out = static_cast<uint8_t*>(lpvBits);
    for (size_t done = 0, y = 0; done < wanted; done += stride, ++y) {
        DdbRow(*bitmap, static_cast<int>(y), row.data());
        std::memcpy(out + done, row.data(), std::min(stride, wanted - done));
    }
    return static_cast<LONG>(wanted);
}

LONG WINAPI SetBitmapBits(HBITMAP hbm, DWORD cb, const void* pvBits) {
    BitmapObject* bitmap = FindBitmap(hbm);
    if (!bitmap || !pvBits) return 0;
    bitmap->LoadBits();
    int bits = bitmap->mono ? 1 : 32;
    size_t stride = WordStride(bitmap->pixels.width, bits);
    size_t rows = std::min(static_cast<size_t>(bitmap->pixels.height), cb / stride);
    for (size_t y = 0; y < rows; ++y)
        SetDdbRow(*bitmap, static_cast<int>(y), static_cast<const uint8_t*>(pvBits) + y * stride, bits);
    bitmap->StoreBits();
    return static_cast<LONG>(rows * stride);
}
