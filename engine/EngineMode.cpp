#include "engine/EngineMode.h"

EngineMode DeriveEngineMode(const EngineFlags& f) {
    if (!f.discoveryStarted) return EngineMode::Idle;
    if (!f.discoveryDone) return f.copySetUp ? EngineMode::Queued : EngineMode::Discovering;
    if (!f.copyStarted) return EngineMode::Ready;
    if (f.copyDone) return EngineMode::Completed;
    return f.copyPaused ? EngineMode::Paused : EngineMode::Copying;
}

const wchar_t* EngineModeName(EngineMode mode) {
    switch (mode) {
        case EngineMode::Idle: return L"Idle";
        case EngineMode::Discovering: return L"Discovering";
        case EngineMode::Queued: return L"Queued";
        case EngineMode::Ready: return L"Ready";
        case EngineMode::Copying: return L"Copying";
        case EngineMode::Paused: return L"Paused";
        case EngineMode::Completed: return L"Completed";
    }
    return L"?";
}
