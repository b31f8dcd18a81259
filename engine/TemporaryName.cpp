#include "engine/TemporaryName.h"

#include "engine/PathHelpers.h"

namespace TemporaryName {
namespace {

const wchar_t kPrefix[] = L"~tv";
const wchar_t kSuffix[] = L".part";
constexpr std::size_t kPrefixLength = 3;
constexpr std::size_t kSuffixLength = 5;
constexpr std::size_t kHashDigits = 8;
constexpr std::size_t kMarkerLength = kPrefixLength + kHashDigits + kSuffixLength;

// 2100-01-01 00:00:00 UTC in 100-ns units since 1601: no file a user writes
// today has it, and relaxed access-time updates leave a time ahead of the
// last write alone.
constexpr std::uint64_t kStampBase = 157469184000000000ull;
constexpr std::uint64_t kTicksPerSecond = 10000000;
// Whole seconds after the base, spread over 2,920 days (to 2107-12-29, the
// last year a FAT date holds), and microseconds within one.
constexpr std::uint64_t kNameSeconds = 2920ull * 86400;
constexpr std::uint64_t kSourceSteps = 1000000;
// A volume that keeps last-access times coarsely gives the stamp back on a
// whole second: exFAT to 2 seconds, FAT as a local date, read back as that
// date's midnight under the reader's time zone, which may not be the
// writer's. Three days cover a day and the widest change of zone.
constexpr std::int64_t kCoarseReach = 3 * 86400 * static_cast<std::int64_t>(kTicksPerSecond);

// FNV-1a over the UTF-16 code units of text and then of the attempt number.
std::uint32_t HashOf(const std::wstring& text, int attempt = 0) {
    std::uint32_t hash = 2166136261u;
    auto add = [&hash](std::uint32_t unit) {
        hash = (hash ^ (unit & 0xFF)) * 16777619u;
        hash = (hash ^ ((unit >> 8) & 0xFF)) * 16777619u;
    };
    for (wchar_t c : text) add(static_cast<std::uint16_t>(c));
    if (attempt > 0) add(static_cast<std::uint32_t>(attempt));
    return hash;
}

std::uint32_t HashOf(std::uint64_t a, std::uint64_t b) {
    std::uint32_t hash = 2166136261u;
    for (std::uint64_t value : {a, b}) {
        for (int i = 0; i < 8; ++i, value >>= 8) hash = (hash ^ (value & 0xFF)) * 16777619u;
    }
    return hash;
}

std::wstring Hex(std::uint32_t value) {
    static const wchar_t kDigits[] = L"0123456789abcdef";
    std::wstring text(kHashDigits, L'0');
    for (std::size_t i = kHashDigits; i-- > 0; value >>= 4) text[i] = kDigits[value & 0xF];
    return text;
}

bool IsHexDigit(wchar_t c) { return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f'); }

}  // namespace

std::wstring For(const std::wstring& target, int attempt) {
    const std::size_t slash = target.find_last_of(L"\\/");
    const std::size_t nameStart = slash == std::wstring::npos ? 0 : slash + 1;
    const std::wstring folder = target.substr(0, nameStart);
    const std::wstring name = target.substr(nameStart);
    const std::wstring marker = kPrefix + Hex(HashOf(name, attempt)) + kSuffix;
    const std::wstring path = name.size() >= kMarkerLength
                                  ? folder + name.substr(0, name.size() - kMarkerLength) + marker
                                  : folder + marker;
    return path.size() > kMaxPathLength ? LongPathOf(path) : path;
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

std::uint64_t StampFor(const std::wstring& name, std::uint64_t sourceSize, std::uint64_t sourceLastWrite) {
    const std::uint64_t seconds = HashOf(name) % kNameSeconds;
    const std::uint64_t steps = HashOf(sourceSize, sourceLastWrite) % kSourceSteps;
    return kStampBase + seconds * kTicksPerSecond + steps * 10;
}

bool IsStampOf(const std::wstring& name, std::uint64_t lastAccess) {
    const std::uint64_t seconds = HashOf(name) % kNameSeconds;
    if (lastAccess >= kStampBase) {
        const std::uint64_t offset = lastAccess - kStampBase;
        if (offset / kTicksPerSecond == seconds && offset % 10 == 0) return true;
    }
    if (lastAccess % kTicksPerSecond != 0) return false;
    const std::int64_t distance =
        static_cast<std::int64_t>(lastAccess) - static_cast<std::int64_t>(kStampBase + seconds * kTicksPerSecond);
    return distance >= -kCoarseReach && distance <= kCoarseReach;
}

bool IsFromSource(std::uint64_t lastAccess, std::uint64_t sourceSize, std::uint64_t sourceLastWrite) {
    if (lastAccess < kStampBase) return false;
    return (lastAccess - kStampBase) % kTicksPerSecond == HashOf(sourceSize, sourceLastWrite) % kSourceSteps * 10;
}

}  // namespace TemporaryName
