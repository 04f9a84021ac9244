#include "speed_limit.h"

LowSpeedWatch::LowSpeedWatch(SpeedLimit limit, Clock::time_point start) : m_limit(limit) {
    m_samples.push_back({start, 0});
}

bool LowSpeedWatch::tooSlow(uint64_t received, Clock::time_point now) {
    // Each sample is the latest read of its sixtieth of the window; a read
    // within the same sixtieth moves the sample on, so that no byte counts
    // as received before it was.
    if (m_samples.size() < 2 || now - m_bucketStart >= m_limit.window / 60) {
        m_samples.push_back({now, received});
        m_bucketStart = now;
    } else {
        m_samples.back() = {now, received};
    }
    // Keep the newest sample that lies a whole window back, and none older.
    const Clock::time_point windowStart = now - m_limit.window;
    while (m_samples.size() > 1 && m_samples[1].time <= windowStart) m_samples.pop_front();
    if (m_samples.front().time > windowStart) return false;
    const auto windowSeconds = std::chrono::duration<double>(m_limit.window).count();
    return static_cast<double>(received - m_samples.front().received) <
           static_cast<double>(m_limit.bytesPerSecond) * windowSeconds;
}
