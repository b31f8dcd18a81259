#pragma once
// The fixed waits of the worker threads, cut short by a stop request.

#include <atomic>
#include <cstdint>

#include "platform/Platform.h"

// Waits for milliseconds in slices of at most 10 ms and returns early once
// stop is set, so that a stop or a cancel never waits for the rest. The
// tick count ends the wait on time however long each slice really sleeps
// (a 10 ms sleep may take a whole timer period); the sum of the slices bounds
// it where sleeps return at once.
inline void SleepUnless(Platform& platform, std::uint32_t milliseconds, const std::atomic<bool>& stop) {
    constexpr std::uint32_t kSlice = 10;
    const std::uint32_t start = platform.Threads().TickCount();
    for (std::uint32_t slept = 0; slept < milliseconds && !stop.load(); slept += kSlice) {
        if (platform.Threads().TickCount() - start >= milliseconds) return;
        platform.Threads().SleepMilliseconds(milliseconds - slept < kSlice ? milliseconds - slept : kSlice);
    }
}
