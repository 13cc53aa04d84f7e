#pragma once
// What the window manager's own drawing shares with the built-in controls above it.

#include "platform/win32.h"

namespace platform::user {

// The classic look of a scroll bar's track and of a held or disabled thumb: the face and highlight colours on
// alternate pixels. Shared; never deleted.
HBRUSH DitherBrush();

}  // namespace platform::user
