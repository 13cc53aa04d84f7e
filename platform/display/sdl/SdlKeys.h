#pragma once
// Turns SDL's key codes into what a Windows key message carries. Kept free of SDL's headers: SDL's scancodes are
// USB HID usage codes (4 is the A key) and its keycodes are the character the key types on the user's layout (or
// the scancode with bit 30 set for keys that type none), so the table reads the same either way.

namespace platform::display {

struct KeyCodes {
    int virtualKey = 0;  // VK_*, 'A'-'Z', '0'-'9'; 0 for keys the program has no name for
    int scanCode = 0;    // the PC keyboard's set-1 code; extended keys carry 0xE0 in the high byte (0xE048 is Up)
};

// Letters follow the layout, as Windows' letter codes do (the key that types "q" on a French keyboard is 'Q');
// every other key is named by its position on a US keyboard. With Num Lock off the keypad's digits are the
// navigation keys they are labelled with.
KeyCodes TranslateSdlKey(int scancode, int keycode, bool numLock);

}  // namespace platform::display
