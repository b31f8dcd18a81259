#include "engine/Mutex.h"

#include <exception>

#include "app/core/Diagnostics.h"
#include "app/core/Exception.h"

namespace {

int Code(std::uint32_t error) { return static_cast<int>(error); }

}  // namespace

Mutex::Mutex(Platform& platform) : platform(platform) {
    const std::uint32_t error = platform.NewMutex(handle);
    if (error != ErrorCode::kSuccess) {
        handle = kNoHandle;
        Diagnostics::Raise(L"CreateMutex failed.", Code(error));
    }
}

Mutex::~Mutex() noexcept(false) {
    if (handle == kNoHandle) return;
    const std::uint32_t error = platform.CloseMutex(handle);
    handle = kNoHandle;
    if (error == ErrorCode::kSuccess) return;
    if (std::uncaught_exceptions() > 0) {
        Diagnostics::Report(L"CloseHandle failed.", Code(error));
        return;
    }
    Diagnostics::Raise(L"CloseHandle failed.", Code(error));
}

void Mutex::Lock() {
    std::uint32_t error = ErrorCode::kSuccess;
    switch (platform.WaitMutex(handle, error)) {
        case MutexWait::Acquired:
            return;
        case MutexWait::Abandoned:
            // The wait made this thread the owner; give the lock back so that
            // the throw leaves it usable rather than abandoned once more.
            platform.ReleaseMutex(handle);
            Diagnostics::Raise(L"WAIT_ABANDONED encountered.", Code(error));
        case MutexWait::Failed:
            // A wait that fails once fails again: retrying would spin forever.
            Diagnostics::Raise(L"WAIT_FAILED encountered.", Code(error));
    }
    Diagnostics::Raise(L"WAIT_FAILED encountered.", Code(error));
}

void Mutex::Unlock() {
    const std::uint32_t error = platform.ReleaseMutex(handle);
    if (error != ErrorCode::kSuccess) Diagnostics::Raise(L"ReleaseMutex failed.", Code(error));
}

MutexLock::~MutexLock() noexcept(false) {
    if (std::uncaught_exceptions() > 0) {
        // Unwinding already: release if we can, but never throw a second exception.
        try {
            mutex.Unlock();
        } catch (const Exception&) {
        }
        return;
    }
    mutex.Unlock();
}
