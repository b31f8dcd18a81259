#pragma once
// What both Explorer handlers share: IUnknown over IShellExtInit and
// IContextMenu, the place each live object takes in the module's object
// count, the menu bitmaps and GetCommandString. Derived handlers are final
// classes that add Initialize, QueryContextMenu and InvokeCommand.

#include "shellext/Handles.h"
#include "shellext/InterfaceTable.h"
#include "shellext/MarrowgateModule.h"
#include "shellext/res/resource.h"

#include <windows.h>
#include <shlobj.h>

#include <new>

namespace Marrowgate {

// GetCommandString of both handlers: the help text for command offset 0.
HRESULT MenuCommandString(UINT_PTR command, UINT type, char* buffer, UINT size) noexcept;

// The menu bitmap for this system: the 16 x 16 one from Vista on, else the 12 x 12 one.
HBITMAP MenuBitmapForSystem(HBITMAP vistaBitmap, HBITMAP earlierBitmap) noexcept;

// Builds a handler with new (std::nothrow) and asks it for an interface; a
// failed request frees the object again.
template <typename Handler>
HRESULT CreateHandler(REFIID interfaceId, void** object) noexcept {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    Handler* handler = new (std::nothrow) Handler();
    if (handler == nullptr) return E_OUTOFMEMORY;
    const HRESULT hr = handler->QueryInterface(interfaceId, object);
    handler->Release();
    return hr;
}

template <typename Derived>
class CShellExtension : public IShellExtInit, public IContextMenu {
public:
    STDMETHODIMP QueryInterface(REFIID interfaceId, void** object) override {
        // IUnknown is answered through IShellExtInit, the first base.
        static constexpr InterfaceEntry<CShellExtension> kInterfaces[] = {
            {&IID_IUnknown, &InterfaceOf<IShellExtInit, CShellExtension>},
            {&IID_IShellExtInit, &InterfaceOf<IShellExtInit, CShellExtension>},
            {&IID_IContextMenu, &InterfaceOf<IContextMenu, CShellExtension>},
        };
        return QueryInterfaceFromTable(this, kInterfaces, interfaceId, object);
    }

    // Plain counters: the handlers are apartment-threaded.
    STDMETHODIMP_(ULONG) AddRef() override { return ++referenceCount; }

    STDMETHODIMP_(ULONG) Release() override {
        const ULONG count = --referenceCount;
        if (count == 0) delete static_cast<Derived*>(this);
        return count;
    }

    STDMETHODIMP GetCommandString(UINT_PTR command, UINT type, UINT* /*reserved*/, CHAR* name,
                                  UINT size) override {
        return MenuCommandString(command, type, name, size);
    }

protected:
    CShellExtension() noexcept { Module().AddObject(); }
    ~CShellExtension() { Module().ReleaseObject(); }
    CShellExtension(const CShellExtension&) = delete;
    CShellExtension& operator=(const CShellExtension&) = delete;

    // Loads bitmap resources 202 and 204; one that will not load stays null.
    void LoadMenuBitmaps() noexcept {
        vistaMenuBitmap.reset(::LoadBitmapW(Module().Instance(), MAKEINTRESOURCEW(IDB_MENU_VISTA)));
        earlierMenuBitmap.reset(::LoadBitmapW(Module().Instance(), MAKEINTRESOURCEW(IDB_MENU_EARLIER)));
    }

    // Inserts "Torvane" by position with the given identifier and its bitmap.
    void InsertMenuEntry(HMENU menu, UINT position, UINT command) const noexcept;

    ULONG referenceCount = 1;
    UniqueBitmap vistaMenuBitmap;
    UniqueBitmap earlierMenuBitmap;
};

// Shared by both handlers, so defined once outside the template.
void InsertTorvaneMenuEntry(HMENU menu, UINT position, UINT command, HBITMAP bitmap) noexcept;

template <typename Derived>
void CShellExtension<Derived>::InsertMenuEntry(HMENU menu, UINT position, UINT command) const noexcept {
    InsertTorvaneMenuEntry(menu, position, command,
                           MenuBitmapForSystem(vistaMenuBitmap.get(), earlierMenuBitmap.get()));
}

}  // namespace Marrowgate
