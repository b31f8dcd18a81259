#pragma once
// The platform's command-line splitter: CommandLineToArgvW on Windows, our
// own copy of its rules elsewhere (each in platform/). An empty list means
// the split failed.

#include <string>
#include <vector>

namespace CommandLineSplitter {
std::vector<std::wstring> Split(const std::wstring& text);
}
