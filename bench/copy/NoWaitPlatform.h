#pragma once
// A platform that passes every call on, except that sleeps return at once:
// the engine without its fixed thread start and end waits. It can also count
// the calls that reach the inner platform, by kind, and the time spent in
// them, to show what one copied file costs in platform calls.

#include <atomic>
#include <chrono>
#include <cstdint>

#include "platform/Platform.h"

class NoWaitPlatform : public Platform {
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
    explicit NoWaitPlatform(Platform& inner, bool counting = false) : inner(inner), counting(counting) {}

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

    std::uint32_t OpenForBackupRead(const std::wstring& path, FileHandle& file) override {
        return Adopt(Measure(kOpenForRead, [&] { return inner.OpenForBackupRead(path, file); }), file);
    }
    std::uint32_t CreateNewFile(const std::wstring& path, FileHandle& file, std::uint32_t attributes = 0) override {
        return Adopt(Measure(kCreateNew, [&] { return inner.CreateNewFile(path, file, attributes); }), file);
    }
    std::uint32_t CreateUnfinishedFile(const std::wstring& temporary, FileHandle& file,
                                       std::uint32_t attributes) override {
        return Adopt(Measure(kCreateNew, [&] { return inner.CreateUnfinishedFile(temporary, file, attributes); }),
                     file);
    }
    std::uint32_t ReadFile(NativeHandle file, void* buffer, std::uint32_t size, std::uint32_t& bytesRead) override {
        return Measure(kRead, [&] { return inner.ReadFile(file, buffer, size, bytesRead); });
    }
    std::uint32_t WriteFile(NativeHandle file, const void* data, std::uint32_t size,
                            std::uint32_t& bytesWritten) override {
        return Measure(kWrite, [&] { return inner.WriteFile(file, data, size, bytesWritten); });
    }
    std::uint32_t CopyBlock(NativeHandle source, NativeHandle target, void* buffer, std::uint32_t size,
                            std::uint32_t& bytesRead, std::uint32_t& bytesWritten) override {
        return Measure(kCopyBlock,
                       [&] { return inner.CopyBlock(source, target, buffer, size, bytesRead, bytesWritten); });
    }
    std::uint32_t FileSize(NativeHandle file, std::uint64_t& size) override {
        return Measure(kFileSize, [&] { return inner.FileSize(file, size); });
    }
    void CloseFile(NativeHandle file) noexcept override {
        Measure(kClose, [&] {
            inner.CloseFile(file);
            return 0;
        });
    }
    std::uint32_t CloseWrittenFile(NativeHandle file) override {
        return Measure(kCloseWritten, [&] { return inner.CloseWrittenFile(file); });
    }
    std::uint32_t RenameNoReplace(const std::wstring& from, const std::wstring& to) override {
        return Measure(kRename, [&] { return inner.RenameNoReplace(from, to); });
    }
    // Passed on whole, so that the inner platform's own way of naming the
    // file (through its handle, on Windows) is what is measured.
    bool IsUnnamedFile(NativeHandle file) override { return inner.IsUnnamedFile(file); }
    std::uint32_t StampNewFile(NativeHandle file, std::uint64_t time) override {
        return Measure(kOther, [&] { return inner.StampNewFile(file, time); });
    }
    std::uint32_t UnstampFile(const std::wstring& path) override {
        return Measure(kOther, [&] { return inner.UnstampFile(path); });
    }
    std::uint32_t DiscardNewFile(NativeHandle file, const std::wstring& temporary) override {
        return Measure(kRemove, [&] { return inner.DiscardNewFile(file, temporary); });
    }
    std::uint32_t RemoveTemporary(const std::wstring& path) override {
        return Measure(kRemove, [&] { return inner.RemoveTemporary(path); });
    }
    std::uint32_t RealPath(const std::wstring& path, std::wstring& realPath) override {
        return Measure(kFullPath, [&] { return inner.RealPath(path, realPath); });
    }
    Finish FinishNewFile(NativeHandle file, const std::wstring& from, const std::wstring& to,
                         std::uint32_t& error) override {
        return Measure(kFinish, [&] { return inner.FinishNewFile(file, from, to, error); });
    }
    std::uint32_t IdentifyFile(const std::wstring& path, FileIdentity& identity) override {
        return Measure(kIdentify, [&] { return inner.Identify(path, identity); });
    }
    std::uint32_t FullPath(const std::wstring& path, std::wstring& fullPath) override {
        return Measure(kFullPath, [&] { return inner.FullPath(path, fullPath); });
    }
    std::uint32_t GetAttributes(const std::wstring& path, std::uint32_t& attributes) override {
        return Measure(kGetAttributes, [&] { return inner.GetAttributes(path, attributes); });
    }
    std::uint32_t SetAttributes(const std::wstring& path, std::uint32_t attributes) override {
        return Measure(kSetAttributes, [&] { return inner.SetAttributes(path, attributes); });
    }
    std::uint32_t RemoveFile(const std::wstring& path) override {
        return Measure(kRemove, [&] { return inner.RemoveFile(path); });
    }
    std::uint32_t CreateFolder(const std::wstring& path) override {
        return Measure(kCreateFolder, [&] { return inner.CreateFolder(path); });
    }
    std::uint32_t CreateFolderTree(const std::wstring& path) override {
        return Measure(kCreateFolder, [&] { return inner.CreateFolderTree(path); });
    }
    std::uint32_t FindFirst(const std::wstring& pattern, FindHandle& find, FindEntry& entry) override {
        return Adopt(Measure(kFindFirst, [&] { return inner.FindFirst(pattern, find, entry); }), find);
    }
    std::uint32_t FindNext(NativeHandle find, FindEntry& entry) override {
        return Measure(kFindNext, [&] { return inner.FindNext(find, entry); });
    }
    void CloseFind(NativeHandle find) noexcept override {
        Measure(kOther, [&] {
            inner.CloseFind(find);
            return 0;
        });
    }
    std::uint32_t VolumeLabel(const std::wstring& root, std::wstring& label) override {
        return Measure(kOther, [&] { return inner.VolumeLabel(root, label); });
    }
    std::uint32_t FreeBytes(const std::wstring& path, std::uint64_t& freeBytes) override {
        return Measure(kOther, [&] { return inner.FreeBytes(path, freeBytes); });
    }
    bool PathExists(const std::wstring& path) override {
        return Measure(kPathTest, [&] { return inner.PathExists(path); });
    }
    bool IsFolder(const std::wstring& path) override {
        return Measure(kPathTest, [&] { return inner.IsFolder(path); });
    }
    bool IsEmptyFolder(const std::wstring& path) override {
        return Measure(kPathTest, [&] { return inner.IsEmptyFolder(path); });
    }
    std::uint32_t StartThread(ThreadBody body, void* argument, ThreadHandle& thread) override {
        return Adopt(inner.StartThread(body, argument, thread), thread);
    }
    void JoinThread(NativeHandle thread) noexcept override { inner.JoinThread(thread); }
    void SleepMilliseconds(std::uint32_t) override {}
    void KeepAwake(bool on) override { inner.KeepAwake(on); }
    std::uint32_t TickCount() override { return inner.TickCount(); }
    std::uint32_t NewMutex(NativeHandle& mutex) override { return inner.NewMutex(mutex); }
    MutexWait WaitMutex(NativeHandle mutex, std::uint32_t& error) override {
        return Measure(kMutex, [&] { return inner.WaitMutex(mutex, error); });
    }
    std::uint32_t ReleaseMutex(NativeHandle mutex) override {
        return Measure(kMutex, [&] { return inner.ReleaseMutex(mutex); });
    }
    std::uint32_t CloseMutex(NativeHandle mutex) override { return inner.CloseMutex(mutex); }
    bool OverlapsFinishing() override { return overlapsFinishing && inner.OverlapsFinishing(); }
    // Files are closed and named on the copy thread even where the platform
    // would overlap that with the next copy: what the second thread buys.
    void FinishOnTheCopyThread() { overlapsFinishing = false; }
    std::uint32_t NewSignal(NativeHandle& signal) override { return inner.NewSignal(signal); }
    std::uint32_t RaiseSignal(NativeHandle signal) override {
        return Measure(kSignal, [&] { return inner.RaiseSignal(signal); });
    }
    std::uint32_t WaitSignal(NativeHandle signal, std::uint32_t milliseconds) override {
        return Measure(kSignal, [&] { return inner.WaitSignal(signal, milliseconds); });
    }
    std::uint32_t CloseSignal(NativeHandle signal) override { return inner.CloseSignal(signal); }
    void YieldThread() override { inner.YieldThread(); }

private:
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

    // The inner platform opened the handle for us; we close it through
    // ourselves, which passes the close on.
    template <typename Handle>
    std::uint32_t Adopt(std::uint32_t error, Handle& handle) {
        if (error == ErrorCode::kSuccess) {
            const NativeHandle value = handle.release();
            handle.reset(*this, value);
        }
        return error;
    }

    // Each thread that calls gets a lane of its own (a few are enough: the
    // main thread, discovery, the copy thread and its helper).
    static constexpr int kLanes = 8;
    int Lane() {
        thread_local const NoWaitPlatform* owner = nullptr;
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

    Platform& inner;
    bool counting;
    bool overlapsFinishing = true;
    std::atomic<int> nextLane{0};
    std::atomic<std::uint64_t> laneNanoseconds[kLanes] = {};
    std::atomic<std::uint64_t> laneBlocks[kLanes] = {};
    std::atomic<std::uint64_t> laneSignalNanoseconds[kLanes] = {};
    std::atomic<std::uint64_t> calls[kKinds] = {};
    std::atomic<std::uint64_t> kindNanoseconds[kKinds] = {};
    std::atomic<std::uint64_t> nanoseconds{0};
};
