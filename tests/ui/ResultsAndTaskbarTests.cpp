// The real MainForm under wine64, through whole jobs: the progress its
// taskbar button is given (through a taskbar list that records the calls),
// and result rows selected, copied with Ctrl+C and read back from the
// clipboard.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "platform/testing/FaultPlatform.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/MainForm.h"
#include "ui/TaskbarButton.h"
#include "ui/res/resource.h"

using UiTest::PumpFor;
using UiTest::PumpUntil;
using UiTest::Text;

namespace {

class RecordingTaskbar : public TaskbarList {
public:
    explicit RecordingTaskbar(std::vector<std::wstring>& calls) : calls(calls) {}
    HRESULT SetProgressValue(HWND, ULONGLONG completed, ULONGLONG total) override {
        calls.push_back(L"value " + std::to_wstring(completed) + L"/" + std::to_wstring(total));
        return S_OK;
    }
    HRESULT SetProgressState(HWND, TaskbarState state) override {
        const wchar_t* names[] = {L"none", L"normal", L"paused", L"error"};
        calls.push_back(std::wstring(L"state ") + names[static_cast<int>(state)]);
        return S_OK;
    }

private:
    std::vector<std::wstring>& calls;
};

class ResultsAndTaskbarTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform.OnRead([this](const std::wstring&, int) {
            if (const int delay = readDelayMs.load()) ::Sleep(static_cast<DWORD>(delay));
        });
        form.SetPrompt(&prompt);
        form.SetCompletionShower([this] { ++completions; });
        ASSERT_NE(form.Create(nullptr, 0), nullptr);
        ::ShowWindow(form.Handle(), SW_SHOWNORMAL);
        list = ::GetDlgItem(form.Handle(), IDC_RESULTS);
    }

    // src holds a locked file, a large file read slowly and a folder that
    // cannot be listed; the copy goes to out.
    void MakeSource() {
        source = temp.Join(L"src");
        UiTest::MakeFolder(source);
        UiTest::MakeFolder(source + L"\\denied");
        UiTest::WriteFile(source + L"\\a-locked.txt", 300, 'l');
        UiTest::WriteFile(source + L"\\big.bin", 2 * 1024 * 1024, 'b');
        lock = ::CreateFileW((source + L"\\a-locked.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(lock, INVALID_HANDLE_VALUE);
        platform.Fail(PlatformCall::FindFirst, L"\\denied", ERROR_ACCESS_DENIED);
        form.SetFromText(source);
        form.SetToText(temp.Join(L"out"));
    }

    void TearDown() override {
        if (lock != INVALID_HANDLE_VALUE) ::CloseHandle(lock);
    }

    std::wstring Status() { return Text(::GetDlgItem(form.Handle(), IDC_STATUS_LINE)); }
    bool WaitForStatus(const std::wstring& status) {
        return PumpUntil([&] { return Status() == status; }, 20000);
    }
    void Go() { ::SendMessageW(form.Handle(), WM_COMMAND, MAKEWPARAM(IDC_GO, BN_CLICKED), 0); }
    int RowCount() {
        form.OnIdle();
        return static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    }

    FaultPlatform platform;
    std::atomic<int> readDelayMs{0};
    UiTest::ScriptedPrompt prompt;
    MainForm form{platform};
    HWND list = nullptr;
    int completions = 0;
    UiTest::TempFolder temp;
    std::wstring source;
    HANDLE lock = INVALID_HANDLE_VALUE;
};

// Nothing before the shell announces the button; then one call per change:
// normal with the percentage, paused, red from the first failed file on,
// and nothing once the completion form has been closed.
TEST_F(ResultsAndTaskbarTest, TaskbarButtonFollowsTheJob) {
    std::vector<std::wstring> calls;
    int listsMade = 0;
    form.SetTaskbarFactory([&]() -> std::unique_ptr<TaskbarList> {
        ++listsMade;
        return std::make_unique<RecordingTaskbar>(calls);
    });
    // Copied in name order: the large file slowly, then one that fails.
    source = temp.Join(L"src");
    UiTest::MakeFolder(source);
    UiTest::WriteFile(source + L"\\big.bin", 2 * 1024 * 1024, 'b');
    UiTest::WriteFile(source + L"\\zz-late.txt", 10, 'z');
    platform.Fail(PlatformCall::OpenForBackupRead, L"\\zz-late.txt", ERROR_SHARING_VIOLATION);
    form.SetFromText(source);
    form.SetToText(temp.Join(L"out"));
    ASSERT_TRUE(WaitForStatus(L"Ready"));
    EXPECT_EQ(listsMade, 0);

    ::SendMessageW(form.Handle(), TaskbarButton::CreatedMessage(), 0, 0);
    EXPECT_EQ(listsMade, 1);
    PumpFor(300);
    EXPECT_TRUE(calls.empty()) << "Ready shows nothing";

    readDelayMs = 40;
    Go();
    ASSERT_TRUE(PumpUntil([&] { return calls.size() >= 3; }, 10000)) << "normal, then a growing percentage";
    EXPECT_EQ(calls[0].rfind(L"value ", 0), 0u) << "the value goes first";
    EXPECT_EQ(calls[1], L"state normal");
    Go();
    ASSERT_TRUE(WaitForStatus(L"Paused"));
    PumpFor(200);
    EXPECT_EQ(calls.back(), L"state paused");
    const std::size_t pausedAt = calls.size();
    PumpFor(500);
    EXPECT_EQ(calls.size(), pausedAt) << "nothing changes while paused, so nothing is called";

    readDelayMs = 0;
    Go();
    ASSERT_TRUE(PumpUntil([&] { return completions == 1; }, 20000)) << Status();
    PumpFor(300);

    std::vector<std::wstring> states;
    int lastValue = -1;
    for (std::size_t i = 0; i < calls.size(); ++i) {
        if (i > 0) {
            EXPECT_NE(calls[i], calls[i - 1]) << "a repeated call at " << i;
        }
        if (calls[i].rfind(L"state ", 0) == 0) states.push_back(calls[i].substr(6));
        if (calls[i].rfind(L"value ", 0) == 0) {
            const int value = std::stoi(calls[i].substr(6));
            EXPECT_GE(value, lastValue) << "values only grow";
            EXPECT_EQ(calls[i].substr(calls[i].find(L'/')), L"/100");
            lastValue = value;
        }
    }
    EXPECT_EQ(lastValue, 100);
    // The resumed copy may reach the failing file within the tick.
    ASSERT_GE(states.size(), 4u);
    EXPECT_EQ(states[0], L"normal");
    EXPECT_EQ(states[1], L"paused");
    EXPECT_EQ(states[states.size() - 2], L"error");
    EXPECT_EQ(states.back(), L"none");
}

// The clipboard's text, or empty.
std::wstring ClipboardText() {
    std::wstring text;
    if (!::OpenClipboard(nullptr)) return text;
    if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(::GlobalLock(data))) {
            text = chars;
            ::GlobalUnlock(data);
        }
    }
    ::CloseClipboard();
    return text;
}

// Ctrl with a key, as the keyboard gives it to the focused list.
void PressCtrl(HWND list, WORD key) {
    ::SetForegroundWindow(::GetAncestor(list, GA_ROOT));
    ::SetFocus(list);
    INPUT keys[4] = {};
    const WORD codes[4] = {VK_CONTROL, key, key, VK_CONTROL};
    for (int i = 0; i < 4; ++i) {
        keys[i].type = INPUT_KEYBOARD;
        keys[i].ki.wVk = codes[i];
        keys[i].ki.dwFlags = i < 2 ? 0 : KEYEVENTF_KEYUP;
    }
    ::SendInput(4, keys, sizeof(INPUT));
    PumpFor(200);
}

// One real run: a row selected before the copy stays selected while the
// copy's rows are inserted above it; Ctrl+C while paused copies that row,
// Ctrl+A and Ctrl+C after the end copy them all, and the menu's "Copy full
// paths" gives the full paths.
TEST_F(ResultsAndTaskbarTest, SelectedRowsGoToTheClipboardWithCtrlC) {
    MakeSource();
    ASSERT_TRUE(WaitForStatus(L"Ready"));
    ASSERT_EQ(RowCount(), 1);  // src\denied, from discovery
    LVITEMW selected{};
    selected.state = selected.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageW(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&selected));

    readDelayMs = 40;
    Go();
    ASSERT_TRUE(PumpUntil([&] { return RowCount() >= 2; }, 10000));  // .\a-locked.txt, above it
    Go();
    ASSERT_TRUE(WaitForStatus(L"Paused"));
    PressCtrl(list, 'C');
    EXPECT_EQ(ClipboardText(), L"src\\denied\tAccess denied listing folder contents.\r\n");

    readDelayMs = 0;
    Go();
    ASSERT_TRUE(WaitForStatus(L"Copy completed"));
    ASSERT_EQ(RowCount(), 3);
    PressCtrl(list, 'A');
    PressCtrl(list, 'C');
    EXPECT_EQ(ClipboardText(), L".\\a-locked.txt\tFile is locked by another process.\r\n"
                               L".\\denied\tAccess denied listing folder contents.\r\n"
                               L"src\\denied\tAccess denied listing folder contents.\r\n");

    ::SendMessageW(form.Handle(), WM_COMMAND, ID_RESULTS_COPY_FULL_PATHS, 0);
    EXPECT_EQ(ClipboardText(), source + L"\\a-locked.txt\tFile is locked by another process.\r\n" + source +
                                   L"\\denied\tAccess denied listing folder contents.\r\n" + source +
                                   L"\\denied\tAccess denied listing folder contents.\r\n");
}

}  // namespace
