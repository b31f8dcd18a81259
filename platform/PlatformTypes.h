#pragma once
// What the platform's topics trade in: handles and their owners, listing
// entries, identities, mutex waits and thread bodies.
//
// Conventions of every topic:
// - Paths are Windows-style wide strings (drive letters, backslashes).
// - An operation that can fail returns a Windows error code: ErrorCode::kSuccess
//   (0) on success, otherwise the code the platform gave (ErrorCode.h).
//   Out parameters are left unchanged on failure unless stated otherwise.
// - Handles are opaque pointer-sized values; kNoHandle (-1) is never a valid one.
//   The owners (FileHandle, FindHandle, ThreadHandle) close them through the
//   topic object that opened them.

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

class FileCalls;
class ListingCalls;
class ThreadCalls;

// --- Owners ---
// Kinds of PlatformHandle: move-only, get() reads the handle, reset() closes
// it, release() gives it up unclosed, reset(topic, value) takes a new one.
// An owner is empty before its close begins: a close that waits (a join) may
// run other code meanwhile, which must see no handle to close a second time.
// Each kind closes through its topic (the closes are in PlatformTypes.cpp).
template <typename Topic>
struct PlatformHandleTraits {
    using Type = NativeHandle;
    using Closer = Topic;
    static constexpr Type Empty() noexcept { return kNoHandle; }
};
struct FileHandleTraits : PlatformHandleTraits<FileCalls> {
    static void Close(FileCalls& files, NativeHandle value) noexcept;  // CloseFile
};
struct FindHandleTraits : PlatformHandleTraits<ListingCalls> {
    static void Close(ListingCalls& listing, NativeHandle value) noexcept;  // CloseFind
};
// A thread owner never lets a thread run on unowned: resetting it joins.
struct ThreadHandleTraits : PlatformHandleTraits<ThreadCalls> {
    static void Close(ThreadCalls& threads, NativeHandle value) noexcept;  // JoinThread
};

template <typename Traits>
using PlatformHandle = Common::UniqueHandle<Traits>;
using FileHandle = PlatformHandle<FileHandleTraits>;
using FindHandle = PlatformHandle<FindHandleTraits>;
using ThreadHandle = PlatformHandle<ThreadHandleTraits>;

// For a decorator: when error is kSuccess, the handle its inner topic just
// opened closes through the decorator from now on, which passes the close on.
template <typename Traits>
std::uint32_t AdoptHandle(std::uint32_t error, PlatformHandle<Traits>& handle, typename Traits::Closer& decorator) {
    if (error == ErrorCode::kSuccess) {
        const NativeHandle value = handle.release();
        handle.reset(decorator, value);
    }
    return error;
}
