#pragma once
// An area of the screen as a set of disjoint rectangles: update regions, the visible part of a window, clipping.
// Windows' areas are small unions of rectangles (a window minus a few overlapping siblings), so a plain list beats
// a banded structure here.

#include <vector>

#include "platform/win32.h"

namespace platform::gdi {

class Region {
  public:
    Region() = default;
    explicit Region(const RECT& rect);

    bool Empty() const { return rects_.empty(); }
    const std::vector<RECT>& Rects() const { return rects_; }
    // The smallest rectangle holding the whole area; an empty rectangle for an empty area.
    RECT Bounds() const;
    bool Contains(LONG x, LONG y) const;
    bool Intersects(const RECT& rect) const;

    void Clear() { rects_.clear(); }
    void Union(const RECT& rect);
    void Union(const Region& other);
    void Intersect(const RECT& rect);
    void Intersect(const Region& other);
    void Subtract(const RECT& rect);
    void Subtract(const Region& other);
    void Offset(LONG dx, LONG dy);

    bool operator==(const Region& other) const;

  private:
    void Coalesce();
    std::vector<RECT> rects_;
};

bool RectEmpty(const RECT& rect);
RECT RectIntersection(const RECT& a, const RECT& b);
RECT RectUnion(const RECT& a, const RECT& b);  // an empty side does not count

}  // namespace platform::gdi
