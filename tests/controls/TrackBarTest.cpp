// The position slider on the headless display: its range and position rules, what it gives each window it makes,
// the events a user's presses, drags and keys raise, and where it draws its thumb.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "controls/TrackBar.h"
#include "frame/Application.h"
#include "frame/Forms.h"
#include "framework/Layout.h"
#include "framework/StdCtrls.h"
#include "platform/testing/Desktop.h"
#include "platform/testing/VirtualClock.h"

using namespace platform::testing;

namespace {

// Writes down, in order, the track-bar settings the control sends its own window: "name wParam,lParam; ".
class TRecordingTrackBar : public TTrackBar {
  public:
    using TTrackBar::TTrackBar;
    std::string sent;

    void WndProc(TMessage& m) override {
        static const std::map<UINT, std::string> names{
            {TBM_SETTHUMBLENGTH, "thumb"}, {TBM_SETLINESIZE, "line"}, {TBM_SETPAGESIZE, "page"},
            {TBM_SETRANGEMIN, "min"},      {TBM_SETRANGEMAX, "max"},  {TBM_SETSEL, "sel"},
            {TBM_CLEARSEL, "clearsel"},    {TBM_SETPOS, "pos"},       {TBM_SETTICFREQ, "freq"}};
        if (auto name = names.find(m.Msg); name != names.end())
            sent += name->second + " " + std::to_string(m.WParam) + "," + std::to_string(m.LParam) + "; ";
        TTrackBar::WndProc(m);
    }
};

class TrackBarTest : public ::testing::Test {
  protected:
    TrackBarTest() {
        static const bool headless = (UseHeadlessDisplay(), true);
        (void)headless;
        Application();
        form_ = new TForm(&Application());
        form_->SetBounds(40, 40, 320, 160);
        edit_ = new TEdit(form_);  // first in tab order: the form's focus starts here, not on the slider
        edit_->SetParent(form_);
        edit_->SetBounds(8, 8, 100, 21);
        bar_ = new TRecordingTrackBar(form_);
        bar_->SetParent(form_);
        bar_->SetBounds(8, 40, 220, 30);
        bar_->SetMax(100);
        bar_->SetThumbLength(10);
        bar_->SetTickMarks(TTickMark::tmBoth);
        bar_->SetTickStyle(TTickStyle::tsNone);
        bar_->OnChange = [this](TObject* sender) {
            EXPECT_EQ(sender, bar_);
            changes_.push_back(bar_->Position());
        };
    }
    // The desktop stays: the application's window lives as long as the process.
    ~TrackBarTest() override { delete form_; }

    void Show() {
        form_->Show();
        DispatchPending();
    }
    LRESULT Ask(UINT message) { return SendMessageA(bar_->Handle(), message, 0, 0); }
    RECT Thumb() {
        RECT thumb{};
        SendMessageA(bar_->Handle(), TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
        return thumb;
    }

    VirtualClock clock_;
    TForm* form_;
    TEdit* edit_;
    TRecordingTrackBar* bar_;
    std::vector<int32_t> changes_;  // Position as each OnChange saw it
};

}  // namespace

TEST_F(TrackBarTest, ClampsIntoTheRangeAndRaisesOnChangeOnlyWhenThePositionMoves) {
    bar_->SetMax(10);
    bar_->SetPosition(15);
    EXPECT_EQ(bar_->Position(), 10);
    EXPECT_EQ(changes_, std::vector<int32_t>{10}) << "raised once, inside the setter";
    bar_->SetPosition(15);
    bar_->SetPosition(10);
    bar_->SetPosition(7);
    bar_->SetMax(5);
    bar_->SetMax(-1);  // below Min: ignored
    bar_->SetMin(20);  // above Max: ignored, no error
    bar_->SetMin(-5);  // the position is inside already
    EXPECT_EQ(changes_, (std::vector<int32_t>{10, 7, 5}));
    EXPECT_EQ(bar_->Min(), -5);
    EXPECT_EQ(bar_->Max(), 5);

    try {
        bar_->SetParams(3, 5, 4);
        ADD_FAILURE() << "an inverted range must raise";
    } catch (const EInvalidOperation& error) {
        EXPECT_EQ(error.Message(), "プロパティ TRecordingTrackBar の範囲を超えています");
    }
    EXPECT_EQ(bar_->Min(), -5);
    EXPECT_EQ(bar_->Max(), 5);
    EXPECT_EQ(bar_->Position(), 5);

    // A handler that sets the position again re-enters the setter.
    bar_->OnChange = [this](TObject*) {
        changes_.push_back(bar_->Position());
        if (bar_->Position() == -5) bar_->SetPosition(0);
    };
    bar_->SetPosition(-8);
    EXPECT_EQ(changes_, (std::vector<int32_t>{10, 7, 5, -5, 0}));
    EXPECT_EQ(bar_->Position(), 0);
}

TEST_F(TrackBarTest, AWindowReceivesTheFieldsInOrderAndMovesWithTheSetters) {
    bar_->SetMax(300);
    bar_->SetMin(100);
    bar_->SetPosition(250);  // beyond the window's own first range: the range must reach it first
    bar_->SetLineSize(7);
    bar_->SetPageSize(30);
    bar_->SetFrequency(5);
    bar_->SetThumbLength(14);
    bar_->SetSelStart(120);
    bar_->SetSelEnd(200);
    bar_->SetTickStyle(TTickStyle::tsAuto);
    ASSERT_FALSE(bar_->HandleAllocated());
    EXPECT_EQ(changes_, (std::vector<int32_t>{100, 250})) << "raised with no window";
    Show();
    EXPECT_EQ(bar_->sent, "thumb 14,0; line 0,7; page 0,30; min 0,100; max 0,300; sel 1," +
                              std::to_string(MAKELPARAM(120, 200)) + "; pos 1,250; freq 5,1; ");
    EXPECT_EQ(Ask(TBM_GETPOS), 250);
    EXPECT_EQ(Ask(TBM_GETRANGEMIN), 100);
    EXPECT_EQ(Ask(TBM_GETRANGEMAX), 300);
    EXPECT_EQ(Ask(TBM_GETNUMTICS), 2 + 199 / 5) << "the frequency reached the window";
    EXPECT_EQ(bar_->ThumbLength(), 14);
    char className[64] = {};
    GetClassNameA(bar_->Handle(), className, sizeof className);
    EXPECT_STREQ(className, "msctls_trackbar32");
    auto style = static_cast<DWORD>(GetWindowLongA(bar_->Handle(), GWL_STYLE));
    EXPECT_EQ(style & (TBS_FIXEDLENGTH | TBS_ENABLESELRANGE | TBS_AUTOTICKS | TBS_BOTH | TBS_NOTICKS),
              DWORD{TBS_FIXEDLENGTH | TBS_ENABLESELRANGE | TBS_AUTOTICKS | TBS_BOTH});
    EXPECT_EQ(changes_.size(), 2u) << "making the window raises nothing";

    bar_->sent.clear();
    bar_->SetFrequency(5);
    bar_->SetSelStart(0);
    bar_->SetSelEnd(0);
    bar_->SetMax(200);
    bar_->SetPosition(220);
    EXPECT_EQ(bar_->sent, "sel 1," + std::to_string(MAKELPARAM(0, 200)) + "; clearsel 1,0; max 1,200; pos 1,200; ");
    EXPECT_EQ(Ask(TBM_GETPOS), 200);
}

TEST_F(TrackBarTest, AWindowMadeAgainKeepsTheValuesAndTheUsersPosition) {
    bar_->SetMax(1000);
    bar_->SetPosition(640);
    bar_->SetThumbLength(12);
    Show();
    changes_.clear();
    HWND first = bar_->Handle();
    bar_->SetTickStyle(TTickStyle::tsAuto);
    ASSERT_NE(bar_->Handle(), first);
    EXPECT_EQ(Ask(TBM_GETPOS), 640);
    EXPECT_EQ(Ask(TBM_GETRANGEMIN), 0);
    EXPECT_EQ(Ask(TBM_GETRANGEMAX), 1000);
    EXPECT_EQ(bar_->ThumbLength(), 12);
    EXPECT_TRUE(GetWindowLongA(bar_->Handle(), GWL_STYLE) & TBS_AUTOTICKS);
    HWND second = bar_->Handle();
    bar_->SetTickStyle(TTickStyle::tsAuto);
    EXPECT_EQ(bar_->Handle(), second) << "the same value makes no new window";

    bar_->SetFocus();
    PressKey(VK_HOME);
    DispatchPending();
    ASSERT_EQ(bar_->Position(), 0);
    bar_->SetTickMarks(TTickMark::tmTopLeft);
    bar_->SetSliderVisible(false);
    EXPECT_EQ(Ask(TBM_GETPOS), 0) << "what the user set is in the field, not only in the old window";
    EXPECT_EQ(GetWindowLongA(bar_->Handle(), GWL_STYLE) & (TBS_TOP | TBS_BOTH | TBS_NOTHUMB), TBS_TOP | TBS_NOTHUMB);

    bar_->SetOrientation(TTrackBarOrientation::trVertical);
    EXPECT_EQ(bar_->Width(), 30);
    EXPECT_EQ(bar_->Height(), 220);
    EXPECT_TRUE(GetWindowLongA(bar_->Handle(), GWL_STYLE) & TBS_VERT);
    EXPECT_EQ(Ask(TBM_GETPOS), 0);
    EXPECT_EQ(changes_, (std::vector<int32_t>{0, 0})) << "only the key's two reports raised OnChange";
}

TEST_F(TrackBarTest, APressTakesTheFocusBeforeItsMovementIsReported) {
    std::string trail;
    edit_->OnExit = [&](TObject*) { trail += "exit "; };
    bar_->OnEnter = [&](TObject*) { trail += "enter "; };
    bar_->OnChange = [&](TObject*) { trail += "change " + std::to_string(bar_->Position()) + " "; };
    Show();
    edit_->SetFocus();
    DispatchPending();
    ASSERT_TRUE(edit_->Focused());
    MouseDown(bar_->Handle(), 200, 15);  // on the channel, to the right of the thumb: one page
    DispatchPending();
    EXPECT_EQ(trail, "exit enter change 2 ");
    EXPECT_TRUE(bar_->Focused());
    MouseUp(bar_->Handle(), 200, 15);
    DispatchPending();
    EXPECT_EQ(trail, "exit enter change 2 change 2 ") << "the end of tracking is reported too";
}

TEST_F(TrackBarTest, EveryReportOfADragOrAKeyRaisesOnChangeEvenWithoutAMove) {
    bar_->SetPosition(10);
    Show();
    changes_.clear();
    RECT thumb = Thumb();
    int x = (thumb.left + thumb.right) / 2, y = (thumb.top + thumb.bottom) / 2;
    Click(bar_->Handle(), x, y);
    DispatchPending();
    EXPECT_EQ(changes_, (std::vector<int32_t>{10, 10})) << "the release and the end of tracking, no move";

    changes_.clear();
    MouseDown(bar_->Handle(), x, y);  // a double click by now: the bar takes it as a second press
    DispatchPending();
    for (int step = 1; step <= 4; ++step) {
        MouseMove(bar_->Handle(), x + 20 * step, y);  // about ten positions a step
        DispatchPending();
    }
    MouseUp(bar_->Handle(), x + 80, y);
    DispatchPending();
    ASSERT_EQ(changes_.size(), 6u) << "four steps, the release and the end of tracking";
    for (size_t i = 1; i < 4; ++i) EXPECT_GT(changes_[i], changes_[i - 1]);
    EXPECT_GT(changes_[0], 10);
    EXPECT_EQ(changes_[4], changes_[3]);
    EXPECT_EQ(changes_[5], changes_[3]);
    EXPECT_EQ(bar_->Position(), Ask(TBM_GETPOS));

    changes_.clear();
    PressKey(VK_END);
    DispatchPending();
    PressKey(VK_END);
    DispatchPending();
    EXPECT_EQ(changes_, (std::vector<int32_t>{100, 100, 100})) << "a move and its end, then an end alone";
}

TEST_F(TrackBarTest, TheThumbIsDrawnWherePositionSays) {
    Show();
    int row = Thumb().top + 1;  // across the thumb, clear of the channel
    COLORREF background = Pixel(bar_->Handle(), 0, row);
    // The span of the row that differs from the background: the thumb alone.
    auto thumbSpan = [&] {
        DispatchPending();
        int first = -1, last = -1;
        for (int x = 0; x < bar_->Width(); ++x)
            if (Pixel(bar_->Handle(), x, row) != background) {
                if (first < 0) first = x;
                last = x;
            }
        return std::pair{first, last};
    };
    auto atMin = thumbSpan();
    bar_->SetPosition(100);
    auto atMax = thumbSpan();
    bar_->SetPosition(50);
    auto atHalf = thumbSpan();
    ASSERT_GE(atMin.first, 0);
    int width = atMin.second - atMin.first;
    EXPECT_LE(atMin.first, 3);
    EXPECT_GE(atMax.second, bar_->Width() - 4);
    EXPECT_EQ(atMax.second - atMax.first, width) << "the old thumb was painted over";
    EXPECT_EQ(atHalf.second - atHalf.first, width);
    EXPECT_NEAR(atHalf.first, (atMin.first + atMax.first) / 2, 1);
}

TEST_F(TrackBarTest, ReadsItsPublishedPropertiesFromALayout) {
    TTrackBar slider(nullptr);
    int changes = 0, enters = 0;
    ReadLayoutText(slider, R"({ "class": "TTrackBar", "name": "Slider", "properties": {
        "Width": 30, "Height": 200, "Orientation": "trVertical", "TickMarks": "tmTopLeft", "TickStyle": "tsManual",
        "OnChange": "SliderChange", "OnEnter": "SliderEnter", "Max": 500, "Min": 100, "Position": 50,
        "LineSize": 3, "PageSize": 40, "Frequency": 25, "ThumbLength": 9, "SelStart": 150, "SelEnd": 300,
        "SliderVisible": false, "TabStop": false } })",
                   {{"SliderChange", TNotifyEvent([&](TObject*) { ++changes; })},
                    {"SliderEnter", TNotifyEvent([&](TObject*) { ++enters; })}});
    EXPECT_EQ(slider.Name(), "Slider");
    EXPECT_EQ(slider.Orientation(), TTrackBarOrientation::trVertical);
    EXPECT_EQ(slider.TickMarks(), TTickMark::tmTopLeft);
    EXPECT_EQ(slider.TickStyle(), TTickStyle::tsManual);
    // The layout's bounds are kept as given: its orientation does not turn them.
    EXPECT_EQ((std::vector<int32_t>{slider.Width(), slider.Height(), slider.Min(), slider.Max(), slider.Position(),
                                    slider.LineSize(), slider.PageSize(), slider.Frequency(), slider.ThumbLength(),
                                    slider.SelStart(), slider.SelEnd()}),
              (std::vector<int32_t>{30, 200, 100, 500, 100, 3, 40, 25, 9, 150, 300}));
    EXPECT_EQ(changes, 1) << "Min moved the position; Position 50 clamped to where it already was";
    EXPECT_FALSE(slider.SliderVisible());
    EXPECT_FALSE(slider.TabStop());
    ASSERT_TRUE(slider.OnEnter);
    slider.OnEnter(&slider);
    EXPECT_EQ(enters, 1);
    slider.SetOrientation(TTrackBarOrientation::trHorizontal);
    EXPECT_EQ(slider.Width(), 200);
    EXPECT_EQ(slider.Height(), 30);

    TTrackBar other(nullptr);
    EXPECT_THROW(ReadLayoutText(other, R"({ "class": "TTrackBar", "properties": { "TickStyle": "tsSome" } })", {}),
                 EConvertError);
}
