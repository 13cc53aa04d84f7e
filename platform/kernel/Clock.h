#pragma once
// All platform time (tick counts, timers, the wall clock) comes from one clock, so that tests can replace it with
// a virtual one and play through minutes of time deterministically.

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace platform::kernel {

class ClockSource {
  public:
    virtual ~ClockSource() = default;
    // Monotonic time; its zero is arbitrary but fixed for the life of the source.
    virtual std::chrono::nanoseconds Monotonic() = 0;
    virtual std::chrono::system_clock::time_point WallTime() = 0;
    // A virtual clock lets time jump, whenever the program waits with nothing to do, to the next moment
    // something is due; the real clock makes the program sleep until then.
    virtual bool JumpsWhenIdle() const { return false; }
    virtual void JumpTo(std::chrono::nanoseconds monotonic) { (void)monotonic; }
};

ClockSource& Clock();
// Installs another clock; nullptr brings back the system's.
void SetClockSource(std::unique_ptr<ClockSource> source);

// Parts of the platform that must be woken at a moment of their own (the sound output at the end of a file) say
// so here; the message loop waits no longer than the earliest such moment. Callable from any thread.
using IdleDeadline = std::function<std::optional<std::chrono::nanoseconds>()>;
int AddIdleDeadline(IdleDeadline deadline);
void RemoveIdleDeadline(int id);
std::optional<std::chrono::nanoseconds> NextIdleDeadline();

}  // namespace platform::kernel
