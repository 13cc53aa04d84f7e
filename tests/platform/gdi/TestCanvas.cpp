#include "TestCanvas.h"

#include <algorithm>

#include "platform/gdi/Bitmaps.h"

TestCanvas::TestCanvas(int width, int height, COLORREF fill, bool mono) : width_(width), height_(height) {
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = mono ? CreateBitmap(width, height, 1, 1, nullptr) : CreateBitmap(width, height, 1, 32, nullptr);
    old_ = SelectObject(dc_, bitmap_);
    HBRUSH brush = CreateSolidBrush(mono ? RGB(255, 255, 255) : fill);
    RECT all{0, 0, width, height};
    FillRect(dc_, &all, brush);
    DeleteObject(brush);
}

TestCanvas::~TestCanvas() {
    SelectObject(dc_, old_);
    DeleteDC(dc_);
    DeleteObject(bitmap_);
}

// Read from the bitmap itself, so that the DC's origin and clip do not change what a test sees.
COLORREF TestCanvas::At(int x, int y) const {
    return platform::gdi::ColorOf(platform::gdi::BitmapPixels(bitmap_)->At(x, y) & 0xFFFFFF);
}

std::string TestCanvas::Picture(std::initializer_list<std::pair<COLORREF, char>> legend) const {
    std::string picture;
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            COLORREF color = At(x, y);
            char letter = '?';
            for (const auto& [c, l] : legend)
                if (c == color) letter = l;
            picture += letter;
        }
        picture += '\n';
    }
    return picture;
}

int TestCanvas::CountNot(COLORREF color, RECT* box) const {
    int count = 0;
    RECT bounds{width_, height_, -1, -1};
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) {
            if (At(x, y) == color) continue;
            ++count;
            bounds = {std::min<LONG>(bounds.left, x), std::min<LONG>(bounds.top, y),
                      std::max<LONG>(bounds.right, x + 1), std::max<LONG>(bounds.bottom, y + 1)};
        }
    if (box) *box = bounds;
    return count;
}
