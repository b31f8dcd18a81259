#pragma once
// Windows error codes for POSIX failures.

#include <cstdint>
#include <string>

// The Windows error code for an errno value, as the Win32 layer would report
// the same failure. path (POSIX) lets ENOENT tell a missing file from a
// missing folder on the way to it.
std::uint32_t ErrorFromErrno(int error, const std::string& path = std::string());
