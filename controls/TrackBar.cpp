#include "controls/TrackBar.h"

#include "framework/Layout.h"
#include "framework/LayoutProperties.h"
#include "runtime/Exception.h"

namespace {

void InitBarClasses() {
    INITCOMMONCONTROLSEX init{sizeof init, ICC_BAR_CLASSES};
    if (!InitCommonControlsEx(&init)) InitCommonControls();
}

// The window's messages take values as WPARAM or LPARAM; a negative value travels as its 32-bit pattern.
WPARAM AsWParam(int32_t value) { return static_cast<WPARAM>(static_cast<uint32_t>(value)); }
LPARAM AsLParam(int32_t value) { return static_cast<LPARAM>(value); }

}  // namespace

TTrackBar::TTrackBar(TComponent* owner) : TWinControl(owner) {
    // A double click is a second press on the bar: it pages again, as any press does.
    SetControlStyle(ControlStyle() & ~csDoubleClicks);
    SetBounds(0, 0, 150, 45);
    SetTabStop(true);
    // The window paints its background in the colour it is given; that is the colour of whatever it sits on.
    SetParentColor(true);
}

void TTrackBar::CreateParams(TCreateParams& params) {
    InitBarClasses();
    TWinControl::CreateParams(params);
    params.className = TRACKBAR_CLASSA;
    params.builtInClass = true;
    // The platform's class is used as it is: it already asks for double clicks, which the bar takes as presses,
    // and its redrawing on resize costs nothing beyond the bar's own repaint on WM_SIZE.
    params.style |= TBS_FIXEDLENGTH | TBS_ENABLESELRANGE;
    if (orientation_ == TTrackBarOrientation::trVertical) params.style |= TBS_VERT;
    if (tickMarks_ == TTickMark::tmTopLeft) params.style |= TBS_TOP;
    else if (tickMarks_ == TTickMark::tmBoth) params.style |= TBS_BOTH;
    if (tickStyle_ == TTickStyle::tsNone) params.style |= TBS_NOTICKS;
    else if (tickStyle_ == TTickStyle::tsAuto) params.style |= TBS_AUTOTICKS;
    if (!sliderVisible_) params.style |= TBS_NOTHUMB;
}

void TTrackBar::CreateWnd() {
    TWinControl::CreateWnd();
    HWND window = Handle();
    // The range goes before the position, so that the window does not clamp the position into its own default
    // range.
    SendMessageA(window, TBM_SETTHUMBLENGTH, AsWParam(thumbLength_), 0);
    SendMessageA(window, TBM_SETLINESIZE, 0, AsLParam(lineSize_));
    SendMessageA(window, TBM_SETPAGESIZE, 0, AsLParam(pageSize_));
    SendMessageA(window, TBM_SETRANGEMIN, FALSE, AsLParam(min_));
    SendMessageA(window, TBM_SETRANGEMAX, FALSE, AsLParam(max_));
    SendSelection();
    SendMessageA(window, TBM_SETPOS, TRUE, AsLParam(position_));
    SendMessageA(window, TBM_SETTICFREQ, AsWParam(frequency_), 1);
}

void TTrackBar::SendSelection() {
    if (!HandleAllocated()) return;
    if (selStart_ == 0 && selEnd_ == 0) {
        SendMessageA(Handle(), TBM_CLEARSEL, TRUE, 0);
        return;
    }
    SendMessageA(Handle(), TBM_SETSEL, TRUE, MAKELPARAM(static_cast<WORD>(selStart_), static_cast<WORD>(selEnd_)));
}

void TTrackBar::SetParams(int32_t position, int32_t minimum, int32_t maximum) {
    if (maximum < minimum) throw EInvalidOperation(Msg::SPropertyOutOfRange, ClassName());
    if (position < minimum) position = minimum;
    if (position > maximum) position = maximum;
    if (minimum != min_) {
        min_ = minimum;
        if (HandleAllocated()) SendMessageA(Handle(), TBM_SETRANGEMIN, TRUE, AsLParam(min_));
    }
    if (maximum != max_) {
        max_ = maximum;
        if (HandleAllocated()) SendMessageA(Handle(), TBM_SETRANGEMAX, TRUE, AsLParam(max_));
    }
    if (position == position_) return;
    position_ = position;
    if (HandleAllocated()) SendMessageA(Handle(), TBM_SETPOS, TRUE, AsLParam(position_));
    Changed();
}

void TTrackBar::SetPosition(int32_t value) { SetParams(value, min_, max_); }

void TTrackBar::SetMin(int32_t value) {
    if (value <= max_) SetParams(position_, value, max_);
}

void TTrackBar::SetMax(int32_t value) {
    if (value >= min_) SetParams(position_, min_, value);
}

void TTrackBar::SetLineSize(int32_t value) {
    if (lineSize_ == value) return;
    lineSize_ = value;
    if (HandleAllocated()) SendMessageA(Handle(), TBM_SETLINESIZE, 0, AsLParam(value));
}

void TTrackBar::SetPageSize(int32_t value) {
    if (pageSize_ == value) return;
    pageSize_ = value;
    if (HandleAllocated()) SendMessageA(Handle(), TBM_SETPAGESIZE, 0, AsLParam(value));
}

void TTrackBar::SetFrequency(int32_t value) {
    if (frequency_ == value) return;
    frequency_ = value;
    if (HandleAllocated()) SendMessageA(Handle(), TBM_SETTICFREQ, AsWParam(value), 1);
}

int32_t TTrackBar::ThumbLength() {
    if (!HandleAllocated()) return thumbLength_;
    return static_cast<int32_t>(SendMessageA(Handle(), TBM_GETTHUMBLENGTH, 0, 0));
}

void TTrackBar::SetThumbLength(int32_t value) {
    if (thumbLength_ == value) return;
    thumbLength_ = value;
    if (HandleAllocated()) SendMessageA(Handle(), TBM_SETTHUMBLENGTH, AsWParam(value), 0);
}

void TTrackBar::SetSelStart(int32_t value) {
    if (selStart_ == value) return;
    selStart_ = value;
    SendSelection();
}

void TTrackBar::SetSelEnd(int32_t value) {
    if (selEnd_ == value) return;
    selEnd_ = value;
    SendSelection();
}

void TTrackBar::SetOrientation(TTrackBarOrientation value) {
    if (orientation_ == value) return;
    orientation_ = value;
    if (!Loading()) SetBounds(Left(), Top(), Height(), Width());
    RecreateWnd();
}

void TTrackBar::SetTickMarks(TTickMark value) {
    if (tickMarks_ == value) return;
    tickMarks_ = value;
    RecreateWnd();
}

void TTrackBar::SetTickStyle(TTickStyle value) {
    if (tickStyle_ == value) return;
    tickStyle_ = value;
    RecreateWnd();
}

void TTrackBar::SetSliderVisible(bool value) {
    if (sliderVisible_ == value) return;
    sliderVisible_ = value;
    RecreateWnd();
}

void TTrackBar::Changed() {
    if (OnChange) OnChange(this);
}

void TTrackBar::WndProc(TMessage& message) {
    if (message.Msg != CN_HSCROLL && message.Msg != CN_VSCROLL) {
        TWinControl::WndProc(message);
        return;
    }
    // Whatever the kind of report, the window's position is taken as it is: the window keeps it in the range.
    TWinControl::WndProc(message);
    position_ = static_cast<int32_t>(SendMessageA(Handle(), TBM_GETPOS, 0, 0));
    Changed();
    message.Result = 0;
}

bool TTrackBar::ReadProperty(std::string_view name, const TLayoutValue& value, TLayoutContext& context) {
    if (name == "Orientation")
        SetOrientation(static_cast<TTrackBarOrientation>(ReadEnumeration(value, {"trHorizontal", "trVertical"})));
    else if (name == "TickMarks")
        SetTickMarks(static_cast<TTickMark>(ReadEnumeration(value, {"tmBottomRight", "tmTopLeft", "tmBoth"})));
    else if (name == "TickStyle")
        SetTickStyle(static_cast<TTickStyle>(ReadEnumeration(value, {"tsNone", "tsAuto", "tsManual"})));
    else if (name == "Min") SetMin(value.Integer());
    else if (name == "Max") SetMax(value.Integer());
    else if (name == "Position") SetPosition(value.Integer());
    else if (name == "LineSize") SetLineSize(value.Integer());
    else if (name == "PageSize") SetPageSize(value.Integer());
    else if (name == "Frequency") SetFrequency(value.Integer());
    else if (name == "ThumbLength") SetThumbLength(value.Integer());
    else if (name == "SelStart") SetSelStart(value.Integer());
    else if (name == "SelEnd") SetSelEnd(value.Integer());
    else if (name == "SliderVisible") SetSliderVisible(value.Boolean());
    else if (name == "OnChange") OnChange = context.Handler<TNotifyEvent>(value.Text());
    else return TWinControl::ReadProperty(name, value, context);
    return true;
}
