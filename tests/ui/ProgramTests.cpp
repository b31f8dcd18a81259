// Torvane.exe as a process: the command line lands in From and To, show
// command 0 runs without a re-launch, a normal start re-launches itself,
// the exit codes of both closing commands, the source chooser at a start
// without arguments, and the one message of a failing start-up.

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "tests/ui/UiTestSupport.h"
#include "ui/res/resource.h"

namespace {

std::wstring ProgramPath() { return UiTest::WindowsPathOf(TORVANE_EXE); }
std::wstring ProbePath() { return UiTest::WindowsPathOf(STARTUP_FAILURE_PROBE_EXE); }

class Process {
public:
    Process(const std::wstring& program, const std::wstring& arguments, int showCommand) {
        std::wstring commandLine = L"\"" + program + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = static_cast<WORD>(showCommand);
        started = ::CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                   &startup, &info) != FALSE;
    }
    ~Process() {
        if (!started) return;
        if (::WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) ::TerminateProcess(info.hProcess, 99);
        ::CloseHandle(info.hThread);
        ::CloseHandle(info.hProcess);
    }
    bool Started() const { return started; }
    DWORD Id() const { return info.dwProcessId; }
    // The exit code, or -1 when the process did not end in time.
    long ExitCode(int timeoutMs = 20000) {
        if (::WaitForSingleObject(info.hProcess, static_cast<DWORD>(timeoutMs)) != WAIT_OBJECT_0) return -1;
        DWORD code = 0;
        ::GetExitCodeProcess(info.hProcess, &code);
        return static_cast<long>(code);
    }

private:
    PROCESS_INFORMATION info{};
    bool started = false;
};

std::wstring ItemText(HWND dialog, int id);

struct Search {
    DWORD processId;
    bool otherProcess;  // any process but processId
    bool mainWindow;    // the main form (has the From edit) or any other dialog
    const wchar_t* from;  // for another process's main form: its From text
    HWND found = nullptr;
};

BOOL CALLBACK Match(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<Search*>(parameter);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if ((owner == search->processId) == search->otherProcess) return TRUE;
    if (owner == ::GetCurrentProcessId() || !::IsWindowVisible(window)) return TRUE;
    wchar_t className[64] = {};
    ::GetClassNameW(window, className, 64);
    if (std::wstring(className) != L"#32770") return TRUE;
    const bool isMain = ::GetDlgItem(window, IDC_FROM) != nullptr && ::GetDlgItem(window, IDC_GO) != nullptr;
    if (isMain != search->mainWindow) return TRUE;
    if (search->from != nullptr && ItemText(window, IDC_FROM) != search->from) return TRUE;
    search->found = window;
    return FALSE;
}

// Waits for a visible dialog of the process (or, with otherProcess, of any
// other process than it): the main form, or any other dialog.
HWND WaitForDialog(DWORD processId, bool mainWindow, bool otherProcess = false, int timeoutMs = 20000,
                   const wchar_t* from = nullptr) {
    const DWORD start = ::GetTickCount();
    while (static_cast<int>(::GetTickCount() - start) < timeoutMs) {
        Search search{processId, otherProcess, mainWindow, from};
        ::EnumWindows(&Match, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) return search.found;
        ::Sleep(50);
    }
    return nullptr;
}

std::wstring ItemText(HWND dialog, int id) {
    wchar_t text[1024] = {};
    ::SendMessageTimeoutW(::GetDlgItem(dialog, id), WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text),
                          SMTO_ABORTIFHUNG, 5000, nullptr);
    return text;
}

BOOL CALLBACK CollectText(HWND child, LPARAM parameter) {
    wchar_t text[512] = {};
    ::GetWindowTextW(child, text, 512);
    reinterpret_cast<std::wstring*>(parameter)->append(text).append(L"\n");
    return TRUE;
}

TEST(Program, ShowCommandZeroRunsInThisProcessWithTheArgumentsInFromAndTo) {
    Process program(ProgramPath(), L"\"C:\\windows\\\" \" D:\\Backup \"", SW_HIDE);
    ASSERT_TRUE(program.Started());
    HWND main = WaitForDialog(program.Id(), true);
    ASSERT_NE(main, nullptr) << "no main window in the started process";
    EXPECT_TRUE(::IsWindowVisible(main));  // shown although started hidden
    wchar_t caption[64] = {};
    ::GetWindowTextW(main, caption, 64);
    EXPECT_STREQ(caption, L"Torvane");
    EXPECT_EQ(ItemText(main, IDC_FROM), L"C:\\windows");
    EXPECT_EQ(ItemText(main, IDC_TO), L"D:\\Backup");
    EXPECT_EQ(WaitForDialog(program.Id(), false, false, 1000), nullptr) << "no chooser with arguments";
    ::PostMessageW(main, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
    EXPECT_EQ(program.ExitCode(), 2);
}

TEST(Program, TheNotificationMenusExitEndsWithItsCommandId) {
    Process program(ProgramPath(), L"\"C:\\windows\" \"D:\\x\" \"E:\\y\"", SW_HIDE);
    ASSERT_TRUE(program.Started());
    HWND main = WaitForDialog(program.Id(), true);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(ItemText(main, IDC_FROM), L"\"C:\\windows\" \"D:\\x\"");
    EXPECT_EQ(ItemText(main, IDC_TO), L"E:\\y");
    ::PostMessageW(main, WM_COMMAND, MAKEWPARAM(ID_TRAY_EXIT, 0), 0);
    EXPECT_EQ(program.ExitCode(), 32780);
}

TEST(Program, ANormalStartHandsOverToAnElevatedCopyWithTheSameArguments) {
    Process program(ProgramPath(), L"\"C:\\windows\" \"\"", SW_SHOWNORMAL);
    ASSERT_TRUE(program.Started());
    EXPECT_EQ(program.ExitCode(), 0);
    // Another process's main form with this From text: the re-launched copy.
    HWND main = WaitForDialog(program.Id(), true, true, 20000, L"C:\\windows");
    ASSERT_NE(main, nullptr) << "the re-launched copy shows no window";
    EXPECT_EQ(ItemText(main, IDC_FROM), L"C:\\windows");
    EXPECT_EQ(ItemText(main, IDC_TO), L"");
    DWORD relaunched = 0;
    ::GetWindowThreadProcessId(main, &relaunched);
    HANDLE process = ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, relaunched);
    ASSERT_NE(process, nullptr);
    ::PostMessageW(main, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
    EXPECT_EQ(::WaitForSingleObject(process, 20000), WAIT_OBJECT_0);
    DWORD code = 0;
    ::GetExitCodeProcess(process, &code);
    EXPECT_EQ(code, 2u);
    ::CloseHandle(process);
}

TEST(Program, WithoutArgumentsTheSourceChooserOpensAndACancelOpensNoOther) {
    Process program(ProgramPath(), L"", SW_HIDE);
    ASSERT_TRUE(program.Started());
    HWND chooser = WaitForDialog(program.Id(), false);
    ASSERT_NE(chooser, nullptr) << "no chooser at a start without arguments";
    HWND main = WaitForDialog(program.Id(), true);
    ASSERT_NE(main, nullptr);
    ::PostMessageW(chooser, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
    ::Sleep(1500);
    EXPECT_EQ(WaitForDialog(program.Id(), false, false, 500), nullptr) << "a second chooser opened";
    EXPECT_EQ(ItemText(main, IDC_FROM), L"");
    ::PostMessageW(main, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
    EXPECT_EQ(program.ExitCode(), 2);
}

TEST(Program, AFailingStartUpShowsItsOneMessageWithoutAWindowAndExits0) {
    Process probe(ProbePath(), L"\"C:\\windows\" \"\"", SW_HIDE);
    ASSERT_TRUE(probe.Started());
    HWND box = WaitForDialog(probe.Id(), false);
    ASSERT_NE(box, nullptr) << "no message";
    wchar_t caption[64] = {};
    ::GetWindowTextW(box, caption, 64);
    EXPECT_STREQ(caption, L"Torvane");
    std::wstring texts;
    ::EnumChildWindows(box, &CollectText, reinterpret_cast<LPARAM>(&texts));
    EXPECT_NE(texts.find(L"The application could not start. Try reinstalling the product."), std::wstring::npos)
        << std::string(texts.begin(), texts.end());
    EXPECT_EQ(WaitForDialog(probe.Id(), true, false, 200), nullptr) << "the main window was shown";
    ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, 0), 0);
    EXPECT_EQ(probe.ExitCode(), 0);
}

}  // namespace
