// The real MainForm on wine64 under Xvfb, kept within the user's reach: the
// notification icon comes back after the shell announces a new taskbar, a
// refused icon is retried while the window stays on screen, and the
// completion form belongs to the main window even while that is hidden.

#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "platform/testing/FaultPlatform.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/CompletionForm.h"
#include "ui/MainForm.h"
#include "ui/res/resource.h"

using UiTest::PumpFor;
using UiTest::PumpUntil;
using UiTest::Visible;

namespace {

// A notification area that takes or refuses each call as the test says.
struct FakeShell {
    struct Call {
        DWORD message;
        UINT id;
        HWND window;
    };
    bool acceptAdd = true;
    bool acceptModify = true;
    std::vector<Call> calls;

    bool Notify(DWORD message, NOTIFYICONDATAW& data) {
        calls.push_back({message, data.uID, data.hWnd});
        if (message == NIM_ADD) return acceptAdd;
        if (message == NIM_MODIFY) return acceptModify;
        return true;
    }
    int Count(DWORD message) const {
        int n = 0;
        for (const Call& c : calls) n += c.message == message ? 1 : 0;
        return n;
    }
};

class ReachabilityTest : public ::testing::Test {
protected:
    // useFakeShell: the icon goes to FakeShell instead of the real shell.
    void Open(bool useFakeShell) {
        form.SetPrompt(&prompt);
        if (useFakeShell) {
            form.SetNotifier([this](DWORD message, NOTIFYICONDATAW& data) { return shell.Notify(message, data); });
        }
        ASSERT_NE(form.Create(nullptr, 0), nullptr);
        ::ShowWindow(form.Handle(), SW_SHOWNORMAL);
    }

    void Command(int id) { ::SendMessageW(form.Handle(), WM_COMMAND, MAKEWPARAM(id, 0), 0); }

    // What Explorer does when it starts again.
    void BroadcastTaskbarCreated() {
        ::PostMessageW(HWND_BROADCAST, ::RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    }

    FaultPlatform platform{SystemPlatform()};
    UiTest::ScriptedPrompt prompt;
    FakeShell shell;  // outlives the form, whose destructor removes the icon
    MainForm form{platform};
};

TEST_F(ReachabilityTest, ARefusedIconIsRetriedAndTheWindowCannotBeHiddenWithoutOne) {
    shell.acceptAdd = false;
    shell.acceptModify = false;
    Open(true);
    EXPECT_FALSE(form.IconInstalled());

    // Hidden by anyone: the next tick brings it back.
    ::ShowWindow(form.Handle(), SW_HIDE);
    EXPECT_TRUE(PumpUntil([&] { return Visible(form.Handle()); }, 1000));
    // Show/Hide does not hide it either while there is no icon.
    ::SetForegroundWindow(form.Handle());
    Command(ID_TRAY_SHOW_HIDE);
    EXPECT_TRUE(Visible(form.Handle()));

    // Retried about once a second, not on every tick (some 15 in this time).
    const int addsBefore = shell.Count(NIM_ADD);
    PumpFor(1500);
    const int retries = shell.Count(NIM_ADD) - addsBefore;
    EXPECT_GE(retries, 1);
    EXPECT_LE(retries, 3);

    // The shell takes it at last: the icon is there, and hiding works again.
    shell.acceptAdd = true;
    ASSERT_TRUE(PumpUntil([&] { return form.IconInstalled(); }, 3000));
    EXPECT_EQ(shell.calls.back().message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(shell.calls.back().id, static_cast<UINT>(IDR_TRAY_MENU));
    EXPECT_EQ(shell.calls.back().window, form.Handle());
    const int addsAfter = shell.Count(NIM_ADD);
    PumpFor(400);
    EXPECT_EQ(shell.Count(NIM_ADD), addsAfter);  // no more attempts once it is there
    ::SetForegroundWindow(form.Handle());
    Command(ID_TRAY_SHOW_HIDE);
    EXPECT_FALSE(Visible(form.Handle()));
}

TEST_F(ReachabilityTest, TaskbarCreatedAddsTheIconAgainOrShowsTheWindowWhenItCannot) {
    Open(true);
    ASSERT_TRUE(form.IconInstalled());
    ::SetForegroundWindow(form.Handle());
    Command(ID_TRAY_SHOW_HIDE);
    ASSERT_FALSE(Visible(form.Handle()));

    // A new notification area: the icon is added to it; the window stays hidden.
    shell.calls.clear();
    BroadcastTaskbarCreated();
    ASSERT_TRUE(PumpUntil([&] { return shell.Count(NIM_ADD) == 1; }, 2000));
    EXPECT_TRUE(form.IconInstalled());
    PumpFor(300);
    EXPECT_FALSE(Visible(form.Handle()));

    // The message without a restart: the icon is still there, NIM_ADD is
    // refused and NIM_MODIFY finds it.
    shell.calls.clear();
    shell.acceptAdd = false;
    BroadcastTaskbarCreated();
    ASSERT_TRUE(PumpUntil([&] { return shell.Count(NIM_MODIFY) == 1; }, 2000));
    EXPECT_TRUE(form.IconInstalled());
    PumpFor(300);
    EXPECT_FALSE(Visible(form.Handle()));

    // A new area that refuses the icon: the hidden window comes back.
    shell.acceptModify = false;
    BroadcastTaskbarCreated();
    EXPECT_TRUE(PumpUntil([&] { return Visible(form.Handle()); }, 2000));
    EXPECT_FALSE(form.IconInstalled());
}

TEST_F(ReachabilityTest, WithTheRealShellTheIconComesBackAfterTaskbarCreated) {
    Open(false);
    if (!form.IconInstalled()) GTEST_SKIP() << "this display has no notification area";
    NOTIFYICONDATAW probe{};
    probe.cbSize = kNotifyIconDataSize;
    probe.hWnd = form.Handle();
    probe.uID = IDR_TRAY_MENU;
    ASSERT_TRUE(::Shell_NotifyIconW(NIM_MODIFY, &probe));

    // The icon is lost as in an Explorer restart, then the taskbar is announced.
    ASSERT_TRUE(::Shell_NotifyIconW(NIM_DELETE, &probe));
    ASSERT_FALSE(::Shell_NotifyIconW(NIM_MODIFY, &probe));
    BroadcastTaskbarCreated();
    EXPECT_TRUE(PumpUntil([&] { return ::Shell_NotifyIconW(NIM_MODIFY, &probe) != FALSE; }, 3000));
    EXPECT_TRUE(form.IconInstalled());
}

// Finds the open completion form, checks it from inside its modal loop and
// closes it.
struct CompletionCheck {
    HWND mainWindow = nullptr;
    bool seen = false;
    HWND owner = nullptr;
    bool mainEnabled = true;
    bool mainVisible = true;
    std::wstring statusLine;
};
CompletionCheck completionCheck;

BOOL CALLBACK FindCompletionForm(HWND window, LPARAM found) {
    wchar_t className[32] = {};
    ::GetClassNameW(window, className, 32);
    if (window != completionCheck.mainWindow && std::wstring(className) == L"#32770" && ::IsWindowVisible(window) &&
        ::GetDlgItem(window, IDC_LINK) != nullptr) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK InspectCompletionForm(HWND, UINT, UINT_PTR, DWORD) {
    HWND dialog = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), &FindCompletionForm, reinterpret_cast<LPARAM>(&dialog));
    if (dialog == nullptr || completionCheck.seen) return;
    completionCheck.seen = true;
    completionCheck.owner = ::GetWindow(dialog, GW_OWNER);
    completionCheck.mainEnabled = ::IsWindowEnabled(completionCheck.mainWindow) != FALSE;
    completionCheck.mainVisible = ::IsWindowVisible(completionCheck.mainWindow) != FALSE;
    completionCheck.statusLine = UiTest::Text(::GetDlgItem(completionCheck.mainWindow, IDC_STATUS_LINE));
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, 0), 0);
}

TEST_F(ReachabilityTest, TheCompletionFormIsOwnedByTheHiddenMainWindowAndDisablesIt) {
    Open(true);
    UiTest::TempFolder temp;
    UiTest::WriteFile(temp.Join(L"a.txt"), 1000);
    form.SetFromText(temp.Join(L"a.txt"));
    form.SetToText(temp.Join(L"out"));
    ASSERT_TRUE(PumpUntil([&] { return UiTest::Text(::GetDlgItem(form.Handle(), IDC_STATUS_LINE)) == L"Ready"; }));

    // Into the notification area, then Go: the copy completes while hidden.
    ::SetForegroundWindow(form.Handle());
    Command(ID_TRAY_SHOW_HIDE);
    ASSERT_FALSE(Visible(form.Handle()));
    completionCheck = CompletionCheck{};
    completionCheck.mainWindow = form.Handle();
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 100, &InspectCompletionForm);
    Command(IDC_GO);
    const bool seen = PumpUntil([&] { return completionCheck.seen; }, 15000);
    ::KillTimer(nullptr, timer);
    ASSERT_TRUE(seen);

    EXPECT_EQ(completionCheck.owner, form.Handle());
    EXPECT_FALSE(completionCheck.mainEnabled);  // nothing to press under the form
    EXPECT_FALSE(completionCheck.mainVisible);
    // The tick that entered Completed had finished before the form opened.
    EXPECT_EQ(completionCheck.statusLine, L"Copy completed");
    ASSERT_TRUE(PumpUntil([&] { return ::IsWindowEnabled(form.Handle()) != FALSE; }, 3000));
    EXPECT_TRUE(UiTest::Exists(temp.Join(L"out\\a.txt")));
}

}  // namespace
