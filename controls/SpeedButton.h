#pragma once
// The tool button: a picture button without a window of its own, drawn on its parent and never focused. It raises
// OnClick when the left button is pressed on it and released over it (the pixel row just below it still counts
// as over it), and never while it is disabled. Buttons with the same GroupIndex on one parent latch: one of them
// at most is Down, and with AllowAllUp false the last one down cannot be released.

#include <string_view>

#include "controls/ButtonGlyph.h"
#include "framework/GraphicControl.h"

class TSpeedButton : public TGraphicControl {
  public:
    explicit TSpeedButton(TComponent* owner);
    ~TSpeedButton() override;

    bool ReadAsPart() const override { return true; }

    // The glyph strip; see TButtonGlyph for what a change to it does.
    TBitmap& Glyph() { return glyph_.Glyph(); }
    void SetGlyph(const TBitmap& value);
    TNumGlyphs NumGlyphs() const { return glyph_.NumGlyphs(); }
    void SetNumGlyphs(TNumGlyphs value);
    TButtonLayout Layout() const { return layout_; }
    void SetLayout(TButtonLayout value);
    // -1 centres glyph and caption together; values below -1 are ignored.
    int Margin() const { return margin_; }
    void SetMargin(int value);
    // -1 spreads glyph and caption evenly.
    int Spacing() const { return spacing_; }
    void SetSpacing(int value);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value);
    bool Flat() const { return flat_; }
    void SetFlat(bool value);
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int value);
    bool Down() const { return down_; }
    void SetDown(bool value);
    bool AllowAllUp() const { return allowAllUp_; }
    void SetAllowAllUp(bool value);

    // The state the button was last drawn in or moved to by the mouse.
    TButtonState State() const { return state_; }

    void Click() override;
    void WndProc(TMessage& message) override;
    bool ReadProperty(std::string_view name, const TLayoutValue& value, TLayoutContext& context) override;

  protected:
    void Paint() override;
    void Loaded() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

  private:
    // Over the button for a press that is being dragged: the row just below it counts, the column to its right
    // does not.
    bool Inside(int x, int y) const;
    // Tells the siblings that this button's group changed (it went down, or its group or AllowAllUp changed).
    void UpdateExclusive();
    void ButtonPressed(int groupIndex, TSpeedButton* sender);
    // Whether the mouse rests on a flat button, which then shows its edge.
    void UpdateTracking();
    void PaintLatchedPattern(RECT rect);

    TButtonGlyph glyph_;
    TButtonLayout layout_ = blGlyphLeft;
    int margin_ = -1;
    int spacing_ = 4;
    bool transparent_ = true;
    bool flat_ = false;
    int groupIndex_ = 0;
    bool down_ = false;
    bool allowAllUp_ = false;
    TButtonState state_ = StateUp;
    bool dragging_ = false;
    bool mouseInControl_ = false;
};
