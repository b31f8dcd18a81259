# 32-bit Windows test programs with MinGW-w64, run under Wine's 32-bit loader
# in a win32 prefix. The posix thread model, because GoogleTest and the tests
# use std::thread and std::mutex; the product libraries are the same sources
# with the same definitions (_WIN32_WINNT 0x0501) as the 32-bit deliverable,
# whose own build (toolchain-mingw-i686.cmake, win32 thread model) is unchanged.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TORVANE_MINGW_PREFIX i686-w64-mingw32)
set(CMAKE_C_COMPILER ${TORVANE_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TORVANE_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TORVANE_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TORVANE_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Tests run through our wrapper around the 32-bit loader (written into the
# build tree at configure time); it makes the prefix a win32 one.
set(TORVANE_RUN_UNDER_WINE ON)
set(TORVANE_WINE_LOADER /usr/lib/wine/wine)
set(TORVANE_WINEARCH win32)
set(TORVANE_WINE_UNMANAGED ON)
