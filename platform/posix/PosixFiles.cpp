#include "platform/posix/PosixFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/PosixCommon.h"
#include "platform/posix/PosixErrors.h"

using Posix::ParentOf;

namespace {

timespec TimespecOf(std::uint64_t fileTime) {
    constexpr std::int64_t kSecondsFrom1601 = 11644473600;
    timespec time{};
    time.tv_sec = static_cast<time_t>(static_cast<std::int64_t>(fileTime / 10000000u) - kSecondsFrom1601);
    time.tv_nsec = static_cast<long>(fileTime % 10000000u) * 100;
    return time;
}

// An unnamed file's handle carries this bit above its descriptor, so the
// finish knows the file must be linked without asking the file system.
static_assert(sizeof(NativeHandle) >= 8, "the tag lies above every descriptor");
constexpr NativeHandle kUnnamedTag = NativeHandle{1} << 32;

int Fd(NativeHandle handle) { return static_cast<int>(handle & ~kUnnamedTag); }

}  // namespace

PosixFiles::PosixFiles(const PosixDrives& drives)
    : drives(drives), unnamedFilesNameable(access("/proc/self/fd", X_OK) == 0) {}

std::uint32_t PosixFiles::OpenForBackupRead(const std::wstring& path, FileHandle& file) {
    std::string posix;
    if (std::uint32_t error = drives.ToPosixPath(path, posix)) return error;
    // Non-blocking, so that a named pipe cannot hold the copy; only files and
    // folders are opened, and for them the flag changes nothing.
    const int fd = open(posix.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return ErrorFromErrno(errno, posix);
    struct stat info;
    if (fstat(fd, &info) != 0 || !(S_ISREG(info.st_mode) || S_ISDIR(info.st_mode))) {
        close(fd);
        return ErrorCode::kAccessDenied;
    }
    file.reset(*this, fd);
    return ErrorCode::kSuccess;
}

std::uint32_t PosixFiles::CreateNewFile(const std::wstring& path, FileHandle& file, std::uint32_t attributes) {
    std::string posix;
    if (std::uint32_t error = drives.ToPosixPath(path, posix)) return error;
    // Read-only is the absence of write permission; the descriptor opened
    // here may write all the same.
    const mode_t mode = (attributes & FileAttribute::kReadOnly) ? 0444 : 0666;
    const int fd = open(posix.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0) return ErrorFromErrno(errno, posix);
    file.reset(*this, fd);
    return ErrorCode::kSuccess;
}

std::uint32_t PosixFiles::ReadFile(NativeHandle file, void* buffer, std::uint32_t size,
                                      std::uint32_t& bytesRead) {
    bytesRead = 0;
    for (;;) {
        const ssize_t n = read(Fd(file), buffer, size);
        if (n >= 0) {
            bytesRead = static_cast<std::uint32_t>(n);
            return ErrorCode::kSuccess;
        }
        if (errno == EISDIR) return ErrorCode::kInvalidFunction;
        if (errno != EINTR) return ErrorFromErrno(errno);
    }
}

std::uint32_t PosixFiles::WriteFile(NativeHandle file, const void* data, std::uint32_t size,
                                       std::uint32_t& bytesWritten) {
    bytesWritten = 0;
    const auto* bytes = static_cast<const unsigned char*>(data);
    while (bytesWritten < size) {
        const ssize_t n = write(Fd(file), bytes + bytesWritten, size - bytesWritten);
        if (n < 0) {
            if (errno == EINTR) continue;
            return ErrorFromErrno(errno);
        }
        if (n == 0) return ErrorCode::kDiskFull;
        bytesWritten += static_cast<std::uint32_t>(n);
    }
    return ErrorCode::kSuccess;
}

std::uint32_t PosixFiles::CopyBlock(NativeHandle source, NativeHandle target, void* buffer, std::uint32_t size,
                                       std::uint32_t& bytesRead, std::uint32_t& bytesWritten) {
#ifdef SYS_copy_file_range
    for (;;) {
        const ssize_t n = copy_file_range(Fd(source), nullptr, Fd(target), nullptr, size, 0);
        if (n > 0) {
            bytesRead = bytesWritten = static_cast<std::uint32_t>(n);
            return ErrorCode::kSuccess;
        }
        if (n < 0 && errno == EINTR) continue;
        break;
    }
    // Nothing moved: the end of the file, a pair of files the kernel cannot
    // copy between (or a file whose listed size is not its content, as in
    // /proc), or a failure. A plain read and write tells which, and gives a
    // failure the side it belongs to.
#endif
    return FileCalls::CopyBlock(source, target, buffer, size, bytesRead, bytesWritten);
}

std::uint32_t PosixFiles::FileSize(NativeHandle file, std::uint64_t& size) {
    struct stat info;
    if (fstat(Fd(file), &info) != 0) return ErrorFromErrno(errno);
    size = static_cast<std::uint64_t>(info.st_size);
    return ErrorCode::kSuccess;
}

void PosixFiles::CloseFile(NativeHandle file) noexcept { close(Fd(file)); }

std::uint32_t PosixFiles::CloseWrittenFile(NativeHandle file) {
    // The descriptor is gone after close() whatever it returns; EINTR must
    // not be retried.
    if (close(Fd(file)) != 0 && errno != EINTR) return ErrorFromErrno(errno);
    return ErrorCode::kSuccess;
}

std::uint32_t PosixFiles::RenameNoReplace(const std::wstring& from, const std::wstring& to) {
    std::string source, target;
    if (std::uint32_t error = drives.ToPosixPath(from, source)) return error;
    if (std::uint32_t error = drives.ToPosixPath(to, target)) return error;
#ifdef SYS_renameat2
    constexpr unsigned kRenameNoReplace = 1;
    if (syscall(SYS_renameat2, AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), kRenameNoReplace) == 0) {
        return ErrorCode::kSuccess;
    }
    if (errno != ENOSYS && errno != EINVAL) {
        return errno == EEXIST ? ErrorCode::kAlreadyExists : ErrorFromErrno(errno, target);
    }
#endif
    // A file system without the no-replace rename: a hard link never
    // replaces, and the old name goes once the new one stands.
    if (link(source.c_str(), target.c_str()) != 0) {
        return errno == EEXIST ? ErrorCode::kAlreadyExists : ErrorFromErrno(errno, target);
    }
    if (unlink(source.c_str()) != 0) return ErrorFromErrno(errno, source);
    return ErrorCode::kSuccess;
}

std::uint32_t PosixFiles::CreateUnfinishedFile(const std::wstring& temporary, FileHandle& file,
                                                   std::uint32_t attributes) {
#ifdef O_TMPFILE
    if (!unnamedFilesNameable) return CreateNewFile(temporary, file, attributes);
    std::string posix;
    if (std::uint32_t error = drives.ToPosixPath(temporary, posix)) return error;
    // What stands at the temporary name (a leftover) is reported as the
    // exclusive create would report it.
    struct stat info;
    if (lstat(posix.c_str(), &info) == 0) return ErrorCode::kFileExists;
    const mode_t mode = (attributes & FileAttribute::kReadOnly) ? 0444 : 0666;
    const int fd = open(ParentOf(posix).c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, mode);
    if (fd >= 0) {
        file.reset(*this, fd | kUnnamedTag);
        return ErrorCode::kSuccess;
    }
    // A file system without unnamed files gets a named temporary.
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return ErrorFromErrno(errno, posix);
#endif
    return CreateNewFile(temporary, file, attributes);
}

bool PosixFiles::IsUnnamedFile(NativeHandle file) { return file >= 0 && (file & kUnnamedTag) != 0; }

std::uint32_t PosixFiles::StampNewFile(NativeHandle file, std::uint64_t time) {
    if (IsUnnamedFile(file)) return ErrorCode::kSuccess;
    timespec times[2];
    times[0] = time == 0 ? timespec{0, UTIME_NOW} : TimespecOf(time);
    times[1] = timespec{0, UTIME_OMIT};
    return futimens(Fd(file), times) == 0 ? ErrorCode::kSuccess : ErrorFromErrno(errno);
}

std::uint32_t PosixFiles::UnstampFile(const std::wstring& path) {
    std::string posix;
    if (std::uint32_t error = drives.ToPosixPath(path, posix)) return error;
    const timespec times[2] = {{0, UTIME_NOW}, {0, UTIME_OMIT}};
    return utimensat(AT_FDCWD, posix.c_str(), times, AT_SYMLINK_NOFOLLOW) == 0 ? ErrorCode::kSuccess
                                                                               : ErrorFromErrno(errno, posix);
}

std::uint32_t PosixFiles::DiscardNewFile(NativeHandle file, const std::wstring& temporary) {
    if (IsUnnamedFile(file)) {
        CloseFile(file);
        return ErrorCode::kSuccess;
    }
    // Only the name that still leads to this very file goes.
    std::string posix;
    std::uint32_t error = drives.ToPosixPath(temporary, posix);
    struct stat open, named;
    if (error == ErrorCode::kSuccess) {
        if (fstat(Fd(file), &open) != 0 || lstat(posix.c_str(), &named) != 0) {
            error = ErrorFromErrno(errno, posix);
        } else if (open.st_dev != named.st_dev || open.st_ino != named.st_ino) {
            error = ErrorCode::kSuccess;  // the name is another file's now; this one has none
        } else if (unlink(posix.c_str()) != 0) {
            error = ErrorFromErrno(errno, posix);
        }
    }
    CloseFile(file);
    return error;
}

std::uint32_t PosixFiles::RemoveTemporary(const std::wstring& path) {
    std::string posix;
    if (std::uint32_t error = drives.ToPosixPath(path, posix)) return error;
    struct stat info;
    if (lstat(posix.c_str(), &info) != 0) return ErrorFromErrno(errno, posix);
    if (!S_ISREG(info.st_mode)) return ErrorCode::kAccessDenied;
    // unlink removes the name alone and follows nothing.
    if (unlink(posix.c_str()) != 0) return ErrorFromErrno(errno, posix);
    return ErrorCode::kSuccess;
}

FileCalls::Finish PosixFiles::FinishNewFile(NativeHandle file, const std::wstring& from, const std::wstring& to,
                                              std::uint32_t& error) {
    if (file < 0 || !(file & kUnnamedTag)) return FileCalls::FinishNewFile(file, from, to, error);
    std::string target;
    error = drives.ToPosixPath(to, target);
    if (error != ErrorCode::kSuccess) {
        CloseFile(file);
        return Finish::RenameFailed;
    }
    // linkat never replaces; the unnamed file goes with its descriptor when
    // it cannot be named. It is linked by its descriptor where the process
    // may (that needs the right to read any file), else through its /proc
    // name, which any owner may link.
    const bool tryDescriptor = emptyPathLinks.load(std::memory_order_relaxed);
    int linked = tryDescriptor ? linkat(Fd(file), "", AT_FDCWD, target.c_str(), AT_EMPTY_PATH) : -1;
    if (linked != 0 && (!tryDescriptor || errno != EEXIST)) {
        const std::string self = "/proc/self/fd/" + std::to_string(Fd(file));
        linked = linkat(AT_FDCWD, self.c_str(), AT_FDCWD, target.c_str(), AT_SYMLINK_FOLLOW);
        // The descriptor failed where the name did not: this process may not.
        if (linked == 0 && tryDescriptor) emptyPathLinks.store(false, std::memory_order_relaxed);
    }
    if (linked != 0) {
        const int failure = errno;
        CloseFile(file);
        if (failure == EEXIST) {
            error = ErrorCode::kAlreadyExists;
            return Finish::NameTaken;
        }
        error = ErrorFromErrno(failure, target);
        return Finish::RenameFailed;
    }
    error = CloseWrittenFile(file);
    if (error != ErrorCode::kSuccess) {
        // Named already, but not known to be whole: the name goes again.
        unlink(target.c_str());
        return Finish::CloseFailed;
    }
    return Finish::Named;
}
