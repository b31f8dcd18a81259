#include "core/CommandLine.h"
#include "core/CommandLineSplitter.h"

namespace CommandLineSplitter {

std::vector<std::wstring> Split(const std::wstring& text) { return CommandLineRules::Split(text); }

}  // namespace CommandLineSplitter
