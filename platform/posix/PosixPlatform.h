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

#include <string>

#include "platform/Platform.h"
#include "platform/posix/PosixDrives.h"
#include "platform/posix/PosixErrors.h"
#include "platform/posix/PosixFiles.h"
#include "platform/posix/PosixFolders.h"
#include "platform/posix/PosixListing.h"
#include "platform/posix/PosixSync.h"
#include "platform/posix/PosixThreads.h"

// The drive map and the topic objects that share it, in a base of their own
// so that they exist before the Platform base is handed them.
struct PosixTopics {
    PosixDrives drives;
    PosixFiles files{drives};
    PosixListing listing{drives};
    PosixFolders folders{drives};
    PosixSync sync;
    PosixThreads threads;
};

class PosixPlatform : private PosixTopics, public Platform {
public:
    PosixPlatform() : Platform(files, listing, folders, sync, threads) {}

    // Maps drive letter (A-Z, either case) onto a POSIX folder ("" for the root).
    void MapDrive(wchar_t letter, const std::string& folder) { drives.MapDrive(letter, folder); }
    // The POSIX path of a Windows-style path, or the error a call on it gives.
    std::uint32_t ToPosixPath(const std::wstring& path, std::string& posixPath) const {
        return drives.ToPosixPath(path, posixPath);
    }
    // The drive map this platform's topics share.
    const PosixDrives& Drives() const { return drives; }
};
