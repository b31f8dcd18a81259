#pragma once
// The platform's folder listings.

#include <cstdint>
#include <string>

#include "platform/PlatformTypes.h"

class ListingCalls {
public:
    virtual ~ListingCalls() = default;

    // pattern is a folder followed by "\*" (list the folder) or the path of one
    // file or folder (read its own entry). On success find holds the listing
    // and entry its first entry.
    virtual std::uint32_t FindFirst(const std::wstring& pattern, FindHandle& find, FindEntry& entry) = 0;
    // The next entry; kNoMoreFiles after the last one.
    virtual std::uint32_t FindNext(NativeHandle find, FindEntry& entry) = 0;
    virtual void CloseFind(NativeHandle find) noexcept = 0;
};

// The base of a decorator: passes every call on to inner; listings inner
// opens close through this object.
class PassingListingCalls : public ListingCalls {
public:
    explicit PassingListingCalls(ListingCalls& inner) : inner(inner) {}

    std::uint32_t FindFirst(const std::wstring& pattern, FindHandle& find, FindEntry& entry) override {
        return AdoptHandle(inner.FindFirst(pattern, find, entry), find, *this);
    }
    std::uint32_t FindNext(NativeHandle find, FindEntry& entry) override { return inner.FindNext(find, entry); }
    void CloseFind(NativeHandle find) noexcept override { inner.CloseFind(find); }

protected:
    ListingCalls& inner;
};
