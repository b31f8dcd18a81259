#include "shellext/Launcher.h"

#include "shellext/Handles.h"
#include "shellext/Prompts.h"
#include "shellext/Texts.h"

#include <shellapi.h>

#include <new>

namespace Marrowgate {
namespace {

// What a ShellExecuteW result of 32 or less means, as an HRESULT.
HRESULT ShellExecuteFailure(INT_PTR code) {
    switch (code) {
    case 0:
    case SE_ERR_OOM:
        return E_OUTOFMEMORY;
    case SE_ERR_FNF:
        return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    case SE_ERR_PNF:
        return HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
    case SE_ERR_ACCESSDENIED:
        return E_ACCESSDENIED;
    case ERROR_BAD_FORMAT:
        return HRESULT_FROM_WIN32(ERROR_BAD_FORMAT);
    default:
        return E_FAIL;
    }
}

}  // namespace

std::wstring BuildParameters(const std::vector<std::wstring>& items, const std::wstring* destination) {
    std::wstring parameters;
    for (const std::wstring& item : items) {
        parameters += L'"';
        parameters += item;
        parameters += L"\" ";
    }
    if (destination != nullptr) {
        parameters += L'"';
        parameters += *destination;
        parameters += L'"';
    } else if (!items.empty()) {
        parameters += L"\"\"";
    }
    return parameters;
}

std::wstring BuildProgramPath(const std::wstring& installFolder) {
    return installFolder + L"\\" + kProgramName + kProgramExtension;
}

bool FitsOnCommandLine(const std::wstring& program, const std::wstring& parameters) {
    // Quotes around the program, the space after it, the terminator.
    constexpr std::size_t kCommandLineCharacters = 32767;
    return program.size() + parameters.size() + 4 <= kCommandLineCharacters;
}

LONG ReadInstallPath(HKEY settingsKey, std::wstring& folder) {
    // Room for 260 characters and the terminator.
    wchar_t buffer[MAX_PATH + 1];
    DWORD type = REG_NONE;
    DWORD size = sizeof(buffer);
    const LONG result =
        ::RegQueryValueExW(settingsKey, kInstallPathValue, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    if (result != ERROR_SUCCESS) return result;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return ERROR_INVALID_DATA;
    if (size % sizeof(wchar_t) != 0) return ERROR_INVALID_DATA;
    const DWORD characters = size / sizeof(wchar_t);
    if (characters > 0 && buffer[characters - 1] != L'\0') return ERROR_INVALID_DATA;
    folder.assign(buffer, characters > 0 ? characters - 1 : 0);
    // A terminator inside the data ends the text, as every reader of the value sees it.
    folder.resize(folder.find(L'\0') == std::wstring::npos ? folder.size() : folder.find(L'\0'));
    return ERROR_SUCCESS;
}

HRESULT LaunchMainProgram(const std::vector<std::wstring>& items, const std::wstring* destination,
                          WorkingDirectory workingDirectory) noexcept {
    try {
        UniqueKey settings;
        if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSettingsKeyPath, 0, KEY_QUERY_VALUE, settings.put()) !=
            ERROR_SUCCESS) {
            ShowMessage(nullptr, kInstallationMessage, kCaption, MB_OK);
            return E_ACCESSDENIED;
        }
        std::wstring installFolder;
        if (ReadInstallPath(settings.get(), installFolder) != ERROR_SUCCESS) {
            ShowMessage(nullptr, kInstallationMessage, kCaption, MB_OK);
            return E_FAIL;
        }
        const std::wstring program = BuildProgramPath(installFolder);
        const std::wstring parameters = BuildParameters(items, destination);
        if (!FitsOnCommandLine(program, parameters)) {
            ShowMessage(nullptr, kSelectionTooLongMessage, kCaption, MB_OK);
            return HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
        }
        const wchar_t* directory =
            workingDirectory == WorkingDirectory::InstallFolder ? installFolder.c_str() : nullptr;
        const HINSTANCE started =
            ::ShellExecuteW(nullptr, nullptr, program.c_str(), parameters.c_str(), directory, SW_SHOWNORMAL);
        const INT_PTR code = reinterpret_cast<INT_PTR>(started);
        return code > 32 ? S_OK : ShellExecuteFailure(code);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

}  // namespace Marrowgate
