#pragma once
// Threads (pthreads) and time (the monotonic clock) over POSIX.

#include "platform/ThreadCalls.h"

class PosixThreads : public ThreadCalls {
public:
    std::uint32_t StartThread(ThreadBody body, void* argument, ThreadHandle& thread) override;
    void JoinThread(NativeHandle thread) noexcept override;
    void SleepMilliseconds(std::uint32_t milliseconds) override;
    void KeepAwake(bool on) override;
    std::uint32_t TickCount() override;
};
