#pragma once
// A brush as a canvas or a windowed control holds it: colour, style, and optionally a bitmap pattern; the platform
// brush is made on first use and kept until a property changes.

#include <cstdint>
#include <memory>

#include "platform/win32.h"
#include "runtime/Colors.h"
#include "runtime/GdiHandles.h"
#include "runtime/GraphicsObject.h"

class TBitmap;

enum TBrushStyle : uint8_t {
    bsSolid,
    bsClear,
    bsHorizontal,
    bsVertical,
    bsFDiagonal,
    bsBDiagonal,
    bsCross,
    bsDiagCross
};

class TBrush : public TGraphicsObject {
  public:
    // A solid white brush.
    TBrush();
    ~TBrush() override;

    // Takes colour, style and pattern of source (not its OnChange); raises OnChange once if anything differed.
    void Assign(const TBrush& source);

    TColor Color() const { return color_; }
    void SetColor(TColor value);
    TBrushStyle Style() const { return style_; }
    void SetStyle(TBrushStyle value);
    // The pattern the brush paints with instead of its colour, or nullptr. The brush keeps a copy of its own, so
    // the bitmap given may change or go afterwards; setting one raises OnChange.
    const TBitmap* Bitmap() const { return bitmap_.get(); }
    void SetBitmap(const TBitmap* value);

    // The platform brush, made on first use and valid until a property changes. Raises EOutOfResources when the
    // platform cannot make it.
    HBRUSH Handle() const;

  protected:
    void Changed() override;

  private:
    TColor color_ = clWhite;
    TBrushStyle style_ = bsSolid;
    std::unique_ptr<TBitmap> bitmap_;
    mutable runtime::GdiObject<HBRUSH> handle_;
};
