#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "control/Formatting.h"

namespace {

struct DurationCase {
    uint32_t ms;
    const wchar_t* text;
};

TEST(FormatDuration, TruncatesAndSwitchesToHoursAtOneHour) {
    const DurationCase cases[] = {
        {0, L"0:00"},          {999, L"0:00"},          {1000, L"0:01"},       {59999, L"0:59"},
        {60000, L"1:00"},      {3599999, L"59:59"},     {3600000, L"1:00:00"}, {90061000, L"25:01:01"},
        {UINT32_MAX, L"1193:02:47"},
    };
    for (const DurationCase& c : cases) EXPECT_EQ(FormatDuration(c.ms), c.text) << c.ms;
}

struct SizeCase {
    int64_t bytes;
    const wchar_t* text;
};

TEST(FormatSize, WorkedTable) {
    const SizeCase cases[] = {
        {0, L"0 bytes"},           {1, L"1 bytes"},           {999, L"999 bytes"},
        {1000, L"1.00 KB"},        {1024, L"1.02 KB"},        {1500, L"1.50 KB"},
        {2300, L"2.29 KB"},        {12345, L"12.3 KB"},       {99999, L"99.9 KB"},
        {100000, L"100 KB"},       {999999, L"999 KB"},       {1000000, L"1.00 MB"},
        {1048576, L"1.04 MB"},     {1000000000, L"1.00 GB"},  {4294967296LL, L"4.29 GB"},
        {1000000000000LL, L"1.00 TB"},
    };
    for (const SizeCase& c : cases) EXPECT_EQ(FormatSize(c.bytes), c.text) << c.bytes;
}

// Just below each unit boundary the single-precision quotient rounds to
// 1000; the number must stay 999 of the smaller unit, never empty or 1000.
TEST(FormatSize, QuotientRoundedUpToOneThousandStaysInItsUnit) {
    const SizeCase cases[] = {
        {999999999LL, L"999 MB"},
        {999999999999LL, L"999 GB"},
        {999999999999999LL, L"999 TB"},
        {1000000000000000LL, L"1000 TB"},
        {1500000000000000LL, L"1500 TB"},
        {INT64_MAX, L"9223372 TB"},
    };
    for (const SizeCase& c : cases) EXPECT_EQ(FormatSize(c.bytes), c.text) << c.bytes;
}

TEST(FormatSize, NegativeCountsUseTheLow32BitsAsBytes) {
    EXPECT_EQ(FormatSize(-5), L"-5 bytes");
    EXPECT_EQ(FormatSize(-4294967296LL), L"0 bytes");
}

TEST(FormatThreeDigits, DigitsAreTruncatedFromTheSinglePrecisionValue) {
    EXPECT_EQ(FormatThreeDigits(2.3f), L"2.29");  // held as 2.2999999523
    EXPECT_EQ(FormatThreeDigits(9.999f), L"9.99");
    EXPECT_EQ(FormatThreeDigits(10.0f), L"10.0");
    EXPECT_EQ(FormatThreeDigits(99.99f), L"99.9");
    EXPECT_EQ(FormatThreeDigits(999.9f), L"999");
    EXPECT_EQ(FormatThreeDigits(1000.0f), L"1000");
    EXPECT_EQ(FormatThreeDigits(1.0e30f), L"9000000000000000000");  // held, not undefined
}

}  // namespace
