#pragma once
// What the engine control needs of the two engine modules, as one interface:
// the real modules behind it in the program (ModuleEngine), a scripted fake
// in the control's tests. Every operation runs on the main thread.

#include <cstdint>
#include <string>

#include "core/SourceList.h"
#include "engine/ItemResult.h"
#include "engine/EngineMode.h"

struct EngineCounters {
    std::int32_t filesTotal = 0;     // discovery
    std::int32_t foldersTotal = 0;
    std::uint64_t bytesTotal = 0;
    std::int32_t filesDone = 0;      // copy
    std::uint64_t bytesCopied = 0;
    std::int32_t skipped = 0;
};

class EngineDriver {
public:
    virtual ~EngineDriver() = default;

    virtual EngineFlags Flags() = 0;
    virtual EngineCounters Counters() = 0;
    // The relative name of the file being copied; empty when none.
    virtual std::wstring StatusText() = 0;

    // --- Discovery ---
    // The discovery is configured for exactly these sources and this flag.
    virtual bool DiscoveryMatches(const SourceList& sources, bool includeSubfolders) = 0;
    virtual bool SourcesExist(const SourceList& sources) = 0;
    // Configure, then start the discovery thread.
    virtual void StartDiscovery(const SourceList& sources, bool includeSubfolders) = 0;
    // Stops and joins the discovery thread; the module is left configured empty.
    virtual void StopDiscovery() = 0;
    virtual bool PopDiscoveryItem(ItemResult& item) = 0;

    // --- Copy ---
    virtual void SetupCopy(const SourceList& sources, const std::wstring& toText, bool includeSubfolders,
                           bool copyAttributes) = 0;
    // Marks the copy started, then starts its thread.
    virtual void StartCopy() = 0;
    virtual void ResetCopy() = 0;
    virtual void PauseCopy() = 0;
    virtual void ResumeCopy() = 0;
    // Waits until the copy thread has ended.
    virtual void CancelCopy() = 0;
    virtual bool PopCopyItem(ItemResult& item) = 0;
};
