#pragma once
// The version question both deliverables ask of the system they run on.
// Header-only, so Marrowgate.dll shares it without linking Torvane code.

#include <windows.h>

namespace Common {

// True when the system is major.minor, service pack 0.0, or later, as
// VerifyVersionInfoW answers (kernel32 has it from Windows 2000 on).
inline bool IsWindowsVersionOrLater(DWORD major, DWORD minor) noexcept {
    OSVERSIONINFOEXW wanted{};
    wanted.dwOSVersionInfoSize = sizeof(wanted);
    wanted.dwMajorVersion = major;
    wanted.dwMinorVersion = minor;
    wanted.wServicePackMajor = 0;
    wanted.wServicePackMinor = 0;
    DWORDLONG condition = 0;
    condition = ::VerSetConditionMask(condition, VER_MAJORVERSION, VER_GREATER_EQUAL);
    condition = ::VerSetConditionMask(condition, VER_MINORVERSION, VER_GREATER_EQUAL);
    condition = ::VerSetConditionMask(condition, VER_SERVICEPACKMAJOR, VER_GREATER_EQUAL);
    condition = ::VerSetConditionMask(condition, VER_SERVICEPACKMINOR, VER_GREATER_EQUAL);
    const DWORD fields = VER_MAJORVERSION | VER_MINORVERSION | VER_SERVICEPACKMAJOR | VER_SERVICEPACKMINOR;
    return ::VerifyVersionInfoW(&wanted, fields, condition) != FALSE;
}

}  // namespace Common
