#pragma once
// The copy job: copies the sources into the destination folder on a thread of
// its own, never replacing a file that exists there, and reports every item it
// could not copy. Pause, resume and cancel come from the main thread.
//
// The main thread sets the job fields and setUp, started (first),
// cancelRequested and paused; the copy thread writes filesDone, bytesCopied,
// skipped, started, done and statusText (under statusLock) and pushes onto
// items. Counters and flags are atomic so the main thread may poll them.

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/ItemQueue.h"
#include "engine/Mutex.h"
#include "platform/Platform.h"

// <windows.h> renames CopyFile to CopyFileW for whoever includes it first;
// the member keeps its own name in every translation unit.
#pragma push_macro("CopyFile")
#undef CopyFile

class CopyModule {
public:
    // Bytes moved per block pass, and the expected size that means "read it
    // from the open source".
    static constexpr std::uint32_t kBlockSize = 0x10000;
    static constexpr std::uint64_t kUnknownSize = ~std::uint64_t{0};

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
    Mutex statusLock;
    ThreadHandle thread;
    std::wstring statusText;            // guarded by statusLock
    std::atomic<bool> setUp{false};
    std::atomic<bool> started{false};
    std::atomic<bool> done{false};
    std::atomic<bool> cancelRequested{false};
    std::atomic<bool> paused{false};
    Mutex pauseLock;
    std::atomic<std::int32_t> skipped{0};
    // Set when the copy thread ended on an unexpected failure (an Exception):
    // the job then ended as a cancel would (done false, the file in progress
    // deleted) and an Unspecified item names the file it was copying.
    std::atomic<bool> failed{false};

    // --- Main thread ---
    // Stores the job, clears counters and flags, writes the "CopyModule Setup: " trace.
    void Setup(const std::wstring& sourceText, const std::wstring& destination, bool includeSubfolders,
               bool copyAttributes);
    // Starts the copy thread (the caller sets started just before). Throws
    // after "CreateThread failed.".
    bool Start();
    // Clears status, counters and flags for a new job; paused is left as it is.
    // A thread still held is joined first (cancelled when it still runs).
    void Reset();
    // Takes pauseLock (waiting for the current block) and sets paused.
    void Pause();
    // Clears paused and releases pauseLock; only while paused.
    void Resume();
    // Sets cancelRequested and waits for the copy thread to end. The caller
    // resumes a paused copy first.
    void Cancel();

    std::wstring GetStatusText();
    // "none" for 0, else the number.
    std::wstring SkippedText() const;

    // --- Engine-internal: the copy thread (public for tests) ---
    // What CreateFolder found or did.
    enum class FolderState { Created, Existed, Failed };

    void Run();
    void SetStatusText(const std::wstring& text);
    // Creates one folder level. A folder already there is used as it is; a
    // folder that cannot be created (a file in its place included) is an
    // AccessDeniedTarget item for relativeName, and what belongs in it is
    // reported file by file as the copy fails to create it.
    FolderState CreateFolder(const std::wstring& path, const std::wstring& relativeName = L".");
    // created: the job made target itself, so the source folder's attributes
    // may be set on it; a folder that existed before the job keeps its own.
    void CopyFolder(const std::wstring& relativeName, const std::wstring& source, const std::wstring& target,
                    bool recurse, bool created = true);
    void CopyFile(const std::wstring& relativeName, const std::wstring& source, const std::wstring& target,
                  std::uint64_t expectedSize);
    void CopyAttributes(const std::wstring& source, const std::wstring& relativeName, const std::wstring& target);
    bool DeleteTarget(const std::wstring& path);

private:
    static std::uint32_t ThreadMain(void* module);
    void CopySource(std::size_t index);
    // True when source is the destination or the folder the current source
    // is copied into: the walk never descends into its own output, whatever
    // path leads there.
    bool IsOwnOutput(const std::wstring& source);
    // Creates the temporary for a target, removing a marked leftover of a
    // killed copy in its way.
    std::uint32_t CreateTemporary(const std::wstring& temporary, FileHandle& file);

    Platform& platform;
    // The item the copy thread is working on, for the report of a failed job
    // (copy thread only).
    std::wstring currentSource;
    std::wstring currentName;
    // Identities of the destination and of the current source's target
    // folder, when they could be read (copy thread only).
    std::vector<FileIdentity> outputs;
};

#pragma pop_macro("CopyFile")
