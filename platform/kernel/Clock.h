#pragma once
// All platform time (tick counts, timers, the wall clock) comes from one clock, so that tests can replace it with
// a virtual one and play through minutes of time deterministically.

#include <chrono>
#include <memory>

namespace platform::kernel {

class ClockSource {
  public:
    virtual ~ClockSource() = default;
    // Monotonic time; its zero is arbitrary but fixed for the life of the source.
    virtual std::chrono::nanoseconds Monotonic() = 0;
    virtual std::chrono::system_clock::time_point WallTime() = 0;
};

ClockSource& Clock();
// Installs another clock; nullptr brings back the system's.
void SetClockSource(std::unique_ptr<ClockSource> source);

}  // namespace platform::kernel
