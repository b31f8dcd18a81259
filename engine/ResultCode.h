#pragma once
// What went wrong with one item of a job. The values are fixed: the result
// list maps each one to its message and image.

#include <cstdint>

enum class ResultCode : std::int32_t {
    // A job that ended on an unexpected failure of the copy thread itself,
    // and a folder the copy did not enter because it is the copy's own
    // output (the destination reached through the sources); shown as unspecified.
    Unspecified = 0,
    AccessDeniedListing = 1,   // a folder could not be listed
    AccessDeniedSource = 2,    // the source file could not be opened
    AccessDeniedTarget = 3,    // the destination file could not be created
    FileLocked = 4,            // the source file is open elsewhere without read sharing
    ListingFailed = 5,         // discovery could not list a folder, other reasons
    PartialCopy = 6,           // the destination holds fewer (or other) bytes than the source
    DeleteFailed = 7,          // a temporary of the job that could not be removed (the item names it)
    PathTooLong = 8,           // not recorded by the engine
    AttributesNotRead = 9,     // the source's attributes could not be read
    AttributesNotWritten = 10, // the attributes could not be set on the destination
    SameNameCopied = 11,       // the destination cannot tell the name from one this job already copied
    LinkNotCopied = 12,        // a symbolic link or junction, passed over
};
