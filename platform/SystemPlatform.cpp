#include "platform/Platform.h"

#ifdef _WIN32
#include "platform/win32/Win32Platform.h"
using SystemPlatformType = Win32Platform;
#else
#include "platform/posix/PosixPlatform.h"
using SystemPlatformType = PosixPlatform;
#endif

Platform& SystemPlatform() {
    static SystemPlatformType platform;
    return platform;
}
