#pragma once
// The platform over POSIX, taking the same Windows-style paths as the Win32
// layer. A drive letter maps onto a POSIX folder the way Wine maps it (Z: is
// the POSIX root, so Z:\tmp\a is /tmp/a); other letters can be mapped for
// tests. Backslashes and slashes both separate; UNC paths name nothing.
//
// Attributes: a file or folder without write permission is read-only (the
// read-only bit on a folder is reported but never set, as under Wine), a
// symbolic link is a reparse point with the symbolic-link tag, a name starting with a dot is hidden, and
// a regular file carries the archive bit. A read-only file cannot be deleted.
// Volume labels are empty; nothing is ever shared-locked.

#include <array>
#include <atomic>
#include <string>

#include "platform/Platform.h"

class PosixPlatform : public Platform {
public:
    PosixPlatform();

    // Maps drive letter (A-Z, either case) onto a POSIX folder ("" for the root).
    void MapDrive(wchar_t letter, const std::string& folder);
    // The POSIX path of a Windows-style path, or the error a call on it gives.
    std::uint32_t ToPosixPath(const std::wstring& path, std::string& posixPath) const;

    std::uint32_t OpenForBackupRead(const std::wstring& path, FileHandle& file) override;
    std::uint32_t CreateNewFile(const std::wstring& path, FileHandle& file, std::uint32_t attributes = 0) override;
    std::uint32_t ReadFile(NativeHandle file, void* buffer, std::uint32_t size, std::uint32_t& bytesRead) override;
    std::uint32_t WriteFile(NativeHandle file, const void* data, std::uint32_t size,
                            std::uint32_t& bytesWritten) override;
    std::uint32_t FileSize(NativeHandle file, std::uint64_t& size) override;
    // Inside the kernel (copy_file_range) where it can; read and write otherwise.
    std::uint32_t CopyBlock(NativeHandle source, NativeHandle target, void* buffer, std::uint32_t size,
                            std::uint32_t& bytesRead, std::uint32_t& bytesWritten) override;
    void CloseFile(NativeHandle file) noexcept override;
    std::uint32_t CloseWrittenFile(NativeHandle file) override;
    std::uint32_t RenameNoReplace(const std::wstring& from, const std::wstring& to) override;
    // Where the file system allows, a file in progress has no name at all
    // (O_TMPFILE) and takes the target's name by a link that never replaces.
    Finish FinishNewFile(NativeHandle file, const std::wstring& from, const std::wstring& to,
                         std::uint32_t& error) override;
    std::uint32_t CreateUnfinishedFile(const std::wstring& temporary, FileHandle& file,
                                       std::uint32_t attributes) override;
    bool IsUnnamedFile(NativeHandle file) override;
    std::uint32_t StampNewFile(NativeHandle file, std::uint64_t time) override;
    std::uint32_t UnstampFile(const std::wstring& path) override;
    // A named file goes only while its name still leads to it.
    std::uint32_t DiscardNewFile(NativeHandle file, const std::wstring& temporary) override;
    std::uint32_t RemoveTemporary(const std::wstring& path) override;
    std::uint32_t GetAttributes(const std::wstring& path, std::uint32_t& attributes) override;
    std::uint32_t SetAttributes(const std::wstring& path, std::uint32_t attributes) override;
    std::uint32_t RemoveFile(const std::wstring& path) override;
    std::uint32_t CreateFolder(const std::wstring& path) override;
    std::uint32_t CreateFolderTree(const std::wstring& path) override;
    std::uint32_t FindFirst(const std::wstring& pattern, FindHandle& find, FindEntry& entry) override;
    std::uint32_t FindNext(NativeHandle find, FindEntry& entry) override;
    void CloseFind(NativeHandle find) noexcept override;
    std::uint32_t VolumeLabel(const std::wstring& root, std::wstring& label) override;
    std::uint32_t FreeBytes(const std::wstring& path, std::uint64_t& freeBytes) override;
    std::uint32_t IdentifyFile(const std::wstring& path, FileIdentity& identity) override;
    std::uint32_t FullPath(const std::wstring& path, std::wstring& fullPath) override;
    // After every link, and under a bind mount as the folder it shows is
    // seen through its file system's own mount; in Z:'s terms.
    std::uint32_t RealPath(const std::wstring& path, std::wstring& realPath) override;
    bool PathExists(const std::wstring& path) override;
    bool IsFolder(const std::wstring& path) override;
    bool IsEmptyFolder(const std::wstring& path) override;
    std::uint32_t StartThread(ThreadBody body, void* argument, ThreadHandle& thread) override;
    void JoinThread(NativeHandle thread) noexcept override;
    void SleepMilliseconds(std::uint32_t milliseconds) override;
    void KeepAwake(bool on) override;
    std::uint32_t TickCount() override;
    std::uint32_t NewMutex(NativeHandle& mutex) override;
    MutexWait WaitMutex(NativeHandle mutex, std::uint32_t& error) override;
    std::uint32_t ReleaseMutex(NativeHandle mutex) override;
    std::uint32_t CloseMutex(NativeHandle mutex) override;
    std::uint32_t NewSignal(NativeHandle& signal) override;
    std::uint32_t RaiseSignal(NativeHandle signal) override;
    std::uint32_t WaitSignal(NativeHandle signal, std::uint32_t milliseconds) override;
    std::uint32_t CloseSignal(NativeHandle signal) override;
    void YieldThread() override;

private:
    std::array<std::string, 26> driveFolders;
    std::array<bool, 26> driveMapped{};
    // An unnamed file is named through its /proc/self/fd entry.
    bool unnamedFilesNameable = false;
    // Unnamed files are linked by their descriptor until that is refused.
    std::atomic<bool> emptyPathLinks{true};
};

// The full path of a Windows-style path by the rules of the Win32 layer:
// relative paths are taken from currentFolder (a full path such as
// "Z:\home\x"), a path starting with one separator from its drive, "X:name"
// from currentFolder when it is on drive X and from X's root otherwise; "."
// components go, ".." removes the component before it but never the root
// ("X:\" or "\\server\share"); separators become backslashes, repeated ones
// one; a trailing separator stays. Empty when path is empty.
std::wstring ResolveFullPath(const std::wstring& path, const std::wstring& currentFolder);

// The Windows error code for an errno value, as the Win32 layer would report
// the same failure. path (POSIX) lets ENOENT tell a missing file from a
// missing folder on the way to it.
std::uint32_t ErrorFromErrno(int error, const std::string& path = std::string());
