#pragma once
// Lines of text: UTF-8 decoding, laying a line out in a font and drawing it. TextOutA, ExtTextOutA and DrawTextA
// share these.

#include <string>
#include <string_view>
#include <vector>

#include "platform/kernel/Utf8.h"

namespace platform::gdi {

class DrawScope;
class FontInstance;

using kernel::AppendUtf8;
using kernel::DecodeUtf8;

struct TextLine {
    std::u32string chars;
    std::vector<int> advances;
    std::vector<bool> underlined;  // prefix characters, marked with "&" in DrawTextA
    int Width() const;
};

TextLine LayOut(FontInstance& font, std::u32string chars);
// Draws a line whose cell has its top-left corner at (x, top), in surface coordinates: the glyphs in the DC's text
// colour, then the font's underline and strike-out and the underlines of prefix characters. No background.
void PaintLine(DrawScope& scope, FontInstance& font, const TextLine& line, int x, int top);

}  // namespace platform::gdi
