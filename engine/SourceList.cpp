#include "engine/SourceList.h"

#include "core/CommandLine.h"
#include "engine/PathHelpers.h"

std::vector<std::wstring> ParseSourceText(const std::wstring& sourceText) {
    if (sourceText.find(L'"') == std::wstring::npos) return {sourceText};
    return SplitSourceList(sourceText);
}

bool AllSourcesExist(const std::wstring& sourceText, Platform& platform) {
    const auto sources = SourcesOfText(sourceText);
    // A text the splitter refuses names nothing that exists.
    if (sources.empty()) return false;
    for (const auto& source : sources) {
        if (!PathExists(source, platform)) return false;
    }
    return true;
}
