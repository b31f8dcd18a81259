#pragma once
// The figures of a running copy: elapsed copying time, the linear estimate of
// the remaining time and the average speed, plus the counters the displays
// show. A plain value object of the main thread; it reads the clock only in
// Start and Update, and the caller passes in the engine counters.
//
// The time fields keep their 32-bit width. Every value computed into them
// saturates at UINT32_MAX instead of wrapping, and the intermediate products
// (elapsed time x bytes, bytes x 1000) are computed without overflow.

#include <cstdint>

#include "control/TickSource.h"

class CopyStatistics {
public:
    // Accepted updates are at least this far apart; closer ones only store
    // the counters.
    static constexpr uint32_t kUpdateGateMs = 900;

    explicit CopyStatistics(TickSource& clock);

    // Back to all zero (a source change, or Go after a completed copy).
    void Reset();
    // Entering Copying (first start and every resume): the clock runs from now.
    void Start();
    // Entering Paused or Completed: elapsed time stops accumulating.
    void Stop();
    // Every tick: stores the counters; at most once per gate recomputes the
    // elapsed time, the estimate and the speed.
    void Update(int64_t totalBytes, int64_t copiedBytes, uint32_t totalFiles, uint32_t filesDone);

    bool running = false;
    uint32_t lastTick = 0;
    uint32_t elapsedMs = 0;
    // 0 when no estimate exists yet, and also when more bytes were copied than
    // discovery counted (the files grew): the remaining time is then unknown,
    // never a wrapped huge value.
    uint32_t remainingMs = 0;
    uint32_t estimatedTotalMs = 0;
    int64_t totalBytes = 0;
    int64_t copiedBytes = 0;
    uint32_t totalFiles = 0;
    uint32_t filesDone = 0;
    uint32_t bytesPerSecond = 0;

private:
    TickSource* clock;
};

// Position of the main form's progress bar (range 0 to 65535) while copying:
// copiedBytes scaled to the range, 0 when nothing was counted, and never past
// the end of the range when the files grew after discovery.
int ProgressBarPosition(int64_t totalBytes, int64_t copiedBytes);
