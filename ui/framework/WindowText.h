#pragma once
// Reading and writing a window's text as a std::wstring.

#include <windows.h>

#include <string>

namespace Framework {

// The window's whole text; empty for a null window or one without text.
std::wstring WindowText(HWND window);

// Writes a window's text only when it differs from what the window shows, so
// an unchanged text is not repainted. True when the text was written.
bool SetTextIfChanged(HWND window, const std::wstring& text);

}  // namespace Framework
