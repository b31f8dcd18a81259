#pragma once
// Multiply-then-divide on 64-bit operands without intermediate overflow, and
// narrowing that saturates instead of wrapping. The statistics and displays
// scale byte counts by times and factors whose product needs up to 96 bits.

#include <cstdint>

// floor(a * b / c) computed exactly over the 128-bit product. c must not be 0.
// The result saturates at UINT64_MAX when the true quotient does not fit.
uint64_t MulDivU64(uint64_t a, uint64_t b, uint64_t c);

// value, or UINT32_MAX when it does not fit.
inline uint32_t SaturateU32(uint64_t value) {
    return value > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(value);
}

// a + b, or UINT32_MAX when the sum does not fit.
inline uint32_t SaturatingAddU32(uint32_t a, uint32_t b) {
    return SaturateU32(static_cast<uint64_t>(a) + b);
}
