#pragma once
// The result list's rows as data, one per relative name, kept in row order
// (RowOrder.h). The main form mirrors every change into its list view: the
// model never touches a window, so it is tested and measured alone.
//
// Cost: a hash lookup per item and a binary search over the rows; a new row
// moves at most one block of the row index (blocks of up to 1,024 entries of
// 4 bytes) and allocates twice (its key and its hash node) besides what the
// item brings. Nothing is ever re-sorted. At(row) walks the block sizes.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/ItemResult.h"
#include "control/RowOrder.h"

struct ResultRow {
    ItemResult item;
    // Whether the item's path was a folder when this item arrived; it picks
    // the image of codes 9, 10 and unknown codes. The row's place in the
    // order is fixed by the value at the row's first arrival, so that a later
    // item for the same name never breaks the order of the others.
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
    Change AddItem(ItemResult item, bool pathIsFolder);

    // Empties the table (the form deletes every list item with it).
    void Clear();

    std::size_t Count() const { return entries.size(); }
    const ResultRow& At(std::size_t row) const;

private:
    struct Entry {
        ResultRow row;
        RowKey key;
    };

    // Where a key stands in the display order: its block, its offset in the
    // block and its row. For a key already present, its own place; for a new
    // one, the place it takes (before the first row that sorts after it).
    struct Place {
        std::size_t block;
        std::size_t offset;
        std::size_t row;
    };
    Place Find(const RowKey& key) const;
    const RowKey& KeyOf(std::uint32_t index) const { return entries[index].key; }

    std::deque<Entry> entries;  // in order of arrival; never moved once added
    // The display order as consecutive blocks of indexes into entries. Every
    // block holds at least one index; a block that grows past twice the
    // nominal size is split in two.
    std::vector<std::vector<std::uint32_t>> blocks;
    // Relative name (viewing the entry's own key) -> entry.
    std::unordered_map<std::wstring_view, std::uint32_t> byName;
};
