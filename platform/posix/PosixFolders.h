#pragma once
// What stands at a path, over POSIX. The read-only bit on a folder is
// reported but never set (as under Wine); a read-only file cannot be
// deleted; volume labels are empty.

#include "platform/FolderCalls.h"
#include "platform/posix/PosixDrives.h"

class PosixFolders : public FolderCalls {
public:
    explicit PosixFolders(const PosixDrives& drives) : drives(drives) {}

    std::uint32_t GetAttributes(const std::wstring& path, std::uint32_t& attributes) override;
    std::uint32_t SetAttributes(const std::wstring& path, std::uint32_t attributes) override;
    std::uint32_t RemoveFile(const std::wstring& path) override;
    std::uint32_t CreateFolder(const std::wstring& path) override;
    std::uint32_t CreateFolderTree(const std::wstring& path) override;
    std::uint32_t VolumeLabel(const std::wstring& root, std::wstring& label) override;
    std::uint32_t FreeBytes(const std::wstring& path, std::uint64_t& freeBytes) override;
    std::uint32_t IdentifyFile(const std::wstring& path, FileIdentity& identity) override;
    std::uint32_t FullPath(const std::wstring& path, std::wstring& fullPath) override;
    // After every link, and under a bind mount as the folder it shows is
    // seen through its file system's own mount; in Z:'s terms.
    std::uint32_t RealPath(const std::wstring& path, std::wstring& realPath) override;
    bool PathExists(const std::wstring& path) override;
    bool IsFolder(const std::wstring& path) override;
    bool IsEmptyFolder(const std::wstring& path) override;

private:
    const PosixDrives& drives;
};
