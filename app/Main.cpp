// Torvane.exe's entry point.

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "app/Startup.h"
#include "ui/framework/AppModule.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLineTail, int showCommand) {
    ::CoInitialize(nullptr);  // the folder browser needs an apartment; a failure leaves it plain

    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    // The bars, plus the list view and progress bar classes of the main form.
    controls.dwICC = ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS;
    ::InitCommonControlsEx(&controls);

    Framework::AppModule::Init(instance);
    SystemStartup environment;
    const int exitCode = RunApplication(commandLineTail != nullptr ? commandLineTail : L"", showCommand, environment);
    Framework::AppModule::Term();
    ::CoUninitialize();
    return exitCode;
}
