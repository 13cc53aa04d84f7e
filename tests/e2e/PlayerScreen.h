#pragma once
// What the end-to-end tests of the real player read from outside it, on Linux and under Wine alike: the window's
// title, which of its transport buttons are lit on the screen, and the sound it sends to a sound card that writes
// to a file.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "tests/e2e/XServer.h"

namespace e2e {

// Where the buttons sit in the window's client area: the button bar's panel at (2, 4), each button 25 pixels square,
// given by its left edge in the panel.
constexpr int kButtonRow = 4 + 4 + 12;
constexpr int ButtonColumn(int left) { return 2 + left + 12; }
constexpr int kPlay = 4, kPause = 28, kStop = 52, kNext = 106, kSettings = 264, kAbout = 288;

std::string WindowName(const std::string& id);
bool WaitForName(const std::string& id, const std::string& name);

// Which of play, pause and stop show their glyph in colour on the screen, as "100" for play alone: a disabled
// button greys its glyph out. Empty when the screen or the window cannot be read.
std::string LitButtons(const platform::gdi::Surface& screen, int windowX, int windowY);
// The screen once the transport buttons show `lit`, or nothing (with what they showed last in `seen`).
std::optional<platform::gdi::Surface> WaitForButtons(const VirtualXServer& server, const std::string& id,
                                                     const std::string& lit, std::string& seen);

// The size of the file a sound card writes to, 0 before it is there.
std::uintmax_t SizeOf(const std::filesystem::path& file);
// Whether the sound card goes on to write `bytes` more sound than it had written when asked.
bool WaitForSound(const std::filesystem::path& file, std::uintmax_t bytes);

}  // namespace e2e
