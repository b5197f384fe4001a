#include "RtlDateTime.h"

#include "PlatformClock.h"
#include "RtlConvert.h"
#include "RtlException.h"

#include <cmath>

namespace {

// Day numbers of 0001-01-01 and 9999-12-31 relative to 1899-12-30.
constexpr std::int64_t kFirstDay = -693593;
constexpr std::int64_t kLastDay = 2958465;
constexpr std::int64_t kMinMSecs = kFirstDay * MSecsPerDay;
constexpr std::int64_t kMaxMSecs = (kLastDay + 1) * MSecsPerDay - 1;

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

[[noreturn]] void RaiseInvalidValue(long double value) {
    throw EConvertError(u"'" + FloatToStr(value) + u"' is not a valid date and time");
}

// Civil date <-> days since 1970-01-01 in the proleptic Gregorian calendar
// (the usual era-of-400-years arithmetic; exact for every year here).
std::int64_t DaysFromCivil(std::int64_t y, int m, int d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(std::int64_t z, int& year, int& month, int& day) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

// Adds count * unit milliseconds to a moment, refusing results outside the
// calendar's range (and products that would overflow).
TDateTime AddMSecs(TDateTime value, std::int64_t count, std::int64_t unit) {
    const std::int64_t start = DateTimeToMilliseconds(value);
    const std::int64_t span = kMaxMSecs - kMinMSecs;
    if (count > span / unit || count < -(span / unit))
        RaiseInvalidValue(static_cast<long double>(value) +
                          static_cast<long double>(count) * unit / MSecsPerDay);
    return MillisecondsToDateTime(start + count * unit);
}

} // namespace

std::int64_t DateTimeToMilliseconds(TDateTime value) {
    // The bounds also reject NaN, which fails every comparison.
    if (!(value > static_cast<double>(kFirstDay - 1) && value < static_cast<double>(kLastDay + 1)))
        RaiseInvalidValue(value);
    const double whole = std::trunc(value);
    const std::int64_t days = static_cast<std::int64_t>(whole);
    const std::int64_t timeOfDay = std::llround(std::fabs(value - whole) * MSecsPerDay);
    const std::int64_t result = days * MSecsPerDay + timeOfDay;
    if (result < kMinMSecs || result > kMaxMSecs) RaiseInvalidValue(value);
    return result;
}

TDateTime MillisecondsToDateTime(std::int64_t milliseconds) {
    if (milliseconds < kMinMSecs || milliseconds > kMaxMSecs)
        RaiseInvalidValue(static_cast<long double>(milliseconds) / MSecsPerDay);
    const std::int64_t days = FloorDiv(milliseconds, MSecsPerDay);
    const double fraction =
        static_cast<double>(milliseconds - days * MSecsPerDay) / static_cast<double>(MSecsPerDay);
    // Before day 0 the time of day is subtracted: the fraction's magnitude is the time.
    return days >= 0 ? static_cast<double>(days) + fraction : static_cast<double>(days) - fraction;
}

TDateTime Now() {
    const std::int64_t utc = platform::UnixTimeMilliseconds();
    const std::int64_t offset = platform::LocalUtcOffsetSeconds(FloorDiv(utc, 1000));
    return MillisecondsToDateTime(utc + offset * 1000 + UnixDateDelta * MSecsPerDay);
}

TDateTime Date() {
    const std::int64_t ms = DateTimeToMilliseconds(Now());
    return MillisecondsToDateTime(FloorDiv(ms, MSecsPerDay) * MSecsPerDay);
}

TDateTime Time() {
    const std::int64_t ms = DateTimeToMilliseconds(Now());
    return MillisecondsToDateTime(ms - FloorDiv(ms, MSecsPerDay) * MSecsPerDay);
}

bool IsLeapYear(int year) {
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool TryEncodeDate(int year, int month, int day, TDateTime& value) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
        day > DaysInMonth(year, month))
        return false;
    value = static_cast<double>(DaysFromCivil(year, month, day) + UnixDateDelta);
    return true;
}

bool TryEncodeTime(int hour, int minute, int second, int millisecond, TDateTime& value) {
    if (hour < 0 || hour >= HoursPerDay || minute < 0 || minute >= MinsPerHour || second < 0 ||
        second >= SecsPerMin || millisecond < 0 || millisecond >= MSecsPerSec)
        return false;
    const std::int64_t ms =
        ((static_cast<std::int64_t>(hour) * MinsPerHour + minute) * SecsPerMin + second) *
            MSecsPerSec +
        millisecond;
    value = static_cast<double>(ms) / static_cast<double>(MSecsPerDay);
    return true;
}

TDateTime EncodeDate(int year, int month, int day) {
    TDateTime value;
    if (!TryEncodeDate(year, month, day, value))
        throw EConvertError(u"Invalid argument to date encode");
    return value;
}

TDateTime EncodeTime(int hour, int minute, int second, int millisecond) {
    TDateTime value;
    if (!TryEncodeTime(hour, minute, second, millisecond, value))
        throw EConvertError(u"Invalid argument to time encode");
    return value;
}

TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second,
                         int millisecond) {
    const std::int64_t date = static_cast<std::int64_t>(EncodeDate(year, month, day));
    const std::int64_t time = DateTimeToMilliseconds(EncodeTime(hour, minute, second, millisecond));
    return MillisecondsToDateTime(date * MSecsPerDay + time);
}

void DecodeDateTime(TDateTime value, int& year, int& month, int& day, int& hour, int& minute,
                    int& second, int& millisecond) {
    const std::int64_t ms = DateTimeToMilliseconds(value);
    const std::int64_t days = FloorDiv(ms, MSecsPerDay);
    CivilFromDays(days - UnixDateDelta, year, month, day);
    std::int64_t rest = ms - days * MSecsPerDay;
    millisecond = static_cast<int>(rest % MSecsPerSec);
    rest /= MSecsPerSec;
    second = static_cast<int>(rest % SecsPerMin);
    rest /= SecsPerMin;
    minute = static_cast<int>(rest % MinsPerHour);
    hour = static_cast<int>(rest / MinsPerHour);
}

void DecodeDate(TDateTime value, int& year, int& month, int& day) {
    int h, n, s, z;
    DecodeDateTime(value, year, month, day, h, n, s, z);
}

void DecodeTime(TDateTime value, int& hour, int& minute, int& second, int& millisecond) {
    int y, m, d;
    DecodeDateTime(value, y, m, d, hour, minute, second, millisecond);
}

int DayOfWeek(TDateTime value) {
    // Day 0 (1899-12-30) was a Saturday.
    const std::int64_t days = FloorDiv(DateTimeToMilliseconds(value), MSecsPerDay);
    const std::int64_t fromSunday = ((days + 6) % 7 + 7) % 7;
    return static_cast<int>(fromSunday) + 1;
}

std::int64_t MilliSecondsBetween(TDateTime a, TDateTime b) {
    const std::int64_t d = DateTimeToMilliseconds(a) - DateTimeToMilliseconds(b);
    return d < 0 ? -d : d;
}

std::int64_t SecondsBetween(TDateTime a, TDateTime b) {
    return MilliSecondsBetween(a, b) / MSecsPerSec;
}

std::int64_t MinutesBetween(TDateTime a, TDateTime b) {
    return MilliSecondsBetween(a, b) / (MSecsPerSec * SecsPerMin);
}

std::int64_t HoursBetween(TDateTime a, TDateTime b) {
    return MilliSecondsBetween(a, b) / (MSecsPerSec * SecsPerMin * MinsPerHour);
}

std::int64_t DaysBetween(TDateTime a, TDateTime b) {
    return MilliSecondsBetween(a, b) / MSecsPerDay;
}

TDateTime IncDay(TDateTime value, std::int64_t days) {
    return AddMSecs(value, days, MSecsPerDay);
}

TDateTime IncHour(TDateTime value, std::int64_t hours) {
    return AddMSecs(value, hours, 3600 * MSecsPerSec);
}

TDateTime IncMinute(TDateTime value, std::int64_t minutes) {
    return AddMSecs(value, minutes, 60 * MSecsPerSec);
}

TDateTime IncSecond(TDateTime value, std::int64_t seconds) {
    return AddMSecs(value, seconds, MSecsPerSec);
}

TDateTime IncMilliSecond(TDateTime value, std::int64_t milliseconds) {
    return AddMSecs(value, milliseconds, 1);
}

TDateTime UnixToDateTime(std::int64_t unixSeconds) {
    constexpr std::int64_t kEpoch = UnixDateDelta * (MSecsPerDay / MSecsPerSec);
    if (unixSeconds < kMinMSecs / MSecsPerSec - kEpoch ||
        unixSeconds > kMaxMSecs / MSecsPerSec - kEpoch)
        RaiseInvalidValue(static_cast<long double>(unixSeconds) / 86400 + UnixDateDelta);
    return MillisecondsToDateTime((unixSeconds + kEpoch) * MSecsPerSec);
}

std::int64_t DateTimeToUnix(TDateTime value) {
    const std::int64_t ms = DateTimeToMilliseconds(value) - UnixDateDelta * MSecsPerDay;
    return FloorDiv(ms + MSecsPerSec / 2, MSecsPerSec);
}

TDateTime UniversalTimeToLocal(TDateTime utc) {
    const std::int64_t ms = DateTimeToMilliseconds(utc);
    const std::int64_t unixMs = ms - UnixDateDelta * MSecsPerDay;
    const std::int64_t offset = platform::LocalUtcOffsetSeconds(FloorDiv(unixMs, MSecsPerSec));
    return MillisecondsToDateTime(ms + offset * MSecsPerSec);
}

TDateTime LocalTimeToUniversal(TDateTime local) {
    const std::int64_t ms = DateTimeToMilliseconds(local);
    const std::int64_t unixMs = ms - UnixDateDelta * MSecsPerDay;
    // The offset belongs to the UTC moment we are looking for: guess it from
    // the local value, then correct it once (right except inside a clock change).
    const std::int64_t guess = platform::LocalUtcOffsetSeconds(FloorDiv(unixMs, MSecsPerSec));
    const std::int64_t offset =
        platform::LocalUtcOffsetSeconds(FloorDiv(unixMs - guess * MSecsPerSec, MSecsPerSec));
    return MillisecondsToDateTime(ms - offset * MSecsPerSec);
}
