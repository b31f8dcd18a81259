#pragma once
// Applies a registrar script to the registry, for registration or removal.

#include "shellext/RegistryScript.h"

#include <windows.h>

#include <functional>

namespace Marrowgate {

enum class ScriptAction { Register, Unregister };

class Registrar {
public:
    // Which open key stands for a script's root; the default is the
    // predefined key the root names. Tests point the roots at a scratch key.
    using RootMap = std::function<HKEY(const ScriptRoot&)>;

    Registrar();
    explicit Registrar(RootMap roots);

    // Registration writes every entry: kept keys are opened or created,
    // replaced keys are deleted with their subtree and written again, plain
    // keys are written over. Removal works from the deepest key up: listed
    // named values go, replaced keys go with their subtree, plain keys go
    // unless they still hold subkeys the script does not list, kept keys stay.
    // Keys or values already missing are no failure. The first failure stops
    // the work and is returned.
    HRESULT Apply(const RegistryScript& script, ScriptAction action) const noexcept;

    // Parses, then applies; a script that does not parse gives
    // HRESULT_FROM_WIN32(ERROR_INVALID_DATA) and touches nothing.
    HRESULT Apply(const std::wstring& text, const ScriptVariables& variables,
                  ScriptAction action) const noexcept;

private:
    RootMap roots_;
};

// Deletes a key with everything below it. A missing key gives ERROR_FILE_NOT_FOUND.
LONG DeleteKeyTree(HKEY parent, const wchar_t* name) noexcept;

}  // namespace Marrowgate
