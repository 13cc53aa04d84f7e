#pragma once
// A small bitmap in a memory DC for drawing tests, and its pixels as a picture of letters, so that an expected
// result reads as what it looks like.

#include <initializer_list>
#include <string>
#include <utility>

#include "platform/win32.h"

class TestCanvas {
  public:
    // A 32-bit colour bitmap filled with `fill`, or a monochrome one (white) when `mono`.
    TestCanvas(int width, int height, COLORREF fill = RGB(255, 255, 255), bool mono = false);
    ~TestCanvas();
    TestCanvas(const TestCanvas&) = delete;
    TestCanvas& operator=(const TestCanvas&) = delete;

    HDC Dc() const { return dc_; }
    HBITMAP Bitmap() const { return bitmap_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    COLORREF At(int x, int y) const;
    // One letter a pixel, rows ending in "\n"; colours missing from the legend show as '?'.
    std::string Picture(std::initializer_list<std::pair<COLORREF, char>> legend) const;
    // How many pixels differ from `color`, and the box around them.
    int CountNot(COLORREF color, RECT* box = nullptr) const;

  private:
    int width_;
    int height_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
};
