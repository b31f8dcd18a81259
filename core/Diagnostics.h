#pragma once
// The diagnostic line "%s [%d]\n": a failure site's fixed text and an error
// code. Each guarded site makes one call here:
//   Diagnostics::Raise(L"CreateMutex failed.", code);   // composes, then throws Exception
//   Diagnostics::Report(L"SetTimer failed.", code);     // composes, caller carries on
// On Windows the line goes to the debugger output; natively it goes to stderr
// when TORVANE_DIAGNOSTICS is set in the environment. Tests can capture lines.

#include <string>
#include <vector>

namespace Diagnostics {

// "%s [%d]\n" with the failure text and the signed error code.
std::wstring FormatLine(const std::wstring& failureText, int code);

// The calling thread's last platform error (GetLastError on Windows, errno elsewhere).
int LastError();

// Composes the line and writes it; the caller continues with its fallback.
void Report(const std::wstring& failureText, int code);

// Composes the line, writes it and throws Exception with an empty message.
[[noreturn]] void Raise(const std::wstring& failureText, int code);

// Writes text that is already a complete diagnostic line (the progress traces).
void Write(const std::wstring& line);

// While a Capture lives, every written line is also recorded (all threads).
// Captures do not nest.
class Capture {
public:
    Capture();
    ~Capture();
    Capture(const Capture&) = delete;
    Capture& operator=(const Capture&) = delete;

    std::vector<std::wstring> Lines() const;
    bool Contains(const std::wstring& line) const;
};

}  // namespace Diagnostics
