#pragma once
// The picture of a tool button. Its glyph is a strip of up to four images side by side, one per button state; the
// image of a state is made from the strip when first needed (a grey one for the disabled state when the strip has
// none) and kept in an image list that every button with images of that size shares, through one cache for the
// whole process. The cache is process-wide because the buttons of a bar are separate components that never know
// of each other; it exists while any glyph does.

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "controls/ImageList.h"
#include "runtime/Bitmap.h"
#include "runtime/Canvas.h"

// The states in the order of their images in a strip.
enum TButtonState : uint8_t { StateUp, StateDisabled, StatePressed, StateLatched };
enum TButtonLayout : uint8_t { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
using TNumGlyphs = int;

// An image list whose slots are lent out and given back; a slot given back keeps its image until it is lent again.
class TGlyphList : public TCustomImageList {
  public:
    TGlyphList(int32_t width, int32_t height);

    // Puts `image`, with the pixels of `maskColor` transparent (see ReplaceMasked), into the lowest free slot,
    // growing the list by one slot when none is free, and returns the slot.
    int AddMasked(TBitmap& image, TColor maskColor);
    void Delete(int index);
    bool Used(int index) const;
    int UsedCount() const { return usedCount_; }

  private:
    std::vector<bool> used_;
    int usedCount_ = 0;
};

class TGlyphCache {
  public:
    // The process's cache; nullptr while no glyph exists.
    static TGlyphCache* Current();

    // The list for images of exactly that size, made and appended when there is none. The newest lists are
    // searched first.
    TGlyphList* GetList(int32_t width, int32_t height);
    // Frees the list once none of its slots is used any more.
    void ReturnList(TGlyphList* list);
    bool Empty() const { return lists_.empty(); }
    int ListCount() const { return static_cast<int>(lists_.size()); }
    TGlyphList* Lists(int index) const { return lists_.at(static_cast<size_t>(index)).get(); }

  private:
    friend class TButtonGlyph;
    TGlyphCache() = default;

    std::vector<std::unique_ptr<TGlyphList>> lists_;
};

class TButtonGlyph : public TObject {
  public:
    TButtonGlyph();
    ~TButtonGlyph() override;
    TButtonGlyph(const TButtonGlyph&) = delete;
    TButtonGlyph& operator=(const TButtonGlyph&) = delete;

    // The strip. A change made to it directly throws the images away and is told through OnChange; only SetGlyph
    // also takes the number of images from its shape.
    TBitmap& Glyph() { return original_; }
    // Copies `value` into the strip. A strip of at most four square images sets NumGlyphs to their number (a
    // longer one to 1); a strip of any other shape leaves NumGlyphs as it was.
    void SetGlyph(const TBitmap& value);
    TNumGlyphs NumGlyphs() const { return numGlyphs_; }
    // Values above 4 count as 4; values below 1 are ignored.
    void SetNumGlyphs(TNumGlyphs value);
    // The strip's transparent colour, as last taken from it.
    TColor TransparentColor() const { return transparentColor_; }

    // The slot in List() of the state's image, made on first need; -1 when there is no image (an empty strip).
    int StateImage(TButtonState state);
    TGlyphList* List() const { return glyphList_; }
    // Gives every image back to the shared list, and the list back to the cache.
    void Invalidate();

    // Where glyph and caption go in `client`, moved by `offset`: the glyph's top-left corner and the caption's
    // rectangle (empty without a caption). Margin -1 centres the pair; spacing -1 spreads it evenly.
    void CalcButtonLayout(TCanvas& canvas, const RECT& client, POINT offset, std::string_view caption,
                          TButtonLayout layout, int margin, int spacing, bool rightToLeft, POINT& glyphPos,
                          RECT& textBounds);
    // Draws the state's image and the caption laid out as above; returns the caption's rectangle. The image is
    // drawn with its mask when `transparent` or latched, otherwise on the button face colour.
    RECT Draw(TCanvas& canvas, const RECT& client, POINT offset, std::string_view caption, TButtonLayout layout,
              int margin, int spacing, TButtonState state, bool transparent, bool rightToLeft);

    // A change of the strip or of the number of images.
    TNotifyEvent OnChange;

  private:
    void GlyphChanged();
    // Copies image `piece` of the strip into `image`, which has the size of one image.
    void CopyPiece(int piece, TBitmap& image);
    void DrawButtonText(TCanvas& canvas, std::string_view caption, RECT bounds, TButtonState state,
                        bool rightToLeft);

    TBitmap original_;
    TColor transparentColor_ = clOlive;
    TNumGlyphs numGlyphs_ = 1;
    int indexes_[4] = {-1, -1, -1, -1};
    TGlyphList* glyphList_ = nullptr;
};

// The disabled image of a strip that brings its own: white becomes `highlight`, grey (RGB 128, 128, 128) `shadow`,
// and `transparent` `face`. Each replacement looks at the pixels as supplied, never at what another one made.
void RecolorDisabledImage(TBitmap& image, TColor transparent, TColor highlight, TColor shadow, TColor face);
// The generated disabled image: every black pixel of `image` becomes `shadow` with a copy in `highlight` one pixel
// to the right and below, on `face`; every other pixel becomes `face`.
void EmbossDisabledImage(TBitmap& image, TColor highlight, TColor shadow, TColor face);
