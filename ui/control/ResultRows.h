#pragma once
// The result list's rows as data, one per relative name, kept in row order
// (RowOrder.h). The main form mirrors every change into its list view: the
// model never touches a window, so it is tested and measured alone.
//
// Cost: a hash lookup per item, a binary search over the rows and one move of
// the row index (4 bytes per row) per new row; nothing is ever re-sorted.

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/ItemResult.h"
#include "ui/control/RowOrder.h"

struct ResultRow {
    ItemResult item;
    // Whether the item's path was a folder when the item arrived. It picks the
    // image of codes 9, 10 and unknown codes and, from the row's first
    // arrival, its place in the order.
    bool pathIsFolder = false;
};

class ResultRows {
public:
    struct Change {
        std::size_t row;  // the row's index in display order
        bool isNew;       // insert a list item at row; otherwise update row in place
    };

    // Records the item: replaces the row with the same relative name (exact,
    // case-sensitive), else inserts a row at its sorted position. A replaced
    // row keeps its place. The form then writes the row: for a new one it
    // inserts a list item at row (rows below move down by one); otherwise it
    // rewrites the item at row (name, image and message).
    Change AddItem(const ItemResult& item, bool pathIsFolder);

    // Empties the table (the form deletes every list item with it).
    void Clear();

    std::size_t Count() const { return order.size(); }
    const ResultRow& At(std::size_t row) const { return entries[order[row]].row; }

private:
    struct Entry {
        ResultRow row;
        RowKey key;
    };

    // The display position of an entry already in the order, or the position
    // a new entry takes (the first row that sorts after it).
    std::size_t LowerBound(const RowKey& key) const;

    std::vector<Entry> entries;                              // in order of arrival
    std::vector<std::uint32_t> order;                        // display order: indexes into entries
    std::unordered_map<std::wstring, std::uint32_t> byName;  // relative name -> entry
};
