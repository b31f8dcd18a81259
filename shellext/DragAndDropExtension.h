#pragma once
// The drag-and-drop handler: "Torvane" in the menu shown after a right-button
// drag onto a folder or drive; choosing it starts the main program with the
// dragged items as sources and the drop target as destination.

#include "shellext/ShellExtension.h"

#include <string>
#include <vector>

namespace Marrowgate {

class CApplicationDragAndDropExtension final : public CShellExtension<CApplicationDragAndDropExtension> {
public:
    CApplicationDragAndDropExtension() = default;

    STDMETHODIMP Initialize(PCIDLIST_ABSOLUTE folder, IDataObject* data, HKEY programKey) override;
    STDMETHODIMP QueryContextMenu(HMENU menu, UINT index, UINT firstCommand, UINT lastCommand,
                                  UINT flags) override;
    STDMETHODIMP InvokeCommand(CMINVOKECOMMANDINFO* command) override;

    const std::wstring& Destination() const noexcept { return destination; }
    const std::vector<std::wstring>& Items() const noexcept { return items; }

private:
    friend class CShellExtension<CApplicationDragAndDropExtension>;
    ~CApplicationDragAndDropExtension() = default;

    std::wstring destination;
    std::vector<std::wstring> items;
};

HRESULT CreateDragAndDropExtension(REFIID interfaceId, void** object) noexcept;

}  // namespace Marrowgate
