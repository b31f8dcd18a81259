// Feeds result items through the row model in an adversarial order and times
// the drain, next to the naive approach (search the table linearly, append,
// re-sort the whole table with CompareRows after every new item).
//
// The stream: 20,000 distinct relative names up to nine levels deep, files
// and folders mixed at every level, names differing only in case, delivered
// in reverse row order (every new row lands at the top, the worst case for an
// insert) with one repeat of an earlier name after every tenth item.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "control/ResultRows.h"
#include "control/RowOrder.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Arrival {
    ItemResult item;
    bool isFolder;
};

std::vector<ResultRow> DistinctRows(size_t count) {
    std::mt19937 random(2024);
    std::vector<ResultRow> rows;
    std::vector<std::wstring> folders = {L"."};
    while (rows.size() < count) {
        const std::wstring parent = folders[random() % folders.size()];
        const bool folder = random() % 3 == 0 && std::count(parent.begin(), parent.end(), L'\\') < 8;
        std::wstring name = (random() % 2 ? L"Item" : L"item") + std::to_wstring(random() % 100000);
        if (!folder) name += L".txt";
        const std::wstring relative = parent + L"\\" + name;
        ItemResult item;
        item.code = static_cast<ResultCode>(1 + random() % 10);
        item.path = L"C:\\source\\" + relative;
        item.relativeName = relative;
        item.error = 5;
        rows.push_back({item, folder});
        if (folder) folders.push_back(relative);
    }
    // Drop accidental duplicates of a name.
    std::sort(rows.begin(), rows.end(), [](const ResultRow& a, const ResultRow& b) {
        return a.item.relativeName < b.item.relativeName;
    });
    rows.erase(std::unique(rows.begin(), rows.end(),
                           [](const ResultRow& a, const ResultRow& b) {
                               return a.item.relativeName == b.item.relativeName;
                           }),
               rows.end());
    return rows;
}

bool RowBefore(const ResultRow& a, const ResultRow& b) {
    return CompareRows(a.item, a.pathIsFolder, b.item, b.pathIsFolder);
}

// Reverse row order, with a repeat of an earlier name (a later failure of the
// same item) after every tenth arrival.
std::vector<Arrival> AdversarialStream(std::vector<ResultRow> rows) {
    std::sort(rows.begin(), rows.end(), RowBefore);
    std::reverse(rows.begin(), rows.end());
    std::vector<Arrival> stream;
    for (size_t i = 0; i < rows.size(); ++i) {
        stream.push_back({rows[i].item, rows[i].pathIsFolder});
        if (i % 10 == 9) {
            Arrival repeat{rows[i / 2].item, rows[i / 2].pathIsFolder};
            repeat.item.code = ResultCode::AttributesNotWritten;
            stream.push_back(repeat);
        }
    }
    return stream;
}

double Seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double DrainRows(const std::vector<Arrival>& stream, ResultRows& rows) {
    const Clock::time_point start = Clock::now();
    for (const Arrival& a : stream) rows.AddItem(a.item, a.isFolder);
    return Seconds(start);
}

// The naive table: linear search (last match), replace or append and re-sort.
double DrainNaive(const std::vector<Arrival>& stream, std::vector<ResultRow>& table) {
    const Clock::time_point start = Clock::now();
    for (const Arrival& a : stream) {
        auto found = std::find_if(table.rbegin(), table.rend(), [&](const ResultRow& row) {
            return row.item.relativeName == a.item.relativeName;
        });
        if (found != table.rend()) {
            found->item = a.item;
        } else {
            table.push_back({a.item, a.isFolder});
            std::sort(table.begin(), table.end(), RowBefore);
        }
    }
    return Seconds(start);
}

// The stream for the first n distinct names, in the same adversarial shape.
std::vector<Arrival> Prefix(const std::vector<ResultRow>& all, size_t n) {
    return AdversarialStream(std::vector<ResultRow>(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(n)));
}

}  // namespace

int main() {
    const size_t kItems = 20000;
    const std::vector<ResultRow> all = DistinctRows(kItems + 200);
    const std::vector<ResultRow> distinct(all.begin(), all.begin() + kItems);
    const std::vector<Arrival> stream = AdversarialStream(distinct);

    ResultRows rows;
    const double fast = DrainRows(stream, rows);

    // The order must equal a reference sort by CompareRows.
    std::vector<ResultRow> reference = distinct;
    std::sort(reference.begin(), reference.end(), RowBefore);
    bool sameOrder = rows.Count() == reference.size();
    for (size_t i = 0; sameOrder && i < reference.size(); ++i) {
        sameOrder = rows.At(i).item.relativeName == reference[i].item.relativeName;
    }

    std::printf("result rows: %u distinct items, %u arrivals (repeats included), reverse row order\n",
                static_cast<unsigned>(distinct.size()), static_cast<unsigned>(stream.size()));
    std::printf("  AddItem (hash lookup + blocked insert)   %6u items  %9.3f s  order %s\n",
                static_cast<unsigned>(distinct.size()), fast,
                sameOrder ? "equals the reference sort" : "DIFFERS from the reference sort");

    // The naive approach at sizes it can finish, then projected to the full
    // count from its growth between the two sizes (it grows as n^2 log n).
    const size_t sizes[] = {500, 1000};
    double naive[2] = {};
    for (int i = 0; i < 2; ++i) {
        const std::vector<Arrival> prefix = Prefix(distinct, sizes[i]);
        ResultRows small;
        const double fastSmall = DrainRows(prefix, small);
        std::vector<ResultRow> table;
        naive[i] = DrainNaive(prefix, table);
        std::printf("  at %5u items: AddItem %9.4f s, naive (linear search + full re-sort) %8.3f s  (%.0fx)\n",
                    static_cast<unsigned>(sizes[i]), fastSmall, naive[i], naive[i] / (fastSmall > 0 ? fastSmall : 1e-9));
    }
    const double exponent = std::log(naive[1] / naive[0]) / std::log(2.0);
    const double projected = naive[1] * std::pow(static_cast<double>(kItems) / sizes[1], exponent);
    std::printf("  naive projected to %u items (measured growth n^%.2f): about %.0f s, %.0fx the AddItem drain\n",
                static_cast<unsigned>(kItems), exponent, projected, projected / (fast > 0 ? fast : 1e-9));
    return sameOrder ? 0 : 1;
}
