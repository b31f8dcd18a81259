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

using Common::UniqueBrush;
using Common::UniqueFont;
using Common::UniqueIcon;
using Common::UniqueKernelHandle;
using Common::UniqueMenu;
using UniqueImageList = UniqueAny<ImageListTraits>;
using UniqueWindow = UniqueAny<WindowTraits>;

}  // namespace Win
