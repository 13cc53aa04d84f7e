#pragma once
// The headless rendering that the end-to-end tests hold the real window against: a program of theirs, started with
// "--headless", draws the same layout in memory and says its window's pixels, which the test reads back and
// compares with what the X server shows.

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/testing/Desktop.h"
#include "tests/e2e/Handshake.h"

namespace e2e {

// Whether the program was started to draw in memory; the display in memory is then in use.
inline bool UseHeadlessWhenAsked(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "--headless") != 0) return false;
    platform::testing::UseHeadlessDisplay();
    return true;
}

// Says the client area of a shown window as presented: "pixels <width> <height>", then a line a row, each pixel
// six hexadecimal digits (red, green, blue).
inline void SayPixels(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    Say("pixels " + std::to_string(client.right) + " " + std::to_string(client.bottom));
    for (int y = 0; y < client.bottom; ++y) {
        std::string row;
        for (int x = 0; x < client.right; ++x) {
            const COLORREF c = platform::testing::PresentedPixel(window, x, y);
            char hex[8];
            std::snprintf(hex, sizeof hex, "%02x%02x%02x", GetRValue(c), GetGValue(c), GetBValue(c));
            row += hex;
        }
        Say(row);
    }
}

}  // namespace e2e
