#include "platform/win32/Win32Folders.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include "platform/win32/Win32Values.h"

using Win32::LastError;

std::uint32_t Win32Folders::GetAttributes(const std::wstring& path, std::uint32_t& attributes) {
    attributes = GetFileAttributesW(path.c_str());
    return attributes == INVALID_FILE_ATTRIBUTES ? LastError() : ERROR_SUCCESS;
}

std::uint32_t Win32Folders::SetAttributes(const std::wstring& path, std::uint32_t attributes) {
    return SetFileAttributesW(path.c_str(), attributes) ? ERROR_SUCCESS : LastError();
}

std::uint32_t Win32Folders::RemoveFile(const std::wstring& path) {
    return DeleteFileW(path.c_str()) ? ERROR_SUCCESS : LastError();
}

std::uint32_t Win32Folders::CreateFolder(const std::wstring& path) {
    return CreateDirectoryW(path.c_str(), nullptr) ? ERROR_SUCCESS : LastError();
}

std::uint32_t Win32Folders::CreateFolderTree(const std::wstring& path) {
    return static_cast<std::uint32_t>(SHCreateDirectoryExW(nullptr, path.c_str(), nullptr));
}

std::uint32_t Win32Folders::VolumeLabel(const std::wstring& root, std::wstring& label) {
    wchar_t buffer[MAX_PATH + 1] = {};
    if (!GetVolumeInformationW(root.c_str(), buffer, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0)) {
        return LastError();
    }
    label = buffer;
    return ERROR_SUCCESS;
}

std::uint32_t Win32Folders::FreeBytes(const std::wstring& path, std::uint64_t& freeBytes) {
    ULARGE_INTEGER freeToCaller;
    if (!GetDiskFreeSpaceExW(path.c_str(), &freeToCaller, nullptr, nullptr)) return LastError();
    freeBytes = freeToCaller.QuadPart;
    return ERROR_SUCCESS;
}

std::uint32_t Win32Folders::FullPath(const std::wstring& path, std::wstring& fullPath) {
    if (path.empty()) return ERROR_INVALID_NAME;
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(buffer.size()), &buffer[0], nullptr);
        if (length == 0) return LastError();
        if (length < buffer.size()) {
            buffer.resize(length);
            fullPath = std::move(buffer);
            return ERROR_SUCCESS;
        }
        buffer.assign(length, L'\0');  // length counts the terminator here
    }
}

bool Win32Folders::PathExists(const std::wstring& path) { return PathFileExistsW(path.c_str()) != FALSE; }

bool Win32Folders::IsFolder(const std::wstring& path) { return PathIsDirectoryW(path.c_str()) != FALSE; }

bool Win32Folders::IsEmptyFolder(const std::wstring& path) { return PathIsDirectoryEmptyW(path.c_str()) != FALSE; }
