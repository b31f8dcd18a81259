#include "platform/posix/PosixThreads.h"

#include <pthread.h>
#include <time.h>

#include <cerrno>
#include <new>

#include "platform/posix/PosixCommon.h"
#include "platform/posix/PosixErrors.h"

using Posix::FromHandle;
using Posix::ToHandle;

namespace {

struct Thread {
    pthread_t id{};
    ThreadBody body = nullptr;
    void* argument = nullptr;
};

void* ThreadTrampoline(void* start) {
    auto* thread = static_cast<Thread*>(start);
    thread->body(thread->argument);
    return nullptr;
}

}  // namespace

std::uint32_t PosixThreads::StartThread(ThreadBody body, void* argument, ThreadHandle& thread) {
    auto* started = new (std::nothrow) Thread;
    if (!started) return ErrorCode::kNotEnoughMemory;
    started->body = body;
    started->argument = argument;
    const int error = pthread_create(&started->id, nullptr, &ThreadTrampoline, started);
    if (error != 0) {
        delete started;
        return ErrorFromErrno(error);
    }
    thread.reset(*this, ToHandle(started));
    return ErrorCode::kSuccess;
}

void PosixThreads::JoinThread(NativeHandle thread) noexcept {
    auto* started = FromHandle<Thread>(thread);
    if (!started) return;
    pthread_join(started->id, nullptr);
    delete started;
}

void PosixThreads::SleepMilliseconds(std::uint32_t milliseconds) {
    timespec remaining{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L};
    while (nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
    }
}

// Nothing here puts the machine to sleep behind a running program.
void PosixThreads::KeepAwake(bool) {}

std::uint32_t PosixThreads::TickCount() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const std::uint64_t milliseconds =
        static_cast<std::uint64_t>(now.tv_sec) * 1000u + static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<std::uint32_t>(milliseconds);
}
