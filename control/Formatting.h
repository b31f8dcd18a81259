#pragma once
// The number formatters behind every figure on screen. Units are decimal
// (1 KB = 1000 bytes); durations and sizes are truncated, never rounded up.

#include <cstdint>
#include <string>

// "m:ss" below an hour, "h:mm:ss" from one hour on (hours are not capped at 24).
std::wstring FormatDuration(uint32_t ms);

// "N bytes" below 1000 (plural even for 1), then "x.yz KB", "xy.z MB",
// "xyz GB", ... with three significant digits. A quotient that single
// precision rounds up to 1000 just below a unit boundary shows as 999 of the
// smaller unit; 1000 TB and more show the whole number of TB ("1500 TB").
std::wstring FormatSize(int64_t bytes);

// Three significant digits by truncation: "1.02", "12.3", "100". Values of
// 1000 and more give their whole part ("1000").
std::wstring FormatThreeDigits(float value);
