// Torvane's start-up over a system that refuses the backup privilege: the
// process tests start it to see the one start-up message and exit code 0.

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "app/Startup.h"
#include "ui/framework/AppModule.h"

namespace {

class PrivilegeRefused : public SystemStartup {
public:
    bool ModifyPrivilege(const std::wstring&, bool) override {
        ::SetLastError(ERROR_FUNCTION_FAILED);
        return false;
    }
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLineTail, int showCommand) {
    ::CoInitialize(nullptr);
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&controls);
    Framework::AppModule::Init(instance);
    PrivilegeRefused environment;
    const int exitCode = RunApplication(commandLineTail != nullptr ? commandLineTail : L"", showCommand, environment);
    Framework::AppModule::Term();
    ::CoUninitialize();
    return exitCode;
}
