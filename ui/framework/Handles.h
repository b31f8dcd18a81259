#pragma once
// Move-only owners for the window system's handles: each closes its handle
// exactly once, with the function that matches how it was obtained.

#include <windows.h>
#include <commctrl.h>

#include <utility>

namespace Win {

template <class Traits>
class UniqueAny {
public:
    using Type = typename Traits::Type;

    UniqueAny() = default;
    explicit UniqueAny(Type value) : value_(value) {}
    ~UniqueAny() { reset(); }

    UniqueAny(const UniqueAny&) = delete;
    UniqueAny& operator=(const UniqueAny&) = delete;
    UniqueAny(UniqueAny&& other) noexcept : value_(other.release()) {}
    UniqueAny& operator=(UniqueAny&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }

    Type get() const { return value_; }
    explicit operator bool() const { return value_ != Traits::Empty(); }

    // Closes the owned handle (if any) and takes ownership of value.
    void reset(Type value = Traits::Empty()) {
        Type old = std::exchange(value_, value);
        if (old != Traits::Empty()) Traits::Close(old);
    }

    // Gives up ownership without closing.
    Type release() { return std::exchange(value_, Traits::Empty()); }

private:
    Type value_ = Traits::Empty();
};

struct MenuTraits {
    using Type = HMENU;
    static Type Empty() { return nullptr; }
    static void Close(Type h) { ::DestroyMenu(h); }
};

// Icons from LoadImageW without LR_SHARED, or from CreateIcon*.
struct IconTraits {
    using Type = HICON;
    static Type Empty() { return nullptr; }
    static void Close(Type h) { ::DestroyIcon(h); }
};

struct ImageListTraits {
    using Type = HIMAGELIST;
    static Type Empty() { return nullptr; }
    static void Close(Type h) { ::ImageList_Destroy(h); }
};

struct FontTraits {
    using Type = HFONT;
    static Type Empty() { return nullptr; }
    static void Close(Type h) { ::DeleteObject(h); }
};

struct BrushTraits {
    using Type = HBRUSH;
    static Type Empty() { return nullptr; }
    static void Close(Type h) { ::DeleteObject(h); }
};

// Kernel handles whose empty value is null (processes, threads, tokens).
struct KernelHandleTraits {
    using Type = HANDLE;
    static Type Empty() { return nullptr; }
    static void Close(Type h) { ::CloseHandle(h); }
};

// Windows this program created itself and destroys with its owner object.
struct WindowTraits {
    using Type = HWND;
    static Type Empty() { return nullptr; }
    static void Close(Type h) {
        if (::IsWindow(h)) ::DestroyWindow(h);
    }
};

using UniqueMenu = UniqueAny<MenuTraits>;
using UniqueIcon = UniqueAny<IconTraits>;
using UniqueImageList = UniqueAny<ImageListTraits>;
using UniqueFont = UniqueAny<FontTraits>;
using UniqueBrush = UniqueAny<BrushTraits>;
using UniqueKernelHandle = UniqueAny<KernelHandleTraits>;
using UniqueWindow = UniqueAny<WindowTraits>;

}  // namespace Win
