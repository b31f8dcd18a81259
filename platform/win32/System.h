#pragma once
// Process-wide operations of the start-up sequence.

#include <string>

namespace System {

// Enables or disables one privilege of the process token. A token that does
// not hold the privilege is no failure. On failure (the token could not be
// opened, the name looked up or the token adjusted) the diagnostic line is
// composed, the thread's last error becomes ERROR_FUNCTION_FAILED (1627) and
// the result is false.
bool ModifyPrivilege(const std::wstring& name, bool enable);

// True when the system is at least Windows XP (5.1) / Vista (6.0).
bool IsXPOrLater();
bool IsVistaOrLater();

// The program's own full path, of any length. Throws Exception after the
// diagnostic line "GetModuleFileName failed.".
std::wstring ModuleFileName();

// The universal (UNC) name of a path on a mapped network drive, from the
// network provider (WNetGetUniversalNameW). False for any other path, which
// leaves universal unchanged.
bool UniversalName(const std::wstring& path, std::wstring& universal);

}  // namespace System
