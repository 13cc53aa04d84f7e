#pragma once
// The one place where errno becomes a Windows error code.

#include "platform/win32.h"

namespace platform::kernel {

DWORD ErrorFromErrno(int error);

// Sets the last error and returns the value a failing BOOL function returns, so failures read as one line.
inline BOOL Fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

}  // namespace platform::kernel
