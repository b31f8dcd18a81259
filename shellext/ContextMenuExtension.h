#pragma once
// The context-menu handler: "Torvane" in the menu of every file-system
// object; choosing it starts the main program with the selection as sources.

#include "shellext/ShellExtension.h"

#include <string>
#include <vector>

namespace Marrowgate {

class CApplicationContextMenuExtension final : public CShellExtension<CApplicationContextMenuExtension> {
public:
    CApplicationContextMenuExtension() = default;

    STDMETHODIMP Initialize(PCIDLIST_ABSOLUTE folder, IDataObject* data, HKEY programKey) override;
    STDMETHODIMP QueryContextMenu(HMENU menu, UINT index, UINT firstCommand, UINT lastCommand,
                                  UINT flags) override;
    STDMETHODIMP InvokeCommand(CMINVOKECOMMANDINFO* command) override;

    // The full paths of the selected items, in Explorer's order.
    const std::vector<std::wstring>& Items() const noexcept { return items; }

private:
    friend class CShellExtension<CApplicationContextMenuExtension>;
    ~CApplicationContextMenuExtension() = default;

    std::vector<std::wstring> items;
};

HRESULT CreateContextMenuExtension(REFIID interfaceId, void** object) noexcept;

}  // namespace Marrowgate
