#include "platform/posix/PosixFolders.h"

#include <dirent.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include "platform/posix/PosixCommon.h"
#include "platform/posix/PosixErrors.h"

using Posix::AttributesOf;
using Posix::HasWriteBits;
using Posix::IsDotName;
using Posix::IsSeparator;
using Posix::LastComponent;
using Posix::Widen;

std::uint32_t PosixFolders::GetAttributes(const std::wstring& path, std::uint32_t& attributes) {
    attributes = FileAttribute::kInvalid;
    std::string posix;
    if (std::uint32_t error = drives.ToPosixPath(path, posix)) return error;
    struct stat info;
    if (lstat(posix.c_str(), &info) != 0) return ErrorFromErrno(errno, posix);
    attributes = AttributesOf(info, LastComponent(posix), posix);
    return ErrorCode::kSuccess;
}

std::uint32_t PosixFolders::SetAttributes(const std::wstring& path, std::uint32_t attributes) {
    if (attributes == FileAttribute::kInvalid) return ErrorCode::kInvalidParameter;
    std::string posix;
    if (std::uint32_t error = drives.ToPosixPath(path, posix)) return error;
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

std::uint32_t PosixFolders::RemoveFile(const std::wstring& path) {
    std::string posix;
    if (std::uint32_t error = drives.ToPosixPath(path, posix)) return error;
    struct stat info;
    if (lstat(posix.c_str(), &info) != 0) return ErrorFromErrno(errno, posix);
    if (S_ISDIR(info.st_mode)) return ErrorCode::kAccessDenied;
    // As on Windows, a read-only file is not deleted.
    if (S_ISREG(info.st_mode) && !HasWriteBits(info.st_mode)) return ErrorCode::kAccessDenied;
    if (unlink(posix.c_str()) != 0) return ErrorFromErrno(errno, posix);
    return ErrorCode::kSuccess;
}

std::uint32_t PosixFolders::CreateFolder(const std::wstring& path) {
    std::string posix;
    if (std::uint32_t error = drives.ToPosixPath(path, posix)) return error;
    if (mkdir(posix.c_str(), 0777) == 0) return ErrorCode::kSuccess;
    if (errno == EEXIST) return ErrorCode::kAlreadyExists;
    if (errno == ENOENT) return ErrorCode::kPathNotFound;
    return ErrorFromErrno(errno, posix);
}

std::uint32_t PosixFolders::CreateFolderTree(const std::wstring& path) {
    const bool absolute = (path.size() >= 2 && path[1] == L':') || (!path.empty() && IsSeparator(path[0]));
    if (!absolute) return ErrorCode::kBadPathname;
    std::string posix;
    if (std::uint32_t error = drives.ToPosixPath(path, posix)) return error;
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

std::uint32_t PosixFolders::VolumeLabel(const std::wstring& root, std::wstring& label) {
    std::string posix;
    if (std::uint32_t error = drives.ToPosixPath(root, posix)) return error;
    struct stat info;
    if (stat(posix.c_str(), &info) != 0) return ErrorFromErrno(errno, posix);
    if (!S_ISDIR(info.st_mode)) return ErrorCode::kDirectory;
    label.clear();
    return ErrorCode::kSuccess;
}

std::uint32_t PosixFolders::FreeBytes(const std::wstring& path, std::uint64_t& freeBytes) {
    std::string posix;
    if (std::uint32_t error = drives.ToPosixPath(path, posix)) return error;
    struct statvfs info;
    if (statvfs(posix.c_str(), &info) != 0) return ErrorFromErrno(errno, posix);
    freeBytes = static_cast<std::uint64_t>(info.f_bavail) * info.f_frsize;
    return ErrorCode::kSuccess;
}

std::uint32_t PosixFolders::IdentifyFile(const std::wstring& path, FileIdentity& identity) {
    std::string posix;
    if (std::uint32_t error = drives.ToPosixPath(path, posix)) return error;
    struct stat info;
    if (stat(posix.c_str(), &info) != 0) return ErrorFromErrno(errno, posix);
    identity.volume = static_cast<std::uint64_t>(info.st_dev);
    identity.index = static_cast<std::uint64_t>(info.st_ino);
    return ErrorCode::kSuccess;
}

std::uint32_t PosixFolders::FullPath(const std::wstring& path, std::wstring& fullPath) {
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

std::uint32_t PosixFolders::RealPath(const std::wstring& path, std::wstring& realPath) {
    std::string posix;
    if (std::uint32_t error = drives.ToPosixPath(path, posix)) return error;
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

bool PosixFolders::PathExists(const std::wstring& path) {
    std::string posix;
    struct stat info;
    return drives.ToPosixPath(path, posix) == ErrorCode::kSuccess && lstat(posix.c_str(), &info) == 0;
}

bool PosixFolders::IsFolder(const std::wstring& path) {
    std::uint32_t attributes = FileAttribute::kInvalid;
    return GetAttributes(path, attributes) == ErrorCode::kSuccess && (attributes & FileAttribute::kDirectory);
}

bool PosixFolders::IsEmptyFolder(const std::wstring& path) {
    std::string posix;
    if (drives.ToPosixPath(path, posix) != ErrorCode::kSuccess) return false;
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
