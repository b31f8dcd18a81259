#pragma once
// Windows only: the Prompt of the main window, a MessageBoxW owned by it.

#include <windows.h>

#include "control/Prompt.h"

class MessageBoxPrompt : public Prompt {
public:
    explicit MessageBoxPrompt(HWND owner = nullptr) : owner(owner) {}
    void SetOwner(HWND window) { owner = window; }
    int Ask(const std::wstring& text, const std::wstring& caption, std::uint32_t style) override;

private:
    HWND owner;
};
