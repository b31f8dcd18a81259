#include "platform/testing/FaultPlatform.h"

#include <algorithm>
#include <mutex>

namespace {

bool EndsWith(const std::wstring& text, const std::wstring& suffix) {
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// The folder a listing pattern names ("C:\a\*" lists "C:\a").
std::wstring ListedFolder(const std::wstring& pattern) {
    if (pattern.size() >= 2 && pattern.back() == L'*' &&
        (pattern[pattern.size() - 2] == L'\\' || pattern[pattern.size() - 2] == L'/')) {
        return pattern.substr(0, pattern.size() - 2);
    }
    return pattern;
}

template <typename Map>
const typename Map::mapped_type* FindBySuffix(const Map& map, const std::wstring& path) {
    for (const auto& item : map) {
        if (EndsWith(path, item.first)) return &item.second;
    }
    return nullptr;
}

}  // namespace

FaultPlatform::FaultPlatform(Platform& inner) : inner(inner) {}

void FaultPlatform::Fail(PlatformCall call, const std::wstring& pathSuffix, std::uint32_t error, int nth, int times) {
    std::lock_guard<SpinLock> guard(lock);
    rules.push_back({call, pathSuffix, error, nth, times, 0, 0});
}

void FaultPlatform::FailWrite(const std::wstring& pathSuffix, int nth, std::uint32_t error,
                              std::uint32_t bytesAccepted) {
    std::lock_guard<SpinLock> guard(lock);
    rules.push_back({PlatformCall::WriteFile, pathSuffix, error, nth, 1, bytesAccepted, 0});
}

void FaultPlatform::LimitReads(const std::wstring& pathSuffix, std::uint64_t limit) {
    std::lock_guard<SpinLock> guard(lock);
    readLimits[pathSuffix] = limit;
}

void FaultPlatform::HidePath(const std::wstring& pathSuffix) {
    std::lock_guard<SpinLock> guard(lock);
    hiddenPaths.push_back(pathSuffix);
}

void FaultPlatform::ReportSize(const std::wstring& pathSuffix, std::uint64_t size) {
    std::lock_guard<SpinLock> guard(lock);
    reportedSizes[pathSuffix] = size;
}

void FaultPlatform::ReportReparseTag(const std::wstring& pathSuffix, std::uint32_t tag) {
    std::lock_guard<SpinLock> guard(lock);
    reportedTags[pathSuffix] = tag;
}

void FaultPlatform::ReportAttributes(const std::wstring& pathSuffix, std::uint32_t bits) {
    std::lock_guard<SpinLock> guard(lock);
    reportedAttributes[pathSuffix] = bits;
}

void FaultPlatform::OnRead(std::function<void(const std::wstring&, int)> hook) {
    std::lock_guard<SpinLock> guard(lock);
    readHook = std::move(hook);
}

void FaultPlatform::OnRename(std::function<void(const std::wstring&)> hook) {
    std::lock_guard<SpinLock> guard(lock);
    renameHook = std::move(hook);
}

void FaultPlatform::OnMutexWait(std::function<void()> hook) {
    std::lock_guard<SpinLock> guard(lock);
    waitHook = std::move(hook);
}

void FaultPlatform::OnMutexReleased(std::function<void()> hook) {
    std::lock_guard<SpinLock> guard(lock);
    releasedHook = std::move(hook);
}

void FaultPlatform::FailMutexWait(int nth, MutexWait result, std::uint32_t error) {
    std::lock_guard<SpinLock> guard(lock);
    waitFaultNth = nth;
    waitFaultResult = result;
    waitFaultError = error;
    waits = 0;
}

void FaultPlatform::SetOverlapsFinishing(bool overlaps) { overlapsFinishing = overlaps ? 1 : 0; }

bool FaultPlatform::OverlapsFinishing() {
    return overlapsFinishing < 0 ? inner.OverlapsFinishing() : overlapsFinishing == 1;
}

void FaultPlatform::SetInstantSleeps(bool instant) {
    std::lock_guard<SpinLock> guard(lock);
    instantSleeps = instant;
}

int FaultPlatform::Calls(PlatformCall call) const {
    std::lock_guard<SpinLock> guard(lock);
    return calls[static_cast<int>(call)];
}

std::vector<bool> FaultPlatform::KeepAwakeCalls() const {
    std::lock_guard<SpinLock> guard(lock);
    return keepAwakeCalls;
}

std::vector<std::uint32_t> FaultPlatform::Sleeps() const {
    std::lock_guard<SpinLock> guard(lock);
    return sleeps;
}

std::uint32_t FaultPlatform::Check(PlatformCall call, const std::wstring& path, std::uint32_t* bytesAccepted) {
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

std::wstring FaultPlatform::PathOf(NativeHandle handle) const {
    std::lock_guard<SpinLock> guard(lock);
    const auto file = files.find(handle);
    if (file != files.end()) return file->second.path;
    const auto listing = listings.find(handle);
    return listing != listings.end() ? listing->second : std::wstring();
}

std::uint32_t FaultPlatform::OpenForBackupRead(const std::wstring& path, FileHandle& file) {
    if (std::uint32_t error = Check(PlatformCall::OpenForBackupRead, path)) return error;
    FileHandle opened;
    const std::uint32_t error = inner.OpenForBackupRead(path, opened);
    if (error) return error;
    const NativeHandle value = opened.release();
    {
        std::lock_guard<SpinLock> guard(lock);
        files[value] = OpenFile{path, 0, 0};
    }
    file.reset(*this, value);
    return ErrorCode::kSuccess;
}

std::uint32_t FaultPlatform::CreateNewFile(const std::wstring& path, FileHandle& file, std::uint32_t attributes) {
    if (std::uint32_t error = Check(PlatformCall::CreateNewFile, path)) return error;
    FileHandle created;
    const std::uint32_t error = inner.CreateNewFile(path, created, attributes);
    if (error) return error;
    const NativeHandle value = created.release();
    {
        std::lock_guard<SpinLock> guard(lock);
        files[value] = OpenFile{path, 0, 0};
    }
    file.reset(*this, value);
    return ErrorCode::kSuccess;
}

std::uint32_t FaultPlatform::ReadFile(NativeHandle file, void* buffer, std::uint32_t size,
                                      std::uint32_t& bytesRead) {
    const std::wstring path = PathOf(file);
    int number = 0;
    std::function<void(const std::wstring&, int)> hook;
    std::uint64_t limit = ~std::uint64_t{0};
    std::uint64_t alreadyRead = 0;
    {
        std::lock_guard<SpinLock> guard(lock);
        auto& record = files[file];
        number = ++record.reads;
        alreadyRead = record.bytesRead;
        hook = readHook;
        if (const auto* found = FindBySuffix(readLimits, path)) limit = *found;
    }
    if (hook) hook(path, number);
    bytesRead = 0;
    if (std::uint32_t error = Check(PlatformCall::ReadFile, path)) return error;
    if (alreadyRead >= limit) return ErrorCode::kSuccess;
    const std::uint32_t allowed =
        static_cast<std::uint32_t>(std::min<std::uint64_t>(size, limit - alreadyRead));
    const std::uint32_t error = inner.ReadFile(file, buffer, allowed, bytesRead);
    std::lock_guard<SpinLock> guard(lock);
    files[file].bytesRead += bytesRead;
    return error;
}

std::uint32_t FaultPlatform::WriteFile(NativeHandle file, const void* data, std::uint32_t size,
                                       std::uint32_t& bytesWritten) {
    std::uint32_t accepted = 0;
    bytesWritten = 0;
    if (std::uint32_t error = Check(PlatformCall::WriteFile, PathOf(file), &accepted)) {
        if (accepted > 0) inner.WriteFile(file, data, std::min(accepted, size), bytesWritten);
        return error;
    }
    return inner.WriteFile(file, data, size, bytesWritten);
}

std::uint32_t FaultPlatform::FileSize(NativeHandle file, std::uint64_t& size) {
    if (std::uint32_t error = Check(PlatformCall::FileSize, PathOf(file))) return error;
    return inner.FileSize(file, size);
}

void FaultPlatform::CloseFile(NativeHandle file) noexcept {
    {
        std::lock_guard<SpinLock> guard(lock);
        files.erase(file);
    }
    inner.CloseFile(file);
}

std::uint32_t FaultPlatform::CloseWrittenFile(NativeHandle file) {
    const std::wstring path = PathOf(file);
    {
        std::lock_guard<SpinLock> guard(lock);
        files.erase(file);
    }
    const std::uint32_t error = inner.CloseWrittenFile(file);
    if (std::uint32_t injected = Check(PlatformCall::CloseWrittenFile, path)) return injected;
    return error;
}

std::uint32_t FaultPlatform::RenameNoReplace(const std::wstring& from, const std::wstring& to) {
    if (const auto hook = HookOf(renameHook)) hook(to);
    if (std::uint32_t error = Check(PlatformCall::RenameNoReplace, to)) return error;
    return inner.RenameNoReplace(from, to);
}

std::uint32_t FaultPlatform::IdentifyFile(const std::wstring& path, FileIdentity& identity) {
    if (std::uint32_t error = Check(PlatformCall::Identify, path)) return error;
    return inner.Identify(path, identity);
}

std::uint32_t FaultPlatform::StampNewFile(NativeHandle file, std::uint64_t time) {
    return inner.StampNewFile(file, time);
}

std::uint32_t FaultPlatform::UnstampFile(const std::wstring& path) { return inner.UnstampFile(path); }

std::uint32_t FaultPlatform::RemoveTemporary(const std::wstring& path) {
    if (std::uint32_t error = Check(PlatformCall::RemoveFile, path)) return error;
    return inner.RemoveTemporary(path);
}

std::uint32_t FaultPlatform::RealPath(const std::wstring& path, std::wstring& realPath) {
    if (std::uint32_t error = Check(PlatformCall::FullPath, path)) return error;
    return inner.RealPath(path, realPath);
}

std::uint32_t FaultPlatform::FullPath(const std::wstring& path, std::wstring& fullPath) {
    if (std::uint32_t error = Check(PlatformCall::FullPath, path)) return error;
    return inner.FullPath(path, fullPath);
}

std::uint32_t FaultPlatform::GetAttributes(const std::wstring& path, std::uint32_t& attributes) {
    if (std::uint32_t error = Check(PlatformCall::GetAttributes, path)) {
        attributes = FileAttribute::kInvalid;
        return error;
    }
    const std::uint32_t error = inner.GetAttributes(path, attributes);
    if (error != ErrorCode::kSuccess) return error;
    std::lock_guard<SpinLock> guard(lock);
    if (const auto* bits = FindBySuffix(reportedAttributes, path)) attributes |= *bits;
    return error;
}

std::uint32_t FaultPlatform::SetAttributes(const std::wstring& path, std::uint32_t attributes) {
    if (std::uint32_t error = Check(PlatformCall::SetAttributes, path)) return error;
    return inner.SetAttributes(path, attributes);
}

std::uint32_t FaultPlatform::RemoveFile(const std::wstring& path) {
    if (std::uint32_t error = Check(PlatformCall::RemoveFile, path)) return error;
    return inner.RemoveFile(path);
}

std::uint32_t FaultPlatform::CreateFolder(const std::wstring& path) {
    if (std::uint32_t error = Check(PlatformCall::CreateFolder, path)) return error;
    return inner.CreateFolder(path);
}

std::uint32_t FaultPlatform::CreateFolderTree(const std::wstring& path) {
    if (std::uint32_t error = Check(PlatformCall::CreateFolderTree, path)) return error;
    return inner.CreateFolderTree(path);
}

void FaultPlatform::AdjustEntry(NativeHandle find, FindEntry& entry) {
    const std::wstring folder = PathOf(find);
    std::lock_guard<SpinLock> guard(lock);
    if (reportedSizes.empty() && reportedTags.empty() && reportedAttributes.empty()) return;
    const std::wstring full = folder == entry.name || EndsWith(folder, L"\\" + entry.name) ? folder
                                                                                        : folder + L"\\" + entry.name;
    if (const auto* size = FindBySuffix(reportedSizes, full)) entry.size = *size;
    if (const auto* tag = FindBySuffix(reportedTags, full)) {
        entry.attributes |= FileAttribute::kReparsePoint;
        entry.reparseTag = *tag;
    }
    if (const auto* bits = FindBySuffix(reportedAttributes, full)) entry.attributes |= *bits;
}

std::uint32_t FaultPlatform::FindFirst(const std::wstring& pattern, FindHandle& find, FindEntry& entry) {
    const std::wstring folder = ListedFolder(pattern);
    if (std::uint32_t error = Check(PlatformCall::FindFirst, folder)) return error;
    FindHandle opened;
    const std::uint32_t error = inner.FindFirst(pattern, opened, entry);
    if (error) return error;
    const NativeHandle value = opened.release();
    {
        std::lock_guard<SpinLock> guard(lock);
        listings[value] = folder;
    }
    find.reset(*this, value);
    AdjustEntry(value, entry);
    return ErrorCode::kSuccess;
}

std::uint32_t FaultPlatform::FindNext(NativeHandle find, FindEntry& entry) {
    if (std::uint32_t error = Check(PlatformCall::FindNext, PathOf(find))) return error;
    const std::uint32_t error = inner.FindNext(find, entry);
    if (error == ErrorCode::kSuccess) AdjustEntry(find, entry);
    return error;
}

void FaultPlatform::CloseFind(NativeHandle find) noexcept {
    {
        std::lock_guard<SpinLock> guard(lock);
        listings.erase(find);
    }
    inner.CloseFind(find);
}

std::uint32_t FaultPlatform::VolumeLabel(const std::wstring& root, std::wstring& label) {
    if (std::uint32_t error = Check(PlatformCall::VolumeLabel, root)) return error;
    return inner.VolumeLabel(root, label);
}

std::uint32_t FaultPlatform::FreeBytes(const std::wstring& path, std::uint64_t& freeBytes) {
    if (std::uint32_t error = Check(PlatformCall::FreeBytes, path)) return error;
    return inner.FreeBytes(path, freeBytes);
}

bool FaultPlatform::PathExists(const std::wstring& path) {
    {
        std::lock_guard<SpinLock> guard(lock);
        for (const auto& hidden : hiddenPaths) {
            if (EndsWith(path, hidden)) return false;
        }
    }
    return inner.PathExists(path);
}

bool FaultPlatform::IsFolder(const std::wstring& path) { return inner.IsFolder(path); }

bool FaultPlatform::IsEmptyFolder(const std::wstring& path) { return inner.IsEmptyFolder(path); }

std::uint32_t FaultPlatform::StartThread(ThreadBody body, void* argument, ThreadHandle& thread) {
    if (std::uint32_t error = Check(PlatformCall::StartThread, L"")) return error;
    ThreadHandle started;
    const std::uint32_t error = inner.StartThread(body, argument, started);
    if (error) return error;
    thread.reset(*this, started.release());
    return ErrorCode::kSuccess;
}

void FaultPlatform::JoinThread(NativeHandle thread) noexcept { inner.JoinThread(thread); }

void FaultPlatform::SleepMilliseconds(std::uint32_t milliseconds) {
    bool instant = false;
    {
        std::lock_guard<SpinLock> guard(lock);
        sleeps.push_back(milliseconds);
        instant = instantSleeps;
    }
    if (!instant) inner.SleepMilliseconds(milliseconds);
}

void FaultPlatform::KeepAwake(bool on) {
    {
        std::lock_guard<SpinLock> guard(lock);
        keepAwakeCalls.push_back(on);
    }
    inner.KeepAwake(on);
}

std::uint32_t FaultPlatform::TickCount() { return inner.TickCount(); }

std::uint32_t FaultPlatform::NewMutex(NativeHandle& mutex) {
    if (std::uint32_t error = Check(PlatformCall::NewMutex, L"")) return error;
    return inner.NewMutex(mutex);
}

MutexWait FaultPlatform::WaitMutex(NativeHandle mutex, std::uint32_t& error) {
    Check(PlatformCall::WaitMutex, L"");
    MutexWait injected = MutexWait::Acquired;
    std::uint32_t injectedError = 0;
    if (const auto hook = HookOf(waitHook)) hook();
    {
        std::lock_guard<SpinLock> guard(lock);
        if (waitFaultNth != 0 && ++waits == waitFaultNth) {
            injected = waitFaultResult;
            injectedError = waitFaultError;
        }
    }
    if (injected == MutexWait::Failed) {
        error = injectedError;
        return MutexWait::Failed;
    }
    const MutexWait result = inner.WaitMutex(mutex, error);
    if (result == MutexWait::Acquired && injected == MutexWait::Abandoned) {
        error = injectedError;
        return MutexWait::Abandoned;
    }
    return result;
}

std::uint32_t FaultPlatform::ReleaseMutex(NativeHandle mutex) {
    if (std::uint32_t error = Check(PlatformCall::ReleaseMutex, L"")) return error;
    const std::uint32_t error = inner.ReleaseMutex(mutex);
    if (error != ErrorCode::kSuccess) return error;
    if (const auto hook = HookOf(releasedHook)) hook();
    return error;
}

std::uint32_t FaultPlatform::CloseMutex(NativeHandle mutex) {
    if (std::uint32_t error = Check(PlatformCall::CloseMutex, L"")) return error;
    return inner.CloseMutex(mutex);
}

std::uint32_t FaultPlatform::NewSignal(NativeHandle& signal) {
    if (std::uint32_t error = Check(PlatformCall::NewSignal, L"")) return error;
    return inner.NewSignal(signal);
}

std::uint32_t FaultPlatform::RaiseSignal(NativeHandle signal) {
    if (std::uint32_t error = Check(PlatformCall::RaiseSignal, L"")) return error;
    return inner.RaiseSignal(signal);
}

std::uint32_t FaultPlatform::WaitSignal(NativeHandle signal, std::uint32_t milliseconds) {
    if (std::uint32_t error = Check(PlatformCall::WaitSignal, L"")) return error;
    return inner.WaitSignal(signal, milliseconds);
}

std::uint32_t FaultPlatform::CloseSignal(NativeHandle signal) { return inner.CloseSignal(signal); }

void FaultPlatform::YieldThread() { inner.YieldThread(); }
