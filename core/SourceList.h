#pragma once
// The sources a copy is asked for, parsed once from the From text (or taken
// as a list from the command line) and handed as they are to discovery, the
// destination checks and the copy.

#include <string>
#include <vector>

class SourceList {
public:
    // What the From text names: one path when it has no double quote (spaces
    // and all), otherwise every element SplitSourceList finds. A text the
    // splitter refuses names no source; an empty text names one empty one.
    static SourceList Parse(const std::wstring& text);
    // The command line's sources, each already a path of its own; the text
    // is how the From field shows them.
    static SourceList Of(std::vector<std::wstring> paths);

    // The From text this list stands for.
    const std::wstring& Text() const { return text; }
    // The paths as written (a copy resolves each to its full path itself).
    const std::vector<std::wstring>& Given() const { return given; }
    // The paths after NormalizePath: what discovery walks and the checks test.
    const std::vector<std::wstring>& Normalized() const { return normalized; }

private:
    std::wstring text;
    std::vector<std::wstring> given;
    std::vector<std::wstring> normalized;
};
