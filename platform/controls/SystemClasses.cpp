// The built-in classes, registered on first need, and the common controls.

#include "platform/controls/Controls.h"
#include "platform/user/WindowSystem.h"

namespace platform::user {

void EnsureSystemClasses() {
    static bool registered = false;
    if (registered) return;
    registered = true;
    RegisterButtonClass();
    RegisterEditClass();
    RegisterListBoxClass();
    RegisterComboBoxClass();
}

HFONT DefaultControlFont() {
    static HFONT font = CreateFontA(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, 0, 0, 0, 0,
                                    "ＭＳ Ｐゴシック");
    return font;
}

}  // namespace platform::user

BOOL WINAPI InitCommonControlsEx(const INITCOMMONCONTROLSEX* picce) {
    if (!picce || picce->dwSize != sizeof(INITCOMMONCONTROLSEX)) return FALSE;
    static bool bars = false;
    if ((picce->dwICC & (ICC_BAR_CLASSES | ICC_WIN95_CLASSES)) && !bars) {
        bars = true;
        platform::user::RegisterTrackBarClass();
    }
    return TRUE;
}

void WINAPI InitCommonControls() {
    INITCOMMONCONTROLSEX init{sizeof init, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&init);
}
