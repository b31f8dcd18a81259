#include <mutex>

#include "platform/testing/FaultCalls.h"

namespace Fault {

namespace {

// The folder a listing pattern names ("C:\a\*" lists "C:\a").
std::wstring ListedFolder(const std::wstring& pattern) {
    if (pattern.size() >= 2 && pattern.back() == L'*' &&
        (pattern[pattern.size() - 2] == L'\\' || pattern[pattern.size() - 2] == L'/')) {
        return pattern.substr(0, pattern.size() - 2);
    }
    return pattern;
}

}  // namespace

void Listing::AdjustEntry(NativeHandle find, FindEntry& entry) {
    const std::wstring folder = state.PathOf(find);
    std::lock_guard<SpinLock> guard(state.lock);
    if (state.reportedSizes.empty() && state.reportedTags.empty() && state.reportedAttributes.empty()) return;
    const std::wstring full = folder == entry.name || EndsWith(folder, L"\\" + entry.name) ? folder
                                                                                        : folder + L"\\" + entry.name;
    if (const auto* size = FindBySuffix(state.reportedSizes, full)) entry.size = *size;
    if (const auto* tag = FindBySuffix(state.reportedTags, full)) {
        entry.attributes |= FileAttribute::kReparsePoint;
        entry.reparseTag = *tag;
    }
    if (const auto* bits = FindBySuffix(state.reportedAttributes, full)) entry.attributes |= *bits;
}

std::uint32_t Listing::FindFirst(const std::wstring& pattern, FindHandle& find, FindEntry& entry) {
    const std::wstring folder = ListedFolder(pattern);
    if (std::uint32_t error = state.Check(PlatformCall::FindFirst, folder)) return error;
    FindHandle opened;
    const std::uint32_t error = inner.FindFirst(pattern, opened, entry);
    if (error) return error;
    const NativeHandle value = opened.release();
    {
        std::lock_guard<SpinLock> guard(state.lock);
        state.listings[value] = folder;
    }
    find.reset(*this, value);
    AdjustEntry(value, entry);
    return ErrorCode::kSuccess;
}

std::uint32_t Listing::FindNext(NativeHandle find, FindEntry& entry) {
    if (std::uint32_t error = state.Check(PlatformCall::FindNext, state.PathOf(find))) return error;
    const std::uint32_t error = inner.FindNext(find, entry);
    if (error == ErrorCode::kSuccess) AdjustEntry(find, entry);
    return error;
}

void Listing::CloseFind(NativeHandle find) noexcept {
    {
        std::lock_guard<SpinLock> guard(state.lock);
        state.listings.erase(find);
    }
    inner.CloseFind(find);
}

}  // namespace Fault
