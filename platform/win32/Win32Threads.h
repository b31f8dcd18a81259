#pragma once
// Threads and time over Win32.

#include "platform/ThreadCalls.h"

class Win32Threads : public ThreadCalls {
public:
    std::uint32_t StartThread(ThreadBody body, void* argument, ThreadHandle& thread) override;
    void JoinThread(NativeHandle thread) noexcept override;
    void SleepMilliseconds(std::uint32_t milliseconds) override;
    void KeepAwake(bool on) override;
    std::uint32_t TickCount() override;
};
