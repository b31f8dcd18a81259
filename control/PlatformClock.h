#pragma once
// The statistics clock of the program: the platform's millisecond tick count.

#include "control/TickSource.h"
#include "platform/Platform.h"

class PlatformClock : public TickSource {
public:
    explicit PlatformClock(Platform& platform) : platform(platform) {}
    uint32_t NowMs() override { return platform.Threads().TickCount(); }

private:
    Platform& platform;
};
