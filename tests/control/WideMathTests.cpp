#include <gtest/gtest.h>

#include <cstdint>
#include <random>

#include "control/WideMath.h"

namespace {

TEST(MulDivU64, ExactAcrossThe64BitBoundary) {
    EXPECT_EQ(MulDivU64(0, 5, 3), 0u);
    EXPECT_EQ(MulDivU64(7, 3, 2), 10u);
    EXPECT_EQ(MulDivU64(UINT64_MAX, UINT64_MAX, UINT64_MAX), UINT64_MAX);
    EXPECT_EQ(MulDivU64(UINT64_MAX, 2, 4), UINT64_MAX / 2);
    EXPECT_EQ(MulDivU64(1ULL << 40, 1ULL << 40, 1ULL << 50), 1ULL << 30);
    EXPECT_EQ(MulDivU64(9360000, 1000000000000ULL, 900000000000ULL), 10400000u);
    EXPECT_EQ(MulDivU64(UINT64_MAX, 3, 2), UINT64_MAX);  // saturates
}

#ifdef __SIZEOF_INT128__
TEST(MulDivU64, AgreesWithNative128BitArithmetic) {
    std::mt19937_64 random(4);
    for (int i = 0; i < 20000; ++i) {
        const uint64_t a = random() >> (random() % 64);
        const uint64_t b = random() >> (random() % 64);
        const uint64_t c = (random() >> (random() % 64)) | 1;
        const unsigned __int128 exact = static_cast<unsigned __int128>(a) * b / c;
        const uint64_t expected = exact > UINT64_MAX ? UINT64_MAX : static_cast<uint64_t>(exact);
        ASSERT_EQ(MulDivU64(a, b, c), expected) << a << " * " << b << " / " << c;
    }
}
#else
TEST(MulDivU64, AgreesWithNative128BitArithmetic) {
    GTEST_SKIP() << "this target's compiler has no 128-bit integer to compare with (32-bit); "
                    "the fixed cases of ExactAcrossThe64BitBoundary still run";
}
#endif

TEST(Saturate, NarrowingAndAddition) {
    EXPECT_EQ(SaturateU32(5), 5u);
    EXPECT_EQ(SaturateU32(UINT32_MAX), UINT32_MAX);
    EXPECT_EQ(SaturateU32(1ULL << 32), UINT32_MAX);
    EXPECT_EQ(SaturatingAddU32(UINT32_MAX - 1, 1), UINT32_MAX);
    EXPECT_EQ(SaturatingAddU32(UINT32_MAX - 1, 5), UINT32_MAX);
}

}  // namespace
