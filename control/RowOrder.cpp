#include "control/RowOrder.h"

#include <cstdint>

#include "core/LowerCase.h"

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
    : text(LowerCase(relativeName) + relativeName), length(relativeName.size()), lastIsFolder(pathIsFolder) {}

namespace {

// One component of a name being walked: [start, end) in the text, and
// whether more components follow.
struct Component {
    size_t start;
    size_t end;
    bool last;
};

// The component starting at start (start < text.size()).
Component ComponentAt(std::wstring_view text, size_t start) {
    size_t end = text.find(L'\\', start);
    if (end == std::wstring_view::npos) end = text.size();
    const size_t next = text.find_first_not_of(L'\\', end);
    return {start, end, next == std::wstring_view::npos};
}

// Where the component after c starts, or the text's size.
size_t NextStart(std::wstring_view text, const Component& c) {
    const size_t next = text.find_first_not_of(L'\\', c.end);
    return next == std::wstring_view::npos ? text.size() : next;
}

}  // namespace

int RowKey::Compare(const RowKey& a, const RowKey& b) {
    const std::wstring_view x = a.Lowered();
    const std::wstring_view y = b.Lowered();
    size_t i = 0, j = 0;
    for (;;) {
        const bool xEnded = i >= x.size();
        const bool yEnded = j >= y.size();
        if (xEnded || yEnded) {
            if (xEnded != yEnded) return xEnded ? -1 : 1;
            const std::wstring_view p = a.Name(), q = b.Name();
            return CompareUnits(p.data(), p.size(), q.data(), q.size());
        }
        const Component cx = ComponentAt(x, i);
        const Component cy = ComponentAt(y, j);
        const bool xFolder = !cx.last || a.lastIsFolder;
        const bool yFolder = !cy.last || b.lastIsFolder;
        if (xFolder != yFolder) return xFolder ? 1 : -1;
        const int order = CompareUnits(x.data() + cx.start, cx.end - cx.start, y.data() + cy.start, cy.end - cy.start);
        if (order != 0) return order;
        i = NextStart(x, cx);
        j = NextStart(y, cy);
    }
}
