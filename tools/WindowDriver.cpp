// Drives Torvane's window as a user would, for a run without anybody at the
// screen: starts Torvane.exe with the given arguments, presses Go once the
// sources are counted, answers every question of the destination check with
// its default button, waits for the completion form and reports what the
// window finally shows (status panel and every result row), with the time
// from start to Ready and from Go to the completion form.
//
// Usage: window_driver [--report FILE] [--screen FILE.bmp] [--timeout SECONDS]
//                      PROGRAM [ARGUMENT...]
// The report goes to standard output, or as UTF-8 to FILE. --screen saves the
// screen as it stands at the end. Exit code 0 when the copy completed, 1 when
// it did not (a question refused it, the program ended or the time ran out),
// 2 for a usage error.

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/WindowsHandles.h"
#include "ui/res/resource.h"

namespace {

// The static control of a message box that holds its text.
constexpr int kMessageBoxText = 0xFFFF;

std::wstring report;

void Say(const std::wstring& line) { report += line + L"\n"; }

std::wstring Seconds(DWORD milliseconds) {
    wchar_t text[32];
    std::swprintf(text, 32, L"%lu.%02lu s", milliseconds / 1000, milliseconds % 1000 / 10);
    return text;
}

std::wstring Quote(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos) return argument;
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');
    return quoted + L"\"";
}

std::wstring Text(HWND window) {
    wchar_t text[2048] = {};
    ::SendMessageTimeoutW(window, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                          nullptr);
    return text;
}

struct ChildSearch {
    int id;
    HWND found = nullptr;
};

BOOL CALLBACK MatchChild(HWND child, LPARAM parameter) {
    auto* search = reinterpret_cast<ChildSearch*>(parameter);
    if (::GetDlgCtrlID(child) != search->id) return TRUE;
    search->found = child;
    return FALSE;
}

// A control anywhere below the window (the status panel is a dialog of its own inside the main form).
HWND Descendant(HWND window, int id) {
    ChildSearch search{id};
    ::EnumChildWindows(window, &MatchChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool IsDialog(HWND window) {
    wchar_t className[16] = {};
    ::GetClassNameW(window, className, 16);
    return std::wstring(className) == L"#32770" && ::IsWindowVisible(window);
}

bool IsMainForm(HWND window) {
    return IsDialog(window) && ::GetDlgItem(window, IDC_FROM) != nullptr && ::GetDlgItem(window, IDC_GO) != nullptr;
}

// Either the main form among all windows of other processes, or any other
// dialog among the windows of the form's own thread: a look at a handful of
// windows, one question each, where every window of the desktop would cost
// the window server several round trips.
struct DialogSearch {
    HWND mainForm;  // null: find it
    HWND found = nullptr;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<DialogSearch*>(parameter);
    if (window == search->mainForm || !IsDialog(window)) return TRUE;
    if (search->mainForm == nullptr) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        if (owner == ::GetCurrentProcessId() || !IsMainForm(window)) return TRUE;
    }
    search->found = window;
    return FALSE;
}

HWND FindMainForm() {
    DialogSearch search{nullptr};
    ::EnumWindows(&MatchDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindOtherDialog(HWND mainForm, DWORD threadId) {
    DialogSearch search{mainForm};
    ::EnumThreadWindows(threadId, &MatchDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

BOOL CALLBACK MatchDefaultButton(HWND child, LPARAM parameter) {
    wchar_t className[16] = {};
    ::GetClassNameW(child, className, 16);
    const LONG_PTR style = ::GetWindowLongPtrW(child, GWL_STYLE);
    if (_wcsicmp(className, L"Button") != 0 || (style & BS_TYPEMASK) != BS_DEFPUSHBUTTON) return TRUE;
    *reinterpret_cast<HWND*>(parameter) = child;
    return FALSE;
}

// The button that Enter would press: the one drawn as default, else the one the dialog names, else OK.
HWND DefaultButton(HWND dialog) {
    HWND found = nullptr;
    ::EnumChildWindows(dialog, &MatchDefaultButton, reinterpret_cast<LPARAM>(&found));
    if (found != nullptr) return found;
    const LRESULT named = ::SendMessageW(dialog, DM_GETDEFID, 0, 0);
    if (HIWORD(named) == DC_HASDEFID && (found = ::GetDlgItem(dialog, LOWORD(named))) != nullptr) return found;
    return ::GetDlgItem(dialog, IDOK);
}

class Deadline {
public:
    explicit Deadline(DWORD seconds) : start(::GetTickCount()), limit(seconds * 1000) {}
    bool Passed() const { return limit != 0 && ::GetTickCount() - start > limit; }

private:
    DWORD start;
    DWORD limit;
};

// The text of one cell of a list view in another process: the list writes
// into memory of its own process, which is read back from there.
std::wstring ListCell(HANDLE process, HWND list, int row, int column) {
    constexpr int kChars = 1024;
    void* remote = ::VirtualAllocEx(process, nullptr, sizeof(LVITEMW) + kChars * sizeof(wchar_t), MEM_COMMIT,
                                    PAGE_READWRITE);
    if (remote == nullptr) return L"<unreadable>";
    LVITEMW item{};
    item.iSubItem = column;
    item.cchTextMax = kChars;
    item.pszText = reinterpret_cast<LPWSTR>(static_cast<char*>(remote) + sizeof(LVITEMW));
    std::wstring text = L"<unreadable>";
    wchar_t buffer[kChars] = {};
    if (::WriteProcessMemory(process, remote, &item, sizeof(item), nullptr) &&
        ::SendMessageTimeoutW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote),
                              SMTO_ABORTIFHUNG, 5000, nullptr) != 0 &&
        ::ReadProcessMemory(process, item.pszText, buffer, sizeof(buffer) - sizeof(wchar_t), nullptr)) {
        text = buffer;
    }
    ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    return text;
}

void ReportWindow(HWND main, HANDLE process) {
    Say(L"status: " + Text(::GetDlgItem(main, IDC_STATUS_LINE)));
    const struct {
        const wchar_t* name;
        int id;
    } fields[] = {{L"files", IDC_FILES},     {L"skipped", IDC_SKIPPED}, {L"copied", IDC_COPIED},
                  {L"elapsed", IDC_ELAPSED}, {L"speed", IDC_SPEED},     {L"remaining", IDC_REMAINING}};
    for (const auto& field : fields) Say(std::wstring(field.name) + L": " + Text(Descendant(main, field.id)));
    HWND list = ::GetDlgItem(main, IDC_RESULTS);
    const int rows = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    Say(L"rows: " + std::to_wstring(rows));
    for (int row = 0; row < rows; ++row) Say(L"row: " + ListCell(process, list, row, 0) + L"\t" + ListCell(process, list, row, 1));
}

// Saves the screen as a 24-bit bitmap file.
bool SaveScreen(const std::wstring& path) {
    const int width = ::GetSystemMetrics(SM_CXSCREEN);
    const int height = ::GetSystemMetrics(SM_CYSCREEN);
    struct ScreenDc {
        HDC dc = ::GetDC(nullptr);
        ~ScreenDc() { ::ReleaseDC(nullptr, dc); }
    } screen;
    struct MemoryDc {
        HDC dc;
        ~MemoryDc() { ::DeleteDC(dc); }
    } memory{::CreateCompatibleDC(screen.dc)};
    Common::UniqueBitmap bitmap(::CreateCompatibleBitmap(screen.dc, width, height));
    HGDIOBJ old = ::SelectObject(memory.dc, bitmap.get());
    ::BitBlt(memory.dc, 0, 0, width, height, screen.dc, 0, 0, SRCCOPY);
    ::SelectObject(memory.dc, old);

    BITMAPINFOHEADER header{};
    header.biSize = sizeof(header);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    std::vector<char> pixels(static_cast<std::size_t>(stride) * static_cast<DWORD>(height));
    const bool read = ::GetDIBits(memory.dc, bitmap.get(), 0, static_cast<UINT>(height), pixels.data(),
                                  reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS) != 0;
    if (!read) return false;

    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(file) + sizeof(header);
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    Common::UniqueFile out(
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    return out && ::WriteFile(out.get(), &file, sizeof(file), &written, nullptr) &&
           ::WriteFile(out.get(), &header, sizeof(header), &written, nullptr) &&
           ::WriteFile(out.get(), pixels.data(), static_cast<DWORD>(pixels.size()), &written, nullptr);
}

void WriteReport(const std::wstring& path) {
    const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, report.c_str(), static_cast<int>(report.size()), nullptr, 0,
                                            nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, report.c_str(), static_cast<int>(report.size()), &utf8[0], bytes, nullptr,
                          nullptr);
    if (path.empty()) {
        std::fwrite(utf8.data(), 1, utf8.size(), stdout);
        std::fflush(stdout);
        return;
    }
    Common::UniqueFile out(
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    if (out) ::WriteFile(out.get(), utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}

struct Options {
    std::wstring reportPath;
    std::wstring screenPath;
    DWORD timeoutSeconds = 0;
    std::wstring program;
    std::wstring arguments;
};

bool ParseOptions(int argc, wchar_t** argv, Options& options) {
    int i = 1;
    for (; i + 1 < argc && argv[i][0] == L'-' && argv[i][1] == L'-'; i += 2) {
        const std::wstring name = argv[i];
        if (name == L"--report") {
            options.reportPath = argv[i + 1];
        } else if (name == L"--screen") {
            options.screenPath = argv[i + 1];
        } else if (name == L"--timeout") {
            options.timeoutSeconds = static_cast<DWORD>(std::wcstoul(argv[i + 1], nullptr, 10));
        } else {
            return false;
        }
    }
    if (i >= argc) return false;
    options.program = argv[i];
    for (++i; i < argc; ++i) options.arguments += L" " + Quote(argv[i]);
    return true;
}

// One run; true when the copy completed.
bool Drive(const Options& options) {
    const Deadline deadline(options.timeoutSeconds);
    const DWORD start = ::GetTickCount();
    std::wstring commandLine = Quote(options.program) + options.arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(options.program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &started)) {
        Say(L"failed: " + options.program + L" could not be started (error " + std::to_wstring(::GetLastError()) +
            L")");
        return false;
    }
    ::CloseHandle(started.hThread);
    ::CloseHandle(started.hProcess);

    // Torvane may hand over to an elevated copy of itself: the window can belong to another process.
    HWND main = nullptr;
    while ((main = FindMainForm()) == nullptr) {
        if (::GetTickCount() - start > 60000 || deadline.Passed()) {
            Say(L"failed: no Torvane window appeared");
            return false;
        }
        ::Sleep(20);
    }
    DWORD processId = 0;
    // The form's questions and its completion form belong to its thread.
    const DWORD threadId = ::GetWindowThreadProcessId(main, &processId);
    Common::UniqueKernelHandle process(
        ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_VM_OPERATION | PROCESS_VM_READ |
                          PROCESS_VM_WRITE,
                      FALSE, processId));
    auto ended = [&] { return !::IsWindow(main) || (process && ::WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0); };
    HWND status = ::GetDlgItem(main, IDC_STATUS_LINE);

    // Go asks for a copy once discovery has counted the sources; a window that stays idle names none that exist.
    const DWORD shown = ::GetTickCount();
    std::wstring line;
    while ((line = Text(status)) != L"Ready") {
        if (ended() || deadline.Passed() || (line.empty() && ::GetTickCount() - shown > 10000)) {
            Say(L"failed: the sources were not counted (status \"" + line + L"\", From \"" +
                Text(::GetDlgItem(main, IDC_FROM)) + L"\")");
            return false;
        }
        ::Sleep(10);
    }
    const DWORD ready = ::GetTickCount();
    Say(L"ready: " + Seconds(ready - start) + L" after start");

    ::PostMessageW(main, WM_COMMAND, MAKEWPARAM(IDC_GO, BN_CLICKED), 0);
    const DWORD go = ::GetTickCount();
    bool leftReady = false;
    DWORD lastAnswer = go;
    std::wstring lastQuestion;
    for (;;) {
        if (ended() || deadline.Passed()) {
            Say(ended() ? L"failed: Torvane ended before the copy completed" : L"failed: the time ran out");
            if (::IsWindow(main)) ReportWindow(main, process.get());
            return false;
        }
        if (HWND dialog = FindOtherDialog(main, threadId)) {
            if (::GetDlgItem(dialog, IDC_LINK) != nullptr) {  // the completion form
                Say(L"completed: " + Seconds(::GetTickCount() - go) + L" after Go");
                ReportWindow(main, process.get());
                if (!options.screenPath.empty() && !SaveScreen(options.screenPath)) Say(L"screen: not saved");
                ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
                for (int waited = 0; waited < 5000 && ::IsWindow(dialog); waited += 20) ::Sleep(20);
                ::PostMessageW(main, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
                if (process) ::WaitForSingleObject(process.get(), 20000);
                return true;
            }
            HWND buttonWindow = DefaultButton(dialog);
            const int button = ::GetDlgCtrlID(buttonWindow);
            lastQuestion = Text(dialog) + L": " + Text(::GetDlgItem(dialog, kMessageBoxText));
            Say(L"answered " + Text(buttonWindow) + L" to \"" + lastQuestion + L"\"");
            ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(buttonWindow));
            for (int waited = 0; waited < 5000 && ::IsWindow(dialog); waited += 10) ::Sleep(10);
            lastAnswer = ::GetTickCount();
            continue;
        }
        // Once the copy runs, only the top-level windows are watched: reading a control would
        // wake the program's window thread at every look, which a user's copy does not pay for.
        if (!leftReady && Text(status) != L"Ready") leftReady = true;
        // A check answered with a refusal leaves the form ready and the copy never starts.
        if (!leftReady && ::GetTickCount() - lastAnswer > 5000) {
            Say(lastQuestion.empty() ? L"failed: the copy did not start"
                                     : L"failed: the copy did not start after the answer to the last question");
            ::PostMessageW(main, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            return false;
        }
        ::Sleep(20);
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fputs("usage: window_driver [--report FILE] [--screen FILE.bmp] [--timeout SECONDS] PROGRAM "
                   "[ARGUMENT...]\n",
                   stderr);
        return 2;
    }
    const bool completed = Drive(options);
    WriteReport(options.reportPath);
    return completed ? 0 : 1;
}
