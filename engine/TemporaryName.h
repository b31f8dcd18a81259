#pragma once
// The name a file's bytes are written under until the copy is complete, and
// the stamp that tells a leftover of a killed copy from a user's file.
//
// A target only ever gets its real name by a rename of a complete, closed
// file, so a copy that is killed leaves at most a temporary, never a partial
// file under the real name. The temporary lives in the target's own folder
// (the rename then never crosses a volume) and is named after the target:
//   "~tv" + 8 hex digits (a hash of the target's name) + ".part"
// so the next run of the same job meets the leftover of a killed run under
// the same name. When the target's name is longer than that marker, the
// temporary takes the target's length (its first characters, then the
// marker). Where the folder leaves no room for the marker, the temporary
// alone is named in the long form ("\\?\"), so every temporary is marked.
// When something that is not a leftover stands at the name, further
// attempts hash the name with the attempt's number.
//
// The name alone proves nothing: a user may hold a file of that name (a
// copy of a leftover, say). While it is written, a temporary carries a
// stamp in its last-access time, which its writes leave alone and which the
// copy clears before the file gets its real name: a time in the year 2100,
// whose whole seconds are a hash of the temporary's own name and whose
// fraction is a hash of its source's size and last-write time. Only a
// regular file with a marked name and the stamp of that name is a leftover.
// Volumes that keep last-access times coarsely (exFAT to 2 seconds, FAT as a
// date) keep enough of the stamp to tell a leftover, not its source.

#include <cstddef>
#include <cstdint>
#include <string>

namespace TemporaryName {

// The longest path the platform opens without a long-path prefix.
constexpr std::size_t kMaxPathLength = 259;
// Names tried for one target before its copy gives up.
constexpr int kAttempts = 4;

// The temporary path for target (folder, backslash, name) on the given
// attempt (0 first).
std::wstring For(const std::wstring& target, int attempt = 0);
// True when name has the shape of a temporary (the marker at its end).
bool IsMarked(const std::wstring& name);

// The stamp of a temporary named name, copied from a source of this size
// and last-write time (100-ns units since 1601; 0 when unknown).
std::uint64_t StampFor(const std::wstring& name, std::uint64_t sourceSize, std::uint64_t sourceLastWrite);
// True when a file named name with this last-access time is a temporary of
// this program, whatever its source.
bool IsStampOf(const std::wstring& name, std::uint64_t lastAccess);
// True when that temporary was copied from a source of this size and
// last-write time (a later run may go on where it stopped).
bool IsFromSource(std::uint64_t lastAccess, std::uint64_t sourceSize, std::uint64_t sourceLastWrite);

}  // namespace TemporaryName
