#pragma once
// The common controls' track bar (msctls_trackbar32): a range, a position, line and page sizes, ticks and a
// selection, set by TBM_* messages; every movement the user makes is reported to the parent as WM_HSCROLL
// (WM_VSCROLL when vertical). A press takes the focus before it moves anything.

#include <vector>

#include "platform/controls/ControlWindow.h"
#include "platform/controls/trackbar/TrackBarLayout.h"

namespace platform::controls {

class TrackBar : public ControlWindow<TrackBar> {
  public:
    TrackBar(HWND window, const CREATESTRUCTA& create);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

  private:
    enum class Mode { Idle, Dragging, Paging };

    DWORD Style() const;
    TrackBarLayout Layout() const;
    void Redraw(bool redraw = true);
    void Report(WORD code);
    void SetRange(LONG minimum, LONG maximum, bool redraw);
    void Move(LONG position, WORD code);
    void PageTowardPointer();
    void Press(POINT point);
    void FinishTracking(bool releaseCapture);
    bool HandleKey(WPARAM key);
    void SetPosition(LONG value, bool redraw);
    LRESULT HandleValues(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);  // position, range, sizes
    LRESULT HandleMarks(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);   // ticks and selection

    void Paint();
    void PaintTicks(HDC dc, const TrackBarLayout& layout);
    void PaintThumb(HDC dc, const TrackBarLayout& layout);

    HWND window_;
    LONG minimum_ = 0;
    LONG maximum_ = 100;
    LONG position_ = 0;
    LONG lineSize_ = 1;
    LONG pageSize_ = 20;
    bool pageSizeSet_ = false;  // until a program sets it, the page is a fifth of the range
    LONG frequency_ = 1;
    LONG selectionStart_ = 0;
    LONG selectionEnd_ = 0;
    int thumbLength_;
    std::vector<LONG> ticks_;
    bool focused_ = false;

    Mode mode_ = Mode::Idle;
    int grip_ = 0;           // where along the thumb it was taken
    WORD pageCode_ = 0;      // TB_PAGEUP or TB_PAGEDOWN while paging
    POINT pointer_{};
};

}  // namespace platform::controls
