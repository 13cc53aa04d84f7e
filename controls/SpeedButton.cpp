#include "controls/SpeedButton.h"

#include <algorithm>
#include <map>
#include <memory>
#include <utility>

#include "controls/ButtonControl.h"
#include "framework/Layout.h"
#include "framework/LayoutProperties.h"
#include "framework/WinControl.h"

namespace {

// The checkerboards of latched buttons, one per pair of face and highlight colours, shared by every button while
// any exists.
std::map<std::pair<COLORREF, COLORREF>, std::unique_ptr<TBitmap>> latchedPatterns;
int buttonCount = 0;

const TBitmap& LatchedPattern() {
    std::unique_ptr<TBitmap>& pattern = latchedPatterns[{ColorToRGB(clBtnFace), ColorToRGB(clBtnHighlight)}];
    if (!pattern) {
        constexpr int kSide = 8;  // the size of a platform pattern brush
        pattern = std::make_unique<TBitmap>(kSide, kSide);
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x)
                pattern->Canvas().SetPixels(x, y, (x + y) % 2 == 0 ? clBtnHighlight : clBtnFace);
        pattern->Dormant();
    }
    return *pattern;
}

}  // namespace

TSpeedButton::TSpeedButton(TComponent* owner) : TGraphicControl(owner) {
    ++buttonCount;
    SetBounds(0, 0, 22, 23);
    SetControlStyle(csCaptureMouse | csDoubleClicks);
    SetColor(clBtnFace);
    glyph_.OnChange = [this](TObject*) { Invalidate(); };
}

TSpeedButton::~TSpeedButton() {
    MarkDestroying();
    glyph_.OnChange = nullptr;
    if (--buttonCount == 0) latchedPatterns.clear();
}

void TSpeedButton::SetGlyph(const TBitmap& value) {
    glyph_.SetGlyph(value);
    Invalidate();
}

void TSpeedButton::SetNumGlyphs(TNumGlyphs value) {
    value = std::min(value, 4);
    if (value < 1 || value == glyph_.NumGlyphs()) return;
    glyph_.SetNumGlyphs(value);
    Invalidate();
}

void TSpeedButton::SetLayout(TButtonLayout value) {
    if (layout_ == value) return;
    layout_ = value;
    Invalidate();
}

void TSpeedButton::SetMargin(int value) {
    if (margin_ == value || value < -1) return;
    margin_ = value;
    Invalidate();
}

void TSpeedButton::SetSpacing(int value) {
    if (spacing_ == value) return;
    spacing_ = value;
    Invalidate();
}

void TSpeedButton::SetTransparent(bool value) {
    if (transparent_ == value) return;
    transparent_ = value;
    SetControlStyle(value ? ControlStyle() & ~csOpaque : ControlStyle() | csOpaque);
    Invalidate();
}

void TSpeedButton::SetFlat(bool value) {
    if (flat_ == value) return;
    flat_ = value;
    Invalidate();
}

void TSpeedButton::SetGroupIndex(int value) {
    if (groupIndex_ == value) return;
    groupIndex_ = value;
    UpdateExclusive();
}

void TSpeedButton::SetAllowAllUp(bool value) {
    if (allowAllUp_ == value) return;
    allowAllUp_ = value;
    UpdateExclusive();
}

void TSpeedButton::SetDown(bool value) {
    if (groupIndex_ == 0) value = false;
    if (down_ == value) return;
    if (down_ && !allowAllUp_) return;  // the last button down in its group stays down
    down_ = value;
    if (value) {
        if (state_ == StateUp) Invalidate();
        state_ = StateLatched;
        UpdateExclusive();
    } else {
        state_ = StateUp;
        Repaint();
    }
}

void TSpeedButton::UpdateExclusive() {
    TWinControl* parent = Parent();
    if (groupIndex_ == 0 || !parent) return;
    const auto sender = reinterpret_cast<LPARAM>(this);
    for (int i = 0; i < parent->ControlCount(); ++i)
        parent->Controls(i)->Perform(CM_BUTTONPRESSED, static_cast<WPARAM>(groupIndex_), sender);
}

void TSpeedButton::ButtonPressed(int groupIndex, TSpeedButton* sender) {
    if (groupIndex != groupIndex_ || sender == this) return;
    if (sender->Down() && down_) {
        down_ = false;
        state_ = StateUp;
        Invalidate();
    }
    allowAllUp_ = sender->AllowAllUp();
}

void TSpeedButton::UpdateTracking() {
    if (!flat_ || !Enabled() || !Parent()) return;
    POINT cursor;
    GetCursorPos(&cursor);
    TWinControl* parent = Parent();
    const bool over = parent->HandleAllocated() && parent->ControlAtPos(parent->ScreenToClient(cursor), true) == this;
    if (over == mouseInControl_) return;
    mouseInControl_ = over;
    Invalidate();
}

bool TSpeedButton::Inside(int x, int y) const { return x >= 0 && x < ClientWidth() && y >= 0 && y <= ClientHeight(); }

void TSpeedButton::Click() { TGraphicControl::Click(); }

void TSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TGraphicControl::MouseDown(button, shift, x, y);
    if (button != TMouseButton::mbLeft || !Enabled()) return;
    if (!down_) {
        state_ = StatePressed;
        Invalidate();
    }
    dragging_ = true;
}

void TSpeedButton::MouseMove(TShiftState shift, int x, int y) {
    TGraphicControl::MouseMove(shift, x, y);
    if (!dragging_) {
        if (!mouseInControl_) UpdateTracking();
        return;
    }
    TButtonState state = down_ ? StateLatched : Inside(x, y) ? StatePressed : StateUp;
    if (state == state_) return;
    state_ = state;
    Invalidate();
}

void TSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TGraphicControl::MouseUp(button, shift, x, y);
    if (button != TMouseButton::mbLeft || !dragging_) return;
    dragging_ = false;
    if (!Enabled()) return;  // disabled during the press: its paint has already ended the drag, or will
    const bool inside = Inside(x, y);
    if (groupIndex_ == 0) {
        // A release outside after a jump of the pointer still has the pressed look to take back.
        const bool wasUp = state_ == StateUp;
        state_ = StateUp;
        mouseInControl_ = false;
        if (inside || !wasUp) Invalidate();
    } else if (inside) {
        SetDown(!down_);
        if (down_) Repaint();
    } else {
        if (down_) state_ = StateLatched;
        Repaint();
    }
    // Tracking first: the click may take the button away.
    UpdateTracking();
    if (inside) Click();
}

void TSpeedButton::PaintLatchedPattern(RECT rect) {
    TCanvas& canvas = Canvas();
    canvas.Brush().SetBitmap(&LatchedPattern());
    canvas.FillRect(rect);
    canvas.Brush().SetBitmap(nullptr);
}

void TSpeedButton::Paint() {
    if (!Enabled()) {
        state_ = StateDisabled;
        dragging_ = false;
    } else if (state_ == StateDisabled) {
        state_ = down_ && groupIndex_ != 0 ? StateLatched : StateUp;
    }
    TCanvas& canvas = Canvas();
    canvas.Font().Assign(Font());
    const bool pushed = state_ == StatePressed || state_ == StateLatched;
    RECT rect = ClientRect();
    if (!flat_) {
        DrawFrameControl(canvas.Handle(), &rect, DFC_BUTTON,
                         DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (pushed ? DFCS_PUSHED : 0));
    } else {
        if (pushed || (mouseInControl_ && state_ != StateDisabled)) {
            DrawEdge(canvas.Handle(), &rect, pushed ? BDR_SUNKENOUTER : BDR_RAISEDINNER,
                     BF_RECT | (transparent_ ? 0 : BF_MIDDLE));
        } else if (!transparent_) {
            canvas.Brush().SetStyle(bsSolid);
            canvas.Brush().SetColor(Color());
            canvas.FillRect(rect);
        }
        InflateRect(&rect, -1, -1);
    }
    POINT offset{0, 0};
    if (pushed) {
        if (state_ == StateLatched && (!flat_ || !mouseInControl_)) PaintLatchedPattern(rect);
        offset = {1, 1};
    }
    glyph_.Draw(canvas, rect, offset, Caption(), layout_, margin_, spacing_, state_, transparent_, false);
}

void TSpeedButton::Loaded() {
    TGraphicControl::Loaded();
    glyph_.StateImage(Enabled() ? StateUp : StateDisabled);
}

void TSpeedButton::WndProc(TMessage& message) {
    switch (message.Msg) {
        case CM_ENABLEDCHANGED:
            // Shown at once: the player switches buttons from inside their own click handlers.
            glyph_.StateImage(Enabled() ? StateUp : StateDisabled);
            UpdateTracking();
            Repaint();
            return;
        case CM_BUTTONPRESSED:
            ButtonPressed(static_cast<int>(message.WParam), reinterpret_cast<TSpeedButton*>(message.LParam));
            return;
        case CM_DIALOGCHAR:
            if (Enabled() && Visible() && Parent() && Parent()->Showing() &&
                IsAccelerator(static_cast<char>(message.WParam), Caption())) {
                Click();
                message.Result = 1;
                return;
            }
            break;
        case CM_SYSCOLORCHANGE:
            glyph_.Invalidate();
            glyph_.StateImage(state_);
            Invalidate();
            return;
        case CM_MOUSEENTER:
            if (flat_ && !mouseInControl_ && Enabled() && !GetCapture()) {
                mouseInControl_ = true;
                Repaint();
            }
            return;
        case CM_MOUSELEAVE:
            if (flat_ && mouseInControl_ && Enabled() && !dragging_) {
                mouseInControl_ = false;
                Invalidate();
            }
            return;
        case WM_LBUTTONDBLCLK:
            // The second press of a double click presses the button again; only a latched one hears of it.
            TGraphicControl::WndProc(message);
            if (down_) DblClick();
            return;
        default: break;
    }
    TGraphicControl::WndProc(message);
}

bool TSpeedButton::ReadProperty(std::string_view name, const TLayoutValue& value, TLayoutContext& context) {
    if (name == "Glyph") {
        TBitmap strip;
        strip.LoadFromResourceName(GetModuleHandleA(nullptr), value.Text());
        SetGlyph(strip);
    } else if (name == "NumGlyphs") {
        SetNumGlyphs(value.Integer());
    } else if (name == "Layout") {
        SetLayout(static_cast<TButtonLayout>(
            ReadEnumeration(value, {"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"})));
    } else if (name == "Margin") {
        SetMargin(value.Integer());
    } else if (name == "Spacing") {
        SetSpacing(value.Integer());
    } else if (name == "Transparent") {
        SetTransparent(value.Boolean());
    } else if (name == "Flat") {
        SetFlat(value.Boolean());
    } else if (name == "GroupIndex") {
        SetGroupIndex(value.Integer());
    } else if (name == "Down") {
        SetDown(value.Boolean());
    } else if (name == "AllowAllUp") {
        SetAllowAllUp(value.Boolean());
    } else {
        return TGraphicControl::ReadProperty(name, value, context);
    }
    return true;
}
