#pragma once
// What discovery and the copy share: a thread of their own that runs the
// job's body, the flags the main thread polls while it runs, and how an
// unexpected failure ends it.

#include <atomic>

#include "platform/Platform.h"

class BackgroundJob {
public:
    BackgroundJob(const BackgroundJob&) = delete;
    BackgroundJob& operator=(const BackgroundJob&) = delete;

    // --- What the main thread reads while the job runs ---
    bool HasStarted() const { return started; }
    // The job reached its end (not stopped, not failed).
    bool IsDone() const { return done; }
    // The job's thread ended on an unexpected failure (an exception from a
    // lock, say); done then stays false.
    bool HasFailed() const { return failed; }
    // A job thread is held (running, or finished and not yet joined).
    bool HasThread() const { return static_cast<bool>(thread); }

    // The job's body, on the calling thread. Tests and benchmarks run a job
    // with it where no thread of its own is wanted.
    virtual void Run() = 0;

protected:
    explicit BackgroundJob(Platform& platform) : platform(platform) {}
    // A job joins its thread in its own destructor, while all it uses is
    // still there.
    ~BackgroundJob() = default;

    // Starts Run on a thread of its own. Throws after "CreateThread failed.".
    void StartThread();
    // On the job's thread, after Run threw: failed is set and the system is
    // no longer kept awake by then.
    virtual void Failed() {}

    Platform& platform;
    ThreadHandle thread;
    std::atomic<bool> started{false};
    std::atomic<bool> done{false};
    std::atomic<bool> failed{false};

private:
    static std::uint32_t ThreadMain(void* job);
};
