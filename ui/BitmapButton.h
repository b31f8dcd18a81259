#pragma once
// The Go button: the framework's bitmap button, which also paints its own
// background in the button-face colour so its images never show what was
// drawn behind them before.

#include <windows.h>

#include "ui/framework/BitmapButton.h"
#include "ui/framework/MessageMap.h"

class BitmapButton : public Framework::BitmapButtonImpl<BitmapButton> {
public:
    BEGIN_MSG_MAP(BitmapButton)
        MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
        CHAIN_MSG_MAP(Framework::BitmapButtonImpl<BitmapButton>)
    END_MSG_MAP()

private:
    LRESULT OnEraseBackground(UINT, WPARAM wParam, LPARAM, bool&) {
        RECT client{};
        ::GetClientRect(Handle(), &client);
        ::FillRect(reinterpret_cast<HDC>(wParam), &client, ::GetSysColorBrush(COLOR_BTNFACE));
        return TRUE;
    }
};
