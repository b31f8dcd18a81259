#include "engine/FinishingThread.h"

#include "core/Diagnostics.h"

namespace {

// Yields before a side sleeps: a file's last step takes about as long as
// the next file's copy, so the other side is usually back within them.
constexpr int kSpins = 2000;
// A sleeping side looks again after this long even unwoken, so a wake-up
// that failed costs a moment, never a thread.
constexpr std::uint32_t kRecheckMilliseconds = 50;

int Code(std::uint32_t error) { return static_cast<int>(error); }

// Throws what thrown holds, once.
void ThrowOnce(std::exception_ptr& thrown) {
    if (!thrown) return;
    std::exception_ptr held = thrown;
    thrown = nullptr;
    std::rethrow_exception(held);
}

}  // namespace

FinishingThread::FinishingThread(Platform& platform, Step step, void* context)
    : platform(platform), step(step), context(context) {}

void FinishingThread::Start() {
    if (thread) return;
    ClearState();
    std::uint32_t error = platform.Sync().NewSignal(work);
    if (error == ErrorCode::kSuccess) error = platform.Sync().NewSignal(ended);
    if (error != ErrorCode::kSuccess) {
        Diagnostics::Report(L"CreateEvent failed.", Code(error));
        CloseSignals();
        return;
    }
    error = platform.Threads().StartThread(&FinishingThread::ThreadMain, this, thread);
    if (error != ErrorCode::kSuccess) {
        Diagnostics::Report(L"CreateThread failed.", Code(error));
        CloseSignals();
    }
}

void FinishingThread::Stop() noexcept {
    if (!thread) return;
    stopping = true;
    Wake(helperAsleep, work);
    // Joins; the step in hand runs to its end first, and an unwoken helper
    // sees the stop at its next look.
    thread.reset();
    CloseSignals();
    ClearState();
}

void FinishingThread::ClearState() noexcept {
    stopping = false;
    busy = false;
    gone = false;
    failure = nullptr;
    helperFailure = nullptr;
}

void FinishingThread::Settle() {
    if (busy.load()) Await([this] { return !busy.load() || gone.load(); }, callerAsleep, ended);
    if (gone.load()) {
        // The helper could not wait for work any more: a step it never took
        // runs here, and the job learns why the helper stopped.
        if (busy.load()) {
            busy = false;
            step(context);
        }
        ThrowOnce(helperFailure);
    }
    ThrowOnce(failure);
}

void FinishingThread::Hand() {
    if (!thread || gone.load()) {
        step(context);
        return;
    }
    busy = true;
    Wake(helperAsleep, work);
}

std::uint32_t FinishingThread::ThreadMain(void* self) {
    static_cast<FinishingThread*>(self)->Loop();
    return 0;
}

void FinishingThread::Loop() {
    for (;;) {
        try {
            Await([this] { return busy.load() || stopping.load(); }, helperAsleep, work);
        } catch (const std::exception&) {
            // Without its wait the helper cannot go on: the copy thread runs
            // the steps itself from now on and learns why at its next Settle.
            helperFailure = std::current_exception();
            gone = true;
            Wake(callerAsleep, ended);
            return;
        }
        if (!busy.load()) return;  // stopping, and nothing in hand
        try {
            step(context);
        } catch (...) {
            failure = std::current_exception();
        }
        busy = false;
        Wake(callerAsleep, ended);
    }
}

template <typename Condition>
void FinishingThread::Await(Condition done, std::atomic<bool>& asleep, NativeHandle signal) {
    for (int spin = 0; spin < kSpins; ++spin) {
        if (done()) return;
        platform.Sync().YieldThread();
    }
    // Saying "asleep" before the last look means a side that changes the
    // state after that look sees the flag and raises the signal; a raise
    // left over from an earlier round only costs one more look.
    for (;;) {
        asleep = true;
        if (done()) break;
        const std::uint32_t error = platform.Sync().WaitSignal(signal, kRecheckMilliseconds);
        if (error != ErrorCode::kSuccess && error != ErrorCode::kWaitTimeout) {
            asleep = false;
            Diagnostics::Raise(L"WAIT_FAILED encountered.", Code(error));
        }
    }
    asleep = false;
}

void FinishingThread::Wake(const std::atomic<bool>& asleep, NativeHandle signal) noexcept {
    if (!asleep.load()) return;
    const std::uint32_t error = platform.Sync().RaiseSignal(signal);
    if (error == ErrorCode::kSuccess) return;
    // The sleeper looks again soon all the same; the line says why it was late.
    try {
        Diagnostics::Report(L"SetEvent failed.", Code(error));
    } catch (...) {
    }
}

void FinishingThread::CloseSignals() noexcept {
    // Close results are ignored: nobody waits on either signal any more, and
    // a refused close leaves nothing this thread could retry or undo.
    if (work != kNoHandle) platform.Sync().CloseSignal(work);
    if (ended != kNoHandle) platform.Sync().CloseSignal(ended);
    work = kNoHandle;
    ended = kNoHandle;
}
