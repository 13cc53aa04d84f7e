#include "platform/gdi/Objects.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace platform::gdi {

namespace {

// A handle is generation << 32 | kind << 24 | (slot + 1): never null, never one of the small numbers that FillRect
// takes for system colours, and never equal to an earlier handle of the same slot.
constexpr uint64_t kSlotMask = 0xFFFFFF;

struct Slot {
    std::unique_ptr<GdiObject> object;
    uint32_t generation = 1;
};

struct ObjectTable {
    std::vector<Slot> slots;
    std::vector<uint32_t> free;
};

ObjectTable& Table() {
    static ObjectTable table;
    return table;
}

uintptr_t Encode(uint32_t slot, uint32_t generation, ObjectKind kind) {
    return (static_cast<uint64_t>(generation) << 32) | (static_cast<uint64_t>(kind) << 24) | (slot + 1);
}

Slot* SlotOf(HGDIOBJ handle) {
    auto value = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(handle));
    uint64_t index = value & kSlotMask;
    if (index == 0) return nullptr;
    ObjectTable& table = Table();
    if (index - 1 >= table.slots.size()) return nullptr;
    Slot& slot = table.slots[index - 1];
    if (!slot.object || slot.object->handle != handle) return nullptr;
    return &slot;
}

}  // namespace

HGDIOBJ AddObject(std::unique_ptr<GdiObject> object) {
    ObjectTable& table = Table();
    uint32_t index;
    if (!table.free.empty()) {
        index = table.free.back();
        table.free.pop_back();
    } else {
        if (table.slots.size() >= kSlotMask - 1) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        table.slots.emplace_back();
        index = static_cast<uint32_t>(table.slots.size() - 1);
    }
    Slot& slot = table.slots[index];
    object->handle = reinterpret_cast<HGDIOBJ>(Encode(index, slot.generation, object->kind));
    slot.object = std::move(object);
    return slot.object->handle;
}

GdiObject* FindSelected(HGDIOBJ handle) {
    Slot* slot = SlotOf(handle);
    return slot ? slot->object.get() : nullptr;
}

GdiObject* FindObject(HGDIOBJ handle) {
    GdiObject* object = FindSelected(handle);
    return object && !object->deletePending ? object : nullptr;
}

void DestroyObject(HGDIOBJ handle) {
    Slot* slot = SlotOf(handle);
    if (!slot) return;
    // The object may release others as it goes (a DC its selections), so it leaves the table first.
    std::unique_ptr<GdiObject> object = std::move(slot->object);
    if (++slot->generation == 0) slot->generation = 1;
    Table().free.push_back(static_cast<uint32_t>(slot - Table().slots.data()));
    object.reset();
}

size_t LiveObjectCount() {
    const ObjectTable& table = Table();
    return table.slots.size() - table.free.size();
}

void Retain(HGDIOBJ handle) {
    if (GdiObject* object = FindSelected(handle)) ++object->selections;
}

void Release(HGDIOBJ handle) {
    GdiObject* object = FindSelected(handle);
    if (!object || object->selections == 0) return;
    if (--object->selections > 0) return;
    if (object->kind == ObjectKind::Bitmap) static_cast<BitmapObject*>(object)->owner = nullptr;
    if (object->deletePending) DestroyObject(handle);
}

DcObject* FindDc(HDC dc) {
    auto* object = Find<DcObject>(dc);
    if (!object) SetLastError(ERROR_INVALID_HANDLE);
    return object;
}

uint32_t MonoPixel(uint32_t pixel) {
    uint32_t sum = ((pixel >> 16) & 0xFF) + ((pixel >> 8) & 0xFF) + (pixel & 0xFF);
    return sum >= 383 ? 0xFFFFFF : 0;  // nearer to white than to black
}

// ---- bitmaps and DCs ---------------------------------------------------------------------------------------------

void* BitmapObject::Bits() {
    if (!dib) return nullptr;
    return dib->SurfaceLayout() ? static_cast<void*>(pixels.pixels.data()) : static_cast<void*>(dibBits.data());
}

void BitmapObject::LoadBits() {
    if (dib && !dib->SurfaceLayout()) DibToSurface(*dib, dibBits.data(), pixels);
}

void BitmapObject::StoreBits() {
    if (dib && !dib->SurfaceLayout()) SurfaceToDib(pixels, *dib, dibBits.data());
}

BitmapObject* DcObject::Bitmap() const { return memory ? FindInState<BitmapObject>(state.bitmap) : nullptr; }

Surface* DcObject::Pixels() const {
    if (!memory) return surface;
    BitmapObject* bitmap = Bitmap();
    return bitmap ? &bitmap->pixels : nullptr;
}

bool DcObject::Mono() const {
    BitmapObject* bitmap = Bitmap();
    return bitmap && bitmap->mono;
}

Region DcObject::EffectiveClip() const {
    Surface* pixels = Pixels();
    if (!pixels) return {};
    Region clip(RECT{0, 0, pixels->width, pixels->height});
    if (!memory) clip.Intersect(baseClip);
    if (state.clip) {
        Region own = *state.clip;
        own.Offset(origin.x, origin.y);
        clip.Intersect(own);
    }
    return clip;
}

// ---- stock objects -----------------------------------------------------------------------------------------------

namespace {

HGDIOBJ AddStock(std::unique_ptr<GdiObject> object) {
    object->stock = true;
    return AddObject(std::move(object));
}

HGDIOBJ StockBrush(UINT style, COLORREF color) {
    auto brush = std::make_unique<BrushObject>();
    brush->style = style;
    brush->color = color;
    return AddStock(std::move(brush));
}

HGDIOBJ StockPen(UINT style, COLORREF color) {
    auto pen = std::make_unique<PenObject>();
    pen->style = style;
    pen->width = 0;  // cosmetic: one pixel
    pen->color = color;
    return AddStock(std::move(pen));
}

HGDIOBJ StockFont(const char* face, LONG height, BYTE charset, BYTE pitchAndFamily) {
    auto font = std::make_unique<FontObject>();
    font->logFont.lfHeight = height;
    font->logFont.lfWeight = FW_NORMAL;
    font->logFont.lfCharSet = charset;
    font->logFont.lfPitchAndFamily = pitchAndFamily;
    std::strncpy(font->logFont.lfFaceName, face, LF_FACESIZE - 1);
    return AddStock(std::move(font));
}

constexpr int kStockCount = DEFAULT_GUI_FONT + 1;

std::vector<HGDIOBJ> MakeStock() {
    std::vector<HGDIOBJ> stock(kStockCount, nullptr);
    stock[WHITE_BRUSH] = StockBrush(BS_SOLID, RGB(255, 255, 255));
    stock[LTGRAY_BRUSH] = StockBrush(BS_SOLID, RGB(192, 192, 192));
    stock[GRAY_BRUSH] = StockBrush(BS_SOLID, RGB(128, 128, 128));
    stock[DKGRAY_BRUSH] = StockBrush(BS_SOLID, RGB(64, 64, 64));
    stock[BLACK_BRUSH] = StockBrush(BS_SOLID, RGB(0, 0, 0));
    stock[NULL_BRUSH] = StockBrush(BS_NULL, 0);
    stock[WHITE_PEN] = StockPen(PS_SOLID, RGB(255, 255, 255));
    stock[BLACK_PEN] = StockPen(PS_SOLID, RGB(0, 0, 0));
    stock[NULL_PEN] = StockPen(PS_NULL, 0);
    // The fonts of a Japanese system: its system and GUI fonts are Japanese gothic faces.
    stock[SYSTEM_FONT] = StockFont("System", 16, SHIFTJIS_CHARSET, VARIABLE_PITCH | FF_SWISS);
    stock[DEVICE_DEFAULT_FONT] = stock[SYSTEM_FONT];
    stock[DEFAULT_GUI_FONT] = StockFont("MS UI Gothic", -12, SHIFTJIS_CHARSET, VARIABLE_PITCH | FF_SWISS);
    stock[ANSI_VAR_FONT] = StockFont("MS Sans Serif", 13, ANSI_CHARSET, VARIABLE_PITCH | FF_SWISS);
    stock[ANSI_FIXED_FONT] = StockFont("Courier", 13, ANSI_CHARSET, FIXED_PITCH | FF_MODERN);
    stock[OEM_FIXED_FONT] = StockFont("Terminal", 16, OEM_CHARSET, FIXED_PITCH | FF_MODERN);
    stock[SYSTEM_FIXED_FONT] = StockFont("ＭＳ ゴシック", 16, SHIFTJIS_CHARSET, FIXED_PITCH | FF_MODERN);
    return stock;
}

const std::vector<HGDIOBJ>& Stock() {
    static const std::vector<HGDIOBJ> stock = MakeStock();
    return stock;
}

}  // namespace

HGDIOBJ DefaultBitmap() {
    static const HGDIOBJ bitmap = [] {
        auto object = std::make_unique<BitmapObject>();
        object->pixels.Resize(1, 1);
        object->mono = true;
        object->bitsPixel = 1;
        return AddStock(std::move(object));
    }();
    return bitmap;
}

DcState DefaultDcState() {
    DcState state;
    state.brush = Stock()[WHITE_BRUSH];
    state.pen = Stock()[BLACK_PEN];
    state.font = Stock()[SYSTEM_FONT];
    return state;
}

}  // namespace platform::gdi

using namespace platform::gdi;

HGDIOBJ WINAPI GetStockObject(int i) {
    if (i < 0 || i >= static_cast<int>(Stock().size()) || !Stock()[static_cast<size_t>(i)]) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return Stock()[static_cast<size_t>(i)];
}

HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ h) {
    DcObject* dc = FindDc(hdc);
    if (!dc) return nullptr;
    GdiObject* object = FindObject(h);
    if (!object || object->kind == ObjectKind::Dc) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    HGDIOBJ* slot = nullptr;
    switch (object->kind) {
        case ObjectKind::Region: {
            int type = SelectClipRgn(hdc, static_cast<HRGN>(h));
            return type == ERROR ? HGDI_ERROR : reinterpret_cast<HGDIOBJ>(static_cast<intptr_t>(type));
        }
        case ObjectKind::Bitmap: {
            auto* bitmap = static_cast<BitmapObject*>(object);
            if (!dc->memory || (!bitmap->stock && bitmap->owner && bitmap->owner != hdc)) {
                SetLastError(ERROR_INVALID_PARAMETER);  // a bitmap draws in one memory DC at a time
                return nullptr;
            }
            if (!bitmap->stock) bitmap->owner = hdc;
            slot = &dc->state.bitmap;
            break;
        }
        case ObjectKind::Brush: slot = &dc->state.brush; break;
        case ObjectKind::Pen: slot = &dc->state.pen; break;
        case ObjectKind::Font: slot = &dc->state.font; break;
        case ObjectKind::Dc: return nullptr;
    }
    HGDIOBJ old = *slot;
    if (old == h) return old;
    Retain(h);
    *slot = h;
    Release(old);
    return old;
}

BOOL WINAPI DeleteObject(HGDIOBJ ho) {
    GdiObject* object = FindObject(ho);
    if (!object || object->kind == ObjectKind::Dc) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (object->stock) return TRUE;
    if (object->selections > 0) {
        if (object->kind == ObjectKind::Bitmap) {
            SetLastError(ERROR_BUSY);
            return FALSE;
        }
        object->deletePending = true;
        return TRUE;
    }
    DestroyObject(ho);
    return TRUE;
}

int WINAPI GetObjectA(HANDLE h, int c, LPVOID pv) {
    GdiObject* object = FindObject(h);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    auto copy = [&](const auto& value) -> int {
        int size = static_cast<int>(sizeof(value));
        if (!pv) return size;
        if (c < size) {
            SetLastError(ERROR_INSUFFICIENT_BUFFER);
            return 0;
        }
        std::memcpy(pv, &value, sizeof(value));
        return size;
    };
    switch (object->kind) {
        case ObjectKind::Bitmap: {
            auto* bitmap = static_cast<BitmapObject*>(object);
            BITMAP bm{};
            bm.bmWidth = bitmap->pixels.width;
            bm.bmHeight = bitmap->pixels.height;
            bm.bmPlanes = 1;
            bm.bmBitsPixel = static_cast<WORD>(bitmap->bitsPixel);
            bm.bmWidthBytes =
                static_cast<LONG>(bitmap->dib ? bitmap->dib->Stride() : ((bm.bmWidth * bm.bmBitsPixel + 15) / 16) * 2);
            bm.bmBits = bitmap->Bits();
            if (bitmap->dib && pv && c >= static_cast<int>(sizeof(DIBSECTION))) {
                DIBSECTION section{};
                section.dsBm = bm;
                WriteDibHeader(*bitmap->dib, section.dsBmih);
                std::copy(std::begin(bitmap->dib->masks), std::end(bitmap->dib->masks), section.dsBitfields);
                return copy(section);
            }
            return copy(bm);
        }
        case ObjectKind::Brush: {
            auto* brush = static_cast<BrushObject*>(object);
            LOGBRUSH lb{brush->style, brush->color,
                        static_cast<ULONG_PTR>(brush->style == BS_HATCHED ? brush->hatch : 0)};
            return copy(lb);
        }
        case ObjectKind::Pen: {
            auto* pen = static_cast<PenObject*>(object);
            LOGPEN lp{pen->style, POINT{pen->width, 0}, pen->color};
            return copy(lp);
        }
        case ObjectKind::Font: {
            // A font gives as much of its LOGFONTA as fits.
            const LOGFONTA& lf = static_cast<FontObject*>(object)->logFont;
            if (!pv) return sizeof(LOGFONTA);
            int size = std::clamp(c, 0, static_cast<int>(sizeof(LOGFONTA)));
            std::memcpy(pv, &lf, static_cast<size_t>(size));
            return size;
        }
        default: SetLastError(ERROR_INVALID_HANDLE); return 0;
    }
}

DWORD WINAPI GetObjectType(HGDIOBJ h) {
    GdiObject* object = FindObject(h);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    switch (object->kind) {
        case ObjectKind::Dc: return static_cast<DcObject*>(object)->memory ? OBJ_MEMDC : OBJ_DC;
        case ObjectKind::Bitmap: return OBJ_BITMAP;
        case ObjectKind::Brush: return OBJ_BRUSH;
        case ObjectKind::Pen: return OBJ_PEN;
        case ObjectKind::Font: return OBJ_FONT;
        case ObjectKind::Region: return OBJ_REGION;
    }
    return 0;
}

HGDIOBJ WINAPI GetCurrentObject(HDC hdc, UINT type) {
    DcObject* dc = FindDc(hdc);
    if (!dc) return nullptr;
    switch (type) {
        case OBJ_PEN: return dc->state.pen;
        case OBJ_BRUSH: return dc->state.brush;
        case OBJ_FONT: return dc->state.font;
        case OBJ_BITMAP: return dc->state.bitmap;
        default: SetLastError(ERROR_INVALID_PARAMETER); return nullptr;
    }
}
