// Drives the installed shell extension the way Explorer does, and then the
// Torvane window it starts, for the end-to-end installer test.
//   ShellHost menu ITEM...          context-menu class: Initialize, QueryContextMenu, InvokeCommand
//   ShellHost drop FOLDER ITEM...   right-drag class with FOLDER as the drop target
//   ShellHost fields                prints the From and To texts of the running Torvane window
//   ShellHost copy DESTINATION      sets To, presses Go, answers questions, waits for completion
//   ShellHost close                 closes the Torvane window and waits for it to go
// Output lines are UTF-8; exit code 0 on success.
#include <windows.h>
#include <shlobj.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr GUID kContextMenuClass = {0x8E61C0D4, 0x5B2A, 0x4F7E, {0x9C, 0x13, 0x2D, 0x4B, 0x7A, 0x90, 0xE6, 0xF1}};
constexpr GUID kDragDropClass = {0x3B7F2E95, 0xC041, 0x4D8A, {0xA6, 0xB2, 0x71, 0xE5, 0xD0, 0x9C, 0x4A, 0x38}};
constexpr int kFromEdit = 1012;
constexpr int kToEdit = 1013;
constexpr int kGoButton = 1009;

void Print(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(size > 0 ? size - 1 : 0, '\0');
    if (size > 1) WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &utf8[0], size, nullptr, nullptr);
    std::printf("%s\n", utf8.c_str());
    std::fflush(stdout);
}

int Fail(const wchar_t* what, HRESULT hr) {
    wchar_t line[256];
    swprintf(line, 256, L"FAILED: %ls (0x%08lx)", what, static_cast<unsigned long>(hr));
    Print(line);
    return 1;
}

// A data object that offers exactly one format, CF_HDROP, as Explorer's does.
class DropDataObject : public IDataObject {
public:
    explicit DropDataObject(const std::vector<std::wstring>& paths) : paths(paths) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IDataObject) {
            *out = static_cast<IDataObject*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --refs;
        if (left == 0) delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
        if (!format || !medium) return E_POINTER;
        if (format->cfFormat != CF_HDROP || !(format->tymed & TYMED_HGLOBAL)) return DV_E_FORMATETC;
        size_t chars = 1;
        for (const auto& p : paths) chars += p.size() + 1;
        HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + chars * sizeof(wchar_t));
        if (!memory) return E_OUTOFMEMORY;
        auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
        drop->pFiles = sizeof(DROPFILES);
        drop->fWide = TRUE;
        auto* text = reinterpret_cast<wchar_t*>(reinterpret_cast<BYTE*>(drop) + sizeof(DROPFILES));
        for (const auto& p : paths) {
            memcpy(text, p.c_str(), (p.size() + 1) * sizeof(wchar_t));
            text += p.size() + 1;
        }
        *text = L'\0';
        GlobalUnlock(memory);
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = memory;
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
        return format && format->cfFormat == CF_HDROP ? S_OK : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        if (out) out->ptd = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    virtual ~DropDataObject() = default;
    ULONG refs = 1;
    std::vector<std::wstring> paths;
};

// Creates the class from the registry, initialises it and invokes its "Torvane" entry.
int InvokeHandler(const GUID& clsid, const wchar_t* folder, const std::vector<std::wstring>& items) {
    IShellExtInit* init = nullptr;
    HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IShellExtInit,
                                  reinterpret_cast<void**>(&init));
    if (FAILED(hr)) return Fail(L"CoCreateInstance", hr);

    PIDLIST_ABSOLUTE folderList = folder ? ILCreateFromPathW(folder) : nullptr;
    auto* data = new DropDataObject(items);
    hr = init->Initialize(folderList, data, nullptr);
    data->Release();
    if (folderList) ILFree(folderList);
    if (FAILED(hr)) {
        init->Release();
        return Fail(L"Initialize", hr);
    }

    IContextMenu* menu = nullptr;
    hr = init->QueryInterface(IID_IContextMenu, reinterpret_cast<void**>(&menu));
    init->Release();
    if (FAILED(hr)) return Fail(L"QueryInterface(IContextMenu)", hr);

    HMENU popup = CreatePopupMenu();
    const UINT firstId = 100;
    hr = menu->QueryContextMenu(popup, 0, firstId, 0x7FFF, CMF_NORMAL);
    if (FAILED(hr)) {
        DestroyMenu(popup);
        menu->Release();
        return Fail(L"QueryContextMenu", hr);
    }
    int offset = -1;
    for (int i = 0; i < GetMenuItemCount(popup); ++i) {
        wchar_t text[128] = {};
        GetMenuStringW(popup, i, text, 128, MF_BYPOSITION);
        if (std::wstring(text) == L"Torvane") offset = static_cast<int>(GetMenuItemID(popup, i)) - firstId;
    }
    DestroyMenu(popup);
    if (offset < 0) {
        menu->Release();
        return Fail(L"no \"Torvane\" entry in the menu", E_FAIL);
    }
    Print(L"menu entry offset " + std::to_wstring(offset));

    CMINVOKECOMMANDINFO info = {};
    info.cbSize = sizeof(info);
    info.lpVerb = MAKEINTRESOURCEA(offset);
    info.nShow = SW_SHOWNORMAL;
    hr = menu->InvokeCommand(&info);
    menu->Release();
    if (FAILED(hr)) return Fail(L"InvokeCommand", hr);
    Print(L"invoked");
    return 0;
}

HWND FindMainWindow(DWORD waitMs) {
    for (DWORD waited = 0;; waited += 100) {
        HWND window = FindWindowW(L"#32770", L"Torvane");
        if (window && GetDlgItem(window, kFromEdit)) return window;
        if (waited >= waitMs) return nullptr;
        Sleep(100);
    }
}

std::wstring ControlText(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    wchar_t text[4096] = {};
    DWORD_PTR result = 0;
    SendMessageTimeoutW(control, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &result);
    return text;
}

// Answers a question box of the Torvane process with its first button (Yes or OK).
bool AnswerQuestion(DWORD processId, HWND mainWindow) {
    HWND box = nullptr;
    while ((box = FindWindowExW(nullptr, box, L"#32770", nullptr)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(box, &owner);
        if (owner != processId || box == mainWindow || !IsWindowVisible(box)) continue;
        for (int id : {IDYES, IDOK}) {
            if (GetDlgItem(box, id)) {
                wchar_t caption[256] = {};
                GetWindowTextW(box, caption, 256);
                Print(std::wstring(L"answered \"") + caption + L"\"");
                PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
                return true;
            }
        }
    }
    return false;
}

int Copy(const std::wstring& destination) {
    HWND window = FindMainWindow(20000);
    if (!window) return Fail(L"no Torvane window", E_FAIL);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    SendMessageW(GetDlgItem(window, kToEdit), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(destination.c_str()));
    Sleep(300);
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(kGoButton, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, kGoButton)));
    // The completion form is a second visible dialog of the process without a Yes button.
    for (int waited = 0; waited < 60000; waited += 200) {
        Sleep(200);
        AnswerQuestion(processId, window);
        HWND box = nullptr;
        while ((box = FindWindowExW(nullptr, box, L"#32770", nullptr)) != nullptr) {
            DWORD owner = 0;
            GetWindowThreadProcessId(box, &owner);
            if (owner == processId && box != window && IsWindowVisible(box) && !GetDlgItem(box, IDYES)) {
                wchar_t caption[256] = {};
                GetWindowTextW(box, caption, 256);
                Print(std::wstring(L"completion form \"") + caption + L"\"");
                return 0;
            }
        }
    }
    return Fail(L"no completion form within 60 s", E_FAIL);
}

int Close() {
    HWND window = FindMainWindow(5000);
    if (!window) return Fail(L"no Torvane window", E_FAIL);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, processId);
    PostMessageW(window, WM_CLOSE, 0, 0);
    if (!process) return 0;
    const DWORD wait = WaitForSingleObject(process, 20000);
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    CloseHandle(process);
    if (wait != WAIT_OBJECT_0) return Fail(L"Torvane did not exit", E_FAIL);
    Print(L"exit code " + std::to_wstring(code));
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return Fail(L"usage: ShellHost menu|drop|fields|copy|close ...", E_INVALIDARG);
    const std::wstring verb = argv[1];
    if (verb == L"fields") {
        HWND window = FindMainWindow(20000);
        if (!window) return Fail(L"no Torvane window", E_FAIL);
        Sleep(500);
        Print(L"From=" + ControlText(window, kFromEdit));
        Print(L"To=" + ControlText(window, kToEdit));
        return 0;
    }
    if (verb == L"copy" && argc == 3) return Copy(argv[2]);
    if (verb == L"close") return Close();

    if (FAILED(CoInitialize(nullptr))) return Fail(L"CoInitialize", E_FAIL);
    int result = 1;
    if (verb == L"menu") {
        result = InvokeHandler(kContextMenuClass, nullptr, std::vector<std::wstring>(argv + 2, argv + argc));
    } else if (verb == L"drop" && argc >= 4) {
        result = InvokeHandler(kDragDropClass, argv[2], std::vector<std::wstring>(argv + 3, argv + argc));
    } else {
        Fail(L"unknown verb", E_INVALIDARG);
    }
    CoUninitialize();
    return result;
}
