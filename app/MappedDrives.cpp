#include "app/MappedDrives.h"

#include <vector>

#include "core/CommandLine.h"

namespace {

bool StartsWithDriveLetter(const std::wstring& path) {
    if (path.size() < 2 || path[1] != L':') return false;
    const wchar_t letter = path[0];
    return (letter >= L'A' && letter <= L'Z') || (letter >= L'a' && letter <= L'z');
}

}  // namespace

std::wstring ParametersForElevation(const std::wstring& commandLineTail, const UniversalNameLookup& lookup) {
    std::vector<std::wstring> arguments = SplitSourceList(commandLineTail);
    bool replaced = false;
    for (std::wstring& argument : arguments) {
        if (!StartsWithDriveLetter(argument)) continue;
        std::wstring universal;
        if (lookup && lookup(argument, universal) && !universal.empty()) {
            argument = universal;
            replaced = true;
        }
    }
    if (!replaced) return commandLineTail;

    // Paths hold no double quotes; a closing backslash before the quote is
    // read back whole by the new instance's splitter.
    std::wstring parameters;
    for (const std::wstring& argument : arguments) {
        if (!parameters.empty()) parameters += L' ';
        parameters += L'"' + argument + L'"';
    }
    return parameters;
}
