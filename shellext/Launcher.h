#pragma once
// Starts the main program, Torvane, with the items Explorer handed a handler.

#include <windows.h>

#include <string>
#include <vector>

namespace Marrowgate {

// Where the started program's working directory comes from.
enum class WorkingDirectory {
    InstallFolder,  // the value of InstallPath
    ShellDefault,   // none given; the shell's default
};

// The main program's arguments: every item as a quoted path followed by one
// space, then the destination as a quoted path, or, with no destination
// (nullptr), an empty quoted argument. No items and no destination give an
// empty string.
std::wstring BuildParameters(const std::vector<std::wstring>& items, const std::wstring* destination);

// The installation folder, one backslash, "Torvane.exe" (the backslash is
// added even when the folder ends with one).
std::wstring BuildProgramPath(const std::wstring& installFolder);

// Whether the quoted program path, a space and the parameters fit in one
// process command line (32767 characters with its terminator). A longer one
// would be cut, passing on a cut path as if it were an item.
bool FitsOnCommandLine(const std::wstring& program, const std::wstring& parameters);

// Reads InstallPath from the open settings key: REG_SZ or REG_EXPAND_SZ (used
// as stored), at most 260 characters, a whole number of characters ending in
// a terminator unless empty. Returns ERROR_SUCCESS or why it is unusable
// (ERROR_MORE_DATA when too long, ERROR_INVALID_DATA for a bad type or
// termination); folder is then unchanged.
LONG ReadInstallPath(HKEY settingsKey, std::wstring& folder);

// Finds the installation folder through the registry and starts the main
// program through the shell, without waiting. The installation message is
// shown when the folder cannot be found (E_ACCESSDENIED for the key,
// E_FAIL for the value). When the shell cannot start the program nothing is
// shown, but the result is a failure code (from the shell's error number),
// never S_OK. A selection too long for a command line is not started at all:
// a message says so and the result is ERROR_FILENAME_EXCED_RANGE.
HRESULT LaunchMainProgram(const std::vector<std::wstring>& items, const std::wstring* destination,
                          WorkingDirectory workingDirectory) noexcept;

}  // namespace Marrowgate
