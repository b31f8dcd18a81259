#include "shellext/RegistryScript.h"

#include <cstddef>

namespace Marrowgate {
namespace {

struct Token {
    enum class Kind { Word, Quoted, OpenBrace, CloseBrace, Equals, End };
    Kind kind = Kind::End;
    std::wstring raw;  // as written, quotes removed
    int line = 1;
};

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == 0xFEFF;
}

wchar_t AsciiLower(wchar_t c) {
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

bool SameWord(const std::wstring& a, const wchar_t* b) {
    std::size_t i = 0;
    for (; i < a.size() && b[i] != 0; ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    }
    return i == a.size() && b[i] == 0;
}

std::wstring LineText(int line) {
    return L" (line " + std::to_wstring(line) + L")";
}

bool Tokenize(const std::wstring& text, std::vector<Token>& tokens, std::wstring& error) {
    int line = 1;
    std::size_t i = 0;
    while (i < text.size()) {
        const wchar_t c = text[i];
        if (c == L'\n') ++line;
        if (IsBlank(c)) {
            ++i;
            continue;
        }
        Token token;
        token.line = line;
        if (c == L'\'') {
            token.kind = Token::Kind::Quoted;
            ++i;
            for (;;) {
                if (i >= text.size()) {
                    error = L"Unterminated quoted text" + LineText(token.line);
                    return false;
                }
                if (text[i] == L'\'') {
                    if (i + 1 < text.size() && text[i + 1] == L'\'') {
                        token.raw += L'\'';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                if (text[i] == L'\n') ++line;
                token.raw += text[i++];
            }
        } else if (c == L'=') {
            token.kind = Token::Kind::Equals;
            ++i;
        } else {
            std::size_t end = i;
            while (end < text.size() && !IsBlank(text[end]) && text[end] != L'\'' && text[end] != L'=') ++end;
            token.raw = text.substr(i, end - i);
            i = end;
            if (token.raw == L"{") {
                token.kind = Token::Kind::OpenBrace;
            } else if (token.raw == L"}") {
                token.kind = Token::Kind::CloseBrace;
            } else {
                token.kind = Token::Kind::Word;
            }
        }
        tokens.push_back(std::move(token));
    }
    Token end;
    end.line = line;
    tokens.push_back(end);
    return true;
}

HKEY RootKeyNamed(const std::wstring& name) {
    struct Root {
        const wchar_t* shortName;
        const wchar_t* longName;
        HKEY key;
    };
    static const Root roots[] = {
        {L"HKCR", L"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
        {L"HKCU", L"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
        {L"HKLM", L"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
        {L"HKU", L"HKEY_USERS", HKEY_USERS},
        {L"HKCC", L"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG},
    };
    for (const Root& root : roots) {
        if (SameWord(name, root.shortName) || SameWord(name, root.longName)) return root.key;
    }
    return nullptr;
}

class Parser {
public:
    Parser(const std::vector<Token>& tokens, const ScriptVariables& variables, std::wstring& error)
        : tokens_(tokens), variables_(variables), error_(error) {}

    bool Script(RegistryScript& script) {
        while (Peek().kind != Token::Kind::End) {
            const Token& name = Take();
            if (name.kind != Token::Kind::Word) return Fail(L"Expected a root key", name);
            ScriptRoot root;
            root.name = name.raw;
            root.key = RootKeyNamed(name.raw);
            if (root.key == nullptr) return Fail(L"Unknown root key '" + name.raw + L"'", name);
            if (!Expect(Token::Kind::OpenBrace, L"Expected '{'")) return false;
            if (!Entries(root.keys, nullptr)) return false;
            script.roots.push_back(std::move(root));
        }
        return true;
    }

private:
    const Token& Peek() const { return tokens_[position_]; }
    const Token& Take() {
        const Token& token = tokens_[position_];
        if (token.kind != Token::Kind::End) ++position_;
        return token;
    }

    bool Fail(const std::wstring& what, const Token& where) {
        error_ = what + LineText(where.line);
        return false;
    }

    bool Expect(Token::Kind kind, const wchar_t* what) {
        const Token& token = Take();
        return token.kind == kind || Fail(what, token);
    }

    // Replaces %NAME% by the variable's text and %% by %.
    bool Substitute(const Token& token, std::wstring& out) {
        out.clear();
        const std::wstring& in = token.raw;
        for (std::size_t i = 0; i < in.size(); ++i) {
            if (in[i] != L'%') {
                out += in[i];
                continue;
            }
            const std::size_t close = in.find(L'%', i + 1);
            if (close == std::wstring::npos) return Fail(L"Unmatched '%'", token);
            const std::wstring name = in.substr(i + 1, close - i - 1);
            if (name.empty()) {
                out += L'%';
            } else {
                const auto found = variables_.find(name);
                if (found == variables_.end()) return Fail(L"Unknown variable %" + name + L"%", token);
                out += found->second;
            }
            i = close;
        }
        return true;
    }

    bool Name(std::wstring& name) {
        const Token& token = Take();
        if (token.kind != Token::Kind::Word && token.kind != Token::Kind::Quoted) {
            return Fail(L"Expected a name", token);
        }
        return Substitute(token, name);
    }

    bool KeyName(std::wstring& name) {
        const Token& token = Peek();
        if (!Name(name)) return false;
        if (name.empty()) return Fail(L"Empty key name", token);
        // Each key is its own script entry, so removal can judge every level.
        if (name.find(L'\\') != std::wstring::npos) return Fail(L"Key names hold no backslash", token);
        return true;
    }

    static bool HexDigit(wchar_t c, BYTE& value) {
        if (c >= L'0' && c <= L'9') value = static_cast<BYTE>(c - L'0');
        else if (c >= L'a' && c <= L'f') value = static_cast<BYTE>(c - L'a' + 10);
        else if (c >= L'A' && c <= L'F') value = static_cast<BYTE>(c - L'A' + 10);
        else return false;
        return true;
    }

    static bool ParseNumber(const std::wstring& text, DWORD& number) {
        unsigned long long value = 0;
        std::size_t i = 0;
        unsigned base = 10;
        if (text.size() > 2 && text[0] == L'0' && (text[1] == L'x' || text[1] == L'X')) {
            base = 16;
            i = 2;
        }
        if (i >= text.size()) return false;
        for (; i < text.size(); ++i) {
            BYTE digit = 0;
            if (!HexDigit(text[i], digit) || digit >= base) return false;
            value = value * base + digit;
            if (value > 0xFFFFFFFFull) return false;
        }
        number = static_cast<DWORD>(value);
        return true;
    }

    bool Value(ScriptValue& value) {
        const Token& type = Take();
        if (type.kind != Token::Kind::Word) return Fail(L"Expected a value type", type);
        const Token& data = Peek();
        std::wstring text;
        if (!Name(text)) return false;
        if (SameWord(type.raw, L"s")) {
            value.type = ScriptValue::Type::String;
            value.text = text;
        } else if (SameWord(type.raw, L"d")) {
            value.type = ScriptValue::Type::Number;
            if (!ParseNumber(text, value.number)) return Fail(L"Bad number '" + text + L"'", data);
        } else if (SameWord(type.raw, L"b")) {
            value.type = ScriptValue::Type::Binary;
            if (text.size() % 2 != 0) return Fail(L"Odd number of hex digits", data);
            for (std::size_t i = 0; i < text.size(); i += 2) {
                BYTE high = 0;
                BYTE low = 0;
                if (!HexDigit(text[i], high) || !HexDigit(text[i + 1], low)) {
                    return Fail(L"Bad hex digits '" + text + L"'", data);
                }
                value.bytes.push_back(static_cast<BYTE>(high << 4 | low));
            }
        } else {
            return Fail(L"Unknown value type '" + type.raw + L"'", type);
        }
        return true;
    }

    // Reads entries up to and including the closing brace. values is where
    // 'val' entries go: the enclosing key's; null directly under a root.
    bool Entries(std::vector<ScriptKey>& keys, std::vector<ScriptValue>* values) {
        for (;;) {
            const Token& token = Peek();
            if (token.kind == Token::Kind::CloseBrace) {
                Take();
                return true;
            }
            if (token.kind == Token::Kind::End) return Fail(L"Missing '}'", token);
            if (token.kind == Token::Kind::Word && SameWord(token.raw, L"val")) {
                Take();
                if (values == nullptr) return Fail(L"Named value outside a key", token);
                ScriptValue value;
                if (!Name(value.name) || !Expect(Token::Kind::Equals, L"Expected '='") || !Value(value)) {
                    return false;
                }
                values->push_back(std::move(value));
                continue;
            }
            ScriptKey key;
            if (token.kind == Token::Kind::Word) {
                if (SameWord(token.raw, L"NoRemove")) {
                    key.kind = KeyKind::Kept;
                    Take();
                } else if (SameWord(token.raw, L"ForceRemove")) {
                    key.kind = KeyKind::Replaced;
                    Take();
                } else if (SameWord(token.raw, L"Delete")) {
                    key.kind = KeyKind::Deleted;
                    Take();
                }
            }
            if (!KeyName(key.name)) return false;
            if (Peek().kind == Token::Kind::Equals) {
                Take();
                key.hasDefaultValue = true;
                if (!Value(key.defaultValue)) return false;
            }
            if (Peek().kind == Token::Kind::OpenBrace) {
                Take();
                if (!Entries(key.subkeys, &key.values)) return false;
            }
            keys.push_back(std::move(key));
        }
    }

    const std::vector<Token>& tokens_;
    const ScriptVariables& variables_;
    std::wstring& error_;
    std::size_t position_ = 0;
};

}  // namespace

bool ParseRegistryScript(const std::wstring& text, const ScriptVariables& variables,
                         RegistryScript& script, std::wstring& error) {
    std::vector<Token> tokens;
    if (!Tokenize(text, tokens, error)) return false;
    Parser parser(tokens, variables, error);
    return parser.Script(script);
}

}  // namespace Marrowgate
