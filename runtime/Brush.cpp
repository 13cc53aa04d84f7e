#include "runtime/Brush.h"

#include <utility>

#include "runtime/Bitmap.h"
#include "runtime/Exception.h"

TBrush::TBrush() = default;

TBrush::~TBrush() = default;

void TBrush::Assign(const TBrush& source) {
    if (&source == this) return;
    if (color_ == source.color_ && style_ == source.style_ && !bitmap_ && !source.bitmap_) return;
    color_ = source.color_;
    style_ = source.style_;
    if (source.bitmap_) {
        auto copy = std::make_unique<TBitmap>();
        copy->Assign(*source.bitmap_);
        bitmap_ = std::move(copy);
    } else {
        bitmap_.reset();
    }
    Changed();
}

void TBrush::SetColor(TColor value) {
    if (color_ == value) return;
    color_ = value;
    Changed();
}

void TBrush::SetStyle(TBrushStyle value) {
    if (style_ == value) return;
    style_ = value;
    Changed();
}

void TBrush::SetBitmap(const TBitmap* value) {
    if (!value && !bitmap_) return;
    std::unique_ptr<TBitmap> copy;
    if (value) {
        copy = std::make_unique<TBitmap>();
        copy->Assign(*value);
    }
    bitmap_ = std::move(copy);
    Changed();
}

HBRUSH TBrush::Handle() const {
    if (handle_) return handle_.Get();
    COLORREF color = ColorToRGB(color_);
    LOGBRUSH hollow{BS_NULL, 0, 0};
    if (bitmap_ && !bitmap_->Empty()) handle_.Reset(CreatePatternBrush(bitmap_->Handle()));
    else if (style_ == bsSolid) handle_.Reset(CreateSolidBrush(color));
    else if (style_ == bsClear) handle_.Reset(CreateBrushIndirect(&hollow));
    else handle_.Reset(CreateHatchBrush(HS_HORIZONTAL + (style_ - bsHorizontal), color));
    if (!handle_) throw EOutOfResources(Msg::SOutOfResources);
    return handle_.Get();
}

void TBrush::Changed() {
    runtime::GdiObject<HBRUSH> old = std::move(handle_);  // after the holders have let go of it
    TGraphicsObject::Changed();
}
