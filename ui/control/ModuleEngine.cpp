#include "ui/control/ModuleEngine.h"

ModuleEngine::ModuleEngine(EnumerationModule& discovery, CopyModule& copy)
    : discovery(discovery), copy(copy) {}

EngineFlags ModuleEngine::Flags() {
    EngineFlags flags;
    const bool discoveryFailed = discovery.failed.load();
    flags.discoveryStarted = discovery.started.load() || discoveryFailed;
    flags.discoveryDone = discovery.done.load() || discoveryFailed;
    flags.copySetUp = copy.setUp.load();
    flags.copyStarted = copy.started.load();
    flags.copyDone = copy.done.load() || copy.failed.load();
    // "Paused" once the worker waits at the gate, not when the pause is asked for.
    flags.copyPaused = copy.IsParked();
    flags.copyFailed = copy.failed.load();
    return flags;
}

EngineCounters ModuleEngine::Counters() {
    EngineCounters counters;
    counters.filesTotal = discovery.filesTotal.load();
    counters.foldersTotal = discovery.foldersTotal.load();
    counters.bytesTotal = discovery.bytesTotal.load();
    counters.filesDone = copy.filesDone.load();
    counters.bytesCopied = copy.bytesCopied.load();
    counters.skipped = copy.skipped.load();
    return counters;
}

std::wstring ModuleEngine::StatusText() {
    return copy.GetStatusText();
}

bool ModuleEngine::DiscoveryMatches(const std::wstring& fromText, bool includeSubfolders) {
    return discovery.includeSubfolders.load() == includeSubfolders && discovery.HasSameSources(fromText);
}

bool ModuleEngine::SourcesExist(const std::wstring& fromText) {
    return discovery.AllSourcesExist(fromText);
}

void ModuleEngine::StartDiscovery(const std::wstring& fromText, bool includeSubfolders) {
    discovery.Configure(fromText, includeSubfolders);
    discovery.Start();
}

void ModuleEngine::StopDiscovery() {
    discovery.Stop();
}

bool ModuleEngine::PopDiscoveryItem(ItemResult& item) {
    return discovery.items.Pop(item);
}

void ModuleEngine::SetupCopy(const std::wstring& fromText, const std::wstring& toText, bool includeSubfolders,
                             bool copyAttributes) {
    copy.Setup(fromText, toText, includeSubfolders, copyAttributes);
}

void ModuleEngine::StartCopy() {
    copy.started = true;
    copy.Start();
}

void ModuleEngine::ResetCopy() {
    copy.Reset();
}

void ModuleEngine::PauseCopy() {
    copy.Pause();
}

void ModuleEngine::ResumeCopy() {
    copy.Resume();
}

void ModuleEngine::CancelCopy() {
    copy.Cancel();
}

bool ModuleEngine::PopCopyItem(ItemResult& item) {
    return copy.items.Pop(item);
}
