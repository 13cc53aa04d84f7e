// A form's icon: read from its layout as a bitmap resource, and carried by its window to the desktop.

#include <cstdint>
#include <vector>

#include "frame/Forms.h"
#include "framework/Layout.h"
#include "runtime/Canvas.h"
#include "runtime/Exception.h"
#include "tests/frame/FrameFixture.h"

using namespace platform::testing;

namespace {

constexpr char kLayout[] = R"({
  "class": "TIconForm", "name": "IconForm",
  "properties": { "Caption": "アイコン", "ClientWidth": 120, "ClientHeight": 80, "Icon": "PROGRAMICON" }
})";

class TIconForm : public TForm {
  public:
    explicit TIconForm(TComponent* owner) : TForm(owner) { ReadLayoutText(*this, kLayout, {}); }
};

const platform::gdi::Surface* IconOnDesktop(TCustomForm& form) {
    const auto* state = DesktopWindow(form.Handle());
    return state ? &state->icon : nullptr;
}

HICON WindowIcon(TCustomForm& form, WPARAM kind) {
    return reinterpret_cast<HICON>(SendMessageA(form.Handle(), WM_GETICON, kind, 0));
}

}  // namespace

TEST_F(FrameTest, TheLayoutsIconReachesTheDesktopWithoutItsBackground) {
    auto* form = new TIconForm(&Application());
    form->Show();
    const platform::gdi::Surface* icon = IconOnDesktop(*form);
    ASSERT_NE(icon, nullptr);
    ASSERT_EQ(icon->width, 32);
    ASSERT_EQ(icon->height, 32);

    // The picture's rounded corners are white, the colour of its bottom-left pixel, and fall away; the rest is
    // the picture as the resource holds it.
    TBitmap picture;
    picture.LoadFromResourceName(GetModuleHandleA(nullptr), "PROGRAMICON");
    int transparent = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const uint32_t pixel = picture.ScanLine(y)[x] & 0xFFFFFF;
            const uint32_t expected = pixel == 0xFFFFFF ? 0 : 0xFF000000 | pixel;
            ASSERT_EQ(icon->At(x, y), expected) << x << ", " << y;
            transparent += expected == 0;
        }
    }
    EXPECT_EQ(icon->At(0, 0), 0u);
    EXPECT_EQ(icon->At(31, 31), 0u);
    EXPECT_EQ(icon->At(16, 16) >> 24, 0xFFu);
    EXPECT_GT(transparent, 0);
    EXPECT_LT(transparent, 32);
    EXPECT_NE(WindowIcon(*form, ICON_BIG), nullptr);
    EXPECT_EQ(WindowIcon(*form, ICON_SMALL), WindowIcon(*form, ICON_BIG));
    delete form;

    auto* missing = new TForm(&Application());
    EXPECT_THROW(ReadLayoutText(*missing, R"({ "class": "TForm", "name": "Missing",
                                              "properties": { "Icon": "NOSUCHPICTURE" } })", {}),
                 EResNotFound);
    delete missing;
}

TEST_F(FrameTest, AChangedIconReplacesTheOldOneOnTheWindowThatHasIt) {
    auto* form = new TIconForm(&Application());
    form->Show();
    HICON first = WindowIcon(*form, ICON_BIG);

    TBitmap square(2, 2);
    square.Canvas().SetPixels(0, 0, clRed);
    square.SetTransparentColor(clNone);  // every pixel shows, the white ones too
    form->SetIcon(square);
    EXPECT_EQ(IconOnDesktop(*form)->pixels, (std::vector<uint32_t>{0xFFFF0000, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF}));
    HICON second = WindowIcon(*form, ICON_BIG);
    EXPECT_NE(second, first);
    EXPECT_FALSE(DestroyIcon(first)) << "the form has destroyed the icon its window gave up";

    // A window made again carries the icon as well.
    form->Hide();
    form->RecreateWnd();
    form->Show();
    EXPECT_EQ(IconOnDesktop(*form)->pixels.size(), 4u);

    form->Icon().SetSize(0, 0);
    EXPECT_EQ(WindowIcon(*form, ICON_BIG), nullptr);
    EXPECT_TRUE(IconOnDesktop(*form)->pixels.empty());

    form->Icon().Assign(square);
    HICON last = WindowIcon(*form, ICON_BIG);
    ASSERT_NE(last, nullptr);
    delete form;
    EXPECT_FALSE(DestroyIcon(last)) << "the form's icon goes with the form";
}
