#include <gtest/gtest.h>

#include "control/TaskbarProgress.h"

namespace {

TEST(TaskbarProgress, StateAndValuePerModeFailureAndCompletion) {
    using M = EngineMode;
    using S = TaskbarState;
    constexpr std::int64_t kHuge = INT64_MAX - 1;  // beyond what times 100 holds
    const struct {
        TaskbarInputs in;  // mode, total bytes, copied bytes, failed, completion form closed
        S state;
        int value;
    } cases[] = {
        // No job running: nothing on the button.
        {{M::Idle, 0, 0, false, false}, S::None, 0},
        {{M::Discovering, 100, 0, true, false}, S::None, 0},
        {{M::Queued, 100, 0, false, false}, S::None, 0},
        {{M::Ready, 100, 0, true, false}, S::None, 0},
        // Copying: the truncated percentage; nothing counted is 0; grown files stop at 100.
        {{M::Copying, 1000, 0, false, false}, S::Normal, 0},
        {{M::Copying, 1000, 999, false, false}, S::Normal, 99},
        {{M::Copying, 0, 500, false, false}, S::Normal, 0},
        {{M::Copying, 1000, 1500, false, false}, S::Normal, 100},
        {{M::Copying, kHuge, kHuge - 1, false, false}, S::Normal, 99},
        // Paused keeps the value; a failure is red whether copying or paused.
        {{M::Paused, 1000, 420, false, false}, S::Paused, 42},
        {{M::Copying, 1000, 420, true, false}, S::Error, 42},
        {{M::Paused, 1000, 420, true, false}, S::Error, 42},
        // Ended: full (red after a failure) until the completion form is closed, then nothing.
        {{M::Completed, 1000, 1000, false, false}, S::Normal, 100},
        {{M::Completed, 1000, 600, true, false}, S::Error, 100},
        {{M::Completed, 1000, 1000, false, true}, S::None, 0},
        {{M::Completed, 1000, 600, true, true}, S::None, 0},
    };
    for (const auto& c : cases) {
        const TaskbarProgress progress = TaskbarProgressOf(c.in);
        EXPECT_EQ(progress.state, c.state) << EngineModeName(c.in.mode) << " failed " << c.in.failed << " closed "
                                           << c.in.completionClosed;
        EXPECT_EQ(progress.value, c.value) << EngineModeName(c.in.mode) << " " << c.in.copiedBytes << "/"
                                           << c.in.totalBytes;
    }
}

}  // namespace
