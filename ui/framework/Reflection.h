#pragma once
// Reflection of control notifications: the parent passes a notification back
// to the control it came from, offset by kReflectedMessageBase.

#include <windows.h>

namespace Framework {

// A reflected message is this base plus the original message number.
constexpr UINT kReflectedMessageBase = WM_USER + 0x1c00;

// The control a notification message came from, or null when the message is
// no control notification.
HWND NotifyingControl(HWND parent, UINT message, WPARAM wParam, LPARAM lParam);

// Sends a control's notification back to the control. handled becomes false
// when the message came from no control; the result is the control's answer.
LRESULT ReflectNotification(HWND parent, UINT message, WPARAM wParam, LPARAM lParam, bool& handled);

}  // namespace Framework
