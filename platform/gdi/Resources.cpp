// Finding embedded resources, and making bitmaps of them or of .bmp files.

#include "platform/gdi/Resources.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <new>
#include <string>
#include <vector>

#include "platform/gdi/Bitmaps.h"
#include "platform/gdi/Dib.h"
#include "platform/gdi/Objects.h"
#include "platform/kernel/Paths.h"
#include "platform/win32.h"

namespace platform::gdi {

namespace {

constexpr uint16_t kBitmapType = 2;
constexpr size_t kFileHeaderSize = 14;
constexpr std::streamsize kMaxImageFile = 64 << 20;

std::vector<const EmbeddedResource*>& Registry() {
    static std::vector<const EmbeddedResource*> entries;
    return entries;
}

// A resource name or type as Windows passes it: a number in the low word, "#123", or a name.
std::string NameOf(LPCSTR name) {
    if (IS_INTRESOURCE(name)) return std::to_string(reinterpret_cast<uintptr_t>(name));
    std::string text = name[0] == '#' ? name + 1 : name;
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
    return text;
}

bool TypeOf(LPCSTR type, uint16_t& number) {
    std::string text = NameOf(type);
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    return error == std::errc() && end == text.data() + text.size();
}

bool ModuleOk(HMODULE module) { return !module || module == GetModuleHandleA(nullptr); }

const EmbeddedResource* Registered(HRSRC handle) {
    auto* entry = reinterpret_cast<const EmbeddedResource*>(handle);
    const auto& entries = Registry();
    return std::find(entries.begin(), entries.end(), entry) != entries.end() ? entry : nullptr;
}

// What LockResource gives for a bitmap is the DIB without the file header, as with compiled resources.
size_t DataOffset(const EmbeddedResource& entry) {
    bool bmpFile =
        entry.type == kBitmapType && entry.size >= kFileHeaderSize && entry.data[0] == 'B' && entry.data[1] == 'M';
    return bmpFile ? kFileHeaderSize : 0;
}

Surface Resized(const Surface& pixels, int width, int height) {
    Surface out(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            out.Row(y)[x] = pixels.At(static_cast<int>(int64_t{x} * pixels.width / width),
                                      static_cast<int>(int64_t{y} * pixels.height / height));
    return out;
}

HBITMAP BitmapOf(std::span<const uint8_t> file, int cx, int cy, UINT flags) {
    std::optional<ParsedBitmap> parsed = ParseBmpFile(file);
    if (!parsed) {
        SetLastError(ERROR_INVALID_DATA);
        return nullptr;
    }
    Surface pixels = std::move(parsed->pixels);
    if ((cx > 0 && cx != pixels.width) || (cy > 0 && cy != pixels.height)) {
        if (!BitmapSizeAllowed(cx > 0 ? cx : pixels.width, cy > 0 ? cy : pixels.height)) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
        pixels = Resized(pixels, cx > 0 ? cx : pixels.width, cy > 0 ? cy : pixels.height);
        parsed->format.width = pixels.width;
        parsed->format.height = pixels.height;
    }
    if (flags & LR_CREATEDIBSECTION) return NewDibSection(parsed->format, pixels);
    // A two-colour bitmap, or one asked for in monochrome, becomes a monochrome bitmap.
    bool mono = (flags & LR_MONOCHROME) || parsed->format.bitCount == 1;
    if (mono)
        for (uint32_t& pixel : pixels.pixels) pixel = MonoPixel(pixel);
    return NewBitmap(std::move(pixels), mono);
}

}  // namespace

bool RegisterResources(const EmbeddedResource* table, size_t count) {
    for (size_t i = 0; i < count; ++i) Registry().push_back(&table[i]);
    return true;
}

}  // namespace platform::gdi

using namespace platform::gdi;

HRSRC WINAPI FindResourceA(HMODULE hModule, LPCSTR lpName, LPCSTR lpType) {
    if (!ModuleOk(hModule)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    uint16_t type = 0;
    if (!lpName || !lpType || !TypeOf(lpType, type)) {
        SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
        return nullptr;
    }
    std::string name = NameOf(lpName);
    bool typeSeen = false;
    for (const EmbeddedResource* entry : Registry()) {
        if (entry->type != type) continue;
        typeSeen = true;
        if (name == entry->name) return reinterpret_cast<HRSRC>(const_cast<EmbeddedResource*>(entry));
    }
    SetLastError(typeSeen ? ERROR_RESOURCE_NAME_NOT_FOUND : ERROR_RESOURCE_TYPE_NOT_FOUND);
    return nullptr;
}

HGLOBAL WINAPI LoadResource(HMODULE hModule, HRSRC hResInfo) {
    const EmbeddedResource* entry = Registered(hResInfo);
    if (!entry || !ModuleOk(hModule)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    size_t offset = DataOffset(*entry);
    if (offset % alignof(BITMAPINFOHEADER) == 0) return const_cast<unsigned char*>(entry->data + offset);
    // Programs read the header in place, so the DIB gets an aligned copy of its own, made once.
    static std::map<const EmbeddedResource*, std::vector<uint32_t>> aligned;
    std::vector<uint32_t>& copy = aligned[entry];
    if (copy.empty()) {
        copy.resize((entry->size - offset + 3) / 4);
        std::memcpy(copy.data(), entry->data + offset, entry->size - offset);
    }
    return copy.data();
}

LPVOID WINAPI LockResource(HGLOBAL hResData) { return hResData; }

DWORD WINAPI SizeofResource(HMODULE hModule, HRSRC hResInfo) {
    const EmbeddedResource* entry = Registered(hResInfo);
    if (!entry || !ModuleOk(hModule)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return static_cast<DWORD>(entry->size - DataOffset(*entry));
}

BOOL WINAPI FreeResource(HGLOBAL) { return FALSE; }

HBITMAP WINAPI LoadBitmapA(HINSTANCE hInstance, LPCSTR lpBitmapName) {
    return static_cast<HBITMAP>(LoadImageA(hInstance, lpBitmapName, IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
}

namespace {

HANDLE LoadImage(HINSTANCE hInst, LPCSTR name, UINT type, int cx, int cy, UINT fuLoad);

}  // namespace

HANDLE WINAPI LoadImageA(HINSTANCE hInst, LPCSTR name, UINT type, int cx, int cy, UINT fuLoad) {
    try {
        return LoadImage(hInst, name, type, cx, cy, fuLoad);
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
}

namespace {

HANDLE LoadImage(HINSTANCE hInst, LPCSTR name, UINT type, int cx, int cy, UINT fuLoad) {
    if (type != IMAGE_BITMAP || !name || cx < 0 || cy < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (fuLoad & LR_LOADFROMFILE) {
        std::string path;
        DWORD error = 0;
        if (IS_INTRESOURCE(name) || !platform::kernel::ResolvePath(name, path, error)) {
            SetLastError(error ? error : ERROR_INVALID_PARAMETER);
            return nullptr;
        }
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            SetLastError(platform::kernel::MissingPathError(path));
            return nullptr;
        }
        std::vector<uint8_t> bytes;
        char buffer[65536];
        while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
            bytes.insert(bytes.end(), buffer, buffer + in.gcount());
            if (static_cast<std::streamsize>(bytes.size()) > kMaxImageFile) {
                SetLastError(ERROR_INVALID_DATA);
                return nullptr;
            }
        }
        return BitmapOf(bytes, cx, cy, fuLoad);
    }
    // Without a module Windows loads its own predefined bitmaps, of which this platform has none.
    if (!hInst) {
        SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
        return nullptr;
    }
    HRSRC found = FindResourceA(hInst, name, RT_BITMAP);
    const EmbeddedResource* entry = Registered(found);
    if (!entry) return nullptr;
    return BitmapOf(std::span<const uint8_t>(entry->data, entry->size), cx, cy, fuLoad);
}

}  // namespace
