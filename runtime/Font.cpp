#include "runtime/Font.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "runtime/Exception.h"

namespace {

// value × numerator ÷ denominator, rounded half away from zero.
int32_t Scale(int32_t value, int32_t numerator, int32_t denominator) {
    int64_t product = int64_t{value} * numerator;
    int64_t half = denominator / 2;
    return static_cast<int32_t>(product >= 0 ? (product + half) / denominator : (product - half) / denominator);
}

// The face name cut to what a LOGFONT holds, never in the middle of a character.
void CopyFaceName(const std::string& name, char (&face)[LF_FACESIZE]) {
    size_t length = std::min(name.size(), size_t{LF_FACESIZE - 1});
    while (length > 0 && length < name.size() && (static_cast<unsigned char>(name[length]) & 0xC0) == 0x80) --length;
    std::memcpy(face, name.data(), length);
    face[length] = '\0';
}

}  // namespace

TFont::TFont()
    : name_("ＭＳ Ｐゴシック"), height_(-12), color_(clWindowText), charset_(SHIFTJIS_CHARSET), pitch_(fpDefault) {}

TFont::~TFont() = default;

void TFont::Assign(const TFont& source) {
    if (&source == this) return;
    bool same = name_ == source.name_ && height_ == source.height_ && color_ == source.color_ &&
                style_ == source.style_ && charset_ == source.charset_ && pitch_ == source.pitch_;
    if (same) return;
    name_ = source.name_;
    height_ = source.height_;
    color_ = source.color_;
    style_ = source.style_;
    charset_ = source.charset_;
    pitch_ = source.pitch_;
    Changed();
}

void TFont::SetName(std::string_view value) {
    if (name_ == value) return;
    name_ = value;
    Changed();
}

void TFont::SetHeight(int32_t value) {
    if (height_ == value) return;
    height_ = value;
    Changed();
}

int32_t TFont::Size() const { return -Scale(height_, 72, kPixelsPerInch); }

void TFont::SetSize(int32_t value) { SetHeight(-Scale(value, kPixelsPerInch, 72)); }

void TFont::SetColor(TColor value) {
    if (color_ == value) return;
    color_ = value;
    TGraphicsObject::Changed();  // the platform font has no colour, so it stays
}

void TFont::SetStyle(TFontStyles value) {
    if (style_ == value) return;
    style_ = value;
    Changed();
}

void TFont::SetCharset(TFontCharset value) {
    if (charset_ == value) return;
    charset_ = value;
    Changed();
}

HFONT TFont::Handle() const {
    if (handle_) return handle_.Get();
    LOGFONTA font{};
    font.lfHeight = height_;
    font.lfWeight = style_.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
    font.lfItalic = style_.Contains(fsItalic);
    font.lfUnderline = style_.Contains(fsUnderline);
    font.lfStrikeOut = style_.Contains(fsStrikeOut);
    font.lfCharSet = charset_;
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = pitch_ == fpFixed ? FIXED_PITCH : pitch_ == fpVariable ? VARIABLE_PITCH : DEFAULT_PITCH;
    CopyFaceName(name_, font.lfFaceName);
    handle_.Reset(CreateFontIndirectA(&font));
    if (!handle_) throw EOutOfResources(Msg::SOutOfResources);
    return handle_.Get();
}

void TFont::Changed() {
    // The old font goes only after the holders have heard of the change: a canvas takes it out of its DC first,
    // and a holder that asks for Handle() meanwhile gets the new one.
    runtime::GdiObject<HFONT> old = std::move(handle_);
    TGraphicsObject::Changed();
}
