// The temporaries of a copy: their last-access stamp, and their removal
// through a handle, so that what goes is always the very file meant and
// never what a link at its name leads to.

#include "platform/win32/Win32Files.h"

#include <windows.h>

#include "platform/win32/NtFileCalls.h"

namespace {

HANDLE AsHandle(NativeHandle value) { return reinterpret_cast<HANDLE>(value); }

std::uint32_t LastError() { return static_cast<std::uint32_t>(GetLastError()); }

std::uint32_t SetInformation(HANDLE file, void* information, ULONG size, int kind) {
    const NtFileCalls& calls = NtFileCalls::Get();
    IoStatusBlock io{};
    const LONG status = calls.setInformation(file, &io, information, size, kind);
    return status == 0 ? ERROR_SUCCESS : static_cast<std::uint32_t>(calls.toError(status));
}

// Marks the open file for deletion at its close, clearing a read-only
// attribute first (which would refuse it). The handle needs delete and
// attribute-writing access.
std::uint32_t DeleteThroughHandle(HANDLE file, DWORD attributes) {
    if (attributes & FILE_ATTRIBUTE_READONLY) {
        FileBasicInformation basic{};
        const DWORD kept = attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
        basic.fileAttributes = kept ? kept : FILE_ATTRIBUTE_NORMAL;
        if (std::uint32_t error = SetInformation(file, &basic, sizeof basic, NtFileCalls::kFileBasicInformation)) {
            return error;
        }
    }
    FileDispositionInformation disposition{TRUE};
    return SetInformation(file, &disposition, sizeof disposition, NtFileCalls::kFileDispositionInformation);
}

}  // namespace

std::uint32_t Win32Files::StampNewFile(NativeHandle file, std::uint64_t time) {
    FILETIME stamp;
    if (time == 0) {
        GetSystemTimeAsFileTime(&stamp);
    } else {
        stamp.dwLowDateTime = static_cast<DWORD>(time);
        stamp.dwHighDateTime = static_cast<DWORD>(time >> 32);
    }
    // A time set through a handle is one the file system no longer updates
    // for the writes through it.
    return SetFileTime(AsHandle(file), nullptr, &stamp, nullptr) ? ERROR_SUCCESS : LastError();
}

std::uint32_t Win32Files::UnstampFile(const std::wstring& path) {
    const HANDLE handle = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return LastError();
    const std::uint32_t error = StampNewFile(reinterpret_cast<NativeHandle>(handle), 0);
    CloseHandle(handle);
    return error;
}

std::uint32_t Win32Files::DiscardNewFile(NativeHandle file, const std::wstring& temporary) {
    const HANDLE handle = AsHandle(file);
    BY_HANDLE_FILE_INFORMATION information;
    if (NtFileCalls::Get().Available() && GetFileInformationByHandle(handle, &information) &&
        DeleteThroughHandle(handle, information.dwFileAttributes) == ERROR_SUCCESS) {
        return CloseHandle(handle) ? ERROR_SUCCESS : LastError();
    }
    CloseHandle(handle);
    return RemoveTemporary(temporary);
}

std::uint32_t Win32Files::RemoveTemporary(const std::wstring& path) {
    // The entry itself is opened, never what a link or junction leads to.
    const HANDLE handle = CreateFileW(path.c_str(), DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return LastError();
    BY_HANDLE_FILE_INFORMATION information;
    std::uint32_t error = GetFileInformationByHandle(handle, &information) ? ERROR_SUCCESS : LastError();
    if (error == ERROR_SUCCESS &&
        (information.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))) {
        error = ERROR_ACCESS_DENIED;
    }
    if (error == ERROR_SUCCESS) {
        if (NtFileCalls::Get().Available()) {
            error = DeleteThroughHandle(handle, information.dwFileAttributes);
        } else {
            // Without ntdll's calls: by name, the entry having been checked.
            CloseHandle(handle);
            if (information.dwFileAttributes & FILE_ATTRIBUTE_READONLY) {
                SetFileAttributesW(path.c_str(), information.dwFileAttributes & ~FILE_ATTRIBUTE_READONLY);
            }
            return DeleteFileW(path.c_str()) ? ERROR_SUCCESS : LastError();
        }
    }
    CloseHandle(handle);
    return error;
}
