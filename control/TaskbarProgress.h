#pragma once
// What the window's taskbar button shows of a job: a state and a value out
// of kTaskbarRange. A pure rule over the engine mode and the figures the
// tick already has, so the form only applies what it returns.

#include <cstdint>

#include "engine/EngineMode.h"

// The taskbar's progress states this program uses.
enum class TaskbarState {
    None,    // no progress shown
    Normal,  // green
    Paused,  // yellow
    Error,   // red
};

// The value is a percentage.
constexpr int kTaskbarRange = 100;

struct TaskbarProgress {
    TaskbarState state = TaskbarState::None;
    int value = 0;  // 0 to kTaskbarRange; always 0 with None
};

inline bool operator==(const TaskbarProgress& a, const TaskbarProgress& b) {
    return a.state == b.state && a.value == b.value;
}
inline bool operator!=(const TaskbarProgress& a, const TaskbarProgress& b) { return !(a == b); }

struct TaskbarInputs {
    EngineMode mode = EngineMode::Idle;
    std::int64_t totalBytes = 0;   // counted by discovery
    std::int64_t copiedBytes = 0;  // copied so far
    bool failed = false;           // the job has a result row, or its copy thread failed
    bool completionClosed = false; // the completion form of the ended job was shown and closed
};

// Copying: Normal at the percentage copied. Paused: Paused at it. A failure
// turns either into Error from then on. Completed: full (Error after a
// failure) until the completion form has been closed, then None. Every other
// mode: None.
TaskbarProgress TaskbarProgressOf(const TaskbarInputs& inputs);
