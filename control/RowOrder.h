#pragma once
// The order of the result list: a tree order over the relative names, files
// before folders at each level, each group by the ordinal order of the
// lower-cased names, and a folder's own row before the rows of its contents.
//
// The names are compared component by component (split at backslashes, runs
// of backslashes counting as one separator). A component counts as a folder
// unless it is the last one of its name; the last one counts as a folder when
// the row's path is a folder. At the first position where the components
// differ in text or in kind, a file comes before a folder and otherwise the
// lower text comes first; a name that ends first comes first. (Taking the
// kind into account also for equal texts keeps the order transitive for
// names that differ only in separators or case.) Names equal after all that
// are ordered by their original code units, so the order is strict and
// total over distinct names.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "engine/ItemResult.h"

// Is row a (with its path's folder state) shown before row b? Computes
// everything from the names on each call: the reference the result rows keep
// to, and the comparison for anyone sorting rows themselves.
bool CompareRows(const ItemResult& a, bool aIsFolder, const ItemResult& b, bool bIsFolder);

// The components of a relative name: ".\Sub\A.txt" gives ".", "Sub", "A.txt".
std::vector<std::wstring> SplitRowName(const std::wstring& relativeName);

// A row's name prepared once for fast comparisons: one allocation holding
// the lower-cased name followed by the name as given.
class RowKey {
public:
    RowKey(const std::wstring& relativeName, bool pathIsFolder);

    // Negative, zero or positive as a sorts before, with or after b. Zero only
    // for equal relative names.
    static int Compare(const RowKey& a, const RowKey& b);

    // The name as given; valid as long as the key is neither moved nor destroyed.
    std::wstring_view Name() const { return std::wstring_view(text).substr(length); }

private:
    std::wstring_view Lowered() const { return std::wstring_view(text).substr(0, length); }

    std::wstring text;  // lower-cased name, then the name as given
    std::size_t length;
    bool lastIsFolder;
};
