#pragma once
// The lock of every engine structure shared between threads: an unnamed,
// process-local mutex of the platform, owned by the thread that took it.
// Every failure composes a diagnostic line; all but those met while closing
// or releasing in a destructor also throw Exception.

#include "platform/Platform.h"

class Mutex {
public:
    // Creates the lock; throws after "CreateMutex failed." when it cannot.
    explicit Mutex(Platform& platform);
    // Closes the lock. Never throws: a refused close composes "CloseHandle
    // failed." and the handle is given up.
    ~Mutex();
    Mutex(const Mutex&) = delete;
    Mutex& operator=(const Mutex&) = delete;

    // Waits without time-out. Throws after "WAIT_ABANDONED encountered." when
    // the previous owner ended while holding the lock, and after "WAIT_FAILED
    // encountered." when the wait itself fails; after a throw the caller does
    // not hold the lock.
    void Lock();
    // Throws after "ReleaseMutex failed." when the release is refused (the
    // calling thread is not the owner).
    void Unlock();

    // The platform handle; kNoHandle once closed.
    NativeHandle Handle() const { return handle; }

private:
    Platform& platform;
    NativeHandle handle = kNoHandle;
};

// Holds a Mutex for the lifetime of a scope. Taking it throws as Lock does;
// the release at the scope's end never throws (a refused one leaves its
// diagnostic line). Code that must learn of a refused release calls
// Mutex::Unlock itself.
class MutexLock {
public:
    explicit MutexLock(Mutex& mutex) : mutex(mutex) { mutex.Lock(); }
    ~MutexLock();
    MutexLock(const MutexLock&) = delete;
    MutexLock& operator=(const MutexLock&) = delete;

private:
    Mutex& mutex;
};
