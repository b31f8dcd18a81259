#pragma once
// What stands at a path, over Win32: kernel32 and shlwapi calls, results
// from GetLastError().

#include "platform/FolderCalls.h"

class Win32Folders : public FolderCalls {
public:
    std::uint32_t GetAttributes(const std::wstring& path, std::uint32_t& attributes) override;
    std::uint32_t SetAttributes(const std::wstring& path, std::uint32_t attributes) override;
    std::uint32_t RemoveFile(const std::wstring& path) override;
    std::uint32_t CreateFolder(const std::wstring& path) override;
    std::uint32_t CreateFolderTree(const std::wstring& path) override;
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
};
