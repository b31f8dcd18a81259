#include "engine/EnumerationModule.h"

#include "core/Diagnostics.h"
#include "engine/PathHelpers.h"
#include "engine/TreeWalk.h"
#include "engine/Waits.h"

namespace {

ResultCode ListingFailureCode(std::uint32_t error) {
    return error == ErrorCode::kAccessDenied || error == ErrorCode::kPathNotFound ? ResultCode::AccessDeniedListing
                                                                                  : ResultCode::ListingFailed;
}

}  // namespace

EnumerationModule::EnumerationModule(Platform& platform) : BackgroundJob(platform), items(platform) {}

EnumerationModule::~EnumerationModule() {
    stopRequested = true;
    thread.reset();
}

void EnumerationModule::Configure(const SourceList& sourceList, bool includeSubfoldersFlag) {
    sources = sourceList.Normalized();
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
    StartThread();
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
    Configure(SourceList::Parse(L""), true);
}

bool EnumerationModule::HasSameSources(const SourceList& sourceList) const {
    return sourceList.Normalized() == sources;
}

bool EnumerationModule::AllSourcesExist(const SourceList& sourceList) {
    return ::AllSourcesExist(sourceList, platform);
}

// What discovery does per entry of the walk: it counts.
struct EnumerationModule::TreeVisitor {
    struct Nothing {};

    EnumerationModule& module;

    void File(const TreeFolder&, Nothing, const FindEntry& entry) {
        ++module.filesTotal;
        module.bytesTotal += entry.size;
    }
    bool EnterSubfolder(const TreeFolder&, const std::wstring&, Nothing, Nothing&) {
        ++module.foldersTotal;
        return true;
    }
    void ListingFailed(const TreeFolder& folder, std::uint32_t error) {
        module.items.Push({ListingFailureCode(error), folder.path, folder.relativeName, error, true});
    }
    // The copy gives each link its row.
    void Link(const TreeFolder&, Nothing, const FindEntry&) {}
};

void EnumerationModule::Run() {
    SleepUnless(platform, 500, stopRequested);
    started = true;
    platform.Threads().KeepAwake(true);
    TreeVisitor visitor{*this};
    for (const auto& source : sources) {
        if (stopRequested) break;
        // Resolved as the copy resolves it, so both see the same items.
        const std::wstring path = FullPathOf(source, platform);
        if (!PathExists(path, platform)) {
            // Counted as the folder the copy would report it as.
            ++foldersTotal;
            WalkTree(platform, stopRequested, visitor, TreeFolder{L".", path}, TreeVisitor::Nothing{},
                     includeSubfolders.load());
        } else if (IsFolder(path, platform)) {
            ++foldersTotal;
            WalkTree(platform, stopRequested, visitor, TreeFolder{FileNameOf(path), path}, TreeVisitor::Nothing{},
                     includeSubfolders.load());
        } else {
            CountFileSource(path);
        }
    }
    platform.Threads().KeepAwake(false);
    if (!stopRequested) done = true;
}

void EnumerationModule::CountFileSource(const std::wstring& path) {
    // Its own directory entry gives its size. A file that vanished since the
    // test is not counted; the copy reports it.
    FindHandle find;
    FindEntry entry;
    if (platform.Listing().FindFirst(path, find, entry) == ErrorCode::kSuccess) {
        ++filesTotal;
        bytesTotal += entry.size;
    }
}
