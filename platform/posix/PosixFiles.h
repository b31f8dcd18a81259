#pragma once
// Files over POSIX. A read-only file is one without write permission;
// nothing is ever shared-locked.

#include <atomic>

#include "platform/FileCalls.h"
#include "platform/posix/PosixDrives.h"

class PosixFiles : public FileCalls {
public:
    explicit PosixFiles(const PosixDrives& drives);

    std::uint32_t OpenForBackupRead(const std::wstring& path, FileHandle& file) override;
    std::uint32_t CreateNewFile(const std::wstring& path, FileHandle& file, std::uint32_t attributes = 0) override;
    std::uint32_t ReadFile(NativeHandle file, void* buffer, std::uint32_t size, std::uint32_t& bytesRead) override;
    std::uint32_t WriteFile(NativeHandle file, const void* data, std::uint32_t size,
                            std::uint32_t& bytesWritten) override;
    std::uint32_t FileSize(NativeHandle file, std::uint64_t& size) override;
    // Inside the kernel (copy_file_range) where it can; read and write otherwise.
    std::uint32_t CopyBlock(NativeHandle source, NativeHandle target, void* buffer, std::uint32_t size,
                            std::uint32_t& bytesRead, std::uint32_t& bytesWritten) override;
    void CloseFile(NativeHandle file) noexcept override;
    std::uint32_t CloseWrittenFile(NativeHandle file) override;
    std::uint32_t RenameNoReplace(const std::wstring& from, const std::wstring& to) override;
    // Where the file system allows, a file in progress has no name at all
    // (O_TMPFILE) and takes the target's name by a link that never replaces.
    Finish FinishNewFile(NativeHandle file, const std::wstring& from, const std::wstring& to,
                         std::uint32_t& error) override;
    std::uint32_t CreateUnfinishedFile(const std::wstring& temporary, FileHandle& file,
                                       std::uint32_t attributes) override;
    bool IsUnnamedFile(NativeHandle file) override;
    std::uint32_t StampNewFile(NativeHandle file, std::uint64_t time) override;
    std::uint32_t UnstampFile(const std::wstring& path) override;
    // A named file goes only while its name still leads to it.
    std::uint32_t DiscardNewFile(NativeHandle file, const std::wstring& temporary) override;
    std::uint32_t RemoveTemporary(const std::wstring& path) override;

private:
    const PosixDrives& drives;
    // An unnamed file is named through its /proc/self/fd entry.
    bool unnamedFilesNameable = false;
    // Unnamed files are linked by their descriptor until that is refused.
    std::atomic<bool> emptyPathLinks{true};
};
