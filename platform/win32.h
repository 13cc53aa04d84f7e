#pragma once
// The subset of the Windows API that Korvo calls, implemented for Linux in platform/. Everything above platform/
// includes this header and the standard library only. Names, constant values and behaviour are Windows' own, so
// the same code can be built against the real API.

#include "platform/win32/types.h"
#include "platform/win32/kernel.h"
#include "platform/win32/user.h"
#include "platform/win32/gdi.h"
#include "platform/win32/controls.h"
#include "platform/win32/mmsystem.h"
