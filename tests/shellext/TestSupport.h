#pragma once
// Helpers for the shell-extension tests: a CF_HDROP data object, recorded
// message boxes, scratch registry keys and folders, and the stand-in Torvane.

#include "shellext/Prompts.h"
#include "tests/support/TempFolder.h"

#include <windows.h>
#include <objidl.h>

#include <string>
#include <utility>
#include <vector>

namespace ShellextTests {

// Owns one COM reference.
template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() { reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : pointer_(other.pointer_) { other.pointer_ = nullptr; }
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            reset();
            pointer_ = other.pointer_;
            other.pointer_ = nullptr;
        }
        return *this;
    }
    T* get() const { return pointer_; }
    T* operator->() const { return pointer_; }
    T** put() {
        reset();
        return &pointer_;
    }
    void** putVoid() { return reinterpret_cast<void**>(put()); }
    void reset() {
        if (pointer_ != nullptr) pointer_->Release();
        pointer_ = nullptr;
    }
    explicit operator bool() const { return pointer_ != nullptr; }

private:
    T* pointer_ = nullptr;
};

// A DROPFILES block holding the names, wide or ANSI.
std::vector<BYTE> DropBlock(const std::vector<std::wstring>& names, bool wide = true);

// A data object that serves one CF_HDROP block, as Explorer's does.
class DropDataObject final : public IDataObject {
public:
    enum class Mode { Serve, FailGetData, ServeStream };
    static ComPtr<IDataObject> Create(std::vector<BYTE> block, Mode mode = Mode::Serve);

    STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override;
    STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHODIMP QueryGetData(FORMATETC* format) override;
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
    STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    DropDataObject(std::vector<BYTE> block, Mode mode) : block_(std::move(block)), mode_(mode) {}
    ~DropDataObject() = default;
    LONG references_ = 1;
    std::vector<BYTE> block_;
    Mode mode_;
};

inline ComPtr<IDataObject> DropOf(const std::vector<std::wstring>& names) {
    return DropDataObject::Create(DropBlock(names));
}

// Answers every message box with OK and keeps what it was asked.
class RecordedPrompts final : public Marrowgate::Prompts {
public:
    struct Box {
        HWND owner;
        std::wstring text;
        std::wstring caption;
        UINT type;
    };
    RecordedPrompts() { previous_ = Marrowgate::SetPrompts(this); }
    ~RecordedPrompts() override { Marrowgate::SetPrompts(previous_); }
    int Show(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) override {
        boxes.push_back({owner, text, caption, type});
        return IDOK;
    }
    std::vector<Box> boxes;

private:
    Marrowgate::Prompts* previous_ = nullptr;
};

using ::TempFolder;

// The folder the test program runs from (Marrowgate.dll and the stand-in are copied there).
std::wstring TestProgramFolder();

// HKLM\Software\Norvask\Torvane with InstallPath as given. Afterwards the
// keys this scope created are removed and an InstallPath it replaced is put back.
class InstallPathScope {
public:
    InstallPathScope();  // the key exists, without InstallPath
    InstallPathScope(DWORD type, const void* data, DWORD size);
    explicit InstallPathScope(const std::wstring& folder);
    ~InstallPathScope();
    InstallPathScope(const InstallPathScope&) = delete;
    InstallPathScope& operator=(const InstallPathScope&) = delete;

private:
    void Create();

    bool createdVendorKey_ = false;
    bool createdSettingsKey_ = false;
    bool hadValue_ = false;
    DWORD oldType_ = REG_NONE;
    std::vector<BYTE> oldData_;
};

// A folder holding the stand-in as Torvane.exe; reads what the stand-in recorded.
class StandInInstallation {
public:
    StandInInstallation();
    std::wstring folder() const { return folder_.Path(); }
    struct Record {
        std::wstring commandLine;
        std::wstring currentDirectory;
    };
    // Waits up to a few seconds for the stand-in's record.
    bool WaitForRecord(Record& record) const;

private:
    TempFolder folder_;
};

// One registry key and everything below it, one line per key and per value,
// named from `path` downwards: "path" and "path|name|type|data".
std::vector<std::wstring> RegistryLines(HKEY root, const std::wstring& path);
bool KeyExists(HKEY root, const std::wstring& path);

// Runs a program and waits for it; returns its exit code (or ~0u when it did not start).
DWORD RunAndWait(const std::wstring& commandLine);

std::wstring GuidText(const GUID& guid);
std::wstring HexCode(HRESULT hr);

}  // namespace ShellextTests
