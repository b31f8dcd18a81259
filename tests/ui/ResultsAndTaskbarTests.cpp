// The real MainForm under wine64 through whole jobs: what its taskbar button
// is told (through a taskbar list that records the calls), and result rows
// selected, copied with Ctrl+C and read back from the clipboard.

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

namespace {

struct RecordingTaskbar : TaskbarList {
    explicit RecordingTaskbar(std::vector<std::wstring>& calls) : calls(calls) {}
    HRESULT SetProgressValue(HWND, ULONGLONG completed, ULONGLONG total) override {
        calls.push_back(L"value " + std::to_wstring(completed) + L"/" + std::to_wstring(total));
        return S_OK;
    }
    HRESULT SetProgressState(HWND, TaskbarState state) override {
        calls.push_back(std::wstring(L"state ") + L"-NPE"[static_cast<int>(state)]);
        return S_OK;
    }
    std::vector<std::wstring>& calls;
};

class ResultsAndTaskbarTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform.OnRead([this](const std::wstring&, int) { ::Sleep(static_cast<DWORD>(readDelayMs.load())); });
        form.SetPrompt(&prompt);
        form.SetCompletionShower([this] { ++completions; });
        ASSERT_NE(form.Create(nullptr, 0), nullptr);
        ::ShowWindow(form.Handle(), SW_SHOWNORMAL);
        source = temp.Join(L"src");
        UiTest::MakeFolder(source);
        UiTest::WriteFile(source + L"\\big.bin", 2 * 1024 * 1024, 'b');  // read slowly
    }
    void Start() {
        form.SetFromText(source);
        form.SetToText(temp.Join(L"out"));
        ASSERT_TRUE(WaitForStatus(L"Ready"));
    }
    bool WaitForStatus(const wchar_t* status) {
        return UiTest::PumpUntil([&] { return UiTest::Text(::GetDlgItem(form.Handle(), IDC_STATUS_LINE)) == status; },
                                 20000);
    }
    void Go() { ::SendMessageW(form.Handle(), WM_COMMAND, IDC_GO, 0); }

    FaultPlatform platform{SystemPlatform()};
    std::atomic<int> readDelayMs{0};
    UiTest::ScriptedPrompt prompt;
    MainForm form{platform};
    int completions = 0;
    UiTest::TempFolder temp;
    std::wstring source;
};

// Nothing before the shell announces the button, then one call per change:
// normal with the percentage, paused, red from the failed file on, and
// nothing once the completion form has been closed.
TEST_F(ResultsAndTaskbarTest, TaskbarButtonFollowsTheJob) {
    std::vector<std::wstring> calls;
    form.SetTaskbarFactory([&] { return std::make_unique<RecordingTaskbar>(calls); });
    UiTest::WriteFile(source + L"\\zz-late.txt", 10, 'z');  // copied after big.bin, and fails
    platform.Fail(PlatformCall::OpenForBackupRead, L"\\zz-late.txt", ERROR_SHARING_VIOLATION);
    Start();
    ::SendMessageW(form.Handle(), TaskbarButton::CreatedMessage(), 0, 0);
    UiTest::PumpFor(300);
    EXPECT_TRUE(calls.empty()) << "Ready shows nothing";

    readDelayMs = 40;
    Go();
    ASSERT_TRUE(UiTest::PumpUntil([&] { return calls.size() >= 3; }, 10000)) << "a growing percentage";
    EXPECT_EQ(calls[0].substr(0, 6), L"value ") << "the value goes before the state";
    EXPECT_EQ(calls[1], L"state N");
    Go();
    ASSERT_TRUE(WaitForStatus(L"Paused"));
    UiTest::PumpFor(200);
    const std::vector<std::wstring> paused = calls;
    UiTest::PumpFor(500);
    EXPECT_EQ(calls, paused) << "nothing changes while paused, so nothing is called";
    EXPECT_EQ(paused.back(), L"state P");

    readDelayMs = 0;
    Go();
    ASSERT_TRUE(UiTest::PumpUntil([&] { return completions == 1; }, 20000));
    UiTest::PumpFor(300);
    std::wstring states;
    int lastValue = -1;
    for (std::size_t i = 0; i < calls.size(); ++i) {
        EXPECT_TRUE(i == 0 || calls[i] != calls[i - 1]) << "a repeated call at " << i;
        if (calls[i][0] == L's') states += calls[i].back();
        if (calls[i][0] == L'v') {
            EXPECT_GE(std::stoi(calls[i].substr(6)), lastValue) << "values only grow";
            lastValue = std::stoi(calls[i].substr(6));
        }
    }
    EXPECT_EQ(lastValue, 100);
    // The resumed copy may reach the failing file within one tick.
    EXPECT_TRUE(states == L"NPNE-" || states == L"NPE-") << states.c_str();
}

std::wstring ClipboardText() {
    std::wstring text;
    if (!::OpenClipboard(nullptr)) return text;
    HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
    if (const auto* chars = data != nullptr ? static_cast<const wchar_t*>(::GlobalLock(data)) : nullptr) {
        text = chars;
        ::GlobalUnlock(data);
    }
    ::CloseClipboard();
    return text;
}

// Ctrl and a key, through the keyboard to the focused list.
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
    UiTest::PumpFor(200);
}

// A row selected before the copy stays selected while the copy's rows are
// inserted above it: Ctrl+C while paused copies that row; Ctrl+A and Ctrl+C
// after the end copy all; "Copy full paths" gives the full paths.
TEST_F(ResultsAndTaskbarTest, SelectedRowsGoToTheClipboardWithCtrlC) {
    UiTest::MakeFolder(source + L"\\denied");
    UiTest::WriteFile(source + L"\\a-locked.txt", 300, 'l');
    HANDLE lock = ::CreateFileW((source + L"\\a-locked.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    platform.Fail(PlatformCall::FindFirst, L"\\denied", ERROR_ACCESS_DENIED);
    Start();
    HWND list = ::GetDlgItem(form.Handle(), IDC_RESULTS);
    const auto rowCount = [&] {
        form.OnIdle();
        return ::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
    };
    ASSERT_EQ(rowCount(), 1);  // src\denied, from discovery
    LVITEMW selected{};
    selected.state = selected.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageW(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&selected));

    readDelayMs = 40;
    Go();
    ASSERT_TRUE(UiTest::PumpUntil([&] { return rowCount() >= 2; }, 10000));  // .\a-locked.txt, above it
    Go();
    ASSERT_TRUE(WaitForStatus(L"Paused"));
    PressCtrl(list, 'C');
    EXPECT_EQ(ClipboardText(), L"src\\denied\tAccess denied listing folder contents.\r\n");

    readDelayMs = 0;
    Go();
    ASSERT_TRUE(WaitForStatus(L"Copy completed"));
    ASSERT_EQ(rowCount(), 3);
    PressCtrl(list, 'A');
    PressCtrl(list, 'C');
    const std::wstring locked = L"\\a-locked.txt\tFile is locked by another process.\r\n";
    const std::wstring denied = L"\\denied\tAccess denied listing folder contents.\r\n";
    EXPECT_EQ(ClipboardText(), L"." + locked + L"." + denied + L"src" + denied);
    ::SendMessageW(form.Handle(), WM_COMMAND, ID_RESULTS_COPY_FULL_PATHS, 0);
    EXPECT_EQ(ClipboardText(), source + locked + source + denied + source + denied);
    ::CloseHandle(lock);
}

}  // namespace
