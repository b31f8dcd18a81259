#pragma once
// A prompt that records every box and answers from a script.

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "control/Prompt.h"

struct AskedBox {
    std::wstring text;
    std::wstring caption;
    std::uint32_t style;
};

class TestPrompt : public Prompt {
public:
    std::vector<AskedBox> asked;
    std::deque<int> answers;          // taken in order; OK when empty
    std::function<void()> whileOpen;  // runs inside the box (the nested ticks)

    int Ask(const std::wstring& text, const std::wstring& caption, std::uint32_t style) override {
        asked.push_back({text, caption, style});
        if (whileOpen) whileOpen();
        if (answers.empty()) return PromptAnswer::kOk;
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
};
