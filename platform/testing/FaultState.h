#pragma once
// What the fault decorators of one FaultPlatform share: the rules a test
// gave, the hooks, the paths of the handles they track, and the counters
// and records. A test configures it before the engine threads start; lock
// guards what those threads then read and write.

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/PlatformTypes.h"

enum class PlatformCall {
    OpenForBackupRead,
    CreateNewFile,
    ReadFile,
    WriteFile,
    FileSize,
    GetAttributes,
    SetAttributes,
    RemoveFile,
    CreateFolder,
    CreateFolderTree,
    FindFirst,
    FindNext,
    VolumeLabel,
    FreeBytes,
    StartThread,
    NewMutex,
    WaitMutex,
    ReleaseMutex,
    CloseMutex,
    NewSignal,
    RaiseSignal,
    WaitSignal,
    CloseWrittenFile,
    RenameNoReplace,
    Identify,
    FullPath,
    Count
};

namespace Fault {

bool EndsWith(const std::wstring& text, const std::wstring& suffix);

// The value of the first entry whose key path ends with; null when none does.
template <typename Map>
const typename Map::mapped_type* FindBySuffix(const Map& map, const std::wstring& path) {
    for (const auto& item : map) {
        if (EndsWith(path, item.first)) return &item.second;
    }
    return nullptr;
}

// A spin lock: the 32-bit toolchain's threading model has no std::mutex,
// and the decorators hold it only for a few map operations.
class SpinLock {
public:
    void lock() {
        while (flag.test_and_set(std::memory_order_acquire)) {
        }
    }
    void unlock() { flag.clear(std::memory_order_release); }

private:
    std::atomic_flag flag = ATOMIC_FLAG_INIT;
};

struct State {
    struct Rule {
        PlatformCall call;
        std::wstring suffix;
        std::uint32_t error;
        int nth;
        int times;
        std::uint32_t bytesAccepted;
        int matched;
    };
    struct OpenFile {
        std::wstring path;
        int reads = 0;
        std::uint64_t bytesRead = 0;
    };

    // Counts the call; the error of the rule that fails it, or kSuccess.
    std::uint32_t Check(PlatformCall call, const std::wstring& path, std::uint32_t* bytesAccepted = nullptr);
    // The path a tracked file or listing was opened with; empty for others.
    std::wstring PathOf(NativeHandle handle) const;
    // A copy of a hook, taken under the lock, to be called outside it.
    template <typename Hook>
    Hook HookOf(const Hook& hook) const {
        std::lock_guard<SpinLock> guard(lock);
        return hook;
    }

    mutable SpinLock lock;
    std::vector<Rule> rules;
    std::map<std::wstring, std::uint64_t> readLimits;
    std::map<std::wstring, std::uint64_t> reportedSizes;
    std::map<std::wstring, std::uint32_t> reportedTags;
    std::map<std::wstring, std::uint32_t> reportedAttributes;
    std::vector<std::wstring> hiddenPaths;
    std::map<NativeHandle, OpenFile> files;
    std::map<NativeHandle, std::wstring> listings;
    std::function<void(const std::wstring&, int)> readHook;
    std::function<void(const std::wstring&)> renameHook;
    std::function<void()> waitHook;
    std::function<void()> releasedHook;
    int waitFaultNth = 0;
    MutexWait waitFaultResult = MutexWait::Acquired;
    std::uint32_t waitFaultError = 0;
    int waits = 0;
    bool instantSleeps = false;
    int overlapsFinishing = -1;  // -1: as the inner platform says
    int calls[static_cast<int>(PlatformCall::Count)] = {};
    std::vector<bool> keepAwakeCalls;
    std::vector<std::uint32_t> sleeps;
};

}  // namespace Fault
