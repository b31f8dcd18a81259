#include "tests/ui/UiTestSupport.h"

#include <fstream>

namespace UiTest {

bool PumpUntil(const std::function<bool()>& done, int timeoutMs, int* quitCode) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                if (quitCode != nullptr) *quitCode = static_cast<int>(msg.wParam);
                continue;
            }
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        if (done()) return true;
        if (static_cast<int>(::GetTickCount() - start) > timeoutMs) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void PumpFor(int milliseconds, int* quitCode) {
    const DWORD start = ::GetTickCount();
    PumpUntil([&] { return static_cast<int>(::GetTickCount() - start) >= milliseconds; }, milliseconds + 1000,
              quitCode);
}

std::wstring Text(HWND window) {
    wchar_t buffer[4096] = {};
    ::GetWindowTextW(window, buffer, 4096);
    return buffer;
}

bool Enabled(HWND window) { return ::IsWindowEnabled(window) != FALSE; }
bool Visible(HWND window) { return ::IsWindowVisible(window) != FALSE; }
bool ReadOnly(HWND edit) { return (::GetWindowLongPtrW(edit, GWL_STYLE) & ES_READONLY) != 0; }

std::vector<ListRow> ListRows(HWND list) {
    std::vector<ListRow> rows;
    const int count = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        ListRow row;
        wchar_t buffer[1024] = {};
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = i;
        item.pszText = buffer;
        item.cchTextMax = 1024;
        ::SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        row.name = buffer;
        row.image = item.iImage;
        wchar_t message[1024] = {};
        LVITEMW sub{};
        sub.mask = LVIF_TEXT;
        sub.iItem = i;
        sub.iSubItem = 1;
        sub.pszText = message;
        sub.cchTextMax = 1024;
        ::SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&sub));
        row.message = message;
        rows.push_back(row);
    }
    return rows;
}

int ColumnWidth(HWND list, int column) {
    return static_cast<int>(::SendMessageW(list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
}

TextRecorder::TextRecorder(HWND window) : window(window) {
    ::SetPropW(window, L"UiTest.TextRecorder", this);
    original = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
}

TextRecorder::~TextRecorder() {
    if (::IsWindow(window)) {
        ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        ::RemovePropW(window, L"UiTest.TextRecorder");
    }
}

LRESULT CALLBACK TextRecorder::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<TextRecorder*>(::GetPropW(hwnd, L"UiTest.TextRecorder"));
    if (message == WM_SETTEXT) {
        const auto* text = reinterpret_cast<const wchar_t*>(lParam);
        self->texts.push_back(text != nullptr ? text : L"");
    }
    WNDPROC original = self->original;
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        ::RemovePropW(hwnd, L"UiTest.TextRecorder");
    }
    return ::CallWindowProcW(original, hwnd, message, wParam, lParam);
}

void MakeFolder(const std::wstring& path) { ::CreateDirectoryW(path.c_str(), nullptr); }

void WriteFile(const std::wstring& path, std::size_t bytes, char seed) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    std::string block(65536, seed);
    for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>(seed + static_cast<char>(i % 23));
    std::size_t left = bytes;
    while (left > 0) {
        const DWORD chunk = static_cast<DWORD>(left < block.size() ? left : block.size());
        DWORD written = 0;
        ::WriteFile(file, block.data(), chunk, &written, nullptr);
        left -= chunk;
    }
    ::CloseHandle(file);
}

std::string ReadFile(const std::wstring& path) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string data;
    char buffer[65536];
    DWORD got = 0;
    while (::ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0) data.append(buffer, got);
    ::CloseHandle(file);
    return data;
}

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring WindowsPathOf(const std::string& unixPath) {
    std::wstring path = L"Z:";
    for (char c : unixPath) path.push_back(c == '/' ? L'\\' : static_cast<wchar_t>(c));
    return path;
}

}  // namespace UiTest
