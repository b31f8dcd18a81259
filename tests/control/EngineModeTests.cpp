#include <gtest/gtest.h>

#include "engine/EngineMode.h"

namespace {

// The mode table with its conditions written out in full, one pattern per
// row over the flags in the order started, done, setUp, copyStarted,
// copyDone, paused ('1' set, '0' clear, '-' either). Each combination of the
// six flags must match exactly one row, and the derivation must agree.
struct ModeRow {
    const char* pattern;
    EngineMode mode;
};

const ModeRow kRows[] = {
    {"0-----", EngineMode::Idle},
    {"100---", EngineMode::Discovering},
    {"101---", EngineMode::Queued},
    {"11-0--", EngineMode::Ready},
    {"11-100", EngineMode::Copying},
    {"11-101", EngineMode::Paused},
    {"11-11-", EngineMode::Completed},
};

bool Matches(const char* pattern, unsigned bits) {
    for (int i = 0; i < 6; ++i) {
        const bool set = (bits >> (5 - i)) & 1u;
        if (pattern[i] == '1' && !set) return false;
        if (pattern[i] == '0' && set) return false;
    }
    return true;
}

TEST(EngineMode, TruthTableOverAllFlagCombinations) {
    int seen[7] = {};
    for (unsigned bits = 0; bits < 64; ++bits) {
        EngineFlags flags;
        flags.discoveryStarted = bits & 32;
        flags.discoveryDone = bits & 16;
        flags.copySetUp = bits & 8;
        flags.copyStarted = bits & 4;
        flags.copyDone = bits & 2;
        flags.copyPaused = bits & 1;

        int matches = 0;
        EngineMode expected = EngineMode::Idle;
        for (const ModeRow& row : kRows) {
            if (Matches(row.pattern, bits)) {
                ++matches;
                expected = row.mode;
            }
        }
        ASSERT_EQ(matches, 1) << "flags " << bits;
        EXPECT_EQ(DeriveEngineMode(flags), expected) << "flags " << bits;
        ++seen[static_cast<int>(expected)];
    }
    // Every mode is reachable from some combination.
    for (int count : seen) EXPECT_GT(count, 0);
}

TEST(EngineMode, ValuesAndNames) {
    EXPECT_EQ(static_cast<int>(EngineMode::Idle), 0);
    EXPECT_EQ(static_cast<int>(EngineMode::Completed), 6);
    EXPECT_STREQ(EngineModeName(EngineMode::Queued), L"Queued");
    EXPECT_STREQ(EngineModeName(EngineMode::Paused), L"Paused");
}

}  // namespace
