// The finishing thread's hand-over: every step runs once, in order, whatever
// the timing of either side; failures come back to the copy thread; and
// without the helper a step runs at once on the caller.

#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <thread>
#include <vector>

#include "core/Diagnostics.h"
#include "core/Exception.h"
#include "engine/FinishingThread.h"
#include "platform/testing/FaultPlatform.h"

namespace {

// What the steps see: the number the caller handed last, and every number in
// the order the steps ran, with the thread they ran on.
struct Steps {
    int handed = 0;
    int throwAt = -1;
    std::vector<int> ran;
    std::vector<std::thread::id> threads;
    std::mt19937 random{7};  // the step's own delays (only steps touch it)

    static void Run(void* context) {
        auto* self = static_cast<Steps*>(context);
        const int spins = static_cast<int>(self->random() % 200);
        for (int i = 0; i < spins; ++i) std::this_thread::yield();
        self->ran.push_back(self->handed);
        self->threads.push_back(std::this_thread::get_id());
        if (self->handed == self->throwAt) Diagnostics::Raise(L"step failed.", 5);
    }
};

TEST(FinishingThread, StepsRunOnceEachInOrderWhateverEitherSideDoes) {
    for (bool started : {true, false}) {
        SCOPED_TRACE(started ? "with the helper" : "without it");
        FaultPlatform platform(SystemPlatform());
        Steps steps;
        FinishingThread finishing(platform, &Steps::Run, &steps);
        std::mt19937 random(started ? 1 : 2);
        {
            FinishingThread::Running helper(finishing, started);
            for (int n = 1; n <= 300; ++n) {
                finishing.Settle();
                // Settled: every step handed so far has run, and the context
                // may be written again.
                ASSERT_EQ(steps.ran.size(), static_cast<std::size_t>(n - 1));
                steps.handed = n;
                finishing.Hand();
                // The caller goes on for a while, or at once, or sleeps long
                // enough for the helper to fall asleep too.
                const unsigned roll = random() % 20;
                if (roll == 0) std::this_thread::sleep_for(std::chrono::milliseconds(2));
                for (unsigned i = 0; i < roll * 10; ++i) std::this_thread::yield();
            }
            finishing.Settle();
        }
        ASSERT_EQ(steps.ran.size(), 300u);
        for (int n = 1; n <= 300; ++n) EXPECT_EQ(steps.ran[n - 1], n);
        const auto caller = std::this_thread::get_id();
        for (const auto& thread : steps.threads) EXPECT_EQ(thread == caller, !started);
        EXPECT_FALSE(finishing.Busy());
    }
}

TEST(FinishingThread, AStepsExceptionComesBackAtTheNextSettleAndLaterStepsStillRun) {
    FaultPlatform platform(SystemPlatform());
    Steps steps;
    steps.throwAt = 2;
    FinishingThread finishing(platform, &Steps::Run, &steps);
    FinishingThread::Running helper(finishing, true);
    Diagnostics::Capture capture;
    for (int n = 1; n <= 3; ++n) {
        if (n == 3) {
            EXPECT_THROW(finishing.Settle(), Exception);
            EXPECT_TRUE(capture.Contains(L"step failed. [5]\n"));
        }
        finishing.Settle();
        steps.handed = n;
        finishing.Hand();
    }
    finishing.Settle();
    EXPECT_EQ(steps.ran, (std::vector<int>{1, 2, 3}));
}

TEST(FinishingThread, StopLetsTheStepInHandEnd) {
    FaultPlatform platform(SystemPlatform());
    std::atomic<bool> ended{false};
    struct Slow {
        std::atomic<bool>* ended;
        static void Run(void* context) {
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
            *static_cast<Slow*>(context)->ended = true;
        }
    } slow{&ended};
    FinishingThread finishing(platform, &Slow::Run, &slow);
    finishing.Start();
    finishing.Hand();
    finishing.Stop();
    EXPECT_TRUE(ended);
    EXPECT_FALSE(finishing.Busy());
}

// Without its signals the helper never starts; once its wait fails it is
// gone, and the caller runs the steps and learns why.
TEST(FinishingThread, FailedSignalsLeaveTheStepsToTheCaller) {
    for (PlatformCall failing : {PlatformCall::NewSignal, PlatformCall::WaitSignal}) {
        const bool creating = failing == PlatformCall::NewSignal;
        SCOPED_TRACE(creating ? "signal not created" : "wait failed");
        FaultPlatform platform(SystemPlatform());
        // Only the idle helper's wait fails, the first one made: on a busy
        // machine the caller may sleep in Settle too, and must wait soundly.
        platform.Fail(failing, L"", ErrorCode::kInvalidHandle, 1, creating ? 0 : 1);
        Steps steps;
        FinishingThread finishing(platform, &Steps::Run, &steps);
        Diagnostics::Capture capture;
        FinishingThread::Running helper(finishing, true);
        if (creating) {
            EXPECT_TRUE(capture.Contains(L"CreateEvent failed. [6]\n"));
        } else {
            // The idle helper gives up its first wait.
            while (!capture.Contains(L"WAIT_FAILED encountered. [6]\n")) std::this_thread::yield();
        }
        steps.handed = 1;
        finishing.Hand();
        if (creating) {
            finishing.Settle();
        } else {
            EXPECT_THROW(finishing.Settle(), Exception);
            finishing.Settle();  // reported once
        }
        EXPECT_EQ(steps.ran, std::vector<int>{1});
        EXPECT_EQ(steps.threads, std::vector<std::thread::id>{std::this_thread::get_id()});
    }
}

}  // namespace

namespace {

// Wake-ups that fail (every one, or only the first) cost each sleeper a
// moment, never the job: every step still runs once, in order, on the
// helper, and Stop still ends it. Each side sleeps in turn: the steps take
// long enough for the caller to sleep in Settle, and the caller long enough
// for the helper to sleep between steps.
TEST(FinishingThread, FailedWakeUpsDelayButNeverStrandEitherSide) {
    for (int times : {0, 1}) {
        SCOPED_TRACE(times == 0 ? "every raise fails" : "the first raise fails");
        FaultPlatform platform(SystemPlatform());
        platform.Fail(PlatformCall::RaiseSignal, L"", ErrorCode::kInvalidHandle, 1, times);
        struct Slow {
            Steps steps;
            static void Run(void* context) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
                Steps::Run(&static_cast<Slow*>(context)->steps);
            }
        } slow;
        FinishingThread finishing(platform, &Slow::Run, &slow);
        Diagnostics::Capture capture;
        {
            FinishingThread::Running helper(finishing, true);
            for (int n = 1; n <= 6; ++n) {
                finishing.Settle();
                slow.steps.handed = n;
                finishing.Hand();
                if (n % 2 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(30));
            }
            finishing.Settle();
        }
        EXPECT_EQ(slow.steps.ran, (std::vector<int>{1, 2, 3, 4, 5, 6}));
        for (const auto& thread : slow.steps.threads) EXPECT_NE(thread, std::this_thread::get_id());
        EXPECT_TRUE(capture.Contains(L"SetEvent failed. [6]\n"));
        EXPECT_FALSE(capture.Contains(L"WAIT_FAILED"));
    }
}

}  // namespace
