#include <gtest/gtest.h>

#include <cstring>

#include "platform/testing/Desktop.h"
#include "platform/testing/VirtualClock.h"
#include "tests/support/Recorder.h"

using namespace platform::testing;
using namespace std::chrono_literals;

namespace {

class Frame : public ::testing::Test {
  protected:
    Frame() : display_(UseHeadlessDisplay()) {
        top_ = recorder_.TopLevel("frame", 0, 0, 200, 200, WS_POPUP | WS_VISIBLE);
        scrolled_ = recorder_.Child(top_, 10, 10, 100, 116, WS_CHILD | WS_VISIBLE | WS_VSCROLL);
        recorder_.Label(scrolled_, "list");
        DispatchPending();
    }
    ~Frame() override { ResetDesktop(); }

    // The scroll reports the window received, as "code" or "code:position".
    std::vector<std::string> Reports() const {
        std::vector<std::string> reports;
        for (const Received& r : recorder_.Log()) {
            if (r.message != WM_VSCROLL) continue;
            std::string report = std::to_string(LOWORD(r.wParam));
            if (LOWORD(r.wParam) == SB_THUMBTRACK || LOWORD(r.wParam) == SB_THUMBPOSITION)
                report += ":" + std::to_string(HIWORD(r.wParam));
            reports.push_back(report);
        }
        return reports;
    }

    void SetRange(int max, UINT page, int pos = 0) {
        SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, max, page, pos, 0};
        SetScrollInfo(scrolled_, SB_VERT, &info, TRUE);
    }

    platform::display::HeadlessDisplay& display_;
    VirtualClock clock_;
    Recorder recorder_;
    HWND top_ = nullptr;
    HWND scrolled_ = nullptr;
};

}  // namespace

TEST_F(Frame, AScrollBarShowsOnlyWhileThereIsSomethingToScroll) {
    SetRange(99, 10, 50);
    RECT client;
    GetClientRect(scrolled_, &client);
    EXPECT_EQ(client.right, 100 - GetSystemMetrics(SM_CXVSCROLL));
    EXPECT_EQ(GetScrollPos(scrolled_, SB_VERT), 50);
    SetScrollPos(scrolled_, SB_VERT, 1000, TRUE);
    EXPECT_EQ(GetScrollPos(scrolled_, SB_VERT), 90);  // the last position that still fills a page

    recorder_.Clear();
    SetRange(5, 10);
    GetClientRect(scrolled_, &client);
    EXPECT_EQ(client.right, 100);  // hidden: the client area takes its place
    EXPECT_FALSE(GetWindowLongA(scrolled_, GWL_STYLE) & WS_VSCROLL);
    bool resized = false;
    for (const Received& r : recorder_.Log())
        if (r.window == scrolled_ && r.message == WM_SIZE && LOWORD(r.lParam) == 100) resized = true;
    EXPECT_TRUE(resized);
}

TEST_F(Frame, ArrowsAndPageAreasReportTheirSteps) {
    SetRange(99, 10);
    DispatchPending();
    recorder_.Clear();
    // The bar is the child's rightmost 16 pixels: arrows of 16 at both ends, the thumb at the top of the track.
    Click(top_, 10 + 92, 10 + 8);         // the up arrow
    Click(top_, 10 + 92, 10 + 116 - 8);   // the down arrow
    Click(top_, 10 + 92, 10 + 90);        // the track below the thumb
    DispatchPending();
    EXPECT_EQ(Reports(), (std::vector<std::string>{"0", "8", "1", "8", "3", "8"}));
}

TEST_F(Frame, DraggingTheThumbReportsTrackingPositionsThenTheEnd) {
    SetRange(99, 10);
    DispatchPending();
    recorder_.Clear();
    // Track: 84 pixels; thumb: 84 * 10 / 100 = 8 pixels at the top of it.
    MouseDown(top_, 10 + 92, 10 + 16 + 4);
    MouseMove(top_, 10 + 92, 10 + 16 + 4 + 38);
    MouseMove(top_, 10 + 92, 10 + 16 + 4 + 76);
    MouseUp(top_, 10 + 92, 10 + 16 + 4 + 76);
    DispatchPending();
    // 76 pixels is the whole of the 76 the thumb can travel: the last position, 90.
    EXPECT_EQ(Reports(), (std::vector<std::string>{"5:45", "5:90", "4:90", "8"}));
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(GetScrollPos(scrolled_, SB_VERT), 0);  // the window itself decides where to scroll
}

TEST_F(Frame, TheCaretBlinksAndIsNeverPaintedOver) {
    CreateCaret(scrolled_, nullptr, 2, 10);
    SetCaretPos(20, 5);
    ShowCaret(scrolled_);
    const COLORREF face = RGB(192, 192, 192);
    const COLORREF inverted = RGB(63, 63, 63);
    EXPECT_EQ(Pixel(scrolled_, 20, 5), inverted);
    clock_.Advance(GetCaretBlinkTime() * 1ms);
    RunFor(16ms);  // the blink comes on the next clock tick
    EXPECT_EQ(Pixel(scrolled_, 20, 5), face);
    RunFor(std::chrono::milliseconds(GetCaretBlinkTime()));
    EXPECT_EQ(Pixel(scrolled_, 20, 5), inverted);

    InvalidateRect(scrolled_, nullptr, TRUE);  // painting over the caret leaves one caret, not a hole
    DispatchPending();
    EXPECT_EQ(Pixel(scrolled_, 20, 5), inverted);
    POINT where;
    GetCaretPos(&where);
    EXPECT_EQ(where.x, 20);
    HideCaret(scrolled_);
    EXPECT_EQ(Pixel(scrolled_, 20, 5), face);
    EXPECT_TRUE(display_.TextInputActive());  // the input method follows the caret
    DestroyCaret();
    EXPECT_FALSE(HideCaret(scrolled_));
}

TEST_F(Frame, TextGoesThroughTheDesktopClipboard) {
    auto put = [](const char* text) {
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, std::strlen(text) + 1);
        std::strcpy(static_cast<char*>(GlobalLock(memory)), text);
        GlobalUnlock(memory);
        return memory;
    };
    ASSERT_TRUE(OpenClipboard(top_));
    EXPECT_FALSE(OpenClipboard(top_));  // one user at a time
    EmptyClipboard();
    EXPECT_NE(SetClipboardData(CF_TEXT, put("*.mp3;日本")), nullptr);
    CloseClipboard();
    EXPECT_EQ(display_.ClipboardText(), "*.mp3;日本");

    display_.SetClipboardText("from the desktop");
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
    ASSERT_TRUE(OpenClipboard(top_));
    HANDLE data = GetClipboardData(CF_TEXT);
    ASSERT_NE(data, nullptr);
    EXPECT_STREQ(static_cast<const char*>(GlobalLock(data)), "from the desktop");
    GlobalUnlock(data);
    EXPECT_EQ(GetClipboardData(CF_UNICODETEXT), nullptr);
    CloseClipboard();
}
