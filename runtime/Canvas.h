#pragma once
// A drawing surface: a platform DC with the canvas's own font, brush and pen, which it selects into the DC when a
// drawing operation first needs them. A control's canvas is given its window's DC from outside; a bitmap's canvas
// makes a memory DC when first used. When the canvas lets go of a DC (SetHandle with another or none, or its end),
// the DC gets back the font, brush and pen it had, so the canvas's objects can be freed and the DC's owner finds
// the DC as it was.

#include <cstdint>
#include <span>
#include <string_view>

#include "platform/win32.h"
#include "runtime/Brush.h"
#include "runtime/Colors.h"
#include "runtime/Font.h"
#include "runtime/GraphicsObject.h"
#include "runtime/Pen.h"

class TBitmap;

class TCanvas : public TObject {
  public:
    TCanvas();
    ~TCanvas() override;
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    // The DC; a canvas without one asks CreateHandle for it, which raises EInvalidOperation unless a derived
    // canvas knows where to get one.
    HDC Handle();
    // Uses dc from now on; it stays its owner's, who frees it. nullptr leaves the canvas without a DC.
    void SetHandle(HDC dc);
    bool HandleAllocated() const { return handle_ != nullptr; }
    // Takes the canvas's objects out of the DC, so the next drawing operation selects them again (after someone
    // has drawn on the DC behind the canvas's back).
    void Refresh();

    TFont& Font() { return font_; }
    TBrush& Brush() { return brush_; }
    TPen& Pen() { return pen_; }
    // The raster operation of Draw, StretchDraw and CopyRect (not of transparent bitmaps).
    DWORD CopyMode() const { return copyMode_; }
    void SetCopyMode(DWORD value) { copyMode_ = value; }
    POINT PenPos();
    // clNone outside the DC's surface.
    TColor Pixels(int32_t x, int32_t y);
    void SetPixels(int32_t x, int32_t y, TColor color);

    // Shapes: filled with the brush and outlined with the pen; FillRect and FrameRect use the brush only.
    void FillRect(const RECT& rect);
    void FrameRect(const RECT& rect);
    void Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom);
    void Rectangle(const RECT& rect) { Rectangle(rect.left, rect.top, rect.right, rect.bottom); }
    void Ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom);
    void Ellipse(const RECT& rect) { Ellipse(rect.left, rect.top, rect.right, rect.bottom); }
    void Polygon(std::span<const POINT> points);
    void Polyline(std::span<const POINT> points);
    void MoveTo(int32_t x, int32_t y);
    void LineTo(int32_t x, int32_t y);  // the end point itself is left out
    // Inverts a dotted outline; drawing the same one again takes it away.
    void DrawFocusRect(const RECT& rect);

    // Text in the font and its colour, on the brush's colour unless the brush is bsClear.
    void TextOut(int32_t x, int32_t y, std::string_view text);
    // The same, clipped to rect, which is filled with the brush first unless it is bsClear.
    void TextRect(const RECT& rect, int32_t x, int32_t y, std::string_view text);
    // DrawTextA with the canvas's font and colours; returns the height of the text drawn (or measured, with
    // DT_CALCRECT, which also adjusts rect).
    int32_t DrawText(std::string_view text, RECT& rect, UINT format);
    SIZE TextExtent(std::string_view text);
    int32_t TextWidth(std::string_view text) { return TextExtent(text).cx; }
    int32_t TextHeight(std::string_view text) { return TextExtent(text).cy; }

    // Bitmaps. A transparent bitmap leaves out its transparent colour; a monochrome one is drawn black on white.
    // Empty bitmaps and empty rectangles draw nothing.
    void Draw(int32_t x, int32_t y, const TBitmap& bitmap);
    void StretchDraw(const RECT& rect, const TBitmap& bitmap);
    // Copies sourceRect of source into dest (stretched to it), where the pixels of colour `transparent` are
    // painted with the brush instead (left as they are when the brush is bsClear): a glyph on a line's background.
    void BrushCopy(const RECT& dest, const TBitmap& source, const RECT& sourceRect, TColor transparent);
    // Copies sourceRect of another canvas into dest (stretched to it) with CopyMode.
    void CopyRect(const RECT& dest, TCanvas& source, const RECT& sourceRect);

    // Before and after each drawing operation.
    TNotifyEvent OnChanging;
    TNotifyEvent OnChange;

  protected:
    // Called when a DC is needed and there is none; a derived canvas makes one here and passes it to SetHandle.
    virtual void CreateHandle();
    virtual void Changing();
    virtual void Changed();

  private:
    enum StateFlag : uint8_t { kFontValid = 1, kBrushValid = 2, kPenValid = 4 };

    // The DC with the objects of `flags` selected into it.
    HDC Require(uint8_t flags);
    void Deselect(uint8_t flags);

    TFont font_;
    TBrush brush_;
    TPen pen_;
    DWORD copyMode_ = SRCCOPY;
    HDC handle_ = nullptr;
    uint8_t state_ = 0;
    // What the DC held before the canvas selected its own objects.
    HGDIOBJ originalFont_ = nullptr;
    HGDIOBJ originalBrush_ = nullptr;
    HGDIOBJ originalPen_ = nullptr;
};

// Lends a DC to a canvas for one drawing pass; the canvas lets go of it however the pass ends.
class TCanvasLoan {
  public:
    TCanvasLoan(TCanvas& canvas, HDC dc) : canvas_(canvas) { canvas_.SetHandle(dc); }
    ~TCanvasLoan() { canvas_.SetHandle(nullptr); }
    TCanvasLoan(const TCanvasLoan&) = delete;
    TCanvasLoan& operator=(const TCanvasLoan&) = delete;

  private:
    TCanvas& canvas_;
};
