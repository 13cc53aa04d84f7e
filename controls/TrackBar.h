#pragma once
// The position slider: a thin layer over the platform's msctls_trackbar32 window. Unlike the list box it keeps
// every setting in a field of its own and hands the fields to each window it makes, in a fixed order, so a window
// made again (a change of TickStyle, TickMarks, SliderVisible or Orientation) starts where the last one stopped.
// Reading Position returns the field and never asks the window.
//
// OnChange runs synchronously, nested inside whatever moved the position: a setter whose clamped result differs
// from the stored position, and every movement the window reports for the user (a line or page step, each step of
// a drag, the release, the end of tracking), even a report that leaves the position where it was. Handlers must
// tolerate repeated calls with the same position. A press on the slider takes the focus, and so runs OnEnter,
// before the window reports any movement the press causes.

#include <cstdint>

#include "framework/WinControl.h"

enum class TTrackBarOrientation : uint8_t { trHorizontal, trVertical };
enum class TTickMark : uint8_t { tmBottomRight, tmTopLeft, tmBoth };
enum class TTickStyle : uint8_t { tsNone, tsAuto, tsManual };

class TTrackBar : public TWinControl {
  public:
    explicit TTrackBar(TComponent* owner);

    int32_t Position() const { return position_; }
    void SetPosition(int32_t value);
    // A minimum above Max, or a maximum below Min, is ignored: nothing changes and nothing is raised.
    int32_t Min() const { return min_; }
    void SetMin(int32_t value);
    int32_t Max() const { return max_; }
    void SetMax(int32_t value);
    // Sets the range and the position together: the position is clamped into the range, the window is told of
    // what changed, and OnChange runs once when the stored position moved. A maximum below the minimum raises
    // EInvalidOperation and changes nothing.
    void SetParams(int32_t position, int32_t minimum, int32_t maximum);

    int32_t LineSize() const { return lineSize_; }
    void SetLineSize(int32_t value);
    int32_t PageSize() const { return pageSize_; }
    void SetPageSize(int32_t value);
    int32_t Frequency() const { return frequency_; }
    void SetFrequency(int32_t value);
    // The thumb's breadth across the bar, as the window has it while there is one.
    int32_t ThumbLength();
    void SetThumbLength(int32_t value);
    // The highlighted stretch of the channel; the window receives each end in 16 bits, and no selection at all
    // while both are 0.
    int32_t SelStart() const { return selStart_; }
    void SetSelStart(int32_t value);
    int32_t SelEnd() const { return selEnd_; }
    void SetSelEnd(int32_t value);

    // Settings that shape the window: a new value makes the window again.
    TTrackBarOrientation Orientation() const { return orientation_; }
    // Turns the control too (width and height swap), except while its layout is read.
    void SetOrientation(TTrackBarOrientation value);
    TTickMark TickMarks() const { return tickMarks_; }
    void SetTickMarks(TTickMark value);
    TTickStyle TickStyle() const { return tickStyle_; }
    void SetTickStyle(TTickStyle value);
    bool SliderVisible() const { return sliderVisible_; }
    void SetSliderVisible(bool value);

    TNotifyEvent OnChange;

    void WndProc(TMessage& message) override;
    bool ReadProperty(std::string_view name, const TLayoutValue& value, TLayoutContext& context) override;

  protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    // Runs for each change of the position; raises OnChange.
    virtual void Changed();

  private:
    void SendSelection();

    TTrackBarOrientation orientation_ = TTrackBarOrientation::trHorizontal;
    TTickMark tickMarks_ = TTickMark::tmBottomRight;
    TTickStyle tickStyle_ = TTickStyle::tsAuto;
    int32_t min_ = 0;
    int32_t max_ = 10;
    int32_t position_ = 0;
    int32_t lineSize_ = 1;
    int32_t pageSize_ = 2;
    int32_t frequency_ = 1;
    int32_t thumbLength_ = 20;
    int32_t selStart_ = 0;
    int32_t selEnd_ = 0;
    bool sliderVisible_ = true;
};
