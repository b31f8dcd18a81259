#include "control/EngineControl.h"

#include "core/PathText.h"
#include "control/Displays.h"
#include "control/ResultMessages.h"

const wchar_t* const EngineControl::kCloseQuestion = L"Torvane has not finished. Are you sure you want to cancel?";
const wchar_t* const EngineControl::kCloseCaption = L"Torvane";

EngineControl::EngineControl(EngineDriver& engine, Platform& platform, ControlView& view, Prompt& prompt,
                             TickSource& clock)
    : engine(engine), platform(platform), view(view), prompt(prompt), statistics(clock) {}

EngineMode EngineControl::CurrentMode() {
    return DeriveEngineMode(engine.Flags());
}

void EngineControl::Tick() {
    if (closed) return;
    const FormFields fields = view.Fields();
    RestartDiscoveryIfChanged(fields);

    const EngineMode mode = CurrentMode();
    const bool changed = !presented || mode != previousMode;
    if (changed) {
        // Stored first: a nested tick inside the completion form below must
        // not see the change again.
        presented = true;
        previousMode = mode;
        if (mode == EngineMode::Copying) {
            statistics.Start();
        } else if (mode == EngineMode::Paused || mode == EngineMode::Completed) {
            statistics.Stop();
        }
        view.ApplyMode(mode);
    }

    if (mode == EngineMode::Copying) {
        const EngineCounters counters = engine.Counters();
        view.SetProgressPosition(ProgressBarPosition(static_cast<int64_t>(counters.bytesTotal),
                                                     static_cast<int64_t>(counters.bytesCopied)));
    }
    DrainItems();
    RefreshStatus();

    if (changed && mode == EngineMode::Completed) {
        // A copy thread that failed did not complete the job; its item names
        // the file it was copying.
        if (engine.Flags().copyFailed) {
            view.ShowCopyFailed();
        } else {
            view.ShowCompletion();
        }
    }
    if (closed) return;  // closed from inside the completion form

    if (startRequested && !engine.Flags().copySetUp) {
        engine.SetupCopy(SourcesOf(fields), fields.toText, fields.includeSubfolders, fields.copyAttributes);
        startRequested = false;
    }
    const EngineFlags flags = engine.Flags();
    if (flags.copySetUp && !flags.copyStarted && flags.discoveryDone) engine.StartCopy();
}

void EngineControl::Go() {
    if (closed) return;
    switch (CurrentMode()) {
        case EngineMode::Idle:
            startRequested = false;
            break;
        case EngineMode::Discovering:
        case EngineMode::Ready:
            startRequested = CheckDestination(view.Fields());
            break;
        case EngineMode::Queued:
            break;
        case EngineMode::Copying:
            engine.PauseCopy();
            break;
        case EngineMode::Paused:
            engine.ResumeCopy();
            break;
        case EngineMode::Completed:
            startRequested = CheckDestination(view.Fields());
            if (startRequested) {
                ResetCopyJob();
                ClearResults();
            }
            break;
    }
}

bool EngineControl::RequestClose() {
    if (closed) return true;
    // A second close command while the question is open (the tray menu's
    // Exit, say) is left to the first one.
    if (closing) return false;
    closing = true;
    bool proceed = true;
    if (CurrentMode() == EngineMode::Copying) {
        // Held still while the question is open; the ticks meanwhile show Paused.
        engine.PauseCopy();
        proceed = AskToCancel();
        engine.ResumeCopy();
    } else if (CurrentMode() == EngineMode::Paused) {
        proceed = AskToCancel();
    }
    closing = false;
    if (!proceed) return false;

    if (CurrentMode() == EngineMode::Paused) engine.ResumeCopy();
    if (CurrentMode() == EngineMode::Copying) engine.CancelCopy();
    // The discovery thread must not outlive the module the form destroys.
    engine.StopDiscovery();
    closed = true;
    return true;
}

void EngineControl::EndSession() {
    if (closed) return;
    if (CurrentMode() == EngineMode::Paused) engine.ResumeCopy();
    if (CurrentMode() == EngineMode::Copying) engine.CancelCopy();
    engine.StopDiscovery();
    closed = true;
}

void EngineControl::UseSources(const SourceList& list) { sources = list; }

const SourceList& EngineControl::SourcesOf(const FormFields& fields) {
    if (fields.fromText != sources.Text()) sources = SourceList::Parse(fields.fromText);
    return sources;
}

void EngineControl::RestartDiscoveryIfChanged(const FormFields& fields) {
    const SourceList& current = SourcesOf(fields);
    if (engine.DiscoveryMatches(current, fields.includeSubfolders)) return;
    engine.StopDiscovery();
    ResetCopyJob();
    startRequested = false;
    ClearResults();
    if (engine.SourcesExist(current)) engine.StartDiscovery(current, fields.includeSubfolders);
}

void EngineControl::ClearResults() {
    rows.Clear();
    view.ClearRows();
    statistics.Reset();
}

void EngineControl::ResetCopyJob() {
    // A pause whose copy ended meanwhile still holds the pause gate; a new job
    // would wait at its first block forever.
    if (engine.Flags().copyPaused) engine.ResumeCopy();
    engine.ResetCopy();
}

void EngineControl::DrainItems() {
    ItemResult item;
    while (engine.PopDiscoveryItem(item)) ShowItem(std::move(item));
    while (engine.PopCopyItem(item)) ShowItem(std::move(item));
}

void EngineControl::ShowItem(ItemResult item) {
    const bool isFolder = item.isFolder;
    const ResultCode code = item.code;
    const ResultRows::Change change = rows.AddItem(std::move(item), isFolder);
    view.ShowRow(change.row, change.isNew, rows.At(change.row), ResultMessage(code), ResultImage(code, isFolder));
}

void EngineControl::RefreshStatus() {
    const EngineCounters counters = engine.Counters();
    view.ShowSummary(SourceSummary(counters.filesTotal, counters.foldersTotal, counters.bytesTotal));

    StatusFigures figures;
    const std::wstring item = NormalizePath(engine.StatusText());
    const size_t slash = item.rfind(L'\\');
    if (slash == std::wstring::npos) {
        figures.itemName = item;
    } else {
        figures.itemName = item.substr(slash + 1);
        figures.itemFolder = item.substr(0, slash);
    }

    statistics.Update(static_cast<int64_t>(counters.bytesTotal), static_cast<int64_t>(counters.bytesCopied),
                      static_cast<uint32_t>(counters.filesTotal), static_cast<uint32_t>(counters.filesDone));
    figures.files = FilesText(statistics);
    figures.elapsed = ElapsedText(statistics);
    figures.remainingTime = RemainingTimeText(statistics);
    figures.speed = SpeedText(statistics);
    figures.copied = CopiedText(statistics);
    figures.remaining = RemainingBytesText(statistics);
    figures.progress = ProgressText(statistics);
    figures.skipped = SkippedText(counters.skipped);
    view.ShowFigures(figures);
}

bool EngineControl::CheckDestination(const FormFields& fields) {
    const DestinationRequest request{fields.toText, SourcesOf(fields), fields.includeSubfolders,
                                     engine.Counters().bytesTotal};
    if (destinationCheck) return destinationCheck(request);
    return ValidateDestination(request, platform, prompt);
}

bool EngineControl::AskToCancel() {
    return prompt.Ask(kCloseQuestion, kCloseCaption, kCloseStyle) != PromptAnswer::kNo;
}
