#pragma once
// Drawing the lines of owner-drawn lists, the list box's and the combo box's alike.

#include <cstdint>
#include <functional>
#include <string_view>

#include "framework/WinControl.h"
#include "runtime/Canvas.h"

// The platform's ODS_* bits of the line being drawn (ODS_SELECTED, ODS_FOCUS, ODS_DISABLED…).
using TOwnerDrawState = UINT;
using TDrawLine = std::function<void(int32_t index, const RECT& rect, TOwnerDrawState state)>;

// Lends the line's DC to the canvas with the control's font and brush (the highlight colours for a selected line),
// has draw paint the line, and draws the focus rectangle over it. A line index below 0, an empty list's focus, is
// only filled.
void DrawOwnerDrawnLine(TCanvas& canvas, TWinControl& control, const DRAWITEMSTRUCT& item, const TDrawLine& draw);

// A line as it is drawn when nobody draws it otherwise: filled, its text on one line, vertically centred, 2 pixels
// in from the left, "&" shown as it is.
void DrawLineText(TCanvas& canvas, const RECT& rect, std::string_view text);
