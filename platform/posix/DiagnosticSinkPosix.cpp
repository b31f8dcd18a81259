#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "core/DiagnosticSink.h"

namespace DiagnosticSink {

// Lines go to stderr only when a developer asks for them, so test output stays quiet.
void Emit(const std::wstring& line) {
    static const bool enabled = std::getenv("TORVANE_DIAGNOSTICS") != nullptr;
    if (!enabled) return;
    std::string narrow;
    for (wchar_t c : line) narrow.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    std::fputs(narrow.c_str(), stderr);
}

int LastError() { return errno; }

}  // namespace DiagnosticSink
