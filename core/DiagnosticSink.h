#pragma once
// Where diagnostic lines end up, and how the last error is read: the two
// things about diagnostics that differ between Windows and the native build
// (each system's version lives in platform/).

#include <string>

namespace DiagnosticSink {
void Emit(const std::wstring& line);
int LastError();
}  // namespace DiagnosticSink
