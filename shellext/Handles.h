#pragma once
// Move-only owners for the handles the extension acquires: each closes its
// handle exactly once, in the scope or object that acquired it. The handle
// owner is Common::UniqueHandle; a storage medium, a structure that GetData
// fills rather than one handle, has a small owner of its own here.

#include <windows.h>

#include "common/UniqueHandle.h"
#include "common/WindowsHandles.h"

namespace Marrowgate {

template <typename Traits>
using UniqueHandle = Common::UniqueHandle<Traits>;

using Common::BitmapTraits;
using Common::KernelHandleTraits;
using Common::MenuTraits;
using Common::RegistryKeyTraits;

using Common::UniqueBitmap;
using Common::UniqueKernelHandle;
using Common::UniqueKey;
using Common::UniqueMenu;

// Holds a storage medium that GetData filled and releases it once.
class StorageMedium {
public:
    StorageMedium() noexcept = default;
    ~StorageMedium() { reset(); }
    StorageMedium(const StorageMedium&) = delete;
    StorageMedium& operator=(const StorageMedium&) = delete;

    // The slot for IDataObject::GetData; whatever was held is released first.
    STGMEDIUM* put() noexcept {
        reset();
        held_ = true;
        return &medium_;
    }
    // Call when the GetData that filled put() failed: the slot holds nothing.
    void abandon() noexcept {
        medium_ = STGMEDIUM{};
        held_ = false;
    }
    const STGMEDIUM& get() const noexcept { return medium_; }
    void reset() noexcept {
        if (held_) ::ReleaseStgMedium(&medium_);
        medium_ = STGMEDIUM{};
        held_ = false;
    }

private:
    STGMEDIUM medium_{};
    bool held_ = false;
};

// Keeps a global memory block locked for one scope.
class GlobalLockScope {
public:
    explicit GlobalLockScope(HGLOBAL memory) noexcept
        : data_(memory != nullptr ? ::GlobalLock(memory) : nullptr), lock_(data_ != nullptr ? memory : nullptr) {}
    GlobalLockScope(const GlobalLockScope&) = delete;
    GlobalLockScope& operator=(const GlobalLockScope&) = delete;

    const void* data() const noexcept { return data_; }

private:
    // Closing the lock unlocks the block.
    using LockTraits = Common::NullEmptyTraits<HGLOBAL, ::GlobalUnlock>;

    void* data_;
    UniqueHandle<LockTraits> lock_;
};

}  // namespace Marrowgate
