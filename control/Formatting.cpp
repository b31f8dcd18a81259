#include "control/Formatting.h"

#include <cmath>

namespace {

// "%.2d": at least two digits.
std::wstring TwoDigits(uint32_t value) {
    std::wstring text = std::to_wstring(value);
    if (text.size() < 2) text.insert(0, 1, L'0');
    return text;
}

// Truncation toward zero into an int, as the C conversion does for the
// values that reach it here (all well inside the int range).
int Truncate(double value) {
    return static_cast<int>(value);
}

}  // namespace

std::wstring FormatDuration(uint32_t ms) {
    const uint32_t seconds = ms / 1000;
    const uint32_t minutes = seconds / 60;
    const uint32_t hours = minutes / 60;
    if (hours > 0) {
        return std::to_wstring(hours) + L":" + TwoDigits(minutes % 60) + L":" + TwoDigits(seconds % 60);
    }
    return std::to_wstring(minutes % 60) + L":" + TwoDigits(seconds % 60);
}

std::wstring FormatThreeDigits(float value) {
    const double v = value;
    if (v < 10) {
        const int i = Truncate(v);
        const int d1 = Truncate(v * 10 - i * 10.0);
        const int d2 = Truncate(v * 100 - i * 100.0 - d1 * 10.0);
        return std::to_wstring(i) + L"." + std::to_wstring(d1) + std::to_wstring(d2);
    }
    if (v < 100) {
        const int i = Truncate(v);
        const int d1 = Truncate(v * 10 - i * 10.0);
        return std::to_wstring(i) + L"." + std::to_wstring(d1);
    }
    if (v < 1000) return std::to_wstring(Truncate(v));
    // Only reached for 1000 TB and more (FormatSize keeps the other units
    // below 1000). The largest 64-bit byte count is about 9.2 million TB;
    // larger values (and NaN) are held at the largest whole number shown.
    if (!(v < 9.0e18)) return L"9000000000000000000";
    return std::to_wstring(static_cast<long long>(std::trunc(v)));
}

std::wstring FormatSize(int64_t bytes) {
    if (bytes < 1000) {
        // The low 32 bits as a signed count; every count below 1000 is plural.
        return std::to_wstring(static_cast<int32_t>(static_cast<uint32_t>(bytes))) + L" bytes";
    }
    struct Unit {
        int64_t size;
        const wchar_t* suffix;
    };
    static const Unit kUnits[] = {
        {1000LL, L" KB"}, {1000000LL, L" MB"}, {1000000000LL, L" GB"}, {1000000000000LL, L" TB"}};
    const size_t count = sizeof(kUnits) / sizeof(kUnits[0]);
    size_t unit = 0;
    while (unit + 1 < count && bytes >= kUnits[unit].size * 1000) ++unit;

    const double exact = static_cast<double>(bytes) / static_cast<double>(kUnits[unit].size);
    float quotient = static_cast<float>(exact);
    if (exact < 1000.0 && quotient >= 1000.0f) {
        // Only the rounding to single precision reached 1000 (999,999,999
        // bytes). Show 999 of this unit rather than an empty or rounded-up number.
        quotient = std::nextafter(1000.0f, 0.0f);
    }
    return FormatThreeDigits(quotient) + kUnits[unit].suffix;
}
