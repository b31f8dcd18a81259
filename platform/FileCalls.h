#pragma once
// The platform's files: opening, reading and writing them, and the life of
// a file a copy writes, from its creation under a temporary name to its
// real name or its removal.

#include <cstdint>
#include <string>

#include "platform/PlatformTypes.h"

class FileCalls {
public:
    virtual ~FileCalls() = default;

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
    virtual std::uint32_t RemoveTemporary(const std::wstring& path) = 0;
    // Whether a copy gains by finishing one file (FinishNewFile and the close
    // of its source) on a second thread while it copies the next: true where
    // these calls mostly wait (each a round trip to another process), false
    // where both threads would only contend for the same folder's lock.
    virtual bool OverlapsFinishing() { return false; }
};

// The base of a decorator: passes every primitive call on to inner, and
// handles inner opens close through this object. The composites
// (CopyBlock, FinishNewFile, CreateUnfinishedFile, IsUnnamedFile,
// DiscardNewFile) keep their defaults over this object's own calls, so a
// decorator sees each of their steps; one that wants a composite passed on
// whole overrides it.
class PassingFileCalls : public FileCalls {
public:
    explicit PassingFileCalls(FileCalls& inner) : inner(inner) {}

    std::uint32_t OpenForBackupRead(const std::wstring& path, FileHandle& file) override {
        return AdoptHandle(inner.OpenForBackupRead(path, file), file, *this);
    }
    std::uint32_t CreateNewFile(const std::wstring& path, FileHandle& file, std::uint32_t attributes = 0) override {
        return AdoptHandle(inner.CreateNewFile(path, file, attributes), file, *this);
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
    std::uint32_t StampNewFile(NativeHandle file, std::uint64_t time) override {
        return inner.StampNewFile(file, time);
    }
    std::uint32_t UnstampFile(const std::wstring& path) override { return inner.UnstampFile(path); }
    std::uint32_t RemoveTemporary(const std::wstring& path) override { return inner.RemoveTemporary(path); }
    bool OverlapsFinishing() override { return inner.OverlapsFinishing(); }

protected:
    FileCalls& inner;
};
