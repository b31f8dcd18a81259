#include "engine/WrittenPaths.h"

std::uint64_t WrittenPaths::KeyOf(const std::wstring& path, bool folded) {
    std::size_t start = 0;
    std::wstring plain;
    if (path.compare(0, 8, L"\\\\?\\UNC\\") == 0) {
        plain = L"\\" + path.substr(7);
    } else {
        if (path.compare(0, 4, L"\\\\?\\") == 0) start = 4;
        plain = path.substr(start);
    }
    // FNV-1a over the folded components, each ended by a separator.
    std::uint64_t hash = 14695981039346656037ull;
    auto add = [&hash](wchar_t c) {
        const auto unit = static_cast<std::uint32_t>(c);
        for (int shift = 0; shift < 32; shift += 8) hash = (hash ^ ((unit >> shift) & 0xFF)) * 1099511628211ull;
    };
    std::size_t position = 0;
    while (position <= plain.size()) {
        std::size_t end = plain.find_first_of(L"\\/", position);
        if (end == std::wstring::npos) end = plain.size();
        std::size_t last = end;
        while (folded && last > position && (plain[last - 1] == L'.' || plain[last - 1] == L' ')) --last;
        // "." and ".." stay as they are.
        if (last == position) last = end;
        for (std::size_t i = position; i < last; ++i) {
            wchar_t c = plain[i];
            if (folded && c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
            add(c);
        }
        add(L'\\');
        position = end + 1;
    }
    return hash;
}
