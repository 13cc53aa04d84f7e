#pragma once
// The GDI objects behind the handles, and the table that hands the handles out. A handle carries its object's
// kind and a generation, so a stale handle or one of the wrong kind is refused, never followed. All of this
// belongs to the user-interface thread.

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/gdi/Dib.h"
#include "platform/gdi/Region.h"
#include "platform/gdi/Surface.h"
#include "platform/win32.h"

namespace platform::gdi {

class FontInstance;

enum class ObjectKind : uint8_t { Dc = 1, Bitmap, Brush, Pen, Font, Region };

struct GdiObject {
    explicit GdiObject(ObjectKind k) : kind(k) {}
    virtual ~GdiObject() = default;
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    const ObjectKind kind;
    HGDIOBJ handle = nullptr;
    bool stock = false;
    int selections = 0;          // DC states, current or saved, that hold the object
    bool deletePending = false;  // deleted while selected: it goes when its last selection ends
};

struct BitmapObject : GdiObject {
    static constexpr ObjectKind kKind = ObjectKind::Bitmap;
    BitmapObject() : GdiObject(kKind) {}

    Surface pixels;
    bool mono = false;  // a monochrome DDB: every pixel is 0 or 0xFFFFFF
    int bitsPixel = 32;
    // DIB sections: the format of the bits the program sees. They live in dibBits, or are the pixels themselves
    // when the format has a surface's layout.
    std::optional<DibFormat> dib;
    std::vector<uint8_t> dibBits;
    HDC owner = nullptr;  // the memory DC it is selected into

    void* Bits();
    // Brings the program's writes into the pixels before GDI reads them, and GDI's drawing back afterwards.
    void LoadBits();
    void StoreBits();
};

struct BrushObject : GdiObject {
    static constexpr ObjectKind kKind = ObjectKind::Brush;
    BrushObject() : GdiObject(kKind) {}

    UINT style = BS_SOLID;
    COLORREF color = 0;
    int hatch = 0;
    Surface pattern;  // BS_PATTERN: a copy of the bitmap
    bool patternMono = false;
};

struct PenObject : GdiObject {
    static constexpr ObjectKind kKind = ObjectKind::Pen;
    PenObject() : GdiObject(kKind) {}

    UINT style = PS_SOLID;
    int width = 1;
    COLORREF color = 0;
};

struct FontObject : GdiObject {
    static constexpr ObjectKind kKind = ObjectKind::Font;
    FontObject() : GdiObject(kKind) {}

    LOGFONTA logFont{};
    FontInstance* instance = nullptr;  // resolved on first use; shared and cached by the font cache
};

struct RegionObject : GdiObject {
    static constexpr ObjectKind kKind = ObjectKind::Region;
    RegionObject() : GdiObject(kKind) {}

    Region region;
};

struct DcState {
    HGDIOBJ brush = nullptr;
    HGDIOBJ pen = nullptr;
    HGDIOBJ font = nullptr;
    HGDIOBJ bitmap = nullptr;  // memory DCs
    COLORREF textColor = RGB(0, 0, 0);
    COLORREF bkColor = RGB(255, 255, 255);
    int bkMode = OPAQUE;
    int rop2 = R2_COPYPEN;
    int stretchMode = BLACKONWHITE;
    int polyFillMode = ALTERNATE;
    UINT textAlign = TA_LEFT | TA_TOP | TA_NOUPDATECP;
    POINT windowOrg{};
    POINT viewportOrg{};
    POINT brushOrg{};
    POINT position{};
    std::optional<Region> clip;  // device coordinates; none: only the DC's own bounds
};

struct DcObject : GdiObject {
    static constexpr ObjectKind kKind = ObjectKind::Dc;
    DcObject() : GdiObject(kKind) {}

    bool memory = true;
    Surface* surface = nullptr;  // surface DCs
    POINT origin{};              // surface DCs: where device (0, 0) lies on the surface
    Region baseClip;             // surface DCs: the pixels it may touch, in surface coordinates
    DcState state;
    std::vector<DcState> saved;
    RECT drawn{};  // surface coordinates

    BitmapObject* Bitmap() const;
    Surface* Pixels() const;
    bool Mono() const;
    // Logical coordinates to device coordinates and on to the surface.
    POINT DeviceOffset() const {
        return {state.viewportOrg.x - state.windowOrg.x, state.viewportOrg.y - state.windowOrg.y};
    }
    POINT SurfaceOffset() const {
        POINT d = DeviceOffset();
        return {d.x + origin.x, d.y + origin.y};
    }
    // The pixels drawing may touch, in surface coordinates.
    Region EffectiveClip() const;
};

// Returns nullptr, with the last error set, when the table is full.
HGDIOBJ AddObject(std::unique_ptr<GdiObject> object);
// Live objects only: a stale handle, a wrong kind or an object already deleted gives nullptr.
GdiObject* FindObject(HGDIOBJ handle);
// Also objects deleted while selected, which their DCs still draw with.
GdiObject* FindSelected(HGDIOBJ handle);
template <class T>
T* Find(HGDIOBJ handle) {
    GdiObject* object = FindObject(handle);
    return object && object->kind == T::kKind ? static_cast<T*>(object) : nullptr;
}
template <class T>
T* FindInState(HGDIOBJ handle) {
    GdiObject* object = FindSelected(handle);
    return object && object->kind == T::kKind ? static_cast<T*>(object) : nullptr;
}
void DestroyObject(HGDIOBJ handle);
// Objects in the table, stock objects and those deleted while selected included (tests count them over a long run).
size_t LiveObjectCount();

// Selection counting: an object deleted while selected is destroyed when its count drops to 0.
void Retain(HGDIOBJ handle);
void Release(HGDIOBJ handle);

// The stock 1 × 1 monochrome bitmap that a new memory DC holds.
HGDIOBJ DefaultBitmap();
// A DC's state when it is made: system font, white brush, black pen.
DcState DefaultDcState();
DcObject* FindDc(HDC dc);  // sets ERROR_INVALID_HANDLE when dc is not a live DC

// The colour as a monochrome surface stores it: black or white, whichever is nearer.
uint32_t MonoPixel(uint32_t pixel);

}  // namespace platform::gdi
