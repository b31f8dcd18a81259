#pragma once
// A scripted engine for the control's tests: flags and counters are set by
// the test, every operation is logged, and the operations change the flags
// the way the real modules do (without threads).

#include <deque>
#include <set>
#include <string>
#include <vector>

#include "engine/EngineDriver.h"

class FakeEngine : public EngineDriver {
public:
    EngineFlags flags;
    EngineCounters counters;
    std::wstring statusText;
    std::deque<ItemResult> discoveryItems;
    std::deque<ItemResult> copyItems;
    std::set<std::wstring> existing;  // From texts whose sources all exist
    std::vector<std::string> log;

    // What discovery is configured with; a stop configures it empty.
    bool configured = false;
    std::wstring configuredText;
    bool configuredBox = true;

    EngineFlags Flags() override { return flags; }
    EngineCounters Counters() override { return counters; }
    std::wstring StatusText() override { return statusText; }

    bool DiscoveryMatches(const SourceList& sources, bool includeSubfolders) override {
        return configured && sources.Text() == configuredText && includeSubfolders == configuredBox;
    }
    bool SourcesExist(const SourceList& sources) override { return existing.count(sources.Text()) != 0; }
    void StartDiscovery(const SourceList& sources, bool includeSubfolders) override {
        log.push_back("StartDiscovery");
        Configure(sources.Text(), includeSubfolders);
    }
    void StopDiscovery() override {
        log.push_back("StopDiscovery");
        Configure(L"", true);
    }
    bool PopDiscoveryItem(ItemResult& item) override { return Pop(discoveryItems, item); }

    void SetupCopy(const SourceList& sources, const std::wstring& toText, bool, bool) override {
        log.push_back("SetupCopy");
        setupFrom = sources.Text();
        setupSources = sources.Given();
        setupTo = toText;
        flags.copySetUp = true;
        flags.copyStarted = flags.copyDone = false;
    }
    void StartCopy() override {
        log.push_back("StartCopy");
        flags.copyStarted = true;
    }
    void ResetCopy() override {
        log.push_back("ResetCopy");
        flags.copySetUp = flags.copyStarted = flags.copyDone = false;
        counters.filesDone = 0;
        counters.bytesCopied = 0;
        counters.skipped = 0;
    }
    void PauseCopy() override {
        log.push_back("PauseCopy");
        flags.copyPaused = true;
    }
    void ResumeCopy() override {
        log.push_back("ResumeCopy");
        flags.copyPaused = false;
    }
    void CancelCopy() override { log.push_back("CancelCopy"); }
    bool PopCopyItem(ItemResult& item) override { return Pop(copyItems, item); }

    std::wstring setupFrom, setupTo;
    std::vector<std::wstring> setupSources;

    // The logged operations since the last call.
    std::vector<std::string> TakeLog() {
        std::vector<std::string> taken;
        taken.swap(log);
        return taken;
    }

private:
    void Configure(const std::wstring& text, bool box) {
        configured = true;
        configuredText = text;
        configuredBox = box;
        flags.discoveryStarted = flags.discoveryDone = false;
        counters.filesTotal = counters.foldersTotal = 0;
        counters.bytesTotal = 0;
    }
    static bool Pop(std::deque<ItemResult>& queue, ItemResult& item) {
        if (queue.empty()) return false;
        item = queue.front();
        queue.pop_front();
        return true;
    }
};
