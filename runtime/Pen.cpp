#include "runtime/Pen.h"

#include <array>
#include <utility>

#include "runtime/Exception.h"

namespace {

constexpr std::array<int, 16> kRop2 = {R2_BLACK,       R2_WHITE,      R2_NOP,         R2_NOT,
                                       R2_COPYPEN,     R2_NOTCOPYPEN, R2_MERGEPENNOT, R2_MASKPENNOT,
                                       R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN,    R2_NOTMERGEPEN,
                                       R2_MASKPEN,     R2_NOTMASKPEN, R2_XORPEN,      R2_NOTXORPEN};

constexpr std::array<int, 7> kPenStyles = {PS_SOLID,      PS_DASH, PS_DOT,        PS_DASHDOT,
                                           PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};

}  // namespace

TPen::TPen() = default;

TPen::~TPen() = default;

void TPen::Assign(const TPen& source) {
    if (&source == this) return;
    if (color_ == source.color_ && width_ == source.width_ && style_ == source.style_ && mode_ == source.mode_) return;
    color_ = source.color_;
    width_ = source.width_;
    style_ = source.style_;
    mode_ = source.mode_;
    Changed();
}

void TPen::SetColor(TColor value) {
    if (color_ == value) return;
    color_ = value;
    Changed();
}

void TPen::SetWidth(int32_t value) {
    if (value < 1) value = 1;
    if (width_ == value) return;
    width_ = value;
    Changed();
}

void TPen::SetStyle(TPenStyle value) {
    if (style_ == value) return;
    style_ = value;
    Changed();
}

void TPen::SetMode(TPenMode value) {
    if (mode_ == value) return;
    mode_ = value;
    TGraphicsObject::Changed();  // the platform pen has no mode, so it stays
}

int TPen::Rop2() const { return kRop2[mode_]; }

HPEN TPen::Handle() const {
    if (handle_) return handle_.Get();
    handle_.Reset(CreatePen(kPenStyles[style_], width_, ColorToRGB(color_)));
    if (!handle_) throw EOutOfResources(Msg::SOutOfResources);
    return handle_.Get();
}

void TPen::Changed() {
    runtime::GdiObject<HPEN> old = std::move(handle_);  // after the holders have let go of it
    TGraphicsObject::Changed();
}
