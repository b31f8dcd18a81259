#pragma once
// The module object of Marrowgate.dll: the counts that decide when the
// library may be unloaded, the table of the classes it serves with their
// class factories, and the registration of both.

#include <windows.h>

namespace Marrowgate {

class CClassFactory;

// Builds a new handler object and asks it for an interface.
using Creator = HRESULT (*)(REFIID interfaceId, void** object);

struct ClassEntry {
    const CLSID* clsid;
    UINT scriptId;              // REGISTRY resource with the class's entries
    Creator creator;
    const wchar_t* handlerName; // data of its approved-extensions value
    CClassFactory* factory;     // created on first request, deleted at unload
};

class CMarrowgateModule {
public:
    CMarrowgateModule() noexcept;
    CMarrowgateModule(const CMarrowgateModule&) = delete;
    CMarrowgateModule& operator=(const CMarrowgateModule&) = delete;

    // Process attach: remembers the module and creates the module lock.
    // False when the lock cannot be created; the load then fails.
    bool Attach(HINSTANCE instance) noexcept;
    // Process detach: releases the class factories, deletes the module lock.
    void Detach() noexcept;

    HINSTANCE Instance() const noexcept { return instance; }

    // A handler object was made or freed; a client took or gave back a
    // reference to a class factory.
    void AddObject() noexcept;
    void ReleaseObject() noexcept;
    // IClassFactory::LockServer(TRUE) and (FALSE).
    void Lock() noexcept;
    void Unlock() noexcept;

    // S_OK once no object is alive and no server lock is held.
    HRESULT CanUnloadNow() const noexcept;
    HRESULT GetClassObject(REFCLSID clsid, REFIID interfaceId, void** object) noexcept;
    HRESULT RegisterServer() noexcept;
    HRESULT UnregisterServer() noexcept;

private:
    HRESULT ApplyScript(UINT scriptId, bool registering) const;

    HINSTANCE instance = nullptr;
    volatile LONG objectCount = 0;
    volatile LONG lockCount = 0;
    CRITICAL_SECTION moduleLock;
    bool moduleLockCreated = false;
    ClassEntry classTable[2];
    const GUID* appId;
    UINT appIdScript;
};

// The one module object of this library.
CMarrowgateModule& Module() noexcept;

}  // namespace Marrowgate
