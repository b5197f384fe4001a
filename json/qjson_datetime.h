// The text forms of date-time values in JSON documents: the formatted text
// (the unit-wide DateOnlyFormat, TimeOnlyFormat and DateTimeFormat) and the
// "/DATE(milliseconds)/" form, written and read back.
#pragma once

#include "RtlDateTime.h"
#include "RtlString.h"

// A date-time with no whole-day part is a time (except 0, which is a date),
// one with no fraction a date, anything else a date and a time.
String FormatJsonDateTime(long double AValue);

// "/DATE(n)/": n counts milliseconds (or seconds, JavaTimeInSeconds) from
// 1970-01-01 00:00; with a JavaTimeZone of -12..12 the zone's hours are taken
// off first and written after n as "+h" or "-h".
String FormatJavaDateTime(long double AValue);

// Reads "yyyy-mm-dd", "hh:nn[:ss[.fff]]", a date and a time joined by "T" or
// a blank (an optional "Z" after it is ignored), or the "/DATE(...)/" form.
bool TryParseJsonDateTime(StringView AText, TDateTime& AValue);
