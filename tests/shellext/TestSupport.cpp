#include "tests/shellext/TestSupport.h"

#include "shellext/Handles.h"
#include "shellext/Registrar.h"
#include "shellext/Texts.h"

#include <shlobj.h>

#include <cstdio>
#include <cstring>

namespace ShellextTests {

std::vector<BYTE> DropBlock(const std::vector<std::wstring>& names, bool wide) {
    std::vector<BYTE> list;
    for (const std::wstring& name : names) {
        if (wide) {
            const BYTE* bytes = reinterpret_cast<const BYTE*>(name.c_str());
            list.insert(list.end(), bytes, bytes + (name.size() + 1) * sizeof(wchar_t));
        } else {
            for (wchar_t c : name) list.push_back(static_cast<BYTE>(c));
            list.push_back(0);
        }
    }
    // The empty name that ends the list.
    list.resize(list.size() + (wide ? sizeof(wchar_t) : 1), 0);
    DROPFILES header{};
    header.pFiles = sizeof(DROPFILES);
    header.fWide = wide ? TRUE : FALSE;
    std::vector<BYTE> block(sizeof(header) + list.size());
    std::memcpy(block.data(), &header, sizeof(header));
    std::memcpy(block.data() + sizeof(header), list.data(), list.size());
    return block;
}

ComPtr<IDataObject> DropDataObject::Create(std::vector<BYTE> block, Mode mode) {
    ComPtr<IDataObject> object;
    *object.put() = new DropDataObject(std::move(block), mode);
    return object;
}

STDMETHODIMP DropDataObject::QueryInterface(REFIID riid, void** object) {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDataObject)) {
        *object = static_cast<IDataObject*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) DropDataObject::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&references_));
}

STDMETHODIMP_(ULONG) DropDataObject::Release() {
    const LONG count = InterlockedDecrement(&references_);
    if (count == 0) delete this;
    return static_cast<ULONG>(count);
}

STDMETHODIMP DropDataObject::QueryGetData(FORMATETC* format) {
    return format->cfFormat == CF_HDROP && mode_ != Mode::FailGetData ? S_OK : DV_E_FORMATETC;
}

STDMETHODIMP DropDataObject::GetData(FORMATETC* format, STGMEDIUM* medium) {
    if (mode_ == Mode::FailGetData) return E_FAIL;
    if (format->cfFormat != CF_HDROP || (format->tymed & TYMED_HGLOBAL) == 0) return DV_E_FORMATETC;
    if (mode_ == Mode::ServeStream) {
        // A medium of another kind than asked for: a careless data object.
        medium->tymed = TYMED_ISTREAM;
        medium->pUnkForRelease = nullptr;
        return CreateStreamOnHGlobal(nullptr, TRUE, &medium->pstm);
    }
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, block_.size());
    if (memory == nullptr) return E_OUTOFMEMORY;
    std::memcpy(GlobalLock(memory), block_.data(), block_.size());
    GlobalUnlock(memory);
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = memory;
    medium->pUnkForRelease = nullptr;
    return S_OK;
}

std::wstring TestProgramFolder() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.rfind(L'\\'));
}

namespace {

constexpr const wchar_t* kVendorKeyPath = L"Software\\Norvask";

Marrowgate::UniqueKey OpenSettingsKey() {
    Marrowgate::UniqueKey key;
    RegCreateKeyExW(HKEY_LOCAL_MACHINE, Marrowgate::kSettingsKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                    key.put(), nullptr);
    return key;
}

}  // namespace

void InstallPathScope::Create() {
    createdVendorKey_ = !KeyExists(HKEY_LOCAL_MACHINE, kVendorKeyPath);
    createdSettingsKey_ = !KeyExists(HKEY_LOCAL_MACHINE, Marrowgate::kSettingsKeyPath);
    const Marrowgate::UniqueKey key = OpenSettingsKey();
    DWORD size = 0;
    if (key && RegQueryValueExW(key.get(), Marrowgate::kInstallPathValue, nullptr, &oldType_, nullptr, &size) ==
                   ERROR_SUCCESS) {
        oldData_.resize(size);
        hadValue_ = RegQueryValueExW(key.get(), Marrowgate::kInstallPathValue, nullptr, &oldType_,
                                     oldData_.data(), &size) == ERROR_SUCCESS;
        oldData_.resize(size);
        RegDeleteValueW(key.get(), Marrowgate::kInstallPathValue);
    }
}

InstallPathScope::InstallPathScope() {
    Create();
}

InstallPathScope::InstallPathScope(DWORD type, const void* data, DWORD size) {
    Create();
    const Marrowgate::UniqueKey key = OpenSettingsKey();
    if (key) {
        // The system counts a terminator that follows the given bytes into a
        // string value; stored bytes are meant exactly, so none follows here.
        std::vector<BYTE> exact(static_cast<const BYTE*>(data), static_cast<const BYTE*>(data) + size);
        exact.push_back('X');
        exact.push_back('X');
        RegSetValueExW(key.get(), Marrowgate::kInstallPathValue, 0, type, exact.data(), size);
    }
}

InstallPathScope::InstallPathScope(const std::wstring& folder)
    : InstallPathScope(REG_SZ, folder.c_str(), static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t))) {}

InstallPathScope::~InstallPathScope() {
    if (createdVendorKey_) {
        Marrowgate::DeleteKeyTree(HKEY_LOCAL_MACHINE, kVendorKeyPath);
    } else if (createdSettingsKey_) {
        Marrowgate::DeleteKeyTree(HKEY_LOCAL_MACHINE, Marrowgate::kSettingsKeyPath);
    } else {
        const Marrowgate::UniqueKey key = OpenSettingsKey();
        if (hadValue_) {
            RegSetValueExW(key.get(), Marrowgate::kInstallPathValue, 0, oldType_, oldData_.data(),
                           static_cast<DWORD>(oldData_.size()));
        } else {
            RegDeleteValueW(key.get(), Marrowgate::kInstallPathValue);
        }
    }
}

StandInInstallation::StandInInstallation() {
    const std::wstring standIn = TestProgramFolder() + L"\\marrowgate_standin.exe";
    CopyFileW(standIn.c_str(), (folder_.Path() + L"\\Torvane.exe").c_str(), FALSE);
}

bool StandInInstallation::WaitForRecord(Record& record) const {
    const std::wstring path = folder_.Path() + L"\\launch-record.txt";
    // A cold start of a program under Wine can take seconds on a loaded machine.
    for (int attempt = 0; attempt < 600; ++attempt) {
        FILE* file = _wfopen(path.c_str(), L"rb");
        if (file != nullptr) {
            std::wstring text;
            wchar_t c;
            while (std::fread(&c, sizeof(c), 1, file) == 1) text += c;
            std::fclose(file);
            const std::size_t newline = text.find(L'\n');
            record.commandLine = text.substr(0, newline);
            record.currentDirectory = newline == std::wstring::npos ? L"" : text.substr(newline + 1);
            return true;
        }
        Sleep(50);
    }
    return false;
}

namespace {

std::wstring ValueText(DWORD type, const std::vector<BYTE>& data, DWORD size) {
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        std::wstring text(reinterpret_cast<const wchar_t*>(data.data()), size / sizeof(wchar_t));
        while (!text.empty() && text.back() == L'\0') text.pop_back();
        return (type == REG_SZ ? L"REG_SZ:" : L"REG_EXPAND_SZ:") + text;
    }
    std::wstring hex = L"type" + std::to_wstring(type) + L":";
    for (DWORD i = 0; i < size; ++i) {
        wchar_t pair[4];
        swprintf(pair, 4, L"%02x", data[i]);
        hex += pair;
    }
    return hex;
}

void CollectLines(HKEY key, const std::wstring& path, std::vector<std::wstring>& lines) {
    lines.push_back(path);
    for (DWORD index = 0;; ++index) {
        wchar_t name[16384];
        DWORD nameLength = 16384;
        std::vector<BYTE> data(65536);
        DWORD size = static_cast<DWORD>(data.size());
        DWORD type = 0;
        if (RegEnumValueW(key, index, name, &nameLength, nullptr, &type, data.data(), &size) != ERROR_SUCCESS) break;
        lines.push_back(path + L"|" + std::wstring(name, nameLength) + L"|" + ValueText(type, data, size));
    }
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD nameLength = 256;
        if (RegEnumKeyExW(key, index, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        Marrowgate::UniqueKey child;
        if (RegOpenKeyExW(key, name, 0, KEY_READ, child.put()) == ERROR_SUCCESS) {
            CollectLines(child.get(), path + L"\\" + name, lines);
        }
    }
}

}  // namespace

std::vector<std::wstring> RegistryLines(HKEY root, const std::wstring& path) {
    std::vector<std::wstring> lines;
    Marrowgate::UniqueKey key;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS) {
        CollectLines(key.get(), path, lines);
    }
    return lines;
}

bool KeyExists(HKEY root, const std::wstring& path) {
    Marrowgate::UniqueKey key;
    return RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

DWORD RunAndWait(const std::wstring& commandLine) {
    std::wstring text = commandLine;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, &text[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        return ~0u;
    }
    WaitForSingleObject(process.hProcess, 60000);
    DWORD code = ~0u;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

std::wstring GuidText(const GUID& guid) {
    wchar_t text[40];
    StringFromGUID2(guid, text, 40);
    return text;
}

std::wstring HexCode(HRESULT hr) {
    wchar_t text[16];
    swprintf(text, 16, L"0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

}  // namespace ShellextTests
