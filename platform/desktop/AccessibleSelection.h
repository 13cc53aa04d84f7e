#pragma once
// The choice of lines in a list box or a combo box, as a screen reader reads and makes it. A reader's choice is
// posted to the box with the notice its owner hears of a user's choice, so that both happen from the loop, in the
// order a click gives them.

#include <vector>

#include "platform/win32.h"

namespace platform::desktop {

// The lines chosen, in their order.
std::vector<UINT> SelectedLines(HWND box);
bool IsLineSelected(HWND box, UINT line);
// False when the box is disabled, the line is not there, or the box cannot take it: a box of one choice cannot
// drop its line or take them all, and only a list box can be left with none.
bool SelectLine(HWND box, UINT line);
bool DeselectLine(HWND box, UINT line);
bool SelectAllLines(HWND box);
bool ClearSelectedLines(HWND box);

}  // namespace platform::desktop
