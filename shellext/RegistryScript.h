#pragma once
// Registrar scripts (.rgs): the tree of keys and values a script describes,
// and the parser that reads one.
//
// Grammar, keywords case-insensitive, names bare or in single quotes (two
// single quotes inside a quoted name stand for one):
//   script    := { root '{' { entry } '}' }
//   root      := HKCR | HKCU | HKLM | HKU | HKCC, or the HKEY_... long names
//   entry     := [NoRemove | ForceRemove | Delete] name [ '=' value ] [ '{' { entry | named } '}' ]
//   named     := val name '=' value
//   value     := s 'text' | d 'number' | b 'hex bytes'
// Braces and '=' stand alone; a quoted token is never a keyword.
// %NAME% in any name or value is replaced by the variable's text, %% by one %.

#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace Marrowgate {

struct ScriptValue {
    enum class Type { String, Number, Binary };
    std::wstring name;  // empty for a key's default value
    Type type = Type::String;
    std::wstring text;
    DWORD number = 0;
    std::vector<BYTE> bytes;
};

// What registration and removal do with a key.
enum class KeyKind {
    Plain,     // written at registration, removed at removal unless it holds unlisted subkeys
    Kept,      // NoRemove: created when missing, never removed
    Replaced,  // ForceRemove: deleted with its subtree, then written; removed at removal
    Deleted,   // Delete: deleted with its subtree at registration; left alone at removal
};

struct ScriptKey {
    std::wstring name;
    KeyKind kind = KeyKind::Plain;
    bool hasDefaultValue = false;
    ScriptValue defaultValue;
    std::vector<ScriptValue> values;
    std::vector<ScriptKey> subkeys;
};

struct ScriptRoot {
    std::wstring name;  // as written in the script
    HKEY key = nullptr;  // the predefined key it names
    std::vector<ScriptKey> keys;
};

struct RegistryScript {
    std::vector<ScriptRoot> roots;
};

using ScriptVariables = std::map<std::wstring, std::wstring>;

// Reads a script. On failure returns false and says what and where in error;
// script is then unspecified. Unknown variables are failures, never written.
bool ParseRegistryScript(const std::wstring& text, const ScriptVariables& variables,
                         RegistryScript& script, std::wstring& error);

}  // namespace Marrowgate
