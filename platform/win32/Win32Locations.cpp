// What identifies a file and where it really is: its file ID (128 bits where
// the system has them) and its final path after links, junctions, mount
// points, substituted drives and shares of this machine's own folders.

#include "platform/win32/Win32Folders.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

namespace {

std::uint32_t LastError() { return static_cast<std::uint32_t>(GetLastError()); }

// Post-XP calls, looked up once: a 128-bit file ID (FileIdInfo, Windows 8
// and later) and the final path of an open file (Vista and later).
struct FileIdInformation {
    ULONGLONG volumeSerialNumber;
    BYTE identifier[16];
};
constexpr int kFileIdInfo = 18;
using InformationByHandle = BOOL(WINAPI*)(HANDLE, int, LPVOID, DWORD);
using FinalPathByHandle = DWORD(WINAPI*)(HANDLE, LPWSTR, DWORD, DWORD);

struct LocationCalls {
    InformationByHandle informationByHandle = nullptr;
    FinalPathByHandle finalPath = nullptr;
    LocationCalls() {
        if (const HMODULE kernel = GetModuleHandleW(L"kernel32.dll")) {
            informationByHandle = reinterpret_cast<InformationByHandle>(
                reinterpret_cast<void (*)()>(GetProcAddress(kernel, "GetFileInformationByHandleEx")));
            finalPath = reinterpret_cast<FinalPathByHandle>(
                reinterpret_cast<void (*)()>(GetProcAddress(kernel, "GetFinalPathNameByHandleW")));
        }
    }
};

const LocationCalls& Calls() {
    static const LocationCalls calls;
    return calls;
}

// Opens what path names (links followed) without asking for any access.
HANDLE OpenToQuery(const std::wstring& path) {
    return CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// "\\?\C:\x" is "C:\x", "\\?\UNC\s\x" is "\\s\x".
std::wstring PlainForm(const std::wstring& path) {
    if (path.compare(0, 8, L"\\\\?\\UNC\\") == 0) return L"\\" + path.substr(7);
    if (path.compare(0, 4, L"\\\\?\\") == 0) return path.substr(4);
    return path;
}

// The folder a substituted drive stands for, in place of its letter (the
// only alias XP can tell without the final path).
std::wstring WithoutSubstitutes(std::wstring path) {
    for (int depth = 0; depth < 8 && path.size() >= 2 && path[1] == L':'; ++depth) {
        wchar_t device[MAX_PATH + 1] = {};
        const wchar_t drive[3] = {path[0], L':', 0};
        if (!QueryDosDeviceW(drive, device, MAX_PATH + 1)) break;
        const std::wstring target = device;
        if (target.compare(0, 4, L"\\??\\") != 0) break;  // a device of its own: a real drive
        std::wstring folder = PlainForm(L"\\\\?\\" + target.substr(4));
        if (!folder.empty() && folder.back() == L'\\') folder.pop_back();
        path = folder + path.substr(2);
    }
    return path;
}

// A share of this machine's own disk, in place of "\\server\share": the
// folder it shares (netapi32, loaded only when such a path comes up). Other
// paths, and shares whose folder cannot be read, stay as they are.
std::wstring WithoutLocalShare(const std::wstring& path) {
    if (path.size() < 3 || path[0] != L'\\' || path[1] != L'\\' || path[2] == L'?' || path[2] == L'.') return path;
    const std::size_t serverEnd = path.find(L'\\', 2);
    if (serverEnd == std::wstring::npos) return path;
    const std::size_t shareEnd = std::min(path.find(L'\\', serverEnd + 1), path.size());
    const std::wstring server = path.substr(2, serverEnd - 2);
    const std::wstring share = path.substr(serverEnd + 1, shareEnd - serverEnd - 1);
    wchar_t computer[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD length = MAX_COMPUTERNAME_LENGTH + 1;
    GetComputerNameW(computer, &length);
    if (lstrcmpiW(server.c_str(), computer) != 0 && lstrcmpiW(server.c_str(), L"localhost") != 0 &&
        server != L"127.0.0.1") {
        return path;
    }
    struct ShareInfo2 {
        LPWSTR netname;
        DWORD type;
        LPWSTR remark;
        DWORD permissions;
        DWORD maxUses;
        DWORD currentUses;
        LPWSTR path;
        LPWSTR password;
    };
    using GetShareInfo = DWORD(WINAPI*)(LPWSTR, LPWSTR, DWORD, LPBYTE*);
    using FreeBuffer = DWORD(WINAPI*)(LPVOID);
    const HMODULE netapi = LoadLibraryW(L"netapi32.dll");
    if (!netapi) return path;
    const auto getInfo =
        reinterpret_cast<GetShareInfo>(reinterpret_cast<void (*)()>(GetProcAddress(netapi, "NetShareGetInfo")));
    const auto freeBuffer =
        reinterpret_cast<FreeBuffer>(reinterpret_cast<void (*)()>(GetProcAddress(netapi, "NetApiBufferFree")));
    std::wstring result = path;
    LPBYTE buffer = nullptr;
    std::wstring name = share;
    if (getInfo && freeBuffer && getInfo(nullptr, &name[0], 2, &buffer) == 0 && buffer) {
        const auto* info = reinterpret_cast<const ShareInfo2*>(buffer);
        if (info->path && info->path[0]) {
            std::wstring folder = info->path;
            if (!folder.empty() && folder.back() == L'\\') folder.pop_back();
            result = folder + path.substr(shareEnd);
        }
        freeBuffer(buffer);
    }
    FreeLibrary(netapi);
    return result;
}

}  // namespace

std::uint32_t Win32Folders::IdentifyFile(const std::wstring& path, FileIdentity& identity) {
    // No access rights are asked for: reading the identity needs none, and
    // backup semantics let the call open folders too.
    const HANDLE handle = OpenToQuery(path);
    if (handle == INVALID_HANDLE_VALUE) return LastError();
    FileIdentity found;
    std::uint32_t error = ERROR_NOT_SUPPORTED;
    FileIdInformation id;
    if (Calls().informationByHandle && Calls().informationByHandle(handle, kFileIdInfo, &id, sizeof id)) {
        // ReFS indexes are 128 bits; the lower 64 alone need not be unique.
        found.volume = id.volumeSerialNumber;
        std::memcpy(&found.index, id.identifier, 8);
        std::memcpy(&found.indexHigh, id.identifier + 8, 8);
        error = ERROR_SUCCESS;
    } else {
        BY_HANDLE_FILE_INFORMATION information;
        if (GetFileInformationByHandle(handle, &information)) {
            found.volume = information.dwVolumeSerialNumber;
            found.index =
                (static_cast<std::uint64_t>(information.nFileIndexHigh) << 32) | information.nFileIndexLow;
            error = ERROR_SUCCESS;
        } else {
            error = LastError();
        }
    }
    CloseHandle(handle);
    if (error != ERROR_SUCCESS) return error;
    identity = found;
    return ERROR_SUCCESS;
}

std::uint32_t Win32Folders::RealPath(const std::wstring& path, std::wstring& realPath) {
    std::wstring full;
    if (std::uint32_t error = FullPath(path, full)) return error;
    if (Calls().finalPath) {
        const HANDLE handle = OpenToQuery(full);
        if (handle == INVALID_HANDLE_VALUE) return LastError();
        std::wstring buffer(MAX_PATH, L'\0');
        DWORD length = Calls().finalPath(handle, &buffer[0], static_cast<DWORD>(buffer.size()), 0);
        if (length >= buffer.size()) {
            buffer.assign(length + 1, L'\0');
            length = Calls().finalPath(handle, &buffer[0], static_cast<DWORD>(buffer.size()), 0);
        }
        const std::uint32_t error = length == 0 || length >= buffer.size() ? LastError() : ERROR_SUCCESS;
        CloseHandle(handle);
        if (error == ERROR_SUCCESS) {
            buffer.resize(length);
            realPath = WithoutLocalShare(PlainForm(buffer));
            return ERROR_SUCCESS;
        }
    }
    // XP, or a volume without a drive letter: substituted drives are the
    // alias that can be seen through; links and junctions on the way are
    // left to the identity of the folders.
    realPath = WithoutLocalShare(WithoutSubstitutes(PlainForm(full)));
    return ERROR_SUCCESS;
}
