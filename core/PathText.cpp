#include "core/PathText.h"

namespace PathText {

void AddBackslash(std::wstring& path) {
    if (!path.empty() && path.back() != L'\\') path.push_back(L'\\');
}

void RemoveBackslash(std::wstring& path) {
    if (!path.empty() && path.back() == L'\\' && !IsRoot(path)) path.pop_back();
}

void RemoveBlanks(std::wstring& path) {
    const size_t first = path.find_first_not_of(L' ');
    if (first == std::wstring::npos) {
        path.clear();
        return;
    }
    const size_t last = path.find_last_not_of(L' ');
    path = path.substr(first, last - first + 1);
}

bool IsRoot(const std::wstring& path) {
    if (path.empty()) return false;
    if (path[0] == L'\\') {
        if (path.size() == 1) return true;
        if (path[1] != L'\\') return false;
        bool seenSlash = false;
        for (size_t i = 2; i < path.size(); ++i) {
            if (path[i] != L'\\') continue;
            if (seenSlash) return false;
            seenSlash = true;
        }
        return true;
    }
    return path.size() == 3 && path[1] == L':' && path[2] == L'\\';
}

bool IsSpace(wchar_t c) {
    switch (c) {
        case 0x09: case 0x0A: case 0x0B: case 0x0C: case 0x0D: case 0x20:
        case 0xA0: case 0x1680: case 0x2028: case 0x2029: case 0x202F: case 0x205F: case 0x3000:
            return true;
        default:
            return c >= 0x2000 && c <= 0x200A;
    }
}

}  // namespace PathText

std::wstring NormalizePath(const std::wstring& path) {
    // The steps run in this order on purpose: a backslash followed only by
    // blanks survives ("C:\Data\ " gives "C:\Data\").
    std::wstring work = path.substr(0, path.find(L'\0'));
    PathText::AddBackslash(work);
    PathText::RemoveBackslash(work);
    PathText::RemoveBlanks(work);

    size_t begin = 0;
    while (begin < work.size() && PathText::IsSpace(work[begin])) ++begin;
    size_t end = work.size();
    while (end > begin && PathText::IsSpace(work[end - 1])) --end;
    return work.substr(begin, end - begin);
}
