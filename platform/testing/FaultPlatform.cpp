#include "platform/testing/FaultPlatform.h"

#include <mutex>

FaultPlatform::FaultPlatform(Platform& inner) : FaultTopics(inner), Platform(files, listing, folders, sync, threads) {}

void FaultPlatform::Fail(PlatformCall call, const std::wstring& pathSuffix, std::uint32_t error, int nth, int times) {
    std::lock_guard<Fault::SpinLock> guard(state.lock);
    state.rules.push_back({call, pathSuffix, error, nth, times, 0, 0});
}

void FaultPlatform::FailWrite(const std::wstring& pathSuffix, int nth, std::uint32_t error,
                              std::uint32_t bytesAccepted) {
    std::lock_guard<Fault::SpinLock> guard(state.lock);
    state.rules.push_back({PlatformCall::WriteFile, pathSuffix, error, nth, 1, bytesAccepted, 0});
}

void FaultPlatform::LimitReads(const std::wstring& pathSuffix, std::uint64_t limit) {
    std::lock_guard<Fault::SpinLock> guard(state.lock);
    state.readLimits[pathSuffix] = limit;
}

void FaultPlatform::HidePath(const std::wstring& pathSuffix) {
    std::lock_guard<Fault::SpinLock> guard(state.lock);
    state.hiddenPaths.push_back(pathSuffix);
}

void FaultPlatform::ReportSize(const std::wstring& pathSuffix, std::uint64_t size) {
    std::lock_guard<Fault::SpinLock> guard(state.lock);
    state.reportedSizes[pathSuffix] = size;
}

void FaultPlatform::ReportReparseTag(const std::wstring& pathSuffix, std::uint32_t tag) {
    std::lock_guard<Fault::SpinLock> guard(state.lock);
    state.reportedTags[pathSuffix] = tag;
}

void FaultPlatform::ReportAttributes(const std::wstring& pathSuffix, std::uint32_t bits) {
    std::lock_guard<Fault::SpinLock> guard(state.lock);
    state.reportedAttributes[pathSuffix] = bits;
}

void FaultPlatform::OnRead(std::function<void(const std::wstring&, int)> hook) {
    std::lock_guard<Fault::SpinLock> guard(state.lock);
    state.readHook = std::move(hook);
}

void FaultPlatform::OnRename(std::function<void(const std::wstring&)> hook) {
    std::lock_guard<Fault::SpinLock> guard(state.lock);
    state.renameHook = std::move(hook);
}

void FaultPlatform::OnMutexWait(std::function<void()> hook) {
    std::lock_guard<Fault::SpinLock> guard(state.lock);
    state.waitHook = std::move(hook);
}

void FaultPlatform::OnMutexReleased(std::function<void()> hook) {
    std::lock_guard<Fault::SpinLock> guard(state.lock);
    state.releasedHook = std::move(hook);
}

void FaultPlatform::FailMutexWait(int nth, MutexWait result, std::uint32_t error) {
    std::lock_guard<Fault::SpinLock> guard(state.lock);
    state.waitFaultNth = nth;
    state.waitFaultResult = result;
    state.waitFaultError = error;
    state.waits = 0;
}

void FaultPlatform::SetOverlapsFinishing(bool overlaps) { state.overlapsFinishing = overlaps ? 1 : 0; }

void FaultPlatform::SetInstantSleeps(bool instant) {
    std::lock_guard<Fault::SpinLock> guard(state.lock);
    state.instantSleeps = instant;
}

int FaultPlatform::Calls(PlatformCall call) const {
    std::lock_guard<Fault::SpinLock> guard(state.lock);
    return state.calls[static_cast<int>(call)];
}

std::vector<bool> FaultPlatform::KeepAwakeCalls() const {
    std::lock_guard<Fault::SpinLock> guard(state.lock);
    return state.keepAwakeCalls;
}

std::vector<std::uint32_t> FaultPlatform::Sleeps() const {
    std::lock_guard<Fault::SpinLock> guard(state.lock);
    return state.sleeps;
}
