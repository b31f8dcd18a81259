#pragma once
// The decorators of a NoWaitPlatform, one per topic: each passes its calls
// on, counting and timing those it measures through the shared meter.

#include "bench/copy/CallMeter.h"
#include "platform/Platform.h"

namespace NoWait {

class Files : public PassingFileCalls {
public:
    Files(FileCalls& inner, CallMeter& meter) : PassingFileCalls(inner), meter(meter) {}

    // Files are closed and named on the copy thread even where the platform
    // would overlap that with the next copy.
    void FinishOnTheCopyThread() { overlapsFinishing = false; }

    std::uint32_t OpenForBackupRead(const std::wstring& path, FileHandle& file) override;
    std::uint32_t CreateNewFile(const std::wstring& path, FileHandle& file, std::uint32_t attributes = 0) override;
    std::uint32_t CreateUnfinishedFile(const std::wstring& temporary, FileHandle& file,
                                       std::uint32_t attributes) override;
    std::uint32_t ReadFile(NativeHandle file, void* buffer, std::uint32_t size, std::uint32_t& bytesRead) override;
    std::uint32_t WriteFile(NativeHandle file, const void* data, std::uint32_t size,
                            std::uint32_t& bytesWritten) override;
    std::uint32_t CopyBlock(NativeHandle source, NativeHandle target, void* buffer, std::uint32_t size,
                            std::uint32_t& bytesRead, std::uint32_t& bytesWritten) override;
    std::uint32_t FileSize(NativeHandle file, std::uint64_t& size) override;
    void CloseFile(NativeHandle file) noexcept override;
    std::uint32_t CloseWrittenFile(NativeHandle file) override;
    std::uint32_t RenameNoReplace(const std::wstring& from, const std::wstring& to) override;
    // Passed on whole, so that the inner platform's own way of naming the
    // file (through its handle, on Windows) is what is measured.
    bool IsUnnamedFile(NativeHandle file) override { return inner.IsUnnamedFile(file); }
    std::uint32_t StampNewFile(NativeHandle file, std::uint64_t time) override;
    std::uint32_t UnstampFile(const std::wstring& path) override;
    std::uint32_t DiscardNewFile(NativeHandle file, const std::wstring& temporary) override;
    std::uint32_t RemoveTemporary(const std::wstring& path) override;
    Finish FinishNewFile(NativeHandle file, const std::wstring& from, const std::wstring& to,
                         std::uint32_t& error) override;
    bool OverlapsFinishing() override { return overlapsFinishing && inner.OverlapsFinishing(); }

private:
    CallMeter& meter;
    bool overlapsFinishing = true;
};

class Listing : public PassingListingCalls {
public:
    Listing(ListingCalls& inner, CallMeter& meter) : PassingListingCalls(inner), meter(meter) {}

    std::uint32_t FindFirst(const std::wstring& pattern, FindHandle& find, FindEntry& entry) override;
    std::uint32_t FindNext(NativeHandle find, FindEntry& entry) override;
    void CloseFind(NativeHandle find) noexcept override;

private:
    CallMeter& meter;
};

class Folders : public PassingFolderCalls {
public:
    Folders(FolderCalls& inner, CallMeter& meter) : PassingFolderCalls(inner), meter(meter) {}

    std::uint32_t RealPath(const std::wstring& path, std::wstring& realPath) override;
    std::uint32_t IdentifyFile(const std::wstring& path, FileIdentity& identity) override;
    std::uint32_t FullPath(const std::wstring& path, std::wstring& fullPath) override;
    std::uint32_t GetAttributes(const std::wstring& path, std::uint32_t& attributes) override;
    std::uint32_t SetAttributes(const std::wstring& path, std::uint32_t attributes) override;
    std::uint32_t RemoveFile(const std::wstring& path) override;
    std::uint32_t CreateFolder(const std::wstring& path) override;
    std::uint32_t CreateFolderTree(const std::wstring& path) override;
    std::uint32_t VolumeLabel(const std::wstring& root, std::wstring& label) override;
    std::uint32_t FreeBytes(const std::wstring& path, std::uint64_t& freeBytes) override;
    bool PathExists(const std::wstring& path) override;
    bool IsFolder(const std::wstring& path) override;
    bool IsEmptyFolder(const std::wstring& path) override;

private:
    CallMeter& meter;
};

class Sync : public PassingSyncCalls {
public:
    Sync(SyncCalls& inner, CallMeter& meter) : PassingSyncCalls(inner), meter(meter) {}

    MutexWait WaitMutex(NativeHandle mutex, std::uint32_t& error) override;
    std::uint32_t ReleaseMutex(NativeHandle mutex) override;
    std::uint32_t RaiseSignal(NativeHandle signal) override;
    std::uint32_t WaitSignal(NativeHandle signal, std::uint32_t milliseconds) override;

private:
    CallMeter& meter;
};

// Sleeps return at once: the engine without its fixed thread start and end
// waits.
class Threads : public PassingThreadCalls {
public:
    explicit Threads(ThreadCalls& inner) : PassingThreadCalls(inner) {}

    void SleepMilliseconds(std::uint32_t) override {}
};

}  // namespace NoWait
