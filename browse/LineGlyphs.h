#pragma once
// Drawing shared by the folder browser's owner-drawn lists (file list, directory list, drive selector): how high a
// line of text is, and where a line's glyph goes.

#include "platform/win32.h"
#include "runtime/Bitmap.h"
#include "runtime/Canvas.h"
#include "runtime/Font.h"

// The character-cell height (tmHeight) of the font on the screen.
int FontLineHeight(const TFont& font);

// Draws glyph at `offset` pixels from the line's left edge, centred vertically: its top is at (top + bottom - glyph
// height) / 2, the quotient truncated toward zero. The glyph's background, the colour of its bottom-left pixel, is
// not copied: it shows the canvas's brush, so the glyph sits on the line's own colour, the selection highlight
// included. An empty glyph draws nothing.
void DrawLineGlyph(TCanvas& canvas, const RECT& line, int offset, const TBitmap& glyph);
