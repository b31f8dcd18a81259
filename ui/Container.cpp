#include "ui/Container.h"

bool Container::SubclassWindow(HWND hwnd) {
    if (!Framework::SubclassedWindow<Container>::SubclassWindow(hwnd)) return false;
    const LONG_PTR style = ::GetWindowLongPtrW(hwnd, GWL_STYLE);
    ::SetWindowLongPtrW(hwnd, GWL_STYLE, style | WS_CLIPCHILDREN);
    return true;
}

void Container::FitChildren() {
    RECT client{};
    ::GetClientRect(Handle(), &client);
    for (HWND child : children) {
        if (!::IsWindow(child)) continue;
        ::MoveWindow(child, client.left, client.top, client.right - client.left, client.bottom - client.top, TRUE);
    }
}

LRESULT Container::OnWindowPosChanged(UINT, WPARAM, LPARAM, bool& handled) {
    FitChildren();
    handled = false;  // the static's own handling follows
    return 0;
}
