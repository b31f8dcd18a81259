#include "ui/MessageBoxPrompt.h"

int MessageBoxPrompt::Ask(const std::wstring& text, const std::wstring& caption, std::uint32_t style) {
    return MessageBoxW(owner, text.c_str(), caption.c_str(), style);
}
