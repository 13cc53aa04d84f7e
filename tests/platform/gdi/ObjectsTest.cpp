#include <gtest/gtest.h>

#include "TestCanvas.h"
#include "platform/win32.h"

namespace {

const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kBlack = RGB(0, 0, 0);
const COLORREF kRed = RGB(255, 0, 0);

}  // namespace

TEST(GdiObjects, StaleAndWrongKindHandlesAreRefused) {
    TestCanvas canvas(4, 4);
    HBRUSH brush = CreateSolidBrush(kRed);
    ASSERT_TRUE(DeleteObject(brush));

    SetLastError(0);
    EXPECT_FALSE(DeleteObject(brush));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(SelectObject(canvas.Dc(), brush), nullptr);
    LOGBRUSH logBrush{};
    EXPECT_EQ(GetObjectA(brush, sizeof logBrush, &logBrush), 0);
    RECT all{0, 0, 4, 4};
    EXPECT_FALSE(FillRect(canvas.Dc(), &all, brush));
    EXPECT_EQ(canvas.At(0, 0), kWhite);

    // A new object in the same place gets a new handle; the old one stays dead.
    HBRUSH next = CreateSolidBrush(kBlack);
    EXPECT_NE(next, brush);
    EXPECT_EQ(GetObjectType(brush), 0u);
    EXPECT_EQ(GetObjectType(next), static_cast<DWORD>(OBJ_BRUSH));

    // The wrong kind of object, or no object at all, where a DC is expected.
    HDC notADc = reinterpret_cast<HDC>(next);
    EXPECT_FALSE(Rectangle(notADc, 0, 0, 2, 2));
    EXPECT_EQ(GetPixel(reinterpret_cast<HDC>(uintptr_t{0x12345678}), 0, 0), CLR_INVALID);
    EXPECT_FALSE(BitBlt(canvas.Dc(), 0, 0, 2, 2, notADc, 0, 0, SRCCOPY));
    EXPECT_EQ(SelectObject(canvas.Dc(), canvas.Dc()), nullptr);
    DeleteObject(next);

    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_TRUE(DeleteDC(dc));
    EXPECT_FALSE(DeleteDC(dc));
    EXPECT_EQ(SetTextColor(dc, kRed), CLR_INVALID);
}

TEST(GdiObjects, SelectedBrushIsDeletedWhenDeselectedButSelectedBitmapIsNot) {
    TestCanvas canvas(4, 4);
    HBRUSH brush = CreateSolidBrush(kRed);
    HGDIOBJ old = SelectObject(canvas.Dc(), brush);
    EXPECT_TRUE(DeleteObject(brush));
    // Still drawing with it while selected.
    SelectObject(canvas.Dc(), GetStockObject(NULL_PEN));
    Rectangle(canvas.Dc(), 0, 0, 3, 3);
    EXPECT_EQ(canvas.At(1, 1), kRed);
    SelectObject(canvas.Dc(), old);
    EXPECT_EQ(GetObjectType(brush), 0u);

    HBITMAP bitmap = CreateBitmap(2, 2, 1, 32, nullptr);
    HDC first = CreateCompatibleDC(nullptr);
    HDC second = CreateCompatibleDC(nullptr);
    HGDIOBJ defaultBitmap = SelectObject(first, bitmap);
    ASSERT_NE(defaultBitmap, nullptr);
    EXPECT_FALSE(DeleteObject(bitmap));
    EXPECT_EQ(SelectObject(second, bitmap), nullptr);  // one DC at a time
    SelectObject(first, defaultBitmap);
    EXPECT_NE(SelectObject(second, bitmap), nullptr);
    DeleteDC(second);  // deleting the DC lets the bitmap go
    EXPECT_TRUE(DeleteObject(bitmap));
    DeleteDC(first);
}

TEST(GdiObjects, SaveAndRestoreBringBackTheState) {
    TestCanvas canvas(4, 4);
    HDC dc = canvas.Dc();
    HBRUSH red = CreateSolidBrush(kRed);
    SetTextColor(dc, kRed);
    int first = SaveDC(dc);
    EXPECT_EQ(first, 1);
    HGDIOBJ previous = SelectObject(dc, red);
    SetTextColor(dc, kBlack);
    SetWindowOrgEx(dc, 5, 6, nullptr);
    IntersectClipRect(dc, 0, 0, 1, 1);
    EXPECT_EQ(SaveDC(dc), 2);
    SetBkMode(dc, TRANSPARENT);

    EXPECT_TRUE(RestoreDC(dc, -1));
    EXPECT_EQ(GetBkMode(dc), OPAQUE);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), red);
    EXPECT_TRUE(RestoreDC(dc, first));
    EXPECT_EQ(GetTextColor(dc), kRed);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), previous);
    POINT origin{};
    GetWindowOrgEx(dc, &origin);
    EXPECT_EQ(origin.x, 0);
    RECT clip{};
    EXPECT_EQ(GetClipBox(dc, &clip), SIMPLEREGION);
    EXPECT_EQ(clip.right, 4);
    EXPECT_FALSE(RestoreDC(dc, 1));  // that level is gone
    EXPECT_FALSE(RestoreDC(dc, -1));
    // The brush a saved state held is free again.
    EXPECT_TRUE(DeleteObject(red));
    EXPECT_EQ(GetObjectType(red), 0u);
}

TEST(GdiObjects, DescriptionsOfObjectsAndStockObjects) {
    LOGBRUSH brush{};
    ASSERT_EQ(GetObjectA(GetStockObject(LTGRAY_BRUSH), sizeof brush, &brush), static_cast<int>(sizeof brush));
    EXPECT_EQ(brush.lbStyle, static_cast<UINT>(BS_SOLID));
    EXPECT_EQ(brush.lbColor, RGB(192, 192, 192));
    EXPECT_EQ(GetObjectA(GetStockObject(NULL_BRUSH), sizeof brush, &brush), static_cast<int>(sizeof brush));
    EXPECT_EQ(brush.lbStyle, static_cast<UINT>(BS_NULL));
    LOGPEN pen{};
    HPEN dotted = CreatePen(PS_DOT, 1, kRed);
    ASSERT_EQ(GetObjectA(dotted, sizeof pen, &pen), static_cast<int>(sizeof pen));
    EXPECT_EQ(pen.lopnStyle, static_cast<UINT>(PS_DOT));
    EXPECT_EQ(pen.lopnColor, kRed);
    DeleteObject(dotted);
    LOGFONTA font{};
    ASSERT_EQ(GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font), static_cast<int>(sizeof font));
    EXPECT_LT(font.lfHeight, 0);

    // Monochrome rows are WORD-aligned: 17 pixels take 4 bytes.
    HBITMAP mask = CreateBitmap(17, 3, 1, 1, nullptr);
    BITMAP bm{};
    ASSERT_EQ(GetObjectA(mask, sizeof bm, &bm), static_cast<int>(sizeof bm));
    EXPECT_EQ(bm.bmWidth, 17);
    EXPECT_EQ(bm.bmBitsPixel, 1);
    EXPECT_EQ(bm.bmWidthBytes, 4);
    EXPECT_EQ(GetObjectA(mask, 4, &bm), 0);  // too small a buffer
    DeleteObject(mask);

    // Stock objects survive deletion.
    EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_PEN)));
    EXPECT_EQ(GetObjectType(GetStockObject(BLACK_PEN)), static_cast<DWORD>(OBJ_PEN));
    EXPECT_EQ(GetStockObject(HOLLOW_BRUSH), GetStockObject(NULL_BRUSH));
    EXPECT_EQ(GetStockObject(9), nullptr);
}

TEST(GdiObjects, NewMemoryDcIsMonochromeUntilABitmapIsSelected) {
    HDC dc = CreateCompatibleDC(nullptr);
    BITMAP bm{};
    ASSERT_EQ(GetObjectA(GetCurrentObject(dc, OBJ_BITMAP), sizeof bm, &bm), static_cast<int>(sizeof bm));
    EXPECT_EQ(bm.bmWidth, 1);
    EXPECT_EQ(bm.bmBitsPixel, 1);
    HBITMAP fromMono = CreateCompatibleBitmap(dc, 8, 8);
    GetObjectA(fromMono, sizeof bm, &bm);
    EXPECT_EQ(bm.bmBitsPixel, 1);
    HBITMAP colour = CreateBitmap(8, 8, 1, 32, nullptr);
    HGDIOBJ old = SelectObject(dc, colour);
    HBITMAP fromColour = CreateCompatibleBitmap(dc, 8, 8);
    GetObjectA(fromColour, sizeof bm, &bm);
    EXPECT_EQ(bm.bmBitsPixel, 32);
    SelectObject(dc, old);
    DeleteDC(dc);
    for (HBITMAP b : {fromMono, colour, fromColour}) EXPECT_TRUE(DeleteObject(b));
}

TEST(GdiObjects, ClassicSystemColours) {
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(192, 192, 192));
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), RGB(0, 0, 128));
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHTTEXT), kWhite);
    EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), RGB(128, 128, 128));
    EXPECT_EQ(GetSysColor(COLOR_3DDKSHADOW), kBlack);
    EXPECT_EQ(GetSysColor(COLOR_INFOBK), RGB(255, 255, 225));
    EXPECT_EQ(GetSysColor(COLOR_GRAYTEXT), RGB(128, 128, 128));
    LOGBRUSH brush{};
    GetObjectA(GetSysColorBrush(COLOR_INFOBK), sizeof brush, &brush);
    EXPECT_EQ(brush.lbColor, RGB(255, 255, 225));
    EXPECT_EQ(GetSysColorBrush(31), nullptr);

    // FillRect takes a colour index plus one for a brush.
    TestCanvas canvas(2, 2);
    RECT all{0, 0, 2, 2};
    EXPECT_TRUE(FillRect(canvas.Dc(), &all, reinterpret_cast<HBRUSH>(COLOR_HIGHLIGHT + 1)));
    EXPECT_EQ(canvas.At(1, 1), RGB(0, 0, 128));
}
