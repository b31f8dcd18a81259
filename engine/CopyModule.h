#pragma once
// The copy job: copies the sources into the destination folder on a thread of
// its own, never replacing a file that exists there, and reports every item it
// could not copy. Pause, resume and cancel come from the main thread.
//
// The main thread sets the job fields and setUp, started (first) and
// cancelRequested, and pauses and resumes through the gate; the copy thread
// writes filesDone, bytesCopied, skipped, started, done and the status text
// and pushes onto items. Counters and flags are atomic so the main thread may
// poll them.

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/ItemQueue.h"
#include "engine/PauseGate.h"
#include "engine/StatusText.h"
#include "platform/Platform.h"

struct TreeFolder;

// <windows.h> renames CopyFile to CopyFileW for whoever includes it first;
// the member keeps its own name in every translation unit.
#pragma push_macro("CopyFile")
#undef CopyFile

class CopyModule {
public:
    // Bytes moved per block pass, the expected size that means "read it from
    // the open source", and attributes that are not known yet.
    static constexpr std::uint32_t kBlockSize = 0x10000;
    static constexpr std::uint64_t kUnknownSize = ~std::uint64_t{0};
    static constexpr std::uint32_t kUnknownAttributes = FileAttribute::kInvalid;

    explicit CopyModule(Platform& platform = SystemPlatform());
    // Cancels and joins a running copy first (resuming it when paused).
    ~CopyModule();
    CopyModule(const CopyModule&) = delete;
    CopyModule& operator=(const CopyModule&) = delete;

    std::atomic<std::int32_t> filesDone{0};
    std::atomic<std::uint64_t> bytesCopied{0};
    std::atomic<bool> includeSubfolders{true};
    std::atomic<bool> copyAttributes{true};
    ItemQueue items;
    std::wstring destination;           // normalised and resolved to a full path
    std::vector<std::wstring> sources;  // as parsed, not normalised
    ThreadHandle thread;
    std::atomic<bool> setUp{false};
    std::atomic<bool> started{false};
    std::atomic<bool> done{false};
    std::atomic<bool> cancelRequested{false};
    std::atomic<std::int32_t> skipped{0};
    // Set when the copy thread ended on an unexpected failure (an Exception):
    // the job then ended as a cancel would (done false, the file in progress
    // deleted) and an Unspecified item names the file it was copying.
    std::atomic<bool> failed{false};

    // --- Main thread ---
    // Stores the job, clears counters and flags (ending a pause left from the
    // last job), writes the "CopyModule Setup: " trace.
    void Setup(const std::wstring& sourceText, const std::wstring& destination, bool includeSubfolders,
               bool copyAttributes);
    // Starts the copy thread (the caller sets started just before). Throws
    // after "CreateThread failed.".
    bool Start();
    // Clears status, counters and flags for a new job and ends a pause. A
    // thread still held is joined first (cancelled when it still runs).
    void Reset();
    // Asks the copy thread to stop at its next block boundary; never waits
    // for it (PauseGate).
    void Pause();
    // Ends a pause (the worker goes on); nothing while not paused.
    void Resume();
    // A pause is requested / has taken effect (the worker waits at the gate).
    bool IsPaused() const { return gate.Paused(); }
    bool IsParked() const { return gate.Parked(); }
    // Sets cancelRequested, ends a pause and waits for the copy thread to end.
    void Cancel();

    std::wstring GetStatusText() const { return statusText.Get(); }
    // "none" for 0, else the number.
    std::wstring SkippedText() const;

    // --- Engine-internal: the copy thread (public for tests) ---
    // What CreateFolder found or did.
    enum class FolderState { Created, Existed, Failed };

    void Run();
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
    void CopyFolder(const std::wstring& relativeName, const std::wstring& source, const std::wstring& target,
                    bool recurse, bool created = true);
    // attributes: the source's attribute word as its listing gave it, or
    // kUnknownAttributes to read it. targetFolderIsNew: the target's folder
    // was created by this job, so no file can be in the target's way before
    // the final rename, which tests it anyway.
    void CopyFile(const std::wstring& relativeName, const std::wstring& source, const std::wstring& target,
                  std::uint64_t expectedSize, std::uint32_t attributes = kUnknownAttributes,
                  bool targetFolderIsNew = false);
    // A folder's attributes onto the folder the job created for it (a file
    // is created with its own).
    void CopyFolderAttributes(const std::wstring& source, const std::wstring& relativeName,
                              const std::wstring& target);
    bool DeleteTarget(const std::wstring& path);

private:
    struct TreeVisitor;

    static std::uint32_t ThreadMain(void* module);
    void CopySource(std::size_t index);
    // The source folder's attributes onto a target folder this job created.
    void CopyFolderAttributesIfNew(const TreeFolder& source, const std::wstring& target, bool created);
    // True when source is the destination or the folder the current source
    // is copied into: the walk never descends into its own output, whatever
    // path leads there.
    bool IsOwnOutput(const std::wstring& source);
    // Creates the temporary for a target with the attributes it is to have,
    // removing a marked leftover of a killed copy in its way.
    std::uint32_t CreateTemporary(const std::wstring& temporary, std::uint32_t attributes, FileHandle& file);

    Platform& platform;
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
};

#pragma pop_macro("CopyFile")
