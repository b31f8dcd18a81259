#pragma once
// Mutexes and signals over pthreads, behaving as their Windows kin do.

#include "platform/SyncCalls.h"

class PosixSync : public SyncCalls {
public:
    std::uint32_t NewMutex(NativeHandle& mutex) override;
    MutexWait WaitMutex(NativeHandle mutex, std::uint32_t& error) override;
    std::uint32_t ReleaseMutex(NativeHandle mutex) override;
    std::uint32_t CloseMutex(NativeHandle mutex) override;
    std::uint32_t NewSignal(NativeHandle& signal) override;
    std::uint32_t RaiseSignal(NativeHandle signal) override;
    std::uint32_t WaitSignal(NativeHandle signal, std::uint32_t milliseconds) override;
    std::uint32_t CloseSignal(NativeHandle signal) override;
    void YieldThread() override;
};
