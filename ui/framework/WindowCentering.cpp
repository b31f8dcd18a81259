#include "ui/framework/WindowCentering.h"

#include "ui/framework/Centering.h"
#include "ui/framework/DialogResize.h"

namespace Framework {
namespace {

Layout::Rect WorkAreaNearest(HWND window) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    HMONITOR monitor = ::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
    if (monitor != nullptr && ::GetMonitorInfoW(monitor, &info)) return ToLayout(info.rcWork);
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return ToLayout(work);
}

}  // namespace

bool CenterWindow(HWND window) {
    HWND owner = ::GetWindow(window, GW_OWNER);
    const bool usableOwner = owner != nullptr && ::IsWindowVisible(owner) && !::IsIconic(owner);

    RECT windowRect{};
    if (!::GetWindowRect(window, &windowRect)) return false;
    const Layout::Size size{windowRect.right - windowRect.left, windowRect.bottom - windowRect.top};

    Layout::Rect ownerRect;
    if (usableOwner) {
        RECT r{};
        ::GetWindowRect(owner, &r);
        ownerRect = ToLayout(r);
    }
    const Layout::Rect workArea = WorkAreaNearest(usableOwner ? owner : window);
    const Layout::Point p = Layout::CenteredPosition(size, usableOwner ? &ownerRect : nullptr, workArea);

    // A child window's position is relative to its parent's client area.
    POINT topLeft{p.x, p.y};
    if ((::GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) != 0) {
        ::ScreenToClient(::GetParent(window), &topLeft);
    }
    return ::SetWindowPos(window, nullptr, topLeft.x, topLeft.y, 0, 0,
                          SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE) != FALSE;
}

}  // namespace Framework
