#pragma once
// The notification-area icon of the main window, as a mix-in of the form:
// the form installs it while it initialises, the icon's mouse messages come
// through the form's message map, and the icon goes when the form object
// does. A double click runs the menu's first command; a right click shows
// the menu at the cursor.

#include <windows.h>
#include <shellapi.h>

#include "ui/TrayIconData.h"
#include "ui/framework/AppModule.h"
#include "ui/framework/Handles.h"
#include "ui/framework/MessageMap.h"

template <class T>
class TrayIcon {
public:
    TrayIcon() : callbackMessage(::RegisterWindowMessageW(L"WM_TRAYICON")) {
        notifyData = NOTIFYICONDATAW{};
        notifyData.cbSize = kNotifyIconDataSize;
    }
    ~TrayIcon() { RemoveIcon(); }
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    BEGIN_MSG_MAP(TrayIcon)
        MESSAGE_HANDLER(callbackMessage, OnTrayIcon)
    END_MSG_MAP()

    // Adds the icon for the form's window. menuId is also the icon's id.
    // Returns whether the shell took it; the icon is then installed.
    bool InstallIcon(const wchar_t* tooltip, HICON icon, UINT menuId) {
        FillNotifyIconData(notifyData, static_cast<T*>(this)->Handle(), menuId, callbackMessage, icon, tooltip);
        installed = ::Shell_NotifyIconW(NIM_ADD, &notifyData) != FALSE;
        return installed;
    }

    // Removes an installed icon; false when there was none or the shell refused.
    bool RemoveIcon() {
        if (!installed) return false;
        notifyData.uFlags = 0;
        const bool removed = ::Shell_NotifyIconW(NIM_DELETE, &notifyData) != FALSE;
        installed = false;
        return removed;
    }

    bool IconInstalled() const { return installed; }
    UINT TrayCallbackMessage() const { return callbackMessage; }
    const NOTIFYICONDATAW& NotifyData() const { return notifyData; }

protected:
    LRESULT OnTrayIcon(UINT, WPARAM wParam, LPARAM lParam, bool&) {
        if (wParam != notifyData.uID) return 0;
        HWND window = static_cast<T*>(this)->Handle();
        switch (LOWORD(lParam)) {
        case WM_LBUTTONDBLCLK: {
            // The window is made foreground first, so the show/hide command
            // sees it as the active window and hides it.
            ::SetForegroundWindow(window);
            Win::UniqueMenu menu(::LoadMenuW(Framework::AppModule::Instance(), MAKEINTRESOURCEW(notifyData.uID)));
            if (!menu) return 0;
            HMENU popup = ::GetSubMenu(menu.get(), 0);
            if (popup == nullptr) return 0;
            const UINT command = ::GetMenuItemID(popup, static_cast<int>(defaultItem));
            ::SendMessageW(window, WM_COMMAND, command, 0);
            return 0;
        }
        case WM_RBUTTONUP: {
            Win::UniqueMenu menu(::LoadMenuW(Framework::AppModule::Instance(), MAKEINTRESOURCEW(notifyData.uID)));
            if (!menu) return 0;
            HMENU popup = ::GetSubMenu(menu.get(), 0);
            if (popup == nullptr) return 0;
            POINT cursor{};
            ::GetCursorPos(&cursor);
            ::SetForegroundWindow(window);
            ::SetMenuDefaultItem(popup, defaultItem, TRUE);
            ::TrackPopupMenu(popup, 0, cursor.x, cursor.y, 0, window, nullptr);
            // Lets the menu close properly when the user clicks elsewhere next time.
            ::PostMessageW(window, WM_NULL, 0, 0);
            return 0;
        }
        default:
            return 0;
        }
    }

    NOTIFYICONDATAW notifyData;
    bool installed = false;
    UINT defaultItem = 0;  // the menu item a double click runs, and the bold one
    UINT callbackMessage;
};
