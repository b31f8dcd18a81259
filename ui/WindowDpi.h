#pragma once
// The DPI a window is shown at.

#include <windows.h>

// The window's own DPI where the system tracks one per monitor (Windows 10
// and later, looked up at run time so older systems load the program), else
// the system DPI of the screen. Never less than 1.
int WindowDpi(HWND window);
