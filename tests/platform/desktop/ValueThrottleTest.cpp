// How often a reader hears a slider that moves on every tick of the player's timer, on a clock of the test's own.

#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "platform/desktop/ValueThrottle.h"

using namespace std::chrono_literals;
using platform::desktop::ValueThrottle;
using Clock = ValueThrottle::Clock;

namespace {

const HWND kSlider = reinterpret_cast<HWND>(0x10);
const HWND kOther = reinterpret_cast<HWND>(0x20);

// A loop as the server's: what is due is told as the loop wakes, before the tick that may come at the same time.
struct Loop {
    ValueThrottle throttle;
    std::vector<Clock::duration> told;  // when the slider's value went out, from the start
    Clock::time_point start{};

    void WakeAt(Clock::time_point now) {
        for (HWND slider : throttle.TakeDue(now))
            if (slider == kSlider) told.push_back(now - start);
    }
    void Tick(Clock::time_point now) {
        if (const auto due = throttle.Due(); due && *due <= now) WakeAt(now);
        if (throttle.Changed(kSlider, now)) told.push_back(now - start);
    }
    // Runs until nothing is held, waking only when the throttle asks.
    void Drain() {
        while (const auto due = throttle.Due()) WakeAt(*due);
    }
};

}  // namespace

TEST(ValueThrottle, ASliderMovedEveryTickIsToldAFewTimesASecondAndItsLastValueAlways) {
    Loop loop;
    loop.start = Clock::time_point(1h);
    Clock::time_point last{};
    for (auto at = 0ms; at < 2000ms; at += 10ms) loop.Tick(last = loop.start + at);
    loop.Drain();

    ASSERT_FALSE(loop.told.empty());
    EXPECT_EQ(loop.told.front(), 0ms) << "the first change goes out at once";
    for (size_t i = 1; i < loop.told.size(); ++i)
        EXPECT_GE(loop.told[i] - loop.told[i - 1], ValueThrottle::kInterval) << "told at " << i;
    // 2 s of ticks: about one in every 250 ms, not 200.
    EXPECT_GE(loop.told.size(), 8u);
    EXPECT_LE(loop.told.size(), 10u);
    // The value that stood when the ticks stopped (1990 ms, between two intervals) was told, within an interval.
    EXPECT_GE(loop.told.back(), last - loop.start);
    EXPECT_LE(loop.told.back(), last - loop.start + ValueThrottle::kInterval);
    EXPECT_FALSE(loop.throttle.Due().has_value()) << "stopped, nothing is left to wake the loop";
}

TEST(ValueThrottle, AChangeNowAndThenIsToldAtOnceAndHoldsNothing) {
    ValueThrottle throttle;
    const Clock::time_point start(1h);
    EXPECT_TRUE(throttle.Changed(kSlider, start));
    EXPECT_FALSE(throttle.Due().has_value());
    EXPECT_TRUE(throttle.Changed(kSlider, start + 300ms));
    EXPECT_FALSE(throttle.Due().has_value());
    // A second change within the interval waits for its end, and goes out then.
    EXPECT_FALSE(throttle.Changed(kSlider, start + 310ms));
    ASSERT_EQ(throttle.Due(), start + 300ms + ValueThrottle::kInterval);
    EXPECT_TRUE(throttle.TakeDue(start + 500ms).empty()) << "not yet";
    EXPECT_EQ(throttle.TakeDue(start + 550ms), std::vector<HWND>{kSlider});
    EXPECT_FALSE(throttle.Due().has_value());
}

TEST(ValueThrottle, EachSliderHasItsOwnIntervalAndOneGoneIsNotTold) {
    ValueThrottle throttle;
    const Clock::time_point start(1h);
    EXPECT_TRUE(throttle.Changed(kSlider, start));
    EXPECT_TRUE(throttle.Changed(kOther, start + 100ms)) << "another slider's change is not held by the first's";
    EXPECT_FALSE(throttle.Changed(kSlider, start + 120ms));
    EXPECT_FALSE(throttle.Changed(kOther, start + 130ms));
    EXPECT_EQ(throttle.Due(), start + ValueThrottle::kInterval);
    throttle.Forget(kSlider);
    EXPECT_EQ(throttle.Due(), start + 100ms + ValueThrottle::kInterval);
    EXPECT_EQ(throttle.TakeDue(start + 1s), std::vector<HWND>{kOther});
    EXPECT_FALSE(throttle.Due().has_value());
}
