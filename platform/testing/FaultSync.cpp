#include <mutex>

#include "platform/testing/FaultCalls.h"

namespace Fault {

std::uint32_t Sync::NewMutex(NativeHandle& mutex) {
    if (std::uint32_t error = state.Check(PlatformCall::NewMutex, L"")) return error;
    return inner.NewMutex(mutex);
}

MutexWait Sync::WaitMutex(NativeHandle mutex, std::uint32_t& error) {
    state.Check(PlatformCall::WaitMutex, L"");
    MutexWait injected = MutexWait::Acquired;
    std::uint32_t injectedError = 0;
    if (const auto hook = state.HookOf(state.waitHook)) hook();
    {
        std::lock_guard<SpinLock> guard(state.lock);
        if (state.waitFaultNth != 0 && ++state.waits == state.waitFaultNth) {
            injected = state.waitFaultResult;
            injectedError = state.waitFaultError;
        }
    }
    if (injected == MutexWait::Failed) {
        error = injectedError;
        return MutexWait::Failed;
    }
    const MutexWait result = inner.WaitMutex(mutex, error);
    if (result == MutexWait::Acquired && injected == MutexWait::Abandoned) {
        error = injectedError;
        return MutexWait::Abandoned;
    }
    return result;
}

std::uint32_t Sync::ReleaseMutex(NativeHandle mutex) {
    if (std::uint32_t error = state.Check(PlatformCall::ReleaseMutex, L"")) return error;
    const std::uint32_t error = inner.ReleaseMutex(mutex);
    if (error != ErrorCode::kSuccess) return error;
    if (const auto hook = state.HookOf(state.releasedHook)) hook();
    return error;
}

std::uint32_t Sync::CloseMutex(NativeHandle mutex) {
    if (std::uint32_t error = state.Check(PlatformCall::CloseMutex, L"")) return error;
    return inner.CloseMutex(mutex);
}

std::uint32_t Sync::NewSignal(NativeHandle& signal) {
    if (std::uint32_t error = state.Check(PlatformCall::NewSignal, L"")) return error;
    return inner.NewSignal(signal);
}

std::uint32_t Sync::RaiseSignal(NativeHandle signal) {
    if (std::uint32_t error = state.Check(PlatformCall::RaiseSignal, L"")) return error;
    return inner.RaiseSignal(signal);
}

std::uint32_t Sync::WaitSignal(NativeHandle signal, std::uint32_t milliseconds) {
    if (std::uint32_t error = state.Check(PlatformCall::WaitSignal, L"")) return error;
    return inner.WaitSignal(signal, milliseconds);
}

}  // namespace Fault
