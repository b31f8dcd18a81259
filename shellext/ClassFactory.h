#pragma once
// The class factory every class of the module is served by.

#include "shellext/MarrowgateModule.h"

#include <windows.h>

namespace Marrowgate {

class CClassFactory final : public IClassFactory {
public:
    // Starts with one reference: the module's own, which alone does not keep
    // the library loaded. Every further reference holds one module lock.
    explicit CClassFactory(Creator creator) noexcept;

    STDMETHODIMP QueryInterface(REFIID interfaceId, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID interfaceId, void** object) override;
    STDMETHODIMP LockServer(BOOL lock) override;

private:
    ~CClassFactory() = default;

    volatile LONG referenceCount = 1;
    Creator creator;
};

}  // namespace Marrowgate
