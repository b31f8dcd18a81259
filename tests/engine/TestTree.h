#pragma once
// A temporary folder for one test, named with a Windows-style path that the
// system platform understands (Z:\tmp\... natively, the user's temp folder
// under Windows), with helpers to build and read trees through the platform.
// Removed with everything in it when the object goes.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/Platform.h"

class TestTree {
public:
    TestTree();
    ~TestTree();
    TestTree(const TestTree&) = delete;
    TestTree& operator=(const TestTree&) = delete;

    // The folder itself (no trailing backslash) and a path inside it.
    const std::wstring& Root() const { return root; }
    std::wstring Path(const std::wstring& relative) const;

    // Creates the folder (and parents) / a file with these bytes (and parent folders).
    void Folder(const std::wstring& relative);
    void File(const std::wstring& relative, const std::string& content);
    // A leftover of a killed copy: a file at relative (a temporary's name)
    // with the stamp a copy gives its temporaries.
    void Leftover(const std::wstring& relative, const std::string& content);

    // The POSIX path of a Windows-style one (native build only; "" on Windows).
    static std::string PosixPathOf(const std::wstring& path);

private:
    std::wstring root;
};

// The bytes of a file, read through the system platform; "<missing>" when it
// cannot be opened.
std::string ReadAll(const std::wstring& path);
// A leftover of a killed copy at path (a temporary's name, the long form
// included): a file with the stamp a copy gives its temporaries.
void MakeLeftover(const std::wstring& path, const std::string& content);
// Deterministic content of the given size.
std::string Pattern(std::size_t size, unsigned seed = 1);
// Every file below folder, relative path (backslashes) to content; folders
// named with a trailing backslash and no content; links left out.
std::map<std::wstring, std::string> Snapshot(const std::wstring& folder);
// Removes a folder and everything in it, read-only entries included.
void RemoveTree(const std::wstring& folder);
// Creates a symbolic link at link pointing at target; false where the
// platform cannot make one.
bool MakeSymbolicLink(const std::wstring& target, const std::wstring& link, bool isFolder);
