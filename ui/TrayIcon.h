#pragma once
// The notification-area icon of the main window, as a mix-in of the form:
// the form installs it while it initialises, the icon's mouse messages come
// through the form's message map, and the icon goes when the form object
// does. A double click runs the menu's first command; a right click shows
// the menu at the cursor.
//
// The shell can lose the icon (Explorer restarts and broadcasts
// "TaskbarCreated") or refuse it (no notification area yet at logon). The
// icon is then added again on that message and retried from the form's
// tick; while there is none, the form keeps its window on screen, since a
// hidden window without an icon could not be reached at all.

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <utility>

#include "ui/TrayIconData.h"
#include "ui/framework/AppModule.h"
#include "ui/framework/Handles.h"
#include "ui/framework/MessageMap.h"

template <class T>
class TrayIcon {
public:
    // Hands one record to the shell (Shell_NotifyIconW); true on success.
    using Notifier = std::function<bool(DWORD message, NOTIFYICONDATAW& data)>;

    // Ticks between two attempts to add a missing icon, after the first
    // retry on the very next tick. Each attempt may wait on a busy shell.
    static constexpr unsigned kRetryTicks = 10;

    TrayIcon()
        : callbackMessage(::RegisterWindowMessageW(L"WM_TRAYICON")),
          taskbarCreatedMessage(::RegisterWindowMessageW(L"TaskbarCreated")),
          notifier([](DWORD message, NOTIFYICONDATAW& data) { return ::Shell_NotifyIconW(message, &data) != FALSE; }) {
        notifyData = NOTIFYICONDATAW{};
        notifyData.cbSize = kNotifyIconDataSize;
    }
    ~TrayIcon() { RemoveIcon(); }
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    BEGIN_MSG_MAP(TrayIcon)
        MESSAGE_HANDLER(callbackMessage, OnTrayIcon)
        MESSAGE_HANDLER(taskbarCreatedMessage, OnTaskbarCreated)
    END_MSG_MAP()

    // Adds the icon for the form's window. menuId is also the icon's id.
    // Returns whether the shell took it; the icon is then installed. When it
    // did not, the icon stays wanted and RetryIcon adds it later.
    bool InstallIcon(const wchar_t* tooltip, HICON icon, UINT menuId) {
        FillNotifyIconData(notifyData, static_cast<T*>(this)->Handle(), menuId, callbackMessage, icon, tooltip);
        wanted = true;
        ticksSinceAttempt = 0;
        retries = 0;
        installed = notifier(NIM_ADD, notifyData);
        return installed;
    }

    // Removes an installed icon; false when there was none or the shell refused.
    // The icon is no longer wanted either way.
    bool RemoveIcon() {
        wanted = false;
        if (!installed) return false;
        notifyData.uFlags = 0;
        const bool removed = notifier(NIM_DELETE, notifyData);
        installed = false;
        return removed;
    }

    // Shows another picture (for another DPI, say) in the icon.
    void ChangeIcon(HICON icon) {
        notifyData.hIcon = icon;
        if (!installed) return;
        NOTIFYICONDATAW change = notifyData;
        change.uFlags = NIF_ICON;
        notifier(NIM_MODIFY, change);
    }

    // From the form's tick: adds a wanted icon that the shell does not show,
    // on the next tick and then every kRetryTicks ticks. True when the
    // icon is there (or not wanted).
    bool RetryIcon() {
        if (!wanted || installed) return true;
        ++ticksSinceAttempt;
        if (retries > 0 && ticksSinceAttempt < kRetryTicks) return false;
        ticksSinceAttempt = 0;
        ++retries;
        return AddAgain();
    }

    bool IconInstalled() const { return installed; }
    UINT TrayCallbackMessage() const { return callbackMessage; }
    UINT TaskbarCreatedMessage() const { return taskbarCreatedMessage; }
    const NOTIFYICONDATAW& NotifyData() const { return notifyData; }
    // For tests: a shell that refuses or records.
    void SetNotifier(Notifier replacement) { notifier = std::move(replacement); }

protected:
    // A new notification area knows nothing of the old icons. The message
    // also comes without a restart (some systems send it when the display
    // changes): then the icon is still there and NIM_MODIFY finds it.
    bool AddAgain() {
        notifyData.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
        installed = notifier(NIM_ADD, notifyData) || notifier(NIM_MODIFY, notifyData);
        return installed;
    }

    LRESULT OnTaskbarCreated(UINT, WPARAM, LPARAM, bool& handled) {
        handled = false;  // a form may want to hear of it too
        if (!wanted) return 0;
        installed = false;
        ticksSinceAttempt = 0;
        retries = 0;
        AddAgain();  // on failure the form's tick retries
        return 0;
    }

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
    bool wanted = false;  // installed by the form and not removed since
    unsigned ticksSinceAttempt = 0;
    unsigned retries = 0;  // attempts since the icon went missing
    UINT defaultItem = 0;  // the menu item a double click runs, and the bold one
    UINT callbackMessage;
    UINT taskbarCreatedMessage;
    Notifier notifier;
};
