#include "engine/PauseGate.h"

PauseGate::PauseGate(Platform& platform) : lock(platform) {}

void PauseGate::Pause() {
    if (requested.load(std::memory_order_acquire)) return;
    // The copy thread holds the lock only for the instant it passes a parked
    // gate, so this returns at once.
    lock.Lock();
    requested.store(true, std::memory_order_release);
}

void PauseGate::Resume() {
    if (!requested.load(std::memory_order_acquire)) return;
    requested.store(false, std::memory_order_release);
    lock.Unlock();
}

void PauseGate::Park() {
    parked.store(true, std::memory_order_release);
    // Waits while the main thread holds the lock, then lets it go again.
    // No longer parked before the lock is free: a new pause that takes it
    // must not see this pass as parked.
    try {
        lock.Lock();
    } catch (...) {
        parked.store(false, std::memory_order_release);
        throw;
    }
    parked.store(false, std::memory_order_release);
    // Released by hand rather than by a MutexLock so that a refused release
    // still throws to the copy thread.
    lock.Unlock();
}
