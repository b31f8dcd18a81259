#include "control/WideMath.h"

namespace {

// The 128-bit product of two 64-bit values as high and low halves, from four
// 32-bit partial products (no compiler extension, so the 32-bit build has it too).
void Multiply(uint64_t a, uint64_t b, uint64_t& high, uint64_t& low) {
    const uint64_t aLow = a & 0xFFFFFFFFu, aHigh = a >> 32;
    const uint64_t bLow = b & 0xFFFFFFFFu, bHigh = b >> 32;
    const uint64_t ll = aLow * bLow;
    const uint64_t lh = aLow * bHigh;
    const uint64_t hl = aHigh * bLow;
    const uint64_t hh = aHigh * bHigh;
    const uint64_t middle = (ll >> 32) + (lh & 0xFFFFFFFFu) + (hl & 0xFFFFFFFFu);
    low = (middle << 32) | (ll & 0xFFFFFFFFu);
    high = hh + (lh >> 32) + (hl >> 32) + (middle >> 32);
}

}  // namespace

uint64_t MulDivU64(uint64_t a, uint64_t b, uint64_t c) {
    uint64_t high = 0, low = 0;
    Multiply(a, b, high, low);
    if (high == 0) return low / c;
    if (high >= c) return UINT64_MAX;  // the quotient needs more than 64 bits

    // Restoring long division of high:low by c, one bit at a time. The
    // remainder stays below c, so it always fits in 64 bits plus the carry.
    uint64_t remainder = high;
    uint64_t quotient = 0;
    for (int bit = 63; bit >= 0; --bit) {
        const bool carry = (remainder >> 63) != 0;
        remainder = (remainder << 1) | ((low >> bit) & 1u);
        quotient <<= 1;
        if (carry || remainder >= c) {
            remainder -= c;
            quotient |= 1u;
        }
    }
    return quotient;
}
