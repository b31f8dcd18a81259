#include "shellext/Prompts.h"

namespace Marrowgate {
namespace {

class MessageBoxPrompts final : public Prompts {
public:
    int Show(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) override {
        return ::MessageBoxW(owner, text, caption, type);
    }
};

MessageBoxPrompts messageBoxes;
Prompts* current = &messageBoxes;

}  // namespace

Prompts* SetPrompts(Prompts* prompts) noexcept {
    Prompts* previous = current;
    current = prompts != nullptr ? prompts : &messageBoxes;
    return previous;
}

int ShowMessage(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) noexcept {
    try {
        return current->Show(owner, text, caption, type);
    } catch (...) {
        return 0;
    }
}

}  // namespace Marrowgate
