#include <gtest/gtest.h>

#include <cstdint>

#include "control/CopyStatistics.h"
#include "control/Displays.h"

namespace {

class ManualClock : public TickSource {
public:
    uint32_t now = 0;
    uint32_t NowMs() override { return now; }
};

class StatisticsTest : public ::testing::Test {
protected:
    ManualClock clock;
    CopyStatistics s{clock};

    // One tick at the given time with the given counters.
    void UpdateAt(uint32_t time, int64_t total, int64_t copied) {
        clock.now = time;
        s.Update(total, copied, 10, 3);
    }
};

TEST_F(StatisticsTest, CountersFollowEveryTickButTimesOnlyPastTheGate) {
    clock.now = 1000;
    s.Start();
    UpdateAt(1900, 100, 40);  // 900 ms: not yet
    EXPECT_EQ(s.copiedBytes, 40);
    EXPECT_EQ(s.totalBytes, 100);
    EXPECT_EQ(s.totalFiles, 10u);
    EXPECT_EQ(s.filesDone, 3u);
    EXPECT_EQ(s.elapsedMs, 0u);
    EXPECT_EQ(s.bytesPerSecond, 0u);

    UpdateAt(1901, 100, 50);  // 901 ms
    EXPECT_EQ(s.elapsedMs, 901u);
    EXPECT_EQ(s.lastTick, 1901u);
    EXPECT_EQ(s.estimatedTotalMs, 1802u);
    EXPECT_EQ(s.remainingMs, 901u);
    EXPECT_EQ(s.bytesPerSecond, 55u);  // 50 * 1000 / 901
}

TEST_F(StatisticsTest, NothingCopiedKeepsTheEstimate) {
    clock.now = 0;
    s.Start();
    UpdateAt(1000, 100, 0);
    EXPECT_EQ(s.elapsedMs, 1000u);
    EXPECT_EQ(s.remainingMs, 0u);
    EXPECT_EQ(s.estimatedTotalMs, 0u);
    EXPECT_EQ(s.bytesPerSecond, 0u);
    EXPECT_EQ(RemainingTimeText(s), L"-");
}

// The tick that sees the pause stops the clock before its update; the copying
// time since the last accepted update and the whole pause are not counted.
TEST_F(StatisticsTest, PausedTimeIsNotCounted) {
    clock.now = 0;
    s.Start();
    UpdateAt(1000, 100, 10);
    UpdateAt(1500, 100, 15);
    s.Stop();
    UpdateAt(1600, 100, 15);
    UpdateAt(60000, 100, 15);
    EXPECT_EQ(s.elapsedMs, 1000u);

    clock.now = 90000;
    s.Start();
    UpdateAt(90800, 100, 20);
    EXPECT_EQ(s.elapsedMs, 1000u);
    UpdateAt(91000, 100, 20);
    EXPECT_EQ(s.elapsedMs, 2000u);
}

TEST_F(StatisticsTest, TickCountWrapsAround) {
    clock.now = 0xFFFFFF00u;
    s.Start();
    UpdateAt(0x00000100u, 100, 1);  // 512 ms later
    EXPECT_EQ(s.elapsedMs, 0u);
    UpdateAt(0x00000400u, 100, 1);  // 1280 ms later
    EXPECT_EQ(s.elapsedMs, 1280u);
}

// 1 TB after 2.6 hours: elapsed x total is 9.36e18, past the signed 64-bit
// range, and the estimate must still be exact.
TEST_F(StatisticsTest, EstimateOfALargeJobDoesNotOverflow) {
    const uint32_t elapsed = 9360000;  // 2.6 hours
    clock.now = 0;
    s.Start();
    UpdateAt(elapsed, 1000000000000LL, 900000000000LL);
    EXPECT_EQ(s.elapsedMs, elapsed);
    EXPECT_EQ(s.estimatedTotalMs, 10400000u);
    EXPECT_EQ(s.remainingMs, 1040000u);
    EXPECT_EQ(RemainingTimeText(s), L"17:20");
}

TEST_F(StatisticsTest, EstimateBeyond32BitsSaturates) {
    clock.now = 0;
    s.Start();
    UpdateAt(1000, 1000000000000000LL, 1);
    EXPECT_EQ(s.estimatedTotalMs, UINT32_MAX);
    EXPECT_EQ(s.remainingMs, UINT32_MAX);
}

// The files grew after discovery: the remaining time is unknown, shown as
// "-" while copying, and never a wrapped value of about 49 days.
TEST_F(StatisticsTest, MoreCopiedThanCountedLeavesNoRemainingTime) {
    clock.now = 0;
    s.Start();
    UpdateAt(2000, 1000, 1500);
    EXPECT_EQ(s.estimatedTotalMs, 1333u);
    EXPECT_EQ(s.remainingMs, 0u);
    EXPECT_EQ(RemainingTimeText(s), L"-");
    EXPECT_EQ(RemainingBytesText(s), L"none");
}

TEST_F(StatisticsTest, SpeedAbove32BitsSaturatesInsteadOfWrapping) {
    clock.now = 0;
    s.Start();
    UpdateAt(1000, 100000000000LL, 10000000000LL);  // 10 GB in one second
    EXPECT_EQ(s.bytesPerSecond, UINT32_MAX);
    EXPECT_EQ(SpeedText(s), L"4.29 GB/second");

    UpdateAt(2000, 100000000000LL, 6000000000LL);  // 3 GB/s fits
    EXPECT_EQ(s.bytesPerSecond, 3000000000u);
}

TEST_F(StatisticsTest, ResetClearsEveryField) {
    clock.now = 0;
    s.Start();
    UpdateAt(5000, 100, 50);
    s.Reset();
    EXPECT_FALSE(s.running);
    EXPECT_EQ(s.lastTick, 0u);
    EXPECT_EQ(s.elapsedMs, 0u);
    EXPECT_EQ(s.remainingMs, 0u);
    EXPECT_EQ(s.estimatedTotalMs, 0u);
    EXPECT_EQ(s.totalBytes, 0);
    EXPECT_EQ(s.copiedBytes, 0);
    EXPECT_EQ(s.totalFiles, 0u);
    EXPECT_EQ(s.filesDone, 0u);
    EXPECT_EQ(s.bytesPerSecond, 0u);
}

TEST(ProgressBarPosition, ScalesToTheRangeAndStaysInside) {
    EXPECT_EQ(ProgressBarPosition(0, 0), 0);
    EXPECT_EQ(ProgressBarPosition(0, 100), 0);
    EXPECT_EQ(ProgressBarPosition(1000, 0), 0);
    EXPECT_EQ(ProgressBarPosition(1000, 500), 32767);
    EXPECT_EQ(ProgressBarPosition(1000, 1000), 65535);
    EXPECT_EQ(ProgressBarPosition(1000, 2000), 65535);  // files grew after discovery
    EXPECT_EQ(ProgressBarPosition(INT64_MAX, INT64_MAX / 2), 32767);
}

}  // namespace
