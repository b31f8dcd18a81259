#include <mutex>

#include "platform/testing/FaultCalls.h"

namespace Fault {

std::uint32_t Threads::StartThread(ThreadBody body, void* argument, ThreadHandle& thread) {
    if (std::uint32_t error = state.Check(PlatformCall::StartThread, L"")) return error;
    ThreadHandle started;
    const std::uint32_t error = inner.StartThread(body, argument, started);
    if (error) return error;
    thread.reset(*this, started.release());
    return ErrorCode::kSuccess;
}

void Threads::SleepMilliseconds(std::uint32_t milliseconds) {
    bool instant = false;
    {
        std::lock_guard<SpinLock> guard(state.lock);
        state.sleeps.push_back(milliseconds);
        instant = state.instantSleeps;
    }
    if (!instant) inner.SleepMilliseconds(milliseconds);
}

void Threads::KeepAwake(bool on) {
    {
        std::lock_guard<SpinLock> guard(state.lock);
        state.keepAwakeCalls.push_back(on);
    }
    inner.KeepAwake(on);
}

}  // namespace Fault
