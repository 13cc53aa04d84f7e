#include "controls/ButtonGlyph.h"

#include <algorithm>

namespace {

std::unique_ptr<TGlyphCache> glyphCache;
int glyphCount = 0;

// A colour as a pixel of a bitmap's scan line (0x00RRGGBB).
uint32_t PixelOf(TColor color) {
    COLORREF rgb = ColorToRGB(color);
    return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
}

constexpr uint32_t kPixelMask = 0xFFFFFF;
constexpr uint32_t kWhitePixel = 0xFFFFFF;
constexpr uint32_t kGreyPixel = 0x808080;

}  // namespace

TGlyphList::TGlyphList(int32_t width, int32_t height) : TCustomImageList(width, height) {}

int TGlyphList::AddMasked(TBitmap& image, TColor maskColor) {
    auto free = std::find(used_.begin(), used_.end(), false);
    int index = static_cast<int>(free - used_.begin());
    if (free == used_.end()) {
        index = AddEmpty();
        used_.resize(static_cast<size_t>(index) + 1);
    }
    ReplaceMasked(index, image, maskColor);
    used_[static_cast<size_t>(index)] = true;
    ++usedCount_;
    return index;
}

void TGlyphList::Delete(int index) {
    if (!Used(index)) return;
    used_[static_cast<size_t>(index)] = false;
    --usedCount_;
}

bool TGlyphList::Used(int index) const {
    return index >= 0 && index < static_cast<int>(used_.size()) && used_[static_cast<size_t>(index)];
}

TGlyphCache* TGlyphCache::Current() { return glyphCache.get(); }

TGlyphList* TGlyphCache::GetList(int32_t width, int32_t height) {
    for (auto it = lists_.rbegin(); it != lists_.rend(); ++it)
        if ((*it)->Width() == width && (*it)->Height() == height) return it->get();
    lists_.push_back(std::make_unique<TGlyphList>(width, height));
    return lists_.back().get();
}

void TGlyphCache::ReturnList(TGlyphList* list) {
    if (!list || list->UsedCount() != 0) return;
    std::erase_if(lists_, [list](const std::unique_ptr<TGlyphList>& held) { return held.get() == list; });
}

TButtonGlyph::TButtonGlyph() {
    if (!glyphCache) glyphCache.reset(new TGlyphCache);
    ++glyphCount;
    original_.OnChange = [this](TObject*) { GlyphChanged(); };
}

TButtonGlyph::~TButtonGlyph() {
    original_.OnChange = nullptr;
    Invalidate();
    if (--glyphCount == 0 && glyphCache->Empty()) glyphCache.reset();
}

void TButtonGlyph::SetGlyph(const TBitmap& value) {
    Invalidate();
    original_.Assign(value);  // takes the transparent colour and tells OnChange
    if (value.Height() > 0 && value.Width() % value.Height() == 0) {
        int count = value.Width() / value.Height();
        SetNumGlyphs(count > 4 ? 1 : count);
    }
}

void TButtonGlyph::SetNumGlyphs(TNumGlyphs value) {
    value = std::min(value, 4);
    if (value < 1 || value == numGlyphs_) return;
    Invalidate();
    numGlyphs_ = value;
    GlyphChanged();
}

void TButtonGlyph::GlyphChanged() {
    transparentColor_ = original_.TransparentColor();
    Invalidate();
    if (OnChange) OnChange(this);
}

void TButtonGlyph::Invalidate() {
    for (int& index : indexes_) {
        if (index != -1 && glyphList_) glyphList_->Delete(index);
        index = -1;
    }
    if (glyphCache) glyphCache->ReturnList(glyphList_);
    glyphList_ = nullptr;
}

void TButtonGlyph::CopyPiece(int piece, TBitmap& image) {
    HDC dc = image.Canvas().Handle();
    // A two-colour strip comes in black on white.
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    BitBlt(dc, 0, 0, image.Width(), image.Height(), original_.Canvas().Handle(), piece * image.Width(), 0, SRCCOPY);
}

int TButtonGlyph::StateImage(TButtonState state) {
    if (state == StatePressed && numGlyphs_ < 3) state = StateUp;
    int& slot = indexes_[state];
    if (slot != -1) return slot;
    if (original_.Empty()) return -1;
    const int32_t width = original_.Width() / numGlyphs_, height = original_.Height();
    if (width == 0) return -1;
    if (!glyphList_) glyphList_ = glyphCache->GetList(width, height);
    TBitmap image(width, height);
    CopyPiece(state < numGlyphs_ ? state : 0, image);
    if (state == StateDisabled) {
        if (numGlyphs_ >= 2) RecolorDisabledImage(image, transparentColor_, clBtnHighlight, clBtnShadow, clBtnFace);
        else EmbossDisabledImage(image, clBtnHighlight, clBtnShadow, clBtnFace);
        slot = glyphList_->AddMasked(image, clDefault);
    } else {
        slot = glyphList_->AddMasked(image, original_.TransparentMode() == tmFixed ? transparentColor_ : clDefault);
    }
    // The strip is kept as its pixels; its DC is made again when the next image is.
    original_.Dormant();
    return slot;
}

void RecolorDisabledImage(TBitmap& image, TColor transparent, TColor highlight, TColor shadow, TColor face) {
    const bool keyed = transparent != clNone && transparent != clDefault;
    const uint32_t key = keyed ? PixelOf(transparent) : 0;
    const uint32_t highlightPixel = PixelOf(highlight), shadowPixel = PixelOf(shadow), facePixel = PixelOf(face);
    for (int32_t y = 0; y < image.Height(); ++y) {
        uint32_t* row = image.ScanLine(y);
        if (!row) return;
        for (int32_t x = 0; x < image.Width(); ++x) {
            const uint32_t supplied = row[x] & kPixelMask;
            uint32_t result = row[x];
            if (supplied == kWhitePixel) result = highlightPixel;
            if (supplied == kGreyPixel) result = shadowPixel;
            if (keyed && supplied == key) result = facePixel;
            row[x] = result;
        }
    }
}

void EmbossDisabledImage(TBitmap& image, TColor highlight, TColor shadow, TColor face) {
    const int32_t width = image.Width(), height = image.Height();
    std::vector<bool> black(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int32_t y = 0; y < height; ++y) {
        const uint32_t* row = image.ScanLine(y);
        if (!row) return;
        for (int32_t x = 0; x < width; ++x) black[static_cast<size_t>(y * width + x)] = (row[x] & kPixelMask) == 0;
    }
    auto isBlack = [&](int32_t x, int32_t y) { return black[static_cast<size_t>(y * width + x)]; };
    const uint32_t highlightPixel = PixelOf(highlight), shadowPixel = PixelOf(shadow), facePixel = PixelOf(face);
    for (int32_t y = 0; y < height; ++y) {
        uint32_t* row = image.ScanLine(y);
        for (int32_t x = 0; x < width; ++x) {
            uint32_t pixel = facePixel;
            if (x > 0 && y > 0 && isBlack(x - 1, y - 1)) pixel = highlightPixel;
            if (isBlack(x, y)) pixel = shadowPixel;
            row[x] = pixel;
        }
    }
}

void TButtonGlyph::CalcButtonLayout(TCanvas& canvas, const RECT& client, POINT offset, std::string_view caption,
                                    TButtonLayout layout, int margin, int spacing, bool rightToLeft,
                                    POINT& glyphPos, RECT& textBounds) {
    if (rightToLeft) {
        if (layout == blGlyphLeft) layout = blGlyphRight;
        else if (layout == blGlyphRight) layout = blGlyphLeft;
    }
    const POINT clientSize{client.right - client.left, client.bottom - client.top};
    POINT glyphSize{0, 0};
    if (!original_.Empty()) glyphSize = {original_.Width() / numGlyphs_, original_.Height()};
    POINT textSize{0, 0};
    textBounds = RECT{0, 0, 0, 0};
    if (!caption.empty()) {
        textBounds = RECT{0, 0, clientSize.x, 0};
        canvas.DrawText(caption, textBounds, DT_CALCRECT | (rightToLeft ? DT_RTLREADING : 0));
        textSize = {textBounds.right - textBounds.left, textBounds.bottom - textBounds.top};
    }
    // Along the layout axis the pair is placed by margin and spacing; across it each is centred on its own.
    const bool horizontal = layout == blGlyphLeft || layout == blGlyphRight;
    auto along = [horizontal](POINT p) -> int { return horizontal ? p.x : p.y; };
    auto across = [horizontal](POINT p) -> int { return horizontal ? p.y : p.x; };
    const int glyphAcross = (across(clientSize) - across(glyphSize) + 1) / 2;
    const int textAcross = (across(clientSize) - across(textSize) + 1) / 2;

    if (textSize.x == 0 || glyphSize.x == 0) spacing = 0;
    const int space = along(clientSize), glyph = along(glyphSize), text = along(textSize);
    if (margin == -1 && spacing == -1) {
        margin = spacing = (space - glyph - text) / 3;
    } else if (margin == -1) {
        margin = (space - glyph - spacing - text + 1) / 2;
    } else if (spacing == -1) {
        spacing = (space - margin - glyph - text) / 2;
    }

    int glyphAlong = 0, textAlong = 0;
    if (layout == blGlyphLeft || layout == blGlyphTop) {
        glyphAlong = margin;
        textAlong = glyphAlong + glyph + spacing;
    } else {
        glyphAlong = space - margin - glyph;
        textAlong = glyphAlong - spacing - text;
    }
    POINT glyphAt = horizontal ? POINT{glyphAlong, glyphAcross} : POINT{glyphAcross, glyphAlong};
    POINT textAt = horizontal ? POINT{textAlong, textAcross} : POINT{textAcross, textAlong};
    glyphPos = {glyphAt.x + client.left + offset.x, glyphAt.y + client.top + offset.y};
    OffsetRect(&textBounds, textAt.x + client.left + offset.x, textAt.y + client.top + offset.y);
}

RECT TButtonGlyph::Draw(TCanvas& canvas, const RECT& client, POINT offset, std::string_view caption,
                        TButtonLayout layout, int margin, int spacing, TButtonState state, bool transparent,
                        bool rightToLeft) {
    POINT glyphPos;
    RECT textBounds;
    CalcButtonLayout(canvas, client, offset, caption, layout, margin, spacing, rightToLeft, glyphPos, textBounds);
    int index = StateImage(state);
    if (index >= 0) {
        if (transparent || state == StateLatched) glyphList_->Draw(canvas, glyphPos.x, glyphPos.y, index);
        else glyphList_->Draw(canvas, glyphPos.x, glyphPos.y, index, false, clBtnFace);
    }
    DrawButtonText(canvas, caption, textBounds, state, rightToLeft);
    return textBounds;
}

void TButtonGlyph::DrawButtonText(TCanvas& canvas, std::string_view caption, RECT bounds, TButtonState state,
                                  bool rightToLeft) {
    if (caption.empty()) return;
    canvas.Brush().SetStyle(bsClear);
    const UINT format = DT_CENTER | DT_VCENTER | (rightToLeft ? DT_RTLREADING : 0);
    if (state == StateDisabled) {
        RECT raised = bounds;
        OffsetRect(&raised, 1, 1);
        canvas.Font().SetColor(clBtnHighlight);
        canvas.DrawText(caption, raised, format);
        canvas.Font().SetColor(clBtnShadow);
    }
    canvas.DrawText(caption, bounds, format);
}
