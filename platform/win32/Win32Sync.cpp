#include "platform/win32/Win32Sync.h"

#include <windows.h>

#include "platform/win32/Win32Values.h"

using Win32::AsHandle;
using Win32::FromHandle;
using Win32::LastError;

std::uint32_t Win32Sync::NewMutex(NativeHandle& mutex) {
    const HANDLE handle = CreateMutexW(nullptr, FALSE, nullptr);
    if (!handle) return LastError();
    mutex = FromHandle(handle);
    return ERROR_SUCCESS;
}

MutexWait Win32Sync::WaitMutex(NativeHandle mutex, std::uint32_t& error) {
    for (;;) {
        switch (WaitForSingleObject(AsHandle(mutex), INFINITE)) {
            case WAIT_OBJECT_0:
                return MutexWait::Acquired;
            case WAIT_ABANDONED:
                error = ErrorCode::kAbandonedWait0;
                return MutexWait::Abandoned;
            case WAIT_FAILED:
                error = LastError();
                return MutexWait::Failed;
            default:
                break;  // no time-out was asked for: wait again
        }
    }
}

std::uint32_t Win32Sync::ReleaseMutex(NativeHandle mutex) {
    return ::ReleaseMutex(AsHandle(mutex)) ? ERROR_SUCCESS : LastError();
}

std::uint32_t Win32Sync::CloseMutex(NativeHandle mutex) {
    return CloseHandle(AsHandle(mutex)) ? ERROR_SUCCESS : LastError();
}

std::uint32_t Win32Sync::NewSignal(NativeHandle& signal) {
    const HANDLE handle = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (!handle) return LastError();
    signal = FromHandle(handle);
    return ERROR_SUCCESS;
}

std::uint32_t Win32Sync::RaiseSignal(NativeHandle signal) {
    return SetEvent(AsHandle(signal)) ? ERROR_SUCCESS : LastError();
}

std::uint32_t Win32Sync::WaitSignal(NativeHandle signal, std::uint32_t milliseconds) {
    const DWORD result = WaitForSingleObject(AsHandle(signal), milliseconds);
    if (result == WAIT_OBJECT_0) return ERROR_SUCCESS;
    if (result == WAIT_FAILED) return LastError();
    return WAIT_TIMEOUT;
}

std::uint32_t Win32Sync::CloseSignal(NativeHandle signal) {
    return CloseHandle(AsHandle(signal)) ? ERROR_SUCCESS : LastError();
}

void Win32Sync::YieldThread() { SwitchToThread(); }
