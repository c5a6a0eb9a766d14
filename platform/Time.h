// The millisecond clock and sleeping.
#pragma once
#include <cstdint>

// Milliseconds from a fixed point that differs between runs (the system's monotonic clock), as a 32-bit integer that
// wraps: time is only ever measured as a difference of two readings.
int MilliSecs();
void Delay(int ms);

// The milliseconds from reading `then` to reading `now`, right across the clock's wrap.
inline int MilliSecsBetween(int then, int now) {
    return static_cast<int>(static_cast<std::uint32_t>(now) - static_cast<std::uint32_t>(then));
}
// The reading `ms` milliseconds after `time`, wrapping as the clock does.
inline int MilliSecsAfter(int time, int ms) {
    return static_cast<int>(static_cast<std::uint32_t>(time) + static_cast<std::uint32_t>(ms));
}
