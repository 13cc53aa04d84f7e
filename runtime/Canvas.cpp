#include "runtime/Canvas.h"

#include "runtime/Bitmap.h"
#include "runtime/Exception.h"

namespace {

// A two-colour bitmap copied into a colour DC takes the DC's text colour for black and its background colour for
// white; for the time of a copy they are black and white, so it looks as it is.
class BlackOnWhite {
  public:
    BlackOnWhite(HDC dc, bool monochromeSource) : dc_(monochromeSource ? dc : nullptr) {
        if (!dc_) return;
        text_ = SetTextColor(dc_, RGB(0, 0, 0));
        background_ = SetBkColor(dc_, RGB(255, 255, 255));
    }
    ~BlackOnWhite() {
        if (!dc_) return;
        SetTextColor(dc_, text_);
        SetBkColor(dc_, background_);
    }
    BlackOnWhite(const BlackOnWhite&) = delete;
    BlackOnWhite& operator=(const BlackOnWhite&) = delete;

  private:
    HDC dc_;
    COLORREF text_ = 0;
    COLORREF background_ = 0;
};

// Stretching picks whole pixels, so a colour that stands for transparency stays that exact colour.
class PixelStretch {
  public:
    explicit PixelStretch(HDC dc) : dc_(dc), mode_(SetStretchBltMode(dc, COLORONCOLOR)) {}
    ~PixelStretch() {
        if (mode_) SetStretchBltMode(dc_, mode_);
    }
    PixelStretch(const PixelStretch&) = delete;
    PixelStretch& operator=(const PixelStretch&) = delete;

  private:
    HDC dc_;
    int mode_;
};

const char* Chars(std::string_view text) { return text.data() ? text.data() : ""; }
int Count(std::string_view text) { return static_cast<int>(text.size()); }

}  // namespace

TCanvas::TCanvas() {
    font_.OnChange = [this](TObject*) { Deselect(kFontValid); };
    brush_.OnChange = [this](TObject*) { Deselect(kBrushValid); };
    pen_.OnChange = [this](TObject*) { Deselect(kPenValid); };
}

TCanvas::~TCanvas() { SetHandle(nullptr); }

HDC TCanvas::Handle() { return Require(0); }

void TCanvas::SetHandle(HDC dc) {
    if (dc == handle_) return;
    Deselect(kFontValid | kBrushValid | kPenValid);
    originalFont_ = originalBrush_ = originalPen_ = nullptr;
    handle_ = dc;
}

void TCanvas::Refresh() { Deselect(kFontValid | kBrushValid | kPenValid); }

void TCanvas::CreateHandle() { throw EInvalidOperation(Msg::SNoCanvasHandle); }

void TCanvas::Changing() {
    if (OnChanging) OnChanging(this);
}

void TCanvas::Changed() {
    if (OnChange) OnChange(this);
}

HDC TCanvas::Require(uint8_t flags) {
    if (!handle_) CreateHandle();
    if (!handle_) throw EInvalidOperation(Msg::SNoCanvasHandle);
    // Each object counts as selected as soon as it is, so that a failure to make the next one still lets the DC
    // have its own back.
    uint8_t missing = flags & ~state_;
    if (missing & kFontValid) {
        HGDIOBJ previous = SelectObject(handle_, font_.Handle());
        if (!originalFont_) originalFont_ = previous;
        state_ |= kFontValid;
        SetTextColor(handle_, ColorToRGB(font_.Color()));
    }
    if (missing & kBrushValid) {
        HGDIOBJ previous = SelectObject(handle_, brush_.Handle());
        if (!originalBrush_) originalBrush_ = previous;
        state_ |= kBrushValid;
        // Text and hatches get the brush's colour behind them when it is solid, and nothing when it is not.
        bool solid = brush_.Style() == bsSolid;
        COLORREF color = ColorToRGB(brush_.Color());
        SetBkColor(handle_, solid ? color : ~color & 0xFFFFFF);
        SetBkMode(handle_, solid ? OPAQUE : TRANSPARENT);
    }
    if (missing & kPenValid) {
        HGDIOBJ previous = SelectObject(handle_, pen_.Handle());
        if (!originalPen_) originalPen_ = previous;
        state_ |= kPenValid;
        SetROP2(handle_, pen_.Rop2());
    }
    return handle_;
}

void TCanvas::Deselect(uint8_t flags) {
    uint8_t selected = state_ & flags;
    if (!selected) return;
    if (selected & kFontValid) SelectObject(handle_, originalFont_);
    if (selected & kBrushValid) SelectObject(handle_, originalBrush_);
    if (selected & kPenValid) SelectObject(handle_, originalPen_);
    state_ &= static_cast<uint8_t>(~selected);
}

POINT TCanvas::PenPos() {
    POINT position{};
    GetCurrentPositionEx(Require(0), &position);
    return position;
}

TColor TCanvas::Pixels(int32_t x, int32_t y) {
    COLORREF color = GetPixel(Require(0), x, y);
    return color == CLR_INVALID ? clNone : static_cast<TColor>(color);
}

void TCanvas::SetPixels(int32_t x, int32_t y, TColor color) {
    HDC dc = Require(0);
    Changing();
    SetPixelV(dc, x, y, ColorToRGB(color));
    Changed();
}

void TCanvas::FillRect(const RECT& rect) {
    HDC dc = Require(kBrushValid);
    Changing();
    ::FillRect(dc, &rect, brush_.Handle());
    Changed();
}

void TCanvas::FrameRect(const RECT& rect) {
    HDC dc = Require(kBrushValid);
    Changing();
    ::FrameRect(dc, &rect, brush_.Handle());
    Changed();
}

void TCanvas::Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    HDC dc = Require(kPenValid | kBrushValid);
    Changing();
    ::Rectangle(dc, left, top, right, bottom);
    Changed();
}

void TCanvas::Ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    HDC dc = Require(kPenValid | kBrushValid);
    Changing();
    ::Ellipse(dc, left, top, right, bottom);
    Changed();
}

void TCanvas::Polygon(std::span<const POINT> points) {
    HDC dc = Require(kPenValid | kBrushValid);
    Changing();
    ::Polygon(dc, points.data(), static_cast<int>(points.size()));
    Changed();
}

void TCanvas::Polyline(std::span<const POINT> points) {
    HDC dc = Require(kPenValid);
    Changing();
    ::Polyline(dc, points.data(), static_cast<int>(points.size()));
    Changed();
}

void TCanvas::MoveTo(int32_t x, int32_t y) { MoveToEx(Require(0), x, y, nullptr); }

void TCanvas::LineTo(int32_t x, int32_t y) {
    HDC dc = Require(kPenValid);
    Changing();
    ::LineTo(dc, x, y);
    Changed();
}

void TCanvas::DrawFocusRect(const RECT& rect) {
    HDC dc = Require(0);
    Changing();
    ::DrawFocusRect(dc, &rect);
    Changed();
}

void TCanvas::TextOut(int32_t x, int32_t y, std::string_view text) {
    HDC dc = Require(kFontValid | kBrushValid);
    Changing();
    ::TextOutA(dc, x, y, Chars(text), Count(text));
    Changed();
}

void TCanvas::TextRect(const RECT& rect, int32_t x, int32_t y, std::string_view text) {
    HDC dc = Require(kFontValid | kBrushValid);
    UINT options = ETO_CLIPPED | (brush_.Style() == bsClear ? 0 : ETO_OPAQUE);
    Changing();
    ExtTextOutA(dc, x, y, options, &rect, Chars(text), static_cast<UINT>(text.size()), nullptr);
    Changed();
}

int32_t TCanvas::DrawText(std::string_view text, RECT& rect, UINT format) {
    HDC dc = Require(kFontValid | kBrushValid);
    bool measuring = format & DT_CALCRECT;
    if (!measuring) Changing();
    int32_t height = ::DrawTextA(dc, Chars(text), Count(text), &rect, format);
    if (!measuring) Changed();
    return height;
}

SIZE TCanvas::TextExtent(std::string_view text) {
    SIZE size{};
    GetTextExtentPoint32A(Require(kFontValid), Chars(text), Count(text), &size);
    return size;
}

void TCanvas::Draw(int32_t x, int32_t y, const TBitmap& bitmap) {
    StretchDraw(RECT{x, y, x + bitmap.Width(), y + bitmap.Height()}, bitmap);
}

void TCanvas::StretchDraw(const RECT& rect, const TBitmap& bitmap) {
    int32_t width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (bitmap.Empty() || width <= 0 || height <= 0) return;
    HDC dc = Require(0);
    HDC source = bitmap.SourceDC();
    Changing();
    {
        BlackOnWhite colours(dc, bitmap.Monochrome());
        PixelStretch stretch(dc);
        TColor transparent = bitmap.Transparent() ? bitmap.TransparentColor() : clNone;
        if (transparent != clNone)
            TransparentBlt(dc, rect.left, rect.top, width, height, source, 0, 0, bitmap.Width(), bitmap.Height(),
                           ColorToRGB(transparent));
        else
            StretchBlt(dc, rect.left, rect.top, width, height, source, 0, 0, bitmap.Width(), bitmap.Height(),
                       copyMode_);
    }
    Changed();
}

void TCanvas::BrushCopy(const RECT& dest, const TBitmap& source, const RECT& sourceRect, TColor transparent) {
    int32_t width = dest.right - dest.left, height = dest.bottom - dest.top;
    int32_t sourceWidth = sourceRect.right - sourceRect.left, sourceHeight = sourceRect.bottom - sourceRect.top;
    if (source.Empty() || width <= 0 || height <= 0 || sourceWidth <= 0 || sourceHeight <= 0) return;
    HDC dc = Require(kBrushValid);
    // The piece in colour at the destination's size, so that its mask and the copy line up pixel for pixel.
    TBitmap piece(width, height);
    HDC pieceDC = piece.SourceDC();
    {
        BlackOnWhite colours(pieceDC, source.Monochrome());
        PixelStretch stretch(pieceDC);
        StretchBlt(pieceDC, 0, 0, width, height, source.SourceDC(), sourceRect.left, sourceRect.top, sourceWidth,
                   sourceHeight, SRCCOPY);
    }
    Changing();
    if (transparent == clNone)
        BitBlt(dc, dest.left, dest.top, width, height, pieceDC, 0, 0, SRCCOPY);
    else if (brush_.Style() == bsClear && !brush_.Bitmap())
        TransparentBlt(dc, dest.left, dest.top, width, height, pieceDC, 0, 0, width, height, ColorToRGB(transparent));
    else  // where the mask is set (the transparent colour) the brush, elsewhere the piece
        MaskBlt(dc, dest.left, dest.top, width, height, pieceDC, 0, 0, piece.MaskHandle(transparent), 0, 0,
                MAKEROP4(PATCOPY, SRCCOPY));
    Changed();
}

void TCanvas::CopyRect(const RECT& dest, TCanvas& source, const RECT& sourceRect) {
    int32_t width = dest.right - dest.left, height = dest.bottom - dest.top;
    int32_t sourceWidth = sourceRect.right - sourceRect.left, sourceHeight = sourceRect.bottom - sourceRect.top;
    if (width <= 0 || height <= 0 || sourceWidth <= 0 || sourceHeight <= 0) return;
    HDC dc = Require(0);
    HDC sourceDC = source.Handle();
    Changing();
    StretchBlt(dc, dest.left, dest.top, width, height, sourceDC, sourceRect.left, sourceRect.top, sourceWidth,
               sourceHeight, copyMode_);
    Changed();
}
