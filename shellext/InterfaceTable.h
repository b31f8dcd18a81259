#pragma once
// QueryInterface answered from a table: each class lists the interfaces it
// hands out, each with the cast that reaches it from the object, and one
// loop looks the requested one up.

#include <windows.h>

namespace Marrowgate {

template <typename Object>
struct InterfaceEntry {
    const IID* interfaceId;
    IUnknown* (*cast)(Object* object) noexcept;
};

// The cast of an entry: from the object to one of its interfaces.
template <typename Interface, typename Object>
IUnknown* InterfaceOf(Object* object) noexcept {
    return static_cast<Interface*>(object);
}

// Sets *result to the interface of the first entry that names interfaceId,
// with a reference added through it; otherwise nulls *result and returns
// E_NOINTERFACE. IID_IUnknown belongs in the table: where it points is the
// object's identity, so it must stay the same for every caller.
template <typename Object, size_t Count>
HRESULT QueryInterfaceFromTable(Object* object, const InterfaceEntry<Object> (&table)[Count], REFIID interfaceId,
                                void** result) noexcept {
    if (result == nullptr) return E_POINTER;
    for (const InterfaceEntry<Object>& entry : table) {
        if (!IsEqualIID(interfaceId, *entry.interfaceId)) continue;
        IUnknown* found = entry.cast(object);
        found->AddRef();
        *result = found;
        return S_OK;
    }
    *result = nullptr;
    return E_NOINTERFACE;
}

}  // namespace Marrowgate
