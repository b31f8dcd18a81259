#include "ui/StatusView.h"

#include "ui/framework/WindowText.h"

constexpr std::array<int, 18> StatusView::kControlIds;

void StatusView::ShowFields(bool show) {
    for (int id : kControlIds) ::ShowWindow(Item(id), show ? SW_SHOWNORMAL : SW_HIDE);
}

bool StatusView::SetText(int id, const std::wstring& text) { return Framework::SetTextIfChanged(Item(id), text); }

std::wstring StatusView::Text(int id) const { return Framework::WindowText(Item(id)); }

LRESULT StatusView::OnInitDialog(UINT, WPARAM, LPARAM, bool&) {
    DlgResize_Init(false, true, WS_CLIPCHILDREN);
    return TRUE;
}

LRESULT StatusView::OnControlColour(UINT, WPARAM wParam, LPARAM, bool&) {
    ::SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
    return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
}
