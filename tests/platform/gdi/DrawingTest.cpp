#include <gtest/gtest.h>

#include <vector>

#include "TestCanvas.h"
#include "platform/gdi/SurfaceDC.h"
#include "platform/win32.h"

namespace {

const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kBlack = RGB(0, 0, 0);
const COLORREF kGreen = RGB(0, 255, 0);
const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kFace = RGB(192, 192, 192);
const COLORREF kShadow = RGB(128, 128, 128);

// The classic 3-D colours: H highlight, L light (also the button face), S shadow, D dark shadow; g the background.
std::string Edges(const TestCanvas& canvas) {
    return canvas.Picture({{kWhite, 'H'}, {kFace, 'L'}, {kShadow, 'S'}, {kBlack, 'D'}, {kGreen, 'g'}});
}

}  // namespace

TEST(GdiDrawing, RaisedAndSunkenEdgesInClassicColours) {
    TestCanvas raised(6, 6, kGreen);
    RECT r{0, 0, 6, 6};
    ASSERT_TRUE(DrawEdge(raised.Dc(), &r, EDGE_RAISED, BF_RECT));
    EXPECT_EQ(Edges(raised),
              "LLLLLD\n"
              "LHHHSD\n"
              "LHggSD\n"
              "LHggSD\n"
              "LSSSSD\n"
              "DDDDDD\n");

    TestCanvas sunken(6, 6, kGreen);
    ASSERT_TRUE(DrawEdge(sunken.Dc(), &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST));
    EXPECT_EQ(Edges(sunken),
              "SSSSSH\n"
              "SDDDLH\n"
              "SDggLH\n"
              "SDggLH\n"
              "SLLLLH\n"
              "HHHHHH\n");
    EXPECT_EQ(r.left, 2);
    EXPECT_EQ(r.top, 2);
    EXPECT_EQ(r.right, 4);
    EXPECT_EQ(r.bottom, 4);

    // Only the flagged sides, and BF_ADJUST moves only those.
    TestCanvas partial(4, 3, kGreen);
    RECT p{0, 0, 4, 3};
    DrawEdge(partial.Dc(), &p, BDR_SUNKENOUTER, BF_TOPLEFT | BF_MIDDLE | BF_ADJUST);
    EXPECT_EQ(Edges(partial),
              "SSSS\n"
              "SLLL\n"
              "SLLL\n");
    EXPECT_EQ(p.left, 1);
    EXPECT_EQ(p.right, 4);
}

TEST(GdiDrawing, PushButtonFrameRaisedAndPushed) {
    TestCanvas canvas(5, 4, kGreen);
    RECT r{0, 0, 5, 4};
    ASSERT_TRUE(DrawFrameControl(canvas.Dc(), &r, DFC_BUTTON, DFCS_BUTTONPUSH));
    EXPECT_EQ(Edges(canvas),
              "HHHHD\n"
              "HLLSD\n"
              "HSSSD\n"
              "DDDDD\n");
    ASSERT_TRUE(DrawFrameControl(canvas.Dc(), &r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED | DFCS_ADJUSTRECT));
    EXPECT_EQ(Edges(canvas),
              "DDDDH\n"
              "DSSLH\n"
              "DLLLH\n"
              "HHHHH\n");
    EXPECT_EQ(r.left, 2);
    EXPECT_EQ(r.bottom, 2);

    // A check box shows its mark only when checked.
    TestCanvas box(13, 13, kGreen);
    RECT b{0, 0, 13, 13};
    DrawFrameControl(box.Dc(), &b, DFC_BUTTON, DFCS_BUTTONCHECK);
    EXPECT_EQ(box.At(6, 6), kWhite);
    DrawFrameControl(box.Dc(), &b, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED);
    EXPECT_EQ(box.At(6, 6), kBlack);
    EXPECT_EQ(box.At(0, 0), kShadow);
}

TEST(GdiDrawing, MonochromePatternBrushIsACheckerboardAlignedToTheBrushOrigin) {
    // 0 bits (where column and row are both even or both odd) take the text colour, 1 bits the background colour.
    const WORD rows[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
    HBITMAP pattern = CreateBitmap(8, 8, 1, 1, rows);
    HBRUSH brush = CreatePatternBrush(pattern);
    DeleteObject(pattern);  // the brush keeps its own copy
    TestCanvas canvas(6, 2);
    SetTextColor(canvas.Dc(), kWhite);
    SetBkColor(canvas.Dc(), kFace);
    RECT r{0, 0, 6, 2};
    FillRect(canvas.Dc(), &r, brush);
    EXPECT_EQ(canvas.Picture({{kWhite, 'H'}, {kFace, 'F'}}),
              "HFHFHF\n"
              "FHFHFH\n");
    SetBrushOrgEx(canvas.Dc(), 1, 0, nullptr);
    SetTextColor(canvas.Dc(), kRed);
    FillRect(canvas.Dc(), &r, brush);
    EXPECT_EQ(canvas.Picture({{kRed, 'R'}, {kFace, 'F'}}),
              "FRFRFR\n"
              "RFRFRF\n");

    // On a window's surface the pattern starts at the window's origin, not the surface's.
    platform::gdi::Surface surface(4, 1, 0x123456);
    HDC dc = platform::gdi::CreateSurfaceDC(&surface, POINT{1, 0}, platform::gdi::Region(RECT{0, 0, 4, 1}));
    SetTextColor(dc, kBlack);
    RECT wide{-1, 0, 3, 1};
    FillRect(dc, &wide, brush);
    EXPECT_EQ(surface.At(1, 0), 0x000000u);
    EXPECT_EQ(surface.At(2, 0), 0xFFFFFFu);
    EXPECT_EQ(surface.At(0, 0), 0xFFFFFFu);
    platform::gdi::DeleteSurfaceDC(dc);
    DeleteObject(brush);
}

TEST(GdiDrawing, FocusRectangleIsDottedAndDrawingItTwiceRestores) {
    TestCanvas canvas(7, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) SetPixel(canvas.Dc(), x, y, RGB(x * 30, y * 40, 90));
    std::vector<COLORREF> before;
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) before.push_back(canvas.At(x, y));
    RECT r{0, 0, 7, 5};
    ASSERT_TRUE(DrawFocusRect(canvas.Dc(), &r));
    int changed = 0;
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) {
            bool onOutline = x == 0 || y == 0 || x == 6 || y == 4;
            bool was = canvas.At(x, y) != before[static_cast<size_t>(y * 7 + x)];
            if (!onOutline) {
                EXPECT_FALSE(was) << x << "," << y;
            }
            changed += was;
        }
    EXPECT_EQ(changed, 10);  // every other pixel of the 20 on the outline
    EXPECT_NE(canvas.At(0, 0) == before[0], canvas.At(1, 0) == before[1]);
    DrawFocusRect(canvas.Dc(), &r);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) EXPECT_EQ(canvas.At(x, y), before[static_cast<size_t>(y * 7 + x)]);
}

TEST(GdiDrawing, ClippingLeavesEverythingOutsideAlone) {
    TestCanvas canvas(8, 4);
    HDC dc = canvas.Dc();
    SetWindowOrgEx(dc, -1, 0, nullptr);  // logical x is device x - 1
    EXPECT_EQ(IntersectClipRect(dc, 0, 0, 5, 3), SIMPLEREGION);
    EXPECT_EQ(ExcludeClipRect(dc, 2, 1, 3, 2), COMPLEXREGION);
    RECT box{};
    GetClipBox(dc, &box);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.right, 5);
    RECT all{-10, -10, 10, 10};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EXPECT_EQ(canvas.Picture({{kWhite, '.'}, {kBlack, '#'}}),
              ".#####..\n"
              ".##.##..\n"
              ".#####..\n"
              "........\n");
    EXPECT_FALSE(PtVisible(dc, 2, 1));
    EXPECT_TRUE(PtVisible(dc, 1, 1));

    // A clip region is in device coordinates, whatever the origin; none means the whole bitmap again.
    HRGN region = CreateRectRgn(6, 3, 8, 4);
    SelectClipRgn(dc, region);
    DeleteObject(region);
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    EXPECT_EQ(canvas.At(6, 3), kShadow);
    EXPECT_EQ(canvas.At(5, 3), kWhite);
    SelectClipRgn(dc, nullptr);
    EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
    EXPECT_EQ(box.right, 7);  // 8 device pixels, seen from logical -1
}

TEST(GdiDrawing, SurfaceDcReportsTheClippedBoundsOfWhatItDrew) {
    using namespace platform::gdi;
    Surface surface(20, 10, 0);
    HDC dc = CreateSurfaceDC(&surface, POINT{5, 2}, Region(RECT{4, 0, 15, 10}));
    HBRUSH white = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    RECT r{0, 0, 3, 3};
    FillRect(dc, &r, white);
    RECT drawn = TakeDrawnBounds(dc);
    EXPECT_EQ(drawn.left, 5);
    EXPECT_EQ(drawn.top, 2);
    EXPECT_EQ(drawn.right, 8);
    EXPECT_EQ(drawn.bottom, 5);
    EXPECT_TRUE(RectEmpty(TakeDrawnBounds(dc)));

    RECT left{-5, 0, 0, 3};
    FillRect(dc, &left, white);
    drawn = TakeDrawnBounds(dc);
    EXPECT_EQ(drawn.left, 4);  // the clip cut it
    EXPECT_EQ(drawn.right, 5);
    EXPECT_EQ(surface.At(3, 3), 0u);
    EXPECT_EQ(surface.At(4, 3), 0xFFFFFFu);

    RECT outside{20, 0, 30, 5};
    FillRect(dc, &outside, white);
    EXPECT_TRUE(RectEmpty(TakeDrawnBounds(dc)));

    MoveToEx(dc, 0, 6, nullptr);
    LineTo(dc, 4, 6);
    SetPixel(dc, 8, 1, kRed);
    drawn = TakeDrawnBounds(dc);
    EXPECT_EQ(drawn.left, 5);
    EXPECT_EQ(drawn.right, 14);
    EXPECT_EQ(drawn.top, 3);
    EXPECT_EQ(drawn.bottom, 9);

    TextOutA(dc, 0, 0, "Ab", 2);
    drawn = TakeDrawnBounds(dc);
    EXPECT_FALSE(RectEmpty(drawn));
    EXPECT_GE(drawn.left, 4);
    DeleteSurfaceDC(dc);
    EXPECT_FALSE(FillRect(dc, &r, white));
}

TEST(GdiDrawing, ShapesFollowWindowsBoundingBoxRules) {
    TestCanvas canvas(6, 5);
    HDC dc = canvas.Dc();
    HBRUSH red = CreateSolidBrush(kRed);
    HGDIOBJ oldBrush = SelectObject(dc, red);
    Rectangle(dc, 1, 1, 5, 4);
    EXPECT_EQ(canvas.Picture({{kWhite, '.'}, {kBlack, '#'}, {kRed, 'R'}}),
              "......\n"
              ".####.\n"
              ".#RR#.\n"
              ".####.\n"
              "......\n");

    TestCanvas noPen(6, 5);
    SelectObject(noPen.Dc(), red);
    SelectObject(noPen.Dc(), GetStockObject(NULL_PEN));
    Rectangle(noPen.Dc(), 1, 1, 5, 4);
    EXPECT_EQ(noPen.Picture({{kWhite, '.'}, {kRed, 'R'}}),
              "......\n"
              ".RRR..\n"
              ".RRR..\n"
              "......\n"
              "......\n");

    // A line leaves out its end point; XOR twice gives back what was there.
    MoveToEx(dc, 0, 0, nullptr);
    LineTo(dc, 3, 0);
    EXPECT_EQ(canvas.At(2, 0), kBlack);
    EXPECT_EQ(canvas.At(3, 0), kWhite);
    HPEN white = CreatePen(PS_SOLID, 1, kWhite);
    HGDIOBJ oldPen = SelectObject(dc, white);
    SetROP2(dc, R2_XORPEN);
    MoveToEx(dc, 2, 2, nullptr);
    LineTo(dc, 2, 4);
    EXPECT_EQ(canvas.At(2, 2), RGB(0, 255, 255));
    MoveToEx(dc, 2, 2, nullptr);
    LineTo(dc, 2, 4);
    EXPECT_EQ(canvas.At(2, 2), kRed);
    SetROP2(dc, R2_COPYPEN);

    // An ellipse is symmetric in its box and leaves the corners alone.
    TestCanvas round(7, 7);
    SelectObject(round.Dc(), red);
    Ellipse(round.Dc(), 0, 0, 7, 7);
    std::string picture = round.Picture({{kWhite, '.'}, {kBlack, '#'}, {kRed, 'R'}});
    EXPECT_EQ(picture[0], '.');
    EXPECT_EQ(round.At(3, 3), kRed);
    EXPECT_EQ(round.At(3, 0), kBlack);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 7; ++x) {
            EXPECT_EQ(round.At(x, y), round.At(6 - x, y));
            EXPECT_EQ(round.At(x, y), round.At(x, 6 - y));
        }

    // A filled triangle, and the same points as a polyline.
    POINT triangle[] = {{0, 4}, {4, 0}, {4, 4}};
    TestCanvas poly(6, 5);
    SelectObject(poly.Dc(), red);
    SelectObject(poly.Dc(), GetStockObject(NULL_PEN));
    Polygon(poly.Dc(), triangle, 3);
    EXPECT_EQ(poly.At(3, 3), kRed);
    EXPECT_EQ(poly.At(0, 0), kWhite);
    EXPECT_EQ(poly.At(5, 3), kWhite);

    // A dotted outline: runs of three.
    TestCanvas dotted(12, 3);
    HPEN dots = CreatePen(PS_DOT, 1, kBlack);
    SelectObject(dotted.Dc(), dots);
    SetBkMode(dotted.Dc(), TRANSPARENT);
    Rectangle(dotted.Dc(), 0, 0, 12, 3);
    EXPECT_EQ(dotted.Picture({{kWhite, '.'}, {kBlack, '#'}}).substr(0, 13), "###...###...\n");
    SelectObject(dotted.Dc(), GetStockObject(BLACK_PEN));
    DeleteObject(dots);

    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(white);
    DeleteObject(red);
}

TEST(GdiDrawing, HugeCoordinatesDrawOnlyTheirVisiblePart) {
    TestCanvas canvas(4, 4);
    HDC dc = canvas.Dc();
    HBRUSH red = CreateSolidBrush(kRed);
    HGDIOBJ old = SelectObject(dc, red);
    const int far = 1000000000;
    EXPECT_TRUE(Rectangle(dc, -far, -far, far, far));
    EXPECT_EQ(canvas.CountNot(kRed), 0);
    EXPECT_TRUE(Ellipse(dc, -far, -far, far, far));
    POINT triangle[] = {{-far, -far}, {far, -far}, {-far, far}};
    HGDIOBJ pen = SelectObject(dc, GetStockObject(NULL_PEN));
    EXPECT_TRUE(Polygon(dc, triangle, 3));
    SelectObject(dc, pen);
    MoveToEx(dc, -far, 2, nullptr);
    EXPECT_TRUE(LineTo(dc, far, 2));
    EXPECT_EQ(canvas.Picture({{kRed, 'R'}, {kBlack, '#'}}),
              "RRRR\n"
              "RRRR\n"
              "####\n"
              "RRRR\n");
    EXPECT_FALSE(StretchBlt(dc, 0, 0, INT32_MIN, 4, dc, 0, 0, 4, 4, SRCCOPY));
    EXPECT_TRUE(PatBlt(dc, -far / 10, -far / 10, far / 5, far / 5, WHITENESS));
    EXPECT_EQ(canvas.CountNot(kWhite), 0);
    SelectObject(dc, old);
    DeleteObject(red);
}
