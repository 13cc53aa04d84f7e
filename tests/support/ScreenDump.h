#pragma once
// The whole screen of the X server that DISPLAY names, as xwd reads it back: what a person at that screen sees.

#include <optional>

#include "platform/gdi/Surface.h"

// Nothing when xwd cannot read the screen or gives a depth other than 24 or 32 bits.
std::optional<platform::gdi::Surface> ReadScreen();
