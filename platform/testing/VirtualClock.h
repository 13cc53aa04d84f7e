#pragma once
// Virtual time for tests: it stands still while the program works, and whenever the program waits with nothing to
// do it jumps to the next moment something is due (a timer, the sound output), so minutes of playing take
// milliseconds and every run is the same.

#include <chrono>

namespace platform::testing {

class VirtualClock {
  public:
    // Installs the clock for the life of the object; the real one comes back afterwards. It starts at a fixed
    // moment (wall time 2026-01-01 00:00:00 UTC), so time-derived values are the same in every run.
    VirtualClock();
    ~VirtualClock();
    VirtualClock(const VirtualClock&) = delete;
    VirtualClock& operator=(const VirtualClock&) = delete;

    std::chrono::nanoseconds Elapsed() const;  // since the clock was installed
    void Advance(std::chrono::nanoseconds by);
};

}  // namespace platform::testing
