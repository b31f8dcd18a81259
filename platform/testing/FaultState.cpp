#include "platform/testing/FaultState.h"

namespace Fault {

bool EndsWith(const std::wstring& text, const std::wstring& suffix) {
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::uint32_t State::Check(PlatformCall call, const std::wstring& path, std::uint32_t* bytesAccepted) {
    std::lock_guard<SpinLock> guard(lock);
    ++calls[static_cast<int>(call)];
    for (auto& rule : rules) {
        if (rule.call != call || !EndsWith(path, rule.suffix)) continue;
        ++rule.matched;
        if (rule.matched < rule.nth) continue;
        if (rule.times != 0 && rule.matched >= rule.nth + rule.times) continue;
        if (bytesAccepted) *bytesAccepted = rule.bytesAccepted;
        return rule.error;
    }
    return ErrorCode::kSuccess;
}

std::wstring State::PathOf(NativeHandle handle) const {
    std::lock_guard<SpinLock> guard(lock);
    const auto file = files.find(handle);
    if (file != files.end()) return file->second.path;
    const auto listing = listings.find(handle);
    return listing != listings.end() ? listing->second : std::wstring();
}

}  // namespace Fault
