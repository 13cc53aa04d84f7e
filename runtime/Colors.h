#pragma once
// Colours as the program names them. A TColor is a COLORREF (0x00BBGGRR) for a fixed colour, or 0x80000000 with a
// COLOR_* index for a system colour, which follows the scheme and is resolved only when something is drawn.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/win32.h"

using TColor = int32_t;

namespace runtime {
constexpr TColor SystemColor(int index) { return static_cast<TColor>(0x80000000u | static_cast<uint32_t>(index)); }
}  // namespace runtime

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
// No colour at all (nothing is drawn), and "whatever the context's own colour is".
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

constexpr TColor clScrollBar = runtime::SystemColor(COLOR_SCROLLBAR);
constexpr TColor clBackground = runtime::SystemColor(COLOR_BACKGROUND);
constexpr TColor clActiveCaption = runtime::SystemColor(COLOR_ACTIVECAPTION);
constexpr TColor clInactiveCaption = runtime::SystemColor(COLOR_INACTIVECAPTION);
constexpr TColor clMenu = runtime::SystemColor(COLOR_MENU);
constexpr TColor clWindow = runtime::SystemColor(COLOR_WINDOW);
constexpr TColor clWindowFrame = runtime::SystemColor(COLOR_WINDOWFRAME);
constexpr TColor clMenuText = runtime::SystemColor(COLOR_MENUTEXT);
constexpr TColor clWindowText = runtime::SystemColor(COLOR_WINDOWTEXT);
constexpr TColor clCaptionText = runtime::SystemColor(COLOR_CAPTIONTEXT);
constexpr TColor clActiveBorder = runtime::SystemColor(COLOR_ACTIVEBORDER);
constexpr TColor clInactiveBorder = runtime::SystemColor(COLOR_INACTIVEBORDER);
constexpr TColor clAppWorkSpace = runtime::SystemColor(COLOR_APPWORKSPACE);
constexpr TColor clHighlight = runtime::SystemColor(COLOR_HIGHLIGHT);
constexpr TColor clHighlightText = runtime::SystemColor(COLOR_HIGHLIGHTTEXT);
constexpr TColor clBtnFace = runtime::SystemColor(COLOR_BTNFACE);
constexpr TColor clBtnShadow = runtime::SystemColor(COLOR_BTNSHADOW);
constexpr TColor clGrayText = runtime::SystemColor(COLOR_GRAYTEXT);
constexpr TColor clBtnText = runtime::SystemColor(COLOR_BTNTEXT);
constexpr TColor clInactiveCaptionText = runtime::SystemColor(COLOR_INACTIVECAPTIONTEXT);
constexpr TColor clBtnHighlight = runtime::SystemColor(COLOR_BTNHIGHLIGHT);
constexpr TColor cl3DDkShadow = runtime::SystemColor(COLOR_3DDKSHADOW);
constexpr TColor cl3DLight = runtime::SystemColor(COLOR_3DLIGHT);
constexpr TColor clInfoText = runtime::SystemColor(COLOR_INFOTEXT);
constexpr TColor clInfoBk = runtime::SystemColor(COLOR_INFOBK);

// The RGB value to draw with: a system colour as the scheme has it now, any other colour without its flag byte
// (clNone and clDefault mean nothing to draw with; a caller that allows them decides first what they stand for).
COLORREF ColorToRGB(TColor color);

// A colour as the layouts write it: a name ("clBtnFace", letter case ignored), "$" or "0x" and up to eight
// hexadecimal digits ("$00FF8040"), or a decimal number (negative for system colours). Returns false, leaving
// color as it was, for anything else.
bool IdentToColor(std::string_view ident, TColor& color);
// The name of a named colour; false, leaving ident as it was, for any other.
bool ColorToIdent(TColor color, std::string& ident);
// The name of a named colour, otherwise "$" and eight hexadecimal digits; IdentToColor reads either back.
std::string ColorToString(TColor color);
