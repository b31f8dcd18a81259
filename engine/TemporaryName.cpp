#include "engine/TemporaryName.h"

#include <algorithm>
#include <cstdint>

namespace TemporaryName {
namespace {

const wchar_t kPrefix[] = L"~tv";
const wchar_t kSuffix[] = L".part";
constexpr std::size_t kPrefixLength = 3;
constexpr std::size_t kSuffixLength = 5;
constexpr std::size_t kHashDigits = 8;
constexpr std::size_t kMarkerLength = kPrefixLength + kHashDigits + kSuffixLength;

// FNV-1a over the name's UTF-16 code units.
std::uint32_t HashOf(const std::wstring& name) {
    std::uint32_t hash = 2166136261u;
    for (wchar_t c : name) {
        const auto unit = static_cast<std::uint16_t>(c);
        hash = (hash ^ (unit & 0xFF)) * 16777619u;
        hash = (hash ^ (unit >> 8)) * 16777619u;
    }
    return hash;
}

std::wstring Hex(std::uint32_t value, std::size_t digits) {
    static const wchar_t kDigits[] = L"0123456789abcdef";
    std::wstring text(kHashDigits, L'0');
    for (std::size_t i = kHashDigits; i-- > 0; value >>= 4) text[i] = kDigits[value & 0xF];
    return text.substr(0, digits);
}

bool IsHexDigit(wchar_t c) { return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f'); }

}  // namespace

std::wstring For(const std::wstring& target) {
    const std::size_t slash = target.find_last_of(L"\\/");
    const std::size_t nameStart = slash == std::wstring::npos ? 0 : slash + 1;
    const std::wstring folder = target.substr(0, nameStart);
    const std::wstring name = target.substr(nameStart);
    const std::wstring marker = kPrefix + Hex(HashOf(name), kHashDigits) + kSuffix;
    if (name.size() >= kMarkerLength) return folder + name.substr(0, name.size() - kMarkerLength) + marker;
    if (folder.size() + kMarkerLength <= kMaxPathLength || name.size() < 2) return folder + marker;
    // No room for the marker: "~" and as many hash digits as the name has
    // characters after it.
    return folder + L"~" + Hex(HashOf(name), std::min(name.size() - 1, kHashDigits));
}

bool IsMarked(const std::wstring& name) {
    if (name.size() < kMarkerLength) return false;
    const std::wstring marker = name.substr(name.size() - kMarkerLength);
    if (marker.compare(0, kPrefixLength, kPrefix) != 0) return false;
    if (marker.compare(kMarkerLength - kSuffixLength, kSuffixLength, kSuffix) != 0) return false;
    for (std::size_t i = kPrefixLength; i < kPrefixLength + kHashDigits; ++i) {
        if (!IsHexDigit(marker[i])) return false;
    }
    return true;
}

}  // namespace TemporaryName
