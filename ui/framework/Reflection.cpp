#include "ui/framework/Reflection.h"

namespace Framework {

HWND NotifyingControl(HWND parent, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        return reinterpret_cast<HWND>(lParam);  // null for menus and accelerators
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        return header != nullptr ? header->hwndFrom : nullptr;
    }
    case WM_DRAWITEM:
        if (wParam == 0) return nullptr;  // menu item
        return reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->hwndItem;
    case WM_MEASUREITEM: {
        if (wParam == 0) return nullptr;
        const auto* measure = reinterpret_cast<const MEASUREITEMSTRUCT*>(lParam);
        return ::GetDlgItem(parent, static_cast<int>(measure->CtlID));
    }
    case WM_COMPAREITEM:
        return reinterpret_cast<const COMPAREITEMSTRUCT*>(lParam)->hwndItem;
    case WM_DELETEITEM:
        return reinterpret_cast<const DELETEITEMSTRUCT*>(lParam)->hwndItem;
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<HWND>(lParam);
    default:
        return nullptr;
    }
}

LRESULT ReflectNotification(HWND parent, UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    HWND control = NotifyingControl(parent, message, wParam, lParam);
    if (control == nullptr || !::IsWindow(control)) {
        handled = false;
        return 0;
    }
    return ::SendMessageW(control, kReflectedMessageBase + message, wParam, lParam);
}

}  // namespace Framework
