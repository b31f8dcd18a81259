#pragma once
// The engine's only door to the operating system, in five topics: files,
// folder listings, what stands at a path (folders), synchronisation, and
// threads and time. Everything the copy engine, the progress logic and the
// destination checks need from the platform is a virtual operation of one
// topic, so the engine runs unchanged over the Win32 implementation, the
// POSIX one (Windows-style paths mapped onto the POSIX tree), or a test
// decorator that injects failures into either.
//
// Platform itself only bundles one object of each topic; a caller names the
// topic it calls (platform.Files().ReadFile(...)). A decorator changes one
// topic and can be bundled with another platform's other four.

#include "platform/FileCalls.h"
#include "platform/FolderCalls.h"
#include "platform/ListingCalls.h"
#include "platform/PlatformTypes.h"
#include "platform/SyncCalls.h"
#include "platform/ThreadCalls.h"

class Platform {
public:
    Platform(FileCalls& files, ListingCalls& listing, FolderCalls& folders, SyncCalls& sync, ThreadCalls& threads)
        : fileCalls(files), listingCalls(listing), folderCalls(folders), syncCalls(sync), threadCalls(threads) {}
    Platform(const Platform&) = delete;
    Platform& operator=(const Platform&) = delete;

    FileCalls& Files() const { return fileCalls; }
    ListingCalls& Listing() const { return listingCalls; }
    FolderCalls& Folders() const { return folderCalls; }
    SyncCalls& Sync() const { return syncCalls; }
    ThreadCalls& Threads() const { return threadCalls; }

    // Each operation under its old name, passed to its topic, for callers
    // that do not name the topic yet.
    using Finish = FileCalls::Finish;
    std::uint32_t OpenForBackupRead(const std::wstring& path, FileHandle& file) { return fileCalls.OpenForBackupRead(path, file); }
    std::uint32_t CreateNewFile(const std::wstring& path, FileHandle& file, std::uint32_t attributes = 0) { return fileCalls.CreateNewFile(path, file, attributes); }
    std::uint32_t ReadFile(NativeHandle file, void* buffer, std::uint32_t size, std::uint32_t& bytesRead) { return fileCalls.ReadFile(file, buffer, size, bytesRead); }
    std::uint32_t WriteFile(NativeHandle file, const void* data, std::uint32_t size, std::uint32_t& bytesWritten) { return fileCalls.WriteFile(file, data, size, bytesWritten); }
    std::uint32_t FileSize(NativeHandle file, std::uint64_t& size) { return fileCalls.FileSize(file, size); }
    std::uint32_t CopyBlock(NativeHandle source, NativeHandle target, void* buffer, std::uint32_t size, std::uint32_t& bytesRead, std::uint32_t& bytesWritten) { return fileCalls.CopyBlock(source, target, buffer, size, bytesRead, bytesWritten); }
    void CloseFile(NativeHandle file) noexcept { fileCalls.CloseFile(file); }
    std::uint32_t CloseWrittenFile(NativeHandle file) { return fileCalls.CloseWrittenFile(file); }
    std::uint32_t RenameNoReplace(const std::wstring& from, const std::wstring& to) { return fileCalls.RenameNoReplace(from, to); }
    Finish FinishNewFile(NativeHandle file, const std::wstring& from, const std::wstring& to, std::uint32_t& error) { return fileCalls.FinishNewFile(file, from, to, error); }
    std::uint32_t CreateUnfinishedFile(const std::wstring& temporary, FileHandle& file, std::uint32_t attributes) { return fileCalls.CreateUnfinishedFile(temporary, file, attributes); }
    bool IsUnnamedFile(NativeHandle file) { return fileCalls.IsUnnamedFile(file); }
    std::uint32_t StampNewFile(NativeHandle file, std::uint64_t time) { return fileCalls.StampNewFile(file, time); }
    std::uint32_t UnstampFile(const std::wstring& path) { return fileCalls.UnstampFile(path); }
    std::uint32_t DiscardNewFile(NativeHandle file, const std::wstring& temporary) { return fileCalls.DiscardNewFile(file, temporary); }
    std::uint32_t RemoveTemporary(const std::wstring& path) { return fileCalls.RemoveTemporary(path); }
    bool OverlapsFinishing() { return fileCalls.OverlapsFinishing(); }
    std::uint32_t GetAttributes(const std::wstring& path, std::uint32_t& attributes) { return folderCalls.GetAttributes(path, attributes); }
    std::uint32_t SetAttributes(const std::wstring& path, std::uint32_t attributes) { return folderCalls.SetAttributes(path, attributes); }
    std::uint32_t RemoveFile(const std::wstring& path) { return folderCalls.RemoveFile(path); }
    std::uint32_t CreateFolder(const std::wstring& path) { return folderCalls.CreateFolder(path); }
    std::uint32_t CreateFolderTree(const std::wstring& path) { return folderCalls.CreateFolderTree(path); }
    std::uint32_t FindFirst(const std::wstring& pattern, FindHandle& find, FindEntry& entry) { return listingCalls.FindFirst(pattern, find, entry); }
    std::uint32_t FindNext(NativeHandle find, FindEntry& entry) { return listingCalls.FindNext(find, entry); }
    void CloseFind(NativeHandle find) noexcept { listingCalls.CloseFind(find); }
    std::uint32_t VolumeLabel(const std::wstring& root, std::wstring& label) { return folderCalls.VolumeLabel(root, label); }
    std::uint32_t FreeBytes(const std::wstring& path, std::uint64_t& freeBytes) { return folderCalls.FreeBytes(path, freeBytes); }
    std::uint32_t Identify(const std::wstring& path, FileIdentity& identity) { return folderCalls.Identify(path, identity); }
    std::uint32_t IdentifyFile(const std::wstring& path, FileIdentity& identity) { return folderCalls.IdentifyFile(path, identity); }
    std::uint32_t RealPath(const std::wstring& path, std::wstring& realPath) { return folderCalls.RealPath(path, realPath); }
    std::uint32_t FullPath(const std::wstring& path, std::wstring& fullPath) { return folderCalls.FullPath(path, fullPath); }
    bool PathExists(const std::wstring& path) { return folderCalls.PathExists(path); }
    bool IsFolder(const std::wstring& path) { return folderCalls.IsFolder(path); }
    bool IsEmptyFolder(const std::wstring& path) { return folderCalls.IsEmptyFolder(path); }
    std::uint32_t StartThread(ThreadBody body, void* argument, ThreadHandle& thread) { return threadCalls.StartThread(body, argument, thread); }
    void JoinThread(NativeHandle thread) noexcept { threadCalls.JoinThread(thread); }
    void SleepMilliseconds(std::uint32_t milliseconds) { threadCalls.SleepMilliseconds(milliseconds); }
    void KeepAwake(bool on) { threadCalls.KeepAwake(on); }
    std::uint32_t TickCount() { return threadCalls.TickCount(); }
    std::uint32_t NewMutex(NativeHandle& mutex) { return syncCalls.NewMutex(mutex); }
    MutexWait WaitMutex(NativeHandle mutex, std::uint32_t& error) { return syncCalls.WaitMutex(mutex, error); }
    std::uint32_t ReleaseMutex(NativeHandle mutex) { return syncCalls.ReleaseMutex(mutex); }
    std::uint32_t CloseMutex(NativeHandle mutex) { return syncCalls.CloseMutex(mutex); }
    std::uint32_t NewSignal(NativeHandle& signal) { return syncCalls.NewSignal(signal); }
    std::uint32_t RaiseSignal(NativeHandle signal) { return syncCalls.RaiseSignal(signal); }
    std::uint32_t WaitSignal(NativeHandle signal, std::uint32_t milliseconds) { return syncCalls.WaitSignal(signal, milliseconds); }
    std::uint32_t CloseSignal(NativeHandle signal) { return syncCalls.CloseSignal(signal); }
    void YieldThread() { syncCalls.YieldThread(); }

private:
    FileCalls& fileCalls;
    ListingCalls& listingCalls;
    FolderCalls& folderCalls;
    SyncCalls& syncCalls;
    ThreadCalls& threadCalls;
};

// The real platform of this build: Win32 on Windows, POSIX elsewhere.
Platform& SystemPlatform();
