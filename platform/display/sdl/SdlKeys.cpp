#include "platform/display/sdl/SdlKeys.h"

#include <array>

#include "platform/win32.h"

namespace platform::display {
namespace {

struct KeyRow {
    int scancode;  // USB HID usage, as SDL numbers its scancodes
    int virtualKey;
    int scanCode;            // set 1
    int withoutNumLock = 0;  // keypad keys: the navigation key they become when Num Lock is off
};

constexpr int kExtended = 0xE000;

constexpr std::array kKeyRows{
    // Letters (for layouts whose letters SDL does not report as Latin ones) and the digit row.
    KeyRow{4, 'A', 0x1E}, KeyRow{5, 'B', 0x30}, KeyRow{6, 'C', 0x2E}, KeyRow{7, 'D', 0x20},
    KeyRow{8, 'E', 0x12}, KeyRow{9, 'F', 0x21}, KeyRow{10, 'G', 0x22}, KeyRow{11, 'H', 0x23},
    KeyRow{12, 'I', 0x17}, KeyRow{13, 'J', 0x24}, KeyRow{14, 'K', 0x25}, KeyRow{15, 'L', 0x26},
    KeyRow{16, 'M', 0x32}, KeyRow{17, 'N', 0x31}, KeyRow{18, 'O', 0x18}, KeyRow{19, 'P', 0x19},
    KeyRow{20, 'Q', 0x10}, KeyRow{21, 'R', 0x13}, KeyRow{22, 'S', 0x1F}, KeyRow{23, 'T', 0x14},
    KeyRow{24, 'U', 0x16}, KeyRow{25, 'V', 0x2F}, KeyRow{26, 'W', 0x11}, KeyRow{27, 'X', 0x2D},
    KeyRow{28, 'Y', 0x15}, KeyRow{29, 'Z', 0x2C},
    KeyRow{30, '1', 0x02}, KeyRow{31, '2', 0x03}, KeyRow{32, '3', 0x04}, KeyRow{33, '4', 0x05},
    KeyRow{34, '5', 0x06}, KeyRow{35, '6', 0x07}, KeyRow{36, '7', 0x08}, KeyRow{37, '8', 0x09},
    KeyRow{38, '9', 0x0A}, KeyRow{39, '0', 0x0B},
    KeyRow{40, VK_RETURN, 0x1C}, KeyRow{41, VK_ESCAPE, 0x01}, KeyRow{42, VK_BACK, 0x0E},
    KeyRow{43, VK_TAB, 0x0F}, KeyRow{44, VK_SPACE, 0x39},
    // Punctuation where a US keyboard has it.
    KeyRow{45, VK_OEM_MINUS, 0x0C}, KeyRow{46, VK_OEM_PLUS, 0x0D}, KeyRow{47, VK_OEM_4, 0x1A},
    KeyRow{48, VK_OEM_6, 0x1B}, KeyRow{49, VK_OEM_5, 0x2B}, KeyRow{50, VK_OEM_5, 0x2B},
    KeyRow{51, VK_OEM_1, 0x27}, KeyRow{52, VK_OEM_7, 0x28}, KeyRow{53, VK_OEM_3, 0x29},
    KeyRow{54, VK_OEM_COMMA, 0x33}, KeyRow{55, VK_OEM_PERIOD, 0x34}, KeyRow{56, VK_OEM_2, 0x35},
    KeyRow{57, VK_CAPITAL, 0x3A},
    KeyRow{58, VK_F1, 0x3B}, KeyRow{59, VK_F2, 0x3C}, KeyRow{60, VK_F3, 0x3D}, KeyRow{61, VK_F4, 0x3E},
    KeyRow{62, VK_F5, 0x3F}, KeyRow{63, VK_F6, 0x40}, KeyRow{64, VK_F7, 0x41}, KeyRow{65, VK_F8, 0x42},
    KeyRow{66, VK_F9, 0x43}, KeyRow{67, VK_F10, 0x44}, KeyRow{68, VK_F11, 0x57}, KeyRow{69, VK_F12, 0x58},
    KeyRow{70, VK_SNAPSHOT, kExtended | 0x37}, KeyRow{71, VK_SCROLL, 0x46}, KeyRow{72, VK_PAUSE, 0x45},
    KeyRow{73, VK_INSERT, kExtended | 0x52}, KeyRow{74, VK_HOME, kExtended | 0x47},
    KeyRow{75, VK_PRIOR, kExtended | 0x49}, KeyRow{76, VK_DELETE, kExtended | 0x53},
    KeyRow{77, VK_END, kExtended | 0x4F}, KeyRow{78, VK_NEXT, kExtended | 0x51},
    KeyRow{79, VK_RIGHT, kExtended | 0x4D}, KeyRow{80, VK_LEFT, kExtended | 0x4B},
    KeyRow{81, VK_DOWN, kExtended | 0x50}, KeyRow{82, VK_UP, kExtended | 0x48},
    // The keypad.
    KeyRow{83, VK_NUMLOCK, kExtended | 0x45}, KeyRow{84, VK_DIVIDE, kExtended | 0x35},
    KeyRow{85, VK_MULTIPLY, 0x37}, KeyRow{86, VK_SUBTRACT, 0x4A}, KeyRow{87, VK_ADD, 0x4E},
    KeyRow{88, VK_RETURN, kExtended | 0x1C},
    KeyRow{89, VK_NUMPAD1, 0x4F, VK_END}, KeyRow{90, VK_NUMPAD2, 0x50, VK_DOWN},
    KeyRow{91, VK_NUMPAD3, 0x51, VK_NEXT}, KeyRow{92, VK_NUMPAD4, 0x4B, VK_LEFT},
    KeyRow{93, VK_NUMPAD5, 0x4C, VK_CLEAR}, KeyRow{94, VK_NUMPAD6, 0x4D, VK_RIGHT},
    KeyRow{95, VK_NUMPAD7, 0x47, VK_HOME}, KeyRow{96, VK_NUMPAD8, 0x48, VK_UP},
    KeyRow{97, VK_NUMPAD9, 0x49, VK_PRIOR}, KeyRow{98, VK_NUMPAD0, 0x52, VK_INSERT},
    KeyRow{99, VK_DECIMAL, 0x53, VK_DELETE},
    KeyRow{100, VK_OEM_102, 0x56}, KeyRow{101, VK_APPS, kExtended | 0x5D},
    // The Japanese keyboard's own keys: ろ, かな, ￥, 変換, 無変換.
    KeyRow{135, VK_OEM_102, 0x73}, KeyRow{136, VK_KANA, 0x70}, KeyRow{137, VK_OEM_5, 0x7D},
    KeyRow{138, VK_CONVERT, 0x79}, KeyRow{139, VK_NONCONVERT, 0x7B},
    // Windows reports either Shift, Ctrl or Alt by the shared code; the right-hand ones are extended keys.
    KeyRow{224, VK_CONTROL, 0x1D}, KeyRow{225, VK_SHIFT, 0x2A}, KeyRow{226, VK_MENU, 0x38},
    KeyRow{227, VK_LWIN, kExtended | 0x5B}, KeyRow{228, VK_CONTROL, kExtended | 0x1D},
    KeyRow{229, VK_SHIFT, 0x36}, KeyRow{230, VK_MENU, kExtended | 0x38}, KeyRow{231, VK_RWIN, kExtended | 0x5C},
};

const KeyRow* FindRow(int scancode) {
    for (const KeyRow& row : kKeyRows) {
        if (row.scancode == scancode) return &row;
    }
    return nullptr;
}

}  // namespace

KeyCodes TranslateSdlKey(int scancode, int keycode, bool numLock) {
    KeyCodes codes;
    const KeyRow* row = FindRow(scancode);
    if (row) {
        codes.virtualKey = (row->withoutNumLock != 0 && !numLock) ? row->withoutNumLock : row->virtualKey;
        codes.scanCode = row->scanCode;
    }
    if (keycode >= 'a' && keycode <= 'z') codes.virtualKey = keycode - 'a' + 'A';
    return codes;
}

}  // namespace platform::display
