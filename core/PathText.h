#pragma once
// Pure string operations on Windows-style paths that behave like the shell's
// path functions of the same name (PathAddBackslashW, PathRemoveBackslashW,
// PathRemoveBlanksW, PathIsRootW), without their MAX_PATH limits: these work
// on strings of any length and never truncate. NormalizePath, built from
// them, is the one most callers want.

#include <string>

namespace PathText {

// A backslash is appended unless the path is empty or already ends in one.
void AddBackslash(std::wstring& path);

// One trailing backslash is removed unless the path is a root (IsRoot).
void RemoveBackslash(std::wstring& path);

// Leading and trailing space characters (only U+0020) are removed.
void RemoveBlanks(std::wstring& path);

// True for a lone backslash, a drive root "X:\" and a server or share root
// "\\server", "\\server\" or "\\server\share" (at most one backslash after "\\").
bool IsRoot(const std::wstring& path);

// The whitespace of the C library's iswspace, as the Windows runtime classifies it.
bool IsSpace(wchar_t c);

}  // namespace PathText

// The trimming every reader of user-typed or passed-in paths applies: drops a
// trailing backslash except from a root, turns a bare drive "C:" into "C:\",
// and trims blanks around the path. Any length is accepted; the result is
// never truncated.
std::wstring NormalizePath(const std::wstring& path);
