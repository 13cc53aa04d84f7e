#pragma once
// What every display backend must do with descriptors of the program's own: a wait ends when one becomes ready and
// says which, and a wake-up still ends a wait that watches them.

#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <thread>
#include <vector>

#include "platform/display/Display.h"

namespace platform::display {

inline void ExpectWatchedDescriptorsEndWaits(DisplayBackend& display) {
    using namespace std::chrono_literals;
    std::array<int, 2> pipeEnds{};
    ASSERT_EQ(pipe(pipeEnds.data()), 0);
    std::vector<DisplayEvent> events;
    display.WaitEvents(0ns, events);
    std::array<pollfd, 1> watched{{{pipeEnds[0], POLLIN, 0}}};

    auto start = std::chrono::steady_clock::now();
    std::thread writer([&] {
        std::this_thread::sleep_for(100ms);
        EXPECT_EQ(write(pipeEnds[1], "x", 1), 1);
    });
    display.WaitEvents(10s, events, watched);
    writer.join();
    auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, 100ms);
    EXPECT_LT(waited, 5s);
    EXPECT_TRUE(watched[0].revents & POLLIN);
    char byte = 0;
    EXPECT_EQ(read(pipeEnds[0], &byte, 1), 1);

    // Quiet again: a wake-up ends the wait, with nothing said ready, and a wait without either lasts its time.
    watched[0].revents = 0;
    std::thread waker([&] {
        std::this_thread::sleep_for(100ms);
        display.Wake();
    });
    start = std::chrono::steady_clock::now();
    display.WaitEvents(10s, events, watched);
    waker.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    EXPECT_EQ(watched[0].revents, 0);
    start = std::chrono::steady_clock::now();
    display.WaitEvents(150ms, events, watched);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 150ms);
    EXPECT_EQ(watched[0].revents, 0);
    close(pipeEnds[0]);
    close(pipeEnds[1]);
}

}  // namespace platform::display
