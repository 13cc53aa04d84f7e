#pragma once
// Panels, bevels and images: the containers and decorations the forms' layouts are built from.

#include <cstdint>

#include "framework/CustomControl.h"
#include "framework/GraphicControl.h"
#include "runtime/Bitmap.h"

enum TPanelBevel : uint8_t { bvNone, bvLowered, bvRaised, bvSpace };
enum class TAlignment : uint8_t { taLeftJustify, taRightJustify, taCenter };

// Draws `width` rings of a raised or sunken edge inside rect and leaves rect as the area within them.
void Frame3D(TCanvas& canvas, RECT& rect, TColor topLeft, TColor bottomRight, int width);

class TPanel : public TCustomControl {
  public:
    explicit TPanel(TComponent* owner);

    TPanelBevel BevelInner() const { return bevelInner_; }
    void SetBevelInner(TPanelBevel value);
    TPanelBevel BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TPanelBevel value);
    int BevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(int value);
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int value);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value);

    bool ReadProperty(std::string_view name, const TLayoutValue& value, TLayoutContext& context) override;

  protected:
    void Paint() override;
    void WndProc(TMessage& message) override;

  private:
    TPanelBevel bevelInner_ = bvNone;
    TPanelBevel bevelOuter_ = bvRaised;
    int bevelWidth_ = 1;
    int borderWidth_ = 0;
    TAlignment alignment_ = TAlignment::taCenter;
};

enum class TBevelShape : uint8_t { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum class TBevelStyle : uint8_t { bsLowered, bsRaised };

class TBevel : public TGraphicControl {
  public:
    explicit TBevel(TComponent* owner);

    TBevelShape Shape() const { return shape_; }
    void SetShape(TBevelShape value);
    TBevelStyle Style() const { return style_; }
    void SetStyle(TBevelStyle value);

    bool ReadProperty(std::string_view name, const TLayoutValue& value, TLayoutContext& context) override;

  protected:
    void Paint() override;

  private:
    TBevelShape shape_ = TBevelShape::bsBox;
    TBevelStyle style_ = TBevelStyle::bsLowered;
};

// A picture: a bitmap drawn at the top-left corner, centred, or stretched to the control.
class TImage : public TGraphicControl {
  public:
    explicit TImage(TComponent* owner);

    TBitmap& Picture() { return picture_; }
    bool Stretch() const { return stretch_; }
    void SetStretch(bool value);
    bool Center() const { return center_; }
    void SetCenter(bool value);

    bool ReadProperty(std::string_view name, const TLayoutValue& value, TLayoutContext& context) override;

  protected:
    void Paint() override;

  private:
    TBitmap picture_;
    bool stretch_ = false;
    bool center_ = false;
};
