#pragma once
// Files over Win32: each operation is the one kernel32 call the engine is
// described with, and its result is GetLastError().

#include "platform/FileCalls.h"

class Win32Files : public FileCalls {
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
};
