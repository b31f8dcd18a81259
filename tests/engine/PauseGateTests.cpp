// The pause gate between two threads, at the instant a resumed copy thread
// leaves the gate: a pause taken then must not pass for the old one.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "engine/PauseGate.h"
#include "platform/testing/FaultPlatform.h"

namespace {

template <typename Condition>
void WaitUntil(Condition condition) {
    while (!condition()) std::this_thread::yield();
}

// The copy thread is held just after it let the gate's lock go on its way
// out; the main thread pauses again at that moment. Parked must stay false
// until the copy thread has really come back to the gate.
TEST(PauseGate, APauseTakenAsTheCopyThreadLeavesIsNotTakenForParked) {
    FaultPlatform platform(SystemPlatform());
    PauseGate gate(platform);
    const std::thread::id mainThread = std::this_thread::get_id();
    std::atomic<bool> holdNextRelease{false}, held{false}, letGo{false}, stop{false};
    std::atomic<int> passes{0};
    platform.OnMutexReleased([&] {
        if (std::this_thread::get_id() == mainThread || !holdNextRelease.exchange(false)) return;
        held = true;
        WaitUntil([&] { return letGo.load(); });
    });
    std::thread copier([&] {
        while (!stop) {
            gate.Pass([] {});
            ++passes;
        }
    });
    gate.Pause();
    WaitUntil([&] { return gate.Parked(); });
    holdNextRelease = true;
    gate.Resume();
    WaitUntil([&] { return held.load(); });
    gate.Pause();
    EXPECT_FALSE(gate.Parked()) << "the pass that is leaving counts as parked";
    letGo = true;
    WaitUntil([&] { return gate.Parked(); });
    // Parked for real now: the copy thread does not move past the gate.
    const int parkedAt = passes;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(passes.load(), parkedAt);
    stop = true;
    gate.Resume();
    copier.join();
}

}  // namespace
