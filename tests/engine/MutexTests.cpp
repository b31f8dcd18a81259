#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "core/Diagnostics.h"
#include "core/Exception.h"
#include "engine/ItemQueue.h"
#include "engine/Mutex.h"
#include "platform/testing/FaultPlatform.h"

namespace {

using namespace std::chrono_literals;

TEST(Mutex, ReleasedLockIsTakenAtOnceByAnotherThread) {
    Mutex mutex(SystemPlatform());
    std::thread([&] {
        mutex.Lock();
        mutex.Unlock();
    }).join();
    std::atomic<bool> taken{false};
    std::thread([&] {
        mutex.Lock();
        taken = true;
        mutex.Unlock();
    }).join();
    EXPECT_TRUE(taken);
}

TEST(Mutex, WaiterStaysBlockedUntilTheOwnerReleases) {
    Mutex mutex(SystemPlatform());
    mutex.Lock();
    std::atomic<bool> taken{false};
    std::thread waiter([&] {
        mutex.Lock();
        taken = true;
        mutex.Unlock();
    });
    std::this_thread::sleep_for(50ms);
    EXPECT_FALSE(taken);
    mutex.Unlock();
    waiter.join();
    EXPECT_TRUE(taken);
}

TEST(Mutex, LockLeftByAnEndedThreadThrowsAsAbandoned) {
    Mutex mutex(SystemPlatform());
    std::thread([&] { mutex.Lock(); }).join();
    Diagnostics::Capture capture;
    EXPECT_THROW(mutex.Lock(), Exception);
    EXPECT_TRUE(capture.Contains(L"WAIT_ABANDONED encountered. [735]\n"));
    // The throw left the lock free, not abandoned again.
    std::thread([&] {
        mutex.Lock();
        mutex.Unlock();
    }).join();
    mutex.Lock();
    mutex.Unlock();
}

TEST(Mutex, ReleaseByAThreadThatDoesNotOwnItThrows) {
    Mutex mutex(SystemPlatform());
    Diagnostics::Capture capture;
    EXPECT_THROW(mutex.Unlock(), Exception);
    EXPECT_TRUE(capture.Contains(L"ReleaseMutex failed. [288]\n"));
    mutex.Lock();
    std::thread([&] { EXPECT_THROW(mutex.Unlock(), Exception); }).join();
    mutex.Unlock();
}

TEST(Mutex, FailedWaitThrowsInsteadOfWaitingAgain) {
    FaultPlatform platform(SystemPlatform());
    platform.FailMutexWait(1, MutexWait::Failed, ErrorCode::kInvalidHandle);
    Mutex mutex(platform);
    Diagnostics::Capture capture;
    EXPECT_THROW(mutex.Lock(), Exception);
    EXPECT_TRUE(capture.Contains(L"WAIT_FAILED encountered. [6]\n"));
    EXPECT_EQ(platform.Calls(PlatformCall::WaitMutex), 1);
}

TEST(Mutex, CreateFailureThrowsAndCloseFailureIsOnlyReported) {
    FaultPlatform platform(SystemPlatform());
    Diagnostics::Capture capture;
    platform.Fail(PlatformCall::NewMutex, L"", ErrorCode::kNotEnoughMemory, 1, 1);
    EXPECT_THROW(Mutex{platform}, Exception);
    EXPECT_TRUE(capture.Contains(L"CreateMutex failed. [8]\n"));
    platform.Fail(PlatformCall::CloseMutex, L"", ErrorCode::kInvalidHandle, 1, 1);
    auto* mutex = new Mutex(platform);
    const NativeHandle handle = mutex->Handle();
    EXPECT_NO_THROW(delete mutex);
    EXPECT_TRUE(capture.Contains(L"CloseHandle failed. [6]\n"));
    SystemPlatform().Sync().CloseMutex(handle);  // the refused close left it open
}

TEST(ItemQueue, PopsInPushOrderAcrossThreads) {
    ItemQueue queue(SystemPlatform());
    ItemResult item;
    EXPECT_TRUE(queue.IsEmpty());
    EXPECT_FALSE(queue.Pop(item));
    constexpr int kPerThread = 500;
    auto pusher = [&](ResultCode code) {
        for (int i = 0; i < kPerThread; ++i) queue.Push({code, L"p", std::to_wstring(i), static_cast<std::uint32_t>(i)});
    };
    std::thread a(pusher, ResultCode::FileLocked);
    std::thread b(pusher, ResultCode::PartialCopy);
    int popped = 0;
    int next[2] = {0, 0};
    while (popped < 2 * kPerThread) {
        if (!queue.Pop(item)) continue;
        const int which = item.code == ResultCode::FileLocked ? 0 : 1;
        EXPECT_EQ(item.error, static_cast<std::uint32_t>(next[which]));
        ++next[which];
        ++popped;
    }
    a.join();
    b.join();
    EXPECT_TRUE(queue.IsEmpty());
}

}  // namespace
