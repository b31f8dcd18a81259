// MainForm's notification icon: installed while the form initialises, kept
// from the tick, and the show/hide command of its menu.

#include "ui/MainForm.h"

const wchar_t* const MainForm::kTrayTooltip = L"Norvask Torvane";

void MainForm::InstallTrayIcon() {
    InstallIcon(kTrayTooltip, smallIcon.get(), IDR_TRAY_MENU);  // the program runs without it when refused
}

void MainForm::KeepReachable() {
    if (RetryIcon()) return;
    if (!::IsWindowVisible(Handle())) ::ShowWindow(Handle(), SW_SHOW);
}

LRESULT MainForm::OnShowHide(WORD, WORD, HWND, bool&) {
    HWND window = Handle();
    // Without an icon a hidden window could not be brought back.
    if (::GetForegroundWindow() == window && ::IsWindowVisible(window) && IconInstalled()) {
        ::ShowWindow(window, SW_HIDE);
        return 0;
    }
    if (!::IsWindowVisible(window)) ::ShowWindow(window, SW_SHOW);
    if (::IsIconic(window)) {
        ::ShowWindow(window, SW_RESTORE);
    } else {
        ::BringWindowToTop(window);
    }
    ::SetForegroundWindow(window);
    return 0;
}
