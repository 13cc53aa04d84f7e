#include <gtest/gtest.h>

#include "platform/testing/Desktop.h"
#include "platform/testing/VirtualClock.h"
#include "tests/support/Recorder.h"

using namespace platform::testing;
using namespace std::chrono_literals;

namespace {

class WindowsAndPainting : public ::testing::Test {
  protected:
    WindowsAndPainting() : display_(UseHeadlessDisplay()) {}
    ~WindowsAndPainting() override { ResetDesktop(); }

    // The window paints its whole client area in one colour.
    void PaintsIn(HWND window, COLORREF colour) {
        recorder_.Handle(window, [colour](HWND w, UINT message, WPARAM, LPARAM, LRESULT&) {
            if (message != WM_PAINT) return false;
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(w, &paint);
            RECT client;
            GetClientRect(w, &client);
            HBRUSH brush = CreateSolidBrush(colour);
            FillRect(dc, &client, brush);
            DeleteObject(brush);
            EndPaint(w, &paint);
            return true;
        });
    }

    platform::display::HeadlessDisplay& display_;
    VirtualClock clock_;
    Recorder recorder_;
};

constexpr COLORREF kFace = RGB(192, 192, 192);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 255, 0);

}  // namespace

TEST_F(WindowsAndPainting, ChildPaintingIsClippedToItsParentAndToSiblingsInFront) {
    HWND top = recorder_.TopLevel("clip", 0, 0, 200, 200, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN);
    HWND parent = recorder_.Child(top, 20, 20, 100, 100, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS);
    HWND inner = recorder_.Child(parent, 50, 50, 100, 100);  // reaches past its parent's edge
    HWND sibling = recorder_.Child(top, 60, 60, 40, 40, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS);
    SetWindowPos(sibling, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    PaintsIn(parent, kGreen);
    PaintsIn(inner, kRed);
    PaintsIn(sibling, kBlue);
    DispatchPending();

    EXPECT_EQ(Pixel(top, 5, 5), kFace);       // the top-level window's own background
    EXPECT_EQ(Pixel(top, 30, 30), kGreen);    // the parent
    EXPECT_EQ(Pixel(top, 110, 110), kRed);    // the inner child inside its parent
    EXPECT_EQ(Pixel(top, 130, 130), kFace);   // the inner child past its parent's edge: cut off
    EXPECT_EQ(Pixel(top, 80, 80), kBlue);     // the sibling in front covers both
    EXPECT_EQ(PresentedPixel(top, 110, 110), kRed);

    // Drawing through GetDC is clipped the same way.
    HDC dc = GetDC(inner);
    RECT everything{-100, -100, 300, 300};
    HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    FillRect(dc, &everything, black);
    ReleaseDC(inner, dc);
    EXPECT_EQ(Pixel(top, 110, 110), RGB(0, 0, 0));
    EXPECT_EQ(Pixel(top, 80, 80), kBlue);
    EXPECT_EQ(Pixel(top, 130, 130), kFace);
    EXPECT_EQ(Pixel(top, 30, 30), kGreen);
}

TEST_F(WindowsAndPainting, OnlyWhatChangedIsRepaintedAndPresented) {
    HWND top = recorder_.TopLevel("present", 0, 0, 100, 100, WS_POPUP | WS_VISIBLE);
    PaintsIn(top, kGreen);
    DispatchPending();
    ASSERT_EQ(PresentedPixel(top, 50, 50), kGreen);
    const auto* state = display_.Window(display_.WindowIds().back());
    int presents = state->presentCount;

    DispatchPending();  // nothing changed: nothing presented
    EXPECT_EQ(display_.Window(display_.WindowIds().back())->presentCount, presents);

    PaintsIn(top, kRed);
    RECT part{10, 10, 20, 20};
    InvalidateRect(top, &part, FALSE);
    DispatchPending();
    EXPECT_EQ(PresentedPixel(top, 15, 15), kRed);
    EXPECT_EQ(PresentedPixel(top, 50, 50), kGreen);  // the paint was clipped to the invalid part
    EXPECT_EQ(display_.Window(display_.WindowIds().back())->presentCount, presents + 1);
}

TEST_F(WindowsAndPainting, RedrawOffSuppressesPaintingUntilTurnedBackOn) {
    HWND top = recorder_.TopLevel("redraw", 0, 0, 100, 100, WS_POPUP | WS_VISIBLE);
    HWND child = recorder_.Child(top, 0, 0, 50, 50);
    PaintsIn(child, kBlue);
    DispatchPending();
    PaintsIn(child, kRed);
    SendMessageA(child, WM_SETREDRAW, FALSE, 0);
    InvalidateRect(child, nullptr, TRUE);
    DispatchPending();
    EXPECT_EQ(Pixel(top, 10, 10), kBlue);
    SendMessageA(child, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(child, nullptr, TRUE);
    DispatchPending();
    EXPECT_EQ(Pixel(top, 10, 10), kRed);
}

TEST_F(WindowsAndPainting, AnAreaLeftUnpaintedIsPaintedOnceItsWindowMayDrawAgain) {
    HWND top = recorder_.TopLevel("due", 0, 0, 100, 100, WS_POPUP | WS_VISIBLE);
    HWND child = recorder_.Child(top, 0, 0, 50, 50);
    PaintsIn(child, kBlue);
    DispatchPending();
    // Made invalid, then kept from drawing before it painted, and looked for meanwhile: nothing makes it invalid
    // again, yet the area is painted as soon as the window may draw.
    PaintsIn(child, kRed);
    InvalidateRect(child, nullptr, TRUE);
    SendMessageA(child, WM_SETREDRAW, FALSE, 0);
    DispatchPending();
    ASSERT_EQ(Pixel(top, 10, 10), kBlue);
    SendMessageA(child, WM_SETREDRAW, TRUE, 0);
    DispatchPending();
    EXPECT_EQ(Pixel(top, 10, 10), kRed);

    // Nothing due: a look finds no window to paint, however often it is made.
    recorder_.Clear();
    DispatchPending();
    DispatchPending();
    EXPECT_TRUE(recorder_.Sequence({WM_PAINT, WM_NCPAINT, WM_ERASEBKGND}).empty());
}

TEST_F(WindowsAndPainting, MovingAChildRepaintsWhatItUncovered) {
    HWND top = recorder_.TopLevel("move", 0, 0, 100, 100, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN);
    HWND child = recorder_.Child(top, 0, 0, 20, 20);
    PaintsIn(child, kRed);
    DispatchPending();
    ASSERT_EQ(Pixel(top, 5, 5), kRed);
    MoveWindow(child, 50, 50, 20, 20, TRUE);
    DispatchPending();
    EXPECT_EQ(Pixel(top, 5, 5), kFace);
    EXPECT_EQ(Pixel(top, 55, 55), kRed);
    RECT rect;
    GetWindowRect(child, &rect);
    POINT origin{0, 0};
    ClientToScreen(top, &origin);
    EXPECT_EQ(rect.left - origin.x, 50);
    ShowWindow(child, SW_HIDE);
    DispatchPending();
    EXPECT_EQ(Pixel(top, 55, 55), kFace);
}

TEST_F(WindowsAndPainting, AMessageBoxKeepsOtherWindowsTimersTicking) {
    HWND main = recorder_.TopLevel("main", 0, 0, 200, 100, WS_OVERLAPPED | WS_VISIBLE);
    DispatchPending();
    static int ticks = 0;
    static bool ownerDisabled = false;
    static HWND boxWindow = nullptr;
    static HWND mainWindow = nullptr;
    ticks = 0;
    mainWindow = main;
    SetTimer(main, 1, 10, [](HWND, UINT, UINT_PTR, DWORD) {
        ++ticks;
        if (ticks == 1) {
            ownerDisabled = !IsWindowEnabled(mainWindow);
            boxWindow = GetActiveWindow();
        }
        if (ticks == 20) PressKey(VK_RETURN);  // the user answers the box
    });
    int answer = MessageBoxA(main, "再生できません。", "Korvo Music Player", MB_OK | MB_ICONSTOP);
    EXPECT_EQ(answer, IDOK);
    EXPECT_GE(ticks, 20);
    EXPECT_TRUE(ownerDisabled);
    EXPECT_NE(boxWindow, main);
    EXPECT_FALSE(IsWindow(boxWindow));
    EXPECT_TRUE(IsWindowEnabled(main));
    EXPECT_EQ(GetActiveWindow(), main);
}

TEST_F(WindowsAndPainting, EscapeAnswersCancelOnlyWhereThereIsOne) {
    HWND main = recorder_.TopLevel("main", 0, 0, 200, 100, WS_OVERLAPPED | WS_VISIBLE);
    static int step = 0;
    step = 0;
    SetTimer(main, 1, 10, [](HWND, UINT, UINT_PTR, DWORD) {
        // Escape does nothing in a Yes/No box, then the second button is chosen by Tab and Enter.
        switch (++step) {
            case 2: PressKey(VK_ESCAPE); break;
            case 4: PressKey(VK_TAB); break;
            case 6: PressKey(VK_RETURN); break;
            default: break;
        }
    });
    EXPECT_EQ(MessageBoxA(main, "続けますか", "Korvo", MB_YESNO | MB_ICONQUESTION), IDNO);
    step = 0;
    SetTimer(main, 1, 10, [](HWND, UINT, UINT_PTR, DWORD) {
        if (++step == 2) PressKey(VK_ESCAPE);
    });
    EXPECT_EQ(MessageBoxA(main, "OK?", "Korvo", MB_OKCANCEL), IDCANCEL);
}
