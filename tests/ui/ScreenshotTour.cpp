// Drives the real main window through its states, opens the result list's
// menu and both forms, and at each one hands the screen over to scripts/screenshots: it writes
// <folder>\<name>.ready with the window's screen rectangle ("x y w h") and
// waits, pumping messages, until <folder>\<name>.done appears.
// Usage: ui_screenshot_tour <folder>   (a Windows path)

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <cstdio>
#include <initializer_list>
#include <string>

#include "platform/testing/FaultPlatform.h"
#include "ui/AboutForm.h"
#include "ui/CompletionForm.h"
#include "ui/MainForm.h"
#include "tests/ui/UiTestSupport.h"

namespace {

std::wstring handshakeFolder;

// Lets the script take the picture of the screen rectangle r, then returns.
void CaptureRect(const RECT& r, const wchar_t* name) {
    const std::wstring ready = handshakeFolder + L"\\" + name + L".ready";
    const std::wstring done = handshakeFolder + L"\\" + name + L".done";
    if (FILE* f = _wfopen(ready.c_str(), L"w")) {
        std::fprintf(f, "%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
        std::fclose(f);
    }
    const DWORD start = ::GetTickCount();
    while (!UiTest::Exists(done) && ::GetTickCount() - start < 30000) UiTest::PumpFor(50);
}

// Lets the script take the picture of window, then returns.
void Capture(HWND window, const wchar_t* name) {
    UiTest::PumpFor(700);  // painted and settled
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    UiTest::PumpFor(300);
    RECT r{};
    ::GetWindowRect(window, &r);
    CaptureRect(r, name);
}

bool WaitForStatus(HWND form, const wchar_t* status, int timeoutMs = 20000) {
    const DWORD start = ::GetTickCount();
    wchar_t text[128] = {};
    while (static_cast<int>(::GetTickCount() - start) < timeoutMs) {
        UiTest::PumpFor(20);
        ::GetDlgItemTextW(form, IDC_STATUS_LINE, text, 128);
        if (std::wstring(text) == status) return true;
    }
    std::fprintf(stderr, "tour: the form never showed \"%ls\" (it shows \"%ls\")\n", status, text);
    return false;
}

// Captures a modal form once it is up, then closes it.
const wchar_t* formName = nullptr;
void CALLBACK CaptureActiveForm(HWND, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(nullptr, timer);
    HWND form = ::GetActiveWindow();
    Capture(form, formName);
    ::PostMessageW(form, WM_COMMAND, IDOK, 0);
}

template <class Form>
void CaptureForm(const wchar_t* name, HWND owner) {
    formName = name;
    ::SetTimer(nullptr, 0, 200, &CaptureActiveForm);
    Form form;
    form.Show(owner);
}

// Captures the main window with the popup menu open over it, then closes
// the menu.
HWND menuOwner = nullptr;
void CALLBACK CaptureOpenMenu(HWND, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(nullptr, timer);
    UiTest::PumpFor(500);
    RECT r{};
    ::GetWindowRect(menuOwner, &r);
    if (HWND menu = ::FindWindowW(L"#32768", nullptr)) {
        RECT m{};
        ::GetWindowRect(menu, &m);
        ::UnionRect(&r, &r, &m);
    } else {
        std::fprintf(stderr, "tour: no menu is open\n");
    }
    CaptureRect(r, formName);
    ::EndMenu();
}

// Selects rows and right-clicks the last of them, as a user would.
void CaptureResultsMenu(const wchar_t* name, HWND window, std::initializer_list<int> rows) {
    HWND list = ::GetDlgItem(window, IDC_RESULTS);
    for (int row : rows) {
        LVITEMW item{};
        item.state = item.stateMask = LVIS_SELECTED;
        ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    }
    RECT cell{};
    cell.left = LVIR_LABEL;
    ::SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(*(rows.end() - 1)), reinterpret_cast<LPARAM>(&cell));
    POINT at{cell.left + 40, (cell.top + cell.bottom) / 2};
    ::ClientToScreen(list, &at);
    ::SetForegroundWindow(window);
    ::SetCursorPos(at.x, at.y);
    formName = name;
    menuOwner = window;
    ::SetTimer(nullptr, 0, 300, &CaptureOpenMenu);
    INPUT clicks[2] = {};
    clicks[0].type = clicks[1].type = INPUT_MOUSE;
    clicks[0].mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
    clicks[1].mi.dwFlags = MOUSEEVENTF_RIGHTUP;
    ::SendInput(2, clicks, sizeof(INPUT));
    UiTest::PumpFor(1500);
}

class AnswerOk : public Prompt {
public:
    int Ask(const std::wstring&, const std::wstring&, std::uint32_t) override { return PromptAnswer::kOk; }
};

void Write(const std::wstring& path, std::size_t bytes) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    std::string block(65536, 'x');
    for (std::size_t done = 0; done < bytes; done += block.size()) {
        DWORD written = 0;
        ::WriteFile(file, block.data(), static_cast<DWORD>(block.size()), &written, nullptr);
    }
    ::CloseHandle(file);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: ui_screenshot_tour <folder>\n");
        return 1;
    }
    handshakeFolder = argv[1];

    // A source with a few files, a large one copied slowly, a locked file and
    // a folder that cannot be listed, so the list has rows to show.
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring root = std::wstring(temp) + L"torvane-tour-" + std::to_wstring(::GetTickCount());
    const std::wstring source = root + L"\\Holiday photos";
    ::CreateDirectoryW(root.c_str(), nullptr);
    ::CreateDirectoryW(source.c_str(), nullptr);
    ::CreateDirectoryW((source + L"\\Beach").c_str(), nullptr);
    ::CreateDirectoryW((source + L"\\Private").c_str(), nullptr);
    Write(source + L"\\Beach\\sunset.jpg", 3 * 1024 * 1024);
    Write(source + L"\\Beach\\waves.jpg", 2 * 1024 * 1024);
    Write(source + L"\\album.db", 1 * 1024 * 1024);
    Write(source + L"\\notes.txt", 64 * 1024);
    HANDLE locked = ::CreateFileW((source + L"\\album.db").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);

    FaultPlatform platform(SystemPlatform());
    platform.Fail(PlatformCall::FindFirst, L"\\Private", ERROR_ACCESS_DENIED);
    std::atomic<int> readDelay{0};
    platform.OnRead([&](const std::wstring&, int) {
        if (int delay = readDelay.load()) ::Sleep(static_cast<DWORD>(delay));
    });

    int result = 0;
    {
        MainForm form(platform);
        AnswerOk prompt;
        form.SetPrompt(&prompt);
        form.SetCompletionShower([] {});
        if (form.Create(nullptr, 0) == nullptr) return 2;
        ::ShowWindow(form.Handle(), SW_SHOWNORMAL);
        HWND window = form.Handle();

        UiTest::PumpFor(500);
        Capture(window, L"main-idle");

        form.SetFromText(source);
        form.SetToText(root + L"\\Backup");
        if (!WaitForStatus(window, L"Ready")) result = 3;
        Capture(window, L"main-ready");

        readDelay = 120;
        ::SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_GO, BN_CLICKED), 0);
        if (!WaitForStatus(window, L"Copying")) result = 3;
        UiTest::PumpFor(1500);
        Capture(window, L"main-copying");

        ::SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_GO, BN_CLICKED), 0);
        if (!WaitForStatus(window, L"Paused")) result = 3;
        Capture(window, L"main-paused");

        readDelay = 0;
        ::SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_GO, BN_CLICKED), 0);
        if (!WaitForStatus(window, L"Copy completed")) result = 3;
        form.OnIdle();
        Capture(window, L"main-completed");
        CaptureResultsMenu(L"results-menu", window, {0, 1});

        CaptureForm<CompletionForm>(L"completion-form", window);
        CaptureForm<AboutForm>(L"about-form", window);

        // Wider and taller: the columns share the width, the panel stretches.
        RECT r{};
        ::GetWindowRect(window, &r);
        ::SetWindowPos(window, nullptr, 0, 0, r.right - r.left + 200, r.bottom - r.top + 120, SWP_NOMOVE | SWP_NOZORDER);
        Capture(window, L"main-completed-resized");
    }
    ::CloseHandle(locked);
    return result;
}
