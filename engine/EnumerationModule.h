#pragma once
// Source discovery: counts, on a thread of its own, the files, folders and
// bytes a copy of the sources would cover, and reports folders that cannot
// be listed. Changes nothing on disk.
//
// The main thread calls every operation; the discovery thread writes the
// counters and flags and pushes onto the items. Counters and flags are
// atomic so the main thread may poll them at any time.

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "core/SourceList.h"
#include "engine/BackgroundJob.h"
#include "engine/ItemQueue.h"
#include "platform/Platform.h"

class EnumerationModule final : public BackgroundJob {
public:
    explicit EnumerationModule(Platform& platform);
    // Stops a running discovery first.
    ~EnumerationModule();
    EnumerationModule(const EnumerationModule&) = delete;
    EnumerationModule& operator=(const EnumerationModule&) = delete;

    // Takes the normalised sources, stores the flag and clears the counters
    // and flags. Only while no discovery thread runs.
    void Configure(const SourceList& sources, bool includeSubfolders);
    // The same for a From text, parsed here (tests and benchmarks).
    void Configure(const std::wstring& sourceText, bool includeSubfolders) {
        Configure(SourceList::Parse(sourceText), includeSubfolders);
    }
    // Starts the discovery thread and writes the "[Enumeration started] "
    // trace with the sources. Throws after "CreateThread failed.".
    bool Start();
    // Stops and joins a running thread, then configures the module empty.
    void Stop();

    // Same number of sources, each equal (exact, case-sensitive) in order.
    bool HasSameSources(const SourceList& sources) const;
    bool AllSourcesExist(const SourceList& sources);

    // --- What the main thread reads while discovery runs (and the job's
    // flags; a failed discovery's counts are incomplete) ---
    std::int32_t FilesTotal() const { return filesTotal; }
    std::int32_t FoldersTotal() const { return foldersTotal; }
    std::uint64_t BytesTotal() const { return bytesTotal; }
    // Folders that could not be listed, as discovery meets them.
    ItemQueue& Items() { return items; }
    // The sources as Configure parsed and normalised them.
    const std::vector<std::wstring>& Sources() const { return sources; }
    bool IncludesSubfolders() const { return includeSubfolders; }

    // The discovery thread's body.
    void Run() override;

private:
    struct TreeVisitor;

    void CountFileSource(const std::wstring& path);

    // Written by the main thread while no discovery thread runs.
    std::vector<std::wstring> sources;
    std::atomic<bool> includeSubfolders{true};
    std::atomic<bool> stopRequested{false};
    // Written by the discovery thread, polled by the main thread.
    std::atomic<std::int32_t> filesTotal{0};
    std::atomic<std::int32_t> foldersTotal{0};
    std::atomic<std::uint64_t> bytesTotal{0};
    ItemQueue items;
};
