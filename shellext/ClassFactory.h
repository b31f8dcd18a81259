#pragma once
// The class factory every class of the module is served by.

#include "shellext/MarrowgateModule.h"

#include <windows.h>

namespace Marrowgate {

// Owned by the module, which deletes it at unload unless a client still
// holds it; COM references never free it. Each reference a client holds
// counts as one live object of the module, so a held factory keeps the
// library loaded.
class CClassFactory final : public IClassFactory {
public:
    explicit CClassFactory(Creator creator) noexcept;
    ~CClassFactory() = default;
    CClassFactory(const CClassFactory&) = delete;
    CClassFactory& operator=(const CClassFactory&) = delete;

    STDMETHODIMP QueryInterface(REFIID interfaceId, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID interfaceId, void** object) override;
    STDMETHODIMP LockServer(BOOL lock) override;

    // A client holds a reference.
    bool Held() const noexcept { return referenceCount != 0; }

private:
    volatile LONG referenceCount = 0;  // the clients' references only
    Creator creator;
};

}  // namespace Marrowgate
