#include "app/Startup.h"

#include <shellapi.h>

#include <exception>

#include "app/MappedDrives.h"
#include "platform/win32/System.h"
#include "core/CommandLine.h"
#include "core/Diagnostics.h"
#include "core/Exception.h"
#include "ui/MainForm.h"
#include "ui/framework/AppModule.h"
#include "ui/framework/CallbackGuard.h"
#include "ui/framework/MessageLoop.h"

namespace Startup {
const wchar_t* const kCaption = L"Torvane";
const wchar_t* const kOldSystemText = L"This application required Windows XP or higher.";
const wchar_t* const kStartupErrorText = L"The application could not start. Try reinstalling the product.";
}  // namespace Startup

bool SystemStartup::IsXPOrLater() { return System::IsXPOrLater(); }
bool SystemStartup::IsVistaOrLater() { return System::IsVistaOrLater(); }
std::wstring SystemStartup::ModuleFileName() { return System::ModuleFileName(); }

StartupEnvironment::LaunchResult SystemStartup::LaunchElevated(const std::wstring& path,
                                                               const std::wstring& parameters) {
    HINSTANCE result = ::ShellExecuteW(nullptr, L"runas", path.c_str(), parameters.c_str(), nullptr, SW_HIDE);
    const DWORD error = ::GetLastError();
    return {reinterpret_cast<std::intptr_t>(result), error};
}

bool SystemStartup::ModifyPrivilege(const std::wstring& name, bool enable) {
    return System::ModifyPrivilege(name, enable);
}

bool SystemStartup::UniversalName(const std::wstring& path, std::wstring& universal) {
    return System::UniversalName(path, universal);
}

int SystemStartup::ShowMessage(const std::wstring& text, const std::wstring& caption, unsigned style) {
    return ::MessageBoxW(nullptr, text.c_str(), caption.c_str(), style);
}

std::wstring SystemStartup::CommandLine() {
    const wchar_t* line = ::GetCommandLineW();
    return line != nullptr ? line : L"";
}

void ShowStartupError(StartupEnvironment& environment, const std::wstring& caption) {
    environment.ShowMessage(Startup::kStartupErrorText, caption, MB_ICONERROR | MB_OK);
}

namespace {

// The thread's loop is registered with the application module while it lives.
class LoopRegistration {
public:
    explicit LoopRegistration(Framework::MessageLoop& loop) { Framework::AppModule::AddMessageLoop(&loop); }
    ~LoopRegistration() { Framework::AppModule::RemoveMessageLoop(); }
    LoopRegistration(const LoopRegistration&) = delete;
    LoopRegistration& operator=(const LoopRegistration&) = delete;
};

// The part of the sequence that runs under the start-up handler. The form
// and the loop are locals: when anything throws, the form (window, engine
// threads, notification icon) is gone before the failure is shown.
int RunMainForm(StartupEnvironment& environment) {
    if (!environment.ModifyPrivilege(L"SeBackupPrivilege", true)) {
        Diagnostics::Raise(L"System::ModifyPrivilege failed", Diagnostics::LastError());
    }

    Framework::MessageLoop loop;
    LoopRegistration registration(loop);
    MainForm form(SystemPlatform());
    environment.PrepareForm(form);
    if (form.Create(nullptr, 0) == nullptr) {
        Diagnostics::Raise(L"MainForm::Create failed", Diagnostics::LastError());
    }
    // A failure inside the form's initialisation left a half-built window.
    Framework::CallbackGuard::RethrowPending();

    ::ShowWindow(form.Handle(), SW_SHOWDEFAULT);
    ::ShowWindow(form.Handle(), SW_SHOWNORMAL);

    const ArgumentFields fields = FieldsFromArguments(SplitArguments(environment.CommandLine()));
    if (fields.setFrom) form.SetSources(fields.sources);
    if (fields.setTo) form.SetToText(fields.toText);
    form.SetStartedWithoutArguments(fields.startedWithoutArguments);

    form.OnStartup();
    Framework::CallbackGuard::RethrowPending();
    return loop.Run();
}

}  // namespace

int RunApplication(const std::wstring& commandLineTail, int showCommand, StartupEnvironment& environment) {
    if (!environment.IsXPOrLater()) {
        environment.ShowMessage(Startup::kOldSystemText, Startup::kCaption, MB_ICONINFORMATION);
        return 0;
    }

    std::wstring path;
    try {
        path = environment.ModuleFileName();
    } catch (const Exception&) {
        // Without its own path the program cannot re-launch; it says so
        // rather than ending on an unhandled exception.
        ShowStartupError(environment, Startup::kCaption);
        return 0;
    }

    if (showCommand != SW_HIDE && environment.IsVistaOrLater()) {
        // The elevated instance does not see this user's mapped drives.
        const std::wstring parameters =
            ParametersForElevation(commandLineTail, [&environment](const std::wstring& p, std::wstring& unc) {
                return environment.UniversalName(p, unc);
            });
        const StartupEnvironment::LaunchResult launch = environment.LaunchElevated(path, parameters);
        if (launch.code == SE_ERR_FNF) Diagnostics::Report(L"Error executing: " + path, 0);
        // Started elevated, or the user declined: this instance is done. Any
        // other failure would leave the user with no program at all, so it
        // runs on here without elevation.
        if (launch.code > 32 || launch.lastError == ERROR_CANCELLED) return 0;
    }

    try {
        return RunMainForm(environment);
    } catch (const Exception&) {
        ShowStartupError(environment, Startup::kCaption);
        return 0;
    } catch (const std::exception&) {
        // Out of memory and the like: the same message, never a crash dialog.
        ShowStartupError(environment, Startup::kCaption);
        return 0;
    }
}
