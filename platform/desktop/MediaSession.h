#pragma once
// The desktop's media controls: an extension of our own beside the Windows API, which has nothing like it. Linux
// desktops show the player that plays (their media keys, the panel's player, the lock screen) from what it
// publishes on the session bus. A window names itself the player and says what it shows; the
// desktop's requests come back to it as WM_APPCOMMAND from FAPPCOMMAND_OEM: APPCOMMAND_MEDIA_PLAY, _PAUSE,
// _PLAY_PAUSE, _STOP, _NEXTTRACK, _PREVIOUSTRACK, and APPCOMMAND_CLOSE to quit. A request to raise the window is
// carried out by the platform. Calls that change nothing cost a comparison; changes reach the desktop at once.

#include "platform/win32.h"

#define MEDIASTATE_STOPPED 0
#define MEDIASTATE_PLAYING 1
#define MEDIASTATE_PAUSED 2
#define MEDIAFLAG_CANPLAY 0x0001
#define MEDIAFLAG_CANPAUSE 0x0002
#define MEDIAFLAG_CANGONEXT 0x0004
#define MEDIAFLAG_CANGOPREVIOUS 0x0008

typedef struct tagMEDIASESSIONA {
    LPCSTR lpszName;      // the player's short name, as its desktop entry's ("korvo")
    LPCSTR lpszIdentity;  // the name the desktop shows ("Korvo Music Player")
    DWORD dwState;        // MEDIASTATE_*
    DWORD dwFlags;        // MEDIAFLAG_*
    LPCSTR lpszTitle;     // the open file's name; null or empty when nothing is open
    LPCSTR lpszFolder;    // its folder, as a Windows path
    DWORD dwLength;       // milliseconds
    DWORD dwPosition;     // milliseconds
} MEDIASESSIONA;

// The first call for a window opens its session (FALSE, with ERROR_NOT_CONNECTED, where there is no session bus;
// later calls then fail at once); later calls update it. A null `session`, or the window's destruction, ends it.
BOOL WINAPI SetMediaSessionA(HWND hWnd, const MEDIASESSIONA* session);
