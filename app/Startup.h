#pragma once
// The start-up sequence: from process entry to the end of the message loop.

#include <windows.h>

#include <cstdint>
#include <string>

class MainForm;

// What the start-up sequence asks of the system, so tests can run it whole
// with a failing or scripted system. SystemStartup is the real one.
class StartupEnvironment {
public:
    virtual ~StartupEnvironment() = default;

    virtual bool IsXPOrLater() = 0;
    virtual bool IsVistaOrLater() = 0;
    // Throws Exception after "GetModuleFileName failed.".
    virtual std::wstring ModuleFileName() = 0;
    // Starts path elevated ("runas") with parameters and show command 0.
    // Returns the ShellExecuteW result and the last error after it.
    struct LaunchResult {
        std::intptr_t code;
        std::uint32_t lastError;
    };
    virtual LaunchResult LaunchElevated(const std::wstring& path, const std::wstring& parameters) = 0;
    virtual bool ModifyPrivilege(const std::wstring& name, bool enable) = 0;
    // The UNC name of a path on a mapped network drive; false for any other.
    virtual bool UniversalName(const std::wstring& path, std::wstring& universal) = 0;
    // A message box without owner window.
    virtual int ShowMessage(const std::wstring& text, const std::wstring& caption, unsigned style) = 0;
    // The full process command line, program path first.
    virtual std::wstring CommandLine() = 0;
    // Called once the form object exists and before its window is created.
    virtual void PrepareForm(MainForm&) {}
};

class SystemStartup : public StartupEnvironment {
public:
    bool IsXPOrLater() override;
    bool IsVistaOrLater() override;
    std::wstring ModuleFileName() override;
    LaunchResult LaunchElevated(const std::wstring& path, const std::wstring& parameters) override;
    bool ModifyPrivilege(const std::wstring& name, bool enable) override;
    bool UniversalName(const std::wstring& path, std::wstring& universal) override;
    int ShowMessage(const std::wstring& text, const std::wstring& caption, unsigned style) override;
    std::wstring CommandLine() override;
};

namespace Startup {
extern const wchar_t* const kCaption;             // "Torvane"
extern const wchar_t* const kOldSystemText;       // "This application required Windows XP or higher."
extern const wchar_t* const kStartupErrorText;    // "The application could not start. Try reinstalling the product."
}  // namespace Startup

// The failure message of the start-up sequence: an error box without owner.
void ShowStartupError(StartupEnvironment& environment, const std::wstring& caption);

// Runs the program: version check, elevated re-launch (unless started with
// show command 0; paths on mapped network drives passed as UNC paths), backup privilege, main form, command line, the choosers
// when there are no arguments, the message loop. Returns the exit code: the
// closing command's id (2 or 32780), or 0 when start-up ended early or failed.
int RunApplication(const std::wstring& commandLineTail, int showCommand, StartupEnvironment& environment);
