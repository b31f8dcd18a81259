#pragma once
// The platform over Win32: each operation is the one kernel32 or shlwapi call
// the engine is described with, and its result is GetLastError().

#include "platform/Platform.h"
#include "platform/win32/Win32Files.h"
#include "platform/win32/Win32Folders.h"
#include "platform/win32/Win32Listing.h"
#include "platform/win32/Win32Sync.h"
#include "platform/win32/Win32Threads.h"

// The topic objects, in a base of their own so that they exist before the
// Platform base is handed them.
struct Win32Topics {
    Win32Files files;
    Win32Listing listing;
    Win32Folders folders;
    Win32Sync sync;
    Win32Threads threads;
};

class Win32Platform : private Win32Topics, public Platform {
public:
    Win32Platform() : Platform(files, listing, folders, sync, threads) {}
};
