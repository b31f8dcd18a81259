#pragma once
// A Platform decorator for tests and benchmarks: passes every call to an inner
// platform, except the ones a test told it to fail. It can fail any call for
// a path with a chosen error, refuse the Nth write of a file (after accepting
// part of the block), make a file end early while it is read, report another
// size, reparse tag or extra attributes for an entry, run a hook before each
// read or rename and after each mutex release, make mutex waits report
// abandoned or failed, fail signal calls, and return at once from sleeps.
//
// Paths are matched by suffix (L"\\b.txt" matches every path ending so; an
// empty suffix matches every call). Handle calls (read, write, size, next
// entry) match the path their handle was opened with (for a listing, its
// folder). Configure before the engine threads start; the counters and
// records may be read at any time.
//
// It bundles one decorator per topic (FaultCalls.h), all sharing one state.
// A test that changes a topic further wraps that topic of this platform and
// bundles its wrapper with this platform's other topics.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/testing/FaultCalls.h"
#include "platform/testing/FaultState.h"

// The shared state and the five decorators over inner's topics, in a base
// of their own so that they exist before the Platform base is handed them.
struct FaultTopics {
    explicit FaultTopics(Platform& inner)
        : files(inner.Files(), state),
          listing(inner.Listing(), state),
          folders(inner.Folders(), state),
          sync(inner.Sync(), state),
          threads(inner.Threads(), state) {}

    Fault::State state;
    Fault::Files files;
    Fault::Listing listing;
    Fault::Folders folders;
    Fault::Sync sync;
    Fault::Threads threads;
};

class FaultPlatform : private FaultTopics, public Platform {
public:
    explicit FaultPlatform(Platform& inner);

    // Fails the matching calls from the nth one on (1-based, counted per
    // rule), times of them (0: every one from then on), with error.
    void Fail(PlatformCall call, const std::wstring& pathSuffix, std::uint32_t error, int nth = 1, int times = 0);
    // The nth write to a matching file accepts bytesAccepted bytes of the
    // block, then fails with error.
    void FailWrite(const std::wstring& pathSuffix, int nth, std::uint32_t error, std::uint32_t bytesAccepted = 0);
    // Reads of a matching file end after limit bytes in all, as if the file
    // had shrunk while it was copied.
    void LimitReads(const std::wstring& pathSuffix, std::uint64_t limit);
    // Path tests answer "does not exist" for matching paths (a target that
    // appears between the test and the create).
    void HidePath(const std::wstring& pathSuffix);
    // Listings report this size for matching entries.
    void ReportSize(const std::wstring& pathSuffix, std::uint64_t size);
    // Listings report matching entries as reparse points with this tag.
    void ReportReparseTag(const std::wstring& pathSuffix, std::uint32_t tag);
    // Attribute reads and listings report these attribute bits as well for
    // matching paths (bits the inner platform cannot store, say).
    void ReportAttributes(const std::wstring& pathSuffix, std::uint32_t bits);
    // Called before every read with the file's path and the 1-based number of
    // the read on its handle, on the reading thread.
    void OnRead(std::function<void(const std::wstring& path, int readNumber)> hook);
    // Called on the renaming thread before every RenameNoReplace is passed on.
    void OnRename(std::function<void(const std::wstring& to)> hook);
    // Called on the waiting thread before every mutex wait is passed on.
    void OnMutexWait(std::function<void()> hook);
    // Called on the releasing thread after every mutex release that succeeded.
    void OnMutexReleased(std::function<void()> hook);
    // The nth wait on any mutex (1-based) reports result (Abandoned: the
    // caller owns the mutex; Failed: it does not).
    void FailMutexWait(int nth, MutexWait result, std::uint32_t error);
    // Sleeps return at once; they are still recorded.
    void SetInstantSleeps(bool instant);
    // Whether copies finish files on a second thread (OverlapsFinishing);
    // by default as the inner platform says.
    void SetOverlapsFinishing(bool overlaps);

    int Calls(PlatformCall call) const;
    std::vector<bool> KeepAwakeCalls() const;
    std::vector<std::uint32_t> Sleeps() const;
};
