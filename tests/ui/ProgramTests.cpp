// Torvane.exe as a process: the command line lands in From and To, show
// command 0 runs without a re-launch, a normal start re-launches itself,
// the exit codes of both closing commands, the source chooser at a start
// without arguments, the one message of a failing start-up, and a copy
// killed mid-file that the next run of the job finishes.

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <shlwapi.h>

#include <cstdio>
#include <map>
#include <random>
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

// --- A copy killed by TerminateProcess, then the same job run again ---

std::wstring TempRoot() {
    wchar_t temp[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH + 1, temp);
    return std::wstring(temp) + L"torvane-kill-" + std::to_wstring(::GetCurrentProcessId());
}

std::string ReadFileBytes(const std::wstring& path) {
    std::string bytes;
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "<unreadable>";
    char buffer[65536];
    DWORD n = 0;
    while (::ReadFile(file, buffer, sizeof(buffer), &n, nullptr) && n > 0) bytes.append(buffer, n);
    ::CloseHandle(file);
    return bytes;
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD n = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr);
    ::CloseHandle(file);
}

// Every file below folder (relative name to bytes); folders end in a backslash.
void Collect(const std::wstring& folder, const std::wstring& relative, std::map<std::wstring, std::string>& out) {
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring path = folder + L"\\" + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            out[relative + name + L"\\"] = "";
            Collect(path, relative + name + L"\\", out);
        } else {
            out[relative + name] = ReadFileBytes(path);
        }
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
}

void RemoveAll(const std::wstring& folder) {
    std::map<std::wstring, std::string> entries;
    Collect(folder, L"", entries);
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        const std::wstring path = folder + L"\\" + it->first;
        if (it->first.back() == L'\\') {
            ::RemoveDirectoryW(path.c_str());
        } else {
            ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            ::DeleteFileW(path.c_str());
        }
    }
    ::RemoveDirectoryW(folder.c_str());
}

bool IsTemporaryName(const std::wstring& relative) {
    const std::size_t slash = relative.find_last_of(L'\\');
    return relative.compare(slash == std::wstring::npos ? 0 : slash + 1, 3, L"~tv") == 0 &&
           relative.size() > 5 && relative.compare(relative.size() - 5, 5, L".part") == 0;
}

// Presses Go and answers the "Skip existing files" question that a folder
// holding files from an earlier run brings up.
void PressGo(HWND main, DWORD processId, const std::wstring& destination) {
    const bool question = UiTest::Exists(destination) && !::PathIsDirectoryEmptyW(destination.c_str());
    // Go asks for a copy once discovery has counted the sources.
    for (int waited = 0; waited < 20000 && ItemText(main, IDC_STATUS_LINE) != L"Ready"; waited += 50) ::Sleep(50);
    ASSERT_EQ(ItemText(main, IDC_STATUS_LINE), L"Ready");
    ::PostMessageW(main, WM_COMMAND, MAKEWPARAM(IDC_GO, BN_CLICKED), 0);
    if (!question) return;
    HWND box = WaitForDialog(processId, false, false, 5000);
    ASSERT_NE(box, nullptr) << "no question about the files already there";
    ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, 0), 0);
    for (int waited = 0; waited < 5000 && ::IsWindow(box); waited += 20) ::Sleep(20);
}

TEST(Program, ACopyKilledMidFileLeavesNoPartialFileAndTheSameJobFinishesIt) {
    const std::wstring root = TempRoot();
    RemoveAll(root);
    const std::wstring source = root + L"\\data";
    const std::wstring destination = root + L"\\out";
    ::CreateDirectoryW(root.c_str(), nullptr);
    ::CreateDirectoryW(source.c_str(), nullptr);
    std::mt19937 random(20261208);
    for (int i = 0; i < 12; ++i) {
        const std::size_t size = i < 3 ? 24000000 + random() % 1000 : random() % 200000;
        std::string bytes(size, '\0');
        for (std::size_t b = 0; b < size; b += 997) bytes[b] = static_cast<char>(random());
        WriteFileBytes(source + L"\\f" + std::to_wstring(i) + L".bin", bytes);
    }
    std::map<std::wstring, std::string> original;
    Collect(source, L"", original);
    const std::wstring arguments = L"\"" + source + L"\" \"" + destination + L"\"";

    auto checkRealNames = [&](const char* when) {
        std::map<std::wstring, std::string> copied;
        Collect(destination + L"\\data", L"", copied);
        for (const auto& [name, bytes] : copied) {
            if (IsTemporaryName(name)) continue;
            const auto found = original.find(name);
            EXPECT_TRUE(found != original.end() && found->second == bytes)
                << when << ": a real name holds a partial copy";
        }
        return copied;
    };

    int killedMidFile = 0;
    for (int round = 0; round < 3; ++round) {
        Process program(ProgramPath(), arguments, SW_HIDE);
        ASSERT_TRUE(program.Started());
        HWND main = WaitForDialog(program.Id(), true);
        ASSERT_NE(main, nullptr);
        PressGo(main, program.Id(), destination);
        // Once a file is being written, somewhere inside it.
        const std::wstring pattern = destination + L"\\data\\~tv*.part";
        for (int waited = 0; waited < 20000; waited += 2) {
            WIN32_FIND_DATAW data;
            HANDLE find = ::FindFirstFileW(pattern.c_str(), &data);
            if (find != INVALID_HANDLE_VALUE) {
                ::FindClose(find);
                break;
            }
            ::Sleep(2);
        }
        ::Sleep(random() % 40);
        HANDLE process = ::OpenProcess(PROCESS_TERMINATE, FALSE, program.Id());
        ASSERT_NE(process, nullptr);
        ::TerminateProcess(process, 9);
        ::CloseHandle(process);
        program.ExitCode(5000);
        const auto afterKill = checkRealNames("after the kill");
        for (const auto& entry : afterKill) killedMidFile += IsTemporaryName(entry.first) ? 1 : 0;
    }
    std::printf("%d kills left a temporary behind\n", killedMidFile);

    Process program(ProgramPath(), arguments, SW_HIDE);
    ASSERT_TRUE(program.Started());
    HWND main = WaitForDialog(program.Id(), true);
    ASSERT_NE(main, nullptr);
    PressGo(main, program.Id(), destination);
    HWND completion = WaitForDialog(program.Id(), false, false, 120000);
    ASSERT_NE(completion, nullptr) << "the job did not complete";
    const LRESULT rows = ::SendMessageW(::GetDlgItem(main, IDC_RESULTS), LVM_GETITEMCOUNT, 0, 0);
    EXPECT_EQ(rows, 0) << "a row for a job that copied everything";
    ::PostMessageW(completion, WM_COMMAND, MAKEWPARAM(IDOK, 0), 0);
    for (int waited = 0; waited < 5000 && ::IsWindow(completion); waited += 50) ::Sleep(50);
    ::PostMessageW(main, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
    EXPECT_EQ(program.ExitCode(), 2);

    std::map<std::wstring, std::string> copied;
    Collect(destination + L"\\data", L"", copied);
    EXPECT_TRUE(copied == original) << "the rerun did not leave an exact copy (or left a temporary)";
    for (const auto& [name, bytes] : copied) {
        const auto found = original.find(name);
        if (found == original.end() || found->second != bytes) std::printf("differs: %ls\n", name.c_str());
    }
    for (const auto& [name, bytes] : original) {
        if (!copied.count(name)) std::printf("missing: %ls\n", name.c_str());
    }
    RemoveAll(root);
}

}  // namespace
