#pragma once
// Move-only owners for the handles the extension acquires: each closes its
// handle exactly once, in the scope or object that acquired it.

#include <windows.h>

namespace Marrowgate {

template <typename Traits>
class UniqueHandle {
public:
    using Type = typename Traits::Type;

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Type value) noexcept : value_(value) {}
    ~UniqueHandle() { reset(); }

    UniqueHandle(UniqueHandle&& other) noexcept : value_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Type get() const noexcept { return value_; }
    explicit operator bool() const noexcept { return value_ != Traits::Empty(); }

    // Closes what is held and hands out the slot for a call that fills it.
    Type* put() noexcept {
        reset();
        return &value_;
    }
    Type release() noexcept {
        Type value = value_;
        value_ = Traits::Empty();
        return value;
    }
    void reset(Type value = Traits::Empty()) noexcept {
        if (value_ != Traits::Empty() && value_ != value) Traits::Close(value_);
        value_ = value;
    }

private:
    Type value_ = Traits::Empty();
};

struct RegistryKeyTraits {
    using Type = HKEY;
    static Type Empty() noexcept { return nullptr; }
    static void Close(Type key) noexcept { ::RegCloseKey(key); }
};

struct BitmapTraits {
    using Type = HBITMAP;
    static Type Empty() noexcept { return nullptr; }
    static void Close(Type bitmap) noexcept { ::DeleteObject(bitmap); }
};

struct MenuTraits {
    using Type = HMENU;
    static Type Empty() noexcept { return nullptr; }
    static void Close(Type menu) noexcept { ::DestroyMenu(menu); }
};

struct KernelHandleTraits {
    using Type = HANDLE;
    static Type Empty() noexcept { return nullptr; }
    static void Close(Type handle) noexcept { ::CloseHandle(handle); }
};

using UniqueKey = UniqueHandle<RegistryKeyTraits>;
using UniqueBitmap = UniqueHandle<BitmapTraits>;
using UniqueMenu = UniqueHandle<MenuTraits>;
using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;

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
        : memory_(memory), data_(memory != nullptr ? ::GlobalLock(memory) : nullptr) {}
    ~GlobalLockScope() {
        if (data_ != nullptr) ::GlobalUnlock(memory_);
    }
    GlobalLockScope(const GlobalLockScope&) = delete;
    GlobalLockScope& operator=(const GlobalLockScope&) = delete;

    const void* data() const noexcept { return data_; }

private:
    HGLOBAL memory_;
    void* data_;
};

}  // namespace Marrowgate
