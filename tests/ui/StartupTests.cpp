// The start-up sequence run whole, in-process, over a scripted system: the
// version check, the elevated re-launch rule, the privilege failure, the
// command line into From and To, the choosers, the loop's exit code. Plus
// System's privilege and path operations on the real system.

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "app/Startup.h"
#include "platform/win32/System.h"
#include "core/Diagnostics.h"
#include "core/Exception.h"
#include "ui/MainForm.h"
#include "ui/framework/WindowText.h"
#include "ui/res/resource.h"

namespace {

// What the scripted close saw of the form, and the command it closes with.
struct CloseScript {
    WORD command = IDCANCEL;
    std::wstring from;
    std::wstring to;
    bool ran = false;
};
CloseScript closeScript;

BOOL CALLBACK FindMainWindow(HWND window, LPARAM found) {
    if (::GetDlgItem(window, IDC_FROM) == nullptr || ::GetDlgItem(window, IDC_RESULTS) == nullptr) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// The main window of this thread (the dialog with From and the result list),
// while one exists.
HWND MainWindow() {
    HWND found = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), &FindMainWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

void CALLBACK CloseTheForm(HWND, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(nullptr, timer);
    HWND form = MainWindow();
    if (form == nullptr) return;
    closeScript.ran = true;
    closeScript.from = Framework::WindowText(::GetDlgItem(form, IDC_FROM));
    closeScript.to = Framework::WindowText(::GetDlgItem(form, IDC_TO));
    ::PostMessageW(form, WM_COMMAND, MAKEWPARAM(closeScript.command, 0), 0);
}

class ScriptedStartup : public StartupEnvironment {
public:
    struct Box {
        std::wstring text;
        std::wstring caption;
        unsigned style;
        bool mainWindowVisible;
    };

    bool xp = true;
    bool vista = false;
    bool moduleFails = false;
    std::wstring path = L"C:\\Program Files\\Torvane\\Torvane.exe";
    LaunchResult launchResult{42, 0};
    bool privilegeGranted = true;
    std::wstring commandLine = L"Torvane.exe";
    std::vector<std::wstring> chooserAnswers;  // empty answer: cancel

    std::vector<std::pair<std::wstring, std::wstring>> launches;
    std::vector<std::wstring> privileges;
    std::vector<Box> boxes;
    std::vector<std::wstring> chooserTitles;
    bool formPrepared = false;
    bool aboutThrows = false;  // the about button fails with Exception

    bool IsXPOrLater() override { return xp; }
    bool IsVistaOrLater() override { return vista; }
    std::wstring ModuleFileName() override {
        if (moduleFails) Diagnostics::Raise(L"GetModuleFileName failed.", 122);
        return path;
    }
    LaunchResult LaunchElevated(const std::wstring& file, const std::wstring& parameters) override {
        launches.emplace_back(file, parameters);
        return launchResult;
    }
    // Drive M: is mapped to \\server\share.
    bool UniversalName(const std::wstring& local, std::wstring& universal) override {
        if (local.compare(0, 2, L"M:") != 0) return false;
        universal = L"\\\\server\\share" + local.substr(2);
        return true;
    }
    bool ModifyPrivilege(const std::wstring& name, bool enable) override {
        privileges.push_back(name + (enable ? L"+" : L"-"));
        if (!privilegeGranted) ::SetLastError(ERROR_FUNCTION_FAILED);
        return privilegeGranted;
    }
    int ShowMessage(const std::wstring& text, const std::wstring& caption, unsigned style) override {
        HWND form = MainWindow();
        const bool visible = form != nullptr && ::IsWindowVisible(form);
        boxes.push_back({text, caption, style, visible});
        return IDOK;
    }
    std::wstring CommandLine() override { return commandLine; }
    void PrepareForm(MainForm& form) override {
        formPrepared = true;
        form.SetFolderChooser([this](const wchar_t* title, UINT, std::wstring& chosen) {
            chooserTitles.push_back(title);
            if (chooserAnswers.empty() || chooserAnswers.front().empty()) return false;
            chosen = chooserAnswers.front();
            chooserAnswers.erase(chooserAnswers.begin());
            return true;
        });
        if (aboutThrows) form.SetAboutShower([] { Diagnostics::Raise(L"Test failure.", 1); });
        ::SetTimer(nullptr, 0, 300, &CloseTheForm);
    }
};

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override { closeScript = CloseScript{}; }
    ScriptedStartup system;
};

TEST_F(StartupTest, AnOlderSystemGetsTheInformationBoxAndExitCode0) {
    system.xp = false;
    EXPECT_EQ(RunApplication(L"", SW_SHOWNORMAL, system), 0);
    ASSERT_EQ(system.boxes.size(), 1u);
    EXPECT_EQ(system.boxes[0].text, L"This application required Windows XP or higher.");
    EXPECT_EQ(system.boxes[0].caption, L"Torvane");
    EXPECT_EQ(system.boxes[0].style, static_cast<unsigned>(MB_ICONINFORMATION));
    EXPECT_TRUE(system.privileges.empty());
    EXPECT_FALSE(system.formPrepared);
}

TEST_F(StartupTest, WithoutItsOwnPathTheProgramSaysSoInsteadOfCrashing) {
    system.moduleFails = true;
    system.vista = true;
    EXPECT_EQ(RunApplication(L"", SW_SHOWNORMAL, system), 0);
    ASSERT_EQ(system.boxes.size(), 1u);
    EXPECT_EQ(system.boxes[0].text, L"The application could not start. Try reinstalling the product.");
    EXPECT_EQ(system.boxes[0].style, static_cast<unsigned>(MB_ICONERROR | MB_OK));
    EXPECT_TRUE(system.launches.empty());
}

TEST_F(StartupTest, OnASystemWithElevationANormalStartRelaunchesWithTheSameTailAndEnds) {
    system.vista = true;
    const std::wstring tail = L"\"C:\\My Files\\a.txt\" \"\"";
    EXPECT_EQ(RunApplication(tail, SW_SHOWNORMAL, system), 0);
    ASSERT_EQ(system.launches.size(), 1u);
    EXPECT_EQ(system.launches[0].first, system.path);
    EXPECT_EQ(system.launches[0].second, tail);
    EXPECT_TRUE(system.privileges.empty());
    EXPECT_FALSE(system.formPrepared);
    EXPECT_TRUE(system.boxes.empty());
}

TEST_F(StartupTest, TheElevatedInstanceGetsPathsOnMappedDrivesAsUncPaths) {
    system.vista = true;
    EXPECT_EQ(RunApplication(L"\"M:\\Photos\" \"C:\\Backup\"", SW_SHOWNORMAL, system), 0);
    ASSERT_EQ(system.launches.size(), 1u);
    EXPECT_EQ(system.launches[0].second, L"\"\\\\server\\share\\Photos\" \"C:\\Backup\"");
}

TEST_F(StartupTest, ADeclinedElevationEndsSilentlyAndFileNotFoundLeavesADiagnosticLine) {
    system.vista = true;
    system.launchResult = {SE_ERR_ACCESSDENIED, ERROR_CANCELLED};
    EXPECT_EQ(RunApplication(L"", SW_SHOWNORMAL, system), 0);
    EXPECT_FALSE(system.formPrepared);
    EXPECT_TRUE(system.boxes.empty());

    Diagnostics::Capture capture;
    system.launchResult = {SE_ERR_FNF, ERROR_FILE_NOT_FOUND};
    EXPECT_EQ(RunApplication(L"", SW_SHOWNORMAL, system), 2);  // runs on, unelevated
    EXPECT_TRUE(capture.Contains(L"Error executing: C:\\Program Files\\Torvane\\Torvane.exe [0]\n"));
    EXPECT_TRUE(system.formPrepared);
    EXPECT_EQ(system.privileges, (std::vector<std::wstring>{L"SeBackupPrivilege+"}));
}

TEST_F(StartupTest, ShowCommandZeroSkipsTheRelaunchAndTheWindowIsShownAnyway) {
    system.vista = true;
    system.commandLine = L"Torvane.exe \"C:\\a\" \"C:\\b\\\" \"D:\\\"";
    EXPECT_EQ(RunApplication(L"ignored", SW_HIDE, system), 2);
    EXPECT_TRUE(system.launches.empty());
    EXPECT_EQ(system.privileges, (std::vector<std::wstring>{L"SeBackupPrivilege+"}));
    ASSERT_TRUE(closeScript.ran);
    EXPECT_EQ(closeScript.from, L"\"C:\\a\" \"C:\\b\"");
    EXPECT_EQ(closeScript.to, L"D:\\");
    EXPECT_TRUE(system.chooserTitles.empty()) << "arguments were given";
}

TEST_F(StartupTest, AContextMenuStartFillsFromAndLeavesToEmpty) {
    system.commandLine = L"\"C:\\Program Files\\Torvane\\Torvane.exe\" \"C:\\\" \"\"";
    closeScript.command = ID_TRAY_EXIT;
    EXPECT_EQ(RunApplication(L"", SW_SHOWNORMAL, system), 32780);
    EXPECT_EQ(closeScript.from, L"C:\\");
    EXPECT_EQ(closeScript.to, L"");
    EXPECT_TRUE(system.chooserTitles.empty());
}

TEST_F(StartupTest, WithoutArgumentsTheChoosersAskForSourceThenDestination) {
    system.chooserAnswers = {L"C:\\src", L"D:\\dst"};
    EXPECT_EQ(RunApplication(L"", SW_SHOWNORMAL, system), 2);
    EXPECT_EQ(system.chooserTitles, (std::vector<std::wstring>{L"Choose a file or folder to copy from:",
                                                               L"Choose a folder to copy to:"}));
    EXPECT_EQ(closeScript.from, L"C:\\src");
    EXPECT_EQ(closeScript.to, L"D:\\dst");
}

TEST_F(StartupTest, CancellingTheSourceChooserOpensNoSecondOne) {
    system.chooserAnswers = {L""};
    EXPECT_EQ(RunApplication(L"", SW_SHOWNORMAL, system), 2);
    EXPECT_EQ(system.chooserTitles.size(), 1u);
    EXPECT_EQ(closeScript.from, L"");
}

TEST_F(StartupTest, AFailedPrivilegeShowsExactlyOneBoxBeforeAnyWindowAndExits0) {
    system.privilegeGranted = false;
    Diagnostics::Capture capture;
    EXPECT_EQ(RunApplication(L"", SW_SHOWNORMAL, system), 0);
    ASSERT_EQ(system.boxes.size(), 1u);
    EXPECT_EQ(system.boxes[0].text, L"The application could not start. Try reinstalling the product.");
    EXPECT_EQ(system.boxes[0].caption, L"Torvane");
    EXPECT_FALSE(system.boxes[0].mainWindowVisible);
    EXPECT_FALSE(system.formPrepared);
    EXPECT_TRUE(capture.Contains(L"System::ModifyPrivilege failed [1627]\n"));
    EXPECT_EQ(MainWindow(), nullptr);
}

TEST_F(StartupTest, AFailureInsideAWindowHandlerEndsTheLoopAtTheStartupHandler) {
    system.aboutThrows = true;
    closeScript.command = IDC_ABOUT;
    EXPECT_EQ(RunApplication(L"", SW_HIDE, system), 0);
    ASSERT_TRUE(closeScript.ran);
    ASSERT_EQ(system.boxes.size(), 1u);
    EXPECT_EQ(system.boxes[0].text, L"The application could not start. Try reinstalling the product.");
    EXPECT_FALSE(system.boxes[0].mainWindowVisible) << "the form is gone before the message";
}

TEST(System, ModifyPrivilegeSucceedsForAKnownNameAndFailsWith1627ForAnUnknownOne) {
    EXPECT_TRUE(System::ModifyPrivilege(L"SeBackupPrivilege", true));
    Diagnostics::Capture capture;
    ::SetLastError(0);
    EXPECT_FALSE(System::ModifyPrivilege(L"SeNoSuchPrivilegeAtAll", true));
    EXPECT_EQ(::GetLastError(), 1627u);
    ASSERT_EQ(capture.Lines().size(), 1u);
    EXPECT_EQ(capture.Lines()[0].rfind(L"LookupPrivilegeValue failed. [", 0), 0u) << capture.Lines()[0];
}

TEST(System, KnowsItsOwnPathAndTheSystemVersion) {
    const std::wstring path = System::ModuleFileName();
    EXPECT_NE(path.find(L"ui_startup_tests.exe"), std::wstring::npos) << path;
    EXPECT_TRUE(System::IsXPOrLater());
}

TEST(System, PathsOnLocalDrivesHaveNoUniversalName) {
    for (const wchar_t* path : {L"C:\\windows", L"C:\\", L"Z:\\tmp", L"\\\\server\\share\\x", L"relative"}) {
        std::wstring universal = L"unchanged";
        EXPECT_FALSE(System::UniversalName(path, universal)) << testing::PrintToString(std::wstring(path));
        EXPECT_EQ(universal, L"unchanged");
    }
}

}  // namespace
