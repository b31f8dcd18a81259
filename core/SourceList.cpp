#include "core/SourceList.h"

#include <utility>

#include "core/CommandLine.h"

namespace {

std::vector<std::wstring> NormalizedPaths(const std::vector<std::wstring>& paths) {
    std::vector<std::wstring> normalized;
    normalized.reserve(paths.size());
    for (const auto& path : paths) normalized.push_back(NormalizePath(path));
    return normalized;
}

}  // namespace

SourceList SourceList::Parse(const std::wstring& text) {
    SourceList list;
    list.text = text;
    if (text.find(L'"') == std::wstring::npos) {
        list.given.push_back(text);
    } else {
        list.given = SplitSourceList(text);
    }
    list.normalized = NormalizedPaths(list.given);
    return list;
}

SourceList SourceList::Of(std::vector<std::wstring> paths) {
    SourceList list;
    list.text = SourceListText(paths);
    list.given = std::move(paths);
    list.normalized = NormalizedPaths(list.given);
    return list;
}
