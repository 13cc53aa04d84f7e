#include "platform/display/sdl/SdlKeys.h"

#include <gtest/gtest.h>

#include "platform/win32.h"

namespace platform::display {
namespace {

// SDL's scancodes are USB HID usage codes; its keycodes are the character the key types.
constexpr int kUsageA = 4;
constexpr int kUsageSemicolon = 51;
constexpr int kUsageReturn = 40;
constexpr int kUsageKeypadEnter = 88;
constexpr int kUsageKeypad1 = 89;
constexpr int kUsageEnd = 77;
constexpr int kUsageLeftCtrl = 224;
constexpr int kUsageRightCtrl = 228;
constexpr int kNoCharacter = 1 << 30;

void ExpectKey(KeyCodes codes, int virtualKey, int scanCode) {
    EXPECT_EQ(codes.virtualKey, virtualKey);
    EXPECT_EQ(codes.scanCode, scanCode);
}

TEST(SdlKeys, LettersFollowTheLayoutAndEverythingElseThePosition) {
    ExpectKey(TranslateSdlKey(kUsageA, 'a', true), 'A', 0x1E);
    // French layout: the key where a US keyboard has A types "q"; the scan code stays the key's.
    ExpectKey(TranslateSdlKey(kUsageA, 'q', true), 'Q', 0x1E);
    // ... and the US semicolon key types "m".
    ExpectKey(TranslateSdlKey(kUsageSemicolon, 'm', true), 'M', 0x27);
    // Russian layout: no Latin letter, so the position names it, as on Windows.
    ExpectKey(TranslateSdlKey(kUsageA, 0x444, true), 'A', 0x1E);
    ExpectKey(TranslateSdlKey(kUsageSemicolon, ';', true), VK_OEM_1, 0x27);
    // A key the program has no name for passes as nothing rather than as a wrong key.
    ExpectKey(TranslateSdlKey(300, kNoCharacter | 300, true), 0, 0);
}

TEST(SdlKeys, KeypadAndRightHandKeysAreToldApartAsOnWindows) {
    ExpectKey(TranslateSdlKey(kUsageKeypad1, kNoCharacter | kUsageKeypad1, true), VK_NUMPAD1, 0x4F);
    // Num Lock off: the keypad's 1 is End, but not the extended End of the navigation block.
    ExpectKey(TranslateSdlKey(kUsageKeypad1, kNoCharacter | kUsageKeypad1, false), VK_END, 0x4F);
    ExpectKey(TranslateSdlKey(kUsageEnd, kNoCharacter | kUsageEnd, false), VK_END, 0xE04F);
    ExpectKey(TranslateSdlKey(kUsageReturn, '\r', true), VK_RETURN, 0x1C);
    ExpectKey(TranslateSdlKey(kUsageKeypadEnter, kNoCharacter | kUsageKeypadEnter, true), VK_RETURN, 0xE01C);
    ExpectKey(TranslateSdlKey(kUsageLeftCtrl, kNoCharacter | kUsageLeftCtrl, true), VK_CONTROL, 0x1D);
    ExpectKey(TranslateSdlKey(kUsageRightCtrl, kNoCharacter | kUsageRightCtrl, true), VK_CONTROL, 0xE01D);
}

}  // namespace
}  // namespace platform::display
