// MainForm's taskbar button: from the shell's word that the button exists,
// every tick shows the job's progress on it (TaskbarProgressOf).

#include "ui/MainForm.h"

namespace {

using ChangeWindowMessageFilterExFunction = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
using ChangeWindowMessageFilterFunction = BOOL(WINAPI*)(UINT, DWORD);
constexpr DWORD kMessageFilterAllow = 1;  // MSGFLT_ALLOW, and MSGFLT_ADD for the older call

template <class Function>
Function User32Function(const char* name) {
    HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    if (user32 == nullptr) return nullptr;
    // Through a plain function pointer type: FARPROC's own type is unrelated.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(::GetProcAddress(user32, name)));
}

}  // namespace

// The program runs elevated from Vista on, and the system keeps messages of
// the user's (unelevated) shell from an elevated window unless it lets them
// in: "TaskbarButtonCreated" (Windows 7 and later), and "TaskbarCreated",
// which brings the notification icon back after Explorer restarts. XP has
// neither call and needs neither.
void MainForm::AllowShellMessages() {
    static const auto filterForWindow =
        User32Function<ChangeWindowMessageFilterExFunction>("ChangeWindowMessageFilterEx");
    if (filterForWindow != nullptr) {
        if (taskbarButtonCreatedMessage != 0) {
            filterForWindow(Handle(), taskbarButtonCreatedMessage, kMessageFilterAllow, nullptr);
        }
        filterForWindow(Handle(), TaskbarCreatedMessage(), kMessageFilterAllow, nullptr);
        return;
    }
    static const auto filterForProcess =
        User32Function<ChangeWindowMessageFilterFunction>("ChangeWindowMessageFilter");
    if (filterForProcess != nullptr) filterForProcess(TaskbarCreatedMessage(), kMessageFilterAllow);
}

LRESULT MainForm::OnTaskbarButtonCreated(UINT, WPARAM, LPARAM, bool& handled) {
    // Registration failed: the member is 0 and this is WM_NULL.
    if (taskbarButtonCreatedMessage == 0) {
        handled = false;
        return 0;
    }
    taskbar.OnButtonCreated();
    UpdateTaskbar();
    return 0;
}

void MainForm::UpdateTaskbar() {
    EngineControl& control = Control();
    const EngineMode mode = control.ShownMode();
    if (mode != EngineMode::Completed) completionClosed = false;
    TaskbarInputs inputs;
    inputs.mode = mode;
    inputs.totalBytes = control.Statistics().totalBytes;
    inputs.copiedBytes = control.Statistics().copiedBytes;
    inputs.failed = control.Rows().Count() > 0 || Copy().HasFailed();
    inputs.completionClosed = completionClosed;
    taskbar.Show(Handle(), TaskbarProgressOf(inputs));
}
