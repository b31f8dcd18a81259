# 32-bit Windows binaries with MinGW-w64: the deliverable that targets Windows XP.
# Its tests are built by toolchain-mingw-i686-tests.cmake (the win32-tests preset).
# The win32 thread model keeps winpthreads out: it imports GetTickCount64, which
# XP lacks. So product code never uses std::thread or std::mutex (the platform
# layer provides threads and locks), and this build compiles no tests.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TORVANE_MINGW_PREFIX i686-w64-mingw32)
set(CMAKE_C_COMPILER ${TORVANE_MINGW_PREFIX}-gcc-win32)
set(CMAKE_CXX_COMPILER ${TORVANE_MINGW_PREFIX}-g++-win32)
set(CMAKE_RC_COMPILER ${TORVANE_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TORVANE_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(TORVANE_RUN_UNDER_WINE OFF)
