#pragma once
// The name a file's bytes are written under until the copy is complete.
//
// A target only ever gets its real name by a rename of a complete, closed
// file, so a copy that is killed leaves at most a temporary, never a partial
// file under the real name. The temporary lives in the target's own folder
// (the rename then never crosses a volume) and is named after the target:
//   "~tv" + 8 hex digits (a hash of the target's name) + ".part"
// so the next run of the same job meets the leftover of a killed run under
// the same name and removes it. When the target's name is longer than that
// marker, the temporary takes the target's length (its first characters,
// then the marker), so it fits wherever the target fits. Only when the
// target's folder leaves no room for the marker next to a short name is a
// shorter, unmarked name of the target's length used; such a name is never
// taken for a leftover.

#include <cstddef>
#include <string>

namespace TemporaryName {

// The longest path the platform opens without a long-path prefix.
constexpr std::size_t kMaxPathLength = 259;

// The temporary path for target (folder, backslash, name).
std::wstring For(const std::wstring& target);
// True when name carries the marker For() gives targets of that hash: a
// leftover of a killed copy, never a user's file.
bool IsMarked(const std::wstring& name);

}  // namespace TemporaryName
