// Stands in for Torvane.exe in the launcher tests: records the command line it
// was started with and its working directory next to itself, then exits.

#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    folder.resize(folder.rfind(L'\\'));

    wchar_t directory[32768];
    const DWORD directoryLength = GetCurrentDirectoryW(32768, directory);
    const std::wstring record = std::wstring(GetCommandLineW()) + L"\n" + std::wstring(directory, directoryLength);

    // Written whole under another name first, so a reader never sees half of it.
    const std::wstring partial = folder + L"\\launch-record.tmp";
    HANDLE file = CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    const DWORD size = static_cast<DWORD>(record.size() * sizeof(wchar_t));
    const BOOL wrote = WriteFile(file, record.data(), size, &written, nullptr);
    CloseHandle(file);
    if (!wrote || written != size) return 1;
    return MoveFileExW(partial.c_str(), (folder + L"\\launch-record.txt").c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
