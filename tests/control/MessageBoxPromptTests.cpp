// The real message boxes behind the prompt: shown by MessageBoxW, found and
// answered from a second thread, as a person would.

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

#include "control/DestinationValidation.h"
#include "control/EngineControl.h"
#include "ui/MessageBoxPrompt.h"

namespace {

struct SeenBox {
    std::wstring text;
    int defaultButton = 0;
    bool hasOk = false, hasCancel = false, hasYes = false, hasNo = false;
};

BOOL CALLBACK CollectText(HWND child, LPARAM found) {
    wchar_t className[32] = {};
    GetClassNameW(child, className, 32);
    wchar_t text[512] = {};
    GetWindowTextW(child, text, 512);
    if (lstrcmpiW(className, L"Static") == 0 && text[0] != 0) *reinterpret_cast<std::wstring*>(found) = text;
    return TRUE;
}

// Waits for the box with the caption, records what it shows, then presses
// the button.
void AnswerBox(const wchar_t* caption, int button, SeenBox& seen, std::atomic<bool>& answered) {
    for (int attempt = 0; attempt < 3000; ++attempt) {  // up to 30 seconds
        HWND box = FindWindowW(L"#32770", caption);
        if (box != nullptr) {
            Sleep(100);  // let the box finish setting itself up
            EnumChildWindows(box, CollectText, reinterpret_cast<LPARAM>(&seen.text));
            // The default button is the one drawn as the default push button.
            const int buttons[] = {IDOK, IDCANCEL, IDYES, IDNO};
            for (int button : buttons) {
                HWND control = GetDlgItem(box, button);
                if (control != nullptr && (GetWindowLongW(control, GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON) {
                    seen.defaultButton = button;
                }
            }
            seen.hasOk = GetDlgItem(box, IDOK) != nullptr;
            seen.hasCancel = GetDlgItem(box, IDCANCEL) != nullptr;
            seen.hasYes = GetDlgItem(box, IDYES) != nullptr;
            seen.hasNo = GetDlgItem(box, IDNO) != nullptr;
            PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
            answered = true;
            return;
        }
        Sleep(10);
    }
}

TEST(MessageBoxPrompt, QuestionHasOkAndCancelWithCancelAsDefault) {
    MessageBoxPrompt prompt;
    SeenBox seen;
    std::atomic<bool> answered{false};
    std::thread person(AnswerBox, DestinationMessages::kNotEmptyCaption, IDOK, std::ref(seen), std::ref(answered));
    const int answer =
        prompt.Ask(DestinationMessages::kNotEmpty, DestinationMessages::kNotEmptyCaption, DestinationMessages::kQuestionStyle);
    person.join();
    ASSERT_TRUE(answered);
    EXPECT_EQ(answer, PromptAnswer::kOk);
    EXPECT_EQ(seen.text, DestinationMessages::kNotEmpty);
    EXPECT_TRUE(seen.hasOk);
    EXPECT_TRUE(seen.hasCancel);
    EXPECT_EQ(seen.defaultButton, IDCANCEL);
}

TEST(MessageBoxPrompt, CloseQuestionHasYesAndNo) {
    MessageBoxPrompt prompt;
    SeenBox seen;
    std::atomic<bool> answered{false};
    std::thread person(AnswerBox, EngineControl::kCloseCaption, IDNO, std::ref(seen), std::ref(answered));
    const int answer = prompt.Ask(EngineControl::kCloseQuestion, EngineControl::kCloseCaption, EngineControl::kCloseStyle);
    person.join();
    ASSERT_TRUE(answered);
    EXPECT_EQ(answer, PromptAnswer::kNo);
    EXPECT_EQ(seen.text, EngineControl::kCloseQuestion);
    EXPECT_TRUE(seen.hasYes);
    EXPECT_TRUE(seen.hasNo);
    EXPECT_FALSE(seen.hasCancel);
}

TEST(MessageBoxPrompt, WarningHasOnlyOk) {
    MessageBoxPrompt prompt;
    SeenBox seen;
    std::atomic<bool> answered{false};
    std::thread person(AnswerBox, DestinationMessages::kInvalidFolderCaption, IDOK, std::ref(seen), std::ref(answered));
    const int answer = prompt.Ask(DestinationMessages::kInsideSource, DestinationMessages::kInvalidFolderCaption,
                                  DestinationMessages::kWarningStyle);
    person.join();
    ASSERT_TRUE(answered);
    EXPECT_EQ(answer, PromptAnswer::kOk);
    EXPECT_EQ(seen.text, DestinationMessages::kInsideSource);
    EXPECT_TRUE(seen.hasOk);
    EXPECT_FALSE(seen.hasCancel);
}

}  // namespace
