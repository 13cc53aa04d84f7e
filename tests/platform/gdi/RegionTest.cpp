#include <gtest/gtest.h>

#include "platform/gdi/Region.h"

using platform::gdi::Region;

namespace {

// The area as a picture, so that two regions can be compared pixel by pixel whatever their rectangles.
std::string Picture(const Region& region, int width, int height) {
    std::string picture;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) picture += region.Contains(x, y) ? '#' : '.';
        picture += '\n';
    }
    return picture;
}

}  // namespace

TEST(Region, CutsAndUnionsKeepTheArea) {
    Region region(RECT{0, 0, 6, 4});
    region.Subtract(RECT{2, 1, 4, 3});  // a hole in the middle
    EXPECT_EQ(Picture(region, 7, 5),
              "######.\n"
              "##..##.\n"
              "##..##.\n"
              "######.\n"
              ".......\n");
    region.Union(RECT{3, 2, 7, 5});
    EXPECT_EQ(Picture(region, 7, 5),
              "######.\n"
              "##..##.\n"
              "##.####\n"
              "#######\n"
              "...####\n");
    EXPECT_EQ(region.Bounds().right, 7);
    EXPECT_EQ(region.Bounds().bottom, 5);

    // The rectangles never overlap, whatever was added twice.
    region.Union(RECT{0, 0, 7, 5});
    int pixels = 0;
    for (const RECT& r : region.Rects()) pixels += (r.right - r.left) * (r.bottom - r.top);
    EXPECT_EQ(pixels, 35);
    EXPECT_EQ(region.Rects().size(), 1u);  // neighbours join again
}

TEST(Region, IntersectionAndOffset) {
    Region a(RECT{0, 0, 4, 4});
    a.Union(RECT{6, 0, 8, 4});
    Region b(RECT{2, 2, 7, 6});
    a.Intersect(b);
    EXPECT_EQ(Picture(a, 8, 5),
              "........\n"
              "........\n"
              "..##..#.\n"
              "..##..#.\n"
              "........\n");
    a.Offset(-2, -2);
    EXPECT_TRUE(a.Contains(0, 0));
    EXPECT_FALSE(a.Contains(2, 0));
    EXPECT_TRUE(a.Intersects(RECT{4, 1, 5, 2}));
    EXPECT_FALSE(a.Intersects(RECT{2, 0, 4, 2}));
    a.Intersect(RECT{10, 10, 20, 20});
    EXPECT_TRUE(a.Empty());
    EXPECT_EQ(a.Bounds().right, 0);
}

TEST(Region, EqualityIsAboutTheArea) {
    Region split(RECT{0, 0, 2, 2});
    split.Union(RECT{2, 0, 4, 2});
    Region whole(RECT{0, 0, 4, 2});
    EXPECT_TRUE(split == whole);
    whole.Subtract(RECT{3, 1, 4, 2});
    EXPECT_FALSE(split == whole);
    EXPECT_TRUE(Region(RECT{5, 5, 5, 9}).Empty());  // an empty rectangle adds nothing
}
