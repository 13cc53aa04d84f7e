#include "platform/controls/trackbar/TrackBar.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "platform/controls/Controls.h"

namespace platform::controls {

namespace {

constexpr UINT_PTR kRepeatTimer = 1;
constexpr UINT kFirstRepeat = 400;  // ms a press on the channel waits before it pages again
constexpr UINT kRepeat = 100;

// Clamps as Windows does: into the minimum first, then into the maximum.
LONG Clamped(int64_t position, LONG minimum, LONG maximum) {
    if (position < minimum) return minimum;
    if (position > maximum) return maximum;
    return static_cast<LONG>(position);
}

bool IsMovementKey(WPARAM key) {
    switch (key) {
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN:
        case VK_PRIOR:
        case VK_NEXT:
        case VK_HOME:
        case VK_END: return true;
        default: return false;
    }
}

}  // namespace

TrackBar::TrackBar(HWND window, const CREATESTRUCTA&) : window_(window), thumbLength_(0) {}

DWORD TrackBar::Style() const { return static_cast<DWORD>(GetWindowLongA(window_, GWL_STYLE)); }

TrackBarLayout TrackBar::Layout() const {
    RECT client;
    GetClientRect(window_, &client);
    DWORD style = Style();
    return TrackBarLayout(client, style, (style & TBS_FIXEDLENGTH) ? thumbLength_ : 0, minimum_, maximum_);
}

void TrackBar::Redraw(bool redraw) {
    if (redraw) InvalidateRect(window_, nullptr, FALSE);
}

void TrackBar::Report(WORD code) {
    HWND parent = GetParent(window_);
    if (!parent) return;
    // Only the thumb's reports carry the position, in 16 bits; the parent asks TBM_GETPOS for the whole of it.
    WORD shown = code == TB_THUMBTRACK || code == TB_THUMBPOSITION ? static_cast<WORD>(position_) : 0;
    SendMessageA(parent, (Style() & TBS_VERT) ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(code, shown),
                 reinterpret_cast<LPARAM>(window_));
}

void TrackBar::SetRange(LONG minimum, LONG maximum, bool redraw) {
    minimum_ = minimum;
    maximum_ = maximum;
    if (!pageSizeSet_) pageSize_ = static_cast<LONG>(std::max<int64_t>(1, (int64_t{maximum} - minimum) / 5));
    const LONG before = position_;
    if (position_ < minimum_) position_ = minimum_;
    if (position_ > maximum_) position_ = maximum_;
    if (position_ != before) NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, window_, OBJID_CLIENT, CHILDID_SELF);
    Redraw(redraw);
}

// Moves by the user's hand; a step that changes nothing is not reported.
void TrackBar::Move(LONG position, WORD code) {
    if (position == position_) return;
    position_ = position;
    NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, window_, OBJID_CLIENT, CHILDID_SELF);
    Redraw();
    Report(code);
}

void TrackBar::PageTowardPointer() {
    TrackBarLayout layout = Layout();
    RECT thumb = layout.Thumb(position_);
    int along = layout.Along(pointer_);
    int thumbStart = layout.Vertical() ? thumb.top : thumb.left;
    int thumbEnd = layout.Vertical() ? thumb.bottom : thumb.right;
    bool reached = pageCode_ == TB_PAGEUP ? along >= thumbStart : along < thumbEnd;
    if (reached) return;
    int64_t step = pageCode_ == TB_PAGEUP ? -int64_t{pageSize_} : int64_t{pageSize_};
    Move(Clamped(int64_t{position_} + step, minimum_, maximum_), pageCode_);
}

void TrackBar::Press(POINT point) {
    // The parent hears of the focus before it hears of any movement.
    if (GetFocus() != window_) SetFocus(window_);
    if (Destroyed() || mode_ != Mode::Idle) return;
    TrackBarLayout layout = Layout();
    RECT thumb = layout.Thumb(position_);
    pointer_ = point;
    SetCapture(window_);
    if (!(Style() & TBS_NOTHUMB) && PtInRect(&thumb, point)) {
        mode_ = Mode::Dragging;
        grip_ = layout.Along(point) - layout.ThumbStart(position_);
        Redraw();
        return;
    }
    mode_ = Mode::Paging;
    pageCode_ = layout.Along(point) < layout.ThumbStart(position_) ? TB_PAGEUP : TB_PAGEDOWN;
    PageTowardPointer();
    if (!Destroyed() && mode_ == Mode::Paging) SetTimer(window_, kRepeatTimer, kFirstRepeat, nullptr);
}

void TrackBar::FinishTracking(bool releaseCapture) {
    Mode finished = mode_;
    mode_ = Mode::Idle;
    KillTimer(window_, kRepeatTimer);
    if (releaseCapture && GetCapture() == window_) ReleaseCapture();
    Redraw();
    if (finished == Mode::Dragging) Report(TB_THUMBPOSITION);
    if (!Destroyed()) Report(TB_ENDTRACK);
}

bool TrackBar::HandleKey(WPARAM key) {
    int64_t position = position_;
    switch (key) {
        case VK_LEFT:
        case VK_UP: Move(Clamped(position - lineSize_, minimum_, maximum_), TB_LINEUP); return true;
        case VK_RIGHT:
        case VK_DOWN: Move(Clamped(position + lineSize_, minimum_, maximum_), TB_LINEDOWN); return true;
        case VK_PRIOR: Move(Clamped(position - pageSize_, minimum_, maximum_), TB_PAGEUP); return true;
        case VK_NEXT: Move(Clamped(position + pageSize_, minimum_, maximum_), TB_PAGEDOWN); return true;
        case VK_HOME: Move(minimum_, TB_TOP); return true;
        case VK_END: Move(maximum_, TB_BOTTOM); return true;
        default: return false;
    }
}

// A player moves its slider many times a second, mostly by less than a pixel: only a thumb that moves on the
// screen is drawn again, and only where it was and where it goes.
void TrackBar::SetPosition(LONG value, bool redraw) {
    LONG position = Clamped(value, minimum_, maximum_);
    if (position == position_) return;
    const TrackBarLayout layout = Layout();
    const RECT before = layout.Thumb(position_), after = layout.Thumb(position);
    position_ = position;
    NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, window_, OBJID_CLIENT, CHILDID_SELF);
    if (!redraw || EqualRect(&before, &after)) return;
    RECT both;
    UnionRect(&both, &before, &after);
    InvalidateRect(window_, &both, FALSE);
}

LRESULT TrackBar::HandleValues(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    auto value = static_cast<LONG>(lParam);
    bool redraw = wParam != 0;
    handled = true;
    switch (message) {
        case TBM_GETPOS: return position_;
        case TBM_GETRANGEMIN: return minimum_;
        case TBM_GETRANGEMAX: return maximum_;
        case TBM_SETPOS: SetPosition(value, redraw); return 0;
        case TBM_SETRANGE: SetRange(LOWORD(lParam), HIWORD(lParam), redraw); return 0;
        case TBM_SETRANGEMIN: SetRange(value, maximum_, redraw); return 0;
        case TBM_SETRANGEMAX: SetRange(minimum_, value, redraw); return 0;
        case TBM_GETLINESIZE: return lineSize_;
        case TBM_SETLINESIZE: return std::exchange(lineSize_, value);
        case TBM_GETPAGESIZE: return pageSize_;
        case TBM_SETPAGESIZE:
            pageSizeSet_ = true;
            return std::exchange(pageSize_, value);
        case TBM_SETTHUMBLENGTH:
            if (Style() & TBS_FIXEDLENGTH) {
                thumbLength_ = static_cast<int>(std::min<WPARAM>(wParam, 0x7FFF));
                Redraw();
            }
            return 0;
        case TBM_GETTHUMBLENGTH: return Layout().ThumbLength();
        case TBM_GETTHUMBRECT:
            if (auto* rect = reinterpret_cast<RECT*>(lParam)) *rect = Layout().Thumb(position_);
            return 0;
        case TBM_GETCHANNELRECT:
            if (auto* rect = reinterpret_cast<RECT*>(lParam)) *rect = Layout().Channel();
            return 0;
        default: handled = false; return 0;
    }
}

// The tick marks and the selection shown beside the channel.
LRESULT TrackBar::HandleMarks(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    auto value = static_cast<LONG>(lParam);
    bool redraw = wParam != 0;
    handled = true;
    switch (message) {
        case TBM_SETTICFREQ:
            frequency_ = static_cast<LONG>(wParam);
            Redraw();
            return 0;
        case TBM_SETTIC:
            if (value < minimum_ || value > maximum_) return FALSE;
            ticks_.push_back(value);
            Redraw();
            return TRUE;
        case TBM_CLEARTICS:
            ticks_.clear();
            Redraw(redraw);
            return 0;
        case TBM_GETNUMTICS: {
            DWORD style = Style();
            if (style & TBS_NOTICKS) return 0;
            int64_t automatic = (style & TBS_AUTOTICKS) && frequency_ > 0
                                    ? std::max<int64_t>(0, (int64_t{maximum_} - minimum_ - 1) / frequency_)
                                    : 0;
            return static_cast<LRESULT>(2 + automatic + static_cast<int64_t>(ticks_.size()));
        }
        case TBM_SETSEL:
            selectionStart_ = LOWORD(lParam);
            selectionEnd_ = HIWORD(lParam);
            Redraw(redraw);
            return 0;
        case TBM_SETSELSTART: selectionStart_ = value; Redraw(redraw); return 0;
        case TBM_SETSELEND: selectionEnd_ = value; Redraw(redraw); return 0;
        case TBM_GETSELSTART: return selectionStart_;
        case TBM_GETSELEND: return selectionEnd_;
        case TBM_CLEARSEL:
            selectionStart_ = selectionEnd_ = 0;
            Redraw(redraw);
            return 0;
        default: handled = false; return 0;
    }
}

LRESULT TrackBar::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    bool handled = false;
    LRESULT result = HandleValues(message, wParam, lParam, handled);
    if (!handled) result = HandleMarks(message, wParam, lParam, handled);
    if (handled) return result;
    POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (message) {
        case WM_GETDLGCODE: return DLGC_WANTARROWS;
        case WM_ERASEBKGND: return 1;  // painting covers everything
        case WM_PAINT: Paint(); return 0;
        case WM_SETFOCUS:
        case WM_KILLFOCUS: focused_ = message == WM_SETFOCUS; [[fallthrough]];
        case WM_SIZE: Redraw(); return 0;
        case WM_ENABLE:
            if (!wParam && mode_ != Mode::Idle) FinishTracking(true);
            Redraw();
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: Press(point); return 0;
        case WM_MOUSEMOVE:
            pointer_ = point;
            if (mode_ == Mode::Dragging) {
                TrackBarLayout layout = Layout();
                LONG position = Clamped(layout.PositionAt(layout.Along(point) - grip_), minimum_, maximum_);
                if (position != position_) {
                    position_ = position;
                    NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, window_, OBJID_CLIENT, CHILDID_SELF);
                    Redraw();
                    Report(TB_THUMBTRACK);
                }
            }
            return 0;
        case WM_LBUTTONUP:
            if (mode_ != Mode::Idle) FinishTracking(true);
            return 0;
        case WM_CAPTURECHANGED:
            if (mode_ != Mode::Idle) FinishTracking(false);
            return 0;
        case WM_TIMER:
            if (wParam != kRepeatTimer) break;
            if (mode_ != Mode::Paging) {
                KillTimer(window_, kRepeatTimer);
                return 0;
            }
            PageTowardPointer();
            if (!Destroyed() && mode_ == Mode::Paging) SetTimer(window_, kRepeatTimer, kRepeat, nullptr);
            return 0;
        case WM_KEYDOWN:
            if (mode_ == Mode::Idle && HandleKey(wParam)) return 0;
            break;
        case WM_KEYUP:
            if (mode_ == Mode::Idle && IsMovementKey(wParam)) {
                Report(TB_ENDTRACK);
                return 0;
            }
            break;
        default: break;
    }
    return DefWindowProcA(window_, message, wParam, lParam);
}

void RegisterTrackBarClass() {
    WNDCLASSA cls{};
    cls.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW | CS_GLOBALCLASS;
    cls.lpfnWndProc = TrackBar::Procedure;
    cls.cbWndExtra = TrackBar::kExtraBytes;
    cls.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    cls.lpszClassName = TRACKBAR_CLASSA;
    RegisterClassA(&cls);
}

}  // namespace platform::controls
