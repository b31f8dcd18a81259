#include "ui/control/RowOrder.h"

#include "ui/control/LowerCase.h"

namespace {

// Ordinal comparison by code unit value.
int CompareUnits(const wchar_t* a, size_t aLength, const wchar_t* b, size_t bLength) {
    const size_t common = aLength < bLength ? aLength : bLength;
    for (size_t i = 0; i < common; ++i) {
        const uint32_t x = static_cast<uint32_t>(a[i]);
        const uint32_t y = static_cast<uint32_t>(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    if (aLength == bLength) return 0;
    return aLength < bLength ? -1 : 1;
}

int CompareUnits(const std::wstring& a, const std::wstring& b) {
    return CompareUnits(a.data(), a.size(), b.data(), b.size());
}

}  // namespace

std::vector<std::wstring> SplitRowName(const std::wstring& relativeName) {
    std::vector<std::wstring> components;
    size_t position = 0;
    while (position < relativeName.size()) {
        size_t end = relativeName.find(L'\\', position);
        if (end == std::wstring::npos) end = relativeName.size();
        components.push_back(relativeName.substr(position, end - position));
        position = relativeName.find_first_not_of(L'\\', end);
        if (position == std::wstring::npos) break;
    }
    return components;
}

bool CompareRows(const ItemResult& a, bool aIsFolder, const ItemResult& b, bool bIsFolder) {
    const std::vector<std::wstring> x = SplitRowName(LowerCase(a.relativeName));
    const std::vector<std::wstring> y = SplitRowName(LowerCase(b.relativeName));
    const size_t common = x.size() < y.size() ? x.size() : y.size();
    for (size_t i = 0; i < common; ++i) {
        const bool xFolder = i + 1 < x.size() || aIsFolder;
        const bool yFolder = i + 1 < y.size() || bIsFolder;
        if (xFolder != yFolder) return !xFolder;  // a file comes before a folder
        const int order = CompareUnits(x[i], y[i]);
        if (order != 0) return order < 0;
    }
    if (x.size() != y.size()) return x.size() < y.size();
    return CompareUnits(a.relativeName, b.relativeName) < 0;
}

RowKey::RowKey(const std::wstring& relativeName, bool pathIsFolder)
    : name(relativeName), lowered(LowerCase(relativeName)), lastIsFolder(pathIsFolder) {
    size_t position = 0;
    while (position < lowered.size()) {
        size_t end = lowered.find(L'\\', position);
        if (end == std::wstring::npos) end = lowered.size();
        components.emplace_back(static_cast<uint32_t>(position), static_cast<uint32_t>(end - position));
        position = lowered.find_first_not_of(L'\\', end);
        if (position == std::wstring::npos) break;
    }
}

int RowKey::Compare(const RowKey& a, const RowKey& b) {
    const size_t aCount = a.components.size();
    const size_t bCount = b.components.size();
    const size_t common = aCount < bCount ? aCount : bCount;
    for (size_t i = 0; i < common; ++i) {
        const wchar_t* x = a.lowered.data() + a.components[i].first;
        const wchar_t* y = b.lowered.data() + b.components[i].first;
        const bool xFolder = i + 1 < aCount || a.lastIsFolder;
        const bool yFolder = i + 1 < bCount || b.lastIsFolder;
        if (xFolder != yFolder) return xFolder ? 1 : -1;
        const int order = CompareUnits(x, a.components[i].second, y, b.components[i].second);
        if (order != 0) return order;
    }
    if (aCount != bCount) return aCount < bCount ? -1 : 1;
    return CompareUnits(a.name, b.name);
}
