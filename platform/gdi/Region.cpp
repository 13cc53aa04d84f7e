#include "platform/gdi/Region.h"

#include <algorithm>

namespace platform::gdi {

bool RectEmpty(const RECT& rect) { return rect.right <= rect.left || rect.bottom <= rect.top; }

RECT RectIntersection(const RECT& a, const RECT& b) {
    RECT result{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
    return RectEmpty(result) ? RECT{0, 0, 0, 0} : result;
}

RECT RectUnion(const RECT& a, const RECT& b) {
    if (RectEmpty(a)) return RectEmpty(b) ? RECT{0, 0, 0, 0} : b;
    if (RectEmpty(b)) return a;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

Region::Region(const RECT& rect) {
    if (!RectEmpty(rect)) rects_.push_back(rect);
}

RECT Region::Bounds() const {
    RECT bounds{0, 0, 0, 0};
    for (const RECT& rect : rects_) bounds = RectUnion(bounds, rect);
    return bounds;
}

bool Region::Contains(LONG x, LONG y) const {
    return std::any_of(rects_.begin(), rects_.end(), [x, y](const RECT& r) {
        return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
    });
}

bool Region::Intersects(const RECT& rect) const {
    return std::any_of(rects_.begin(), rects_.end(),
                       [&rect](const RECT& r) { return !RectEmpty(RectIntersection(r, rect)); });
}

void Region::Union(const RECT& rect) {
    if (RectEmpty(rect)) return;
    Subtract(rect);
    rects_.push_back(rect);
    Coalesce();
}

void Region::Union(const Region& other) {
    for (const RECT& rect : other.rects_) Union(rect);
}

void Region::Intersect(const RECT& rect) {
    std::vector<RECT> kept;
    for (const RECT& r : rects_) {
        RECT piece = RectIntersection(r, rect);
        if (!RectEmpty(piece)) kept.push_back(piece);
    }
    rects_ = std::move(kept);
}

void Region::Intersect(const Region& other) {
    std::vector<RECT> kept;
    for (const RECT& a : rects_)
        for (const RECT& b : other.rects_) {
            RECT piece = RectIntersection(a, b);
            if (!RectEmpty(piece)) kept.push_back(piece);
        }
    rects_ = std::move(kept);
    Coalesce();
}

void Region::Subtract(const RECT& cut) {
    if (RectEmpty(cut)) return;
    std::vector<RECT> kept;
    for (const RECT& r : rects_) {
        RECT overlap = RectIntersection(r, cut);
        if (RectEmpty(overlap)) {
            kept.push_back(r);
            continue;
        }
        // What is left of r around the cut: the band above, the band below, and the two sides between them.
        if (r.top < overlap.top) kept.push_back({r.left, r.top, r.right, overlap.top});
        if (overlap.bottom < r.bottom) kept.push_back({r.left, overlap.bottom, r.right, r.bottom});
        if (r.left < overlap.left) kept.push_back({r.left, overlap.top, overlap.left, overlap.bottom});
        if (overlap.right < r.right) kept.push_back({overlap.right, overlap.top, r.right, overlap.bottom});
    }
    rects_ = std::move(kept);
}

void Region::Subtract(const Region& other) {
    for (const RECT& rect : other.rects_) Subtract(rect);
    Coalesce();
}

void Region::Offset(LONG dx, LONG dy) {
    for (RECT& r : rects_) r = {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

bool Region::operator==(const Region& other) const {
    // Equal areas: neither holds a pixel the other lacks.
    Region a = *this;
    a.Subtract(other);
    Region b = other;
    b.Subtract(*this);
    return a.Empty() && b.Empty();
}

// Joins rectangles that share a whole edge, so that repeated unions and cuts do not splinter the area.
void Region::Coalesce() {
    bool joined = true;
    while (joined) {
        joined = false;
        for (size_t i = 0; i < rects_.size() && !joined; ++i)
            for (size_t j = i + 1; j < rects_.size() && !joined; ++j) {
                RECT& a = rects_[i];
                const RECT& b = rects_[j];
                bool sideBySide = a.top == b.top && a.bottom == b.bottom && (a.right == b.left || b.right == a.left);
                bool stacked = a.left == b.left && a.right == b.right && (a.bottom == b.top || b.bottom == a.top);
                if (sideBySide || stacked) {
                    a = RectUnion(a, b);
                    rects_.erase(rects_.begin() + static_cast<std::ptrdiff_t>(j));
                    joined = true;
                }
            }
    }
}

}  // namespace platform::gdi
