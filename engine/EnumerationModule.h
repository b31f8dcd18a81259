#pragma once
// Source discovery: counts, on a thread of its own, the files, folders and
// bytes a copy of the sources would cover, and reports folders that cannot
// be listed. Changes nothing on disk.
//
// The main thread calls every operation; the discovery thread writes the
// counters, started and done, and pushes onto items. Counters and flags are
// atomic so the main thread may poll them at any time.

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/ItemQueue.h"
#include "platform/Platform.h"

class EnumerationModule {
public:
    explicit EnumerationModule(Platform& platform = SystemPlatform());
    // Stops a running discovery first.
    ~EnumerationModule();
    EnumerationModule(const EnumerationModule&) = delete;
    EnumerationModule& operator=(const EnumerationModule&) = delete;

    std::atomic<std::int32_t> filesTotal{0};
    std::atomic<std::int32_t> foldersTotal{0};
    std::atomic<std::uint64_t> bytesTotal{0};
    ItemQueue items;
    std::atomic<bool> includeSubfolders{true};
    std::vector<std::wstring> sources;  // parsed and normalised
    ThreadHandle thread;
    std::atomic<bool> started{false};
    std::atomic<bool> done{false};
    std::atomic<bool> stopRequested{false};
    // Set when the discovery thread ended on an unexpected failure (an
    // Exception from a lock); the counts are then incomplete and done stays false.
    std::atomic<bool> failed{false};

    // Parses sourceText into sources, stores the flag and clears the counters
    // and flags. Only while no discovery thread runs.
    void Configure(const std::wstring& sourceText, bool includeSubfolders);
    // Starts the discovery thread and writes the "[Enumeration started] "
    // trace with the sources. Throws after "CreateThread failed.".
    bool Start();
    // Stops and joins a running thread, then configures the module empty.
    void Stop();

    // Same number of sources, each equal (exact, case-sensitive) in order.
    bool HasSameSources(const std::wstring& sourceText) const;
    bool AllSourcesExist(const std::wstring& sourceText);

    // Engine-internal (the discovery thread; public for tests).
    void Run();

private:
    struct TreeVisitor;

    static std::uint32_t ThreadMain(void* module);
    void CountFileSource(const std::wstring& path);

    Platform& platform;
};
