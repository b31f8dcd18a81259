#include "engine/ModuleEngine.h"

ModuleEngine::ModuleEngine(EnumerationModule& discovery, CopyModule& copy)
    : discovery(discovery), copy(copy) {}

EngineFlags ModuleEngine::Flags() {
    EngineFlags flags;
    const bool discoveryFailed = discovery.HasFailed();
    flags.discoveryStarted = discovery.HasStarted() || discoveryFailed;
    flags.discoveryDone = discovery.IsDone() || discoveryFailed;
    flags.copySetUp = copy.IsSetUp();
    flags.copyStarted = copy.HasStarted();
    flags.copyDone = copy.IsDone() || copy.HasFailed();
    // "Paused" once the worker waits at the gate, not when the pause is asked for.
    flags.copyPaused = copy.IsParked();
    flags.copyFailed = copy.HasFailed();
    return flags;
}

EngineCounters ModuleEngine::Counters() {
    EngineCounters counters;
    counters.filesTotal = discovery.FilesTotal();
    counters.foldersTotal = discovery.FoldersTotal();
    counters.bytesTotal = discovery.BytesTotal();
    counters.filesDone = copy.FilesDone();
    counters.bytesCopied = copy.BytesCopied();
    counters.skipped = copy.Skipped();
    return counters;
}

std::wstring ModuleEngine::StatusText() {
    return copy.GetStatusText();
}

bool ModuleEngine::DiscoveryMatches(const SourceList& sources, bool includeSubfolders) {
    return discovery.IncludesSubfolders() == includeSubfolders && discovery.HasSameSources(sources);
}

bool ModuleEngine::SourcesExist(const SourceList& sources) {
    return discovery.AllSourcesExist(sources);
}

void ModuleEngine::StartDiscovery(const SourceList& sources, bool includeSubfolders) {
    discovery.Configure(sources, includeSubfolders);
    discovery.Start();
}

void ModuleEngine::StopDiscovery() {
    discovery.Stop();
}

bool ModuleEngine::PopDiscoveryItem(ItemResult& item) {
    return discovery.Items().Pop(item);
}

void ModuleEngine::SetupCopy(const SourceList& sources, const std::wstring& toText, bool includeSubfolders,
                             bool copyAttributes) {
    copy.Setup(sources, toText, includeSubfolders, copyAttributes);
}

void ModuleEngine::StartCopy() {
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
    return copy.Items().Pop(item);
}
