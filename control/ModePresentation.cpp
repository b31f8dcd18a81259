#include "control/ModePresentation.h"

namespace {

const ModePresentation kPresentations[] = {
    // Idle
    {true, true, true, false, {0, 0, 0, 0}, false, ProgressBarChange::Reset, L"", true},
    // Discovering
    {true, true, true, true, {1, 2, 3, 0}, false, ProgressBarChange::Marquee, L"Discovering source files", false},
    // Queued
    {false, false, false, false, {1, 2, 3, 0}, false, ProgressBarChange::Marquee, L"Discovering source files", false},
    // Ready
    {true, true, true, true, {1, 2, 3, 0}, false, ProgressBarChange::Reset, L"Ready", false},
    // Copying
    {false, false, false, true, {4, 5, 6, 0}, true, ProgressBarChange::CopyRange, L"Copying", false},
    // Paused
    {false, false, false, true, {7, 8, 9, 0}, true, ProgressBarChange::Unchanged, L"Paused", false},
    // Completed
    {true, true, true, true, {1, 2, 3, 0}, true, ProgressBarChange::Full, L"Copy completed", false},
};

}  // namespace

const ModePresentation& PresentationOf(EngineMode mode) {
    const int index = static_cast<int>(mode);
    return kPresentations[index >= 0 && index <= 6 ? index : 0];
}
