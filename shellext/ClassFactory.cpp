#include "shellext/ClassFactory.h"

#include "shellext/InterfaceTable.h"

namespace Marrowgate {

CClassFactory::CClassFactory(Creator creator) noexcept : creator(creator) {}

STDMETHODIMP CClassFactory::QueryInterface(REFIID interfaceId, void** object) {
    static constexpr InterfaceEntry<CClassFactory> kInterfaces[] = {
        {&IID_IUnknown, &InterfaceOf<IClassFactory, CClassFactory>},
        {&IID_IClassFactory, &InterfaceOf<IClassFactory, CClassFactory>},
    };
    return QueryInterfaceFromTable(this, kInterfaces, interfaceId, object);
}

STDMETHODIMP_(ULONG) CClassFactory::AddRef() {
    Module().AddObject();
    return static_cast<ULONG>(::InterlockedIncrement(&referenceCount));
}

STDMETHODIMP_(ULONG) CClassFactory::Release() {
    const LONG count = ::InterlockedDecrement(&referenceCount);
    Module().ReleaseObject();
    return static_cast<ULONG>(count);
}

STDMETHODIMP CClassFactory::CreateInstance(IUnknown* outer, REFIID interfaceId, void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    return creator(interfaceId, object);
}

STDMETHODIMP CClassFactory::LockServer(BOOL lock) {
    if (lock) {
        Module().Lock();
    } else {
        Module().Unlock();
    }
    return S_OK;
}

}  // namespace Marrowgate
