#pragma once
// The main form's control of the copy engine, without a window: the 100 ms
// tick, the Go command and the close request. The form forwards its timer,
// the Go button and its closing commands here and renders what comes back
// through ControlView; questions and warnings go through Prompt.
//
// Every operation runs on the main thread and may be re-entered from a
// modal box or form it opens (the timer keeps ticking inside them).

#include <functional>
#include <utility>

#include "control/CopyStatistics.h"
#include "engine/EngineMode.h"
#include "platform/Platform.h"
#include "control/ControlView.h"
#include "control/DestinationValidation.h"
#include "engine/EngineDriver.h"
#include "control/Prompt.h"
#include "control/ResultRows.h"

class EngineControl {
public:
    // Checks the destination before a copy is requested; the default runs
    // ValidateDestination over the platform and the prompt.
    using DestinationCheck = std::function<bool(const DestinationRequest&)>;

    static const wchar_t* const kCloseQuestion;  // "Torvane has not finished. Are you sure you want to cancel?"
    static const wchar_t* const kCloseCaption;   // "Torvane"
    static constexpr std::uint32_t kCloseStyle = PromptStyle::kYesNo | PromptStyle::kIconExclamation;

    EngineControl(EngineDriver& engine, Platform& platform, ControlView& view, Prompt& prompt, TickSource& clock);

    // The timer tick (every 100 ms): restarts discovery when the sources or
    // "Include subfolders" changed, applies a new mode, drains the item
    // queues into the rows, refreshes the summary and the status panel, asks
    // the view for the completion form on entering Completed, then sets up
    // and starts a requested copy. The first tick always applies its mode.
    // Does nothing after a close request went through.
    void Tick();

    // The Go button: requests a copy (after validation) in Discovering, Ready
    // and Completed, pauses in Copying, resumes in Paused, and drops a stale
    // request in Idle. A new copy after Completed clears the rows at once.
    void Go();

    // The close commands (2 and 32780). Asks before cancelling a running or
    // paused copy. True: the copy was cancelled and waited for, discovery was
    // stopped, and the form must now destroy its window and post the quit
    // message with the command's id. False: nothing changed; keep running
    // (also for a second close command while the question is still open).
    bool RequestClose();

    // The user's session is ending (logoff, shutdown): a running or paused
    // copy is cancelled without a question, so that its file in progress is
    // removed, and discovery is stopped. Nothing runs after it.
    void EndSession();

    EngineMode CurrentMode();
    // The mode the last tick applied to the view (Idle before the first).
    EngineMode ShownMode() const { return previousMode; }

    // Go asked for a copy that a tick has not set up yet.
    bool StartRequested() const { return startRequested; }
    // Forgets such a request (a new window starts without one).
    void DropStartRequest() { startRequested = false; }

    // The command line's sources, shown as text in the From field: while the
    // field holds that text, the engine is given this list, not a parse of it.
    void UseSources(const SourceList& sources);

    const ResultRows& Rows() const { return rows; }
    const CopyStatistics& Statistics() const { return statistics; }
    void SetDestinationCheck(DestinationCheck check) { destinationCheck = std::move(check); }

private:
    // The From field's sources, parsed only when its text changed.
    const SourceList& SourcesOf(const FormFields& fields);
    void RestartDiscoveryIfChanged(const FormFields& fields);
    void ClearResults();
    void ResetCopyJob();
    void DrainItems();
    void ShowItem(ItemResult item);
    void RefreshStatus();
    bool CheckDestination(const FormFields& fields);
    bool AskToCancel();

    EngineDriver& engine;
    Platform& platform;
    ControlView& view;
    Prompt& prompt;
    CopyStatistics statistics;
    ResultRows rows;
    DestinationCheck destinationCheck;
    SourceList sources = SourceList::Parse(L"");
    bool startRequested = false;
    EngineMode previousMode = EngineMode::Idle;
    bool presented = false;  // a mode has been applied since construction
    bool closing = false;    // the close question is open
    bool closed = false;     // a close request went through
};
