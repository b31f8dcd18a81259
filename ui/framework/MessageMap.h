#pragma once
// Message maps: a class lists the messages it handles, in matching order,
// between BEGIN_MSG_MAP and END_MSG_MAP. The macros expand to one member
//   bool ProcessWindowMessage(HWND, UINT, WPARAM, LPARAM, LRESULT& result)
// which returns true when a handler took the message. Handlers have the form
//   LRESULT OnMessage(UINT message, WPARAM, LPARAM, bool& handled)
//   LRESULT OnCommand(WORD notifyCode, WORD id, HWND control, bool& handled)
// `handled` starts out true; a handler that clears it lets matching go on.
// Mix-ins plug in with CHAIN_MSG_MAP(Base).

#include <windows.h>

#include "ui/framework/Reflection.h"

#define BEGIN_MSG_MAP(theClass)                                                              \
public:                                                                                      \
    bool ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,            \
                              LRESULT& lResult) {                                            \
        bool handled = true;                                                                 \
        (void)hWnd;                                                                          \
        (void)handled;

#define MESSAGE_HANDLER(msg, func)                                                           \
    if (uMsg == (msg)) {                                                                     \
        handled = true;                                                                      \
        lResult = func(uMsg, wParam, lParam, handled);                                       \
        if (handled) return true;                                                            \
    }

#define COMMAND_ID_HANDLER(id, func)                                                         \
    if (uMsg == WM_COMMAND && LOWORD(wParam) == (id)) {                                      \
        handled = true;                                                                      \
        lResult = func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), handled); \
        if (handled) return true;                                                            \
    }

#define CHAIN_MSG_MAP(theBase)                                                               \
    if (theBase::ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult)) return true;

// Sends notifications that came from a child control back to that control
// (as kReflectedMessageBase + message), so a control can draw or react itself.
#define REFLECT_NOTIFICATIONS()                                                              \
    {                                                                                        \
        handled = true;                                                                      \
        lResult = Framework::ReflectNotification(hWnd, uMsg, wParam, lParam, handled);       \
        if (handled) return true;                                                            \
    }

#define END_MSG_MAP()                                                                        \
    return false;                                                                            \
    }
