#pragma once
// Move-only owners for the window system's handles: each closes its handle
// exactly once, with the function that matches how it was obtained. The
// owner itself is Common::UniqueHandle; the kinds only this program owns
// (image lists, its own windows) are added here.

#include <windows.h>
#include <commctrl.h>

#include "common/UniqueHandle.h"
#include "common/WindowsHandles.h"

namespace Win {

template <class Traits>
using UniqueAny = Common::UniqueHandle<Traits>;

using Common::BrushTraits;
using Common::FontTraits;
using Common::IconTraits;
using Common::KernelHandleTraits;
using Common::MenuTraits;

using ImageListTraits = Common::NullEmptyTraits<HIMAGELIST, ::ImageList_Destroy>;

// Windows this program created itself and destroys with its owner object.
struct WindowTraits {
    using Type = HWND;
    static constexpr Type Empty() noexcept { return nullptr; }
    static void Close(Type window) noexcept {
        if (::IsWindow(window)) ::DestroyWindow(window);
    }
};

// A COM interface pointer: the owner holds one reference and releases it.
template <class Interface>
struct ComTraits {
    using Type = Interface*;
    static constexpr Type Empty() noexcept { return nullptr; }
    static void Close(Type object) noexcept { object->Release(); }
};

// Global memory from GlobalAlloc; release() it once the clipboard owns it.
using GlobalMemoryTraits = Common::NullEmptyTraits<HGLOBAL, ::GlobalFree>;

using Common::UniqueBrush;
using Common::UniqueFont;
using Common::UniqueIcon;
using Common::UniqueKernelHandle;
using Common::UniqueMenu;
using UniqueImageList = UniqueAny<ImageListTraits>;
using UniqueWindow = UniqueAny<WindowTraits>;
template <class Interface>
using UniqueCom = UniqueAny<ComTraits<Interface>>;
using UniqueGlobalMemory = UniqueAny<GlobalMemoryTraits>;

}  // namespace Win
