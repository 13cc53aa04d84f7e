// A control takes its parent's font, and its colour when it asks to, through any depth of containers, on the screen
// as well as in its properties, until it is given its own; it takes them again from a new parent or when asked.

#include <gtest/gtest.h>

#include "framework/ExtCtrls.h"
#include "framework/StdCtrls.h"
#include "tests/framework/FormFixture.h"

using namespace platform::testing;

class ParentLook : public Controls {};

TEST_F(ParentLook, ColoursFlowDownToControlsThatTakeTheirParentsUntilTheyAreGivenTheirOwn) {
    auto* outer = Place<TPanel>(form_, "outer", 8, 8, 300, 200);
    outer->SetBevelOuter(bvNone);
    auto* inner = Place<TPanel>(outer, "inner", 10, 10, 200, 150);
    inner->SetBevelOuter(bvNone);
    inner->SetParentColor(true);
    auto* label = Place<TLabel>(inner, "label", 10, 10, 60, 20);  // a label takes its parent's colour by default
    label->SetAutoSize(false);
    auto* own = Place<TPanel>(inner, "own", 100, 10, 60, 60);
    own->SetBevelOuter(bvNone);
    own->SetColor(clAqua);
    Show();

    outer->SetColor(clNavy);
    DispatchPending();
    EXPECT_EQ(inner->Color(), clNavy);
    EXPECT_EQ(label->Color(), clNavy) << "through two containers";
    EXPECT_EQ(own->Color(), clAqua);
    EXPECT_EQ(Pixel(inner->Handle(), 5, 140), RGB(0, 0, 128)) << "the inner panel is painted in it";
    EXPECT_EQ(Pixel(inner->Handle(), 68, 28), RGB(0, 0, 128)) << "and so is the label";
    EXPECT_EQ(Pixel(own->Handle(), 30, 30), RGB(0, 255, 255));

    inner->SetColor(clGreen);  // its own colour from now on
    outer->SetColor(clMaroon);
    DispatchPending();
    EXPECT_FALSE(inner->ParentColor());
    EXPECT_EQ(inner->Color(), clGreen);
    EXPECT_EQ(label->Color(), clGreen);
    EXPECT_EQ(Pixel(inner->Handle(), 5, 140), RGB(0, 128, 0));

    inner->SetParentColor(true);
    DispatchPending();
    EXPECT_EQ(inner->Color(), clMaroon);
    EXPECT_EQ(label->Color(), clMaroon);
    EXPECT_EQ(Pixel(inner->Handle(), 5, 140), RGB(128, 0, 0));

    // A control placed later, or moved, takes the colour of the parent it comes to.
    auto* late = Place<TLabel>(inner, "late", 10, 100, 60, 20);
    EXPECT_EQ(late->Color(), clMaroon);
    late->SetParent(own);
    EXPECT_EQ(late->Color(), clAqua);
}

TEST_F(ParentLook, FontsFlowDownToTheWindowsOfControlsThatHaveNoneOfTheirOwn) {
    auto* outer = Place<TPanel>(form_, "outer", 8, 8, 300, 200);
    auto* inner = Place<TPanel>(outer, "inner", 10, 10, 250, 150);
    auto* edit = Place<TEdit>(inner, "edit", 10, 10, 150, 30);
    auto* label = Place<TLabel>(inner, "label", 10, 60, 60, 20);
    label->SetText("ラベル");
    Show();
    auto windowFont = [edit] { return reinterpret_cast<HFONT>(SendMessageA(edit->Handle(), WM_GETFONT, 0, 0)); };
    const int narrow = label->Width();

    outer->Font().SetHeight(-24);
    outer->Font().SetColor(clBlue);
    EXPECT_EQ(inner->Font().Height(), -24);
    EXPECT_EQ(edit->Font().Height(), -24) << "through two containers";
    EXPECT_EQ(edit->Font().Color(), clBlue);
    EXPECT_EQ(windowFont(), edit->Font().Handle()) << "the edit's window writes with it";
    EXPECT_GT(label->Width(), narrow * 3 / 2) << "the label fits the larger text";
    EXPECT_TRUE(edit->ParentFont());

    edit->Font().SetHeight(-10);  // its own font from now on
    outer->Font().SetHeight(-16);
    EXPECT_FALSE(edit->ParentFont());
    EXPECT_EQ(edit->Font().Height(), -10);
    EXPECT_EQ(label->Font().Height(), -16);
    EXPECT_EQ(windowFont(), edit->Font().Handle());

    edit->SetParentFont(true);
    EXPECT_EQ(edit->Font().Height(), -16);
    EXPECT_EQ(edit->Font().Color(), clBlue);
    EXPECT_EQ(windowFont(), edit->Font().Handle());

    // Moved to a container with a font of its own, it takes that one.
    auto* other = Place<TPanel>(form_, "other", 8, 220, 300, 50);
    other->Font().SetHeight(-9);
    edit->SetParent(other);
    EXPECT_EQ(edit->Font().Height(), -9);
    EXPECT_EQ(windowFont(), edit->Font().Handle());
}
