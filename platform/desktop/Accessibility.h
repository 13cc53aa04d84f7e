#pragma once
// Screen readers: an extension of our own beside the Windows API. On Windows every window and built-in control has
// an accessible object of the system's making; on Linux the platform gives each of them one on the desktop's
// accessibility bus, read through the Windows API the controls already answer, while the desktop asks for it (a
// screen reader running, or accessibility switched on). Otherwise nothing is connected and nothing wakes.
//
// Parts of a window drawn without a window of their own (a tool button, a label) are the program's to describe:
// it hands over a function that lists them, and one that clicks one, as a program's own accessible objects answer
// for its windowless parts on Windows. It tells of their changes with NotifyWinEvent(event, window, OBJID_CLIENT,
// part index + 1).

#include "platform/win32.h"

#define ACCPART_PUSHBUTTON 1
#define ACCPART_LABEL 2

typedef struct tagACCPARTA {
    UINT uKind;         // ACCPART_*
    CHAR szName[128];   // what a reader says: a button's hint, a label's text
    RECT rcPart;        // in the window's client coordinates
    BOOL fEnabled;
    BOOL fVisible;
} ACCPARTA;

// Fills at most `count` of the window's parts, in a fixed order (hidden ones too, so that a part keeps its index),
// and returns how many it has. Called on the window's thread whenever a reader looks; it must not change windows.
typedef UINT(CALLBACK* ACCLISTPARTSPROCA)(HWND hWnd, ACCPARTA* lpParts, UINT count);
// Clicks the part as the user's click would. Called from the message loop, outside the bus's dispatch, so that it
// may run the program's handlers (a modal dialog included).
typedef void(CALLBACK* ACCCLICKPARTPROC)(HWND hWnd, UINT index);

typedef struct tagACCESSIBILITYA {
    LPCSTR lpszName;      // how readers list the program ("korvo")
    LPCSTR lpszVersion;
    ACCLISTPARTSPROCA lpfnListParts;  // may be null: no window has parts
    ACCCLICKPARTPROC lpfnClickPart;
} ACCESSIBILITYA;

// Starts listening for the desktop's wish for accessibility, once, on the window's thread. FALSE with
// ERROR_NOT_CONNECTED where there is no session bus to ask, or when the environment turns it off for good
// (NO_AT_BRIDGE=1 or KORVO_ACCESSIBILITY=0).
BOOL WINAPI StartAccessibilityA(const ACCESSIBILITYA* accessibility);
