// Dates and times of the runtime.
//
// A TDateTime holds days since 1899-12-30 00:00 in its integral part and the
// time of day as its fraction. Before that day the value is negative and the
// fraction's absolute value is still the time of day: -1.25 is 1899-12-29
// 06:00, and -0.5 means the same moment as 0.5. Values cover the years 1 to
// 9999; decoding a value outside that range (or NaN) raises EConvertError.
//
// Arithmetic on moments (differences, increments) goes through a linear count
// of milliseconds, so it is exact to the millisecond and correct on both sides
// of day 0, where adding to the raw double would not be.
#pragma once

#include "RtlDateTimeFormat.h"
#include "RtlString.h"

#include <cstdint>

using TDateTime = double;

constexpr int HoursPerDay = 24;
constexpr int MinsPerHour = 60;
constexpr int SecsPerMin = 60;
constexpr int MSecsPerSec = 1000;
constexpr std::int64_t MSecsPerDay = 86400000;
// Day number of 1970-01-01, the Unix epoch.
constexpr int UnixDateDelta = 25569;
constexpr TDateTime MinDateTime = -693593.0;        // 0001-01-01 00:00
constexpr TDateTime MaxDateTime = 2958465.99999999; // 9999-12-31 23:59:59.999

// The current local date and time to the millisecond, today's date (time
// 00:00) and the current time of day (date part 0).
TDateTime Now();
TDateTime Date();
TDateTime Time();

bool IsLeapYear(int year);
// Days in a month of a year (0 for a month outside 1..12).
int DaysInMonth(int year, int month);

// Encoding: a year of 1..9999, a valid month and day; hours 0..23, minutes and
// seconds 0..59, milliseconds 0..999. The Try forms report failure; the others
// raise EConvertError ("Invalid argument to date encode" / "... time encode").
bool TryEncodeDate(int year, int month, int day, TDateTime& value);
bool TryEncodeTime(int hour, int minute, int second, int millisecond, TDateTime& value);
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int minute, int second, int millisecond);
TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second,
                         int millisecond);

// Decoding, rounded to the nearest millisecond.
void DecodeDate(TDateTime value, int& year, int& month, int& day);
void DecodeTime(TDateTime value, int& hour, int& minute, int& second, int& millisecond);
void DecodeDateTime(TDateTime value, int& year, int& month, int& day, int& hour, int& minute,
                    int& second, int& millisecond);
// 1 = Sunday ... 7 = Saturday.
int DayOfWeek(TDateTime value);

// The moment as milliseconds since 1899-12-30 00:00 (negative before it), and
// back. Out-of-range values raise EConvertError.
std::int64_t DateTimeToMilliseconds(TDateTime value);
TDateTime MillisecondsToDateTime(std::int64_t milliseconds);

// Whole units between two moments: the absolute difference in milliseconds,
// divided by the unit and truncated. The order of the arguments does not matter.
std::int64_t MilliSecondsBetween(TDateTime a, TDateTime b);
std::int64_t SecondsBetween(TDateTime a, TDateTime b);
std::int64_t MinutesBetween(TDateTime a, TDateTime b);
std::int64_t HoursBetween(TDateTime a, TDateTime b);
std::int64_t DaysBetween(TDateTime a, TDateTime b);

TDateTime IncDay(TDateTime value, std::int64_t days = 1);
TDateTime IncHour(TDateTime value, std::int64_t hours = 1);
TDateTime IncMinute(TDateTime value, std::int64_t minutes = 1);
TDateTime IncSecond(TDateTime value, std::int64_t seconds = 1);
TDateTime IncMilliSecond(TDateTime value, std::int64_t milliseconds = 1);

// Seconds since 1970-01-01 00:00 UTC <-> a TDateTime in UTC.
TDateTime UnixToDateTime(std::int64_t unixSeconds);
std::int64_t DateTimeToUnix(TDateTime value);
// Conversion between UTC and the local zone (daylight saving included).
TDateTime UniversalTimeToLocal(TDateTime utc);
TDateTime LocalTimeToUniversal(TDateTime local);
