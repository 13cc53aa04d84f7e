#pragma once
// A pen as a canvas holds it: colour, width, style and the way it mixes with what is under it. The platform pen is
// made on first use and kept until a property changes; the mode is the canvas's raster operation, not the pen's.

#include <cstdint>

#include "platform/win32.h"
#include "runtime/Colors.h"
#include "runtime/GdiHandles.h"
#include "runtime/GraphicsObject.h"

enum TPenStyle : uint8_t { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TPenMode : uint8_t {
    pmBlack,
    pmWhite,
    pmNop,
    pmNot,
    pmCopy,
    pmNotCopy,
    pmMergePenNot,
    pmMaskPenNot,
    pmMergeNotPen,
    pmMaskNotPen,
    pmMerge,
    pmNotMerge,
    pmMask,
    pmNotMask,
    pmXor,
    pmNotXor
};

class TPen : public TGraphicsObject {
  public:
    // A solid black pen one pixel wide that copies its colour.
    TPen();
    ~TPen() override;

    // Takes every property of source (not its OnChange); raises OnChange once if anything differed.
    void Assign(const TPen& source);

    TColor Color() const { return color_; }
    void SetColor(TColor value);
    int32_t Width() const { return width_; }
    void SetWidth(int32_t value);  // values below 1 count as 1
    TPenStyle Style() const { return style_; }
    void SetStyle(TPenStyle value);
    TPenMode Mode() const { return mode_; }
    void SetMode(TPenMode value);
    // The R2_* raster operation of Mode, for SetROP2.
    int Rop2() const;

    // The platform pen, made on first use and valid until Color, Width or Style changes. Raises EOutOfResources
    // when the platform cannot make it.
    HPEN Handle() const;

  protected:
    void Changed() override;

  private:
    TColor color_ = clBlack;
    int32_t width_ = 1;
    TPenStyle style_ = psSolid;
    TPenMode mode_ = pmCopy;
    mutable runtime::GdiObject<HPEN> handle_;
};
