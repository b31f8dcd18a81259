#include "bench/copy/NoWaitCalls.h"

namespace NoWait {

std::uint32_t Files::OpenForBackupRead(const std::wstring& path, FileHandle& file) {
    return AdoptHandle(meter.Measure(CallMeter::kOpenForRead, [&] { return inner.OpenForBackupRead(path, file); }),
                       file, *this);
}

std::uint32_t Files::CreateNewFile(const std::wstring& path, FileHandle& file, std::uint32_t attributes) {
    return AdoptHandle(
        meter.Measure(CallMeter::kCreateNew, [&] { return inner.CreateNewFile(path, file, attributes); }), file,
        *this);
}

std::uint32_t Files::CreateUnfinishedFile(const std::wstring& temporary, FileHandle& file, std::uint32_t attributes) {
    return AdoptHandle(meter.Measure(CallMeter::kCreateNew,
                                     [&] { return inner.CreateUnfinishedFile(temporary, file, attributes); }),
                       file, *this);
}

std::uint32_t Files::ReadFile(NativeHandle file, void* buffer, std::uint32_t size, std::uint32_t& bytesRead) {
    return meter.Measure(CallMeter::kRead, [&] { return inner.ReadFile(file, buffer, size, bytesRead); });
}

std::uint32_t Files::WriteFile(NativeHandle file, const void* data, std::uint32_t size, std::uint32_t& bytesWritten) {
    return meter.Measure(CallMeter::kWrite, [&] { return inner.WriteFile(file, data, size, bytesWritten); });
}

std::uint32_t Files::CopyBlock(NativeHandle source, NativeHandle target, void* buffer, std::uint32_t size,
                               std::uint32_t& bytesRead, std::uint32_t& bytesWritten) {
    return meter.Measure(CallMeter::kCopyBlock,
                         [&] { return inner.CopyBlock(source, target, buffer, size, bytesRead, bytesWritten); });
}

std::uint32_t Files::FileSize(NativeHandle file, std::uint64_t& size) {
    return meter.Measure(CallMeter::kFileSize, [&] { return inner.FileSize(file, size); });
}

void Files::CloseFile(NativeHandle file) noexcept {
    meter.Measure(CallMeter::kClose, [&] {
        inner.CloseFile(file);
        return 0;
    });
}

std::uint32_t Files::CloseWrittenFile(NativeHandle file) {
    return meter.Measure(CallMeter::kCloseWritten, [&] { return inner.CloseWrittenFile(file); });
}

std::uint32_t Files::RenameNoReplace(const std::wstring& from, const std::wstring& to) {
    return meter.Measure(CallMeter::kRename, [&] { return inner.RenameNoReplace(from, to); });
}

std::uint32_t Files::StampNewFile(NativeHandle file, std::uint64_t time) {
    return meter.Measure(CallMeter::kOther, [&] { return inner.StampNewFile(file, time); });
}

std::uint32_t Files::UnstampFile(const std::wstring& path) {
    return meter.Measure(CallMeter::kOther, [&] { return inner.UnstampFile(path); });
}

std::uint32_t Files::DiscardNewFile(NativeHandle file, const std::wstring& temporary) {
    return meter.Measure(CallMeter::kRemove, [&] { return inner.DiscardNewFile(file, temporary); });
}

std::uint32_t Files::RemoveTemporary(const std::wstring& path) {
    return meter.Measure(CallMeter::kRemove, [&] { return inner.RemoveTemporary(path); });
}

FileCalls::Finish Files::FinishNewFile(NativeHandle file, const std::wstring& from, const std::wstring& to,
                                       std::uint32_t& error) {
    return meter.Measure(CallMeter::kFinish, [&] { return inner.FinishNewFile(file, from, to, error); });
}

std::uint32_t Listing::FindFirst(const std::wstring& pattern, FindHandle& find, FindEntry& entry) {
    return AdoptHandle(meter.Measure(CallMeter::kFindFirst, [&] { return inner.FindFirst(pattern, find, entry); }),
                       find, *this);
}

std::uint32_t Listing::FindNext(NativeHandle find, FindEntry& entry) {
    return meter.Measure(CallMeter::kFindNext, [&] { return inner.FindNext(find, entry); });
}

void Listing::CloseFind(NativeHandle find) noexcept {
    meter.Measure(CallMeter::kOther, [&] {
        inner.CloseFind(find);
        return 0;
    });
}

std::uint32_t Folders::RealPath(const std::wstring& path, std::wstring& realPath) {
    return meter.Measure(CallMeter::kFullPath, [&] { return inner.RealPath(path, realPath); });
}

std::uint32_t Folders::IdentifyFile(const std::wstring& path, FileIdentity& identity) {
    return meter.Measure(CallMeter::kIdentify, [&] { return inner.Identify(path, identity); });
}

std::uint32_t Folders::FullPath(const std::wstring& path, std::wstring& fullPath) {
    return meter.Measure(CallMeter::kFullPath, [&] { return inner.FullPath(path, fullPath); });
}

std::uint32_t Folders::GetAttributes(const std::wstring& path, std::uint32_t& attributes) {
    return meter.Measure(CallMeter::kGetAttributes, [&] { return inner.GetAttributes(path, attributes); });
}

std::uint32_t Folders::SetAttributes(const std::wstring& path, std::uint32_t attributes) {
    return meter.Measure(CallMeter::kSetAttributes, [&] { return inner.SetAttributes(path, attributes); });
}

std::uint32_t Folders::RemoveFile(const std::wstring& path) {
    return meter.Measure(CallMeter::kRemove, [&] { return inner.RemoveFile(path); });
}

std::uint32_t Folders::CreateFolder(const std::wstring& path) {
    return meter.Measure(CallMeter::kCreateFolder, [&] { return inner.CreateFolder(path); });
}

std::uint32_t Folders::CreateFolderTree(const std::wstring& path) {
    return meter.Measure(CallMeter::kCreateFolder, [&] { return inner.CreateFolderTree(path); });
}

std::uint32_t Folders::VolumeLabel(const std::wstring& root, std::wstring& label) {
    return meter.Measure(CallMeter::kOther, [&] { return inner.VolumeLabel(root, label); });
}

std::uint32_t Folders::FreeBytes(const std::wstring& path, std::uint64_t& freeBytes) {
    return meter.Measure(CallMeter::kOther, [&] { return inner.FreeBytes(path, freeBytes); });
}

bool Folders::PathExists(const std::wstring& path) {
    return meter.Measure(CallMeter::kPathTest, [&] { return inner.PathExists(path); });
}

bool Folders::IsFolder(const std::wstring& path) {
    return meter.Measure(CallMeter::kPathTest, [&] { return inner.IsFolder(path); });
}

bool Folders::IsEmptyFolder(const std::wstring& path) {
    return meter.Measure(CallMeter::kPathTest, [&] { return inner.IsEmptyFolder(path); });
}

MutexWait Sync::WaitMutex(NativeHandle mutex, std::uint32_t& error) {
    return meter.Measure(CallMeter::kMutex, [&] { return inner.WaitMutex(mutex, error); });
}

std::uint32_t Sync::ReleaseMutex(NativeHandle mutex) {
    return meter.Measure(CallMeter::kMutex, [&] { return inner.ReleaseMutex(mutex); });
}

std::uint32_t Sync::RaiseSignal(NativeHandle signal) {
    return meter.Measure(CallMeter::kSignal, [&] { return inner.RaiseSignal(signal); });
}

std::uint32_t Sync::WaitSignal(NativeHandle signal, std::uint32_t milliseconds) {
    return meter.Measure(CallMeter::kSignal, [&] { return inner.WaitSignal(signal, milliseconds); });
}

}  // namespace NoWait
