#pragma once
// Where the statistics read the time: the system's millisecond tick count,
// which wraps after about 49.7 days. Tests supply a clock of their own.

#include <cstdint>

class TickSource {
public:
    virtual ~TickSource() = default;
    virtual uint32_t NowMs() = 0;
};
