#pragma once
// The notification-area record as this program hands it to the shell.

#include <windows.h>
#include <shellapi.h>

#include <cstddef>

// The record's size: the layout that ends before the balloon-icon handle,
// which every system from XP on accepts (952 bytes on x86, 968 on x64).
// Spelt out from guidItem because XP-level headers do not declare the handle.
constexpr DWORD kNotifyIconDataSize = static_cast<DWORD>(
    (offsetof(NOTIFYICONDATAW, guidItem) + sizeof(GUID) + alignof(HICON) - 1) / alignof(HICON) * alignof(HICON));

#if defined(_M_IX86) || defined(__i386__)
static_assert(kNotifyIconDataSize == 952, "the x86 layout before hBalloonIcon");
#elif defined(_M_X64) || defined(__x86_64__)
static_assert(kNotifyIconDataSize == 968, "the x64 layout before hBalloonIcon");
#endif

// Fills the record for NIM_ADD: window, id, callback message, icon and tooltip
// (cut to 127 characters plus the terminator), flags NIF_MESSAGE | NIF_ICON | NIF_TIP.
void FillNotifyIconData(NOTIFYICONDATAW& data, HWND window, UINT id, UINT callbackMessage, HICON icon,
                        const wchar_t* tooltip);
