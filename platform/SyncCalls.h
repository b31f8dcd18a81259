#pragma once
// The platform's synchronisation: unnamed mutexes and wake-up signals, and
// giving up the rest of a time slice.

#include <cstdint>

#include "platform/PlatformTypes.h"

class SyncCalls {
public:
    virtual ~SyncCalls() = default;

    // --- Unnamed mutex: owned by the thread that acquired it ---
    virtual std::uint32_t NewMutex(NativeHandle& mutex) = 0;
    // Waits without time-out. error is set when the result is Failed.
    virtual MutexWait WaitMutex(NativeHandle mutex, std::uint32_t& error) = 0;
    // Fails with kNotOwner when the calling thread does not own the mutex.
    virtual std::uint32_t ReleaseMutex(NativeHandle mutex) = 0;
    virtual std::uint32_t CloseMutex(NativeHandle mutex) = 0;

    // --- Unnamed wake-up signal (an auto-reset event): Raise wakes one
    // waiter, or, while nobody waits, the next Wait returns at once ---
    virtual std::uint32_t NewSignal(NativeHandle& signal) = 0;
    virtual std::uint32_t RaiseSignal(NativeHandle signal) = 0;
    // Waits until the signal is raised, or for at most milliseconds; a wait
    // that ran out returns kWaitTimeout.
    virtual std::uint32_t WaitSignal(NativeHandle signal, std::uint32_t milliseconds) = 0;
    virtual std::uint32_t CloseSignal(NativeHandle signal) = 0;
    // Offers the rest of the calling thread's time slice to a thread that is
    // ready to run.
    virtual void YieldThread() = 0;
};

// The base of a decorator: passes every call on to inner.
class PassingSyncCalls : public SyncCalls {
public:
    explicit PassingSyncCalls(SyncCalls& inner) : inner(inner) {}

    std::uint32_t NewMutex(NativeHandle& mutex) override { return inner.NewMutex(mutex); }
    MutexWait WaitMutex(NativeHandle mutex, std::uint32_t& error) override { return inner.WaitMutex(mutex, error); }
    std::uint32_t ReleaseMutex(NativeHandle mutex) override { return inner.ReleaseMutex(mutex); }
    std::uint32_t CloseMutex(NativeHandle mutex) override { return inner.CloseMutex(mutex); }
    std::uint32_t NewSignal(NativeHandle& signal) override { return inner.NewSignal(signal); }
    std::uint32_t RaiseSignal(NativeHandle signal) override { return inner.RaiseSignal(signal); }
    std::uint32_t WaitSignal(NativeHandle signal, std::uint32_t milliseconds) override {
        return inner.WaitSignal(signal, milliseconds);
    }
    std::uint32_t CloseSignal(NativeHandle signal) override { return inner.CloseSignal(signal); }
    void YieldThread() override { inner.YieldThread(); }

protected:
    SyncCalls& inner;
};
