#include "platform/posix/PosixListing.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <new>

#include "platform/posix/PosixCommon.h"
#include "platform/posix/PosixErrors.h"

using Posix::AttributesOf;
using Posix::FromHandle;
using Posix::IsDotName;
using Posix::IsSeparator;
using Posix::LastComponent;
using Posix::SetEntryTimes;
using Posix::ToHandle;
using Posix::Widen;

namespace {

struct Listing {
    DIR* dir = nullptr;       // null for the listing of one named entry
    std::string folder;
};

}  // namespace

std::uint32_t PosixListing::FindFirst(const std::wstring& pattern, FindHandle& find, FindEntry& entry) {
    const bool listFolder = pattern.size() >= 1 && pattern.back() == L'*' &&
                            (pattern.size() == 1 || IsSeparator(pattern[pattern.size() - 2]));
    std::wstring named = listFolder ? pattern.substr(0, pattern.size() - 1) : pattern;
    if (listFolder && named.empty()) named = L".";
    std::string posix;
    if (std::uint32_t error = drives.ToPosixPath(named, posix)) return error;

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

std::uint32_t PosixListing::FindNext(NativeHandle find, FindEntry& entry) {
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

void PosixListing::CloseFind(NativeHandle find) noexcept {
    auto* listing = FromHandle<Listing>(find);
    if (!listing) return;
    if (listing->dir) closedir(listing->dir);
    delete listing;
}
