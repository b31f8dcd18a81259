#include "platform/posix/PosixErrors.h"

#include <sys/stat.h>

#include <cerrno>

#include "platform/ErrorCodes.h"
#include "platform/posix/PosixCommon.h"

using Posix::ParentOf;

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
