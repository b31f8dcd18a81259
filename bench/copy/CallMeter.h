#pragma once
// Counts the platform calls that reach the inner platform, by kind, and the
// time spent in them, to show what one copied file costs in platform calls.

#include <atomic>
#include <chrono>
#include <cstdint>

class CallMeter {
public:
    enum Kind {
        kOpenForRead, kCreateNew, kRead, kWrite, kCopyBlock, kFileSize, kClose, kCloseWritten, kRename, kFinish, kIdentify, kFullPath,
        kGetAttributes, kSetAttributes, kRemove, kCreateFolder, kFindFirst, kFindNext, kPathTest, kMutex, kSignal, kOther,
        kKinds
    };
    static const char* KindName(int kind) {
        static const char* const names[kKinds] = {
            "open source", "create new", "read", "write", "copy block", "file size", "close", "close written", "rename",
            "close and name",
            "identify", "full path", "get attributes", "set attributes", "remove", "create folder", "find first",
            "find next", "path test", "mutex", "signal", "other"};
        return names[kind];
    }

    // With counting, every call is counted and timed (a little overhead of
    // its own, so the timed runs are kept apart from the others).
    explicit CallMeter(bool counting) : counting(counting) {}

    void ResetCounts() {
        for (auto& c : calls) c = 0;
        for (auto& n : kindNanoseconds) n = 0;
        nanoseconds = 0;
        for (auto& n : laneNanoseconds) n = 0;
        for (auto& b : laneBlocks) b = 0;
        for (auto& n : laneSignalNanoseconds) n = 0;
    }
    std::uint64_t Calls(int kind) const { return calls[kind]; }
    std::uint64_t TotalCalls() const {
        std::uint64_t total = 0;
        for (const auto& c : calls) total += c;
        return total;
    }
    double PlatformSeconds() const { return static_cast<double>(nanoseconds) / 1e9; }
    // The platform time of the thread that copied the blocks, and of all
    // other threads together (the finishing thread, mostly).
    double CopyThreadSeconds() const { return static_cast<double>(laneNanoseconds[CopyLane()]) / 1e9; }
    double OtherThreadSeconds() const { return PlatformSeconds() - CopyThreadSeconds() - OtherThreadIdleSeconds(); }
    // What the other threads spent asleep on a signal: waiting for work.
    double OtherThreadIdleSeconds() const {
        std::uint64_t idle = 0;
        for (int lane = 0; lane < kLanes; ++lane) {
            if (lane != CopyLane()) idle += laneSignalNanoseconds[lane];
        }
        return static_cast<double>(idle) / 1e9;
    }
    double Seconds(int kind) const { return static_cast<double>(kindNanoseconds[kind]) / 1e9; }

    // Runs call, counted and timed as kind when counting.
    template <typename Call>
    auto Measure(Kind kind, Call call) -> decltype(call()) {
        if (!counting) return call();
        const auto start = std::chrono::steady_clock::now();
        auto result = call();
        const auto spent = std::chrono::steady_clock::now() - start;
        const auto nanos = static_cast<std::uint64_t>(std::chrono::nanoseconds(spent).count());
        const int lane = Lane();
        laneNanoseconds[lane].fetch_add(nanos, std::memory_order_relaxed);
        if (kind == kCopyBlock) laneBlocks[lane].fetch_add(1, std::memory_order_relaxed);
        if (kind == kSignal) laneSignalNanoseconds[lane].fetch_add(nanos, std::memory_order_relaxed);
        calls[kind].fetch_add(1, std::memory_order_relaxed);
        kindNanoseconds[kind].fetch_add(nanos, std::memory_order_relaxed);
        nanoseconds.fetch_add(nanos, std::memory_order_relaxed);
        return result;
    }

private:
    // Each thread that calls gets a lane of its own (a few are enough: the
    // main thread, discovery, the copy thread and its helper).
    static constexpr int kLanes = 8;
    int Lane() {
        thread_local const CallMeter* owner = nullptr;
        thread_local int lane = 0;
        if (owner != this) {
            owner = this;
            lane = nextLane.fetch_add(1) % kLanes;
        }
        return lane;
    }
    int CopyLane() const {
        int best = 0;
        for (int lane = 1; lane < kLanes; ++lane) {
            if (laneBlocks[lane] > laneBlocks[best]) best = lane;
        }
        return best;
    }

    bool counting;
    std::atomic<int> nextLane{0};
    std::atomic<std::uint64_t> laneNanoseconds[kLanes] = {};
    std::atomic<std::uint64_t> laneBlocks[kLanes] = {};
    std::atomic<std::uint64_t> laneSignalNanoseconds[kLanes] = {};
    std::atomic<std::uint64_t> calls[kKinds] = {};
    std::atomic<std::uint64_t> kindNanoseconds[kKinds] = {};
    std::atomic<std::uint64_t> nanoseconds{0};
};
