#include <windows.h>

#include "core/DiagnosticSink.h"

namespace DiagnosticSink {

void Emit(const std::wstring& line) { OutputDebugStringW(line.c_str()); }

int LastError() { return static_cast<int>(GetLastError()); }

}  // namespace DiagnosticSink
