#pragma once
// One failure of one item of a job, as the engine threads report it.

#include <cstdint>
#include <string>

#include "engine/ResultCode.h"

struct ItemResult {
    ResultCode code = ResultCode::Unspecified;
    // The item's full path: the source, except for AccessDeniedTarget (the destination).
    std::wstring path;
    // The item's name relative to the job (".\sub\a.txt"); rows are keyed by it.
    std::wstring relativeName;
    // The platform error code taken at the failure.
    std::uint32_t error = 0;
    // The item is a folder (a listing, a folder's creation or attributes):
    // the thread that found the failure knows, so the window never asks the
    // file system.
    bool isFolder = false;
};

inline bool operator==(const ItemResult& a, const ItemResult& b) {
    return a.code == b.code && a.path == b.path && a.relativeName == b.relativeName && a.error == b.error &&
           a.isFolder == b.isFolder;
}
inline bool operator!=(const ItemResult& a, const ItemResult& b) { return !(a == b); }
