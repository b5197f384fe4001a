// The system clock and the local time zone. Times are counted in milliseconds
// or seconds since 1970-01-01 00:00 UTC.
#pragma once

#include <cstdint>

namespace platform {

// The current wall-clock time in milliseconds since the epoch.
std::int64_t UnixTimeMilliseconds();

// Offset of local time from UTC (local minus UTC, in seconds) at the given
// moment, including daylight saving. Follows changes of the TZ variable.
std::int64_t LocalUtcOffsetSeconds(std::int64_t unixSeconds);

} // namespace platform
