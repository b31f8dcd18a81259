#pragma once
// What several POSIX topics share: UTF-8 and wide text, the pieces of a
// POSIX path, an entry's attribute word and times, and handles that carry
// a pointer.

#include <sys/stat.h>
#include <time.h>

#include <cstdint>
#include <string>

#include "platform/PlatformTypes.h"

namespace Posix {

// Wide (UTF-32 here) to UTF-8.
std::string Narrow(const std::wstring& text);
// UTF-8 to wide; malformed bytes come through as themselves.
std::wstring Widen(const char* text);

bool IsSeparator(wchar_t c);
std::string ParentOf(const std::string& path);
std::string LastComponent(const std::string& path);
bool IsDotName(const char* name);

// A POSIX time as 100-ns units since 1601; 0 before that.
std::uint64_t FileTimeOf(const timespec& time);
void SetEntryTimes(const struct stat& info, FindEntry& entry);
bool HasWriteBits(mode_t mode);
// The attribute word of an entry, from its lstat and (for a link) its target.
std::uint32_t AttributesOf(const struct stat& linkInfo, const std::string& name, const std::string& fullPath);

template <typename T>
T* FromHandle(NativeHandle handle) {
    return reinterpret_cast<T*>(handle);
}

template <typename T>
NativeHandle ToHandle(T* pointer) {
    return reinterpret_cast<NativeHandle>(pointer);
}

}  // namespace Posix
