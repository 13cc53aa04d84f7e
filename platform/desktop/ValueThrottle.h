#pragma once
// How often a reader hears a slider's value. The player moves its slider on every tick of its timer; a reader
// needs to know where it stands, not to be told 64 times a second. A slider's first change is told at once, those
// that follow at most once an interval, and the last one always, at the end of the interval it fell in, so that
// a reader is never left with a stale value. Nothing is held while no slider is changing, so nothing has to wake
// the program then.

#include <chrono>
#include <map>
#include <optional>
#include <vector>

#include "platform/win32.h"

namespace platform::desktop {

class ValueThrottle {
  public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kInterval{250};

    // The slider's value changed at `now`: whether to tell it now; else it is held until Due().
    bool Changed(HWND slider, Clock::time_point now);
    // When the earliest value held back is to be told; nothing while none is.
    std::optional<Clock::time_point> Due() const;
    // The sliders whose value held back is to be told by `now`; each is counted as told then.
    std::vector<HWND> TakeDue(Clock::time_point now);
    // The slider is gone: nothing of it is to be told.
    void Forget(HWND slider) { told_.erase(slider); }

  private:
    struct Told {
        Clock::time_point at;
        bool held = false;  // a change since `at`, not told yet
    };
    std::map<HWND, Told> told_;
};

}  // namespace platform::desktop
