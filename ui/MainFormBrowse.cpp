// MainForm's From and To fields and the choosers that fill them: the browse
// buttons, and at start-up without arguments, source then destination.

#include "ui/MainForm.h"

#include <shlobj.h>

#include "ui/framework/WindowText.h"

const wchar_t* const MainForm::kSourceBrowseTitle = L"Choose a file or folder to copy from:";
const wchar_t* const MainForm::kDestinationBrowseTitle = L"Choose a folder to copy to:";

std::wstring MainForm::FromText() const { return Framework::WindowText(from); }
std::wstring MainForm::ToText() const { return Framework::WindowText(to); }
void MainForm::SetFromText(const std::wstring& text) { ::SetWindowTextW(from, text.c_str()); }
void MainForm::SetToText(const std::wstring& text) { ::SetWindowTextW(to, text.c_str()); }

void MainForm::SetSources(const std::vector<std::wstring>& sources) {
    const SourceList list = SourceList::Of(sources);
    SetFromText(list.Text());
    Control().UseSources(list);
}

void MainForm::OnStartup() {
    if (!startedWithoutArguments) return;
    BrowseForSource();
    if (!FromText().empty()) BrowseForDestination();
}

LRESULT MainForm::OnBrowseSource(WORD, WORD, HWND, bool&) {
    BrowseForSource();
    return 0;
}

LRESULT MainForm::OnBrowseDestination(WORD, WORD, HWND, bool&) {
    BrowseForDestination();
    return 0;
}

void MainForm::BrowseForSource() {
    std::wstring path;
    if (Browse(kSourceBrowseTitle, kSourceBrowseFlags, path)) SetFromText(path);
}

void MainForm::BrowseForDestination() {
    std::wstring path;
    if (Browse(kDestinationBrowseTitle, kDestinationBrowseFlags, path)) SetToText(path);
}

bool MainForm::Browse(const wchar_t* title, UINT flags, std::wstring& path) {
    return folderChooser && folderChooser(title, flags, path);
}

bool MainForm::ChooseWithShell(const wchar_t* title, UINT flags, std::wstring& path) {
    BROWSEINFOW info{};
    info.hwndOwner = Handle();
    info.pidlRoot = nullptr;  // the desktop
    info.lpszTitle = title;
    info.ulFlags = flags;
    PIDLIST_ABSOLUTE chosen = ::SHBrowseForFolderW(&info);
    if (chosen == nullptr) return false;
    wchar_t buffer[MAX_PATH] = {};
    if (!::SHGetPathFromIDListW(chosen, buffer)) buffer[0] = L'\0';  // an item without a file-system path
    ::CoTaskMemFree(chosen);
    path = buffer;
    return true;
}
