#pragma once
// Text onto the clipboard, as the one format programs paste Unicode text from.

#include <windows.h>

#include <string>

// Replaces the clipboard's contents with text (CF_UNICODETEXT), owned by
// owner. False, with a diagnostic line, when the memory or the clipboard
// could not be had (another program may hold it open for a moment).
bool PutTextOnClipboard(HWND owner, const std::wstring& text);
