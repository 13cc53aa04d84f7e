// Icons made from bitmaps, and the icons a top-level window carries to the desktop.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/testing/Desktop.h"
#include "tests/support/Recorder.h"

using namespace platform::testing;

namespace {

class Icons : public ::testing::Test {
  protected:
    Icons() { UseHeadlessDisplay(); }
    ~Icons() override { ResetDesktop(); }

    Recorder recorder_;
};

// A 3 × 2 icon whose mask leaves out one pixel of each row: the middle one above, the last one below.
HICON MakeIcon(uint32_t firstPixel) {
    const uint32_t colours[6] = {firstPixel, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000, 0x808080};
    const uint8_t mask[4] = {0x40, 0, 0x20, 0};  // one bit a pixel, rows of whole words, 1 is white
    HBITMAP colour = CreateBitmap(3, 2, 1, 32, colours);
    HBITMAP monochrome = CreateBitmap(3, 2, 1, 1, mask);
    ICONINFO info{TRUE, 0, 0, monochrome, colour};
    HICON icon = CreateIconIndirect(&info);
    // The icon keeps its own copies.
    DeleteObject(colour);
    DeleteObject(monochrome);
    return icon;
}

std::vector<uint32_t> IconOnDesktop(HWND window) {
    const auto* state = DesktopWindow(window);
    return state ? state->icon.pixels : std::vector<uint32_t>{0xDEAD};
}

LRESULT SetIcon(HWND window, WPARAM kind, HICON icon) {
    return SendMessageA(window, WM_SETICON, kind, reinterpret_cast<LPARAM>(icon));
}

HICON GetIcon(HWND window, WPARAM kind) { return reinterpret_cast<HICON>(SendMessageA(window, WM_GETICON, kind, 0)); }

}  // namespace

TEST_F(Icons, TheDesktopShowsTheBigIconElseTheSmallOneFromTheFirstShowingOn) {
    // The colour bitmap's unused top byte is no alpha of the icon's.
    HICON big = MakeIcon(0x12FF0000);
    HICON small = MakeIcon(0x00FFFF00);
    ASSERT_NE(big, nullptr);
    ASSERT_NE(small, nullptr);
    HWND window = recorder_.TopLevel("icon", 10, 10, 100, 80);

    EXPECT_EQ(SetIcon(window, ICON_BIG, big), 0);
    EXPECT_EQ(DesktopWindow(window), nullptr) << "no desktop window before the first showing";
    ShowWindow(window, SW_SHOW);
    const std::vector<uint32_t> bigOnDesktop{0xFFFF0000, 0, 0xFF0000FF, 0xFFFFFFFF, 0xFF000000, 0};
    EXPECT_EQ(IconOnDesktop(window), bigOnDesktop);
    EXPECT_EQ(DesktopWindow(window)->icon.width, 3);

    EXPECT_EQ(SetIcon(window, ICON_SMALL, small), 0);
    EXPECT_EQ(IconOnDesktop(window), bigOnDesktop) << "the big icon goes first";
    EXPECT_EQ(GetIcon(window, ICON_BIG), big);
    EXPECT_EQ(GetIcon(window, ICON_SMALL), small);
    EXPECT_EQ(GetIcon(window, ICON_SMALL2), small);

    EXPECT_EQ(SetIcon(window, ICON_BIG, nullptr), reinterpret_cast<LRESULT>(big));
    EXPECT_EQ(IconOnDesktop(window), (std::vector<uint32_t>{0xFFFFFF00, 0, 0xFF0000FF, 0xFFFFFFFF, 0xFF000000, 0}));
    EXPECT_EQ(SetIcon(window, 7, big), 0) << "neither big nor small";
    EXPECT_EQ(GetIcon(window, ICON_BIG), nullptr);
    EXPECT_EQ(SetIcon(window, ICON_SMALL, nullptr), reinterpret_cast<LRESULT>(small));
    EXPECT_TRUE(IconOnDesktop(window).empty());
    EXPECT_EQ(GetIcon(window, ICON_SMALL2), nullptr);

    // A window does not own its icons: destroying it leaves them to the program.
    SetIcon(window, ICON_BIG, big);
    DestroyWindow(window);
    EXPECT_TRUE(DestroyIcon(big));
    EXPECT_TRUE(DestroyIcon(small));
}

TEST_F(Icons, IconsNeedAColourBitmapAndAMaskOfItsSizeAndGoOnce) {
    const uint32_t colours[4] = {};
    const uint8_t mask[4] = {};
    HBITMAP colour = CreateBitmap(2, 2, 1, 32, colours);
    HBITMAP monochrome = CreateBitmap(2, 2, 1, 1, mask);
    HBITMAP wide = CreateBitmap(3, 2, 1, 1, mask);

    ICONINFO withoutColour{TRUE, 0, 0, monochrome, nullptr};
    ICONINFO withoutMask{TRUE, 0, 0, nullptr, colour};
    ICONINFO mismatched{TRUE, 0, 0, wide, colour};
    for (ICONINFO* info : {static_cast<ICONINFO*>(nullptr), &withoutColour, &withoutMask, &mismatched}) {
        SetLastError(0);
        EXPECT_EQ(CreateIconIndirect(info), nullptr);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    }

    ICONINFO good{TRUE, 0, 0, monochrome, colour};
    HICON first = CreateIconIndirect(&good);
    HICON second = CreateIconIndirect(&good);
    ASSERT_NE(first, nullptr);
    EXPECT_NE(first, second);
    EXPECT_TRUE(DestroyIcon(first));
    SetLastError(0);
    EXPECT_FALSE(DestroyIcon(first)) << "a destroyed icon's handle is never valid again";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_CURSOR_HANDLE));
    EXPECT_FALSE(DestroyIcon(nullptr));
    EXPECT_TRUE(DestroyIcon(second));

    DeleteObject(colour);
    DeleteObject(monochrome);
    DeleteObject(wide);
    ICONINFO deleted{TRUE, 0, 0, monochrome, colour};
    EXPECT_EQ(CreateIconIndirect(&deleted), nullptr) << "bitmaps that are gone";
}
