#pragma once
// The platform's threads and time.

#include <cstdint>

#include "platform/PlatformTypes.h"

class ThreadCalls {
public:
    virtual ~ThreadCalls() = default;

    // Starts body(argument) on a new thread with the default stack.
    virtual std::uint32_t StartThread(ThreadBody body, void* argument, ThreadHandle& thread) = 0;
    // Waits without time-out for the thread to end, then frees its handle.
    // On Windows the waiting thread meanwhile answers sent messages and
    // repaints its windows (nothing posted runs).
    virtual void JoinThread(NativeHandle thread) noexcept = 0;
    virtual void SleepMilliseconds(std::uint32_t milliseconds) = 0;
    // While on, the system does not sleep (continuous, system and away mode
    // required, or without away mode where the system refuses it); off
    // restores the default. Acts on the calling thread.
    virtual void KeepAwake(bool on) = 0;
    // Milliseconds since an arbitrary start; wraps at 32 bits.
    virtual std::uint32_t TickCount() = 0;
};

// The base of a decorator: passes every call on to inner; threads inner
// starts are joined through this object.
class PassingThreadCalls : public ThreadCalls {
public:
    explicit PassingThreadCalls(ThreadCalls& inner) : inner(inner) {}

    std::uint32_t StartThread(ThreadBody body, void* argument, ThreadHandle& thread) override {
        return AdoptHandle(inner.StartThread(body, argument, thread), thread, *this);
    }
    void JoinThread(NativeHandle thread) noexcept override { inner.JoinThread(thread); }
    void SleepMilliseconds(std::uint32_t milliseconds) override { inner.SleepMilliseconds(milliseconds); }
    void KeepAwake(bool on) override { inner.KeepAwake(on); }
    std::uint32_t TickCount() override { return inner.TickCount(); }

protected:
    ThreadCalls& inner;
};
