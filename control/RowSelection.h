#pragma once
// The result list keeps its selection as row indexes, while new rows are
// inserted at their sorted places: without help a selection would slide
// onto other rows. This rule says how the selection follows its rows.

#include <cstddef>
#include <vector>

// Where the row at index row stands after the insertions, in the order they
// were made: each at its index, moving that row and every row below it down.
std::size_t ShiftedRow(std::size_t row, const std::vector<std::size_t>& insertions);

struct SelectionChange {
    std::vector<std::size_t> deselect;  // ascending
    std::vector<std::size_t> select;    // ascending
};

// The least change that turns the selection the list still holds (selected,
// ascending indexes from before the insertions) into the same rows at their
// new places. The inserted rows themselves are not selected.
SelectionChange ShiftSelection(const std::vector<std::size_t>& selected, const std::vector<std::size_t>& insertions);
