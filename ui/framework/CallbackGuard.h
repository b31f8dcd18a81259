#pragma once
// A C++ exception must not unwind through the window system's own frames
// (window procedures, timer callbacks): the system code in between is not
// built for it. Every callback of the framework therefore runs its handler
// inside Guard. An exception is kept for the thread, the thread's message
// loops are ended with WM_QUIT, and MessageLoop::Run throws it again once it
// is back in our own code, where the start-up handler can catch it. Until
// then no further guarded handler of the thread runs: the objects behind
// them may be half-way through an operation.

#include <exception>

namespace Framework {
namespace CallbackGuard {

// Runs body unless a failure is pending; an escaping exception is kept and
// a quit message is posted to the calling thread. True when body ran through.
template <class Body>
bool Guard(Body&& body) noexcept;

// Keeps the exception being handled and posts the quit message.
void Keep(std::exception_ptr failure) noexcept;

// True when a callback of this thread failed and the failure was not yet
// thrown again.
bool Pending() noexcept;

// Throws the kept exception of this thread, if any, and forgets it together
// with the quit message posted for it.
void RethrowPending();

template <class Body>
bool Guard(Body&& body) noexcept {
    if (Pending()) return false;
    try {
        body();
        return true;
    } catch (...) {
        Keep(std::current_exception());
        return false;
    }
}

}  // namespace CallbackGuard
}  // namespace Framework
