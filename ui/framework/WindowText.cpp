#include "ui/framework/WindowText.h"

#include <vector>

namespace Framework {

std::wstring WindowText(HWND window) {
    if (window == nullptr) return {};
    const int length = ::GetWindowTextLengthW(window);
    if (length <= 0) return {};
    std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1, L'\0');
    // The text may have shortened since its length was read.
    const int copied = ::GetWindowTextW(window, buffer.data(), length + 1);
    return std::wstring(buffer.data(), static_cast<std::size_t>(copied > 0 ? copied : 0));
}

bool SetTextIfChanged(HWND window, const std::wstring& text) {
    if (window == nullptr || WindowText(window) == text) return false;
    return ::SetWindowTextW(window, text.c_str()) != FALSE;
}

}  // namespace Framework
