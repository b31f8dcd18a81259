#pragma once
// The copy's pause gate: the whole protocol between the main thread, which
// pauses and resumes, and the copy thread, which passes the gate before every
// block.
//
// While no pause is requested, passing costs one atomic load and no platform
// call. A pause takes the gate's lock at once (the copy thread never holds it
// while it copies, so the main thread never waits for a block, even one that
// hangs) and asks the copy thread to park at its next block boundary; the
// copy thread says when it has parked, and from then on its counters and its
// target stay as they are until Resume. Cancel and close work while paused:
// they resume, and the copy thread sees the cancel after the gate.
//
// A lock that cannot be taken or released throws Exception after its
// diagnostic line (Mutex).

#include <atomic>

#include "engine/Mutex.h"
#include "platform/Platform.h"

class PauseGate {
public:
    explicit PauseGate(Platform& platform);
    PauseGate(const PauseGate&) = delete;
    PauseGate& operator=(const PauseGate&) = delete;

    // --- Main thread ---
    // Requests a pause; a second request while paused changes nothing.
    void Pause();
    // Ends a pause, whether the copy thread has parked yet or not; nothing
    // happens while no pause is requested.
    void Resume();
    // A pause is requested (the main thread holds the gate).
    bool Paused() const { return requested.load(std::memory_order_acquire); }
    // The pause has taken effect: it is still requested and the copy thread
    // waits at the gate. False as soon as Resume is called, even before the
    // copy thread wakes.
    bool Parked() const { return Paused() && parked.load(std::memory_order_acquire); }

    // --- Copy thread, before each block ---
    // Returns at once while no pause is requested; otherwise runs settle
    // (what must be finished before the copy counts as parked) and waits
    // until the main thread resumes.
    template <typename Settle>
    void Pass(Settle settle) {
        if (!requested.load(std::memory_order_acquire)) return;
        settle();
        Park();
    }

private:
    void Park();

    Mutex lock;
    std::atomic<bool> requested{false};
    std::atomic<bool> parked{false};
};
