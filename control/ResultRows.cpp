#include "control/ResultRows.h"

#include <algorithm>

namespace {
constexpr std::size_t kBlockSize = 512;
}  // namespace

ResultRows::Change ResultRows::AddItem(ItemResult item, bool pathIsFolder) {
    const auto found = byName.find(item.relativeName);
    if (found != byName.end()) {
        // The name is equal already; leaving it alone keeps the key's view valid.
        Entry& entry = entries[found->second];
        entry.row.item.code = item.code;
        entry.row.item.path = std::move(item.path);
        entry.row.item.error = item.error;
        entry.row.pathIsFolder = pathIsFolder;
        return {Find(entry.key).row, false};
    }

    const uint32_t index = static_cast<uint32_t>(entries.size());
    RowKey key(item.relativeName, pathIsFolder);
    entries.push_back(Entry{ResultRow{std::move(item), pathIsFolder}, std::move(key)});
    byName.emplace(entries.back().key.Name(), index);

    const Place place = Find(entries.back().key);
    if (blocks.empty()) blocks.emplace_back();
    std::vector<uint32_t>& block = blocks[place.block];
    block.insert(block.begin() + static_cast<std::ptrdiff_t>(place.offset), index);
    if (block.size() >= 2 * kBlockSize) {
        std::vector<uint32_t> upper(block.begin() + kBlockSize, block.end());
        block.resize(kBlockSize);
        blocks.insert(blocks.begin() + static_cast<std::ptrdiff_t>(place.block) + 1, std::move(upper));
    }
    return {place.row, true};
}

void ResultRows::Clear() {
    entries.clear();
    blocks.clear();
    byName.clear();
}

const ResultRow& ResultRows::At(std::size_t row) const {
    for (const std::vector<uint32_t>& block : blocks) {
        if (row < block.size()) return entries[block[row]].row;
        row -= block.size();
    }
    return entries.at(entries.size()).row;  // out of range: throws
}

ResultRows::Place ResultRows::Find(const RowKey& key) const {
    if (blocks.empty()) return {0, 0, 0};
    const auto before = [this](uint32_t index, const RowKey& k) { return RowKey::Compare(KeyOf(index), k) < 0; };

    // The first block whose last row does not sort before the key; past the
    // last row, the end of the last block.
    const auto block = std::partition_point(blocks.begin(), blocks.end(), [&](const std::vector<uint32_t>& b) {
        return before(b.back(), key);
    });
    const std::size_t blockIndex =
        block == blocks.end() ? blocks.size() - 1 : static_cast<std::size_t>(block - blocks.begin());
    const std::vector<uint32_t>& rows = blocks[blockIndex];
    const std::size_t offset =
        static_cast<std::size_t>(std::lower_bound(rows.begin(), rows.end(), key, before) - rows.begin());

    std::size_t row = offset;
    for (std::size_t i = 0; i < blockIndex; ++i) row += blocks[i].size();
    return {blockIndex, offset, row};
}
