#include <gtest/gtest.h>

#include <string>

#include "platform/win32.h"
#include "runtime/Colors.h"
#include "runtime/Font.h"

namespace {

LOGFONTA LogFontOf(HFONT font) {
    LOGFONTA logFont{};
    GetObjectA(font, sizeof logFont, &logFont);
    return logFont;
}

TEST(Colors, LayoutsNameColoursByNameHexOrNumber) {
    TColor color = clRed;
    EXPECT_TRUE(IdentToColor("clBtnFace", color));
    EXPECT_EQ(color, clBtnFace);
    EXPECT_TRUE(IdentToColor("CLNAVY", color));
    EXPECT_EQ(color, clNavy);
    EXPECT_TRUE(IdentToColor("$00FF8040", color));
    EXPECT_EQ(color, 0x00FF8040);
    EXPECT_TRUE(IdentToColor("0x80000005", color));
    EXPECT_EQ(color, clWindow);
    EXPECT_TRUE(IdentToColor("-2147483633", color)) << "clBtnFace written as a signed number";
    EXPECT_EQ(color, clBtnFace);
    EXPECT_TRUE(IdentToColor("32768", color));
    EXPECT_EQ(color, clGreen);

    color = clLime;
    for (const char* bad : {"", "clNope", "$", "$100000000", "$-1", "12abc", "+5", "0x", "99999999999", "cl"})
        EXPECT_FALSE(IdentToColor(bad, color)) << bad;
    EXPECT_EQ(color, clLime) << "a failed reading leaves the colour as it was";

    std::string ident;
    EXPECT_TRUE(ColorToIdent(clInfoBk, ident));
    EXPECT_EQ(ident, "clInfoBk");
    EXPECT_FALSE(ColorToIdent(0x123456, ident));
    EXPECT_EQ(ColorToString(0x123456), "$00123456");
    for (TColor each : {clYellow, clAqua, clHighlightText, clNone, clDefault, TColor{0x00C0FFEE}}) {
        TColor back = clBlack;
        EXPECT_TRUE(IdentToColor(ColorToString(each), back)) << ColorToString(each);
        EXPECT_EQ(back, each);
    }
}

TEST(Colors, SystemColoursResolveThroughTheSchemeAndNamedOnesAreThemselves) {
    EXPECT_EQ(ColorToRGB(clBtnFace), RGB(192, 192, 192));
    EXPECT_EQ(ColorToRGB(clHighlight), RGB(0, 0, 128));
    EXPECT_EQ(ColorToRGB(clInfoBk), RGB(255, 255, 225));
    EXPECT_EQ(ColorToRGB(clNavy), RGB(0, 0, 128));
    EXPECT_EQ(ColorToRGB(clYellow), RGB(255, 255, 0));
    EXPECT_EQ(ColorToRGB(clAqua), RGB(0, 255, 255));
}

TEST(Font, HandleIsKeptUntilAChangeAndEachChangeIsToldOnce) {
    TFont font;  // the program's UI font
    EXPECT_EQ(font.Size(), 9);
    EXPECT_EQ(font.Color(), clWindowText);
    LOGFONTA logFont = LogFontOf(font.Handle());
    EXPECT_STREQ(logFont.lfFaceName, "ＭＳ Ｐゴシック");
    EXPECT_EQ(logFont.lfHeight, -12);
    EXPECT_EQ(logFont.lfCharSet, SHIFTJIS_CHARSET);
    EXPECT_EQ(logFont.lfWeight, FW_NORMAL);
    int changes = 0;
    font.OnChange = [&](TObject* sender) {
        EXPECT_EQ(sender, &font);
        ++changes;
    };
    HFONT first = font.Handle();
    EXPECT_EQ(font.Handle(), first);
    font.SetHeight(-12);
    font.SetName("ＭＳ Ｐゴシック");
    font.SetStyle({});
    EXPECT_EQ(changes, 0) << "setting a property to its value changes nothing";
    EXPECT_EQ(font.Handle(), first);

    font.SetColor(clRed);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(font.Handle(), first) << "the platform font has no colour";

    font.SetStyle({fsBold, fsUnderline});
    EXPECT_EQ(changes, 2);
    HFONT bold = font.Handle();
    EXPECT_NE(bold, first);
    EXPECT_EQ(GetObjectType(first), 0u) << "the old platform font is freed";
    EXPECT_EQ(LogFontOf(bold).lfWeight, FW_BOLD);
    EXPECT_EQ(LogFontOf(bold).lfUnderline, 1);

    font.SetSize(12);
    EXPECT_EQ(changes, 3) << "a size is one change of the height";
    EXPECT_EQ(font.Height(), -16);
    EXPECT_EQ(LogFontOf(font.Handle()).lfHeight, -16);

    TFont other;
    other.Assign(font);
    int otherChanges = 0;
    other.OnChange = [&](TObject*) { ++otherChanges; };
    other.Assign(font);
    EXPECT_EQ(otherChanges, 0) << "assigning equal values is no change";
    font.SetName("MS Sans Serif");
    font.SetCharset(ANSI_CHARSET);
    other.Assign(font);
    EXPECT_EQ(otherChanges, 1) << "several differences, one change";
    EXPECT_EQ(LogFontOf(other.Handle()).lfFaceName, std::string("MS Sans Serif"));
    EXPECT_EQ(other.Color(), clRed);
}

TEST(Font, LongFaceNamesAreCutBetweenCharacters) {
    TFont font;
    font.SetName("ゴシックゴシックゴシックゴシック");  // 48 bytes; a face name holds 31
    EXPECT_EQ(LogFontOf(font.Handle()).lfFaceName, std::string("ゴシックゴシックゴシ"));
}

}  // namespace
