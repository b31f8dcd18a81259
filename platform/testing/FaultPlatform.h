#pragma once
// A Platform decorator for tests and benchmarks: passes every call to an inner
// platform, except the ones a test told it to fail. It can fail any call for
// a path with a chosen error, refuse the Nth write of a file (after accepting
// part of the block), make a file end early while it is read, report another
// size, reparse tag or extra attributes for an entry, run a hook before each
// read or rename and after each mutex release, make mutex waits report
// abandoned or failed, fail signal calls, and return at once from sleeps.
//
// Paths are matched by suffix (L"\\b.txt" matches every path ending so; an
// empty suffix matches every call). Handle calls (read, write, size, next
// entry) match the path their handle was opened with (for a listing, its
// folder). Configure before the engine threads start; the counters and
// records may be read at any time.

#include <cstdint>
#include <functional>
#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/Platform.h"

enum class PlatformCall {
    OpenForBackupRead,
    CreateNewFile,
    ReadFile,
    WriteFile,
    FileSize,
    GetAttributes,
    SetAttributes,
    RemoveFile,
    CreateFolder,
    CreateFolderTree,
    FindFirst,
    FindNext,
    VolumeLabel,
    FreeBytes,
    StartThread,
    NewMutex,
    WaitMutex,
    ReleaseMutex,
    CloseMutex,
    NewSignal,
    RaiseSignal,
    WaitSignal,
    CloseWrittenFile,
    RenameNoReplace,
    Identify,
    FullPath,
    Count
};

class FaultPlatform : public Platform {
public:
    explicit FaultPlatform(Platform& inner);

    // Fails the matching calls from the nth one on (1-based, counted per
    // rule), times of them (0: every one from then on), with error.
    void Fail(PlatformCall call, const std::wstring& pathSuffix, std::uint32_t error, int nth = 1, int times = 0);
    // The nth write to a matching file accepts bytesAccepted bytes of the
    // block, then fails with error.
    void FailWrite(const std::wstring& pathSuffix, int nth, std::uint32_t error, std::uint32_t bytesAccepted = 0);
    // Reads of a matching file end after limit bytes in all, as if the file
    // had shrunk while it was copied.
    void LimitReads(const std::wstring& pathSuffix, std::uint64_t limit);
    // Path tests answer "does not exist" for matching paths (a target that
    // appears between the test and the create).
    void HidePath(const std::wstring& pathSuffix);
    // Listings report this size for matching entries.
    void ReportSize(const std::wstring& pathSuffix, std::uint64_t size);
    // Listings report matching entries as reparse points with this tag.
    void ReportReparseTag(const std::wstring& pathSuffix, std::uint32_t tag);
    // Attribute reads and listings report these attribute bits as well for
    // matching paths (bits the inner platform cannot store, say).
    void ReportAttributes(const std::wstring& pathSuffix, std::uint32_t bits);
    // Called before every read with the file's path and the 1-based number of
    // the read on its handle, on the reading thread.
    void OnRead(std::function<void(const std::wstring& path, int readNumber)> hook);
    // Called on the renaming thread before every RenameNoReplace is passed on.
    void OnRename(std::function<void(const std::wstring& to)> hook);
    // Called on the waiting thread before every mutex wait is passed on.
    void OnMutexWait(std::function<void()> hook);
    // Called on the releasing thread after every mutex release that succeeded.
    void OnMutexReleased(std::function<void()> hook);
    // The nth wait on any mutex (1-based) reports result (Abandoned: the
    // caller owns the mutex; Failed: it does not).
    void FailMutexWait(int nth, MutexWait result, std::uint32_t error);
    // Sleeps return at once; they are still recorded.
    void SetInstantSleeps(bool instant);
    // Whether copies finish files on a second thread (OverlapsFinishing);
    // by default as the inner platform says.
    void SetOverlapsFinishing(bool overlaps);

    int Calls(PlatformCall call) const;
    std::vector<bool> KeepAwakeCalls() const;
    std::vector<std::uint32_t> Sleeps() const;

    std::uint32_t OpenForBackupRead(const std::wstring& path, FileHandle& file) override;
    std::uint32_t CreateNewFile(const std::wstring& path, FileHandle& file, std::uint32_t attributes = 0) override;
    std::uint32_t ReadFile(NativeHandle file, void* buffer, std::uint32_t size, std::uint32_t& bytesRead) override;
    std::uint32_t WriteFile(NativeHandle file, const void* data, std::uint32_t size,
                            std::uint32_t& bytesWritten) override;
    std::uint32_t FileSize(NativeHandle file, std::uint64_t& size) override;
    void CloseFile(NativeHandle file) noexcept override;
    std::uint32_t CloseWrittenFile(NativeHandle file) override;
    std::uint32_t RenameNoReplace(const std::wstring& from, const std::wstring& to) override;
    std::uint32_t StampNewFile(NativeHandle file, std::uint64_t time) override;
    std::uint32_t UnstampFile(const std::wstring& path) override;
    // Matched as RemoveFile calls.
    std::uint32_t RemoveTemporary(const std::wstring& path) override;
    std::uint32_t RealPath(const std::wstring& path, std::wstring& realPath) override;
    std::uint32_t GetAttributes(const std::wstring& path, std::uint32_t& attributes) override;
    std::uint32_t SetAttributes(const std::wstring& path, std::uint32_t attributes) override;
    std::uint32_t RemoveFile(const std::wstring& path) override;
    std::uint32_t CreateFolder(const std::wstring& path) override;
    std::uint32_t CreateFolderTree(const std::wstring& path) override;
    std::uint32_t FindFirst(const std::wstring& pattern, FindHandle& find, FindEntry& entry) override;
    std::uint32_t FindNext(NativeHandle find, FindEntry& entry) override;
    void CloseFind(NativeHandle find) noexcept override;
    std::uint32_t VolumeLabel(const std::wstring& root, std::wstring& label) override;
    std::uint32_t FreeBytes(const std::wstring& path, std::uint64_t& freeBytes) override;
    std::uint32_t IdentifyFile(const std::wstring& path, FileIdentity& identity) override;
    std::uint32_t FullPath(const std::wstring& path, std::wstring& fullPath) override;
    bool PathExists(const std::wstring& path) override;
    bool IsFolder(const std::wstring& path) override;
    bool IsEmptyFolder(const std::wstring& path) override;
    std::uint32_t StartThread(ThreadBody body, void* argument, ThreadHandle& thread) override;
    void JoinThread(NativeHandle thread) noexcept override;
    void SleepMilliseconds(std::uint32_t milliseconds) override;
    void KeepAwake(bool on) override;
    std::uint32_t TickCount() override;
    std::uint32_t NewMutex(NativeHandle& mutex) override;
    MutexWait WaitMutex(NativeHandle mutex, std::uint32_t& error) override;
    std::uint32_t ReleaseMutex(NativeHandle mutex) override;
    std::uint32_t CloseMutex(NativeHandle mutex) override;
    bool OverlapsFinishing() override;
    std::uint32_t NewSignal(NativeHandle& signal) override;
    std::uint32_t RaiseSignal(NativeHandle signal) override;
    std::uint32_t WaitSignal(NativeHandle signal, std::uint32_t milliseconds) override;
    std::uint32_t CloseSignal(NativeHandle signal) override;
    void YieldThread() override;

private:
    struct Rule {
        PlatformCall call;
        std::wstring suffix;
        std::uint32_t error;
        int nth;
        int times;
        std::uint32_t bytesAccepted;
        int matched;
    };
    struct OpenFile {
        std::wstring path;
        int reads = 0;
        std::uint64_t bytesRead = 0;
    };

    // Counts the call; the error of the rule that fails it, or kSuccess.
    std::uint32_t Check(PlatformCall call, const std::wstring& path, std::uint32_t* bytesAccepted = nullptr);
    std::wstring PathOf(NativeHandle handle) const;
    // A copy of a hook, taken under the lock, to be called outside it.
    template <typename Hook>
    Hook HookOf(const Hook& hook) const {
        std::lock_guard<SpinLock> guard(lock);
        return hook;
    }
    void AdjustEntry(NativeHandle find, FindEntry& entry);

    // A spin lock: the 32-bit toolchain's threading model has no std::mutex,
    // and the decorator holds it only for a few map operations.
    class SpinLock {
    public:
        void lock() {
            while (flag.test_and_set(std::memory_order_acquire)) {
            }
        }
        void unlock() { flag.clear(std::memory_order_release); }

    private:
        std::atomic_flag flag = ATOMIC_FLAG_INIT;
    };

    Platform& inner;
    mutable SpinLock lock;
    std::vector<Rule> rules;
    std::map<std::wstring, std::uint64_t> readLimits;
    std::map<std::wstring, std::uint64_t> reportedSizes;
    std::map<std::wstring, std::uint32_t> reportedTags;
    std::map<std::wstring, std::uint32_t> reportedAttributes;
    std::vector<std::wstring> hiddenPaths;
    std::map<NativeHandle, OpenFile> files;
    std::map<NativeHandle, std::wstring> listings;
    std::function<void(const std::wstring&, int)> readHook;
    std::function<void(const std::wstring&)> renameHook;
    std::function<void()> waitHook;
    std::function<void()> releasedHook;
    int waitFaultNth = 0;
    MutexWait waitFaultResult = MutexWait::Acquired;
    std::uint32_t waitFaultError = 0;
    int waits = 0;
    bool instantSleeps = false;
    int overlapsFinishing = -1;  // -1: as the inner platform says
    int calls[static_cast<int>(PlatformCall::Count)] = {};
    std::vector<bool> keepAwakeCalls;
    std::vector<std::uint32_t> sleeps;
};
