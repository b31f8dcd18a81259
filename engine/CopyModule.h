#pragma once
// The copy job: copies the sources into the destination folder on a thread of
// its own, never replacing a file that exists there, and reports every item it
// could not copy. Pause, resume and cancel come from the main thread.
//
// The main thread sets the job up, starts, pauses, resumes and cancels it;
// the copy thread writes the counters, the flags and the status text and
// pushes onto the items. Counters and flags are atomic so the main thread may
// poll them at any time.

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "core/SourceList.h"
#include "engine/BackgroundJob.h"
#include "engine/FinishingThread.h"
#include "engine/ItemQueue.h"
#include "engine/PauseGate.h"
#include "engine/StatusText.h"
#include "engine/WrittenPaths.h"
#include "platform/Platform.h"

struct TreeFolder;

class CopyModule final : public BackgroundJob {
public:
    // Bytes moved per block pass, the expected size that means "read it from
    // the open source", and attributes that are not known yet.
    static constexpr std::uint32_t kBlockSize = 0x10000;
    static constexpr std::uint64_t kUnknownSize = ~std::uint64_t{0};
    static constexpr std::uint32_t kUnknownAttributes = FileAttribute::kInvalid;

    explicit CopyModule(Platform& platform);
    // Cancels and joins a running copy first (resuming it when paused).
    ~CopyModule();
    CopyModule(const CopyModule&) = delete;
    CopyModule& operator=(const CopyModule&) = delete;

    // --- Main thread ---
    // Stores the job, clears counters and flags (ending a pause left from the
    // last job), writes the "CopyModule Setup: " trace.
    void Setup(const SourceList& sources, const std::wstring& destination, bool includeSubfolders,
               bool copyAttributes);
    // The same for a From text, parsed here (tests and benchmarks).
    void Setup(const std::wstring& sourceText, const std::wstring& destination, bool includeSubfolders,
               bool copyAttributes) {
        Setup(SourceList::Parse(sourceText), destination, includeSubfolders, copyAttributes);
    }
    // Marks the job started (it counts as copying from here on, through the
    // opening wait) and starts the copy thread. Throws after "CreateThread
    // failed.".
    bool Start();
    // Clears status, counters and flags for a new job and ends a pause. A
    // thread still held is joined first (cancelled when it still runs).
    void Reset();
    // Asks the copy thread to stop at its next block boundary; never waits
    // for it (PauseGate).
    void Pause();
    // Ends a pause (the worker goes on); nothing while not paused.
    void Resume();
    // Asks the copy to stop, ends a pause and waits for the copy thread to end.
    void Cancel();

    // --- What the main thread reads while the job runs (and the job's
    // flags: a failed copy ends as a cancel would, the file in progress
    // deleted, and an Unspecified item names the file it was copying) ---
    bool IsSetUp() const { return setUp; }
    // A pause is requested / has taken effect (the worker waits at the gate).
    bool IsPaused() const { return gate.Paused(); }
    bool IsParked() const { return gate.Parked(); }
    std::int32_t FilesDone() const { return filesDone; }
    std::uint64_t BytesCopied() const { return bytesCopied; }
    std::int32_t Skipped() const { return skipped; }
    // "none" for 0, else the number.
    std::wstring SkippedText() const;
    std::wstring GetStatusText() const { return statusText.Get(); }
    // The items that could not be copied, as the copy meets them.
    ItemQueue& Items() { return items; }
    // The job as Setup stored it: the destination normalised and resolved to
    // a full path, the sources as given, not normalised.
    const std::wstring& Destination() const { return destination; }
    const std::vector<std::wstring>& Sources() const { return sources; }
    bool IncludesSubfolders() const { return includeSubfolders; }
    bool CopiesAttributes() const { return copyAttributes; }

    // The copy thread's body: the whole job.
    void Run() override;

private:
    // Reaches the file copy and the folder steps one at a time.
    friend struct CopyModuleTestSeam;
    struct TreeVisitor;
    // What CreateFolder found or did. Blocked: a link or junction stands
    // where the folder must go; it is never followed.
    enum class FolderState { Created, Existed, Failed, Blocked };
    // A copied file whose last step (close and name) is in hand: written by
    // the copy thread while no step is, read by whichever thread runs it.
    struct PendingFile {
        FileHandle source;
        FileHandle target;
        std::wstring sourcePath;
        std::wstring relativeName;
        std::wstring temporary;
        std::wstring targetPath;
        std::uint64_t written = 0;
        std::uint64_t expectedSize = 0;
        // The target's name was taken by this job already (a twin name).
        bool twin = false;
        // The temporary has no name to remove it by.
        bool unnamed = false;
    };
    class CreatedTarget;

    // Reports the file in hand of a job whose thread failed.
    void Failed() override;
    // The job's sources, one after another, with the finishing thread running.
    void CopySources();
    void CopySource(std::size_t index);
    // Reports an item of the copy thread, after the outcome of the file in
    // hand, so that items arrive in the order of the files.
    void Report(const ItemResult& item);
    // The last step of a copied file: closes it and gives it its name, then
    // counts it and reports what went wrong (FinishingThread step).
    static void FinishPending(void* module);
    void FinishPendingFile();
    // Removes the temporary of a file that was handed but never finished (a
    // failed job).
    void DiscardUnfinished();
    void SetStatusText(const std::wstring& text) { statusText.Set(text); }
    // Creates one folder level. A folder already there is used as it is; a
    // folder that cannot be created (a file in its place included) is an
    // AccessDeniedTarget item for relativeName, and what belongs in it is
    // reported file by file as the copy fails to create it.
    FolderState CreateFolder(const std::wstring& path, const std::wstring& relativeName = L".");
    // created: the job made target itself, so the source folder's attributes
    // may be set on it (a folder that existed before the job keeps its own)
    // and nothing in it can exist yet but what another program puts there
    // meanwhile, which the final rename of each file still respects.
    // blocked: the target folder could not be made (a link in its place):
    // every file of the source is then reported, none is copied.
    void CopyFolder(const std::wstring& relativeName, const std::wstring& source, const std::wstring& target,
                    bool recurse, bool created = true, bool blocked = false);
    // attributes: the source's attribute word as its listing gave it, or
    // kUnknownAttributes to read it. targetFolderIsNew: the target's folder
    // was created by this job, so no file can be in the target's way before
    // the final rename, which tests it anyway. lastWrite: the source's
    // last-write time as listed (0 when unknown), for the temporary's stamp.
    void CopyOneFile(const std::wstring& relativeName, const std::wstring& source, const std::wstring& target,
                     std::uint64_t expectedSize, std::uint32_t attributes = kUnknownAttributes,
                     bool targetFolderIsNew = false, std::uint64_t lastWrite = 0);
    // CopyOneFile's steps. Opens the source (reading its size when unknown);
    // false, after its item, when it cannot be read.
    bool OpenSource(const std::wstring& relativeName, const std::wstring& source, FileHandle& file,
                    std::uint64_t& expectedSize);
    // Copies block by block to the end of the source, through the pause
    // gate; written counts the bytes, failure says why it stopped early.
    // False when the job was cancelled meanwhile.
    bool CopyBlocks(NativeHandle source, NativeHandle target, std::uint64_t expectedSize, std::uint64_t& written,
                    std::uint32_t& failure);
    // Gives the complete file to the finishing thread, once the one before
    // is finished.
    void HandOver(FileHandle& sourceFile, FileHandle& targetFile, const std::wstring& relativeName,
                  const std::wstring& source, const std::wstring& temporary, const std::wstring& target,
                  std::uint64_t written, std::uint64_t expectedSize);
    // A folder's attributes onto the folder the job created for it (a file
    // is created with its own).
    void CopyFolderAttributes(const std::wstring& source, const std::wstring& relativeName,
                              const std::wstring& target);
    // The source folder's attributes onto a target folder this job created.
    void CopyFolderAttributesIfNew(const TreeFolder& source, const std::wstring& target, bool created);
    bool DeleteTarget(const std::wstring& path);
    // True when source is the destination or the folder the current source
    // is copied into: the walk never descends into its own output, whatever
    // path leads there.
    bool IsOwnOutput(const std::wstring& source);
    // Creates and stamps the temporary for a target with the attributes it
    // is to have (its path in temporary), removing a leftover of a killed
    // copy in its way; where something else stands at the name, the next
    // attempt's name is tried.
    std::uint32_t CreateTemporary(const std::wstring& target, std::uint32_t attributes, std::uint64_t size,
                                  std::uint64_t lastWrite, FileHandle& file, std::wstring& temporary);
    // Removes what stands at temporary only when it is a leftover of an
    // earlier run: a regular file with a marked name and its stamp, at a
    // path this job has not named. True when it went.
    bool RemoveLeftover(const std::wstring& temporary);
    // Discards a temporary of this job that is still open; a temporary that
    // stays is an item that names it. settle: report in file order (not
    // while an exception unwinds).
    void DiscardTemporary(FileHandle& file, const std::wstring& temporary, const std::wstring& relativeName,
                          bool settle);
    // Removes a named temporary of this job whose handle is closed; one that
    // stays is an item that names it (finishing step).
    void RemoveClosedTemporary(const PendingFile& file);
    // The item of a temporary that could not be removed.
    static ItemResult TemporaryLeft(const std::wstring& temporary, const std::wstring& relativeName,
                                    std::uint32_t error);
    // True when what stands at target has another spelling of its name
    // (the destination took target for it).
    bool NameStandsAsTwin(const std::wstring& target);
    // A file whose target exists: skipped, or, when this job named that
    // target itself under another spelling, an item saying so.
    void SkipExisting(const std::wstring& relativeName, const std::wstring& source, const std::wstring& target);
    // Clears the counters and flags of a job.
    void ClearJobState();

    // Written by the main thread before the copy thread starts.
    std::wstring destination;
    std::vector<std::wstring> sources;
    std::atomic<bool> includeSubfolders{true};
    std::atomic<bool> copyAttributes{true};
    // Set by the main thread; setUp and started first, cancelRequested at any time.
    std::atomic<bool> setUp{false};
    std::atomic<bool> cancelRequested{false};
    // Written by the copy thread, polled by the main thread.
    std::atomic<std::int32_t> filesDone{0};
    std::atomic<std::uint64_t> bytesCopied{0};
    std::atomic<std::int32_t> skipped{0};
    ItemQueue items;
    PendingFile pending;
    FinishingThread finishing;
    PauseGate gate;
    StatusText statusText;
    // The item the copy thread is working on, for the report of a failed job
    // (copy thread only).
    std::wstring currentSource;
    std::wstring currentName;
    // Identities of the destination and of the current source's target
    // folder, when they could be read (copy thread only).
    std::vector<FileIdentity> outputs;
    // The current source or the destination is a UNC path: no attributes are
    // copied (copy thread only).
    bool attributeFree = false;
    // What this job named in this run (copy thread only).
    WrittenPaths namedPaths;
};
