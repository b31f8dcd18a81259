#pragma once
// The seam for the questions and warnings the control logic shows. The main
// window answers it with MessageBoxW owned by itself (MessageBoxPrompt);
// tests answer it from a script. Texts, captions and styles are the ones the
// user sees; styles and answers carry the platform's message-box values.

#include <cstdint>
#include <string>

namespace PromptStyle {
constexpr std::uint32_t kOk = 0x00;
constexpr std::uint32_t kOkCancel = 0x01;
constexpr std::uint32_t kYesNo = 0x04;
constexpr std::uint32_t kIconExclamation = 0x30;
constexpr std::uint32_t kDefaultButton2 = 0x100;
}  // namespace PromptStyle

namespace PromptAnswer {
constexpr int kOk = 1;
constexpr int kCancel = 2;
constexpr int kYes = 6;
constexpr int kNo = 7;
}  // namespace PromptAnswer

class Prompt {
public:
    virtual ~Prompt() = default;
    // Shows a modal message box and returns the button chosen. The timer of
    // the main window keeps ticking while it is open.
    virtual int Ask(const std::wstring& text, const std::wstring& caption, std::uint32_t style) = 0;
};
