#pragma once
// Helpers for driving real windows in tests: message pumping until a
// condition holds, reading controls, temporary folders, scripted prompts.

#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tests/control/TestPrompt.h"
#include "tests/support/TempFolder.h"
#include "control/Prompt.h"

namespace UiTest {

// Dispatches messages (timers included) until done() holds or the time is
// up; true when done() held. A WM_QUIT met on the way is kept in *quitCode.
bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 10000, int* quitCode = nullptr);

// Dispatches messages for the given time.
void PumpFor(int milliseconds, int* quitCode = nullptr);

std::wstring Text(HWND window);
bool Enabled(HWND window);
bool Visible(HWND window);
bool ReadOnly(HWND edit);

struct ListRow {
    std::wstring name;
    std::wstring message;
    int image = -1;
};
std::vector<ListRow> ListRows(HWND list);
int ColumnWidth(HWND list, int column);

// Every text a window was given with WM_SETTEXT, in order, while it lives.
class TextRecorder {
public:
    explicit TextRecorder(HWND window);
    ~TextRecorder();
    TextRecorder(const TextRecorder&) = delete;
    TextRecorder& operator=(const TextRecorder&) = delete;
    const std::vector<std::wstring>& Texts() const { return texts; }

private:
    static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
    HWND window;
    WNDPROC original;
    std::vector<std::wstring> texts;
};

// The shared test folder; Join names an entry below it, as Path(relative) does.
class TempFolder : public ::TempFolder {
public:
    std::wstring Join(const std::wstring& relative) const { return Path(relative); }
};

void MakeFolder(const std::wstring& path);
void WriteFile(const std::wstring& path, std::size_t bytes, char seed = 'a');
std::string ReadFile(const std::wstring& path);
bool Exists(const std::wstring& path);

// Records every question and answers from a script (OK when it runs out).
using ScriptedPrompt = ::TestPrompt;

// The Windows path of a file of the build tree (wine maps Z: to /).
std::wstring WindowsPathOf(const std::string& unixPath);

}  // namespace UiTest
