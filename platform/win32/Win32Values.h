#pragma once
// The conversions every Win32 topic makes: platform handles are HANDLE
// values, and a failure's code is GetLastError().

#include <windows.h>

#include <cstdint>

#include "platform/PlatformTypes.h"

namespace Win32 {

inline HANDLE AsHandle(NativeHandle value) { return reinterpret_cast<HANDLE>(value); }
inline NativeHandle FromHandle(HANDLE handle) { return reinterpret_cast<NativeHandle>(handle); }

inline std::uint32_t LastError() { return static_cast<std::uint32_t>(GetLastError()); }

}  // namespace Win32
