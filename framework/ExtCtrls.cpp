#include "framework/ExtCtrls.h"

#include "framework/Layout.h"
#include "framework/LayoutProperties.h"

void Frame3D(TCanvas& canvas, RECT& rect, TColor topLeft, TColor bottomRight, int width) {
    canvas.Pen().SetWidth(1);
    --rect.right;
    --rect.bottom;
    for (int ring = 0; ring < width; ++ring) {
        canvas.Pen().SetColor(topLeft);
        const POINT upper[] = {{rect.left, rect.bottom}, {rect.left, rect.top}, {rect.right, rect.top}};
        canvas.Polyline(upper);
        canvas.Pen().SetColor(bottomRight);
        const POINT lower[] = {{rect.right, rect.top}, {rect.right, rect.bottom}, {rect.left - 1, rect.bottom}};
        canvas.Polyline(lower);
        InflateRect(&rect, -1, -1);
    }
    ++rect.right;
    ++rect.bottom;
}

namespace {

void BevelColors(TPanelBevel bevel, TColor& topLeft, TColor& bottomRight) {
    topLeft = bevel == bvLowered ? clBtnShadow : clBtnHighlight;
    bottomRight = bevel == bvLowered ? clBtnHighlight : clBtnShadow;
}

}  // namespace

TPanel::TPanel(TComponent* owner) : TCustomControl(owner) {
    SetControlStyle(csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption | csOpaque | csDoubleClicks);
    SetColor(clBtnFace);
    SetBounds(0, 0, 185, 41);
}

void TPanel::SetBevelInner(TPanelBevel value) {
    if (bevelInner_ == value) return;
    bevelInner_ = value;
    Invalidate();
}

void TPanel::SetBevelOuter(TPanelBevel value) {
    if (bevelOuter_ == value) return;
    bevelOuter_ = value;
    Invalidate();
}

void TPanel::SetBevelWidth(int value) {
    if (bevelWidth_ == value) return;
    bevelWidth_ = value;
    Invalidate();
}

void TPanel::SetBorderWidth(int value) {
    if (borderWidth_ == value) return;
    borderWidth_ = value;
    Invalidate();
}

void TPanel::SetAlignment(TAlignment value) {
    if (alignment_ == value) return;
    alignment_ = value;
    Invalidate();
}

void TPanel::Paint() {
    TCanvas& canvas = Canvas();
    RECT rect = ClientRect();
    TColor topLeft;
    TColor bottomRight;
    if (bevelOuter_ != bvNone) {
        BevelColors(bevelOuter_, topLeft, bottomRight);
        Frame3D(canvas, rect, topLeft, bottomRight, bevelWidth_);
    }
    Frame3D(canvas, rect, Color(), Color(), borderWidth_);
    if (bevelInner_ != bvNone) {
        BevelColors(bevelInner_, topLeft, bottomRight);
        Frame3D(canvas, rect, topLeft, bottomRight, bevelWidth_);
    }
    canvas.Brush().SetColor(Color());
    canvas.Brush().SetStyle(bsSolid);
    canvas.FillRect(rect);
    std::string caption = Text();
    if (caption.empty()) return;
    canvas.Font().Assign(Font());
    canvas.Brush().SetStyle(bsClear);
    UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    switch (alignment_) {
        case TAlignment::taLeftJustify: format |= DT_LEFT; break;
        case TAlignment::taRightJustify: format |= DT_RIGHT; break;
        case TAlignment::taCenter: format |= DT_CENTER; break;
    }
    canvas.DrawText(caption, rect, format);
}

void TPanel::WndProc(TMessage& message) {
    // The panel paints its whole surface itself; erasing first would only make it flicker.
    if (message.Msg == WM_ERASEBKGND) {
        message.Result = 1;
        return;
    }
    if (message.Msg == CM_TEXTCHANGED) Invalidate();
    TCustomControl::WndProc(message);
}

bool TPanel::ReadProperty(std::string_view name, const TLayoutValue& value, TLayoutContext& context) {
    auto bevel = [&] { return static_cast<TPanelBevel>(ReadEnumeration(value, {"bvNone", "bvLowered", "bvRaised", "bvSpace"})); };
    if (name == "BevelInner") SetBevelInner(bevel());
    else if (name == "BevelOuter") SetBevelOuter(bevel());
    else if (name == "BevelWidth") SetBevelWidth(value.Integer());
    else if (name == "BorderWidth") SetBorderWidth(value.Integer());
    else if (name == "Alignment")
        SetAlignment(static_cast<TAlignment>(ReadEnumeration(value, {"taLeftJustify", "taRightJustify", "taCenter"})));
    else return TCustomControl::ReadProperty(name, value, context);
    return true;
}

TBevel::TBevel(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 50, 50); }

void TBevel::SetShape(TBevelShape value) {
    if (shape_ == value) return;
    shape_ = value;
    Invalidate();
}

void TBevel::SetStyle(TBevelStyle value) {
    if (style_ == value) return;
    style_ = value;
    Invalidate();
}

void TBevel::Paint() {
    TCanvas& canvas = Canvas();
    TColor first = style_ == TBevelStyle::bsLowered ? clBtnShadow : clBtnHighlight;
    TColor second = style_ == TBevelStyle::bsLowered ? clBtnHighlight : clBtnShadow;
    int w = Width();
    int h = Height();
    auto line = [&](TColor color, int x1, int y1, int x2, int y2) {
        canvas.Pen().SetColor(color);
        canvas.MoveTo(x1, y1);
        canvas.LineTo(x2, y2);
    };
    switch (shape_) {
        case TBevelShape::bsBox: {
            RECT rect{0, 0, w, h};
            Frame3D(canvas, rect, first, second, 1);
            break;
        }
        case TBevelShape::bsFrame: {
            // Two rings, one inside the other, make an engraved (or embossed) frame.
            RECT outer{0, 0, w - 1, h - 1};
            Frame3D(canvas, outer, first, first, 1);
            RECT inner{1, 1, w, h};
            Frame3D(canvas, inner, second, second, 1);
            break;
        }
        case TBevelShape::bsTopLine:
            line(first, 0, 0, w, 0);
            line(second, 0, 1, w, 1);
            break;
        case TBevelShape::bsBottomLine:
            line(first, 0, h - 2, w, h - 2);
            line(second, 0, h - 1, w, h - 1);
            break;
        case TBevelShape::bsLeftLine:
            line(first, 0, 0, 0, h);
            line(second, 1, 0, 1, h);
            break;
        case TBevelShape::bsRightLine:
            line(first, w - 2, 0, w - 2, h);
            line(second, w - 1, 0, w - 1, h);
            break;
        case TBevelShape::bsSpacer: break;
    }
}

bool TBevel::ReadProperty(std::string_view name, const TLayoutValue& value, TLayoutContext& context) {
    if (name == "Shape")
        SetShape(static_cast<TBevelShape>(ReadEnumeration(
            value, {"bsBox", "bsFrame", "bsTopLine", "bsBottomLine", "bsLeftLine", "bsRightLine", "bsSpacer"})));
    else if (name == "Style") SetStyle(static_cast<TBevelStyle>(ReadEnumeration(value, {"bsLowered", "bsRaised"})));
    else return TGraphicControl::ReadProperty(name, value, context);
    return true;
}

TImage::TImage(TComponent* owner) : TGraphicControl(owner) {
    SetBounds(0, 0, 105, 105);
    picture_.OnChange = [this](TObject*) { Invalidate(); };
}

void TImage::SetStretch(bool value) {
    if (stretch_ == value) return;
    stretch_ = value;
    Invalidate();
}

void TImage::SetCenter(bool value) {
    if (center_ == value) return;
    center_ = value;
    Invalidate();
}

void TImage::Paint() {
    if (picture_.Empty()) return;
    if (stretch_) {
        Canvas().StretchDraw(RECT{0, 0, Width(), Height()}, picture_);
        return;
    }
    int x = center_ ? (Width() - picture_.Width()) / 2 : 0;
    int y = center_ ? (Height() - picture_.Height()) / 2 : 0;
    Canvas().Draw(x, y, picture_);
}

bool TImage::ReadProperty(std::string_view name, const TLayoutValue& value, TLayoutContext& context) {
    if (name == "Picture") picture_.LoadFromResourceName(GetModuleHandleA(nullptr), value.Text());
    else if (name == "Stretch") SetStretch(value.Boolean());
    else if (name == "Center") SetCenter(value.Boolean());
    else return TGraphicControl::ReadProperty(name, value, context);
    return true;
}
