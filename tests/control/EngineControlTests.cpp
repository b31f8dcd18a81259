#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "platform/testing/FaultPlatform.h"
#include "tests/control/FakeEngine.h"
#include "tests/control/RecordingView.h"
#include "tests/control/TestPrompt.h"
#include "control/EngineControl.h"

namespace {

using Log = std::vector<std::string>;

class ManualClock : public TickSource {
public:
    uint32_t now = 0;
    uint32_t NowMs() override { return now; }
};

// The platform's folders, with the folder test answered from a list and counted.
class ListedFolders : public PassingFolderCalls {
public:
    using PassingFolderCalls::PassingFolderCalls;
    std::set<std::wstring> folders;
    int folderTests = 0;
    bool IsFolder(const std::wstring& path) override {
        ++folderTests;
        return folders.count(path) != 0;
    }
};

class EngineControlTest : public ::testing::Test {
protected:
    FakeEngine engine;
    FaultPlatform fault{SystemPlatform()};
    ListedFolders listedFolders{fault.Folders()};
    Platform platform{fault.Files(), fault.Listing(), listedFolders, fault.Sync(), fault.Threads()};
    RecordingView view;
    TestPrompt prompt;
    ManualClock clock;
    EngineControl control{engine, platform, view, prompt, clock};

    std::vector<DestinationRequest> checks;  // every destination check made
    bool destinationValid = true;

    void SetUp() override {
        control.SetDestinationCheck([this](const DestinationRequest& request) {
            checks.push_back(request);
            return destinationValid;
        });
        view.fields.fromText = L"C:\\data";
        view.fields.toText = L"D:\\out";
        engine.existing.insert(L"C:\\data");
    }

    // Ticks with time moving on by 100 ms.
    void Tick(int count = 1) {
        for (int i = 0; i < count; ++i) {
            clock.now += 100;
            control.Tick();
        }
    }
    // Discovery of C:\data has run and finished.
    void ReachReady() {
        Tick();
        engine.flags.discoveryStarted = true;
        Tick();
        engine.flags.discoveryDone = true;
        Tick();
        ASSERT_EQ(control.CurrentMode(), EngineMode::Ready);
    }
    void ReachCopying() {
        ReachReady();
        control.Go();
        Tick(2);
        ASSERT_EQ(control.CurrentMode(), EngineMode::Copying);
    }
};

TEST_F(EngineControlTest, FirstTickAppliesIdleAndStartsDiscovery) {
    Tick();
    EXPECT_EQ(view.modes, std::vector<EngineMode>{EngineMode::Idle});
    EXPECT_EQ(engine.TakeLog(), (Log{"StopDiscovery", "ResetCopy", "StartDiscovery"}));
    EXPECT_EQ(view.clears, 1);
    Tick();  // same sources: nothing restarts, Idle is not applied again
    EXPECT_TRUE(engine.TakeLog().empty());
    EXPECT_EQ(view.modes.size(), 1u);
}

TEST_F(EngineControlTest, GoWhileDiscoveringQueuesTheCopyAndReadyLastsOneTick) {
    Tick();
    engine.flags.discoveryStarted = true;
    engine.counters.bytesTotal = 4000;  // counted so far
    Tick();
    control.Go();
    ASSERT_EQ(checks.size(), 1u);
    EXPECT_EQ(checks[0].bytesTotal, 4000u);
    EXPECT_EQ(checks[0].toText, L"D:\\out");
    EXPECT_TRUE(control.StartRequested());

    engine.TakeLog();
    Tick();  // sets the job up at once; the thread waits for discovery
    EXPECT_EQ(engine.TakeLog(), Log{"SetupCopy"});
    EXPECT_FALSE(control.StartRequested());
    Tick();
    EXPECT_EQ(view.modes.back(), EngineMode::Queued);
    control.Go();  // no effect while queued
    EXPECT_EQ(checks.size(), 1u);

    engine.flags.discoveryDone = true;
    Tick();
    EXPECT_EQ(view.modes.back(), EngineMode::Ready);
    EXPECT_EQ(engine.TakeLog(), Log{"StartCopy"});
    Tick();
    EXPECT_EQ(view.modes, (std::vector<EngineMode>{EngineMode::Idle, EngineMode::Discovering, EngineMode::Queued,
                                                    EngineMode::Ready, EngineMode::Copying}));
    EXPECT_TRUE(control.Statistics().running);
}

// The command line's list goes to the engine as it is while From shows its
// text; once the user edits From, the new text is what counts.
TEST_F(EngineControlTest, CommandLineSourcesLastUntilFromIsEdited) {
    const SourceList list = SourceList::Of({L"C:\\a", L"C:\\b c"});
    view.fields.fromText = list.Text();
    engine.existing.insert(list.Text());
    control.UseSources(list);
    ReachReady();
    control.Go();
    Tick();
    EXPECT_EQ(engine.setupSources, list.Given());
    ASSERT_EQ(checks.size(), 1u);
    EXPECT_EQ(checks[0].sources.Normalized(), list.Given());

    view.fields.fromText = L"C:\\data";
    ReachReady();
    control.Go();
    Tick();
    EXPECT_EQ(engine.setupSources, std::vector<std::wstring>{L"C:\\data"});
}

TEST_F(EngineControlTest, RefusedDestinationRequestsNothing) {
    ReachReady();
    destinationValid = false;
    control.Go();
    EXPECT_FALSE(control.StartRequested());
    engine.TakeLog();
    Tick(3);
    EXPECT_TRUE(engine.TakeLog().empty());
    EXPECT_EQ(control.CurrentMode(), EngineMode::Ready);
}

TEST_F(EngineControlTest, GoInIdleDropsAStaleRequest) {
    // Requested while discovering; discovery is then gone before a tick set
    // the copy up.
    Tick();
    engine.flags.discoveryStarted = true;
    Tick();
    control.Go();
    ASSERT_TRUE(control.StartRequested());
    engine.flags.discoveryStarted = false;
    control.Go();
    EXPECT_FALSE(control.StartRequested());
    EXPECT_EQ(checks.size(), 1u) << "Go in Idle checked the destination";
}

TEST_F(EngineControlTest, PauseAndResumeStopAndRestartTheClock) {
    ReachCopying();
    engine.counters.bytesTotal = 1000;
    engine.counters.bytesCopied = 500;
    Tick(10);  // one second of copying
    const uint32_t elapsed = control.Statistics().elapsedMs;
    EXPECT_GT(elapsed, 900u);
    EXPECT_EQ(view.positions.back(), 32767);

    engine.TakeLog();
    control.Go();
    EXPECT_EQ(engine.TakeLog(), Log{"PauseCopy"});
    Tick(50);
    EXPECT_EQ(view.modes.back(), EngineMode::Paused);
    EXPECT_FALSE(control.Statistics().running);
    EXPECT_LE(control.Statistics().elapsedMs, elapsed + 100);  // the pause is not counted
    EXPECT_EQ(view.figures.remainingTime, L"0:01");

    control.Go();
    EXPECT_EQ(engine.TakeLog(), Log{"ResumeCopy"});
    Tick();
    EXPECT_EQ(view.modes.back(), EngineMode::Copying);
    EXPECT_TRUE(control.Statistics().running);
}

TEST_F(EngineControlTest, CompletedShowsTheFormOnceThenGoCopiesAgainThroughReady) {
    ReachCopying();
    engine.copyItems.push_back({ResultCode::FileLocked, L"C:\\data\\y.txt", L".\\y.txt", 32});
    engine.flags.copyDone = true;
    int nestedTicks = 0;
    view.insideCompletion = [&] {
        ++nestedTicks;
        Tick(3);  // the timer keeps firing inside the modal form
    };
    Tick();
    EXPECT_EQ(view.completions, 1);
    EXPECT_EQ(nestedTicks, 1);
    EXPECT_EQ(view.modes.back(), EngineMode::Completed);
    EXPECT_EQ(control.Rows().Count(), 1u);
    EXPECT_EQ(view.figures.remainingTime, L"done");
    Tick(5);
    EXPECT_EQ(view.completions, 1);
    EXPECT_EQ(control.Rows().Count(), 1u);  // results stay until the next Go

    const int clearsBefore = view.clears;
    engine.TakeLog();
    control.Go();
    EXPECT_EQ(engine.TakeLog(), Log{"ResetCopy"});
    EXPECT_EQ(control.Rows().Count(), 0u);
    EXPECT_EQ(view.clears, clearsBefore + 1);
    EXPECT_EQ(control.Statistics().elapsedMs, 0u);
    Tick();
    EXPECT_EQ(view.modes.back(), EngineMode::Ready);
    EXPECT_EQ(engine.TakeLog(), (Log{"SetupCopy", "StartCopy"}));
    Tick();
    EXPECT_EQ(view.modes.back(), EngineMode::Copying);
}

TEST_F(EngineControlTest, RefusedGoAfterCompletionKeepsTheResults) {
    ReachCopying();
    engine.copyItems.push_back({ResultCode::FileLocked, L"C:\\data\\y.txt", L".\\y.txt", 32});
    engine.flags.copyDone = true;
    Tick();
    destinationValid = false;
    engine.TakeLog();
    control.Go();
    EXPECT_TRUE(engine.TakeLog().empty());
    EXPECT_EQ(control.Rows().Count(), 1u);
}

// A pause whose copy finished meanwhile still holds the pause gate: a new job
// must not start behind it.
TEST_F(EngineControlTest, NewJobReleasesAPauseLeftFromTheLastOne) {
    ReachCopying();
    control.Go();  // pause, and the copy turns out finished
    engine.flags.copyDone = true;
    Tick();
    EXPECT_EQ(control.CurrentMode(), EngineMode::Completed);
    engine.TakeLog();
    control.Go();
    EXPECT_EQ(engine.TakeLog(), (Log{"ResumeCopy", "ResetCopy"}));
    EXPECT_FALSE(engine.flags.copyPaused);
}

TEST_F(EngineControlTest, MissingSourceReturnsToIdleAndClearsRowsOnEveryTick) {
    ReachReady();
    engine.discoveryItems.push_back({ResultCode::AccessDeniedListing, L"C:\\data\\x", L"data\\x", 5});
    Tick();
    EXPECT_EQ(control.Rows().Count(), 1u);
    control.Go();  // a copy requested that no tick has set up yet
    ASSERT_TRUE(control.StartRequested());

    view.fields.fromText = L"C:\\missing";
    const int clearsBefore = view.clears;
    engine.TakeLog();
    Tick();
    EXPECT_EQ(view.modes.back(), EngineMode::Idle);
    EXPECT_FALSE(control.StartRequested());
    EXPECT_EQ(control.Rows().Count(), 0u);
    EXPECT_EQ(engine.TakeLog(), (Log{"StopDiscovery", "ResetCopy"}));
    Tick(3);
    EXPECT_EQ(view.clears, clearsBefore + 4);
    EXPECT_EQ(engine.TakeLog(), (Log{"StopDiscovery", "ResetCopy", "StopDiscovery", "ResetCopy", "StopDiscovery",
                                     "ResetCopy"}));
    EXPECT_EQ(control.CurrentMode(), EngineMode::Idle);

    engine.existing.insert(L"C:\\missing");  // the path appears
    Tick();
    EXPECT_EQ(engine.TakeLog(), (Log{"StopDiscovery", "ResetCopy", "StartDiscovery"}));
    Tick();
    EXPECT_TRUE(engine.TakeLog().empty());
}

TEST_F(EngineControlTest, ChangingOnlyIncludeSubfoldersRestartsDiscovery) {
    ReachReady();
    engine.TakeLog();
    view.fields.includeSubfolders = false;
    Tick();
    EXPECT_EQ(engine.TakeLog(), (Log{"StopDiscovery", "ResetCopy", "StartDiscovery"}));
    EXPECT_EQ(view.modes.back(), EngineMode::Idle);
}

// The folder flag comes with each item: no path is looked up on this thread.
TEST_F(EngineControlTest, DrainShowsDiscoveryItemsFirstInRowOrderWithMessagesAndImages) {
    Tick();
    engine.copyItems.push_back({ResultCode::FileLocked, L"C:\\data\\sub\\c.txt", L".\\sub\\c.txt", 32});
    engine.copyItems.push_back({ResultCode::AttributesNotWritten, L"C:\\data\\sub\\", L".\\sub", 5, true});
    engine.copyItems.push_back({ResultCode::PartialCopy, L"C:\\data\\b.txt", L".\\b.txt", 0});
    engine.discoveryItems.push_back({ResultCode::ListingFailed, L"C:\\data\\x", L"data\\x", 21, true});
    Tick();
    ASSERT_EQ(view.rows.size(), 4u);
    EXPECT_EQ(view.rows[0].name, L"data\\x");
    EXPECT_EQ(view.rows[0].message, L"Folder contents could not be listed.");
    EXPECT_EQ(view.rows[0].image, 7);
    EXPECT_EQ(view.rows[1].index, 0u);  // '.' sorts before 'd'
    EXPECT_EQ(view.rows[2].index, 0u);  // .\sub before its contents
    EXPECT_EQ(view.rows[2].image, 5);   // attributes of a folder
    EXPECT_EQ(view.rows[3].index, 0u);  // a file before the folder
    EXPECT_EQ(view.rows[3].image, 6);
    EXPECT_EQ(listedFolders.folderTests, 0);
    const wchar_t* order[] = {L".\\b.txt", L".\\sub", L".\\sub\\c.txt", L"data\\x"};
    for (size_t i = 0; i < 4; ++i) EXPECT_EQ(control.Rows().At(i).item.relativeName, order[i]);

    engine.copyItems.push_back({ResultCode::AttributesNotRead, L"C:\\data\\b.txt", L".\\b.txt", 5});
    Tick();
    EXPECT_FALSE(view.rows.back().isNew);
    EXPECT_EQ(view.rows.back().index, 0u);
    EXPECT_EQ(view.rows.back().message, L"Attributes could not be read.");
    EXPECT_EQ(view.rows.back().image, 4);
}

TEST_F(EngineControlTest, SummaryAndStatusFigures) {
    Tick();
    engine.counters.filesTotal = 12;
    engine.counters.foldersTotal = 3;
    engine.counters.bytesTotal = 4294967296ULL;
    engine.statusText = L".\\sub\\deep\\a.txt";
    engine.counters.skipped = 2;
    Tick();
    EXPECT_EQ(view.summary, L"12 files in 3 folders (4.29 GB)");
    EXPECT_EQ(view.figures.itemName, L"a.txt");
    EXPECT_EQ(view.figures.itemFolder, L".\\sub\\deep");
    EXPECT_EQ(view.figures.skipped, L"2");
    EXPECT_EQ(view.figures.files, L"");
    EXPECT_EQ(view.figures.progress, L"0.0%");
    engine.statusText = L".";
    Tick();
    EXPECT_EQ(view.figures.itemName, L".");
    EXPECT_EQ(view.figures.itemFolder, L"");
}

TEST_F(EngineControlTest, CloseWhileCopyingPausesDuringTheQuestionAndNoKeepsCopying) {
    ReachCopying();
    engine.TakeLog();
    prompt.answers = {PromptAnswer::kNo};
    prompt.whileOpen = [&] { Tick(2); };
    EXPECT_FALSE(control.RequestClose());
    ASSERT_EQ(prompt.asked.size(), 1u);
    EXPECT_EQ(prompt.asked[0].text, L"Torvane has not finished. Are you sure you want to cancel?");
    EXPECT_EQ(prompt.asked[0].caption, L"Torvane");
    EXPECT_EQ(prompt.asked[0].style, 0x34u);
    EXPECT_EQ(engine.TakeLog(), (Log{"PauseCopy", "ResumeCopy"}));
    EXPECT_EQ(view.modes.back(), EngineMode::Paused);  // shown while the question was open
    Tick();
    EXPECT_EQ(view.modes.back(), EngineMode::Copying);

    // The tray menu's Exit while the question is open does not ask again.
    bool nested = true;
    prompt.whileOpen = [&] { nested = control.RequestClose(); };
    prompt.answers = {PromptAnswer::kNo};
    EXPECT_FALSE(control.RequestClose());
    EXPECT_FALSE(nested);
    EXPECT_EQ(prompt.asked.size(), 2u);
    Tick();
    EXPECT_EQ(view.modes.back(), EngineMode::Copying);
}

TEST_F(EngineControlTest, CloseWhileCopyingWithYesCancelsAndStopsEverything) {
    ReachCopying();
    engine.TakeLog();
    prompt.answers = {PromptAnswer::kYes};
    EXPECT_TRUE(control.RequestClose());
    EXPECT_EQ(engine.TakeLog(), (Log{"PauseCopy", "ResumeCopy", "CancelCopy", "StopDiscovery"}));
    Tick(3);  // a late timer message changes nothing
    control.Go();
    EXPECT_TRUE(engine.TakeLog().empty());
}

TEST_F(EngineControlTest, CloseWhilePausedAsksAndLeavesTheCopyPausedOnNo) {
    ReachCopying();
    control.Go();
    Tick();
    engine.TakeLog();
    prompt.answers = {PromptAnswer::kNo};
    EXPECT_FALSE(control.RequestClose());
    EXPECT_TRUE(engine.TakeLog().empty());
    EXPECT_EQ(control.CurrentMode(), EngineMode::Paused);

    prompt.answers = {PromptAnswer::kYes};
    EXPECT_TRUE(control.RequestClose());
    EXPECT_EQ(engine.TakeLog(), (Log{"ResumeCopy", "CancelCopy", "StopDiscovery"}));
}

// Closing while discovery runs stops its thread, so it never outlives the
// module the form destroys; no question is asked.
TEST_F(EngineControlTest, CloseWithoutACopyAsksNothingAndStopsDiscovery) {
    Tick();
    engine.flags.discoveryStarted = true;
    Tick();
    engine.TakeLog();
    EXPECT_TRUE(control.RequestClose());
    EXPECT_TRUE(prompt.asked.empty());
    EXPECT_EQ(engine.TakeLog(), Log{"StopDiscovery"});
}

TEST_F(EngineControlTest, CopyThatEndsWhileTheCloseQuestionIsOpenIsNotCancelled) {
    ReachCopying();
    engine.TakeLog();
    prompt.answers = {PromptAnswer::kYes};
    prompt.whileOpen = [&] { engine.flags.copyDone = true; };
    EXPECT_TRUE(control.RequestClose());
    EXPECT_EQ(engine.TakeLog(), (Log{"PauseCopy", "ResumeCopy", "StopDiscovery"}));
}

}  // namespace

namespace {

// A copy thread that ended on a failure reaches Completed like any job (Go
// starts the next one), but says it failed instead of announcing completion.
TEST_F(EngineControlTest, AFailedCopyThreadIsShownAsFailedNotCompleted) {
    ReachCopying();
    engine.flags.copyDone = true;
    engine.flags.copyFailed = true;
    Tick(2);
    EXPECT_EQ(control.CurrentMode(), EngineMode::Completed);
    EXPECT_EQ(view.failures, 1);
    EXPECT_EQ(view.completions, 0);
}

// The session ends while a copy runs or is paused: no question, the copy is
// cancelled (its file in progress removed) and nothing runs afterwards.
TEST_F(EngineControlTest, EndOfSessionCancelsWithoutAsking) {
    for (bool paused : {false, true}) {
        SCOPED_TRACE(paused ? "paused" : "copying");
        FakeEngine localEngine;
        RecordingView localView;
        localView.fields = view.fields;
        localEngine.existing = engine.existing;
        EngineControl local{localEngine, platform, localView, prompt, clock};
        local.SetDestinationCheck([](const DestinationRequest&) { return true; });
        local.Tick();
        localEngine.flags.discoveryStarted = localEngine.flags.discoveryDone = true;
        local.Go();
        local.Tick();
        local.Tick();
        ASSERT_EQ(local.CurrentMode(), EngineMode::Copying);
        if (paused) local.Go();
        localEngine.TakeLog();
        local.EndSession();
        EXPECT_EQ(localEngine.TakeLog(), paused ? (Log{"ResumeCopy", "CancelCopy", "StopDiscovery"})
                                                : (Log{"CancelCopy", "StopDiscovery"}));
        EXPECT_TRUE(prompt.asked.empty());
        local.Tick();
        local.Go();
        EXPECT_TRUE(localEngine.TakeLog().empty()) << "nothing runs after the session ended";
    }
}

}  // namespace
