#pragma once
// The kinds of Windows handle that both Torvane.exe and Marrowgate.dll own,
// as traits of UniqueHandle. Header-only: a kind costs an import of its close
// function only where an owner of it is used.

#include <windows.h>

#include "common/UniqueHandle.h"

namespace Common {

// A handle that CloseFunction closes; null owns nothing.
template <typename T, auto CloseFunction>
struct NullEmptyTraits {
    using Type = T;
    static constexpr Type Empty() noexcept { return nullptr; }
    static void Close(Type value) noexcept { CloseFunction(value); }
};

// A handle that CloseFunction closes; INVALID_HANDLE_VALUE owns nothing (what
// CreateFileW and FindFirstFileW return on failure). Null is no handle
// either, but is never handed out by those calls.
template <auto CloseFunction>
struct InvalidEmptyTraits {
    using Type = HANDLE;
    static Type Empty() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Type value) noexcept { CloseFunction(value); }
};

using MenuTraits = NullEmptyTraits<HMENU, ::DestroyMenu>;
// Icons from LoadImageW without LR_SHARED, or from CreateIcon*.
using IconTraits = NullEmptyTraits<HICON, ::DestroyIcon>;
using BitmapTraits = NullEmptyTraits<HBITMAP, ::DeleteObject>;
using FontTraits = NullEmptyTraits<HFONT, ::DeleteObject>;
using BrushTraits = NullEmptyTraits<HBRUSH, ::DeleteObject>;
using RegistryKeyTraits = NullEmptyTraits<HKEY, ::RegCloseKey>;
// Kernel objects whose empty value is null (processes, threads, tokens).
using KernelHandleTraits = NullEmptyTraits<HANDLE, ::CloseHandle>;
using FileObjectTraits = InvalidEmptyTraits<::CloseHandle>;
using FindFileTraits = InvalidEmptyTraits<::FindClose>;

using UniqueMenu = UniqueHandle<MenuTraits>;
using UniqueIcon = UniqueHandle<IconTraits>;
using UniqueBitmap = UniqueHandle<BitmapTraits>;
using UniqueFont = UniqueHandle<FontTraits>;
using UniqueBrush = UniqueHandle<BrushTraits>;
using UniqueKey = UniqueHandle<RegistryKeyTraits>;
using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;
using UniqueFile = UniqueHandle<FileObjectTraits>;
using UniqueFind = UniqueHandle<FindFileTraits>;

}  // namespace Common
