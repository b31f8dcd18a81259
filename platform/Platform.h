#pragma once
// The engine's only door to the operating system. Everything the copy engine,
// the progress logic and the destination checks need from the platform is a
// virtual operation of Platform, so the engine runs unchanged over the Win32
// implementation, the POSIX one (Windows-style paths mapped onto the POSIX
// tree), or a test decorator that injects failures into either.
//
// Conventions:
// - Paths are Windows-style wide strings (drive letters, backslashes).
// - An operation that can fail returns a Windows error code: ErrorCode::kSuccess
//   (0) on success, otherwise the code the platform gave (ErrorCode.h).
//   Out parameters are left unchanged on failure unless stated otherwise.
// - Handles are opaque pointer-sized values; kNoHandle (-1) is never a valid one.
//   The owners (FileHandle, FindHandle, ThreadHandle) close them through the
//   platform that opened them.

#include <cstdint>
#include <string>

#include "common/UniqueHandle.h"
#include "platform/ErrorCodes.h"
#include "platform/FileAttributes.h"

using NativeHandle = std::intptr_t;
constexpr NativeHandle kNoHandle = -1;

// One entry of a folder listing.
struct FindEntry {
    std::wstring name;            // the entry's own name, no folder part
    std::uint32_t attributes = 0; // FileAttribute bits (directory, reparse point, ...)
    std::uint64_t size = 0;       // 64-bit size; 0 for folders
    std::uint32_t reparseTag = 0; // the reparse tag when kReparsePoint is set; otherwise 0
    // Times in 100-nanosecond units since 1601 (UTC); 0 where unknown.
    std::uint64_t lastWriteTime = 0;
    std::uint64_t lastAccessTime = 0;
};

// What identifies a file or folder whatever path names it: the serial number
// of its volume and its index on that volume (128 bits where the system has
// them, else the upper half is 0). Two paths with equal identities are the
// same object (a second drive letter, a share of the local disk, a short
// name, a junction or a link all lead to the same identity).
struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;
    std::uint64_t indexHigh = 0;
};
inline bool operator==(const FileIdentity& a, const FileIdentity& b) {
    return a.volume == b.volume && a.index == b.index && a.indexHigh == b.indexHigh;
}
inline bool operator!=(const FileIdentity& a, const FileIdentity& b) { return !(a == b); }

// What a wait for a mutex ended with.
enum class MutexWait {
    Acquired,   // the caller owns the mutex
    Abandoned,  // the caller owns it, but its previous owner ended while holding it
    Failed,     // the wait itself failed; the error code says why
};

// The body of a platform thread; its result is the thread's exit code.
using ThreadBody = std::uint32_t (*)(void* argument);

// Owners of platform handles: each closes its handle through the platform
// that opened it (traits at the end of this file).
template <typename Traits>
using PlatformHandle = Common::UniqueHandle<Traits>;
struct FileHandleTraits;
struct FindHandleTraits;
struct ThreadHandleTraits;
using FileHandle = PlatformHandle<FileHandleTraits>;
using FindHandle = PlatformHandle<FindHandleTraits>;
using ThreadHandle = PlatformHandle<ThreadHandleTraits>;

class Platform {
public:
    virtual ~Platform() = default;

    // --- Files ---
    // Opens an existing file for reading with backup semantics; other openers
    // may read it at the same time but not write it.
    virtual std::uint32_t OpenForBackupRead(const std::wstring& path, FileHandle& file) = 0;
    // Creates a new file for exclusive reading and writing, with the given
    // attributes (FileAttribute::kSetAtCreation bits; a read-only file is
    // still written through this handle). Fails with kFileExists (or
    // kAlreadyExists) when anything of that name exists: an existing file is
    // never opened, truncated or replaced.
    virtual std::uint32_t CreateNewFile(const std::wstring& path, FileHandle& file, std::uint32_t attributes = 0) = 0;
    // Synchronous read of up to size bytes; 0 bytes read at the end of the file.
    virtual std::uint32_t ReadFile(NativeHandle file, void* buffer, std::uint32_t size,
                                   std::uint32_t& bytesRead) = 0;
    // Synchronous write. On failure bytesWritten still tells how many bytes of
    // the block reached the file (they form a prefix of it).
    virtual std::uint32_t WriteFile(NativeHandle file, const void* data, std::uint32_t size,
                                    std::uint32_t& bytesWritten) = 0;
    virtual std::uint32_t FileSize(NativeHandle file, std::uint64_t& size) = 0;
    // One block of a copy: up to size bytes from source to target, each at
    // its current position, as a ReadFile into buffer and a WriteFile of what
    // was read (the default); a platform may move the bytes inside the
    // system instead. bytesRead is what came from source (0 at its end or
    // when the read failed), bytesWritten the prefix of it that reached
    // target; the result is the read's or the write's error.
    virtual std::uint32_t CopyBlock(NativeHandle source, NativeHandle target, void* buffer, std::uint32_t size,
                                    std::uint32_t& bytesRead, std::uint32_t& bytesWritten);
    virtual void CloseFile(NativeHandle file) noexcept = 0;
    // Closes a file that was written and says whether the close succeeded
    // (data the system still held may fail to reach the disk here). The
    // handle is closed either way.
    virtual std::uint32_t CloseWrittenFile(NativeHandle file) = 0;
    // Gives the file at from the name to, in the same folder or on the same
    // volume. Never replaces: fails with kAlreadyExists (or kFileExists) when
    // anything of that name exists, and from keeps its name.
    virtual std::uint32_t RenameNoReplace(const std::wstring& from, const std::wstring& to) = 0;
    // What became of a file that FinishNewFile was given.
    enum class Finish {
        Named,         // closed without error and named to
        CloseFailed,   // the close failed (error): nothing has the name to; from may remain
        NameTaken,     // something of the name to exists: it is untouched, from remains if it had a name
        RenameFailed,  // the rename failed otherwise (error); from remains if it had a name
    };
    // Ends a file written through file (created at from): closes it, the
    // handle being closed whatever happens, and gives it the name to without
    // ever replacing anything there. Only a file whose close succeeded keeps
    // the name. A last-access time set by StampNewFile stays until the file
    // has its name and then becomes the time of the call. By default a
    // close, RenameNoReplace, then UnstampFile; a platform may rename through
    // the open handle first (and then set the time) and undo the rename when
    // the close fails.
    virtual Finish FinishNewFile(NativeHandle file, const std::wstring& from, const std::wstring& to,
                                 std::uint32_t& error);
    // Creates the file a copy writes before FinishNewFile names it. By
    // default CreateNewFile at temporary; a platform may keep the file without
    // any name until it is finished, so that nothing of it outlives a crash,
    // and still fails with kFileExists while something stands at temporary.
    // A platform that changes one of the pair changes the other to match.
    virtual std::uint32_t CreateUnfinishedFile(const std::wstring& temporary, FileHandle& file,
                                               std::uint32_t attributes);
    // True for a file CreateUnfinishedFile made without any name: nothing
    // of it can be found, or removed, by a path.
    virtual bool IsUnnamedFile(NativeHandle file) { return (void)file, false; }
    // Sets the last-access time of a file written through file (100-ns units
    // since 1601; 0 for the time of the call), through the handle, where the
    // writes through that handle leave it. An unnamed file needs none: kSuccess.
    virtual std::uint32_t StampNewFile(NativeHandle file, std::uint64_t time);
    // Sets the last-access time of the regular file at path to now, never
    // through a link: the stamp's end for a file named after its close.
    virtual std::uint32_t UnstampFile(const std::wstring& path);
    // Ends a file written through file that is not to be finished: the
    // handle is closed whatever happens, and the file goes. An unnamed file
    // goes with its handle; a named one (created at temporary) through its
    // handle where the platform can, else by RemoveTemporary. kSuccess when
    // nothing of it remains.
    virtual std::uint32_t DiscardNewFile(NativeHandle file, const std::wstring& temporary);
    // Removes the regular file path names, read-only or not. Never a folder,
    // never what a link leads to, never the link itself: anything but a
    // regular file is refused (kAccessDenied) and left as it is.
    virtual std::uint32_t RemoveTemporary(const std::wstring& path);
    // Whether a copy gains by finishing one file (FinishNewFile and the close
    // of its source) on a second thread while it copies the next: true where
    // these calls mostly wait (each a round trip to another process), false
    // where both threads would only contend for the same folder's lock.
    virtual bool OverlapsFinishing() { return false; }

    // --- Attributes, deletion, folders ---
    // attributes is set to FileAttribute::kInvalid on failure.
    virtual std::uint32_t GetAttributes(const std::wstring& path, std::uint32_t& attributes) = 0;
    virtual std::uint32_t SetAttributes(const std::wstring& path, std::uint32_t attributes) = 0;
    virtual std::uint32_t RemoveFile(const std::wstring& path) = 0;
    // One folder level; kAlreadyExists when something of that name exists.
    virtual std::uint32_t CreateFolder(const std::wstring& path) = 0;
    // The folder and every missing parent; the result is the error code of the
    // step that failed (kAlreadyExists / kFileExists when the path exists).
    virtual std::uint32_t CreateFolderTree(const std::wstring& path) = 0;

    // --- Folder listings ---
    // pattern is a folder followed by "\*" (list the folder) or the path of one
    // file or folder (read its own entry). On success find holds the listing
    // and entry its first entry.
    virtual std::uint32_t FindFirst(const std::wstring& pattern, FindHandle& find, FindEntry& entry) = 0;
    // The next entry; kNoMoreFiles after the last one.
    virtual std::uint32_t FindNext(NativeHandle find, FindEntry& entry) = 0;
    virtual void CloseFind(NativeHandle find) noexcept = 0;

    // --- Volumes ---
    // The label of the volume whose root is given ("D:\"); empty when it has none.
    virtual std::uint32_t VolumeLabel(const std::wstring& root, std::wstring& label) = 0;
    // The bytes free to the calling user on the volume holding path.
    virtual std::uint32_t FreeBytes(const std::wstring& path, std::uint64_t& freeBytes) = 0;

    // --- Identity and full paths ---
    // The identity of an existing file or folder (links and junctions are
    // followed to what they name). Fails with kNotSupported where the system
    // gives no index (an index of 0, as some servers give for every file):
    // no decision may rest on it then.
    std::uint32_t Identify(const std::wstring& path, FileIdentity& identity);
    // What the system itself gives as the identity, an index of 0 included.
    virtual std::uint32_t IdentifyFile(const std::wstring& path, FileIdentity& identity) = 0;
    // Where an existing path really is: the full path after every link,
    // junction, mount point and substituted drive on the way, as far as the
    // system can tell. The default is the full path itself.
    virtual std::uint32_t RealPath(const std::wstring& path, std::wstring& realPath) { return FullPath(path, realPath); }
    // The full path of path, as the platform resolves it for every call: a
    // relative path is taken from the current folder, "." and ".." are
    // resolved and never climb above the root. Touches nothing on disk.
    virtual std::uint32_t FullPath(const std::wstring& path, std::wstring& fullPath) = 0;

    // --- Path tests (false whenever the answer cannot be had) ---
    virtual bool PathExists(const std::wstring& path) = 0;
    virtual bool IsFolder(const std::wstring& path) = 0;
    virtual bool IsEmptyFolder(const std::wstring& path) = 0;

    // --- Threads and time ---
    // Starts body(argument) on a new thread with the default stack.
    virtual std::uint32_t StartThread(ThreadBody body, void* argument, ThreadHandle& thread) = 0;
    // Waits without time-out for the thread to end, then frees its handle.
    // On Windows the waiting thread meanwhile answers sent messages and
    // repaints its windows (nothing posted runs).
    virtual void JoinThread(NativeHandle thread) noexcept = 0;
    virtual void SleepMilliseconds(std::uint32_t milliseconds) = 0;
    // While on, the system does not sleep (continuous, system and away mode
    // required, or without away mode where the system refuses it); off
    // restores the default. Acts on the calling thread.
    virtual void KeepAwake(bool on) = 0;
    // Milliseconds since an arbitrary start; wraps at 32 bits.
    virtual std::uint32_t TickCount() = 0;

    // --- Unnamed mutex: owned by the thread that acquired it ---
    virtual std::uint32_t NewMutex(NativeHandle& mutex) = 0;
    // Waits without time-out. error is set when the result is Failed.
    virtual MutexWait WaitMutex(NativeHandle mutex, std::uint32_t& error) = 0;
    // Fails with kNotOwner when the calling thread does not own the mutex.
    virtual std::uint32_t ReleaseMutex(NativeHandle mutex) = 0;
    virtual std::uint32_t CloseMutex(NativeHandle mutex) = 0;

    // --- Unnamed wake-up signal (an auto-reset event): Raise wakes one
    // waiter, or, while nobody waits, the next Wait returns at once ---
    virtual std::uint32_t NewSignal(NativeHandle& signal) = 0;
    virtual std::uint32_t RaiseSignal(NativeHandle signal) = 0;
    // Waits until the signal is raised, or for at most milliseconds; a wait
    // that ran out returns kWaitTimeout.
    virtual std::uint32_t WaitSignal(NativeHandle signal, std::uint32_t milliseconds) = 0;
    virtual std::uint32_t CloseSignal(NativeHandle signal) = 0;
    // Offers the rest of the calling thread's time slice to a thread that is
    // ready to run.
    virtual void YieldThread() = 0;
};

// The real platform of this build: Win32 on Windows, POSIX elsewhere.
Platform& SystemPlatform();

// --- Owners ---
// Kinds of PlatformHandle: move-only, get() reads the handle, reset() closes
// it, release() gives it up unclosed, reset(platform, value) takes a new one.
// An owner is empty before its close begins: a close that waits (a join) may
// run other code meanwhile, which must see no handle to close a second time.
template <void (Platform::*CloseMember)(NativeHandle) noexcept>
struct PlatformHandleTraits {
    using Type = NativeHandle;
    using Closer = Platform;
    static constexpr Type Empty() noexcept { return kNoHandle; }
    static void Close(Platform& platform, NativeHandle value) noexcept { (platform.*CloseMember)(value); }
};
struct FileHandleTraits : PlatformHandleTraits<&Platform::CloseFile> {};
struct FindHandleTraits : PlatformHandleTraits<&Platform::CloseFind> {};
// A thread owner never lets a thread run on unowned: resetting it joins.
struct ThreadHandleTraits : PlatformHandleTraits<&Platform::JoinThread> {};
