#include "engine/EnumerationModule.h"

#include <exception>

#include "app/core/CommandLine.h"
#include "app/core/Diagnostics.h"
#include "engine/EntryFilter.h"
#include "engine/PathHelpers.h"
#include "engine/SourceList.h"
#include "engine/Waits.h"

namespace {

ResultCode ListingFailureCode(std::uint32_t error) {
    return error == ErrorCode::kAccessDenied || error == ErrorCode::kPathNotFound ? ResultCode::AccessDeniedListing
                                                                                  : ResultCode::ListingFailed;
}

}  // namespace

EnumerationModule::EnumerationModule(Platform& platform) : items(platform), platform(platform) {}

EnumerationModule::~EnumerationModule() {
    stopRequested = true;
    thread.reset();
}

void EnumerationModule::Configure(const std::wstring& sourceText, bool includeSubfoldersFlag) {
    sources = SourcesOfText(sourceText);
    includeSubfolders = includeSubfoldersFlag;
    thread.reset();
    filesTotal = 0;
    foldersTotal = 0;
    bytesTotal = 0;
    started = false;
    done = false;
    stopRequested = false;
    failed = false;
}

bool EnumerationModule::Start() {
    ThreadHandle created;
    const std::uint32_t error = platform.StartThread(&EnumerationModule::ThreadMain, this, created);
    if (error != ErrorCode::kSuccess) Diagnostics::Raise(L"CreateThread failed.", static_cast<int>(error));
    thread = std::move(created);
    std::wstring trace = L"[Enumeration started] \n";
    for (const auto& source : sources) trace += L"  " + source + L"\n";
    Diagnostics::Write(Diagnostics::FormatLine(trace, 0));
    return true;
}

void EnumerationModule::Stop() {
    if (thread) {
        stopRequested = true;
        thread.reset();  // joins
        stopRequested = false;
    }
    Configure(L"", true);
}

bool EnumerationModule::HasSameSources(const std::wstring& sourceText) const {
    return SourcesOfText(sourceText) == sources;
}

bool EnumerationModule::AllSourcesExist(const std::wstring& sourceText) {
    return ::AllSourcesExist(sourceText, platform);
}

std::uint32_t EnumerationModule::ThreadMain(void* module) {
    auto* self = static_cast<EnumerationModule*>(module);
    try {
        self->Run();
    } catch (const std::exception&) {
        // A lock (or memory) failed; its diagnostic line is written. The
        // counts are incomplete, so the module never reports done.
        self->failed = true;
        self->platform.KeepAwake(false);
    }
    return 0;
}

void EnumerationModule::Run() {
    SleepUnless(platform, 500, stopRequested);
    started = true;
    platform.KeepAwake(true);
    for (const auto& source : sources) {
        // Resolved as the copy resolves it, so both see the same items.
        const std::wstring path = FullPathOf(source, platform);
        if (PathExists(path, platform)) {
            if (IsFolder(path, platform)) ++foldersTotal;
            Enumerate(FileNameOf(path), path, includeSubfolders);
        } else {
            ++foldersTotal;
            Enumerate(L".", path, includeSubfolders);
        }
    }
    platform.KeepAwake(false);
    if (!stopRequested) done = true;
}

void EnumerationModule::Enumerate(const std::wstring& relativeName, const std::wstring& path, bool recurse) {
    if (stopRequested) return;
    FindHandle find;
    FindEntry entry;
    if (PathExists(path, platform) && IsNotFolder(path, platform)) {
        // A file source: its own directory entry gives its size. A file that
        // vanished since the test is not counted; the copy reports it.
        if (platform.FindFirst(path, find, entry) == ErrorCode::kSuccess) {
            ++filesTotal;
            bytesTotal += entry.size;
        }
        return;
    }
    std::uint32_t error = platform.FindFirst(JoinPath(path, L"*"), find, entry);
    if (error != ErrorCode::kSuccess) {
        items.Push({ListingFailureCode(error), path, relativeName, error, true});
        return;
    }
    std::vector<std::wstring> subfolders;
    do {
        if (IsSkippedEntry(entry)) continue;
        if (entry.attributes & FileAttribute::kDirectory) {
            subfolders.push_back(entry.name);
        } else {
            ++filesTotal;
            bytesTotal += entry.size;
        }
        // A stop is seen between the entries of one folder: a listing of
        // many thousand entries must not hold up the window that waits.
        if (stopRequested) return;
    } while ((error = platform.FindNext(find.get(), entry)) == ErrorCode::kSuccess);
    if (error != ErrorCode::kNoMoreFiles) {
        // The listing broke off: what it would have held is unknown, so say so.
        items.Push({ListingFailureCode(error), path, relativeName, error, true});
    }
    if (recurse) {
        for (const auto& name : subfolders) {
            ++foldersTotal;
            Enumerate(JoinPath(relativeName, name), NormalizePath(JoinPath(path, name)), true);
        }
    }
}
