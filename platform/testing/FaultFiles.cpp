#include <algorithm>
#include <mutex>

#include "platform/testing/FaultCalls.h"

namespace Fault {

std::uint32_t Files::Track(std::uint32_t error, const std::wstring& path, FileHandle& opened, FileHandle& file) {
    if (error) return error;
    const NativeHandle value = opened.release();
    {
        std::lock_guard<SpinLock> guard(state.lock);
        state.files[value] = State::OpenFile{path, 0, 0};
    }
    file.reset(*this, value);
    return ErrorCode::kSuccess;
}

std::uint32_t Files::OpenForBackupRead(const std::wstring& path, FileHandle& file) {
    if (std::uint32_t error = state.Check(PlatformCall::OpenForBackupRead, path)) return error;
    FileHandle opened;
    return Track(inner.OpenForBackupRead(path, opened), path, opened, file);
}

std::uint32_t Files::CreateNewFile(const std::wstring& path, FileHandle& file, std::uint32_t attributes) {
    if (std::uint32_t error = state.Check(PlatformCall::CreateNewFile, path)) return error;
    FileHandle created;
    return Track(inner.CreateNewFile(path, created, attributes), path, created, file);
}

std::uint32_t Files::ReadFile(NativeHandle file, void* buffer, std::uint32_t size, std::uint32_t& bytesRead) {
    const std::wstring path = state.PathOf(file);
    int number = 0;
    std::function<void(const std::wstring&, int)> hook;
    std::uint64_t limit = ~std::uint64_t{0};
    std::uint64_t alreadyRead = 0;
    {
        std::lock_guard<SpinLock> guard(state.lock);
        auto& record = state.files[file];
        number = ++record.reads;
        alreadyRead = record.bytesRead;
        hook = state.readHook;
        if (const auto* found = FindBySuffix(state.readLimits, path)) limit = *found;
    }
    if (hook) hook(path, number);
    bytesRead = 0;
    if (std::uint32_t error = state.Check(PlatformCall::ReadFile, path)) return error;
    if (alreadyRead >= limit) return ErrorCode::kSuccess;
    const std::uint32_t allowed =
        static_cast<std::uint32_t>(std::min<std::uint64_t>(size, limit - alreadyRead));
    const std::uint32_t error = inner.ReadFile(file, buffer, allowed, bytesRead);
    std::lock_guard<SpinLock> guard(state.lock);
    state.files[file].bytesRead += bytesRead;
    return error;
}

std::uint32_t Files::WriteFile(NativeHandle file, const void* data, std::uint32_t size,
                               std::uint32_t& bytesWritten) {
    std::uint32_t accepted = 0;
    bytesWritten = 0;
    if (std::uint32_t error = state.Check(PlatformCall::WriteFile, state.PathOf(file), &accepted)) {
        if (accepted > 0) inner.WriteFile(file, data, std::min(accepted, size), bytesWritten);
        return error;
    }
    return inner.WriteFile(file, data, size, bytesWritten);
}

std::uint32_t Files::FileSize(NativeHandle file, std::uint64_t& size) {
    if (std::uint32_t error = state.Check(PlatformCall::FileSize, state.PathOf(file))) return error;
    return inner.FileSize(file, size);
}

void Files::CloseFile(NativeHandle file) noexcept {
    {
        std::lock_guard<SpinLock> guard(state.lock);
        state.files.erase(file);
    }
    inner.CloseFile(file);
}

std::uint32_t Files::CloseWrittenFile(NativeHandle file) {
    const std::wstring path = state.PathOf(file);
    {
        std::lock_guard<SpinLock> guard(state.lock);
        state.files.erase(file);
    }
    const std::uint32_t error = inner.CloseWrittenFile(file);
    if (std::uint32_t injected = state.Check(PlatformCall::CloseWrittenFile, path)) return injected;
    return error;
}

std::uint32_t Files::RenameNoReplace(const std::wstring& from, const std::wstring& to) {
    if (const auto hook = state.HookOf(state.renameHook)) hook(to);
    if (std::uint32_t error = state.Check(PlatformCall::RenameNoReplace, to)) return error;
    return inner.RenameNoReplace(from, to);
}

std::uint32_t Files::RemoveTemporary(const std::wstring& path) {
    if (std::uint32_t error = state.Check(PlatformCall::RemoveFile, path)) return error;
    return inner.RemoveTemporary(path);
}

bool Files::OverlapsFinishing() {
    return state.overlapsFinishing < 0 ? inner.OverlapsFinishing() : state.overlapsFinishing == 1;
}

}  // namespace Fault
