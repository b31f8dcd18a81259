#include "platform/win32/Win32Platform.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <cstring>
#include <memory>
#include <new>

#include "platform/win32/NtFileCalls.h"

namespace {

HANDLE AsHandle(NativeHandle value) { return reinterpret_cast<HANDLE>(value); }
NativeHandle FromHandle(HANDLE handle) { return reinterpret_cast<NativeHandle>(handle); }

std::uint32_t LastError() { return static_cast<std::uint32_t>(GetLastError()); }

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

void ToEntry(const WIN32_FIND_DATAW& data, FindEntry& entry) {
    entry.name = data.cFileName;
    entry.attributes = data.dwFileAttributes;
    entry.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    entry.reparseTag = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ? data.dwReserved0 : 0;
    entry.lastWriteTime = (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                          data.ftLastWriteTime.dwLowDateTime;
    entry.lastAccessTime = (static_cast<std::uint64_t>(data.ftLastAccessTime.dwHighDateTime) << 32) |
                           data.ftLastAccessTime.dwLowDateTime;
}

struct ThreadStart {
    ThreadBody body;
    void* argument;
};

DWORD WINAPI ThreadTrampoline(LPVOID parameter) {
    const ThreadStart start = *static_cast<ThreadStart*>(parameter);
    delete static_cast<ThreadStart*>(parameter);
    return start.body(start.argument);
}

}  // namespace

std::uint32_t Win32Platform::OpenForBackupRead(const std::wstring& path, FileHandle& file) {
    const HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return LastError();
    file.reset(*this, FromHandle(handle));
    return ERROR_SUCCESS;
}

std::uint32_t Win32Platform::CreateNewFile(const std::wstring& path, FileHandle& file, std::uint32_t attributes) {
    // Delete access lets the finished file be renamed through this handle.
    const HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                      attributes & FileAttribute::kSetAtCreation, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return LastError();
    file.reset(*this, FromHandle(handle));
    return ERROR_SUCCESS;
}

std::uint32_t Win32Platform::ReadFile(NativeHandle file, void* buffer, std::uint32_t size,
                                      std::uint32_t& bytesRead) {
    DWORD count = 0;
    const BOOL ok = ::ReadFile(AsHandle(file), buffer, size, &count, nullptr);
    bytesRead = count;
    return ok ? ERROR_SUCCESS : LastError();
}

std::uint32_t Win32Platform::WriteFile(NativeHandle file, const void* data, std::uint32_t size,
                                       std::uint32_t& bytesWritten) {
    DWORD count = 0;
    const BOOL ok = ::WriteFile(AsHandle(file), data, size, &count, nullptr);
    bytesWritten = count;
    return ok ? ERROR_SUCCESS : LastError();
}

std::uint32_t Win32Platform::FileSize(NativeHandle file, std::uint64_t& size) {
    LARGE_INTEGER value;
    if (!GetFileSizeEx(AsHandle(file), &value)) return LastError();
    size = static_cast<std::uint64_t>(value.QuadPart);
    return ERROR_SUCCESS;
}

void Win32Platform::CloseFile(NativeHandle file) noexcept { CloseHandle(AsHandle(file)); }

std::uint32_t Win32Platform::CloseWrittenFile(NativeHandle file) {
    return CloseHandle(AsHandle(file)) ? ERROR_SUCCESS : LastError();
}

std::uint32_t Win32Platform::RenameNoReplace(const std::wstring& from, const std::wstring& to) {
    // Without MOVEFILE_REPLACE_EXISTING an existing target makes the call fail.
    return MoveFileExW(from.c_str(), to.c_str(), 0) ? ERROR_SUCCESS : LastError();
}

Platform::Finish Win32Platform::FinishNewFile(NativeHandle file, const std::wstring& from, const std::wstring& to,
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
        return Platform::FinishNewFile(file, from, to, error);
    }
    const HANDLE handle = AsHandle(file);
    const ULONG nameBytes = static_cast<ULONG>(ntName.size() * sizeof(wchar_t));
    std::unique_ptr<unsigned char[]> buffer(new (std::nothrow) unsigned char[sizeof(FileRenameInformation) + nameBytes]());
    if (!buffer) return Platform::FinishNewFile(file, from, to, error);
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
        return Platform::FinishNewFile(file, from, to, error);
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

std::uint32_t Win32Platform::GetAttributes(const std::wstring& path, std::uint32_t& attributes) {
    attributes = GetFileAttributesW(path.c_str());
    return attributes == INVALID_FILE_ATTRIBUTES ? LastError() : ERROR_SUCCESS;
}

std::uint32_t Win32Platform::SetAttributes(const std::wstring& path, std::uint32_t attributes) {
    return SetFileAttributesW(path.c_str(), attributes) ? ERROR_SUCCESS : LastError();
}

std::uint32_t Win32Platform::RemoveFile(const std::wstring& path) {
    return DeleteFileW(path.c_str()) ? ERROR_SUCCESS : LastError();
}

std::uint32_t Win32Platform::CreateFolder(const std::wstring& path) {
    return CreateDirectoryW(path.c_str(), nullptr) ? ERROR_SUCCESS : LastError();
}

std::uint32_t Win32Platform::CreateFolderTree(const std::wstring& path) {
    return static_cast<std::uint32_t>(SHCreateDirectoryExW(nullptr, path.c_str(), nullptr));
}

std::uint32_t Win32Platform::FindFirst(const std::wstring& pattern, FindHandle& find, FindEntry& entry) {
    WIN32_FIND_DATAW data;
    const HANDLE handle = FindFirstFileW(pattern.c_str(), &data);
    if (handle == INVALID_HANDLE_VALUE) return LastError();
    find.reset(*this, FromHandle(handle));
    ToEntry(data, entry);
    return ERROR_SUCCESS;
}

std::uint32_t Win32Platform::FindNext(NativeHandle find, FindEntry& entry) {
    WIN32_FIND_DATAW data;
    if (!FindNextFileW(AsHandle(find), &data)) return LastError();
    ToEntry(data, entry);
    return ERROR_SUCCESS;
}

void Win32Platform::CloseFind(NativeHandle find) noexcept { FindClose(AsHandle(find)); }

std::uint32_t Win32Platform::VolumeLabel(const std::wstring& root, std::wstring& label) {
    wchar_t buffer[MAX_PATH + 1] = {};
    if (!GetVolumeInformationW(root.c_str(), buffer, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0)) {
        return LastError();
    }
    label = buffer;
    return ERROR_SUCCESS;
}

std::uint32_t Win32Platform::FreeBytes(const std::wstring& path, std::uint64_t& freeBytes) {
    ULARGE_INTEGER freeToCaller;
    if (!GetDiskFreeSpaceExW(path.c_str(), &freeToCaller, nullptr, nullptr)) return LastError();
    freeBytes = freeToCaller.QuadPart;
    return ERROR_SUCCESS;
}

std::uint32_t Win32Platform::FullPath(const std::wstring& path, std::wstring& fullPath) {
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

bool Win32Platform::PathExists(const std::wstring& path) { return PathFileExistsW(path.c_str()) != FALSE; }

bool Win32Platform::IsFolder(const std::wstring& path) { return PathIsDirectoryW(path.c_str()) != FALSE; }

bool Win32Platform::IsEmptyFolder(const std::wstring& path) { return PathIsDirectoryEmptyW(path.c_str()) != FALSE; }

std::uint32_t Win32Platform::StartThread(ThreadBody body, void* argument, ThreadHandle& thread) {
    auto* start = new (std::nothrow) ThreadStart{body, argument};
    if (!start) return ERROR_NOT_ENOUGH_MEMORY;
    const HANDLE handle = CreateThread(nullptr, 0, &ThreadTrampoline, start, 0, nullptr);
    if (!handle) {
        const std::uint32_t error = LastError();
        delete start;
        return error;
    }
    thread.reset(*this, FromHandle(handle));
    return ERROR_SUCCESS;
}

void Win32Platform::JoinThread(NativeHandle thread) noexcept {
    const HANDLE handle = AsHandle(thread);
    // The window's thread joins workers; while it waits it still answers
    // messages other threads send it and repaints, so the window never looks
    // hung, even while a worker's block hangs on a dead share. Posted input
    // and timer messages wait in the queue until the join is over, so no
    // command and no tick runs inside it.
    for (;;) {
        const DWORD result = MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_SENDMESSAGE | QS_PAINT);
        if (result == WAIT_OBJECT_0) break;
        if (result != WAIT_OBJECT_0 + 1) {
            WaitForSingleObject(handle, INFINITE);
            break;
        }
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);  // delivers sent messages
        while (PeekMessageW(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessageW(&message);
    }
    CloseHandle(handle);
}

void Win32Platform::SleepMilliseconds(std::uint32_t milliseconds) { Sleep(milliseconds); }

void Win32Platform::KeepAwake(bool on) {
    if (!on) {
        SetThreadExecutionState(static_cast<EXECUTION_STATE>(ExecutionState::kContinuous));
        return;
    }
    const std::uint32_t state =
        ExecutionState::kContinuous | ExecutionState::kSystemRequired | ExecutionState::kAwayModeRequired;
    // Before Vista the away-mode flag makes the whole call fail, and the
    // machine could then sleep mid-copy: ask again without it.
    if (SetThreadExecutionState(static_cast<EXECUTION_STATE>(state)) == 0) {
        SetThreadExecutionState(static_cast<EXECUTION_STATE>(state & ~ExecutionState::kAwayModeRequired));
    }
}

std::uint32_t Win32Platform::TickCount() { return GetTickCount(); }

std::uint32_t Win32Platform::NewMutex(NativeHandle& mutex) {
    const HANDLE handle = CreateMutexW(nullptr, FALSE, nullptr);
    if (!handle) return LastError();
    mutex = FromHandle(handle);
    return ERROR_SUCCESS;
}

MutexWait Win32Platform::WaitMutex(NativeHandle mutex, std::uint32_t& error) {
    for (;;) {
        switch (WaitForSingleObject(AsHandle(mutex), INFINITE)) {
            case WAIT_OBJECT_0:
                return MutexWait::Acquired;
            case WAIT_ABANDONED:
                error = ErrorCode::kAbandonedWait0;
                return MutexWait::Abandoned;
            case WAIT_FAILED:
                error = LastError();
                return MutexWait::Failed;
            default:
                break;  // no time-out was asked for: wait again
        }
    }
}

std::uint32_t Win32Platform::ReleaseMutex(NativeHandle mutex) {
    return ::ReleaseMutex(AsHandle(mutex)) ? ERROR_SUCCESS : LastError();
}

std::uint32_t Win32Platform::CloseMutex(NativeHandle mutex) {
    return CloseHandle(AsHandle(mutex)) ? ERROR_SUCCESS : LastError();
}

std::uint32_t Win32Platform::NewSignal(NativeHandle& signal) {
    const HANDLE handle = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (!handle) return LastError();
    signal = FromHandle(handle);
    return ERROR_SUCCESS;
}

std::uint32_t Win32Platform::RaiseSignal(NativeHandle signal) {
    return SetEvent(AsHandle(signal)) ? ERROR_SUCCESS : LastError();
}

std::uint32_t Win32Platform::WaitSignal(NativeHandle signal, std::uint32_t milliseconds) {
    const DWORD result = WaitForSingleObject(AsHandle(signal), milliseconds);
    if (result == WAIT_OBJECT_0) return ERROR_SUCCESS;
    if (result == WAIT_FAILED) return LastError();
    return WAIT_TIMEOUT;
}

std::uint32_t Win32Platform::CloseSignal(NativeHandle signal) {
    return CloseHandle(AsHandle(signal)) ? ERROR_SUCCESS : LastError();
}

void Win32Platform::YieldThread() { SwitchToThread(); }
