#pragma once
// A platform that passes every call on, except that sleeps return at once:
// the engine without its fixed thread start and end waits.

#include "platform/Platform.h"

class NoWaitPlatform : public Platform {
public:
    // With withoutLocks, mutex waits and releases succeed without reaching
    // the operating system: a profiling aid that shows what the locks cost
    // (safe only because the benchmark never pauses).
    explicit NoWaitPlatform(Platform& inner, bool withoutLocks = false) : inner(inner), withoutLocks(withoutLocks) {}

    std::uint32_t OpenForBackupRead(const std::wstring& path, FileHandle& file) override {
        return Adopt(inner.OpenForBackupRead(path, file), file);
    }
    std::uint32_t CreateNewFile(const std::wstring& path, FileHandle& file, std::uint32_t attributes = 0) override {
        return Adopt(inner.CreateNewFile(path, file, attributes), file);
    }
    std::uint32_t ReadFile(NativeHandle file, void* buffer, std::uint32_t size, std::uint32_t& bytesRead) override {
        return inner.ReadFile(file, buffer, size, bytesRead);
    }
    std::uint32_t WriteFile(NativeHandle file, const void* data, std::uint32_t size,
                            std::uint32_t& bytesWritten) override {
        return inner.WriteFile(file, data, size, bytesWritten);
    }
    std::uint32_t FileSize(NativeHandle file, std::uint64_t& size) override { return inner.FileSize(file, size); }
    void CloseFile(NativeHandle file) noexcept override { inner.CloseFile(file); }
    std::uint32_t CloseWrittenFile(NativeHandle file) override { return inner.CloseWrittenFile(file); }
    std::uint32_t RenameNoReplace(const std::wstring& from, const std::wstring& to) override {
        return inner.RenameNoReplace(from, to);
    }
    std::uint32_t Identify(const std::wstring& path, FileIdentity& identity) override {
        return inner.Identify(path, identity);
    }
    std::uint32_t FullPath(const std::wstring& path, std::wstring& fullPath) override {
        return inner.FullPath(path, fullPath);
    }
    std::uint32_t GetAttributes(const std::wstring& path, std::uint32_t& attributes) override {
        return inner.GetAttributes(path, attributes);
    }
    std::uint32_t SetAttributes(const std::wstring& path, std::uint32_t attributes) override {
        return inner.SetAttributes(path, attributes);
    }
    std::uint32_t RemoveFile(const std::wstring& path) override { return inner.RemoveFile(path); }
    std::uint32_t CreateFolder(const std::wstring& path) override { return inner.CreateFolder(path); }
    std::uint32_t CreateFolderTree(const std::wstring& path) override { return inner.CreateFolderTree(path); }
    std::uint32_t FindFirst(const std::wstring& pattern, FindHandle& find, FindEntry& entry) override {
        return Adopt(inner.FindFirst(pattern, find, entry), find);
    }
    std::uint32_t FindNext(NativeHandle find, FindEntry& entry) override { return inner.FindNext(find, entry); }
    void CloseFind(NativeHandle find) noexcept override { inner.CloseFind(find); }
    std::uint32_t VolumeLabel(const std::wstring& root, std::wstring& label) override {
        return inner.VolumeLabel(root, label);
    }
    std::uint32_t FreeBytes(const std::wstring& path, std::uint64_t& freeBytes) override {
        return inner.FreeBytes(path, freeBytes);
    }
    bool PathExists(const std::wstring& path) override { return inner.PathExists(path); }
    bool IsFolder(const std::wstring& path) override { return inner.IsFolder(path); }
    bool IsEmptyFolder(const std::wstring& path) override { return inner.IsEmptyFolder(path); }
    std::uint32_t StartThread(ThreadBody body, void* argument, ThreadHandle& thread) override {
        return Adopt(inner.StartThread(body, argument, thread), thread);
    }
    void JoinThread(NativeHandle thread) noexcept override { inner.JoinThread(thread); }
    void SleepMilliseconds(std::uint32_t) override {}
    void KeepAwake(bool on) override { inner.KeepAwake(on); }
    std::uint32_t TickCount() override { return inner.TickCount(); }
    std::uint32_t NewMutex(NativeHandle& mutex) override { return inner.NewMutex(mutex); }
    MutexWait WaitMutex(NativeHandle mutex, std::uint32_t& error) override {
        return withoutLocks ? MutexWait::Acquired : inner.WaitMutex(mutex, error);
    }
    std::uint32_t ReleaseMutex(NativeHandle mutex) override {
        return withoutLocks ? ErrorCode::kSuccess : inner.ReleaseMutex(mutex);
    }
    std::uint32_t CloseMutex(NativeHandle mutex) override { return inner.CloseMutex(mutex); }

private:
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

    Platform& inner;
    bool withoutLocks;
};
