#pragma once
// A platform that passes every call on, except that sleeps return at once:
// the engine without its fixed thread start and end waits. It can also count
// the calls that reach the inner platform, by kind, and the time spent in
// them, to show what one copied file costs in platform calls (CallMeter).

#include "bench/copy/CallMeter.h"
#include "bench/copy/NoWaitCalls.h"
#include "platform/Platform.h"

// The decorators over inner's topics, in a base of their own so that they
// exist before the Platform base is handed them.
struct NoWaitTopics {
    NoWaitTopics(Platform& inner, CallMeter& meter)
        : files(inner.Files(), meter),
          listing(inner.Listing(), meter),
          folders(inner.Folders(), meter),
          sync(inner.Sync(), meter),
          threads(inner.Threads()) {}

    NoWait::Files files;
    NoWait::Listing listing;
    NoWait::Folders folders;
    NoWait::Sync sync;
    NoWait::Threads threads;
};

class NoWaitPlatform : public CallMeter, private NoWaitTopics, public Platform {
public:
    // With counting, every call is counted and timed (a little overhead of
    // its own, so the timed runs are kept apart from the others).
    explicit NoWaitPlatform(Platform& inner, bool counting = false)
        : CallMeter(counting), NoWaitTopics(inner, *this), Platform(files, listing, folders, sync, threads) {}

    // Files are closed and named on the copy thread even where the platform
    // would overlap that with the next copy: what the second thread buys.
    void FinishOnTheCopyThread() { files.FinishOnTheCopyThread(); }
};
