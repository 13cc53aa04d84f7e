#include "platform/desktop/ValueThrottle.h"

namespace platform::desktop {

bool ValueThrottle::Changed(HWND slider, Clock::time_point now) {
    const auto found = told_.find(slider);
    if (found == told_.end() || now - found->second.at >= kInterval) {
        told_[slider] = Told{now, false};
        return true;
    }
    found->second.held = true;
    return false;
}

std::optional<ValueThrottle::Clock::time_point> ValueThrottle::Due() const {
    std::optional<Clock::time_point> due;
    for (const auto& [slider, told] : told_)
        if (told.held && (!due || told.at + kInterval < *due)) due = told.at + kInterval;
    return due;
}

std::vector<HWND> ValueThrottle::TakeDue(Clock::time_point now) {
    std::vector<HWND> due;
    for (auto it = told_.begin(); it != told_.end();) {
        Told& told = it->second;
        if (told.held && told.at + kInterval <= now) {
            due.push_back(it->first);
            told = Told{now, false};
        } else if (!told.held && now - told.at >= kInterval) {
            // Told long enough ago that its next change goes out at once: nothing to keep.
            it = told_.erase(it);
            continue;
        }
        ++it;
    }
    return due;
}

}  // namespace platform::desktop
