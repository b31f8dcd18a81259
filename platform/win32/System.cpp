#include "platform/win32/System.h"

#include <windows.h>
#include <winnetwk.h>

#include <vector>

#include "core/Diagnostics.h"
#include "core/Exception.h"
#include "common/WindowsHandles.h"
#include "common/WindowsVersion.h"

namespace System {

bool ModifyPrivilege(const std::wstring& name, bool enable) {
    bool result = true;
    Common::UniqueKernelHandle token;
    try {
        if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.put())) {
            Diagnostics::Raise(L"OpenProcessToken failed.", Diagnostics::LastError());
        }

        LUID luid{};
        if (!::LookupPrivilegeValueW(nullptr, name.c_str(), &luid)) {
            Diagnostics::Raise(L"LookupPrivilegeValue failed.", Diagnostics::LastError());
        }

        TOKEN_PRIVILEGES privileges{};
        privileges.PrivilegeCount = 1;
        privileges.Privileges[0].Luid = luid;
        privileges.Privileges[0].Attributes = enable ? SE_PRIVILEGE_ENABLED : 0;
        // Success even when the token lacks the privilege (ERROR_NOT_ALL_ASSIGNED).
        if (!::AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr)) {
            Diagnostics::Raise(L"AdjustTokenPrivileges failed.", Diagnostics::LastError());
        }
    } catch (const Exception&) {
        token.reset();
        ::SetLastError(ERROR_FUNCTION_FAILED);
        result = false;
    }
    return result;
}

bool IsXPOrLater() { return Common::IsWindowsVersionOrLater(5, 1); }

bool IsVistaOrLater() { return Common::IsWindowsVersionOrLater(6, 0); }

std::wstring ModuleFileName() {
    // MAX_PATH first; a longer installation path gets a larger buffer rather
    // than a truncated name that would start some other file.
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD size = static_cast<DWORD>(buffer.size());
        const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), size);
        if (length == 0) Diagnostics::Raise(L"GetModuleFileName failed.", Diagnostics::LastError());
        if (length < size) return std::wstring(buffer.data(), length);
        if (buffer.size() >= 32768) Diagnostics::Raise(L"GetModuleFileName failed.", ERROR_INSUFFICIENT_BUFFER);
        buffer.resize(buffer.size() * 2);
    }
}

bool UniversalName(const std::wstring& path, std::wstring& universal) {
    // The record holds a pointer into the same buffer, followed by the name.
    std::vector<unsigned char> buffer(sizeof(UNIVERSAL_NAME_INFOW) + (MAX_PATH + 1) * sizeof(wchar_t));
    for (int attempt = 0; attempt < 2; ++attempt) {
        DWORD size = static_cast<DWORD>(buffer.size());
        const DWORD result = ::WNetGetUniversalNameW(path.c_str(), UNIVERSAL_NAME_INFO_LEVEL, buffer.data(), &size);
        if (result == ERROR_MORE_DATA && size > buffer.size()) {
            buffer.resize(size);
            continue;
        }
        if (result != NO_ERROR) return false;
        const auto* info = reinterpret_cast<const UNIVERSAL_NAME_INFOW*>(buffer.data());
        if (info->lpUniversalName == nullptr || info->lpUniversalName[0] == L'\0') return false;
        universal = info->lpUniversalName;
        return true;
    }
    return false;
}

}  // namespace System
