#include "shellext/ContextMenuExtension.h"

#include "shellext/DropFiles.h"
#include "shellext/Launcher.h"

namespace Marrowgate {

HRESULT CreateContextMenuExtension(REFIID interfaceId, void** object) noexcept {
    return CreateHandler<CApplicationContextMenuExtension>(interfaceId, object);
}

STDMETHODIMP CApplicationContextMenuExtension::Initialize(PCIDLIST_ABSOLUTE /*folder*/, IDataObject* data,
                                                          HKEY /*programKey*/) {
    LoadMenuBitmaps();
    // A second Initialize describes a new selection, not more of the old one.
    items.clear();
    DroppedNames dropped;
    const HRESULT hr = ReadDroppedNames(data, dropped);
    if (FAILED(hr)) return hr;
    if (dropped.count == 0) return E_INVALIDARG;
    items = std::move(dropped.names);
    return dropped.anyUnreadable ? E_INVALIDARG : S_OK;
}

STDMETHODIMP CApplicationContextMenuExtension::QueryContextMenu(HMENU menu, UINT index, UINT firstCommand,
                                                                UINT lastCommand, UINT flags) {
    if ((flags & CMF_DEFAULTONLY) != 0) return MAKE_HRESULT(SEVERITY_SUCCESS, FACILITY_NULL, 0);
    // No identifier left for us in the range Explorer gave.
    if (firstCommand > lastCommand) return MAKE_HRESULT(SEVERITY_SUCCESS, FACILITY_NULL, 0);
    InsertMenuEntry(menu, index, firstCommand);
    return MAKE_HRESULT(SEVERITY_SUCCESS, FACILITY_NULL, 1);
}

STDMETHODIMP CApplicationContextMenuExtension::InvokeCommand(CMINVOKECOMMANDINFO* command) {
    // A verb given as a string, or any command offset but ours (0), is not ours.
    if (command == nullptr || command->lpVerb != nullptr) return E_INVALIDARG;
    return LaunchMainProgram(items, nullptr, WorkingDirectory::InstallFolder);
}

}  // namespace Marrowgate
