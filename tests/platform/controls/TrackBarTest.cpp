#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "platform/testing/Desktop.h"
#include "platform/testing/VirtualClock.h"
#include "tests/support/Recorder.h"

using namespace platform::testing;
using namespace std::chrono_literals;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kFace = RGB(192, 192, 192);

// The player's position slider.
constexpr DWORD kSlider = TBS_BOTH | TBS_NOTICKS | TBS_FIXEDLENGTH | TBS_ENABLESELRANGE;

class TrackBarWindow : public ::testing::Test {
  protected:
    TrackBarWindow() : display_(UseHeadlessDisplay()) {
        InitCommonControls();
        parent_ = recorder_.TopLevel("parent", 0, 0, 400, 200, WS_POPUP | WS_VISIBLE);
        recorder_.Label(parent_, "parent");
        DispatchPending();
        // Each report as "code" or "code:position", with where the focus was when it came.
        recorder_.Handle(parent_, [this](HWND, UINT message, WPARAM wParam, LPARAM lParam, LRESULT&) {
            if (message != WM_HSCROLL && message != WM_VSCROLL) return false;
            std::string report = std::to_string(LOWORD(wParam));
            if (LOWORD(wParam) == TB_THUMBTRACK || LOWORD(wParam) == TB_THUMBPOSITION)
                report += ":" + std::to_string(SendMessageA(reinterpret_cast<HWND>(lParam), TBM_GETPOS, 0, 0));
            reports_.push_back(report);
            focusedWhenReported_ = focusedWhenReported_ && GetFocus() == reinterpret_cast<HWND>(lParam);
            return true;
        });
    }
    ~TrackBarWindow() override { ResetDesktop(); }

    HWND Make(DWORD style, RECT r = {10, 10, 362, 22}) {
        HWND bar = CreateWindowExA(0, TRACKBAR_CLASSA, "", WS_CHILD | WS_VISIBLE | style, r.left, r.top,
                                   r.right - r.left, r.bottom - r.top, parent_, reinterpret_cast<HMENU>(3), nullptr,
                                   nullptr);
        DispatchPending();
        return bar;
    }

    // The player's slider as the program sets it up for a 70-minute file.
    HWND Slider() {
        HWND bar = Make(kSlider);
        SendMessageA(bar, TBM_SETTHUMBLENGTH, 10, 0);
        SendMessageA(bar, TBM_SETRANGEMIN, FALSE, 0);
        SendMessageA(bar, TBM_SETRANGEMAX, FALSE, 4200000);
        SendMessageA(bar, TBM_CLEARSEL, TRUE, 0);
        DispatchPending();
        return bar;
    }

    static RECT Thumb(HWND bar) {
        RECT thumb{};
        SendMessageA(bar, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
        return thumb;
    }

    static LRESULT Position(HWND bar) { return SendMessageA(bar, TBM_GETPOS, 0, 0); }

    platform::display::HeadlessDisplay& display_;
    VirtualClock clock_;
    Recorder recorder_;
    HWND parent_ = nullptr;
    std::vector<std::string> reports_;
    bool focusedWhenReported_ = true;
};

const std::string kLineUp = std::to_string(TB_LINEUP), kLineDown = std::to_string(TB_LINEDOWN);
const std::string kPageUp = std::to_string(TB_PAGEUP), kPageDown = std::to_string(TB_PAGEDOWN);
const std::string kTrack = std::to_string(TB_THUMBTRACK), kPosition = std::to_string(TB_THUMBPOSITION);
const std::string kTop = std::to_string(TB_TOP), kBottom = std::to_string(TB_BOTTOM);
const std::string kEnd = std::to_string(TB_ENDTRACK);

}  // namespace

TEST_F(TrackBarWindow, ThePlayersSliderDrawsItsThumbAcrossTheSunkenChannel) {
    HWND bar = Slider();
    RECT first = Thumb(bar);
    EXPECT_EQ(first.bottom - first.top, 10);  // the thumb's length is its height across the bar
    SendMessageA(bar, TBM_SETPOS, TRUE, 2100000);
    RECT middle = Thumb(bar);

    DispatchPending();
    // The thumb's light left edge stands where the thumb is, and only there.
    int row = (middle.top + middle.bottom) / 2;
    EXPECT_EQ(Pixel(bar, middle.left, row), kWhite);
    EXPECT_EQ(Pixel(bar, first.left + 1, middle.top), kFace);
    RECT channel{};
    SendMessageA(bar, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
    EXPECT_GE(channel.top, middle.top);
    EXPECT_LE(channel.bottom, middle.bottom);
    EXPECT_NE(Pixel(bar, first.left + 1, channel.top + 1), kFace);  // the channel, sunk in
}

TEST_F(TrackBarWindow, APositionThatMovesTheThumbLessThanAPixelDrawsNothingAndAMoveDrawsOnlyTheThumb) {
    HWND bar = Slider();
    DispatchPending();
    RECT update{};
    // A 70-minute file moves the thumb a pixel about every 12 seconds: a tick's 10 ms changes nothing on screen.
    SendMessageA(bar, TBM_SETPOS, TRUE, 10);
    EXPECT_EQ(Position(bar), 10);
    EXPECT_FALSE(GetUpdateRect(bar, &update, FALSE));

    RECT before = Thumb(bar);
    SendMessageA(bar, TBM_SETPOS, TRUE, 2100000);
    RECT after = Thumb(bar), both{};
    UnionRect(&both, &before, &after);
    ASSERT_TRUE(GetUpdateRect(bar, &update, FALSE));
    EXPECT_TRUE(EqualRect(&update, &both));
    DispatchPending();
    // Where the thumb was, the channel shows again.
    int row = (before.top + before.bottom) / 2;
    EXPECT_NE(Pixel(bar, before.left, row), kWhite);
    EXPECT_EQ(Pixel(bar, after.left, row), kWhite);

    // Without a redraw nothing is marked, and the next paint still shows the thumb where it now is.
    SendMessageA(bar, TBM_SETPOS, FALSE, 4200000);
    EXPECT_FALSE(GetUpdateRect(bar, &update, FALSE));
    InvalidateRect(bar, nullptr, FALSE);
    DispatchPending();
    EXPECT_EQ(Pixel(bar, Thumb(bar).left, row), kWhite);
}

TEST_F(TrackBarWindow, DraggingTheThumbReportsEachStepThenThePositionAndTheEnd) {
    HWND bar = Slider();
    RECT thumb = Thumb(bar);
    recorder_.Clear();
    MouseDown(bar, thumb.left + 2, 6);
    DispatchPending();
    MouseMove(bar, thumb.left + 102, 6);
    DispatchPending();
    MouseMove(bar, thumb.left + 152, 30);  // off the bar: the drag goes on
    DispatchPending();
    MouseMove(bar, thumb.left + 152, 30);  // no change, no report
    DispatchPending();
    MouseUp(bar, thumb.left + 152, 30);
    DispatchPending();
    LRESULT end = Position(bar);
    EXPECT_EQ(Thumb(bar).left, thumb.left + 150);
    ASSERT_EQ(reports_.size(), 4u);
    EXPECT_EQ(reports_[0].substr(0, 2), kTrack + ":");
    EXPECT_EQ(reports_[1], kTrack + ":" + std::to_string(end));
    EXPECT_EQ(reports_[2], kPosition + ":" + std::to_string(end));
    EXPECT_EQ(reports_[3], kEnd);
    EXPECT_NEAR(static_cast<double>(end), 4200000.0 * 150 / 343, 4200000.0 / 343);  // 343 pixels of travel
    // The press took the focus first: the parent lost it before the first report.
    EXPECT_TRUE(focusedWhenReported_);
    EXPECT_EQ(recorder_.Sequence({WM_KILLFOCUS, WM_HSCROLL})[0], "WM_KILLFOCUS(parent)");
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(TrackBarWindow, APressOnTheChannelPagesTowardThePointerWhileHeld) {
    HWND bar = Make(TBS_AUTOTICKS, {10, 10, 210, 40});
    SendMessageA(bar, TBM_SETPAGESIZE, 0, 10);
    RECT client;
    GetClientRect(bar, &client);
    MouseDown(bar, client.right - 30, 10);
    DispatchPending();
    EXPECT_EQ(reports_, std::vector<std::string>{kPageDown});
    EXPECT_EQ(Position(bar), 10);
    EXPECT_TRUE(focusedWhenReported_);
    RunFor(3000ms);
    // Paging stops where the thumb reaches the pointer.
    RECT thumb = Thumb(bar);
    EXPECT_LE(thumb.left, client.right - 30);
    EXPECT_GT(thumb.right, client.right - 30);
    size_t pages = reports_.size();
    EXPECT_GT(pages, 3u);
    MouseUp(bar, client.right - 30, 10);
    DispatchPending();
    ASSERT_EQ(reports_.size(), pages + 1);
    EXPECT_EQ(reports_.back(), kEnd);
    RunFor(1000ms);
    EXPECT_EQ(reports_.size(), pages + 1);

    reports_.clear();
    MouseDown(bar, 3, 10);
    MouseUp(bar, 3, 10);
    DispatchPending();
    EXPECT_EQ(reports_, (std::vector<std::string>{kPageUp, kEnd}));
}

TEST_F(TrackBarWindow, KeysStepTheBarAndTheirReleaseEndsTheTracking) {
    HWND bar = Make(0);
    SendMessageA(bar, TBM_SETPOS, TRUE, 50);
    SetFocus(bar);
    PressKey(VK_RIGHT);
    PressKey(VK_UP);
    PressKey(VK_UP);
    PressKey(VK_NEXT);
    PressKey(VK_HOME);
    PressKey(VK_LEFT);  // already at the start: nothing moves, but the key's release still ends the tracking
    PressKey(VK_END);
    DispatchPending();
    EXPECT_EQ(reports_, (std::vector<std::string>{kLineDown, kEnd, kLineUp, kEnd, kLineUp, kEnd, kPageDown, kEnd, kTop,
                                                  kEnd, kEnd, kBottom, kEnd}));
    EXPECT_EQ(Position(bar), 100);

    HWND vertical = Make(TBS_VERT, {370, 10, 400, 190});
    reports_.clear();
    SetFocus(vertical);
    PressKey(VK_DOWN);
    DispatchPending();
    EXPECT_EQ(reports_, (std::vector<std::string>{kLineDown, kEnd}));
    std::vector<UINT> fromVertical;
    for (const Received& r : recorder_.Log())
        if ((r.message == WM_HSCROLL || r.message == WM_VSCROLL) && reinterpret_cast<HWND>(r.lParam) == vertical)
            fromVertical.push_back(r.message);
    EXPECT_EQ(fromVertical, (std::vector<UINT>{WM_VSCROLL, WM_VSCROLL})) << "the move and the end of it";
    EXPECT_EQ(Position(vertical), 1);
}

TEST_F(TrackBarWindow, AutomaticTicksAndTheSelectionAreDrawn) {
    HWND bar = Make(TBS_AUTOTICKS | TBS_ENABLESELRANGE, {10, 10, 210, 40});
    SendMessageA(bar, TBM_SETTICFREQ, 10, 0);
    SendMessageA(bar, TBM_SETSEL, TRUE, MAKELPARAM(20, 60));
    DispatchPending();
    RECT client;
    GetClientRect(bar, &client);
    RECT thumb = Thumb(bar);
    auto count = [&](int y, COLORREF colour) {
        int found = 0;
        for (int x = 0; x < client.right; ++x) found += Pixel(bar, x, y) == colour;
        return found;
    };
    EXPECT_EQ(count(thumb.bottom + 3, RGB(0, 0, 0)), 11);  // 0, 10, ... 100
    RECT channel{};
    SendMessageA(bar, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
    int selected = count((channel.top + channel.bottom) / 2, RGB(0, 0, 128));
    EXPECT_NEAR(selected, (client.right - 4 - (thumb.right - thumb.left)) * 40 / 100, 3);
}
