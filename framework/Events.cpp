#include "framework/Events.h"

TShiftState KeyDataToShiftState(LPARAM keyData) {
    TShiftState shift = 0;
    if (GetKeyState(VK_SHIFT) < 0) shift |= ssShift;
    if (GetKeyState(VK_CONTROL) < 0) shift |= ssCtrl;
    if (keyData & (LPARAM{1} << 29)) shift |= ssAlt;  // the key message's own word on Alt
    return shift;
}
