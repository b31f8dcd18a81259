#include "platform/posix/PosixSync.h"

#include <pthread.h>
#include <sched.h>
#include <time.h>

#include <atomic>
#include <cerrno>
#include <new>

#include "platform/posix/PosixCommon.h"
#include "platform/posix/PosixErrors.h"

using Posix::FromHandle;
using Posix::ToHandle;

namespace {

// A robust recursive mutex with its owner kept beside it, so that a release
// by a thread that does not own it is refused before the C library sees it.
struct OwnedMutex {
    pthread_mutex_t mutex;
    std::atomic<pthread_t> owner{0};
    int depth = 0;  // only the owner touches it
};

// An auto-reset event: the flag keeps a raise that nobody waited for. Its
// waits are timed on the monotonic clock, which a change of the system time
// does not move.
struct Signal {
    pthread_mutex_t mutex = PTHREAD_MUTEX_INITIALIZER;
    pthread_cond_t raised;
    bool set = false;
};

}  // namespace

// A Windows mutex is recursive, owned by a thread, and reports an owner that
// ended while holding it: a robust recursive mutex is the same thing.
std::uint32_t PosixSync::NewMutex(NativeHandle& mutex) {
    auto* created = new (std::nothrow) OwnedMutex;
    if (!created) return ErrorCode::kNotEnoughMemory;
    pthread_mutexattr_t attributes;
    pthread_mutexattr_init(&attributes);
    pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE);
    pthread_mutexattr_setrobust(&attributes, PTHREAD_MUTEX_ROBUST);
    const int error = pthread_mutex_init(&created->mutex, &attributes);
    pthread_mutexattr_destroy(&attributes);
    if (error != 0) {
        delete created;
        return ErrorFromErrno(error);
    }
    mutex = ToHandle(created);
    return ErrorCode::kSuccess;
}

MutexWait PosixSync::WaitMutex(NativeHandle mutex, std::uint32_t& error) {
    auto* lock = FromHandle<OwnedMutex>(mutex);
    if (mutex == kNoHandle || !lock) {
        error = ErrorCode::kInvalidHandle;
        return MutexWait::Failed;
    }
    const int result = pthread_mutex_lock(&lock->mutex);
    const pthread_t self = pthread_self();
    if (result == 0) {
        if (lock->depth > 0 && pthread_equal(lock->owner.load(), self)) {
            ++lock->depth;
        } else {
            lock->owner = self;
            lock->depth = 1;
        }
        return MutexWait::Acquired;
    }
    if (result == EOWNERDEAD) {
        // The caller owns it now; like a Windows mutex it stays usable.
        pthread_mutex_consistent(&lock->mutex);
        lock->owner = self;
        lock->depth = 1;
        error = ErrorCode::kAbandonedWait0;
        return MutexWait::Abandoned;
    }
    error = result == ENOTRECOVERABLE ? ErrorCode::kInvalidHandle : ErrorFromErrno(result);
    return MutexWait::Failed;
}

std::uint32_t PosixSync::ReleaseMutex(NativeHandle mutex) {
    auto* lock = FromHandle<OwnedMutex>(mutex);
    if (mutex == kNoHandle || !lock) return ErrorCode::kInvalidHandle;
    if (!pthread_equal(lock->owner.load(), pthread_self()) || lock->depth == 0) return ErrorCode::kNotOwner;
    if (--lock->depth == 0) lock->owner = 0;
    return ErrorFromErrno(pthread_mutex_unlock(&lock->mutex));
}

std::uint32_t PosixSync::CloseMutex(NativeHandle mutex) {
    auto* lock = FromHandle<OwnedMutex>(mutex);
    if (mutex == kNoHandle || !lock) return ErrorCode::kInvalidHandle;
    // A Windows handle may be closed while the mutex is held; a held POSIX
    // mutex must not be destroyed (its owner's robust list still points at
    // it), so its memory is then left to the process.
    if (lock->owner.load() != 0) return ErrorCode::kSuccess;
    if (pthread_mutex_destroy(&lock->mutex) == 0) delete lock;
    return ErrorCode::kSuccess;
}

std::uint32_t PosixSync::NewSignal(NativeHandle& signal) {
    auto* created = new (std::nothrow) Signal;
    if (!created) return ErrorCode::kNotEnoughMemory;
    pthread_condattr_t attributes;
    int error = pthread_condattr_init(&attributes);
    if (error == 0) {
        error = pthread_condattr_setclock(&attributes, CLOCK_MONOTONIC);
        if (error == 0) error = pthread_cond_init(&created->raised, &attributes);
        pthread_condattr_destroy(&attributes);
    }
    if (error != 0) {
        delete created;
        return ErrorFromErrno(error);
    }
    signal = ToHandle(created);
    return ErrorCode::kSuccess;
}

std::uint32_t PosixSync::RaiseSignal(NativeHandle signal) {
    auto* event = FromHandle<Signal>(signal);
    if (signal == kNoHandle || !event) return ErrorCode::kInvalidHandle;
    pthread_mutex_lock(&event->mutex);
    event->set = true;
    pthread_cond_signal(&event->raised);
    pthread_mutex_unlock(&event->mutex);
    return ErrorCode::kSuccess;
}

std::uint32_t PosixSync::WaitSignal(NativeHandle signal, std::uint32_t milliseconds) {
    auto* event = FromHandle<Signal>(signal);
    if (signal == kNoHandle || !event) return ErrorCode::kInvalidHandle;
    struct timespec deadline;
    clock_gettime(CLOCK_MONOTONIC, &deadline);
    deadline.tv_sec += static_cast<time_t>(milliseconds / 1000);
    deadline.tv_nsec += static_cast<long>(milliseconds % 1000) * 1000000L;
    if (deadline.tv_nsec >= 1000000000L) {
        deadline.tv_sec += 1;
        deadline.tv_nsec -= 1000000000L;
    }
    pthread_mutex_lock(&event->mutex);
    int waited = 0;
    while (!event->set && waited != ETIMEDOUT) waited = pthread_cond_timedwait(&event->raised, &event->mutex, &deadline);
    const bool raised = event->set;
    event->set = false;
    pthread_mutex_unlock(&event->mutex);
    return raised ? ErrorCode::kSuccess : ErrorCode::kWaitTimeout;
}

std::uint32_t PosixSync::CloseSignal(NativeHandle signal) {
    auto* event = FromHandle<Signal>(signal);
    if (signal == kNoHandle || !event) return ErrorCode::kInvalidHandle;
    pthread_cond_destroy(&event->raised);
    pthread_mutex_destroy(&event->mutex);
    delete event;
    return ErrorCode::kSuccess;
}

void PosixSync::YieldThread() { sched_yield(); }
