#include <gtest/gtest.h>

#include <cstdint>

#include "control/CopyStatistics.h"
#include "control/Displays.h"

namespace {

class FixedClock : public TickSource {
public:
    uint32_t NowMs() override { return 0; }
};

class DisplaysTest : public ::testing::Test {
protected:
    FixedClock clock;
    CopyStatistics s{clock};
};

TEST_F(DisplaysTest, FilesIsEmptyUntilTheFirstFileAndNeverShowsMoreDoneThanTotal) {
    s.totalFiles = 5;
    EXPECT_EQ(FilesText(s), L"");
    s.filesDone = 1;
    s.totalFiles = 1;
    EXPECT_EQ(FilesText(s), L"1 of 1 files");
    s.filesDone = 7;
    s.totalFiles = 5;
    EXPECT_EQ(FilesText(s), L"7 of 7 files");
    EXPECT_EQ(s.totalFiles, 7u);  // raised and kept
}

TEST_F(DisplaysTest, ElapsedAndRemainingTimeWords) {
    EXPECT_EQ(ElapsedText(s), L"less than 1 second");
    s.elapsedMs = 999;
    EXPECT_EQ(ElapsedText(s), L"less than 1 second");
    s.elapsedMs = 61000;
    EXPECT_EQ(ElapsedText(s), L"1:01");

    s.running = true;
    EXPECT_EQ(RemainingTimeText(s), L"-");
    s.running = false;
    EXPECT_EQ(RemainingTimeText(s), L"done");
    s.remainingMs = 3600000;
    EXPECT_EQ(RemainingTimeText(s), L"1:00:00");
}

TEST_F(DisplaysTest, SpeedNeedsBothElapsedTimeAndASpeed) {
    EXPECT_EQ(SpeedText(s), L"-");
    s.bytesPerSecond = 1500000;
    EXPECT_EQ(SpeedText(s), L"-");
    s.elapsedMs = 1000;
    EXPECT_EQ(SpeedText(s), L"1.50 MB/second");
    s.bytesPerSecond = 0;
    EXPECT_EQ(SpeedText(s), L"-");
}

TEST_F(DisplaysTest, CopiedAndRemainingBytes) {
    s.totalBytes = 5000;
    s.copiedBytes = 2300;
    EXPECT_EQ(CopiedText(s), L"2.29 KB");
    EXPECT_EQ(RemainingBytesText(s), L"none");  // no time elapsed yet
    s.elapsedMs = 1;
    EXPECT_EQ(RemainingBytesText(s), L"2.70 KB");
    s.copiedBytes = 5000;
    EXPECT_EQ(RemainingBytesText(s), L"none");
    s.copiedBytes = 6000;  // the files grew after discovery
    EXPECT_EQ(RemainingBytesText(s), L"none");
}

struct ProgressCase {
    int64_t copied;
    int64_t total;
    const wchar_t* text;
};

TEST_F(DisplaysTest, ProgressTable) {
    const ProgressCase cases[] = {
        {5, 1000, L"0.5%"},   {1, 10000, L"0.0%"},  {0, 10, L"0.0%"},  {999, 1000, L"99%"},
        {1000, 1000, L"100%"}, {7, 0, L""},          {0, 0, L""},
        // Large jobs: the products exceed 64 bits without the wide arithmetic.
        {INT64_MAX / 2, INT64_MAX, L"49%"},          {INT64_MAX / 1000, INT64_MAX, L"0.0%"},
    };
    for (const ProgressCase& c : cases) {
        s.copiedBytes = c.copied;
        s.totalBytes = c.total;
        EXPECT_EQ(ProgressText(s), c.text) << c.copied << " of " << c.total;
    }
}

TEST(Skipped, NoneOrTheCount) {
    EXPECT_EQ(SkippedText(0), L"none");
    EXPECT_EQ(SkippedText(1), L"1");
    EXPECT_EQ(SkippedText(1234), L"1234");
}

struct SummaryCase {
    int32_t files;
    int32_t folders;
    uint64_t bytes;
    const wchar_t* text;
};

TEST(SourceSummary, JoinsCountsOnlyWhenBytesExist) {
    const SummaryCase cases[] = {
        {12, 3, 4294967296ULL, L"12 files in 3 folders (4.29 GB)"},
        {1, 0, 10, L"1 file (10 bytes)"},
        {0, 2, 10, L"2 folders (10 bytes)"},
        {1, 1, 1000, L"1 file in 1 folder (1.00 KB)"},
        {3, 1, 0, L""},  // files that are all empty
        {0, 0, 0, L""},
    };
    for (const SummaryCase& c : cases) {
        EXPECT_EQ(SourceSummary(c.files, c.folders, c.bytes), c.text) << c.files << " " << c.folders;
    }
}

}  // namespace
