#include "runtime/Bitmap.h"

#include <algorithm>
#include <string>
#include <utility>

#include "runtime/Canvas.h"
#include "runtime/Exception.h"

// The canvas of a bitmap: its DC is a memory DC of its own holding the bitmap, and what is drawn on it changes the
// bitmap.
class TBitmapCanvas : public TCanvas {
  public:
    explicit TBitmapCanvas(TBitmap& bitmap) : bitmap_(bitmap) {}
    ~TBitmapCanvas() override { FreeContext(); }

    // Lets go of the bitmap and deletes the DC; the next drawing operation makes a new one.
    void FreeContext() {
        if (!dc_) return;
        SetHandle(nullptr);
        if (oldBitmap_ && oldBitmap_ != HGDI_ERROR) SelectObject(dc_, oldBitmap_);
        DeleteDC(dc_);
        dc_ = nullptr;
        oldBitmap_ = nullptr;
    }

  protected:
    void CreateHandle() override {
        if (!dc_) {
            dc_ = CreateCompatibleDC(nullptr);
            if (!dc_) throw EOutOfResources(Msg::SOutOfResources);
            if (bitmap_.Handle()) oldBitmap_ = SelectObject(dc_, bitmap_.Handle());
        }
        SetHandle(dc_);
    }

    void Changed() override {
        TCanvas::Changed();
        bitmap_.Changed();
    }

  private:
    TBitmap& bitmap_;
    HDC dc_ = nullptr;
    HGDIOBJ oldBitmap_ = nullptr;
};

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

TColor ColorOfPixel(uint32_t pixel) {
    return static_cast<TColor>(((pixel >> 16) & 0xFF) | (pixel & 0xFF00) | ((pixel & 0xFF) << 16));
}

}  // namespace

TBitmap::TBitmap() = default;

TBitmap::TBitmap(int32_t width, int32_t height) { SetSize(width, height); }

TBitmap::~TBitmap() = default;

void TBitmap::Assign(const TBitmap& source) {
    if (&source == this) return;
    Rebuild(source.width_, source.height_, source.monochrome_, source.Empty() ? nullptr : source.SourceDC(),
            source.width_, source.height_);
    transparent_ = source.transparent_;
    transparentColor_ = source.transparentColor_;
    transparentMode_ = source.transparentMode_;
    Changed();
}

void TBitmap::SetSize(int32_t width, int32_t height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == width_ && height == height_) return;
    Rebuild(width, height, monochrome_, Empty() ? nullptr : SourceDC(), width_, height_);
    Changed();
}

void TBitmap::SetMonochrome(bool value) {
    if (monochrome_ == value) return;
    Rebuild(width_, height_, value, Empty() ? nullptr : SourceDC(), width_, height_);
    Changed();
}

void TBitmap::SetTransparent(bool value) {
    if (transparent_ == value) return;
    transparent_ = value;
    Changed();
}

TColor TBitmap::TransparentColor() const {
    if (transparentMode_ == tmFixed) return transparentColor_;
    if (Empty()) return clNone;
    if (monochrome_) return clWhite;
    return ColorOfPixel(bits_[static_cast<size_t>(height_ - 1) * static_cast<size_t>(width_)]);
}

void TBitmap::SetTransparentColor(TColor value) {
    TTransparentMode mode = value == clDefault ? tmAuto : tmFixed;
    if (transparentColor_ == value && transparentMode_ == mode) return;
    transparentColor_ = value;
    transparentMode_ = mode;
    Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode value) {
    if (transparentMode_ == value) return;
    // Fixing the mode keeps the colour that was in use, so nothing looks different until a colour is set.
    transparentColor_ = value == tmFixed ? TransparentColor() : clDefault;
    transparentMode_ = value;
    Changed();
}

TCanvas& TBitmap::Canvas() {
    if (!canvas_) canvas_ = std::make_unique<TBitmapCanvas>(*this);
    return *canvas_;
}

HDC TBitmap::SourceDC() const {
    // Reading the picture needs the same DC that drawing uses: a bitmap is in one DC at a time.
    return const_cast<TBitmap*>(this)->Canvas().Handle();
}

uint32_t* TBitmap::ScanLine(int32_t y) {
    if (!bits_ || y < 0 || y >= height_) return nullptr;
    return bits_ + static_cast<size_t>(y) * static_cast<size_t>(width_);
}

const uint32_t* TBitmap::ScanLine(int32_t y) const { return const_cast<TBitmap*>(this)->ScanLine(y); }

HBITMAP TBitmap::MaskHandle(TColor color) const {
    if (Empty()) return nullptr;
    if (mask_ && maskColor_ == color) return mask_.Get();
    runtime::GdiObject<HBITMAP> mask(CreateBitmap(width_, height_, 1, 1, nullptr));
    if (!mask) throw EOutOfResources(Msg::SOutOfResources);
    {
        runtime::MemoryDC dc(mask.Get());
        HDC source = SourceDC();
        COLORREF key = ColorToRGB(color);
        if (color == clNone) {
            PatBlt(dc.Get(), 0, 0, width_, height_, BLACKNESS);
        } else if (monochrome_) {
            // Only black and white are there to pick.
            DWORD rop = key == kWhite ? SRCCOPY : key == kBlack ? NOTSRCCOPY : BLACKNESS;
            BitBlt(dc.Get(), 0, 0, width_, height_, source, 0, 0, rop);
        } else {
            // Copying colour to monochrome sets exactly the pixels of the source's background colour.
            COLORREF background = SetBkColor(source, key);
            BitBlt(dc.Get(), 0, 0, width_, height_, source, 0, 0, SRCCOPY);
            SetBkColor(source, background);
        }
    }
    mask_ = std::move(mask);
    maskColor_ = color;
    return mask_.Get();
}

void TBitmap::Dormant() {
    if (canvas_) canvas_->FreeContext();
}

void TBitmap::LoadFromResourceName(HINSTANCE instance, std::string_view name) {
    std::string resource(name);
    SetLastError(0);
    runtime::GdiObject<HBITMAP> loaded(LoadBitmapA(instance, resource.c_str()));
    if (!loaded) {
        if (GetLastError() == ERROR_INVALID_DATA) throw EInvalidGraphic(Msg::SInvalidBitmapResource, resource);
        throw EResNotFound(Msg::SResNotFound, resource);
    }
    BITMAP info{};
    if (!GetObjectA(loaded.Get(), sizeof info, &info)) throw EInvalidGraphic(Msg::SInvalidBitmapResource, resource);
    runtime::MemoryDC source(loaded.Get());
    Rebuild(info.bmWidth, info.bmHeight, info.bmBitsPixel == 1, source.Get(), info.bmWidth, info.bmHeight);
    Changed();
}

void TBitmap::Changed() {
    mask_.Reset();
    TGraphicsObject::Changed();
}

void TBitmap::Rebuild(int32_t width, int32_t height, bool monochrome, HDC source, int32_t sourceWidth,
                      int32_t sourceHeight) {
    runtime::GdiObject<HBITMAP> image;
    void* bits = nullptr;
    if (width > 0 && height > 0) {
        if (monochrome) {
            image.Reset(CreateBitmap(width, height, 1, 1, nullptr));
        } else {
            BITMAPINFO info{};
            info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
            info.bmiHeader.biWidth = width;
            info.bmiHeader.biHeight = -height;  // rows from the top, as ScanLine gives them
            info.bmiHeader.biPlanes = 1;
            info.bmiHeader.biBitCount = 32;
            info.bmiHeader.biCompression = BI_RGB;
            image.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        }
        if (!image) throw EOutOfResources(Msg::SOutOfResources);
        runtime::MemoryDC dc(image.Get());
        PatBlt(dc.Get(), 0, 0, width, height, WHITENESS);
        int32_t copyWidth = std::min(width, sourceWidth), copyHeight = std::min(height, sourceHeight);
        if (source && copyWidth > 0 && copyHeight > 0) {
            // Between colour and two colours, white stays white and everything else is black.
            SetTextColor(dc.Get(), kBlack);
            SetBkColor(dc.Get(), kWhite);
            COLORREF background = SetBkColor(source, kWhite);
            BitBlt(dc.Get(), 0, 0, copyWidth, copyHeight, source, 0, 0, SRCCOPY);
            SetBkColor(source, background);
        }
    }
    // The canvas lets go of the old bitmap before it is deleted, and selects the new one when next used.
    if (canvas_) canvas_->FreeContext();
    image_ = std::move(image);
    bits_ = static_cast<uint32_t*>(bits);
    width_ = width;
    height_ = height;
    monochrome_ = monochrome;
}
