// Feeds arbitrary text to the command-line splitter and the path trimmer.
// Besides the sanitizers' checks it asserts that output stays bounded by the
// input: splitting never invents characters, trimming never grows a path by
// more than the one backslash a bare drive gains.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/CommandLine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::wstring text;
    text.reserve(size / 2 + 1);
    for (size_t i = 0; i + 1 < size; i += 2) {
        // UTF-16 code units, as Windows would hand them over.
        text.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));
    }

    size_t total = 0;
    const auto arguments = SplitArguments(text);
    for (const auto& argument : arguments) total += argument.size();
    // Step 1 may double backslashes before quotes: at most twice the input.
    if (total > 2 * text.size()) std::abort();
    if (arguments.size() > text.size() + 1) std::abort();

    const std::wstring normalized = NormalizePath(text);
    if (normalized.size() > text.size() + 1) std::abort();

    const auto fields = FieldsFromArguments(arguments);
    if (fields.fromText.size() > 3 * text.size() + 2) std::abort();
    return 0;
}
