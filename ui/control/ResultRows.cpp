#include "ui/control/ResultRows.h"

ResultRows::Change ResultRows::AddItem(const ItemResult& item, bool pathIsFolder) {
    const auto found = byName.find(item.relativeName);
    if (found != byName.end()) {
        Entry& entry = entries[found->second];
        entry.row.item = item;
        entry.row.pathIsFolder = pathIsFolder;
        return {LowerBound(entry.key), false};
    }

    const uint32_t index = static_cast<uint32_t>(entries.size());
    entries.push_back(Entry{ResultRow{item, pathIsFolder}, RowKey(item.relativeName, pathIsFolder)});
    const std::size_t row = LowerBound(entries.back().key);
    order.insert(order.begin() + static_cast<std::ptrdiff_t>(row), index);
    byName.emplace(item.relativeName, index);
    return {row, true};
}

void ResultRows::Clear() {
    entries.clear();
    order.clear();
    byName.clear();
}

std::size_t ResultRows::LowerBound(const RowKey& key) const {
    std::size_t low = 0, high = order.size();
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if (RowKey::Compare(entries[order[middle]].key, key) < 0) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return low;
}
