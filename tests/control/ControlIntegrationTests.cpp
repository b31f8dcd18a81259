// The engine control over the real engine modules and the real platform:
// discovery and copy threads, real folders, the pause gate and the joins.

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "engine/CopyModule.h"
#include "engine/EnumerationModule.h"
#include "platform/testing/FaultPlatform.h"
#include "tests/control/RecordingView.h"
#include "tests/support/TempFolder.h"
#include "tests/control/TestPrompt.h"
#include "control/EngineControl.h"
#include "engine/ModuleEngine.h"
#include "control/PlatformClock.h"

namespace {

class ControlIntegrationTest : public ::testing::Test {
protected:
    TempFolder temp;
    FaultPlatform platform{SystemPlatform()};
    RecordingView view;
    TestPrompt prompt;
    PlatformClock clock{platform};
    // Declared after the platform they use, so they end (joining their
    // threads) before it does.
    EnumerationModule discovery{platform};
    CopyModule copy{platform};
    ModuleEngine engine{discovery, copy};
    EngineControl control{engine, platform, view, prompt, clock};

    void SetUp() override {
        temp.WriteFile(L"src\\a.txt", "alpha");
        temp.WriteFile(L"src\\sub\\b.txt", std::string(300000, 'b'));
        view.fields.fromText = temp.Path(L"src");
        view.fields.toText = temp.Path(L"out\\deeper");
    }

    // Ticks every 5 ms until the condition holds; false after 20 seconds.
    bool TickUntil(const std::function<bool()>& condition) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (std::chrono::steady_clock::now() < deadline) {
            control.Tick();
            if (condition()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return false;
    }
    bool TickUntilMode(EngineMode mode) {
        return TickUntil([&] { return control.CurrentMode() == mode; });
    }
};

TEST_F(ControlIntegrationTest, DiscoverThenCopyToANewDestinationAndComplete) {
    platform.SetInstantSleeps(true);
    ASSERT_TRUE(TickUntilMode(EngineMode::Ready));
    control.Tick();
    EXPECT_EQ(view.summary, L"2 files in 2 folders (300 KB)");

    control.Go();  // the destination is created, two levels
    EXPECT_TRUE(prompt.asked.empty());
    EXPECT_TRUE(temp.IsFolder(L"out\\deeper"));
    ASSERT_TRUE(TickUntil([&] { return view.completions == 1; }));
    EXPECT_EQ(view.modes.back(), EngineMode::Completed);
    EXPECT_TRUE(std::filesystem::exists(temp.Native(L"out\\deeper\\src\\sub\\b.txt")));
    EXPECT_EQ(view.figures.files, L"2 of 2 files");
    EXPECT_EQ(view.figures.progress, L"100%");
    EXPECT_EQ(control.Rows().Count(), 0u);

    // Again into the same, now filled folder: the question comes, and Cancel
    // keeps the completed job on screen.
    prompt.answers = {PromptAnswer::kCancel};
    control.Go();
    ASSERT_EQ(prompt.asked.size(), 1u);
    EXPECT_EQ(prompt.asked[0].caption, L"Skip existing files");
    EXPECT_EQ(control.CurrentMode(), EngineMode::Completed);
}

TEST_F(ControlIntegrationTest, FailuresBecomeRowsInOrder) {
    platform.SetInstantSleeps(true);
    platform.Fail(PlatformCall::OpenForBackupRead, L"\\a.txt", ErrorCode::kSharingViolation);
    platform.Fail(PlatformCall::FindFirst, L"\\sub", ErrorCode::kAccessDenied);  // the listed folder
    ASSERT_TRUE(TickUntilMode(EngineMode::Ready));
    control.Go();
    ASSERT_TRUE(TickUntilMode(EngineMode::Completed));
    control.Tick();
    // The file first, then the folder as the copy saw it, then discovery's
    // row for the same folder ('.' sorts before 's').
    ASSERT_EQ(control.Rows().Count(), 3u);
    EXPECT_EQ(control.Rows().At(0).item.relativeName, L".\\a.txt");
    EXPECT_EQ(control.Rows().At(1).item.relativeName, L".\\sub");
    EXPECT_EQ(control.Rows().At(2).item.relativeName, L"src\\sub");
    ASSERT_EQ(view.rows.size(), 3u);
    for (const ShownRow& row : view.rows) {
        if (row.name == L".\\a.txt") {
            EXPECT_EQ(row.message, L"File is locked by another process.");
            EXPECT_EQ(row.image, 2);
        } else {
            EXPECT_EQ(row.message, L"Access denied listing folder contents.");
            EXPECT_EQ(row.image, 3);
        }
    }
}

// Closing while discovery is still in its start-up wait: the close joins the
// discovery thread, so nothing runs on after the modules are gone.
TEST_F(ControlIntegrationTest, CloseWhileDiscoveringJoinsTheDiscoveryThread) {
    control.Tick();
    ASSERT_TRUE(static_cast<bool>(discovery.HasThread()));
    EXPECT_TRUE(control.RequestClose());
    EXPECT_FALSE(static_cast<bool>(discovery.HasThread()));
    EXPECT_FALSE(discovery.HasStarted());
    EXPECT_TRUE(prompt.asked.empty());
}

// Closing mid-copy: the copy is held at a block boundary while the question
// is open (the ticks show Paused), then cancelled and waited for.
TEST_F(ControlIntegrationTest, CloseWhileCopyingPausesAsksAndCancels) {
    platform.SetInstantSleeps(true);
    temp.WriteFile(L"src\\big.bin", std::string(2 * 1024 * 1024, 'x'));
    platform.OnRead([](const std::wstring&, int) { std::this_thread::sleep_for(std::chrono::milliseconds(10)); });
    ASSERT_TRUE(TickUntilMode(EngineMode::Ready));
    control.Go();
    ASSERT_TRUE(TickUntil([&] { return control.CurrentMode() == EngineMode::Copying && copy.BytesCopied() > 0; }));

    prompt.answers = {PromptAnswer::kNo};
    prompt.whileOpen = [&] {
        // The worker parks at its next block boundary; a tick then shows it.
        EXPECT_TRUE(TickUntil([&] { return !view.modes.empty() && view.modes.back() == EngineMode::Paused; }));
    };
    EXPECT_FALSE(control.RequestClose());
    control.Tick();
    EXPECT_EQ(control.CurrentMode(), EngineMode::Copying);

    prompt.answers = {PromptAnswer::kYes};
    prompt.whileOpen = nullptr;
    EXPECT_TRUE(control.RequestClose());
    EXPECT_FALSE(copy.IsDone());
    EXPECT_FALSE(copy.IsPaused());
    EXPECT_FALSE(static_cast<bool>(copy.HasThread()));
}

}  // namespace
