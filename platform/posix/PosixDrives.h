#pragma once
// Windows-style paths onto the POSIX tree. A drive letter maps onto a POSIX
// folder the way Wine maps it (Z: is the POSIX root, so Z:\tmp\a is /tmp/a);
// other letters can be mapped for tests. Backslashes and slashes both
// separate; UNC paths name nothing.

#include <array>
#include <cstdint>
#include <string>

class PosixDrives {
public:
    PosixDrives();

    // Maps drive letter (A-Z, either case) onto a POSIX folder ("" for the root).
    void MapDrive(wchar_t letter, const std::string& folder);
    // The POSIX path of a Windows-style path, or the error a call on it gives.
    std::uint32_t ToPosixPath(const std::wstring& path, std::string& posixPath) const;

private:
    std::array<std::string, 26> driveFolders;
    std::array<bool, 26> driveMapped{};
};

// The full path of a Windows-style path by the rules of the Win32 layer:
// relative paths are taken from currentFolder (a full path such as
// "Z:\home\x"), a path starting with one separator from its drive, "X:name"
// from currentFolder when it is on drive X and from X's root otherwise; "."
// components go, ".." removes the component before it but never the root
// ("X:\" or "\\server\share"); separators become backslashes, repeated ones
// one; a trailing separator stays. Empty when path is empty.
std::wstring ResolveFullPath(const std::wstring& path, const std::wstring& currentFolder);
