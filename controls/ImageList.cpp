#include "controls/ImageList.h"

#include <algorithm>

#include "runtime/Exception.h"

namespace {

// The ternary raster operation that leaves the destination as it is.
constexpr DWORD kKeepDestination = 0x00AA0029;

}  // namespace

TCustomImageList::TCustomImageList(int32_t width, int32_t height)
    : width_(std::max(width, 0)), height_(std::max(height, 0)) {
    masks_.SetMonochrome(true);
}

TCustomImageList::~TCustomImageList() = default;

int TCustomImageList::AddEmpty() {
    const int32_t stripWidth = width_ * (count_ + 1);
    images_.SetSize(stripWidth, height_);
    try {
        // New mask pixels are white, that is transparent.
        masks_.SetSize(stripWidth, height_);
    } catch (...) {
        images_.SetSize(width_ * count_, height_);
        throw;
    }
    return count_++;
}

void TCustomImageList::ReplaceMasked(int index, TBitmap& image, TColor maskColor) {
    if (index < 0 || index >= count_ || image.Width() != width_ || image.Height() != height_ || image.Empty())
        throw EInvalidOperation(Msg::SReplaceImage);
    if (maskColor == clDefault) maskColor = image.TransparentColor();
    const int32_t left = index * width_;
    {
        HDC dc = images_.Canvas().Handle();
        // A two-colour image comes in black on white.
        COLORREF text = SetTextColor(dc, RGB(0, 0, 0));
        COLORREF background = SetBkColor(dc, RGB(255, 255, 255));
        BitBlt(dc, left, 0, width_, height_, image.Canvas().Handle(), 0, 0, SRCCOPY);
        SetTextColor(dc, text);
        SetBkColor(dc, background);
    }
    HBITMAP mask = image.MaskHandle(maskColor);
    {
        runtime::MemoryDC source(mask);
        BitBlt(masks_.Canvas().Handle(), left, 0, width_, height_, source.Get(), 0, 0, SRCCOPY);
    }
    // The mask goes to MaskBlt as a bitmap, which must not be held by a DC of its own meanwhile.
    masks_.Dormant();
    image.Dormant();
}

void TCustomImageList::Draw(TCanvas& canvas, int32_t x, int32_t y, int index, bool masked, TColor background) {
    if (index < 0 || index >= count_) return;
    const int32_t left = index * width_;
    HDC source = images_.Canvas().Handle();
    if (!masked && background == clNone) {
        BitBlt(canvas.Handle(), x, y, width_, height_, source, left, 0, SRCCOPY);
        return;
    }
    if (!masked) {
        canvas.Brush().SetStyle(bsSolid);
        canvas.Brush().SetColor(background);
        canvas.FillRect(RECT{x, y, x + width_, y + height_});
    }
    // Where the mask is set (transparent) the canvas stays; elsewhere the image is copied.
    MaskBlt(canvas.Handle(), x, y, width_, height_, source, left, 0, masks_.Handle(), left, 0,
            MAKEROP4(kKeepDestination, SRCCOPY));
}
