#include <mutex>

#include "platform/testing/FaultCalls.h"

namespace Fault {

std::uint32_t Folders::IdentifyFile(const std::wstring& path, FileIdentity& identity) {
    if (std::uint32_t error = state.Check(PlatformCall::Identify, path)) return error;
    return inner.Identify(path, identity);
}

std::uint32_t Folders::RealPath(const std::wstring& path, std::wstring& realPath) {
    if (std::uint32_t error = state.Check(PlatformCall::FullPath, path)) return error;
    return inner.RealPath(path, realPath);
}

std::uint32_t Folders::FullPath(const std::wstring& path, std::wstring& fullPath) {
    if (std::uint32_t error = state.Check(PlatformCall::FullPath, path)) return error;
    return inner.FullPath(path, fullPath);
}

std::uint32_t Folders::GetAttributes(const std::wstring& path, std::uint32_t& attributes) {
    if (std::uint32_t error = state.Check(PlatformCall::GetAttributes, path)) {
        attributes = FileAttribute::kInvalid;
        return error;
    }
    const std::uint32_t error = inner.GetAttributes(path, attributes);
    if (error != ErrorCode::kSuccess) return error;
    std::lock_guard<SpinLock> guard(state.lock);
    if (const auto* bits = FindBySuffix(state.reportedAttributes, path)) attributes |= *bits;
    return error;
}

std::uint32_t Folders::SetAttributes(const std::wstring& path, std::uint32_t attributes) {
    if (std::uint32_t error = state.Check(PlatformCall::SetAttributes, path)) return error;
    return inner.SetAttributes(path, attributes);
}

std::uint32_t Folders::RemoveFile(const std::wstring& path) {
    if (std::uint32_t error = state.Check(PlatformCall::RemoveFile, path)) return error;
    return inner.RemoveFile(path);
}

std::uint32_t Folders::CreateFolder(const std::wstring& path) {
    if (std::uint32_t error = state.Check(PlatformCall::CreateFolder, path)) return error;
    return inner.CreateFolder(path);
}

std::uint32_t Folders::CreateFolderTree(const std::wstring& path) {
    if (std::uint32_t error = state.Check(PlatformCall::CreateFolderTree, path)) return error;
    return inner.CreateFolderTree(path);
}

std::uint32_t Folders::VolumeLabel(const std::wstring& root, std::wstring& label) {
    if (std::uint32_t error = state.Check(PlatformCall::VolumeLabel, root)) return error;
    return inner.VolumeLabel(root, label);
}

std::uint32_t Folders::FreeBytes(const std::wstring& path, std::uint64_t& freeBytes) {
    if (std::uint32_t error = state.Check(PlatformCall::FreeBytes, path)) return error;
    return inner.FreeBytes(path, freeBytes);
}

bool Folders::PathExists(const std::wstring& path) {
    {
        std::lock_guard<SpinLock> guard(state.lock);
        for (const auto& hidden : state.hiddenPaths) {
            if (EndsWith(path, hidden)) return false;
        }
    }
    return inner.PathExists(path);
}

}  // namespace Fault
