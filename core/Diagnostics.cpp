#include "core/Diagnostics.h"

#include <algorithm>
#include <atomic>
#include <cwchar>

#include "core/DiagnosticSink.h"
#include "core/Exception.h"

namespace Diagnostics {
namespace {

// A spin lock keeps this file free of OS includes; capturing is a test aid
// and lines are rare, so contention is negligible.
std::atomic_flag captureLock = ATOMIC_FLAG_INIT;
std::vector<std::wstring>* capturedLines = nullptr;

class CaptureGuard {
public:
    CaptureGuard() {
        while (captureLock.test_and_set(std::memory_order_acquire)) {
        }
    }
    ~CaptureGuard() { captureLock.clear(std::memory_order_release); }
};

}  // namespace

std::wstring FormatLine(const std::wstring& failureText, int code) {
    return failureText + L" [" + std::to_wstring(code) + L"]\n";
}

void Write(const std::wstring& line) {
    {
        CaptureGuard guard;
        if (capturedLines) capturedLines->push_back(line);
    }
    DiagnosticSink::Emit(line);
}

void Report(const std::wstring& failureText, int code) { Write(FormatLine(failureText, code)); }

void Raise(const std::wstring& failureText, int code) {
    Report(failureText, code);
    throw Exception(L"");
}

int LastError() { return DiagnosticSink::LastError(); }

Capture::Capture() {
    CaptureGuard guard;
    capturedLines = new std::vector<std::wstring>();
}

Capture::~Capture() {
    CaptureGuard guard;
    delete capturedLines;
    capturedLines = nullptr;
}

std::vector<std::wstring> Capture::Lines() const {
    CaptureGuard guard;
    return capturedLines ? *capturedLines : std::vector<std::wstring>();
}

bool Capture::Contains(const std::wstring& line) const {
    auto lines = Lines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

}  // namespace Diagnostics
