#include "ui/TrayIconData.h"

#include <cwchar>

void FillNotifyIconData(NOTIFYICONDATAW& data, HWND window, UINT id, UINT callbackMessage, HICON icon,
                        const wchar_t* tooltip) {
    data.hWnd = window;
    data.uID = id;
    data.hIcon = icon;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = callbackMessage;
    const std::size_t capacity = sizeof(data.szTip) / sizeof(data.szTip[0]);
    std::wcsncpy(data.szTip, tooltip != nullptr ? tooltip : L"", capacity - 1);
    data.szTip[capacity - 1] = L'\0';
}
