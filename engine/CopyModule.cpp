#include "engine/CopyModule.h"

#include <exception>

#include "core/CommandLine.h"
#include "core/Diagnostics.h"
#include "core/Exception.h"
#include "engine/PathHelpers.h"
#include "engine/TreeWalk.h"
#include "engine/Waits.h"

CopyModule::CopyModule(Platform& platform)
    : BackgroundJob(platform), items(platform), finishing(platform, &CopyModule::FinishPending, this), gate(platform) {}

CopyModule::~CopyModule() {
    cancelRequested = true;
    try {
        gate.Resume();
    } catch (const Exception&) {
        // Not held by this thread after all; the join below still ends the
        // worker only if its owner lets go, which is the owner's business.
    }
    thread.reset();
}

void CopyModule::Setup(const SourceList& sourceList, const std::wstring& destinationText, bool includeSubfoldersFlag,
                       bool copyAttributesFlag) {
    // A job that completed while paused leaves the gate held by this thread;
    // a new job must not start behind it.
    gate.Resume();
    destination = FullPathOf(destinationText, platform);
    includeSubfolders = includeSubfoldersFlag;
    copyAttributes = copyAttributesFlag;
    sources = sourceList.Given();
    thread.reset();
    ClearJobState();
    setUp = true;
    Diagnostics::Write(Diagnostics::FormatLine(
        L"CopyModule Setup: \nFrom: " + sourceList.Text() + L"\nTo: " + destinationText + L"\n", 0));
}

bool CopyModule::Start() {
    started = true;
    StartThread();
    return true;
}

void CopyModule::Reset() {
    if (thread) {
        // The worker of a finished job is in its closing wait; one still
        // copying is cancelled so that no thread outlives its job.
        cancelRequested = true;
    }
    // Before the join: a paused worker could never see the cancel.
    gate.Resume();
    thread.reset();
    ClearJobState();
}

void CopyModule::ClearJobState() {
    SetStatusText(L"");
    filesDone = 0;
    bytesCopied = 0;
    skipped = 0;
    setUp = false;
    started = false;
    done = false;
    cancelRequested = false;
    failed = false;
}

void CopyModule::Pause() { gate.Pause(); }

void CopyModule::Resume() { gate.Resume(); }

void CopyModule::Cancel() {
    cancelRequested = true;
    // A paused worker could never see the request.
    gate.Resume();
    thread.reset();
}

std::wstring CopyModule::SkippedText() const {
    const std::int32_t count = skipped;
    return count == 0 ? std::wstring(L"none") : std::to_wstring(count);
}

void CopyModule::Failed() {
    // A lock (or memory) failed. The file in progress was deleted while the
    // exception unwound; the job ends as a cancel would, and one item says
    // that it did not finish.
    try {
        // Outside a file the item is the source being walked.
        const bool isFolder = platform.Folders().IsFolder(currentSource);
        items.Push({ResultCode::Unspecified, currentSource, currentName, 0, isFolder});
        SetStatusText(L"");
    } catch (const std::exception&) {
    }
}

void CopyModule::Run() {
    SleepUnless(platform, 500, cancelRequested);
    started = true;
    platform.Threads().KeepAwake(true);
    CopySources();
    platform.Threads().KeepAwake(false);
    if (!cancelRequested) done = true;
    SetStatusText(L"");
    SleepUnless(platform, 500, cancelRequested);
}

void CopyModule::CopySources() {
    try {
        FinishingThread::Running helper(finishing, platform.Files().OverlapsFinishing());
        namedPaths.Clear();
        for (std::size_t i = 0; i < sources.size(); ++i) {
            CopySource(i);
            if (cancelRequested) break;
        }
        // The last file is counted before the job says it is done.
        finishing.Settle();
    } catch (...) {
        DiscardUnfinished();
        throw;
    }
}

void CopyModule::Report(const ItemResult& item) {
    finishing.Settle();
    items.Push(item);
}

void CopyModule::CopySource(std::size_t index) {
    // A file in hand may be the target, or the source, of this one.
    finishing.Settle();
    // Resolved, so that "." and ".." cannot place anything outside the
    // destination: the last component is the source's own name.
    const std::wstring source = FullPathOf(sources[index], platform);
    currentSource = source;
    currentName = L".";
    attributeFree = IsUncPath(source) || IsUncPath(destination);
    if (!IsFolder(source, platform)) {
        CopyOneFile(L".", source, JoinPath(destination, FileNameOf(source)), kUnknownSize);
        return;
    }
    if (index == 0 && !PathExists(destination, platform)) CreateFolder(destination);
    std::wstring folderName = FileNameOf(source);
    if (IsDriveRoot(source)) {
        std::wstring label;
        const std::uint32_t error = platform.Folders().VolumeLabel(RootOf(source), label);
        if (error != ErrorCode::kSuccess) {
            // Without a label there is no folder to copy the drive into; say
            // so rather than finish as if the drive had been copied.
            const ResultCode code = error == ErrorCode::kAccessDenied || error == ErrorCode::kPathNotFound
                                        ? ResultCode::AccessDeniedListing
                                        : ResultCode::ListingFailed;
            Report({code, source, L".", error, true});
            return;
        }
        folderName = label.empty() ? std::wstring(L"Local Disk") : label;
    }
    const std::wstring target = JoinPath(destination, folderName);
    const FolderState state = CreateFolder(target);
    outputs.clear();
    FileIdentity identity;
    if (platform.Folders().Identify(destination, identity) == ErrorCode::kSuccess) outputs.push_back(identity);
    if (state != FolderState::Blocked && platform.Folders().Identify(target, identity) == ErrorCode::kSuccess) {
        outputs.push_back(identity);
    }
    CopyFolder(L".", source, target, includeSubfolders, state == FolderState::Created, state == FolderState::Blocked);
}

CopyModule::FolderState CopyModule::CreateFolder(const std::wstring& path, const std::wstring& relativeName) {
    std::uint32_t error = platform.Folders().CreateFolder(path);
    if (error == ErrorCode::kSuccess) return FolderState::Created;
    if (error == ErrorCode::kAlreadyExists || error == ErrorCode::kFileExists) {
        // What stands there is read as an entry of its own: a link or a
        // junction would lead the copy elsewhere (into a source, say), so it
        // is no folder to copy into.
        FindHandle find;
        FindEntry entry;
        const bool found = platform.Listing().FindFirst(path, find, entry) == ErrorCode::kSuccess;
        find.reset();
        if (found && IsPassedOverLink(entry)) {
            Diagnostics::Report(L"CreateDirectory failed.", static_cast<int>(ErrorCode::kAlreadyExists));
            Report({ResultCode::AccessDeniedTarget, path, relativeName, ErrorCode::kAlreadyExists, true});
            return FolderState::Blocked;
        }
        // Where the entry cannot be read (no right to list the parent, say),
        // the folder test alone decides, as it always did.
        if (found ? (entry.attributes & FileAttribute::kDirectory) != 0 : IsFolder(path, platform)) {
            return FolderState::Existed;
        }
        // A file of that name stands where the folder must go; it is left as it is.
        error = ErrorCode::kAlreadyExists;
    }
    Diagnostics::Report(L"CreateDirectory failed.", static_cast<int>(error));
    Report({ResultCode::AccessDeniedTarget, path, relativeName, error, true});
    return FolderState::Failed;
}

bool CopyModule::IsOwnOutput(const std::wstring& source) {
    if (outputs.empty()) return false;
    FileIdentity identity;
    if (platform.Folders().Identify(source, identity) != ErrorCode::kSuccess) return false;
    for (const FileIdentity& output : outputs) {
        if (output == identity) return true;
    }
    return false;
}

void CopyModule::CopyFolderAttributes(const std::wstring& source, const std::wstring& relativeName,
                                      const std::wstring& target) {
    std::uint32_t attributes = FileAttribute::kInvalid;
    std::uint32_t error = platform.Folders().GetAttributes(source, attributes);
    if (error != ErrorCode::kSuccess) {
        // Nothing sound can be set; the target keeps the default attributes.
        Report({ResultCode::AttributesNotRead, source, relativeName, error, true});
        return;
    }
    error = platform.Folders().SetAttributes(target, attributes);
    if (error != ErrorCode::kSuccess) {
        Report({ResultCode::AttributesNotWritten, source, relativeName, error, true});
    }
}

// What the copy does per entry of the walk; its context is where the
// folder being walked goes.
struct CopyModule::TreeVisitor {
    struct Target {
        std::wstring path;
        bool created = false;  // made by this job (see CopyFolder)
        bool blocked = false;  // could not be made, and nothing is copied into it (see CopyFolder)
    };

    CopyModule& module;

    void File(const TreeFolder& folder, const Target& target, const FindEntry& entry) {
        const std::wstring relativeName = JoinPath(folder.relativeName, entry.name);
        const std::wstring targetPath = JoinExactPath(target.path, entry.name);
        if (target.blocked) {
            module.Report({ResultCode::AccessDeniedTarget, targetPath, relativeName, ErrorCode::kPathNotFound});
            return;
        }
        module.CopyOneFile(relativeName, JoinExactPath(folder.path, entry.name), targetPath, entry.size,
                        entry.attributes, target.created, entry.lastWriteTime);
    }

    void Link(const TreeFolder& folder, const Target&, const FindEntry& entry) {
        const bool isFolder = (entry.attributes & FileAttribute::kDirectory) != 0;
        module.Report({ResultCode::LinkNotCopied, JoinExactPath(folder.path, entry.name),
                       JoinPath(folder.relativeName, entry.name), 0, isFolder});
    }

    bool EnterSubfolder(const TreeFolder& subfolder, const std::wstring& name, const Target& outer, Target& inner) {
        if (outer.blocked) {
            // Below a folder that could not be made, every path is reported.
            inner.path = JoinExactPath(outer.path, name);
            inner.blocked = true;
            module.Report(
                {ResultCode::AccessDeniedTarget, inner.path, subfolder.relativeName, ErrorCode::kPathNotFound, true});
            return true;
        }
        if (module.IsOwnOutput(subfolder.path)) {
            // The destination reached through the sources: copying it would
            // copy this copy's own output into itself without end.
            module.Report(
                {ResultCode::Unspecified, subfolder.path, subfolder.relativeName, ErrorCode::kAlreadyExists, true});
            return false;
        }
        inner.path = JoinExactPath(outer.path, name);
        // A folder that cannot be created is still walked: each of its files
        // is reported as the copy fails to create it.
        const FolderState state = module.CreateFolder(inner.path, subfolder.relativeName);
        inner.created = state == FolderState::Created;
        inner.blocked = state == FolderState::Blocked;
        module.CopyFolderAttributesIfNew(subfolder, inner.path, inner.created);
        return true;
    }

    void ListingFailed(const TreeFolder& folder, std::uint32_t error) {
        module.Report({ResultCode::AccessDeniedListing, folder.path, folder.relativeName, error, true});
    }
};

void CopyModule::CopyFolderAttributesIfNew(const TreeFolder& source, const std::wstring& target, bool created) {
    // Paths here are full and normalised already; only a source drive's root
    // has no attributes of its own to give.
    if (copyAttributes && created && !attributeFree && !IsDriveRoot(source.path)) {
        CopyFolderAttributes(source.path, source.relativeName, target);
    }
}

void CopyModule::CopyFolder(const std::wstring& relativeName, const std::wstring& source, const std::wstring& target,
                            bool recurse, bool created, bool blocked) {
    const TreeFolder folder{relativeName, source};
    CopyFolderAttributesIfNew(folder, target, created);
    TreeVisitor visitor{*this};
    WalkTree(platform, cancelRequested, visitor, folder, TreeVisitor::Target{target, created, blocked}, recurse);
}
