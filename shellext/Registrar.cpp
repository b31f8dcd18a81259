#include "shellext/Registrar.h"

#include "shellext/Handles.h"

#include <new>

namespace Marrowgate {
namespace {

HRESULT FromWin32(LONG error) {
    return HRESULT_FROM_WIN32(static_cast<DWORD>(error));
}

bool IsMissing(LONG error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

LONG SetValue(HKEY key, const ScriptValue& value) {
    const wchar_t* name = value.name.empty() ? nullptr : value.name.c_str();
    switch (value.type) {
    case ScriptValue::Type::String:
        return ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.text.c_str()),
                                static_cast<DWORD>((value.text.size() + 1) * sizeof(wchar_t)));
    case ScriptValue::Type::Number:
        return ::RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value.number),
                                sizeof(value.number));
    case ScriptValue::Type::Binary:
        return ::RegSetValueExW(key, name, 0, REG_BINARY, value.bytes.data(),
                                static_cast<DWORD>(value.bytes.size()));
    }
    return ERROR_INVALID_DATA;
}

HRESULT RegisterKey(HKEY parent, const ScriptKey& entry) {
    if (entry.kind == KeyKind::Deleted || entry.kind == KeyKind::Replaced) {
        const LONG deleted = DeleteKeyTree(parent, entry.name.c_str());
        if (deleted != ERROR_SUCCESS && !IsMissing(deleted)) return FromWin32(deleted);
        if (entry.kind == KeyKind::Deleted) return S_OK;
    }
    UniqueKey key;
    LONG result = ::RegCreateKeyExW(parent, entry.name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                    KEY_READ | KEY_WRITE, nullptr, key.put(), nullptr);
    if (result != ERROR_SUCCESS) return FromWin32(result);
    if (entry.hasDefaultValue) {
        result = SetValue(key.get(), entry.defaultValue);
        if (result != ERROR_SUCCESS) return FromWin32(result);
    }
    for (const ScriptValue& value : entry.values) {
        result = SetValue(key.get(), value);
        if (result != ERROR_SUCCESS) return FromWin32(result);
    }
    for (const ScriptKey& subkey : entry.subkeys) {
        const HRESULT hr = RegisterKey(key.get(), subkey);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

HRESULT UnregisterKey(HKEY parent, const ScriptKey& entry) {
    if (entry.kind == KeyKind::Deleted) return S_OK;
    if (entry.kind == KeyKind::Replaced) {
        const LONG deleted = DeleteKeyTree(parent, entry.name.c_str());
        return deleted == ERROR_SUCCESS || IsMissing(deleted) ? S_OK : FromWin32(deleted);
    }
    UniqueKey key;
    LONG result = ::RegOpenKeyExW(parent, entry.name.c_str(), 0, KEY_READ | KEY_WRITE, key.put());
    if (IsMissing(result)) return S_OK;
    if (result != ERROR_SUCCESS) return FromWin32(result);
    for (auto subkey = entry.subkeys.rbegin(); subkey != entry.subkeys.rend(); ++subkey) {
        const HRESULT hr = UnregisterKey(key.get(), *subkey);
        if (FAILED(hr)) return hr;
    }
    for (const ScriptValue& value : entry.values) {
        result = ::RegDeleteValueW(key.get(), value.name.c_str());
        if (result != ERROR_SUCCESS && !IsMissing(result)) return FromWin32(result);
    }
    if (entry.kind == KeyKind::Kept) return S_OK;
    DWORD subkeys = 0;
    result = ::RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr,
                                nullptr, nullptr, nullptr, nullptr);
    if (result != ERROR_SUCCESS) return FromWin32(result);
    // Someone else's subkeys still live here: the key stays for them.
    if (subkeys != 0) return S_OK;
    key.reset();
    result = ::RegDeleteKeyW(parent, entry.name.c_str());
    return result == ERROR_SUCCESS || IsMissing(result) ? S_OK : FromWin32(result);
}

}  // namespace

LONG DeleteKeyTree(HKEY parent, const wchar_t* name) noexcept {
    UniqueKey key;
    LONG result = ::RegOpenKeyExW(parent, name, 0, KEY_READ | KEY_WRITE, key.put());
    if (result != ERROR_SUCCESS) return result;
    for (;;) {
        // Key names are at most 255 characters.
        wchar_t child[256];
        DWORD length = sizeof(child) / sizeof(child[0]);
        result = ::RegEnumKeyExW(key.get(), 0, child, &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS) break;
        if (result != ERROR_SUCCESS) return result;
        result = DeleteKeyTree(key.get(), child);
        if (result != ERROR_SUCCESS) return result;
    }
    key.reset();
    return ::RegDeleteKeyW(parent, name);
}

Registrar::Registrar() : Registrar([](const ScriptRoot& root) { return root.key; }) {}

Registrar::Registrar(RootMap roots) : roots_(std::move(roots)) {}

HRESULT Registrar::Apply(const RegistryScript& script, ScriptAction action) const noexcept {
    try {
        if (action == ScriptAction::Register) {
            for (const ScriptRoot& root : script.roots) {
                for (const ScriptKey& key : root.keys) {
                    const HRESULT hr = RegisterKey(roots_(root), key);
                    if (FAILED(hr)) return hr;
                }
            }
        } else {
            for (auto root = script.roots.rbegin(); root != script.roots.rend(); ++root) {
                for (auto key = root->keys.rbegin(); key != root->keys.rend(); ++key) {
                    const HRESULT hr = UnregisterKey(roots_(*root), *key);
                    if (FAILED(hr)) return hr;
                }
            }
        }
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

HRESULT Registrar::Apply(const std::wstring& text, const ScriptVariables& variables,
                         ScriptAction action) const noexcept {
    try {
        RegistryScript script;
        std::wstring error;
        if (!ParseRegistryScript(text, variables, script, error)) {
            return HRESULT_FROM_WIN32(ERROR_INVALID_DATA);
        }
        return Apply(script, action);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

}  // namespace Marrowgate
