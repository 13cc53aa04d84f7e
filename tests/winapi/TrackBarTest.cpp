// The common controls' trackbar as the player's position and volume sliders use it: its range, position, steps and
// thumb, set by a program, which its parent does not hear of.

#include <gtest/gtest.h>

#include "tests/support/Recorder.h"
#include "tests/winapi/Suite.h"

namespace {

// The player's position slider.
constexpr DWORD kSlider = TBS_BOTH | TBS_NOTICKS | TBS_FIXEDLENGTH | TBS_ENABLESELRANGE;

class TrackBar : public winapi::ControlTest {
  protected:
    HWND Make(DWORD style, RECT r = {10, 10, 362, 22}) const {
        return ControlTest::Make(TRACKBAR_CLASSA, style, "", 3, r);
    }
    static LRESULT Position(HWND bar) { return Send(bar, TBM_GETPOS); }
    static RECT Thumb(HWND bar) {
        RECT thumb{};
        Send(bar, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
        return thumb;
    }
    // What the parent heard from its bars: WM_HSCROLL and WM_VSCROLL.
    size_t Reports() const {
        size_t count = 0;
        for (const Received& r : recorder_.Log()) count += r.message == WM_HSCROLL || r.message == WM_VSCROLL;
        return count;
    }
};

}  // namespace

TEST_F(TrackBar, ValuesAreClampedIntoTheRangeWhichMayBeAsLargeAsThirtyTwoBits) {
    HWND bar = Make(0);
    EXPECT_EQ(Send(bar, TBM_GETRANGEMIN), 0);
    EXPECT_EQ(Send(bar, TBM_GETRANGEMAX), 100);
    EXPECT_EQ(Send(bar, TBM_GETPAGESIZE), 20);  // a fifth of the range until a program sets it
    EXPECT_EQ(Send(bar, TBM_GETLINESIZE), 1);
    Send(bar, TBM_SETPOS, TRUE, 150);
    EXPECT_EQ(Position(bar), 100);
    Send(bar, TBM_SETRANGEMAX, TRUE, 50);
    EXPECT_EQ(Position(bar), 50);
    Send(bar, TBM_SETRANGEMIN, TRUE, 45);
    EXPECT_EQ(Send(bar, TBM_GETRANGEMIN), 45);
    EXPECT_EQ(Position(bar), 50);
    Send(bar, TBM_SETPOS, TRUE, 10);
    EXPECT_EQ(Position(bar), 45);
    Send(bar, TBM_SETRANGE, TRUE, MAKELPARAM(60, 80));
    EXPECT_EQ(Send(bar, TBM_GETRANGEMIN), 60);
    EXPECT_EQ(Send(bar, TBM_GETRANGEMAX), 80);
    EXPECT_EQ(Position(bar), 60);
    EXPECT_EQ(Send(bar, TBM_SETPAGESIZE, 0, 7), 4);  // the fifth of the new range
    Send(bar, TBM_SETRANGE, TRUE, MAKELPARAM(0, 10));
    EXPECT_EQ(Send(bar, TBM_GETPAGESIZE), 7);  // a page a program set stays
    EXPECT_EQ(Send(bar, TBM_SETLINESIZE, 0, 3), 1);
    EXPECT_EQ(Send(bar, TBM_GETLINESIZE), 3);

    // The ends of the widest range put the thumb where the ends of a small one do.
    Send(bar, TBM_SETPOS, TRUE, 0);
    const RECT first = Thumb(bar);
    Send(bar, TBM_SETPOS, TRUE, 10);
    const RECT last = Thumb(bar);
    Send(bar, TBM_SETRANGEMIN, FALSE, -2147483647 - 1);
    Send(bar, TBM_SETRANGEMAX, FALSE, 2147483647);
    Send(bar, TBM_SETPOS, TRUE, 2147483647);
    EXPECT_EQ(Position(bar), 2147483647);
    RECT atMaximum = Thumb(bar);
    EXPECT_TRUE(EqualRect(&atMaximum, &last));
    Send(bar, TBM_SETPOS, TRUE, -2147483647 - 1);
    EXPECT_EQ(Position(bar), -2147483647 - 1);
    RECT atMinimum = Thumb(bar);
    EXPECT_TRUE(EqualRect(&atMinimum, &first));
    winapi::DispatchPending();
    EXPECT_EQ(Reports(), 0u);  // nothing a program does is reported
}

TEST_F(TrackBar, ThePlayersSliderPlacesItsThumbByPosition) {
    HWND bar = Make(kSlider);
    Send(bar, TBM_SETTHUMBLENGTH, 10);
    Send(bar, TBM_SETRANGEMIN, FALSE, 0);
    Send(bar, TBM_SETRANGEMAX, FALSE, 4200000);  // a 70-minute file in milliseconds
    EXPECT_EQ(Send(bar, TBM_GETTHUMBLENGTH), 10);
    RECT first = Thumb(bar);
    Send(bar, TBM_SETPOS, TRUE, 4200000);
    RECT last = Thumb(bar);
    Send(bar, TBM_SETPOS, TRUE, 2100000);
    RECT middle = Thumb(bar);
    EXPECT_NEAR(middle.left - first.left, last.left - middle.left, 1);
    EXPECT_GT(last.left - first.left, 330);  // nearly the whole 352 pixels
    EXPECT_EQ(middle.top, first.top);
    // The channel is the room the thumb moves in; how it stands across the bar is the bar's look, not asserted.
    RECT channel{};
    Send(bar, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
    EXPECT_LE(channel.left, first.left);
    EXPECT_GE(channel.right, last.right);
}

TEST_F(TrackBar, OnlyAFixedLengthBarTakesTheThumbLengthItIsGiven) {
    HWND fixed = Make(TBS_FIXEDLENGTH | TBS_NOTICKS, {10, 10, 210, 40});
    HWND loose = Make(TBS_NOTICKS, {10, 50, 210, 80});
    const LRESULT natural = Send(loose, TBM_GETTHUMBLENGTH);
    EXPECT_GT(natural, 0);
    Send(loose, TBM_SETTHUMBLENGTH, natural + 6);
    EXPECT_EQ(Send(loose, TBM_GETTHUMBLENGTH), natural);
    Send(fixed, TBM_SETTHUMBLENGTH, natural + 6);
    EXPECT_EQ(Send(fixed, TBM_GETTHUMBLENGTH), natural + 6);
}

TEST_F(TrackBar, ItWantsTheArrowKeysAndKeepsTheSelectionItIsGiven) {
    HWND bar = Make(TBS_ENABLESELRANGE | TBS_AUTOTICKS, {10, 10, 210, 40});
    EXPECT_EQ(Send(bar, WM_GETDLGCODE), DLGC_WANTARROWS);
    Send(bar, TBM_SETSEL, TRUE, MAKELPARAM(20, 60));
    EXPECT_EQ(Send(bar, TBM_GETSELSTART), 20);
    EXPECT_EQ(Send(bar, TBM_GETSELEND), 60);
    Send(bar, TBM_SETSELSTART, TRUE, 30);
    Send(bar, TBM_SETSELEND, TRUE, 70);
    EXPECT_EQ(Send(bar, TBM_GETSELSTART), 30);
    EXPECT_EQ(Send(bar, TBM_GETSELEND), 70);
    EXPECT_EQ(Position(bar), 0);  // the selection is not the position
}
