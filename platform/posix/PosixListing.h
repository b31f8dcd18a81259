#pragma once
// Folder listings over POSIX (opendir and readdir). A symbolic link is a
// reparse point with the symbolic-link tag.

#include "platform/ListingCalls.h"
#include "platform/posix/PosixDrives.h"

class PosixListing : public ListingCalls {
public:
    explicit PosixListing(const PosixDrives& drives) : drives(drives) {}

    std::uint32_t FindFirst(const std::wstring& pattern, FindHandle& find, FindEntry& entry) override;
    std::uint32_t FindNext(NativeHandle find, FindEntry& entry) override;
    void CloseFind(NativeHandle find) noexcept override;

private:
    const PosixDrives& drives;
};
