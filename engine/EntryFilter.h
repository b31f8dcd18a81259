#pragma once
// Which entries of a folder listing a walk of the sources visits: the same
// rule for discovery and for the copy, so that what is counted is what is
// copied.

#include "platform/Platform.h"

// "." and ".." are the folder itself and its parent. A name surrogate (a
// symbolic link, a junction, a mount point) leads somewhere else and is
// neither counted nor followed; a reparse point without a tag is taken for
// one, since nothing says it holds data. Every other reparse-tagged entry
// (deduplicated, offline or cloud-placeholder files) is the file's own data.
inline bool IsDotEntry(const FindEntry& entry) { return entry.name == L"." || entry.name == L".."; }
inline bool IsPassedOverLink(const FindEntry& entry) {
    if (!(entry.attributes & FileAttribute::kReparsePoint)) return false;
    return entry.reparseTag == 0 || ReparseTag::IsNameSurrogate(entry.reparseTag);
}
inline bool IsSkippedEntry(const FindEntry& entry) { return IsDotEntry(entry) || IsPassedOverLink(entry); }
