#pragma once
// The engine's only door to the operating system, in five topics: files,
// folder listings, what stands at a path (folders), synchronisation, and
// threads and time. Everything the copy engine, the progress logic and the
// destination checks need from the platform is a virtual operation of one
// topic, so the engine runs unchanged over the Win32 implementation, the
// POSIX one (Windows-style paths mapped onto the POSIX tree), or a test
// decorator that injects failures into either.
//
// Platform itself only bundles one object of each topic; a caller names the
// topic it calls (platform.Files().ReadFile(...)). A decorator changes one
// topic and can be bundled with another platform's other four.

#include "platform/FileCalls.h"
#include "platform/FolderCalls.h"
#include "platform/ListingCalls.h"
#include "platform/PlatformTypes.h"
#include "platform/SyncCalls.h"
#include "platform/ThreadCalls.h"

class Platform {
public:
    Platform(FileCalls& files, ListingCalls& listing, FolderCalls& folders, SyncCalls& sync, ThreadCalls& threads)
        : fileCalls(files), listingCalls(listing), folderCalls(folders), syncCalls(sync), threadCalls(threads) {}
    Platform(const Platform&) = delete;
    Platform& operator=(const Platform&) = delete;

    FileCalls& Files() const { return fileCalls; }
    ListingCalls& Listing() const { return listingCalls; }
    FolderCalls& Folders() const { return folderCalls; }
    SyncCalls& Sync() const { return syncCalls; }
    ThreadCalls& Threads() const { return threadCalls; }

private:
    FileCalls& fileCalls;
    ListingCalls& listingCalls;
    FolderCalls& folderCalls;
    SyncCalls& syncCalls;
    ThreadCalls& threadCalls;
};

// The real platform of this build: Win32 on Windows, POSIX elsewhere.
Platform& SystemPlatform();
