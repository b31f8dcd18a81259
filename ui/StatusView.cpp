#include "ui/StatusView.h"

#include <vector>

constexpr std::array<int, 18> StatusView::kControlIds;

std::wstring WindowText(HWND window) {
    if (window == nullptr) return {};
    const int length = ::GetWindowTextLengthW(window);
    if (length <= 0) return {};
    std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(window, buffer.data(), length + 1);
    return std::wstring(buffer.data(), static_cast<std::size_t>(copied > 0 ? copied : 0));
}

bool SetTextIfChanged(HWND window, const std::wstring& text) {
    if (window == nullptr || WindowText(window) == text) return false;
    return ::SetWindowTextW(window, text.c_str()) != FALSE;
}

void StatusView::ShowFields(bool show) {
    for (int id : kControlIds) ::ShowWindow(Item(id), show ? SW_SHOWNORMAL : SW_HIDE);
}

bool StatusView::SetText(int id, const std::wstring& text) { return SetTextIfChanged(Item(id), text); }

std::wstring StatusView::Text(int id) const { return WindowText(Item(id)); }

LRESULT StatusView::OnInitDialog(UINT, WPARAM, LPARAM, bool&) {
    DlgResize_Init(false, true, WS_CLIPCHILDREN);
    return TRUE;
}

LRESULT StatusView::OnControlColour(UINT, WPARAM wParam, LPARAM, bool&) {
    ::SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
    return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
}
