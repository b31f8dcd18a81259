#include "control/CopyStatistics.h"

#include "control/WideMath.h"

CopyStatistics::CopyStatistics(TickSource& clock) : clock(&clock) {}

void CopyStatistics::Reset() {
    running = false;
    lastTick = 0;
    elapsedMs = 0;
    remainingMs = 0;
    estimatedTotalMs = 0;
    totalBytes = 0;
    copiedBytes = 0;
    totalFiles = 0;
    filesDone = 0;
    bytesPerSecond = 0;
}

void CopyStatistics::Start() {
    running = true;
    lastTick = clock->NowMs();
}

void CopyStatistics::Stop() {
    running = false;
}

void CopyStatistics::Update(int64_t total, int64_t copied, uint32_t files, uint32_t done) {
    totalBytes = total;
    copiedBytes = copied;
    totalFiles = files;
    filesDone = done;

    const uint32_t now = clock->NowMs();
    const uint32_t delta = now - lastTick;  // unsigned: correct across the wrap
    if (delta <= kUpdateGateMs) return;
    if (running) elapsedMs = SaturatingAddU32(elapsedMs, delta);
    lastTick = now;

    if (copiedBytes > 0) {
        const uint64_t totalCount = totalBytes > 0 ? static_cast<uint64_t>(totalBytes) : 0;
        const uint64_t estimate = MulDivU64(elapsedMs, totalCount, static_cast<uint64_t>(copiedBytes));
        estimatedTotalMs = SaturateU32(estimate);
        remainingMs = estimate > elapsedMs ? SaturateU32(estimate - elapsedMs) : 0;
    }
    if (elapsedMs > 0 && copiedBytes >= 0) {
        bytesPerSecond = SaturateU32(MulDivU64(static_cast<uint64_t>(copiedBytes), 1000, elapsedMs));
    }
}

int ProgressBarPosition(int64_t totalBytes, int64_t copiedBytes) {
    constexpr int kRange = 65535;
    if (totalBytes <= 0 || copiedBytes <= 0) return 0;
    const uint64_t position =
        MulDivU64(static_cast<uint64_t>(copiedBytes), kRange, static_cast<uint64_t>(totalBytes));
    return position > static_cast<uint64_t>(kRange) ? kRange : static_cast<int>(position);
}
