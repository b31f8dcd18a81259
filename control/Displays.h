#pragma once
// One formatter per figure of the status panel and the source summary line.
// Each is a pure function of the statistics or of engine counters, except
// FilesText, which raises the stored file total to the done count.

#include <cstdint>
#include <string>

#include "control/CopyStatistics.h"

// "3 of 10 files" (always the plural), empty before the first file is done.
// Never shows more done than total: a larger done count raises totalFiles.
std::wstring FilesText(CopyStatistics& statistics);

// The elapsed copying time, or "less than 1 second" below one second.
std::wstring ElapsedText(const CopyStatistics& statistics);

// The remaining time; when it is zero (no estimate yet, or more copied than
// counted): "-" while the clock runs, "done" once paused or completed.
std::wstring RemainingTimeText(const CopyStatistics& statistics);

// "1.50 MB/second", or "-" before a speed exists.
std::wstring SpeedText(const CopyStatistics& statistics);

// The bytes copied so far.
std::wstring CopiedText(const CopyStatistics& statistics);

// The bytes still to copy, or "none" (nothing left, or no time elapsed yet).
std::wstring RemainingBytesText(const CopyStatistics& statistics);

// "42%", "0.5%" below one percent, empty when nothing was counted.
std::wstring ProgressText(const CopyStatistics& statistics);

// The skipped-files count, or "none".
std::wstring SkippedText(int32_t skipped);

// The line under the From field: "12 files in 3 folders (4.29 GB)", empty
// when the sources hold no bytes.
std::wstring SourceSummary(int32_t files, int32_t folders, uint64_t bytes);
