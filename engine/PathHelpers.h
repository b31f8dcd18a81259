#pragma once
// Path helpers of the engine. The string ones are our own code and behave
// like the shell's path functions of the same purpose on paths of any length;
// the tests ask the platform.

#include <string>

#include "core/SourceList.h"
#include "platform/Platform.h"

// The last component (like PathStripPathW): "C:\a\b.txt" gives "b.txt",
// "C:\a\" gives "a\", a root stays as it is.
std::wstring FileNameOf(const std::wstring& path);
// The root of the path (like PathStripToRootW): "C:\a\b" gives "C:\",
// "\\srv\share\x" gives "\\srv\share"; the path unchanged when it has none.
std::wstring RootOf(const std::wstring& path);
// True for "A:\" to "Z:\" in either case; false for "C:" and UNC paths.
bool IsDriveRoot(const std::wstring& path);
// True for a path that starts with two backslashes (like PathIsUNCW).
bool IsUncPath(const std::wstring& path);
// folder, one backslash, name; no other processing.
std::wstring JoinPath(const std::wstring& folder, const std::wstring& name);
// The long form of a full path: "C:\x" gives "\\?\C:\x", "\\srv\x" gives
// "\\?\UNC\srv\x"; a path in the long form already stays as it is. The
// platform takes such a path as it is, without trimming or folding it.
std::wstring LongPathOf(const std::wstring& path);
// True for a name the platform would change on its way to the file system
// unless the path holding it is in the long form: one ending in a dot or a
// space, or a device name (CON, NUL, COM1, ...; with any extension).
bool NeedsLongForm(const std::wstring& name);
// JoinPath, in the long form where name needs it: the path then leads to
// exactly that name.
std::wstring JoinExactPath(const std::wstring& folder, const std::wstring& name);

bool PathExists(const std::wstring& path, Platform& platform);
bool IsFolder(const std::wstring& path, Platform& platform);
// True also for a path that does not exist.
bool IsNotFolder(const std::wstring& path, Platform& platform);
// True when every normalised source exists. An empty From text is one empty
// source, which does not exist; a text the splitter refused names none.
bool AllSourcesExist(const SourceList& sources, Platform& platform);

// The full path the platform resolves path to (NormalizePath first, then the
// platform's full-path rule), without a trailing backslash unless it is a
// root. "." and ".." are gone, so the last component is the item's own name
// and nothing built from it can climb out of a folder. The normalised path
// unchanged when the platform cannot resolve it.
std::wstring FullPathOf(const std::wstring& path, Platform& platform);
// The folder that holds path (a full path without a trailing backslash);
// empty for a root.
std::wstring ParentOf(const std::wstring& path);
