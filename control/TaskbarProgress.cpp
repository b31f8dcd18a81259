#include "control/TaskbarProgress.h"

#include "control/WideMath.h"

namespace {

// Truncated, as the status panel's percentage; never past the end when the
// files grew after discovery.
int Percent(std::int64_t total, std::int64_t copied) {
    if (total <= 0 || copied <= 0) return 0;
    if (copied >= total) return kTaskbarRange;
    return static_cast<int>(
        MulDivU64(static_cast<std::uint64_t>(copied), kTaskbarRange, static_cast<std::uint64_t>(total)));
}

}  // namespace

TaskbarProgress TaskbarProgressOf(const TaskbarInputs& in) {
    switch (in.mode) {
        case EngineMode::Copying:
            return {in.failed ? TaskbarState::Error : TaskbarState::Normal, Percent(in.totalBytes, in.copiedBytes)};
        case EngineMode::Paused:
            return {in.failed ? TaskbarState::Error : TaskbarState::Paused, Percent(in.totalBytes, in.copiedBytes)};
        case EngineMode::Completed:
            if (in.completionClosed) return {};
            return {in.failed ? TaskbarState::Error : TaskbarState::Normal, kTaskbarRange};
        default:
            return {};
    }
}
