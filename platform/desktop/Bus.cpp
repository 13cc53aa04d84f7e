#include "platform/desktop/Bus.h"

#include <cstdint>

namespace platform::desktop {

pollfd WatchBus(sd_bus* bus, std::optional<std::chrono::steady_clock::time_point>& due) {
    const int events = sd_bus_get_events(bus);
    uint64_t microseconds = UINT64_MAX;
    // The bus counts on the monotonic clock, as the steady clock does here.
    if (sd_bus_get_timeout(bus, &microseconds) >= 0 && microseconds != UINT64_MAX)
        due = std::chrono::steady_clock::time_point(std::chrono::microseconds(microseconds));
    return pollfd{sd_bus_get_fd(bus), static_cast<short>(events < 0 ? 0 : events), 0};
}

int ProcessBus(sd_bus* bus) {
    int result = 0;
    while ((result = sd_bus_process(bus, nullptr)) > 0) {
    }
    return result;
}

}  // namespace platform::desktop
