// Windows gives every window and built-in control an accessible object of its own making, and screen readers read
// the rest of the program there by other means: nothing is started here, and the program's parts go unread, as
// they did before.

#include "platform/desktop/Accessibility.h"

BOOL WINAPI StartAccessibilityA(const ACCESSIBILITYA* accessibility) {
    SetLastError(accessibility ? ERROR_NOT_SUPPORTED : ERROR_INVALID_PARAMETER);
    return FALSE;
}
