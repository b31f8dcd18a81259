#include "control/RowSelection.h"

#include <algorithm>
#include <iterator>

std::size_t ShiftedRow(std::size_t row, const std::vector<std::size_t>& insertions) {
    for (std::size_t inserted : insertions) {
        if (inserted <= row) ++row;
    }
    return row;
}

SelectionChange ShiftSelection(const std::vector<std::size_t>& selected, const std::vector<std::size_t>& insertions) {
    SelectionChange change;
    if (insertions.empty() || selected.empty()) return change;
    // Shifting keeps the order, so the new selection is ascending too.
    std::vector<std::size_t> moved;
    moved.reserve(selected.size());
    for (std::size_t row : selected) moved.push_back(ShiftedRow(row, insertions));
    std::set_difference(selected.begin(), selected.end(), moved.begin(), moved.end(),
                        std::back_inserter(change.deselect));
    std::set_difference(moved.begin(), moved.end(), selected.begin(), selected.end(),
                        std::back_inserter(change.select));
    return change;
}
