// Windows has its own way to show the player that plays (the system media transport controls, a WinRT API that a
// 32-bit program of this kind does not reach): a session here opens nothing and says so, as the Linux side does
// without a session bus.

#include "platform/desktop/MediaSession.h"

BOOL WINAPI SetMediaSessionA(HWND, const MEDIASESSIONA* session) {
    if (!session) return TRUE;
    SetLastError(ERROR_NOT_CONNECTED);
    return FALSE;
}
