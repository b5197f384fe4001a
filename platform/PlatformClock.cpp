#include "PlatformClock.h"

#include <ctime>

namespace platform {

std::int64_t UnixTimeMilliseconds() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

std::int64_t LocalUtcOffsetSeconds(std::int64_t unixSeconds) {
    // localtime_r need not look at TZ again; tzset() makes a changed zone
    // take effect and is cheap when nothing changed.
    ::tzset();
    const std::time_t t = static_cast<std::time_t>(unixSeconds);
    std::tm local{};
    if (!::localtime_r(&t, &local)) return 0;
    return local.tm_gmtoff;
}

} // namespace platform
