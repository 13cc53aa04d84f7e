#pragma once
// The subset of the Windows API that Korvo calls, implemented for Linux in platform/. Everything above platform/
// includes this header and the standard library only. Names, constant values and behaviour are Windows' own, so
// the same code can be built against the real API.

#ifdef _WIN32
// Built for Windows, the layers above stand on the real API and nothing of platform/ is compiled but this header
// and the Windows side of our own desktop extensions.
#ifndef NOMINMAX
#define NOMINMAX  // std::min and std::max, not Windows' macros
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN  // not the printing, sockets and OLE headers, whose macros rename our methods
#endif
#include <windows.h>
#include <mmsystem.h>
#include <commctrl.h>
#include <dbt.h>       // the device change broadcasts
#include <shlobj.h>    // the shell's folders
#include <windowsx.h>  // GET_X_LPARAM, GET_Y_LPARAM
#else
#include "platform/win32/types.h"
#include "platform/win32/kernel.h"
#include "platform/win32/user.h"
#include "platform/win32/gdi.h"
#include "platform/win32/controls.h"
#include "platform/win32/mmsystem.h"
#endif
