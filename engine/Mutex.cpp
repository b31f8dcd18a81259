#include "engine/Mutex.h"

#include "core/Diagnostics.h"

namespace {

int Code(std::uint32_t error) { return static_cast<int>(error); }

}  // namespace

Mutex::Mutex(Platform& platform) : platform(platform) {
    const std::uint32_t error = platform.Sync().NewMutex(handle);
    if (error != ErrorCode::kSuccess) {
        handle = kNoHandle;
        Diagnostics::Raise(L"CreateMutex failed.", Code(error));
    }
}

Mutex::~Mutex() {
    if (handle == kNoHandle) return;
    const std::uint32_t error = platform.Sync().CloseMutex(handle);
    handle = kNoHandle;
    if (error == ErrorCode::kSuccess) return;
    // A destructor has nobody to hand the failure to: the line is its record.
    try {
        Diagnostics::Report(L"CloseHandle failed.", Code(error));
    } catch (...) {
        // Not even the line could be composed (out of memory); nothing is left to do.
    }
}

void Mutex::Lock() {
    std::uint32_t error = ErrorCode::kSuccess;
    switch (platform.Sync().WaitMutex(handle, error)) {
        case MutexWait::Acquired:
            return;
        case MutexWait::Abandoned:
            // The wait made this thread the owner; give the lock back so that
            // the throw leaves it usable rather than abandoned once more.
            platform.Sync().ReleaseMutex(handle);
            Diagnostics::Raise(L"WAIT_ABANDONED encountered.", Code(error));
        case MutexWait::Failed:
            // A wait that fails once fails again: retrying would spin forever.
            Diagnostics::Raise(L"WAIT_FAILED encountered.", Code(error));
    }
    Diagnostics::Raise(L"WAIT_FAILED encountered.", Code(error));
}

void Mutex::Unlock() {
    const std::uint32_t error = platform.Sync().ReleaseMutex(handle);
    if (error != ErrorCode::kSuccess) Diagnostics::Raise(L"ReleaseMutex failed.", Code(error));
}

MutexLock::~MutexLock() {
    try {
        mutex.Unlock();
    } catch (...) {
        // Unlock wrote the line before it threw; a destructor carries on
        // (and never throws a second exception while one unwinds).
    }
}
