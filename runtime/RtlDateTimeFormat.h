// Date and time text: the runtime's FormatDateTime pattern language and the
// StrToDateTime family that reads text back with the same settings.
#pragma once

#include "RtlFormatSettings.h"
#include "RtlString.h"

using TDateTime = double;

// Formats a moment. Specifiers are case-insensitive; anything else is copied:
//   y, yy: two-digit year     yyy, yyyy: four-digit year
//   m, mm: month (no zero / two digits); mmm, mmmm: short / long month name
//   d, dd: day; ddd, dddd: short / long day name; ddddd: ShortDateFormat;
//          dddddd: LongDateFormat
//   h, hh: hour (12-hour when an am/pm specifier follows before the next hour)
//   n, nn: minute (m, mm right after an hour specifier mean minutes too)
//   s, ss: second      z: millisecond     zzz: three-digit millisecond
//   t: ShortTimeFormat  tt: LongTimeFormat
//   c: ShortDateFormat, then a blank and LongTimeFormat unless the time is 00:00:00.000
//   am/pm, a/p: the letters as written in the pattern; ampm: TimeAMString / TimePMString
//   "/": DateSeparator   ":": TimeSeparator   '...' and "...": literal text
// An empty pattern means "c".
String FormatDateTime(StringView format, TDateTime value,
                      const TFormatSettings& settings = FormatSettings());

// DateToStr = "ddddd", TimeToStr = "tt", DateTimeToStr = "c".
String DateToStr(TDateTime value, const TFormatSettings& settings = FormatSettings());
String TimeToStr(TDateTime value, const TFormatSettings& settings = FormatSettings());
String DateTimeToStr(TDateTime value, const TFormatSettings& settings = FormatSettings());

// Reading. A date is two or three numbers joined by DateSeparator, in the
// order of ShortDateFormat (y/m/d, m/d/y or d/m/y); with two numbers the year
// is the current one, and a year of one or two digits is placed by
// TwoDigitYearCenturyWindow. A time is hours and minutes joined by
// TimeSeparator (or an hour alone), optionally seconds and DecimalSeparator
// with a decimal fraction of the second, with AM/PM (TimeAMString,
// TimePMString, "AM" or "PM", any case) before or after it if wanted.
// Blanks around the text are ignored. StrToDateTime takes a date, a date, blanks
// and a time, or a time alone (on day 0).
//
// Failures raise EConvertError "'<text>' is not a valid date and time",
// "'<text>' is not a valid date" or "'<text>' is not a valid time".
bool TryStrToDateTime(StringView text, TDateTime& value,
                      const TFormatSettings& settings = FormatSettings());
bool TryStrToDate(StringView text, TDateTime& value,
                  const TFormatSettings& settings = FormatSettings());
bool TryStrToTime(StringView text, TDateTime& value,
                  const TFormatSettings& settings = FormatSettings());
TDateTime StrToDateTime(StringView text, const TFormatSettings& settings = FormatSettings());
TDateTime StrToDate(StringView text, const TFormatSettings& settings = FormatSettings());
TDateTime StrToTime(StringView text, const TFormatSettings& settings = FormatSettings());
