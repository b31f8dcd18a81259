// The copy of one file, its attributes, and the removal of a cancelled target.
//
// A file ends in exactly one of these ways: skipped (its target exists, or
// appeared while it was copied); not started (an open or create failure, an
// item); complete (filesDone +1); partial (an item, filesDone and skipped +1:
// a failed read, write or close leaves no target at all, a source that
// changed size leaves what it gave); cancelled (nothing left behind).

#include <exception>
#include <memory>

#include "core/CommandLine.h"
#include "engine/CopyModule.h"
#include "engine/PathHelpers.h"
#include "engine/TemporaryName.h"

namespace {

// Names the file in progress for the report of a failed job, and gives the
// name back to the enclosing source when the file is finished normally.
class CurrentItem {
public:
    CurrentItem(std::wstring& source, std::wstring& name, const std::wstring& file, const std::wstring& relative)
        : source(source), name(name), savedSource(source), savedName(name), unwinding(std::uncaught_exceptions()) {
        source = file;
        name = relative;
    }
    ~CurrentItem() {
        if (std::uncaught_exceptions() > unwinding) return;  // keep naming the failed file
        source = savedSource;
        name = savedName;
    }
    CurrentItem(const CurrentItem&) = delete;
    CurrentItem& operator=(const CurrentItem&) = delete;

private:
    std::wstring& source;
    std::wstring& name;
    std::wstring savedSource;
    std::wstring savedName;
    int unwinding;
};

}  // namespace

// Discards the temporary of a copy unless the copy reached its end: a cancel
// or an exception leaves nothing partial behind.
class CopyModule::CreatedTarget {
public:
    CreatedTarget(CopyModule& module, FileHandle& file, const std::wstring& path, const std::wstring& relativeName)
        : module(module), file(file), path(path), relativeName(relativeName) {}
    ~CreatedTarget() {
        if (!keep) module.DiscardTemporary(file, path, relativeName, false);
    }
    CreatedTarget(const CreatedTarget&) = delete;
    CreatedTarget& operator=(const CreatedTarget&) = delete;

    void Keep() { keep = true; }
    void Discard() {
        keep = true;
        module.DiscardTemporary(file, path, relativeName, true);
    }

private:
    CopyModule& module;
    FileHandle& file;
    const std::wstring& path;
    const std::wstring& relativeName;
    bool keep = false;
};

void CopyModule::CopyOneFile(const std::wstring& relativeName, const std::wstring& source, const std::wstring& target,
                             std::uint64_t expectedSize, std::uint32_t attributes, bool targetFolderIsNew,
                             std::uint64_t lastWrite) {
    // In a folder this job created nothing can be in the way yet; the final
    // rename still refuses to replace whatever appears meanwhile.
    if (!targetFolderIsNew && PathExists(target, platform)) {
        SkipExisting(relativeName, source, target);
        return;
    }
    FileHandle sourceFile;
    if (!OpenSource(relativeName, source, sourceFile, expectedSize)) return;
    // The attributes the listing gave (read here only for a source named
    // directly) are given to the file as it is created: a read-only target
    // is still written through the handle that created it.
    bool setAttributes = copyAttributes && !attributeFree;
    std::uint32_t attributesUnread = ErrorCode::kSuccess;
    if (setAttributes && attributes == kUnknownAttributes) {
        attributesUnread = platform.Folders().GetAttributes(source, attributes);
        // Nothing sound can be set then; the target keeps the default
        // attributes, and a copy that succeeds says so.
        if (attributesUnread != ErrorCode::kSuccess) setAttributes = false;
    }
    const std::uint32_t atCreation = setAttributes ? attributes & FileAttribute::kSetAtCreation : 0;

    // The bytes go to a temporary; the target's name appears only on a
    // complete, closed file.
    std::wstring temporary;
    FileHandle targetFile;
    std::uint32_t error = CreateTemporary(target, atCreation, expectedSize, lastWrite, targetFile, temporary);
    if (error != ErrorCode::kSuccess) {
        Report({ResultCode::AccessDeniedTarget, target, relativeName, error});
        return;
    }
    CreatedTarget created(*this, targetFile, temporary, relativeName);
    CurrentItem current(currentSource, currentName, source, relativeName);
    SetStatusText(relativeName);

    std::uint64_t written = 0;
    std::uint32_t failure = ErrorCode::kSuccess;
    if (!CopyBlocks(sourceFile.get(), targetFile.get(), expectedSize, written, failure)) {
        created.Discard();
        return;
    }
    if (failure == ErrorCode::kSuccess && attributesUnread != ErrorCode::kSuccess) {
        Report({ResultCode::AttributesNotRead, source, relativeName, attributesUnread});
    }
    // Attributes a new file cannot be created with are set afterwards.
    if (failure == ErrorCode::kSuccess && setAttributes && (attributes & FileAttribute::kSetLater)) {
        error = platform.Folders().SetAttributes(temporary, atCreation | (attributes & FileAttribute::kSetLater));
        if (error != ErrorCode::kSuccess) Report({ResultCode::AttributesNotWritten, source, relativeName, error});
    }
    if (failure != ErrorCode::kSuccess) {
        // A read or write failed: nothing partial takes the name.
        sourceFile.reset();
        Report({ResultCode::PartialCopy, source, relativeName, failure});
        created.Discard();
        ++filesDone;
        ++skipped;
        return;
    }
    HandOver(sourceFile, targetFile, relativeName, source, temporary, target, written, expectedSize);
    created.Keep();
}

bool CopyModule::OpenSource(const std::wstring& relativeName, const std::wstring& source, FileHandle& file,
                            std::uint64_t& expectedSize) {
    std::uint32_t error = platform.Files().OpenForBackupRead(source, file);
    if (error != ErrorCode::kSuccess) {
        const ResultCode code =
            error == ErrorCode::kSharingViolation ? ResultCode::FileLocked : ResultCode::AccessDeniedSource;
        Report({code, source, relativeName, error});
        return false;
    }
    if (expectedSize == kUnknownSize) {
        // Without the size a short copy could not be told from a complete one.
        error = platform.Files().FileSize(file.get(), expectedSize);
        if (error != ErrorCode::kSuccess) {
            Report({ResultCode::AccessDeniedSource, source, relativeName, error});
            return false;
        }
    }
    return true;
}

bool CopyModule::CopyBlocks(NativeHandle source, NativeHandle target, std::uint64_t expectedSize,
                            std::uint64_t& written, std::uint32_t& failure) {
    std::unique_ptr<unsigned char[]> buffer(new unsigned char[kBlockSize]);
    for (;;) {
        // Parked only once the file in hand is finished: from "Paused" on,
        // the counters and the targets stay as they are.
        gate.Pass([this] { finishing.Settle(); });
        if (cancelRequested) return false;
        std::uint32_t bytesRead = 0;
        std::uint32_t bytesWritten = 0;
        failure = platform.Files().CopyBlock(source, target, buffer.get(), kBlockSize, bytesRead, bytesWritten);
        // The end of the file, or a read that failed.
        if (bytesRead == 0) return true;
        bytesCopied += bytesWritten;
        written += bytesWritten;
        if (failure == ErrorCode::kSuccess && bytesWritten == bytesRead) {
            // A short read that brings the file to its listed size is its
            // end: no further read is needed to learn that.
            if (bytesRead < kBlockSize && written == expectedSize) return true;
            continue;
        }
        // No later block may follow a block that did not arrive whole.
        if (failure == ErrorCode::kSuccess) failure = ErrorCode::kDiskFull;
        return true;
    }
}

void CopyModule::HandOver(FileHandle& sourceFile, FileHandle& targetFile, const std::wstring& relativeName,
                          const std::wstring& source, const std::wstring& temporary, const std::wstring& target,
                          std::uint64_t written, std::uint64_t expectedSize) {
    // The complete file is closed and named by the finishing thread while
    // this one goes on with the next file.
    finishing.Settle();
    pending.source = std::move(sourceFile);
    pending.target = std::move(targetFile);
    pending.sourcePath = source;
    pending.relativeName = relativeName;
    pending.temporary = temporary;
    pending.targetPath = target;
    pending.written = written;
    pending.expectedSize = expectedSize;
    pending.unnamed = platform.Files().IsUnnamedFile(pending.target.get());
    // A name the destination cannot tell from one copied before in this
    // job is known here; the finishing step only reads it.
    pending.twin = namedPaths.HasTwinOf(target);
    namedPaths.Add(target);
    finishing.Hand();
}

void CopyModule::FinishPending(void* module) { static_cast<CopyModule*>(module)->FinishPendingFile(); }

void CopyModule::FinishPendingFile() {
    PendingFile& file = pending;
    // Closed and named in one step; a failed close can lose data the system
    // still held for the file, so it counts like a failed write and the file
    // never keeps the name.
    std::uint32_t error = ErrorCode::kSuccess;
    const FileCalls::Finish finish = platform.Files().FinishNewFile(file.target.release(), file.temporary, file.targetPath, error);
    file.source.reset();
    switch (finish) {
        case FileCalls::Finish::Named:
            ++filesDone;
            if (file.written != file.expectedSize) {
                // The source changed size while it was read: the target holds
                // all it gave up to its end, which differs from what was listed.
                items.Push({ResultCode::PartialCopy, file.sourcePath, file.relativeName, ErrorCode::kSuccess});
                ++skipped;
            }
            return;
        case FileCalls::Finish::CloseFailed:
            items.Push({ResultCode::PartialCopy, file.sourcePath, file.relativeName, error});
            RemoveClosedTemporary(file);
            ++filesDone;
            ++skipped;
            return;
        case FileCalls::Finish::NameTaken:
            // The target appeared while the copy ran: it is left as it is.
            // Where this job put it there, under a name the destination
            // cannot tell from this one, nothing existed before.
            if (file.twin && NameStandsAsTwin(file.targetPath)) {
                items.Push({ResultCode::SameNameCopied, file.sourcePath, file.relativeName, error});
            } else {
                ++skipped;
            }
            RemoveClosedTemporary(file);
            return;
        case FileCalls::Finish::RenameFailed:
            items.Push({ResultCode::AccessDeniedTarget, file.targetPath, file.relativeName, error});
            RemoveClosedTemporary(file);
            return;
    }
}

void CopyModule::DiscardUnfinished() {
    if (!pending.target) return;
    pending.source.reset();
    DiscardTemporary(pending.target, pending.temporary, pending.relativeName, false);
}

bool CopyModule::NameStandsAsTwin(const std::wstring& target) {
    FindHandle find;
    FindEntry entry;
    if (platform.Listing().FindFirst(target, find, entry) != ErrorCode::kSuccess) return false;
    return entry.name != FileNameOf(target);
}

void CopyModule::SkipExisting(const std::wstring& relativeName, const std::wstring& source,
                              const std::wstring& target) {
    if (namedPaths.HasTwinOf(target) && NameStandsAsTwin(target)) {
        Report({ResultCode::SameNameCopied, source, relativeName, ErrorCode::kAlreadyExists});
    } else {
        ++skipped;
    }
}

ItemResult CopyModule::TemporaryLeft(const std::wstring& temporary, const std::wstring& relativeName,
                                     std::uint32_t error) {
    // The row names the temporary itself, beside its file's own row.
    const std::wstring folder = relativeName == L"." ? relativeName : ParentOf(relativeName);
    return {ResultCode::DeleteFailed, temporary, JoinPath(folder.empty() ? L"." : folder, FileNameOf(temporary)),
            error};
}

void CopyModule::DiscardTemporary(FileHandle& file, const std::wstring& temporary, const std::wstring& relativeName,
                                  bool settle) {
    if (!file) return;
    const std::uint32_t error = platform.Files().DiscardNewFile(file.release(), temporary);
    if (error == ErrorCode::kSuccess || error == ErrorCode::kFileNotFound) return;
    if (settle) {
        namedPaths.Add(temporary);
        Report(TemporaryLeft(temporary, relativeName, error));
        return;
    }
    try {
        namedPaths.Add(temporary);
        items.Push(TemporaryLeft(temporary, relativeName, error));
    } catch (const std::exception&) {
        // The job is failing already; its own item says so.
    }
}

void CopyModule::RemoveClosedTemporary(const PendingFile& file) {
    if (file.unnamed) return;  // gone with its handle; whatever has the path now is not ours
    const std::uint32_t error = platform.Files().RemoveTemporary(file.temporary);
    if (error == ErrorCode::kSuccess || error == ErrorCode::kFileNotFound) return;
    items.Push(TemporaryLeft(file.temporary, file.relativeName, error));
}

std::uint32_t CopyModule::CreateTemporary(const std::wstring& target, std::uint32_t attributes, std::uint64_t size,
                                          std::uint64_t lastWrite, FileHandle& file, std::wstring& temporary) {
    auto taken = [](std::uint32_t error) {
        return error == ErrorCode::kFileExists || error == ErrorCode::kAlreadyExists;
    };
    std::uint32_t error = ErrorCode::kSuccess;
    for (int attempt = 0; attempt < TemporaryName::kAttempts; ++attempt) {
        temporary = TemporaryName::For(target, attempt);
        error = platform.Files().CreateUnfinishedFile(temporary, file, attributes);
        if (taken(error) && finishing.Busy()) {
            // The file in hand may still hold the name (two names of one
            // folder whose temporaries coincide): let it finish first.
            finishing.Settle();
            error = platform.Files().CreateUnfinishedFile(temporary, file, attributes);
        }
        // The temporary of a copy that still runs is open without sharing,
        // so it cannot be removed here.
        if (taken(error) && RemoveLeftover(temporary)) {
            error = platform.Files().CreateUnfinishedFile(temporary, file, attributes);
        }
        if (error == ErrorCode::kSuccess) {
            // Without the stamp a killed copy's temporary is merely never
            // removed; the copy itself is sound.
            platform.Files().StampNewFile(file.get(), TemporaryName::StampFor(FileNameOf(temporary), size, lastWrite));
            namedPaths.Add(temporary);
            return error;
        }
        if (!taken(error)) return error;
    }
    return error;
}

bool CopyModule::RemoveLeftover(const std::wstring& temporary) {
    if (namedPaths.Contains(temporary)) return false;
    FindHandle find;
    FindEntry entry;
    if (platform.Listing().FindFirst(temporary, find, entry) != ErrorCode::kSuccess) return false;
    find.reset();
    if (entry.attributes & (FileAttribute::kDirectory | FileAttribute::kReparsePoint)) return false;
    if (!TemporaryName::IsMarked(entry.name) || !TemporaryName::IsStampOf(entry.name, entry.lastAccessTime)) {
        return false;
    }
    return platform.Files().RemoveTemporary(temporary) == ErrorCode::kSuccess;
}

bool CopyModule::DeleteTarget(const std::wstring& path) {
    const std::uint32_t error = platform.Files().RemoveTemporary(path);
    return error == ErrorCode::kSuccess || error == ErrorCode::kFileNotFound;
}
