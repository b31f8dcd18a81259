#include "platform/win32/Win32Listing.h"

#include <windows.h>

#include "platform/win32/Win32Values.h"

namespace {

using Win32::AsHandle;
using Win32::FromHandle;
using Win32::LastError;

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

}  // namespace

std::uint32_t Win32Listing::FindFirst(const std::wstring& pattern, FindHandle& find, FindEntry& entry) {
    WIN32_FIND_DATAW data;
    const HANDLE handle = FindFirstFileW(pattern.c_str(), &data);
    if (handle == INVALID_HANDLE_VALUE) return LastError();
    find.reset(*this, FromHandle(handle));
    ToEntry(data, entry);
    return ERROR_SUCCESS;
}

std::uint32_t Win32Listing::FindNext(NativeHandle find, FindEntry& entry) {
    WIN32_FIND_DATAW data;
    if (!FindNextFileW(AsHandle(find), &data)) return LastError();
    ToEntry(data, entry);
    return ERROR_SUCCESS;
}

void Win32Listing::CloseFind(NativeHandle find) noexcept { FindClose(AsHandle(find)); }
