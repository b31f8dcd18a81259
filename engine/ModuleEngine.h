#pragma once
// The engine driver of the program: the main form's EnumerationModule and
// CopyModule behind the EngineDriver interface.
//
// A module whose thread ended on an unexpected failure (its failed flag) is
// reported as done: its job is over, and the item it queued says what went
// wrong. Otherwise the mode would stay Discovering or Copying forever.

#include "engine/CopyModule.h"
#include "engine/EnumerationModule.h"
#include "engine/EngineDriver.h"

class ModuleEngine : public EngineDriver {
public:
    ModuleEngine(EnumerationModule& discovery, CopyModule& copy);

    EngineFlags Flags() override;
    EngineCounters Counters() override;
    std::wstring StatusText() override;

    bool DiscoveryMatches(const SourceList& sources, bool includeSubfolders) override;
    bool SourcesExist(const SourceList& sources) override;
    void StartDiscovery(const SourceList& sources, bool includeSubfolders) override;
    void StopDiscovery() override;
    bool PopDiscoveryItem(ItemResult& item) override;

    void SetupCopy(const SourceList& sources, const std::wstring& toText, bool includeSubfolders,
                   bool copyAttributes) override;
    void StartCopy() override;
    void ResetCopy() override;
    void PauseCopy() override;
    void ResumeCopy() override;
    void CancelCopy() override;
    bool PopCopyItem(ItemResult& item) override;

private:
    EnumerationModule& discovery;
    CopyModule& copy;
};
