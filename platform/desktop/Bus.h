#pragma once
// A D-Bus connection served from the one message loop, as the media session and the accessibility support serve
// theirs: owned with its match slots, watched for what the bus waits on, and processed until it has nothing left.

#include <poll.h>
#include <systemd/sd-bus.h>

#include <chrono>
#include <memory>
#include <optional>

namespace platform::desktop {

struct BusDeleter {
    void operator()(sd_bus* bus) const { sd_bus_flush_close_unref(bus); }
};
struct SlotDeleter {
    void operator()(sd_bus_slot* slot) const { sd_bus_slot_unref(slot); }
};
using BusSlot = std::unique_ptr<sd_bus_slot, SlotDeleter>;

// What the loop waits for on the bus's descriptor, and when the bus's own next timeout (a call's reply) is due.
pollfd WatchBus(sd_bus* bus, std::optional<std::chrono::steady_clock::time_point>& due);
// Dispatches everything the bus has; negative when the connection is lost.
int ProcessBus(sd_bus* bus);

}  // namespace platform::desktop
