#pragma once
// The engine's mode, derived on demand from the flags of the two engine
// modules. The integer values are part of the contract (0 to 6, in order).

#include <string>

enum class EngineMode : int {
    Idle = 0,
    Discovering = 1,
    Queued = 2,
    Ready = 3,
    Copying = 4,
    Paused = 5,
    Completed = 6,
};

// A snapshot of the six flags the derivation reads. Each is read once, so a
// worker that flips a flag during the derivation cannot make it inconsistent.
struct EngineFlags {
    bool discoveryStarted = false;  // EnumerationModule::HasStarted
    bool discoveryDone = false;     // EnumerationModule::IsDone
    bool copySetUp = false;         // CopyModule::IsSetUp
    bool copyStarted = false;       // CopyModule::HasStarted
    bool copyDone = false;          // CopyModule::IsDone
    bool copyPaused = false;        // CopyModule::IsParked
    // CopyModule::HasFailed: the copy thread ended on an unexpected failure. The
    // mode counts it as done; only what is shown on completion differs.
    bool copyFailed = false;
};

// Every combination of the flags yields exactly one mode.
EngineMode DeriveEngineMode(const EngineFlags& flags);

// "Idle", "Discovering", ... for diagnostics and test output.
const wchar_t* EngineModeName(EngineMode mode);
