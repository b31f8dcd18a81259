#pragma once
// A static control that hosts child windows and keeps each one stretched
// over its whole client area whenever its own position or size changes.

#include <windows.h>

#include <vector>

#include "ui/framework/MessageMap.h"
#include "ui/framework/SubclassedWindow.h"

class Container : public Framework::SubclassedWindow<Container> {
public:
    BEGIN_MSG_MAP(Container)
        MESSAGE_HANDLER(WM_WINDOWPOSCHANGED, OnWindowPosChanged)
    END_MSG_MAP()

    // Subclasses the static; it then clips its children while it paints.
    bool SubclassWindow(HWND hwnd);

    void AddChild(HWND child) { children.push_back(child); }

    // Moves every listed child that still exists over the client area.
    void FitChildren();

private:
    LRESULT OnWindowPosChanged(UINT, WPARAM, LPARAM, bool& handled);

    std::vector<HWND> children;
};
