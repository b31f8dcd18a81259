#pragma once
// A helper thread that runs the last step of each copied file (closing the
// source, closing the target and giving it its name) while the copy thread
// goes on with the next file. Closing and naming wait on the file system
// more than they work; overlapped with the next file's copy, that waiting
// stops adding to the job's time.
//
// One step is in hand at a time, and steps run in the order handed, so a
// file's outcome is always settled before anything about a later file is
// reported. The copy thread settles before it reports, before it parks at
// the pause gate and at the end of the job: whatever the window sees then
// stays as it is.
//
// Handing and settling cost no platform call while the other side is awake:
// each side spins a little (yielding) before it sleeps on a signal, and a
// signal is raised only for a side that sleeps. Without the helper thread
// (outside a job, where the platform gains nothing by it, or when it could
// not be started or stopped waiting) a step runs at once on the thread that
// hands it.
//
// A sleeping side also looks again every few milliseconds, so a wake-up that
// fails (a diagnostic line) only delays it. A wait that fails throws
// Exception after its diagnostic line; an exception a step throws is thrown
// again by the next Settle.

#include <atomic>
#include <exception>

#include "platform/Platform.h"

class FinishingThread {
public:
    using Step = void (*)(void* context);

    FinishingThread(Platform& platform, Step step, void* context);
    ~FinishingThread() { Stop(); }
    FinishingThread(const FinishingThread&) = delete;
    FinishingThread& operator=(const FinishingThread&) = delete;

    // --- The copy thread ---
    // Starts the helper thread; when it cannot start, steps run on the
    // caller (a diagnostic line says why).
    void Start();
    // Lets the step in hand end, then ends and joins the helper thread. An
    // exception that step threw is dropped: call Settle first to see it.
    void Stop() noexcept;
    // Waits until no step is in hand; throws again what the last step threw.
    void Settle();
    // Runs the step once more: on the helper thread, or at once without it.
    // The step in hand must be settled first: its context is reused.
    void Hand();
    // A step is in hand and has not ended yet.
    bool Busy() const { return busy.load(); }

    // Starts the helper thread for a scope, where the platform gains by it
    // (FileCalls::OverlapsFinishing), and stops it at the scope's end.
    class Running {
    public:
        Running(FinishingThread& thread, bool start) : thread(thread) {
            if (start) thread.Start();
        }
        ~Running() { thread.Stop(); }
        Running(const Running&) = delete;
        Running& operator=(const Running&) = delete;

    private:
        FinishingThread& thread;
    };

private:
    static std::uint32_t ThreadMain(void* self);
    void Loop();
    // Returns once done() is true: spins a little, then sleeps on signal,
    // saying so in asleep for the side that wakes it.
    template <typename Condition>
    void Await(Condition done, std::atomic<bool>& asleep, NativeHandle signal);
    // Raises signal when the other side sleeps on it. A raise that fails
    // leaves a diagnostic line; the sleeper finds the news at its next look.
    void Wake(const std::atomic<bool>& asleep, NativeHandle signal) noexcept;
    void CloseSignals() noexcept;
    // Forgets the last job's flags and any failure nobody settled.
    void ClearState() noexcept;

    Platform& platform;
    Step step;
    void* context;
    ThreadHandle thread;
    NativeHandle work = kNoHandle;   // wakes the helper: a step or the stop is in hand
    NativeHandle ended = kNoHandle;  // wakes the copy thread: the step in hand ended
    std::atomic<bool> busy{false};
    std::atomic<bool> stopping{false};
    std::atomic<bool> helperAsleep{false};
    std::atomic<bool> callerAsleep{false};
    std::atomic<bool> gone{false};  // the helper ended on a failed wait
    // What the last step threw (written by the helper before busy is
    // cleared, read by the copy thread after it sees busy clear).
    std::exception_ptr failure;
    // Why the helper ended (written before gone is set, read after).
    std::exception_ptr helperFailure;
};
