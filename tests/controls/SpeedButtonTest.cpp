// Tool buttons on the headless display: how the glyph strip is cut and turned into the image of each state, the
// shared image lists behind them, the mouse sequences that click or do not, grouping, and reading a layout.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls/ControlsComponents.h"
#include "controls/SpeedButton.h"
#include "frame/Application.h"
#include "frame/Forms.h"
#include "frame/HintWindow.h"
#include "framework/CustomControl.h"
#include "framework/ExtCtrls.h"
#include "framework/Layout.h"
#include "framework/StdCtrls.h"
#include "platform/user/Classes.h"
#include "platform/testing/Desktop.h"
#include "platform/testing/VirtualClock.h"
#include "runtime/Exception.h"

using namespace platform::testing;

namespace {

COLORREF Face() { return GetSysColor(COLOR_BTNFACE); }
COLORREF Shadow() { return GetSysColor(COLOR_BTNSHADOW); }
COLORREF Highlight() { return GetSysColor(COLOR_BTNHIGHLIGHT); }

// A bitmap painted pixel by pixel.
std::unique_ptr<TBitmap> Painted(int width, int height, const std::function<TColor(int x, int y)>& color) {
    auto bitmap = std::make_unique<TBitmap>(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) bitmap->Canvas().SetPixels(x, y, color(x, y));
    return bitmap;
}

// 20 × 20 on white: a black square outline from (4, 4) to (15, 15) filled with red, and one blue pixel at (1, 1).
std::unique_ptr<TBitmap> OutlineGlyph() {
    return Painted(20, 20, [](int x, int y) -> TColor {
        if (x == 1 && y == 1) return clBlue;
        if (x < 4 || x > 15 || y < 4 || y > 15) return clWhite;
        if (x == 4 || x == 15 || y == 4 || y == 15) return clBlack;
        return clRed;
    });
}

// A top-level container of the framework's own class, standing in for the button bar.
class THost : public TCustomControl {
  public:
    explicit THost(TComponent* owner) : TCustomControl(owner) { SetBounds(100, 100, 240, 160); }

  protected:
    void CreateParams(TCreateParams& params) override {
        TCustomControl::CreateParams(params);
        params.style |= WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN;
    }
    void Paint() override {
        Canvas().Brush().SetColor(clTeal);
        Canvas().FillRect(ClientRect());
    }
};

class TCountedButton : public TSpeedButton {
  public:
    using TSpeedButton::TSpeedButton;
    int paints = 0;

  protected:
    void Paint() override {
        ++paints;
        TSpeedButton::Paint();
    }
};

class SpeedButtonTest : public ::testing::Test {
  protected:
    SpeedButtonTest() {
        static const bool headless = (UseHeadlessDisplay(), true);
        (void)headless;
        host_.HandleNeeded();
    }

    template <typename T = TSpeedButton>
    T* AddButton(int left, int top, int width = 22, int height = 23) {
        auto* button = new T(&host_);
        button->SetParent(&host_);
        button->SetBounds(left, top, width, height);
        button->OnClick = [this](TObject*) { ++clicks_; };
        return button;
    }
    // A pixel of the host at a button's client position.
    COLORREF At(const TControl* button, int x, int y) {
        return Pixel(host_.Handle(), button->Left() + x, button->Top() + y);
    }
    HWND Surface() { return host_.Handle(); }

    VirtualClock clock_;
    THost host_{nullptr};
    int clicks_ = 0;
};

}  // namespace

TEST_F(SpeedButtonTest, TheStripsShapeSetsTheNumberOfImages) {
    auto* button = AddButton(10, 10);
    EXPECT_EQ(button->NumGlyphs(), 1);
    auto strip = [](int width, int height) { return Painted(width, height, [](int, int) { return clNavy; }); };
    button->SetGlyph(*strip(32, 16));
    EXPECT_EQ(button->NumGlyphs(), 2) << "two square images";
    button->SetGlyph(*strip(64, 16));
    EXPECT_EQ(button->NumGlyphs(), 4);
    button->SetGlyph(*strip(30, 16));
    EXPECT_EQ(button->NumGlyphs(), 4) << "not a multiple of the height: the number stays";
    button->SetGlyph(*strip(80, 16));
    EXPECT_EQ(button->NumGlyphs(), 1) << "five square images count as one picture";
    button->SetGlyph(TBitmap());
    EXPECT_EQ(button->NumGlyphs(), 1);
    button->SetNumGlyphs(7);
    EXPECT_EQ(button->NumGlyphs(), 4);
    button->SetNumGlyphs(0);
    EXPECT_EQ(button->NumGlyphs(), 4) << "0 is ignored";
    DispatchPending();
    EXPECT_EQ(At(button, 11, 11), Face()) << "an empty glyph draws no image, but the face is there";
}

TEST_F(SpeedButtonTest, ADisabledOutlineGlyphKeepsOnlyItsBlackPixelsEmbossed) {
    // Inside the frame of a 25 × 25 button is a 21 × 21 rectangle from (2, 2); the glyph stands 1 pixel in.
    auto* button = AddButton(10, 10, 25, 25);
    button->SetGlyph(*OutlineGlyph());
    DispatchPending();
    const int g = 3;  // the glyph's corner in the button
    EXPECT_EQ(At(button, g + 4, g + 4), RGB(0, 0, 0));
    EXPECT_EQ(At(button, g + 10, g + 10), RGB(255, 0, 0));
    EXPECT_EQ(At(button, g + 1, g + 1), RGB(0, 0, 255));
    EXPECT_EQ(At(button, g + 0, g + 19), Face()) << "white, the bottom-left colour, is transparent";

    MouseDown(Surface(), button->Left() + 12, button->Top() + 12);
    DispatchPending();
    EXPECT_EQ(At(button, g + 5, g + 5), RGB(0, 0, 0)) << "pressed, the glyph moves one pixel right and down";
    EXPECT_EQ(At(button, g + 4, g + 4), Face());
    MouseUp(Surface(), button->Left() + 12, button->Top() + 12);
    DispatchPending();
    ASSERT_EQ(clicks_, 1);

    button->SetEnabled(false);
    EXPECT_EQ(At(button, g + 4, g + 4), Shadow()) << "the outline in the shadow colour";
    EXPECT_EQ(At(button, g + 15, g + 10), Shadow());
    EXPECT_EQ(At(button, g + 16, g + 10), Highlight()) << "its copy one pixel to the right and below";
    EXPECT_EQ(At(button, g + 10, g + 16), Highlight());
    EXPECT_EQ(At(button, g + 16, g + 16), Highlight());
    EXPECT_EQ(At(button, g + 5, g + 5), Highlight()) << "inside the outline too";
    EXPECT_EQ(At(button, g + 6, g + 6), Face()) << "the red fill is gone";
    EXPECT_EQ(At(button, g + 10, g + 10), Face());
    EXPECT_EQ(At(button, g + 1, g + 1), Face()) << "so is the blue pixel";
    EXPECT_EQ(At(button, g + 17, g + 17), Face());
}

TEST_F(SpeedButtonTest, ATwoImageStripsDisabledImageIsRecoloured) {
    // Left: navy with an olive bottom-left corner (the strip's transparent colour). Right: columns of white,
    // grey, olive and blue over a bottom row of olive.
    auto strip = Painted(32, 16, [](int x, int y) -> TColor {
        if (x < 16) return x == 0 && y == 15 ? clOlive : clNavy;
        if (y == 15) return clOlive;
        const TColor columns[] = {clWhite, clGray, clOlive, clBlue};
        return columns[(x - 16) / 4];
    });
    auto* button = AddButton(10, 10, 25, 25);
    button->SetGlyph(*strip);
    ASSERT_EQ(button->NumGlyphs(), 2);
    DispatchPending();
    const int g = 5;  // a 16 × 16 glyph centred in the 21 × 21 inside
    EXPECT_EQ(At(button, g + 8, g + 8), RGB(0, 0, 128)) << "enabled: the left image";
    EXPECT_EQ(At(button, g + 0, g + 15), Face()) << "its olive corner is transparent";

    button->SetEnabled(false);
    EXPECT_EQ(At(button, g + 1, g + 5), Highlight()) << "white";
    EXPECT_EQ(At(button, g + 5, g + 5), Shadow()) << "grey";
    EXPECT_EQ(At(button, g + 9, g + 5), Face()) << "the transparent colour";
    EXPECT_EQ(At(button, g + 13, g + 5), RGB(0, 0, 255)) << "any other colour stays";
}

TEST(ButtonGlyph, DisabledRecolouringLooksAtTheSuppliedPixelsOnly) {
    // Each replacement colour is the next one's input: chained passes would turn everything into the face colour.
    auto image = Painted(4, 1, [](int x, int) {
        const TColor supplied[] = {clWhite, clGray, clOlive, clRed};
        return supplied[x];
    });
    RecolorDisabledImage(*image, clOlive, clGray, clOlive, clLime);
    EXPECT_EQ(image->Canvas().Pixels(0, 0), clGray) << "white became the highlight colour, and stayed";
    EXPECT_EQ(image->Canvas().Pixels(1, 0), clOlive) << "grey became the shadow colour";
    EXPECT_EQ(image->Canvas().Pixels(2, 0), clLime) << "the transparent colour became the face colour";
    EXPECT_EQ(image->Canvas().Pixels(3, 0), clRed);
}

TEST(ButtonGlyph, AnImageTheListCannotTakeLeavesNoSlotTaken) {
    TGlyphList list(16, 16);
    TBitmap wrongSize(8, 16);
    try {
        list.AddMasked(wrongSize, clDefault);
        ADD_FAILURE() << "an image of another size was taken";
    } catch (const EInvalidOperation& error) {
        EXPECT_EQ(error.Message(), "イメージの置き換えができません");
    }
    EXPECT_EQ(list.UsedCount(), 0);
    TBitmap fitting(16, 16);
    EXPECT_EQ(list.AddMasked(fitting, clDefault), 0) << "the slot made for the failed image is free";
    EXPECT_EQ(list.Count(), 1);
}

TEST_F(SpeedButtonTest, EachImageTakesItsOwnBottomLeftColourAsTransparentUnlessTheStripFixesOne) {
    // Three images: up is navy with lime dots and an olive corner; disabled is unused; pressed is maroon with
    // olive dots and a lime corner.
    auto strip = Painted(48, 16, [](int x, int y) -> TColor {
        const int piece = x / 16, local = x % 16;
        const bool corner = local == 0 && y == 15, dot = local == 8 && y == 8;
        if (piece == 0) return corner ? clOlive : dot ? clLime : clNavy;
        if (piece == 2) return corner ? clLime : dot ? clOlive : clMaroon;
        return clWhite;
    });
    auto* button = AddButton(10, 10, 25, 25);
    button->SetGlyph(*strip);
    ASSERT_EQ(button->NumGlyphs(), 3);
    DispatchPending();
    const int g = 5;
    EXPECT_EQ(At(button, g + 8, g + 8), RGB(0, 255, 0)) << "lime is drawn in the up image";
    EXPECT_EQ(At(button, g + 0, g + 15), Face());

    MouseDown(Surface(), button->Left() + 12, button->Top() + 12);
    DispatchPending();
    EXPECT_EQ(At(button, g + 9, g + 9), RGB(128, 128, 0)) << "olive is drawn in the pressed image";
    EXPECT_EQ(At(button, g + 1, g + 16), Face()) << "its lime corner is transparent";
    EXPECT_EQ(At(button, g + 2, g + 3), RGB(128, 0, 0));
    MouseUp(Surface(), button->Left() + 12, button->Top() + 12);

    strip->SetTransparentColor(clLime);
    button->SetGlyph(*strip);
    DispatchPending();
    EXPECT_EQ(At(button, g + 8, g + 8), Face()) << "the strip's own colour is transparent in every image";
    EXPECT_EQ(At(button, g + 0, g + 15), RGB(128, 128, 0));
}

TEST_F(SpeedButtonTest, OnlyAReleaseOverTheButtonClicks) {
    auto* button = AddButton(10, 10);  // 22 × 23
    const int x = button->Left() + 5, y = button->Top() + 5;
    MouseDown(Surface(), x, y);
    DispatchPending();
    EXPECT_EQ(button->State(), StatePressed);
    MouseMove(Surface(), x + 40, y);
    DispatchPending();
    EXPECT_EQ(button->State(), StateUp) << "moved off";
    MouseUp(Surface(), x + 40, y);
    DispatchPending();
    EXPECT_EQ(clicks_, 0);

    MouseDown(Surface(), x, y);
    MouseMove(Surface(), x + 40, y);
    MouseMove(Surface(), x, y);
    MouseUp(Surface(), x, y);
    DispatchPending();
    EXPECT_EQ(clicks_, 1) << "moved off and back on";

    MouseDown(Surface(), x, y);
    MouseUp(Surface(), x, button->Top() + 23);
    DispatchPending();
    EXPECT_EQ(clicks_, 2) << "the row just below the button counts";
    MouseDown(Surface(), x, y);
    MouseUp(Surface(), button->Left() + 22, y);
    DispatchPending();
    EXPECT_EQ(clicks_, 2) << "the column just right of it does not";

    Click(Surface(), x, y, 3);
    DispatchPending();
    EXPECT_EQ(clicks_, 2) << "the right button";
    EXPECT_EQ(button->State(), StateUp);

    int doubleClicks = 0;
    button->OnDblClick = [&](TObject*) { ++doubleClicks; };
    DoubleClick(Surface(), x, y);
    DispatchPending();
    EXPECT_EQ(clicks_, 4) << "the second press of a double click clicks again";
    EXPECT_EQ(doubleClicks, 0) << "only a button that is down hears of the double click";
}

TEST_F(SpeedButtonTest, ADisabledButtonNeverClicks) {
    auto* button = AddButton(10, 10);
    const int x = button->Left() + 5, y = button->Top() + 5;
    button->SetEnabled(false);
    Click(Surface(), x, y);
    DispatchPending();
    EXPECT_EQ(clicks_, 0);

    button->SetEnabled(true);
    MouseDown(Surface(), x, y);
    DispatchPending();
    button->SetEnabled(false);
    MouseUp(Surface(), x, y);
    DispatchPending();
    EXPECT_EQ(clicks_, 0) << "disabled while held";
    EXPECT_EQ(button->State(), StateDisabled);
}

TEST_F(SpeedButtonTest, EnabledRepaintsAtOnceAndOnlyWhenItChanges) {
    auto* button = AddButton<TCountedButton>(10, 10, 25, 25);
    button->SetGlyph(*OutlineGlyph());
    DispatchPending();
    const int painted = button->paints;
    button->SetEnabled(true);
    DispatchPending();
    EXPECT_EQ(button->paints, painted) << "the same value";

    COLORREF outlineInHandler = 0;
    button->OnClick = [&](TObject*) {
        button->SetEnabled(false);
        outlineInHandler = At(button, 3 + 4, 3 + 4);
    };
    Click(Surface(), button->Left() + 12, button->Top() + 12);
    DispatchPending();
    EXPECT_EQ(outlineInHandler, Shadow()) << "greyed before the handler returned";
    EXPECT_EQ(button->State(), StateDisabled);
}

TEST_F(SpeedButtonTest, ButtonsShareOneListPerImageSizeAndReuseFreedSlots) {
    ASSERT_EQ(TGlyphCache::Current(), nullptr) << "no glyph is left from an earlier test";
    auto square = [](int side) { return Painted(side, side, [](int, int) { return clNavy; }); };
    auto* first = AddButton(10, 10);
    first->SetGlyph(*square(16));
    DispatchPending();
    TGlyphCache* cache = TGlyphCache::Current();
    ASSERT_NE(cache, nullptr);
    ASSERT_EQ(cache->ListCount(), 1);
    TGlyphList* list = cache->Lists(0);
    EXPECT_EQ(list->UsedCount(), 1) << "only the image that was drawn is made";
    first->SetEnabled(false);
    EXPECT_EQ(list->UsedCount(), 2);

    auto* second = AddButton(40, 10);
    second->SetGlyph(*square(16));
    auto* other = AddButton(70, 10);
    other->SetGlyph(*square(20));
    DispatchPending();
    EXPECT_EQ(cache->ListCount(), 2);
    EXPECT_EQ(list->UsedCount(), 3);
    EXPECT_EQ(list->Count(), 3);

    delete first;
    EXPECT_EQ(list->UsedCount(), 1);
    EXPECT_FALSE(list->Used(0));
    auto* third = AddButton(100, 10);
    third->SetGlyph(*square(16));
    DispatchPending();
    EXPECT_EQ(list->UsedCount(), 2);
    EXPECT_TRUE(list->Used(0)) << "the lowest free slot is taken again";
    EXPECT_EQ(list->Count(), 3) << "without growing the list";

    third->Perform(CM_SYSCOLORCHANGE, 0, 0);
    EXPECT_EQ(list->UsedCount(), 2) << "the images are made again, in the slots just given back";
    EXPECT_EQ(list->Count(), 3);

    delete other;
    EXPECT_EQ(cache->ListCount(), 1) << "the list nobody uses is freed";
    delete second;
    delete third;
    EXPECT_EQ(TGlyphCache::Current(), nullptr) << "the cache goes with the last glyph";
}

TEST_F(SpeedButtonTest, GroupedButtonsLatchOneAtATime) {
    auto* loose = AddButton(10, 10);
    loose->SetDown(true);
    EXPECT_FALSE(loose->Down()) << "a button without a group never stays down";

    TSpeedButton* group[3];
    for (int i = 0; i < 3; ++i) {
        group[i] = AddButton(40 + 30 * i, 10);
        group[i]->SetGroupIndex(1);
    }
    group[0]->SetDown(true);
    group[1]->SetDown(true);
    EXPECT_FALSE(group[0]->Down());
    EXPECT_TRUE(group[1]->Down());
    DispatchPending();
    EXPECT_EQ(group[1]->State(), StateLatched);
    const COLORREF a = At(group[1], 10, 10), b = At(group[1], 11, 10);
    EXPECT_NE(a, b) << "the latched checkerboard";
    EXPECT_TRUE((a == Face() && b == Highlight()) || (a == Highlight() && b == Face()));

    group[1]->SetDown(false);
    EXPECT_TRUE(group[1]->Down()) << "the last button down stays down";
    const int x = group[1]->Left() + 5, y = group[1]->Top() + 5;
    Click(Surface(), x, y);
    DispatchPending();
    EXPECT_TRUE(group[1]->Down());
    EXPECT_EQ(clicks_, 1);

    int doubleClicks = 0;
    group[1]->OnDblClick = [&](TObject*) { ++doubleClicks; };
    DoubleClick(Surface(), x, y);
    DispatchPending();
    EXPECT_EQ(doubleClicks, 1);

    group[2]->SetAllowAllUp(true);
    EXPECT_TRUE(group[0]->AllowAllUp()) << "the whole group takes it";
    Click(Surface(), x, y);
    DispatchPending();
    EXPECT_FALSE(group[1]->Down());
    EXPECT_EQ(group[1]->State(), StateUp);
}

TEST_F(SpeedButtonTest, GlyphAndCaptionFollowTheLayout) {
    auto glyph = Painted(20, 10, [](int, int) { return clNavy; });
    TButtonGlyph layout;
    layout.SetGlyph(*glyph);
    ASSERT_EQ(layout.NumGlyphs(), 2);  // two 10 × 10 images
    TBitmap surface(100, 60);
    TCanvas& canvas = surface.Canvas();
    RECT measured{0, 0, 80, 0};
    canvas.DrawText("Play", measured, DT_CALCRECT);
    const int textWidth = measured.right, textHeight = measured.bottom;
    ASSERT_GT(textWidth, 0);
    const RECT client{10, 5, 90, 55};  // 80 × 50
    POINT at;
    RECT text;

    layout.CalcButtonLayout(canvas, client, {0, 0}, "Play", blGlyphLeft, -1, 4, false, at, text);
    EXPECT_EQ(at.x, 10 + (80 - 10 - 4 - textWidth + 1) / 2) << "the pair is centred";
    EXPECT_EQ(at.y, 5 + 20);
    EXPECT_EQ(text.left, at.x + 10 + 4);
    EXPECT_EQ(text.top, 5 + (50 - textHeight + 1) / 2);

    layout.CalcButtonLayout(canvas, client, {1, 1}, "Play", blGlyphRight, 2, -1, false, at, text);
    EXPECT_EQ(at.x, 90 - 2 - 10 + 1);
    EXPECT_EQ(text.right, at.x - (80 - 2 - 10 - textWidth) / 2) << "spacing spread over what is left";

    layout.CalcButtonLayout(canvas, client, {0, 0}, "Play", blGlyphRight, 2, 4, true, at, text);
    EXPECT_EQ(at.x, 10 + 2) << "right-to-left reading puts a right glyph on the left";

    layout.CalcButtonLayout(canvas, client, {0, 0}, "Play", blGlyphBottom, -1, -1, false, at, text);
    const int spread = (50 - 10 - textHeight) / 3;
    EXPECT_EQ(at.y, 55 - spread - 10);
    EXPECT_EQ(text.bottom, at.y - spread);
    EXPECT_EQ(at.x, 10 + 35);

    layout.CalcButtonLayout(canvas, client, {0, 0}, "", blGlyphTop, -1, 4, false, at, text);
    EXPECT_EQ(at.y, 5 + 20) << "without a caption the spacing counts as 0";
}

TEST_F(SpeedButtonTest, AnAcceleratorClicksAnEnabledButton) {
    auto* button = AddButton(10, 10);
    button->SetCaption("&Play");
    EXPECT_EQ(button->Perform(CM_DIALOGCHAR, 'p', 0), 1);
    EXPECT_EQ(button->Perform(CM_DIALOGCHAR, 'l', 0), 0);
    button->SetEnabled(false);
    EXPECT_EQ(button->Perform(CM_DIALOGCHAR, 'p', 0), 0);
    EXPECT_EQ(clicks_, 1);
}

TEST_F(SpeedButtonTest, ALayoutSetsEveryPublishedProperty) {
    RegisterControlsComponents();
    int played = 0;
    ReadLayoutText(host_, R"({ "class": "THost", "name": "Bar", "children": [
        { "class": "TSpeedButton", "name": "PlayButton",
          "properties": { "Left": 8, "Top": 4, "Width": 25, "Height": 25, "Glyph": "EN_MPPLAY", "NumGlyphs": 1,
                          "Caption": "再生", "Layout": "blGlyphTop", "Margin": 2, "Spacing": -1,
                          "Transparent": false, "Flat": true, "GroupIndex": 3, "Down": true, "AllowAllUp": true,
                          "Enabled": false, "Hint": "再生|曲を再生します", "ShowHint": true,
                          "OnClick": "Play" } } ] })",
                   {{"Play", TNotifyEvent([&](TObject*) { ++played; })}});
    auto* button = FindRequired<TSpeedButton>(host_, "PlayButton");
    EXPECT_EQ(button->Glyph().Width(), 17);
    EXPECT_EQ(button->NumGlyphs(), 1);
    EXPECT_EQ(button->Caption(), "再生");
    EXPECT_EQ(button->Layout(), blGlyphTop);
    EXPECT_EQ(button->Margin(), 2);
    EXPECT_EQ(button->Spacing(), -1);
    EXPECT_FALSE(button->Transparent());
    EXPECT_TRUE(button->ControlStyle() & csOpaque);
    EXPECT_TRUE(button->Flat());
    EXPECT_EQ(button->GroupIndex(), 3);
    EXPECT_TRUE(button->Down());
    EXPECT_TRUE(button->AllowAllUp());
    EXPECT_TRUE(button->ShowHint());
    EXPECT_FALSE(button->ParentShowHint());
    ASSERT_NE(TGlyphCache::Current(), nullptr);
    EXPECT_EQ(TGlyphCache::Current()->Lists(0)->UsedCount(), 1) << "the disabled image is made once loaded";
    button->SetEnabled(true);
    button->Click();
    EXPECT_EQ(played, 1);
}

TEST_F(SpeedButtonTest, TheApplicationShowsTheHintOfAButtonThatAsksForIt) {
    // The application's window lives as long as the process, and other tests clear the desktop under it: the
    // check runs in a fresh copy of the test program, which reports what it saw on its standard error.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto check = [] {
        TForm* form = new TForm(&Application());
        form->SetBounds(300, 300, 200, 100);
        auto* button = new TSpeedButton(form);
        button->SetParent(form);
        button->SetBounds(10, 10, 25, 25);
        button->SetHint("停止|再生を止めます");
        button->SetShowHint(true);
        form->Show();
        DispatchPending();
        // The loop waits while nothing is due; this keeps it turning even when no hint is ever asked for.
        SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR, DWORD) {});
        auto hintShown = [] {
            for (int turn = 0; turn < 100; ++turn) {
                THintWindow* hint = Application().HintWindow();
                if (hint && hint->HandleAllocated() && IsWindowVisible(hint->Handle())) return hint->Text();
                Application().HandleNextMessage();
            }
            return std::string("(none)");
        };
        MouseMove(form->Handle(), 20, 20);
        const std::string asked = hintShown();
        Application().CancelHint();
        button->SetShowHint(false);
        MouseMove(form->Handle(), 60, 60);
        MouseMove(form->Handle(), 20, 20);
        const std::string unasked = hintShown();
        std::fprintf(stderr, "hint shown: %s; without ShowHint: %s\n", asked.c_str(), unasked.c_str());
        std::exit(asked == "停止" && unasked == "(none)" ? 0 : 1);
    };
    EXPECT_EXIT(check(), ::testing::ExitedWithCode(0), "");
}
