#pragma once
// An image list: pictures of one fixed size kept side by side in one bitmap, each with a two-colour mask whose set
// pixels are transparent. It grows one image at a time and never shrinks; whoever fills it keeps track of which
// images are still wanted.

#include <cstdint>

#include "runtime/Bitmap.h"
#include "runtime/Canvas.h"

class TCustomImageList {
  public:
    TCustomImageList(int32_t width, int32_t height);
    virtual ~TCustomImageList();
    TCustomImageList(const TCustomImageList&) = delete;
    TCustomImageList& operator=(const TCustomImageList&) = delete;

    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    int Count() const { return count_; }

    // Appends an empty image, wholly transparent, and returns its index.
    int AddEmpty();
    // Puts `image` in place of image `index`, with the pixels of `maskColor` transparent: clDefault stands for the
    // image's own transparent colour (its bottom-left pixel unless it has a fixed one), clNone for none. Raises
    // EInvalidOperation when there is no such image or `image` is not of the list's size.
    void ReplaceMasked(int index, TBitmap& image, TColor maskColor);
    // Draws image `index` at (x, y). Masked, its transparent pixels leave the canvas as it was; otherwise they are
    // painted in `background` (or, with clNone, drawn as they are stored).
    void Draw(TCanvas& canvas, int32_t x, int32_t y, int index, bool masked = true, TColor background = clNone);

  private:
    int32_t width_;
    int32_t height_;
    int count_ = 0;
    TBitmap images_;
    TBitmap masks_;
};
