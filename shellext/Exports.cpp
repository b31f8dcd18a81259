// The entry point and the four exports of Marrowgate.dll (named in Marrowgate.def).

#include "shellext/MarrowgateModule.h"

#include <windows.h>
#include <olectl.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        // Thread notifications stay on: the statically linked C++ runtime
        // frees its per-thread data on them.
        return Marrowgate::Module().Attach(instance) ? TRUE : FALSE;
    case DLL_PROCESS_DETACH:
        Marrowgate::Module().Detach();
        return TRUE;
    default:
        return TRUE;
    }
}

STDAPI DllCanUnloadNow() {
    return Marrowgate::Module().CanUnloadNow();
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID interfaceId, LPVOID* object) {
    return Marrowgate::Module().GetClassObject(clsid, interfaceId, object);
}

STDAPI DllRegisterServer() {
    return Marrowgate::Module().RegisterServer();
}

STDAPI DllUnregisterServer() {
    return Marrowgate::Module().UnregisterServer();
}
