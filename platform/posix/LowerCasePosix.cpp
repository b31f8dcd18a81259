#include "core/LowerCase.h"

#include <locale.h>
#include <wctype.h>

namespace {

// A locale with full Unicode case tables, independent of the process locale.
// Created once and kept for the life of the process.
locale_t UnicodeLocale() {
    static const locale_t locale = [] {
        locale_t created = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
        return created != static_cast<locale_t>(0) ? created : newlocale(LC_CTYPE_MASK, "C", static_cast<locale_t>(0));
    }();
    return locale;
}

}  // namespace

std::wstring LowerCase(std::wstring text) {
    const locale_t locale = UnicodeLocale();
    for (wchar_t& c : text) {
        if (c < 0x80) {
            if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c + (L'a' - L'A'));
        } else if (locale != static_cast<locale_t>(0)) {
            c = static_cast<wchar_t>(towlower_l(static_cast<wint_t>(c), locale));
        }
    }
    return text;
}
