#include "ui/Clipboard.h"

#include <cstring>

#include "core/Diagnostics.h"
#include "ui/framework/Handles.h"

namespace {

// Another program may have the clipboard open just now.
constexpr int kOpenAttempts = 5;
constexpr DWORD kOpenRetryMs = 20;

class OpenClipboardScope {
public:
    explicit OpenClipboardScope(HWND owner) {
        for (int attempt = 0; attempt < kOpenAttempts && !open; ++attempt) {
            if (attempt > 0) ::Sleep(kOpenRetryMs);
            open = ::OpenClipboard(owner) != FALSE;
        }
    }
    ~OpenClipboardScope() {
        if (open) ::CloseClipboard();
    }
    OpenClipboardScope(const OpenClipboardScope&) = delete;
    OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
    bool IsOpen() const { return open; }

private:
    bool open = false;
};

}  // namespace

bool PutTextOnClipboard(HWND owner, const std::wstring& text) {
    const SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
    Win::UniqueGlobalMemory memory(::GlobalAlloc(GMEM_MOVEABLE, bytes));
    if (!memory) {
        Diagnostics::Report(L"GlobalAlloc failed.", Diagnostics::LastError());
        return false;
    }
    void* target = ::GlobalLock(memory.get());
    if (target == nullptr) {
        Diagnostics::Report(L"GlobalLock failed.", Diagnostics::LastError());
        return false;
    }
    std::memcpy(target, text.c_str(), bytes);
    ::GlobalUnlock(memory.get());

    OpenClipboardScope clipboard(owner);
    if (!clipboard.IsOpen()) {
        Diagnostics::Report(L"OpenClipboard failed.", Diagnostics::LastError());
        return false;
    }
    if (!::EmptyClipboard()) {
        Diagnostics::Report(L"EmptyClipboard failed.", Diagnostics::LastError());
        return false;
    }
    if (::SetClipboardData(CF_UNICODETEXT, memory.get()) == nullptr) {
        Diagnostics::Report(L"SetClipboardData failed.", Diagnostics::LastError());
        return false;
    }
    memory.release();  // the clipboard owns it now
    return true;
}
