#pragma once
// Every message box of the extension goes through here, so tests can answer
// the boxes and see their text and caption.

#include <windows.h>

namespace Marrowgate {

class Prompts {
public:
    virtual ~Prompts() = default;
    // Shows one message box; returns the button the user chose (IDOK, ...).
    virtual int Show(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) = 0;
};

// Installs the prompts every later box goes to and returns the previous ones;
// nullptr puts back the real message boxes.
Prompts* SetPrompts(Prompts* prompts) noexcept;

int ShowMessage(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) noexcept;

}  // namespace Marrowgate
