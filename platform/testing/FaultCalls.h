#pragma once
// The fault decorators of the five topics, one FaultPlatform's parts. Each
// passes its calls on to the inner platform's topic, failing or changing the
// ones the shared state's rules name; what it does not override passes on
// untouched.

#include "platform/Platform.h"
#include "platform/testing/FaultState.h"

namespace Fault {

class Files : public PassingFileCalls {
public:
    Files(FileCalls& inner, State& state) : PassingFileCalls(inner), state(state) {}

    std::uint32_t OpenForBackupRead(const std::wstring& path, FileHandle& file) override;
    std::uint32_t CreateNewFile(const std::wstring& path, FileHandle& file, std::uint32_t attributes = 0) override;
    std::uint32_t ReadFile(NativeHandle file, void* buffer, std::uint32_t size, std::uint32_t& bytesRead) override;
    std::uint32_t WriteFile(NativeHandle file, const void* data, std::uint32_t size,
                            std::uint32_t& bytesWritten) override;
    std::uint32_t FileSize(NativeHandle file, std::uint64_t& size) override;
    void CloseFile(NativeHandle file) noexcept override;
    std::uint32_t CloseWrittenFile(NativeHandle file) override;
    std::uint32_t RenameNoReplace(const std::wstring& from, const std::wstring& to) override;
    // Matched as RemoveFile calls.
    std::uint32_t RemoveTemporary(const std::wstring& path) override;
    bool OverlapsFinishing() override;

private:
    // Tracks the file inner opened at path and makes it close through here.
    std::uint32_t Track(std::uint32_t error, const std::wstring& path, FileHandle& opened, FileHandle& file);

    State& state;
};

class Listing : public PassingListingCalls {
public:
    Listing(ListingCalls& inner, State& state) : PassingListingCalls(inner), state(state) {}

    std::uint32_t FindFirst(const std::wstring& pattern, FindHandle& find, FindEntry& entry) override;
    std::uint32_t FindNext(NativeHandle find, FindEntry& entry) override;
    void CloseFind(NativeHandle find) noexcept override;

private:
    void AdjustEntry(NativeHandle find, FindEntry& entry);

    State& state;
};

class Folders : public PassingFolderCalls {
public:
    Folders(FolderCalls& inner, State& state) : PassingFolderCalls(inner), state(state) {}

    std::uint32_t GetAttributes(const std::wstring& path, std::uint32_t& attributes) override;
    std::uint32_t SetAttributes(const std::wstring& path, std::uint32_t attributes) override;
    std::uint32_t RemoveFile(const std::wstring& path) override;
    std::uint32_t CreateFolder(const std::wstring& path) override;
    std::uint32_t CreateFolderTree(const std::wstring& path) override;
    std::uint32_t VolumeLabel(const std::wstring& root, std::wstring& label) override;
    std::uint32_t FreeBytes(const std::wstring& path, std::uint64_t& freeBytes) override;
    std::uint32_t IdentifyFile(const std::wstring& path, FileIdentity& identity) override;
    std::uint32_t RealPath(const std::wstring& path, std::wstring& realPath) override;
    std::uint32_t FullPath(const std::wstring& path, std::wstring& fullPath) override;
    bool PathExists(const std::wstring& path) override;

private:
    State& state;
};

class Sync : public PassingSyncCalls {
public:
    Sync(SyncCalls& inner, State& state) : PassingSyncCalls(inner), state(state) {}

    std::uint32_t NewMutex(NativeHandle& mutex) override;
    MutexWait WaitMutex(NativeHandle mutex, std::uint32_t& error) override;
    std::uint32_t ReleaseMutex(NativeHandle mutex) override;
    std::uint32_t CloseMutex(NativeHandle mutex) override;
    std::uint32_t NewSignal(NativeHandle& signal) override;
    std::uint32_t RaiseSignal(NativeHandle signal) override;
    std::uint32_t WaitSignal(NativeHandle signal, std::uint32_t milliseconds) override;

private:
    State& state;
};

class Threads : public PassingThreadCalls {
public:
    Threads(ThreadCalls& inner, State& state) : PassingThreadCalls(inner), state(state) {}

    std::uint32_t StartThread(ThreadBody body, void* argument, ThreadHandle& thread) override;
    void SleepMilliseconds(std::uint32_t milliseconds) override;
    void KeepAwake(bool on) override;

private:
    State& state;
};

}  // namespace Fault
