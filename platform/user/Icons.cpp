// Icons made from bitmaps, and the icon a top-level window shows on the desktop.

#include <cstdint>
#include <map>
#include <new>

#include "platform/gdi/Bitmaps.h"
#include "platform/gdi/Objects.h"
#include "platform/user/WindowSystem.h"

using namespace platform;
using namespace platform::user;

namespace {

constexpr uint32_t kOpaque = 0xFF000000;
constexpr uint32_t kWhite = 0xFFFFFF;

// Every icon as the desktop takes it (0xAARRGGBB), by handle. Handles are never given out twice, so a destroyed
// icon's handle stays invalid.
struct IconTable {
    std::map<HICON, gdi::Surface> icons;
    uintptr_t lastHandle = 0x20000;
};

IconTable& Table() {
    static IconTable table;
    return table;
}

const gdi::Surface* IconPixels(HICON icon) {
    auto& icons = Table().icons;
    auto found = icons.find(icon);
    return found == icons.end() ? nullptr : &found->second;
}

HICON CreateIcon(const ICONINFO& info) {
    const gdi::Surface* mask = gdi::BitmapPixels(info.hbmMask);
    const gdi::Surface* color = info.hbmColor ? gdi::BitmapPixels(info.hbmColor) : nullptr;
    if (!mask || !color || mask->width != color->width || mask->height != color->height) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    gdi::Surface pixels(color->width, color->height);
    for (size_t i = 0; i < pixels.pixels.size(); ++i)
        pixels.pixels[i] = gdi::MonoPixel(mask->pixels[i]) == kWhite ? 0 : kOpaque | (color->pixels[i] & kWhite);
    IconTable& table = Table();
    table.lastHandle += 4;
    auto handle = reinterpret_cast<HICON>(table.lastHandle);
    table.icons.emplace(handle, std::move(pixels));
    return handle;
}

}  // namespace

namespace platform::user {

void ApplyNativeIcon(Window& window) {
    if (!window.native) return;
    const gdi::Surface* pixels = IconPixels(window.bigIcon);
    if (!pixels) pixels = IconPixels(window.smallIcon);
    window.native->SetIcon(pixels ? *pixels : gdi::Surface());
}

}  // namespace platform::user

HICON WINAPI CreateIconIndirect(PICONINFO piconinfo) {
    if (!piconinfo) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    try {
        return CreateIcon(*piconinfo);
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
}

BOOL WINAPI DestroyIcon(HICON hIcon) {
    if (Table().icons.erase(hIcon) == 0) {
        SetLastError(ERROR_INVALID_CURSOR_HANDLE);
        return FALSE;
    }
    return TRUE;
}
