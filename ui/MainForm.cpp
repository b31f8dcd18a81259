#include "ui/MainForm.h"

#include "ui/WindowDpi.h"
#include "ui/framework/AppModule.h"

MainForm::MainForm(Platform& platform) : engine(platform, *this) {
    folderChooser = [this](const wchar_t* title, UINT flags, std::wstring& path) {
        return ChooseWithShell(title, flags, path);
    };
    completionShower = [this] { ShowCompletionForm(); };
    aboutShower = [this] { ShowAboutForm(); };
}

MainForm::~MainForm() noexcept {
    // Destroyed here, while the whole form still exists to see WM_DESTROY.
    DestroyWindow();
}

LRESULT MainForm::OnInitDialog(UINT, WPARAM, LPARAM, bool&) {
    startedWithoutArguments = false;
    PlaceWindow();
    JoinMessageLoop();
    AllowShellMessages();
    dpi = WindowDpi(Handle());
    LoadWindowIcons();
    InstallTrayIcon();
    AttachControls();
    SetUpResultList();
    SetUpStatusView();
    SetUpGoButton();
    SetUpIconButtons();
    ResetOptions();
    StartTimer();
    return TRUE;
}

void MainForm::JoinMessageLoop() {
    if (Framework::MessageLoop* loop = Framework::AppModule::GetMessageLoop()) {
        loop->AddMessageFilter(this);
        loop->AddIdleHandler(this);
    }
}

// A new window starts with both options ticked and no copy requested.
void MainForm::ResetOptions() {
    ::SendMessageW(includeSubfolders, BM_SETCHECK, BST_CHECKED, 0);
    ::SendMessageW(copyAttributes, BM_SETCHECK, BST_CHECKED, 0);
    Control().DropStartRequest();
}

LRESULT MainForm::OnDestroy(UINT, WPARAM, LPARAM, bool& handled) {
    if (Framework::MessageLoop* loop = Framework::AppModule::GetMessageLoop()) {
        loop->RemoveMessageFilter(this);
        loop->RemoveIdleHandler(this);
    }
    handled = false;
    return 0;
}

bool MainForm::PreTranslateMessage(MSG* message) {
    // Ctrl+A and Ctrl+C in the result list are commands (its LVN_KEYDOWN),
    // not characters for the list's type-ahead search to look for.
    constexpr WPARAM kCtrlA = 0x01;
    constexpr WPARAM kCtrlC = 0x03;
    if (message->message == WM_CHAR && message->hwnd == results &&
        (message->wParam == kCtrlA || message->wParam == kCtrlC)) {
        return true;
    }
    return Handle() != nullptr && ::IsDialogMessageW(Handle(), message) != FALSE;
}

LRESULT MainForm::OnGo(WORD, WORD, HWND, bool&) {
    Control().Go();
    return 0;
}

LRESULT MainForm::OnCloseCommand(WORD, WORD id, HWND, bool&) {
    // A second close command while the question is open (the notification
    // area's Exit, say) would ask again on top of it.
    if (closeInProgress) return 0;
    closeInProgress = true;
    const bool proceed = Control().RequestClose();
    closeInProgress = false;
    if (!proceed) return 0;
    DestroyWindow();
    ::PostQuitMessage(id);
    return 0;
}

LRESULT MainForm::OnQueryEndSession(UINT, WPARAM, LPARAM, bool&) {
    return TRUE;
}

LRESULT MainForm::OnEndSession(UINT, WPARAM ending, LPARAM, bool&) {
    if (ending) Control().EndSession();
    return 0;
}
