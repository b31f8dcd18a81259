#include "platform/posix/PosixPlatform.h"

#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <sched.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/statvfs.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <new>
#include <vector>

namespace {

// Wide (UTF-32 here) to UTF-8.
std::string Narrow(const std::wstring& text) {
    std::string out;
    out.reserve(text.size());
    for (wchar_t wc : text) {
        auto c = static_cast<std::uint32_t>(wc);
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

// UTF-8 to wide; malformed bytes come through as themselves.
std::wstring Widen(const char* text) {
    std::wstring out;
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    while (*p) {
        std::uint32_t c = *p;
        int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        bool valid = true;
        if (extra) {
            c &= 0x3F >> extra;
            for (int i = 1; i <= extra; ++i) {
                if ((p[i] & 0xC0) != 0x80) {
                    valid = false;
                    break;
                }
                c = (c << 6) | (p[i] & 0x3F);
            }
        }
        if (!valid) {
            c = *p;
            extra = 0;
        }
        out.push_back(static_cast<wchar_t>(c));
        p += 1 + extra;
    }
    return out;
}

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

std::string ParentOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string LastComponent(const std::string& path) {
    std::string trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == '/') trimmed.pop_back();
    const size_t slash = trimmed.find_last_of('/');
    return slash == std::string::npos ? trimmed : trimmed.substr(slash + 1);
}

bool IsDotName(const char* name) { return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)); }

// A POSIX time as 100-ns units since 1601; 0 before that.
std::uint64_t FileTimeOf(const timespec& time) {
    constexpr std::int64_t kSecondsFrom1601 = 11644473600;
    const std::int64_t seconds = static_cast<std::int64_t>(time.tv_sec) + kSecondsFrom1601;
    if (seconds < 0) return 0;
    return static_cast<std::uint64_t>(seconds) * 10000000u + static_cast<std::uint64_t>(time.tv_nsec) / 100u;
}

timespec TimespecOf(std::uint64_t fileTime) {
    constexpr std::int64_t kSecondsFrom1601 = 11644473600;
    timespec time{};
    time.tv_sec = static_cast<time_t>(static_cast<std::int64_t>(fileTime / 10000000u) - kSecondsFrom1601);
    time.tv_nsec = static_cast<long>(fileTime % 10000000u) * 100;
    return time;
}

void SetEntryTimes(const struct stat& info, FindEntry& entry) {
    entry.lastWriteTime = FileTimeOf(info.st_mtim);
    entry.lastAccessTime = FileTimeOf(info.st_atim);
}

bool HasWriteBits(mode_t mode) { return (mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0; }

// The attribute word of an entry, from its lstat and (for a link) its target.
std::uint32_t AttributesOf(const struct stat& linkInfo, const std::string& name, const std::string& fullPath) {
    std::uint32_t attributes = 0;
    struct stat info = linkInfo;
    if (S_ISLNK(linkInfo.st_mode)) {
        attributes |= FileAttribute::kReparsePoint;
        struct stat target;
        if (stat(fullPath.c_str(), &target) == 0) info = target;
    }
    if (S_ISDIR(info.st_mode)) {
        attributes |= FileAttribute::kDirectory;
    } else {
        attributes |= FileAttribute::kArchive;
    }
    if (!HasWriteBits(linkInfo.st_mode) && !S_ISLNK(linkInfo.st_mode)) attributes |= FileAttribute::kReadOnly;
    if (!name.empty() && name[0] == '.' && name != "." && name != "..") attributes |= FileAttribute::kHidden;
    return attributes;
}

struct Listing {
    DIR* dir = nullptr;       // null for the listing of one named entry
    std::string folder;
};

// A robust recursive mutex with its owner kept beside it, so that a release
// by a thread that does not own it is refused before the C library sees it.
struct OwnedMutex {
    pthread_mutex_t mutex;
    std::atomic<pthread_t> owner{0};
    int depth = 0;  // only the owner touches it
};

// An auto-reset event: the flag keeps a raise that nobody waited for. Its
// waits are timed on the monotonic clock, which a change of the system time
// does not move.
struct Signal {
    pthread_mutex_t mutex = PTHREAD_MUTEX_INITIALIZER;
    pthread_cond_t raised;
    bool set = false;
};

struct Thread {
    pthread_t id{};
    ThreadBody body = nullptr;
    void* argument = nullptr;
};

void* ThreadTrampoline(void* start) {
    auto* thread = static_cast<Thread*>(start);
    thread->body(thread->argument);
    return nullptr;
}

template <typename T>
T* FromHandle(NativeHandle handle) {
    return reinterpret_cast<T*>(handle);
}

template <typename T>
NativeHandle ToHandle(T* pointer) {
    return reinterpret_cast<NativeHandle>(pointer);
}

// An unnamed file's handle carries this bit above its descriptor, so the
// finish knows the file must be linked without asking the file system.
static_assert(sizeof(NativeHandle) >= 8, "the tag lies above every descriptor");
constexpr NativeHandle kUnnamedTag = NativeHandle{1} << 32;

int Fd(NativeHandle handle) { return static_cast<int>(handle & ~kUnnamedTag); }

}  // namespace

std::uint32_t ErrorFromErrno(int error, const std::string& path) {
    switch (error) {
        case 0: return ErrorCode::kSuccess;
        case ENOENT: {
            // Windows tells "no such file" from "no such folder on the way".
            struct stat info;
            if (!path.empty() && stat(ParentOf(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
                return ErrorCode::kFileNotFound;
            }
            return path.empty() ? ErrorCode::kFileNotFound : ErrorCode::kPathNotFound;
        }
        case ENOTDIR: return ErrorCode::kPathNotFound;
        case EACCES:
        case EPERM:
        case EISDIR: return ErrorCode::kAccessDenied;
        case EROFS: return ErrorCode::kWriteProtect;
        case EEXIST: return ErrorCode::kFileExists;
        case ENOSPC:
        case EDQUOT: return ErrorCode::kDiskFull;
        case ENAMETOOLONG: return ErrorCode::kFilenameExcedRange;
        case EMFILE:
        case ENFILE: return ErrorCode::kTooManyOpenFiles;
        case ETXTBSY: return ErrorCode::kSharingViolation;
        case EBUSY: return ErrorCode::kBusy;
        case EIO: return ErrorCode::kIoDevice;
        case ENOTEMPTY: return ErrorCode::kDirNotEmpty;
        case EBADF: return ErrorCode::kInvalidHandle;
        case EINVAL: return ErrorCode::kInvalidParameter;
        case ENOMEM:
        case EAGAIN: return ErrorCode::kNotEnoughMemory;
        case ELOOP: return ErrorCode::kCantResolveFilename;
        case EMLINK: return ErrorCode::kTooManyLinks;
        case EPIPE: return ErrorCode::kBrokenPipe;
        case ENOTSUP: return ErrorCode::kNotSupported;
        case ENXIO:
        case ENODEV: return ErrorCode::kNotReady;
        default: return ErrorCode::kGenFailure;
    }
}

std::wstring ResolveFullPath(const std::wstring& path, const std::wstring& currentFolder) {
    if (path.empty()) return std::wstring();
    const bool currentIsFull = currentFolder.size() >= 3 && currentFolder[1] == L':' && IsSeparator(currentFolder[2]);
    if (!currentIsFull) return ResolveFullPath(path, L"Z:\\");
    auto isDrive = [](const std::wstring& text) {
        return text.size() >= 2 && text[1] == L':' &&
               ((text[0] >= L'A' && text[0] <= L'Z') || (text[0] >= L'a' && text[0] <= L'z'));
    };
    // Root and the rest to resolve below it.
    std::wstring root, rest;
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        // \\server\share: both components belong to the root.
        size_t position = 2;
        root = L"\\\\";
        for (int part = 0; part < 2 && position < path.size(); ++part) {
            const size_t start = position;
            while (position < path.size() && !IsSeparator(path[position])) ++position;
            if (part == 1) root += L'\\';
            root += path.substr(start, position - start);
            if (position < path.size()) ++position;
        }
        rest = path.substr(position);
    } else if (isDrive(path) && path.size() >= 3 && IsSeparator(path[2])) {
        root = path.substr(0, 2) + L"\\";
        rest = path.substr(3);
    } else if (isDrive(path)) {
        const bool sameDrive = isDrive(currentFolder) && (currentFolder[0] | 0x20) == (path[0] | 0x20);
        return ResolveFullPath(sameDrive ? currentFolder + L"\\" + path.substr(2) : path.substr(0, 2) + L"\\" +
                                                                                        path.substr(2),
                               currentFolder);
    } else if (IsSeparator(path[0])) {
        return ResolveFullPath(currentFolder.substr(0, 2) + path, currentFolder);
    } else {
        return ResolveFullPath(currentFolder + L"\\" + path, currentFolder);
    }
    std::vector<std::wstring> parts;
    size_t position = 0;
    while (position < rest.size()) {
        size_t end = position;
        while (end < rest.size() && !IsSeparator(rest[end])) ++end;
        const std::wstring part = rest.substr(position, end - position);
        if (part == L"..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != L".") {
            parts.push_back(part);
        }
        position = end + 1;
    }
    std::wstring full = root;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (!full.empty() && full.back() != L'\\') full += L'\\';
        full += parts[i];
    }
    if (!parts.empty() && IsSeparator(path.back())) full += L'\\';
    return full;
}

PosixPlatform::PosixPlatform() : unnamedFilesNameable(access("/proc/self/fd", X_OK) == 0) { MapDrive(L'Z', ""); }

void PosixPlatform::MapDrive(wchar_t letter, const std::string& folder) {
    if (letter >= L'a' && letter <= L'z') letter = static_cast<wchar_t>(letter - L'a' + L'A');
    if (letter < L'A' || letter > L'Z') return;
    std::string trimmed = folder;
    while (!trimmed.empty() && trimmed.back() == '/') trimmed.pop_back();
    driveFolders[letter - L'A'] = trimmed;
    driveMapped[letter - L'A'] = true;
}

std::uint32_t PosixPlatform::ToPosixPath(const std::wstring& path, std::string& posixPath) const {
    if (path.empty()) return ErrorCode::kPathNotFound;
    // The long form names the same path: "\\?\X:\..." is "X:\...".
    if (path.compare(0, 4, L"\\\\?\\") == 0) {
        if (path.compare(4, 4, L"UNC\\") == 0) return ErrorCode::kBadNetPath;
        return ToPosixPath(path.substr(4), posixPath);
    }
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) return ErrorCode::kBadNetPath;
    std::wstring rest = path;
    std::string prefix;
    if (path.size() >= 2 && path[1] == L':') {
        wchar_t letter = path[0];
        if (letter >= L'a' && letter <= L'z') letter = static_cast<wchar_t>(letter - L'a' + L'A');
        if (letter < L'A' || letter > L'Z') return ErrorCode::kInvalidName;
        if (!driveMapped[letter - L'A']) return ErrorCode::kPathNotFound;
        prefix = driveFolders[letter - L'A'];
        rest = path.substr(2);
        if (rest.empty() || !IsSeparator(rest[0])) rest.insert(rest.begin(), L'/');
    }
    std::string converted = prefix + Narrow(rest);
    std::string out;
    out.reserve(converted.size());
    for (char c : converted) {
        if (c == '\\') c = '/';
        if (c == '/' && !out.empty() && out.back() == '/') continue;
        out.push_back(c);
    }
    if (out.empty()) out = "/";
    posixPath = std::move(out);
    return ErrorCode::kSuccess;
}

std::uint32_t PosixPlatform::OpenForBackupRead(const std::wstring& path, FileHandle& file) {
    std::string posix;
    if (std::uint32_t error = ToPosixPath(path, posix)) return error;
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

std::uint32_t PosixPlatform::CreateNewFile(const std::wstring& path, FileHandle& file, std::uint32_t attributes) {
    std::string posix;
    if (std::uint32_t error = ToPosixPath(path, posix)) return error;
    // Read-only is the absence of write permission; the descriptor opened
    // here may write all the same.
    const mode_t mode = (attributes & FileAttribute::kReadOnly) ? 0444 : 0666;
    const int fd = open(posix.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0) return ErrorFromErrno(errno, posix);
    file.reset(*this, fd);
    return ErrorCode::kSuccess;
}

std::uint32_t PosixPlatform::ReadFile(NativeHandle file, void* buffer, std::uint32_t size,
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

std::uint32_t PosixPlatform::WriteFile(NativeHandle file, const void* data, std::uint32_t size,
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

std::uint32_t PosixPlatform::CopyBlock(NativeHandle source, NativeHandle target, void* buffer, std::uint32_t size,
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
    return Platform::CopyBlock(source, target, buffer, size, bytesRead, bytesWritten);
}

std::uint32_t PosixPlatform::FileSize(NativeHandle file, std::uint64_t& size) {
    struct stat info;
    if (fstat(Fd(file), &info) != 0) return ErrorFromErrno(errno);
    size = static_cast<std::uint64_t>(info.st_size);
    return ErrorCode::kSuccess;
}

void PosixPlatform::CloseFile(NativeHandle file) noexcept { close(Fd(file)); }

std::uint32_t PosixPlatform::CloseWrittenFile(NativeHandle file) {
    // The descriptor is gone after close() whatever it returns; EINTR must
    // not be retried.
    if (close(Fd(file)) != 0 && errno != EINTR) return ErrorFromErrno(errno);
    return ErrorCode::kSuccess;
}

std::uint32_t PosixPlatform::RenameNoReplace(const std::wstring& from, const std::wstring& to) {
    std::string source, target;
    if (std::uint32_t error = ToPosixPath(from, source)) return error;
    if (std::uint32_t error = ToPosixPath(to, target)) return error;
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

std::uint32_t PosixPlatform::CreateUnfinishedFile(const std::wstring& temporary, FileHandle& file,
                                                   std::uint32_t attributes) {
#ifdef O_TMPFILE
    if (!unnamedFilesNameable) return CreateNewFile(temporary, file, attributes);
    std::string posix;
    if (std::uint32_t error = ToPosixPath(temporary, posix)) return error;
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

bool PosixPlatform::IsUnnamedFile(NativeHandle file) { return file >= 0 && (file & kUnnamedTag) != 0; }

std::uint32_t PosixPlatform::StampNewFile(NativeHandle file, std::uint64_t time) {
    if (IsUnnamedFile(file)) return ErrorCode::kSuccess;
    timespec times[2];
    times[0] = time == 0 ? timespec{0, UTIME_NOW} : TimespecOf(time);
    times[1] = timespec{0, UTIME_OMIT};
    return futimens(Fd(file), times) == 0 ? ErrorCode::kSuccess : ErrorFromErrno(errno);
}

std::uint32_t PosixPlatform::UnstampFile(const std::wstring& path) {
    std::string posix;
    if (std::uint32_t error = ToPosixPath(path, posix)) return error;
    const timespec times[2] = {{0, UTIME_NOW}, {0, UTIME_OMIT}};
    return utimensat(AT_FDCWD, posix.c_str(), times, AT_SYMLINK_NOFOLLOW) == 0 ? ErrorCode::kSuccess
                                                                               : ErrorFromErrno(errno, posix);
}

std::uint32_t PosixPlatform::DiscardNewFile(NativeHandle file, const std::wstring& temporary) {
    if (IsUnnamedFile(file)) {
        CloseFile(file);
        return ErrorCode::kSuccess;
    }
    // Only the name that still leads to this very file goes.
    std::string posix;
    std::uint32_t error = ToPosixPath(temporary, posix);
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

std::uint32_t PosixPlatform::RemoveTemporary(const std::wstring& path) {
    std::string posix;
    if (std::uint32_t error = ToPosixPath(path, posix)) return error;
    struct stat info;
    if (lstat(posix.c_str(), &info) != 0) return ErrorFromErrno(errno, posix);
    if (!S_ISREG(info.st_mode)) return ErrorCode::kAccessDenied;
    // unlink removes the name alone and follows nothing.
    if (unlink(posix.c_str()) != 0) return ErrorFromErrno(errno, posix);
    return ErrorCode::kSuccess;
}

Platform::Finish PosixPlatform::FinishNewFile(NativeHandle file, const std::wstring& from, const std::wstring& to,
                                              std::uint32_t& error) {
    if (file < 0 || !(file & kUnnamedTag)) return Platform::FinishNewFile(file, from, to, error);
    std::string target;
    error = ToPosixPath(to, target);
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

std::uint32_t PosixPlatform::GetAttributes(const std::wstring& path, std::uint32_t& attributes) {
    attributes = FileAttribute::kInvalid;
    std::string posix;
    if (std::uint32_t error = ToPosixPath(path, posix)) return error;
    struct stat info;
    if (lstat(posix.c_str(), &info) != 0) return ErrorFromErrno(errno, posix);
    attributes = AttributesOf(info, LastComponent(posix), posix);
    return ErrorCode::kSuccess;
}

std::uint32_t PosixPlatform::SetAttributes(const std::wstring& path, std::uint32_t attributes) {
    if (attributes == FileAttribute::kInvalid) return ErrorCode::kInvalidParameter;
    std::string posix;
    if (std::uint32_t error = ToPosixPath(path, posix)) return error;
    struct stat info;
    if (lstat(posix.c_str(), &info) != 0) return ErrorFromErrno(errno, posix);
    // Only the read-only bit has a POSIX counterpart; on folders it is
    // ignored, and a link has no bits of its own (what it leads to is never
    // changed through it).
    if (S_ISDIR(info.st_mode) || S_ISLNK(info.st_mode)) return ErrorCode::kSuccess;
    mode_t mode = info.st_mode & 07777;
    if (attributes & FileAttribute::kReadOnly) {
        mode &= ~static_cast<mode_t>(S_IWUSR | S_IWGRP | S_IWOTH);
    } else if (!HasWriteBits(mode)) {
        mode |= S_IWUSR;
    }
    if (mode != (info.st_mode & 07777) && chmod(posix.c_str(), mode) != 0) return ErrorFromErrno(errno, posix);
    return ErrorCode::kSuccess;
}

std::uint32_t PosixPlatform::RemoveFile(const std::wstring& path) {
    std::string posix;
    if (std::uint32_t error = ToPosixPath(path, posix)) return error;
    struct stat info;
    if (lstat(posix.c_str(), &info) != 0) return ErrorFromErrno(errno, posix);
    if (S_ISDIR(info.st_mode)) return ErrorCode::kAccessDenied;
    // As on Windows, a read-only file is not deleted.
    if (S_ISREG(info.st_mode) && !HasWriteBits(info.st_mode)) return ErrorCode::kAccessDenied;
    if (unlink(posix.c_str()) != 0) return ErrorFromErrno(errno, posix);
    return ErrorCode::kSuccess;
}

std::uint32_t PosixPlatform::CreateFolder(const std::wstring& path) {
    std::string posix;
    if (std::uint32_t error = ToPosixPath(path, posix)) return error;
    if (mkdir(posix.c_str(), 0777) == 0) return ErrorCode::kSuccess;
    if (errno == EEXIST) return ErrorCode::kAlreadyExists;
    if (errno == ENOENT) return ErrorCode::kPathNotFound;
    return ErrorFromErrno(errno, posix);
}

std::uint32_t PosixPlatform::CreateFolderTree(const std::wstring& path) {
    const bool absolute = (path.size() >= 2 && path[1] == L':') || (!path.empty() && IsSeparator(path[0]));
    if (!absolute) return ErrorCode::kBadPathname;
    std::string posix;
    if (std::uint32_t error = ToPosixPath(path, posix)) return error;
    struct stat info;
    if (stat(posix.c_str(), &info) == 0) return S_ISDIR(info.st_mode) ? ErrorCode::kAlreadyExists : ErrorCode::kFileExists;
    for (size_t slash = posix.find('/', 1); ; slash = posix.find('/', slash + 1)) {
        const std::string step = slash == std::string::npos ? posix : posix.substr(0, slash);
        if (mkdir(step.c_str(), 0777) != 0 && errno != EEXIST) {
            return errno == ENOENT ? ErrorCode::kPathNotFound : ErrorFromErrno(errno, step);
        }
        if (slash == std::string::npos) break;
    }
    if (stat(posix.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return ErrorCode::kPathNotFound;
    return ErrorCode::kSuccess;
}

std::uint32_t PosixPlatform::FindFirst(const std::wstring& pattern, FindHandle& find, FindEntry& entry) {
    const bool listFolder = pattern.size() >= 1 && pattern.back() == L'*' &&
                            (pattern.size() == 1 || IsSeparator(pattern[pattern.size() - 2]));
    std::wstring named = listFolder ? pattern.substr(0, pattern.size() - 1) : pattern;
    if (listFolder && named.empty()) named = L".";
    std::string posix;
    if (std::uint32_t error = ToPosixPath(named, posix)) return error;

    auto* listing = new (std::nothrow) Listing;
    if (!listing) return ErrorCode::kNotEnoughMemory;
    if (!listFolder) {
        struct stat info;
        if (lstat(posix.c_str(), &info) != 0) {
            delete listing;
            return ErrorFromErrno(errno, posix);
        }
        const std::string name = LastComponent(posix);
        entry.name = Widen(name.c_str());
        entry.attributes = AttributesOf(info, name, posix);
        entry.reparseTag = S_ISLNK(info.st_mode) ? ReparseTag::kSymlink : 0;
        entry.size = S_ISREG(info.st_mode) ? static_cast<std::uint64_t>(info.st_size) : 0;
        SetEntryTimes(info, entry);
        find.reset(*this, ToHandle(listing));
        return ErrorCode::kSuccess;
    }
    listing->dir = opendir(posix.c_str());
    if (!listing->dir) {
        const int failure = errno;
        delete listing;
        if (failure == ENOTDIR) {
            struct stat info;
            return stat(posix.c_str(), &info) == 0 ? ErrorCode::kDirectory : ErrorCode::kPathNotFound;
        }
        return failure == ENOENT ? ErrorCode::kPathNotFound : ErrorFromErrno(failure, posix);
    }
    listing->folder = posix;
    if (listing->folder.back() != '/') listing->folder.push_back('/');
    FindHandle opened(*this, ToHandle(listing));
    const std::uint32_t error = FindNext(opened.get(), entry);
    if (error == ErrorCode::kNoMoreFiles) return ErrorCode::kFileNotFound;
    if (error != ErrorCode::kSuccess) return error;
    find = std::move(opened);
    return ErrorCode::kSuccess;
}

std::uint32_t PosixPlatform::FindNext(NativeHandle find, FindEntry& entry) {
    auto* listing = FromHandle<Listing>(find);
    if (!listing) return ErrorCode::kInvalidHandle;
    if (!listing->dir) return ErrorCode::kNoMoreFiles;
    for (;;) {
        errno = 0;
        const dirent* found = readdir(listing->dir);
        if (!found) return errno == 0 ? ErrorCode::kNoMoreFiles : ErrorFromErrno(errno);
        struct stat info;
        if (fstatat(dirfd(listing->dir), found->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
            if (IsDotName(found->d_name)) {
                info = {};
                info.st_mode = S_IFDIR | 0755;
            } else {
                continue;  // gone since the folder was read
            }
        }
        entry.name = Widen(found->d_name);
        entry.attributes = AttributesOf(info, found->d_name, listing->folder + found->d_name);
        entry.reparseTag = S_ISLNK(info.st_mode) ? ReparseTag::kSymlink : 0;
        entry.size = S_ISREG(info.st_mode) ? static_cast<std::uint64_t>(info.st_size) : 0;
        SetEntryTimes(info, entry);
        return ErrorCode::kSuccess;
    }
}

void PosixPlatform::CloseFind(NativeHandle find) noexcept {
    auto* listing = FromHandle<Listing>(find);
    if (!listing) return;
    if (listing->dir) closedir(listing->dir);
    delete listing;
}

std::uint32_t PosixPlatform::VolumeLabel(const std::wstring& root, std::wstring& label) {
    std::string posix;
    if (std::uint32_t error = ToPosixPath(root, posix)) return error;
    struct stat info;
    if (stat(posix.c_str(), &info) != 0) return ErrorFromErrno(errno, posix);
    if (!S_ISDIR(info.st_mode)) return ErrorCode::kDirectory;
    label.clear();
    return ErrorCode::kSuccess;
}

std::uint32_t PosixPlatform::FreeBytes(const std::wstring& path, std::uint64_t& freeBytes) {
    std::string posix;
    if (std::uint32_t error = ToPosixPath(path, posix)) return error;
    struct statvfs info;
    if (statvfs(posix.c_str(), &info) != 0) return ErrorFromErrno(errno, posix);
    freeBytes = static_cast<std::uint64_t>(info.f_bavail) * info.f_frsize;
    return ErrorCode::kSuccess;
}

std::uint32_t PosixPlatform::IdentifyFile(const std::wstring& path, FileIdentity& identity) {
    std::string posix;
    if (std::uint32_t error = ToPosixPath(path, posix)) return error;
    struct stat info;
    if (stat(posix.c_str(), &info) != 0) return ErrorFromErrno(errno, posix);
    identity.volume = static_cast<std::uint64_t>(info.st_dev);
    identity.index = static_cast<std::uint64_t>(info.st_ino);
    return ErrorCode::kSuccess;
}

std::uint32_t PosixPlatform::FullPath(const std::wstring& path, std::wstring& fullPath) {
    if (path.empty()) return ErrorCode::kInvalidName;
    std::string current(4096, '\0');
    if (!getcwd(&current[0], current.size())) return ErrorFromErrno(errno);
    current.resize(current.find('\0'));
    fullPath = ResolveFullPath(path, L"Z:" + Widen(current.c_str()));
    return ErrorCode::kSuccess;
}

namespace {

// One line of /proc/self/mountinfo: which folder of which file system is
// seen where.
struct Mount {
    std::string device;  // "major:minor"
    std::string root;    // the folder of the file system the mount shows
    std::string point;   // where it is seen
};

// Octal escapes ("\040" for a blank) as mountinfo writes them.
std::string Unescape(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size()) {
            out.push_back(static_cast<char>(std::strtol(text.substr(i + 1, 3).c_str(), nullptr, 8)));
            i += 3;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

std::vector<Mount> Mounts() {
    std::vector<Mount> mounts;
    std::ifstream file("/proc/self/mountinfo");
    std::string line;
    while (std::getline(file, line)) {
        std::istringstream fields(line);
        std::string id, parent;
        Mount mount;
        if (fields >> id >> parent >> mount.device >> mount.root >> mount.point) {
            mount.root = Unescape(mount.root);
            mount.point = Unescape(mount.point);
            mounts.push_back(mount);
        }
    }
    return mounts;
}

// prefix is path itself or one of its folders.
bool StartsWithFolder(const std::string& path, const std::string& prefix) {
    if (prefix == "/") return true;
    return path.compare(0, prefix.size(), prefix) == 0 && (path.size() == prefix.size() || path[prefix.size()] == '/');
}

std::string Below(const std::string& path, const std::string& prefix) {
    return prefix == "/" ? path : path.substr(prefix.size());
}

// A path under a bind mount of a folder, as that folder is seen through a
// mount of its file system's root (or of a folder above it).
std::string WithoutBindMounts(const std::string& path) {
    const std::vector<Mount> mounts = Mounts();
    const Mount* best = nullptr;
    for (const Mount& mount : mounts) {
        if (StartsWithFolder(path, mount.point) && (!best || mount.point.size() >= best->point.size())) best = &mount;
    }
    if (!best || best->root == "/") return path;
    const std::string inFileSystem = best->root + (best->point == "/" ? path : Below(path, best->point));
    const Mount* outer = nullptr;
    for (const Mount& mount : mounts) {
        if (&mount == best || mount.device != best->device || !StartsWithFolder(inFileSystem, mount.root)) continue;
        if (!outer || mount.root.size() < outer->root.size()) outer = &mount;
    }
    if (!outer) return path;
    std::string seen = outer->point == "/" ? std::string() : outer->point;
    seen += Below(inFileSystem, outer->root);
    return seen.empty() ? "/" : seen;
}

}  // namespace

std::uint32_t PosixPlatform::RealPath(const std::wstring& path, std::wstring& realPath) {
    std::string posix;
    if (std::uint32_t error = ToPosixPath(path, posix)) return error;
    char* resolved = realpath(posix.c_str(), nullptr);
    if (!resolved) return ErrorFromErrno(errno, posix);
    const std::string real = WithoutBindMounts(resolved);
    free(resolved);
    std::wstring windows = L"Z:";
    for (wchar_t c : Widen(real.c_str())) windows.push_back(c == L'/' ? L'\\' : c);
    if (windows.size() == 2) windows.push_back(L'\\');
    realPath = windows;
    return ErrorCode::kSuccess;
}

bool PosixPlatform::PathExists(const std::wstring& path) {
    std::string posix;
    struct stat info;
    return ToPosixPath(path, posix) == ErrorCode::kSuccess && lstat(posix.c_str(), &info) == 0;
}

bool PosixPlatform::IsFolder(const std::wstring& path) {
    std::uint32_t attributes = FileAttribute::kInvalid;
    return GetAttributes(path, attributes) == ErrorCode::kSuccess && (attributes & FileAttribute::kDirectory);
}

bool PosixPlatform::IsEmptyFolder(const std::wstring& path) {
    std::string posix;
    if (ToPosixPath(path, posix) != ErrorCode::kSuccess) return false;
    DIR* dir = opendir(posix.c_str());
    if (!dir) return false;
    bool empty = true;
    while (const dirent* found = readdir(dir)) {
        if (!IsDotName(found->d_name)) {
            empty = false;
            break;
        }
    }
    closedir(dir);
    return empty;
}

std::uint32_t PosixPlatform::StartThread(ThreadBody body, void* argument, ThreadHandle& thread) {
    auto* started = new (std::nothrow) Thread;
    if (!started) return ErrorCode::kNotEnoughMemory;
    started->body = body;
    started->argument = argument;
    const int error = pthread_create(&started->id, nullptr, &ThreadTrampoline, started);
    if (error != 0) {
        delete started;
        return ErrorFromErrno(error);
    }
    thread.reset(*this, ToHandle(started));
    return ErrorCode::kSuccess;
}

void PosixPlatform::JoinThread(NativeHandle thread) noexcept {
    auto* started = FromHandle<Thread>(thread);
    if (!started) return;
    pthread_join(started->id, nullptr);
    delete started;
}

void PosixPlatform::SleepMilliseconds(std::uint32_t milliseconds) {
    timespec remaining{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L};
    while (nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
    }
}

// Nothing here puts the machine to sleep behind a running program.
void PosixPlatform::KeepAwake(bool) {}

std::uint32_t PosixPlatform::TickCount() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const std::uint64_t milliseconds =
        static_cast<std::uint64_t>(now.tv_sec) * 1000u + static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<std::uint32_t>(milliseconds);
}

// A Windows mutex is recursive, owned by a thread, and reports an owner that
// ended while holding it: a robust recursive mutex is the same thing.
std::uint32_t PosixPlatform::NewMutex(NativeHandle& mutex) {
    auto* created = new (std::nothrow) OwnedMutex;
    if (!created) return ErrorCode::kNotEnoughMemory;
    pthread_mutexattr_t attributes;
    pthread_mutexattr_init(&attributes);
    pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE);
    pthread_mutexattr_setrobust(&attributes, PTHREAD_MUTEX_ROBUST);
    const int error = pthread_mutex_init(&created->mutex, &attributes);
    pthread_mutexattr_destroy(&attributes);
    if (error != 0) {
        delete created;
        return ErrorFromErrno(error);
    }
    mutex = ToHandle(created);
    return ErrorCode::kSuccess;
}

MutexWait PosixPlatform::WaitMutex(NativeHandle mutex, std::uint32_t& error) {
    auto* lock = FromHandle<OwnedMutex>(mutex);
    if (mutex == kNoHandle || !lock) {
        error = ErrorCode::kInvalidHandle;
        return MutexWait::Failed;
    }
    const int result = pthread_mutex_lock(&lock->mutex);
    const pthread_t self = pthread_self();
    if (result == 0) {
        if (lock->depth > 0 && pthread_equal(lock->owner.load(), self)) {
            ++lock->depth;
        } else {
            lock->owner = self;
            lock->depth = 1;
        }
        return MutexWait::Acquired;
    }
    if (result == EOWNERDEAD) {
        // The caller owns it now; like a Windows mutex it stays usable.
        pthread_mutex_consistent(&lock->mutex);
        lock->owner = self;
        lock->depth = 1;
        error = ErrorCode::kAbandonedWait0;
        return MutexWait::Abandoned;
    }
    error = result == ENOTRECOVERABLE ? ErrorCode::kInvalidHandle : ErrorFromErrno(result);
    return MutexWait::Failed;
}

std::uint32_t PosixPlatform::ReleaseMutex(NativeHandle mutex) {
    auto* lock = FromHandle<OwnedMutex>(mutex);
    if (mutex == kNoHandle || !lock) return ErrorCode::kInvalidHandle;
    if (!pthread_equal(lock->owner.load(), pthread_self()) || lock->depth == 0) return ErrorCode::kNotOwner;
    if (--lock->depth == 0) lock->owner = 0;
    return ErrorFromErrno(pthread_mutex_unlock(&lock->mutex));
}

std::uint32_t PosixPlatform::CloseMutex(NativeHandle mutex) {
    auto* lock = FromHandle<OwnedMutex>(mutex);
    if (mutex == kNoHandle || !lock) return ErrorCode::kInvalidHandle;
    // A Windows handle may be closed while the mutex is held; a held POSIX
    // mutex must not be destroyed (its owner's robust list still points at
    // it), so its memory is then left to the process.
    if (lock->owner.load() != 0) return ErrorCode::kSuccess;
    if (pthread_mutex_destroy(&lock->mutex) == 0) delete lock;
    return ErrorCode::kSuccess;
}

std::uint32_t PosixPlatform::NewSignal(NativeHandle& signal) {
    auto* created = new (std::nothrow) Signal;
    if (!created) return ErrorCode::kNotEnoughMemory;
    pthread_condattr_t attributes;
    int error = pthread_condattr_init(&attributes);
    if (error == 0) {
        error = pthread_condattr_setclock(&attributes, CLOCK_MONOTONIC);
        if (error == 0) error = pthread_cond_init(&created->raised, &attributes);
        pthread_condattr_destroy(&attributes);
    }
    if (error != 0) {
        delete created;
        return ErrorFromErrno(error);
    }
    signal = ToHandle(created);
    return ErrorCode::kSuccess;
}

std::uint32_t PosixPlatform::RaiseSignal(NativeHandle signal) {
    auto* event = FromHandle<Signal>(signal);
    if (signal == kNoHandle || !event) return ErrorCode::kInvalidHandle;
    pthread_mutex_lock(&event->mutex);
    event->set = true;
    pthread_cond_signal(&event->raised);
    pthread_mutex_unlock(&event->mutex);
    return ErrorCode::kSuccess;
}

std::uint32_t PosixPlatform::WaitSignal(NativeHandle signal, std::uint32_t milliseconds) {
    auto* event = FromHandle<Signal>(signal);
    if (signal == kNoHandle || !event) return ErrorCode::kInvalidHandle;
    struct timespec deadline;
    clock_gettime(CLOCK_MONOTONIC, &deadline);
    deadline.tv_sec += static_cast<time_t>(milliseconds / 1000);
    deadline.tv_nsec += static_cast<long>(milliseconds % 1000) * 1000000L;
    if (deadline.tv_nsec >= 1000000000L) {
        deadline.tv_sec += 1;
        deadline.tv_nsec -= 1000000000L;
    }
    pthread_mutex_lock(&event->mutex);
    int waited = 0;
    while (!event->set && waited != ETIMEDOUT) waited = pthread_cond_timedwait(&event->raised, &event->mutex, &deadline);
    const bool raised = event->set;
    event->set = false;
    pthread_mutex_unlock(&event->mutex);
    return raised ? ErrorCode::kSuccess : ErrorCode::kWaitTimeout;
}

std::uint32_t PosixPlatform::CloseSignal(NativeHandle signal) {
    auto* event = FromHandle<Signal>(signal);
    if (signal == kNoHandle || !event) return ErrorCode::kInvalidHandle;
    pthread_cond_destroy(&event->raised);
    pthread_mutex_destroy(&event->mutex);
    delete event;
    return ErrorCode::kSuccess;
}

void PosixPlatform::YieldThread() { sched_yield(); }
