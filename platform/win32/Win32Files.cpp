#include "platform/win32/Win32Files.h"

#include <windows.h>

#include <cstring>
#include <memory>
#include <new>

#include "platform/win32/NtFileCalls.h"
#include "platform/win32/Win32Values.h"

namespace {

using Win32::AsHandle;
using Win32::FromHandle;
using Win32::LastError;

// The NT name of a full drive or UNC path, plain or in the long form;
// empty for any other form.
std::wstring NtNameOf(const std::wstring& path) {
    if (path.compare(0, 4, L"\\\\?\\") == 0) return L"\\??\\" + path.substr(4);
    if (path.size() >= 3 && path[1] == L':' && path[2] == L'\\') return L"\\??\\" + path;
    if (path.size() > 2 && path[0] == L'\\' && path[1] == L'\\' && path[2] != L'?' && path[2] != L'.') {
        return L"\\??\\UNC" + path.substr(1);
    }
    return std::wstring();
}

}  // namespace

std::uint32_t Win32Files::OpenForBackupRead(const std::wstring& path, FileHandle& file) {
    const HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return LastError();
    file.reset(*this, FromHandle(handle));
    return ERROR_SUCCESS;
}

std::uint32_t Win32Files::CreateNewFile(const std::wstring& path, FileHandle& file, std::uint32_t attributes) {
    // Delete access lets the finished file be renamed through this handle.
    const HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                      attributes & FileAttribute::kSetAtCreation, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return LastError();
    file.reset(*this, FromHandle(handle));
    return ERROR_SUCCESS;
}

std::uint32_t Win32Files::ReadFile(NativeHandle file, void* buffer, std::uint32_t size,
                                      std::uint32_t& bytesRead) {
    DWORD count = 0;
    const BOOL ok = ::ReadFile(AsHandle(file), buffer, size, &count, nullptr);
    bytesRead = count;
    return ok ? ERROR_SUCCESS : LastError();
}

std::uint32_t Win32Files::WriteFile(NativeHandle file, const void* data, std::uint32_t size,
                                       std::uint32_t& bytesWritten) {
    DWORD count = 0;
    const BOOL ok = ::WriteFile(AsHandle(file), data, size, &count, nullptr);
    bytesWritten = count;
    return ok ? ERROR_SUCCESS : LastError();
}

std::uint32_t Win32Files::FileSize(NativeHandle file, std::uint64_t& size) {
    LARGE_INTEGER value;
    if (!GetFileSizeEx(AsHandle(file), &value)) return LastError();
    size = static_cast<std::uint64_t>(value.QuadPart);
    return ERROR_SUCCESS;
}

void Win32Files::CloseFile(NativeHandle file) noexcept { CloseHandle(AsHandle(file)); }

std::uint32_t Win32Files::CloseWrittenFile(NativeHandle file) {
    return CloseHandle(AsHandle(file)) ? ERROR_SUCCESS : LastError();
}

std::uint32_t Win32Files::RenameNoReplace(const std::wstring& from, const std::wstring& to) {
    // Without MOVEFILE_REPLACE_EXISTING an existing target makes the call fail.
    return MoveFileExW(from.c_str(), to.c_str(), 0) ? ERROR_SUCCESS : LastError();
}

FileCalls::Finish Win32Files::FinishNewFile(NativeHandle file, const std::wstring& from, const std::wstring& to,
                                             std::uint32_t& error) {
    const NtFileCalls& calls = NtFileCalls::Get();
    // The handle is this call's to close from here on: where the memory for
    // the rename runs out, the rename by name (which needs none) takes over.
    std::wstring ntName;
    try {
        ntName = NtNameOf(to);
    } catch (const std::bad_alloc&) {
        ntName.clear();
    }
    if (!calls.Available() || ntName.empty() || ntName.size() > 32000) {
        return FileCalls::FinishNewFile(file, from, to, error);
    }
    const HANDLE handle = AsHandle(file);
    const ULONG nameBytes = static_cast<ULONG>(ntName.size() * sizeof(wchar_t));
    std::unique_ptr<unsigned char[]> buffer(new (std::nothrow) unsigned char[sizeof(FileRenameInformation) + nameBytes]());
    if (!buffer) return FileCalls::FinishNewFile(file, from, to, error);
    auto* rename = reinterpret_cast<FileRenameInformation*>(buffer.get());
    rename->replaceIfExists = FALSE;
    rename->rootDirectory = nullptr;
    rename->fileNameLength = nameBytes;
    memcpy(rename->fileName, ntName.data(), nameBytes);
    IoStatusBlock io{};
    const LONG status = calls.setInformation(handle, &io, rename, sizeof(FileRenameInformation) + nameBytes,
                                             NtFileCalls::kFileRenameInformation);
    if (status == NtFileCalls::kStatusObjectNameCollision) {
        CloseHandle(handle);
        error = ERROR_ALREADY_EXISTS;
        return Finish::NameTaken;
    }
    if (status != 0) {
        // Whatever refused the rename by handle (a file system without it,
        // say), the rename by name may still manage.
        return FileCalls::FinishNewFile(file, from, to, error);
    }
    StampNewFile(file, 0);
    if (!CloseHandle(handle)) {
        // Named already, but the close failed: the file is ours and not
        // known to be whole, so it goes again.
        error = LastError();
        RemoveTemporary(to);
        return Finish::CloseFailed;
    }
    error = ERROR_SUCCESS;
    return Finish::Named;
}
