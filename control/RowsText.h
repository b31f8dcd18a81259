#pragma once
// Result rows as the text the clipboard gets: one row a line, the name, a
// tab, then the message, each line ended by CR LF. A name that holds a tab,
// a line break or a double quote is put in double quotes (inner quotes
// doubled), as spreadsheets read pasted tab-separated text, so such a name
// never splits a row.

#include <cstddef>
#include <string>
#include <vector>

#include "control/ResultRows.h"

enum class RowName {
    AsShown,   // the relative name, as the list shows it
    FullPath,  // the item's full path
};

// The rows at the given display indexes, in the order given. Every index
// must be below rows.Count().
std::wstring RowsText(const ResultRows& rows, const std::vector<std::size_t>& indexes, RowName name);
