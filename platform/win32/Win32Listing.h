#pragma once
// Folder listings over Win32 (FindFirstFileW and its kin).

#include "platform/ListingCalls.h"

class Win32Listing : public ListingCalls {
public:
    std::uint32_t FindFirst(const std::wstring& pattern, FindHandle& find, FindEntry& entry) override;
    std::uint32_t FindNext(NativeHandle find, FindEntry& entry) override;
    void CloseFind(NativeHandle find) noexcept override;
};
