#include <gtest/gtest.h>

#include "control/ModePresentation.h"

namespace {

// The rules of the presentation, stated by role rather than per cell: input
// is locked exactly while a job is queued or running, and the status panel
// shows exactly once a copy has begun.
TEST(ModePresentation, InputLockedWhileAJobIsQueuedOrRunning) {
    for (int value = 0; value <= 6; ++value) {
        const EngineMode mode = static_cast<EngineMode>(value);
        const ModePresentation& p = PresentationOf(mode);
        const bool busy = mode == EngineMode::Queued || mode == EngineMode::Copying || mode == EngineMode::Paused;
        const bool copyBegun = value >= static_cast<int>(EngineMode::Copying);
        EXPECT_EQ(p.editsEditable, !busy) << value;
        EXPECT_EQ(p.browseEnabled, !busy) << value;
        EXPECT_EQ(p.checkBoxesEnabled, !busy) << value;
        EXPECT_EQ(p.statusFieldsShown, copyBegun) << value;
        EXPECT_EQ(p.goImages[3], 0) << value;  // the disabled image is always the grey one
        EXPECT_EQ(p.clearSummary, mode == EngineMode::Idle) << value;
    }
}

TEST(ModePresentation, GoButtonAndStatusLine) {
    EXPECT_FALSE(PresentationOf(EngineMode::Idle).goEnabled);
    EXPECT_FALSE(PresentationOf(EngineMode::Queued).goEnabled);
    EXPECT_TRUE(PresentationOf(EngineMode::Paused).goEnabled);
    EXPECT_EQ(PresentationOf(EngineMode::Idle).goImages[0], 0);
    EXPECT_EQ(PresentationOf(EngineMode::Ready).goImages[0], 1);
    EXPECT_EQ(PresentationOf(EngineMode::Copying).goImages[0], 4);  // pause picture
    EXPECT_EQ(PresentationOf(EngineMode::Paused).goImages[2], 9);   // resume picture, hover
    EXPECT_STREQ(PresentationOf(EngineMode::Queued).statusLine, L"Discovering source files");
    EXPECT_STREQ(PresentationOf(EngineMode::Completed).statusLine, L"Copy completed");
    EXPECT_EQ(PresentationOf(EngineMode::Discovering).progressBar, ProgressBarChange::Marquee);
    EXPECT_EQ(PresentationOf(EngineMode::Copying).progressBar, ProgressBarChange::CopyRange);
    EXPECT_EQ(PresentationOf(EngineMode::Paused).progressBar, ProgressBarChange::Unchanged);
    EXPECT_EQ(PresentationOf(EngineMode::Completed).progressBar, ProgressBarChange::Full);
}

}  // namespace
