#pragma once
// The platform over Win32: each operation is the one kernel32 or shlwapi call
// the engine is described with, and its result is GetLastError().

#include "platform/Platform.h"

class Win32Platform : public Platform {
public:
    std::uint32_t OpenForBackupRead(const std::wstring& path, FileHandle& file) override;
    std::uint32_t CreateNewFile(const std::wstring& path, FileHandle& file, std::uint32_t attributes = 0) override;
    std::uint32_t ReadFile(NativeHandle file, void* buffer, std::uint32_t size, std::uint32_t& bytesRead) override;
    std::uint32_t WriteFile(NativeHandle file, const void* data, std::uint32_t size,
                            std::uint32_t& bytesWritten) override;
    std::uint32_t FileSize(NativeHandle file, std::uint64_t& size) override;
    void CloseFile(NativeHandle file) noexcept override;
    std::uint32_t CloseWrittenFile(NativeHandle file) override;
    std::uint32_t RenameNoReplace(const std::wstring& from, const std::wstring& to) override;
    Finish FinishNewFile(NativeHandle file, const std::wstring& from, const std::wstring& to,
                         std::uint32_t& error) override;
    // Closing and naming wait on the file system's service (under a
    // compatibility layer, a round trip to its server each).
    bool OverlapsFinishing() override { return true; }
    // The access time is set through the handle; a named file is removed
    // through its handle (ntdll's disposition call) where it can be.
    std::uint32_t StampNewFile(NativeHandle file, std::uint64_t time) override;
    std::uint32_t UnstampFile(const std::wstring& path) override;
    std::uint32_t DiscardNewFile(NativeHandle file, const std::wstring& temporary) override;
    std::uint32_t RemoveTemporary(const std::wstring& path) override;
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
    // FileIdInfo's 128-bit ID where the system has it (Windows 8 on).
    std::uint32_t IdentifyFile(const std::wstring& path, FileIdentity& identity) override;
    std::uint32_t FullPath(const std::wstring& path, std::wstring& fullPath) override;
    // The final path where the system offers it (Vista on); on XP the full
    // path with substituted drives replaced by the folders they stand for.
    // A share of this machine becomes the folder it shares.
    std::uint32_t RealPath(const std::wstring& path, std::wstring& realPath) override;
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
    std::uint32_t NewSignal(NativeHandle& signal) override;
    std::uint32_t RaiseSignal(NativeHandle signal) override;
    std::uint32_t WaitSignal(NativeHandle signal, std::uint32_t milliseconds) override;
    std::uint32_t CloseSignal(NativeHandle signal) override;
    void YieldThread() override;
};
