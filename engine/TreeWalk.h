#pragma once
// The one walk of a source folder, shared by discovery and the copy so that
// what is counted is what is copied: each folder is listed once, the entries
// IsSkippedEntry names are passed over, a folder's files come in listing
// order and its subfolders after them, and a stop is seen before the
// listing, between entries and between subfolders.
//
// What is done per file and per folder is the visitor's:
//   void File(const TreeFolder& folder, const Context& context, const FindEntry& entry);
//   // Before a subfolder is walked; false passes it over. inner is the
//   // subfolder's own context (its target, say).
//   bool EnterSubfolder(const TreeFolder& subfolder, const std::wstring& name, const Context& outer, Context& inner);
//   // The listing failed at its start, or broke off after some entries.
//   void ListingFailed(const TreeFolder& folder, std::uint32_t error);
//   // A link, junction or mount point, which is neither counted nor entered.
//   void Link(const TreeFolder& folder, const Context& context, const FindEntry& entry);
//
// Paths below a name that the platform would change (a trailing dot, a
// device name) are in the long form, so they lead to exactly that name.

#include <atomic>
#include <string>
#include <utility>
#include <vector>

#include "engine/EntryFilter.h"
#include "engine/PathHelpers.h"
#include "platform/Platform.h"

// A folder as the walk reaches it: its name relative to the source ("." for
// the source itself) and its full path.
struct TreeFolder {
    std::wstring relativeName;
    std::wstring path;
};

template <typename Visitor, typename Context>
void WalkTree(Platform& platform, const std::atomic<bool>& stop, Visitor& visitor, const TreeFolder& folder,
              const Context& context, bool recurse) {
    if (stop) return;
    std::vector<std::wstring> subfolders;
    {
        FindHandle find;
        FindEntry entry;
        std::uint32_t error = platform.Listing().FindFirst(JoinPath(folder.path, L"*"), find, entry);
        if (error != ErrorCode::kSuccess) {
            visitor.ListingFailed(folder, error);
            return;
        }
        do {
            // A listing of many thousand entries must not hold up a stop.
            if (stop) return;
            if (IsDotEntry(entry)) continue;
            if (IsPassedOverLink(entry)) {
                visitor.Link(folder, context, entry);
                continue;
            }
            if (entry.attributes & FileAttribute::kDirectory) {
                subfolders.push_back(std::move(entry.name));
            } else {
                visitor.File(folder, context, entry);
            }
        } while ((error = platform.Listing().FindNext(find.get(), entry)) == ErrorCode::kSuccess);
        // The listing broke off: what came after the break is unknown.
        if (error != ErrorCode::kNoMoreFiles) visitor.ListingFailed(folder, error);
    }  // the listing is closed before the walk goes deeper
    if (!recurse) return;
    for (const auto& name : subfolders) {
        if (stop) return;
        const TreeFolder subfolder{JoinPath(folder.relativeName, name), JoinExactPath(folder.path, name)};
        Context inner{};
        if (visitor.EnterSubfolder(subfolder, name, context, inner)) {
            WalkTree(platform, stop, visitor, subfolder, inner, true);
        }
    }
}
