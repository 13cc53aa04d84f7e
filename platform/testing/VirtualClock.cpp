#include "platform/testing/VirtualClock.h"

#include <atomic>
#include <memory>

#include "platform/kernel/Clock.h"

namespace platform::testing {
namespace {

// A start far from zero, so that code subtracting a period from "now" never goes below zero.
constexpr std::chrono::nanoseconds kStart = std::chrono::hours(1);
// 2026-01-01 00:00:00 UTC.
constexpr std::chrono::seconds kWallStart{1767225600};

class Source final : public kernel::ClockSource {
  public:
    std::chrono::nanoseconds Monotonic() override { return kStart + elapsed_.load(); }
    std::chrono::system_clock::time_point WallTime() override {
        return std::chrono::system_clock::time_point(
            std::chrono::duration_cast<std::chrono::system_clock::duration>(kWallStart + elapsed_.load()));
    }
    bool JumpsWhenIdle() const override { return true; }
    void JumpTo(std::chrono::nanoseconds monotonic) override {
        auto target = monotonic - kStart;
        auto current = elapsed_.load();
        while (target > current && !elapsed_.compare_exchange_weak(current, target)) {
        }
    }
    std::atomic<std::chrono::nanoseconds> elapsed_{std::chrono::nanoseconds(0)};
};

Source* installed = nullptr;

}  // namespace

VirtualClock::VirtualClock() {
    auto source = std::make_unique<Source>();
    installed = source.get();
    kernel::SetClockSource(std::move(source));
}

VirtualClock::~VirtualClock() {
    kernel::SetClockSource(nullptr);
    installed = nullptr;
}

std::chrono::nanoseconds VirtualClock::Elapsed() const { return installed->elapsed_.load(); }

void VirtualClock::Advance(std::chrono::nanoseconds by) { installed->JumpTo(installed->Monotonic() + by); }

}  // namespace platform::testing
