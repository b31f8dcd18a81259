#include "shellext/DragAndDropExtension.h"

#include "shellext/DropFiles.h"
#include "shellext/Launcher.h"
#include "shellext/Prompts.h"
#include "shellext/Texts.h"

namespace Marrowgate {

HRESULT CreateDragAndDropExtension(REFIID interfaceId, void** object) noexcept {
    return CreateHandler<CApplicationDragAndDropExtension>(interfaceId, object);
}

STDMETHODIMP CApplicationDragAndDropExtension::Initialize(PCIDLIST_ABSOLUTE folder, IDataObject* data,
                                                          HKEY /*programKey*/) {
    LoadMenuBitmaps();
    // A second Initialize describes a new drop, not more of the old one.
    items.clear();
    destination.clear();
    if (folder == nullptr) return E_FAIL;
    wchar_t target[MAX_PATH];
    target[0] = L'\0';
    if (!::SHGetPathFromIDListW(folder, target) || target[0] == L'\0') return E_FAIL;
    DroppedNames dropped;
    try {
        destination = target;
        const HRESULT hr = ReadDroppedNames(data, dropped);
        if (FAILED(hr)) return hr;
        items = std::move(dropped.names);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    return items.empty() ? E_FAIL : S_OK;
}

STDMETHODIMP CApplicationDragAndDropExtension::QueryContextMenu(HMENU menu, UINT /*index*/, UINT firstCommand,
                                                                UINT lastCommand, UINT flags) {
    if ((flags & CMF_DEFAULTONLY) != 0) return MAKE_HRESULT(SEVERITY_SUCCESS, FACILITY_NULL, 0);
    if (firstCommand > lastCommand) return MAKE_HRESULT(SEVERITY_SUCCESS, FACILITY_NULL, 0);
    // Above the menu's last two items; with fewer than two the position is
    // out of range and the menu appends the entry.
    const UINT position = static_cast<UINT>(::GetMenuItemCount(menu) - 2);
    InsertMenuEntry(menu, position, firstCommand);
    ::InsertMenuW(menu, position, MF_BYPOSITION | MF_SEPARATOR, firstCommand + 1, nullptr);
    return MAKE_HRESULT(SEVERITY_SUCCESS, FACILITY_NULL, 1);
}

STDMETHODIMP CApplicationDragAndDropExtension::InvokeCommand(CMINVOKECOMMANDINFO* command) {
    if (command == nullptr) return E_INVALIDARG;
    if (command->lpVerb != nullptr) {
        ShowMessage(nullptr, kInvalidVerbMessage, kCaption, MB_OK);
        return E_INVALIDARG;
    }
    return LaunchMainProgram(items, &destination, WorkingDirectory::ShellDefault);
}

}  // namespace Marrowgate
