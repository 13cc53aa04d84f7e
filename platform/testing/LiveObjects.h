#pragma once
// What the platform holds for the program at one moment, for a long run to compare with what it held earlier: a
// count that keeps rising is a leak, whatever each count means on its own.

#include <cstddef>
#include <string>

namespace platform::testing {

struct LiveObjects {
    size_t topLevelWindows = 0;  // as EnumThreadWindows lists them
    size_t childWindows = 0;     // as EnumChildWindows lists them under those
    size_t windowObjects = 0;    // the window table, with windows destroyed but not yet freed
    size_t gdiObjects = 0;       // stock objects and objects deleted while still selected included
    size_t timers = 0;
    size_t mciDevices = 0;       // open devices

    bool operator==(const LiveObjects&) const = default;
    // "windows 3+41 (44 objects), GDI objects 130, timers 2, MCI devices 1"
    std::string Describe() const;
};

// Call on the user-interface thread.
LiveObjects CountLiveObjects();

}  // namespace platform::testing
