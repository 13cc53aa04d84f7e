// The built-in classes, registered on first need, and the common controls.

#include "platform/controls/Controls.h"
#include "platform/user/Classes.h"

namespace platform::controls {
namespace {

void RegisterSystemClasses() {
    RegisterButtonClass();
    RegisterEditClass();
    RegisterListBoxClass();
    RegisterComboBoxClass();
}

// Handed to the window manager as the program starts (this library is linked whole for it), so that the classes
// exist from the first window on, as Windows' own do.
[[maybe_unused]] const bool provided = (user::ProvideSystemClasses(&RegisterSystemClasses), true);

}  // namespace

HFONT DefaultControlFont() {
    static HFONT font = CreateFontA(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, 0, 0, 0, 0,
                                    "ＭＳ Ｐゴシック");
    return font;
}

}  // namespace platform::controls

BOOL WINAPI InitCommonControlsEx(const INITCOMMONCONTROLSEX* picce) {
    if (!picce || picce->dwSize != sizeof(INITCOMMONCONTROLSEX)) return FALSE;
    static bool bars = false;
    if ((picce->dwICC & (ICC_BAR_CLASSES | ICC_WIN95_CLASSES)) && !bars) {
        bars = true;
        platform::controls::RegisterTrackBarClass();
    }
    return TRUE;
}

void WINAPI InitCommonControls() {
    INITCOMMONCONTROLSEX init{sizeof init, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&init);
}
