// The low-speed limit of a download, as curl's --speed-limit and --speed-time
// have it: a download whose rate stays under bytesPerSecond for a whole
// window ends; at any rate above that, however slow, it goes on, so that slow
// branch links still update. A server that drips a byte now and then would
// otherwise hold a run (and the run lock) for ever.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>

struct SpeedLimit {
    uint64_t bytesPerSecond = 1024;
    std::chrono::milliseconds window{60000};
};

class LowSpeedWatch {
public:
    using Clock = std::chrono::steady_clock;

    LowSpeedWatch(SpeedLimit limit, Clock::time_point start);

    // After each read, with the bytes received so far: whether the download
    // received less than the limit allows over the whole last window.
    bool tooSlow(uint64_t received, Clock::time_point now);

private:
    struct Sample {
        Clock::time_point time;
        uint64_t received;
    };
    SpeedLimit m_limit;
    // The bytes received at moments of the download, oldest first: its start,
    // then at most one sample per sixtieth of the window; the first one lies a
    // whole window back once the download is that old.
    std::deque<Sample> m_samples;
    Clock::time_point m_bucketStart;
};
