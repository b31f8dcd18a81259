// The two worker threads as the main form drives them: start, stop, pause,
// resume, cancel, and a failure on the copy thread.

#include <atomic>
#include <chrono>
#include <numeric>
#include <thread>

#include "core/Diagnostics.h"
#include "tests/engine/EngineFixture.h"

namespace {

using namespace std::chrono_literals;
constexpr std::size_t kBlock = CopyModule::kBlockSize;

// Polls until the condition holds; false after the deadline.
template <typename Condition>
bool WaitFor(Condition condition, std::chrono::milliseconds deadline = 10s) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

class EngineThreads : public EngineTest {
protected:
    // Sets up and starts a copy the way the main form's tick does.
    void StartCopy(const std::wstring& sourceText) {
        tree.Folder(L"out");
        Copier().Setup(sourceText, tree.Path(L"out"), true, true);
        released = false;
        Copier().Start();
    }
    bool ThreadEnded() { return WaitFor([&] { return Copier().IsDone() || Copier().HasFailed(); }); }

    // Holds the worker inside the given read of the file named by suffix
    // until the test lets it go (or a cancel is requested): a block that
    // hangs, as one on a dead network share can.
    void HoldAtRead(const std::wstring& suffix, int readNumber) {
        CopyModule* module = &Copier();
        platform.OnRead([this, module, suffix, readNumber](const std::wstring& path, int number) {
            if (number != readNumber || path.size() < suffix.size() ||
                path.compare(path.size() - suffix.size(), suffix.size(), suffix) != 0) {
                return;
            }
            reached = true;
            WaitFor([&] { return released.load() || CopyModuleTestSeam::CancelRequested(*module); }, 30s);
        });
    }
    bool Reached() { return WaitFor([&] { return reached.load(); }); }

    std::atomic<bool> reached{false};
    std::atomic<bool> released{false};
};

TEST_F(EngineThreads, DiscoveryRunsWithItsStartWaitAndCanBeStoppedAndRestarted) {
    tree.File(L"data\\a", "a");
    tree.File(L"data\\s\\b", "bb");
    FaultPlatform realSleeps(SystemPlatform());
    EnumerationModule discovery(realSleeps);
    discovery.Configure(tree.Path(L"data"), true);
    Diagnostics::Capture capture;
    discovery.Start();
    EXPECT_TRUE(capture.Contains(L"[Enumeration started] \n  " + tree.Path(L"data") + L"\n [0]\n"));
    // Stopped inside its 500 ms wait: never done, configured empty, and the
    // rest of the wait is not slept.
    discovery.Stop();
    const auto sleeps = realSleeps.Sleeps();
    EXPECT_LT(std::accumulate(sleeps.begin(), sleeps.end(), 0u), 500u);
    EXPECT_FALSE(discovery.IsDone());
    EXPECT_FALSE(discovery.HasStarted());
    EXPECT_FALSE(discovery.HasThread());
    EXPECT_EQ(discovery.Sources(), std::vector<std::wstring>{L""});

    discovery.Configure(tree.Path(L"data"), true);
    discovery.Start();
    ASSERT_TRUE(WaitFor([&] { return discovery.IsDone(); }));
    EXPECT_EQ(discovery.FilesTotal(), 2);
    EXPECT_EQ(discovery.FoldersTotal(), 2);
    EXPECT_EQ(discovery.BytesTotal(), 3u);
    discovery.Stop();
}

TEST_F(EngineThreads, CopyThreadRunsToCompletion) {
    tree.File(L"data\\a", Pattern(3 * kBlock));
    StartCopy(tree.Path(L"data"));
    ASSERT_TRUE(ThreadEnded());
    Copier().Cancel();  // joins the ended thread
    EXPECT_EQ(ReadAll(tree.Path(L"out\\data\\a")), Pattern(3 * kBlock));
    EXPECT_EQ(Copier().FilesDone(), 1);
    EXPECT_FALSE(Copier().HasThread());
}

// Pause never waits for the block in progress, however long it takes; the
// worker parks at the next boundary and from then on nothing moves.
TEST_F(EngineThreads, PauseNeverWaitsForABlockAndHoldsTheWorkerAtTheNextBoundary) {
    const std::size_t size = 12 * kBlock;
    tree.File(L"big", Pattern(size));
    HoldAtRead(L"\\big", 3);
    StartCopy(tree.Path(L"big"));
    ASSERT_TRUE(Reached());
    Copier().Pause();  // returns while the worker is still stuck inside its read
    EXPECT_TRUE(Copier().IsPaused());
    EXPECT_FALSE(Copier().IsParked());
    Copier().Pause();  // a second request changes nothing
    released = true;
    ASSERT_TRUE(WaitFor([&] { return Copier().IsParked(); }));
    const std::uint64_t held = Copier().BytesCopied();
    EXPECT_EQ(held, 3 * kBlock) << "the block in progress finishes, the next one waits";
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(Copier().BytesCopied(), held);
    EXPECT_EQ(Copier().FilesDone(), 0);
    EXPECT_EQ(Copier().GetStatusText(), L".");
    Copier().Resume();
    ASSERT_TRUE(ThreadEnded());
    EXPECT_EQ(Copier().FilesDone(), 1);
    EXPECT_FALSE(Copier().IsPaused());
    EXPECT_TRUE(ReadAll(tree.Path(L"out\\big")) == Pattern(size));
}

// With files finished on a second thread, a pause takes effect only once
// the file in hand is named and counted: "Paused" never shows a count or a
// target that is still to change.
TEST_F(EngineThreads, PauseWaitsForTheFileInHandBeforeItParks) {
    platform.SetOverlapsFinishing(true);
    tree.File(L"data\\a", Pattern(4 * kBlock, 1));
    tree.File(L"data\\b", Pattern(4 * kBlock, 2));
    // Whichever file the listing gives first is held in its rename, and the
    // other one in its second read, after that rename has begun. (Reads come
    // from the copy thread alone; the test reads firstSource once reached.)
    std::wstring firstSource;
    std::atomic<bool> renaming{false};
    std::atomic<bool> renameReleased{false};
    platform.OnRead([&](const std::wstring& path, int number) {
        if (firstSource.empty()) firstSource = path;
        if (path == firstSource || number != 2) return;
        WaitFor([&] { return renaming.load(); });
        reached = true;
        WaitFor([&] { return released.load(); });
    });
    platform.OnRename([&](const std::wstring&) {
        if (renaming.exchange(true)) return;
        WaitFor([&] { return renameReleased.load(); });
    });
    StartCopy(tree.Path(L"data"));
    ASSERT_TRUE(Reached());
    Copier().Pause();
    released = true;  // the second file's block ends; the worker reaches the gate
    ASSERT_TRUE(WaitFor([&] { return Copier().BytesCopied() == 6 * kBlock; }));
    EXPECT_FALSE(Copier().IsParked()) << "parked while the first file was still being named";
    EXPECT_EQ(Copier().FilesDone(), 0);
    renameReleased = true;
    ASSERT_TRUE(WaitFor([&] { return Copier().IsParked(); }));
    EXPECT_EQ(Copier().FilesDone(), 1);
    EXPECT_EQ(Copier().BytesCopied(), 6 * kBlock);
    const std::wstring firstName = firstSource.substr(firstSource.size() - 1);
    EXPECT_TRUE(ReadAll(tree.Path(L"out\\data\\" + firstName)) == ReadAll(firstSource));
    Copier().Resume();
    ASSERT_TRUE(ThreadEnded());
    EXPECT_EQ(Copier().FilesDone(), 2);
    EXPECT_TRUE(ReadAll(tree.Path(L"out\\data\\a")) == Pattern(4 * kBlock, 1));
    EXPECT_TRUE(ReadAll(tree.Path(L"out\\data\\b")) == Pattern(4 * kBlock, 2));
}

TEST_F(EngineThreads, CancelDeletesTheFileInProgressAndKeepsEarlierOnes) {
    tree.File(L"first", "kept");
    tree.File(L"big", Pattern(8 * kBlock));
    HoldAtRead(L"\\big", 2);
    for (bool pausedFirst : {false, true}) {
        SCOPED_TRACE(pausedFirst ? "cancel while paused" : "cancel while copying");
        RemoveTree(tree.Path(L"out"));
        reached = false;
        StartCopy(L"\"" + tree.Path(L"first") + L"\" \"" + tree.Path(L"big") + L"\"");
        ASSERT_TRUE(Reached());
        if (pausedFirst) Copier().Pause();
        Copier().Cancel();
        EXPECT_FALSE(Copier().HasThread());
        EXPECT_FALSE(Copier().IsDone());
        EXPECT_FALSE(Copier().IsPaused());
        EXPECT_EQ(Copier().FilesDone(), 1);
        EXPECT_EQ(Copier().GetStatusText(), L"");
        EXPECT_EQ(ReadAll(tree.Path(L"out\\first")), "kept");
        EXPECT_EQ(ReadAll(tree.Path(L"out\\big")), "<missing>");
        EXPECT_TRUE(ReadAll(tree.Path(L"big")) == Pattern(8 * kBlock));
        Copier().Reset();
    }
}

// The worker's wait at a paused gate is abandoned: the job ends as a cancel
// would, with a diagnostic line and a row for the file.
TEST_F(EngineThreads, LockFailureOnTheCopyThreadEndsTheJobLikeACancel) {
    tree.File(L"big", Pattern(4 * kBlock));
    CopyModule* module = &Copier();
    platform.OnRead([&, module](const std::wstring&, int number) {
        if (number != 2) return;
        reached = true;
        // The main thread's pause has taken the gate; the worker's wait is next.
        WaitFor([&] { return module->IsPaused(); });
        platform.FailMutexWait(1, MutexWait::Abandoned, ErrorCode::kAbandonedWait0);
    });
    Diagnostics::Capture capture;
    StartCopy(tree.Path(L"big"));
    ASSERT_TRUE(Reached());
    Copier().Pause();
    ASSERT_TRUE(WaitFor([&] { return Copier().IsParked(); }));
    Copier().Resume();  // the worker's wait now ends, abandoned
    ASSERT_TRUE(ThreadEnded());
    Copier().Cancel();
    EXPECT_TRUE(Copier().HasFailed());
    EXPECT_FALSE(Copier().IsDone());
    EXPECT_TRUE(capture.Contains(L"WAIT_ABANDONED encountered. [735]\n"));
    EXPECT_EQ(ReadAll(tree.Path(L"out\\big")), "<missing>");
    const auto items = Drain(Copier().Items());
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0], (ItemResult{ResultCode::Unspecified, tree.Path(L"big"), L".", 0}));
    EXPECT_EQ(platform.KeepAwakeCalls().back(), false);
    // The gate is usable afterwards.
    Copier().Pause();
    Copier().Resume();
}

TEST_F(EngineThreads, JobThatCompletedWhilePausedDoesNotBlockTheNextOne) {
    tree.File(L"a", "a");
    Copier().Pause();  // the worker finished between two files; the gate is still held
    StartCopy(tree.Path(L"a"));
    ASSERT_TRUE(ThreadEnded());
    EXPECT_TRUE(Copier().IsDone());
    EXPECT_FALSE(Copier().IsPaused());
    EXPECT_EQ(ReadAll(tree.Path(L"out\\a")), "a");
}

TEST_F(EngineThreads, DestroyingTheModulesEndsTheirThreads) {
    tree.File(L"big", Pattern(6 * kBlock));
    HoldAtRead(L"\\big", 2);
    StartCopy(tree.Path(L"big"));
    ASSERT_TRUE(Reached());
    Copier().Pause();
    copier.reset();  // cancels, resumes and joins
    EXPECT_EQ(ReadAll(tree.Path(L"out\\big")), "<missing>");

    EnumerationModule discovery(platform);
    discovery.Configure(tree.Path(L"big"), true);
    discovery.Start();
}

}  // namespace
