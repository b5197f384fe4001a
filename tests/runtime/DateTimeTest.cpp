#include "RtlDateTime.h"
#include "RtlException.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

namespace {

// Switches the process's time zone for one test and puts the old one back.
class TimeZoneGuard {
public:
    explicit TimeZoneGuard(const char* zone) {
        if (const char* old = std::getenv("TZ")) FOld = old;
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    ~TimeZoneGuard() {
        if (FOld)
            ::setenv("TZ", FOld->c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }

private:
    std::optional<std::string> FOld;
};

TDateTime Moment(int y, int m, int d, int h = 0, int n = 0, int s = 0, int z = 0) {
    return EncodeDateTime(y, m, d, h, n, s, z);
}

TFormatSettings StatisticsSettings() {
    TFormatSettings settings = TFormatSettings::Create(LOCALE_USER_DEFAULT);
    settings.DateSeparator = u'-';
    settings.ShortDateFormat = u"yyyy-MM-dd";
    return settings;
}

} // namespace

TEST(DateTime, NowFollowsTheLocalZoneToTheSecond) {
    for (const char* zone : {"Asia/Shanghai", "America/New_York", "UTC"}) {
        SCOPED_TRACE(zone);
        TimeZoneGuard guard(zone);
        const std::time_t before = std::time(nullptr);
        const TDateTime now = Now();
        const std::time_t after = std::time(nullptr);
        std::tm local{};
        ::localtime_r(&before, &local);
        const TDateTime expected = Moment(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                                          local.tm_hour, local.tm_min, local.tm_sec);
        EXPECT_LE(MilliSecondsBetween(now, expected), (after - before + 1) * 1000);
        EXPECT_EQ(Date(), static_cast<double>(static_cast<std::int64_t>(now)));
    }
}

TEST(DateTime, FormatAndParseRoundTripInSeveralZones) {
    const TFormatSettings settings = StatisticsSettings();
    for (const char* zone : {"Asia/Shanghai", "America/New_York", "UTC"}) {
        SCOPED_TRACE(zone);
        TimeZoneGuard guard(zone);
        const TDateTime now = Now();
        const String text = FormatDateTime(u"yyyy-mm-dd hh:nn:ss", now);
        const TDateTime back = StrToDateTime(text, settings);
        EXPECT_LT(MilliSecondsBetween(now, back), 1000);
        EXPECT_EQ(FormatDateTime(u"yyyy-mm-dd hh:nn:ss", back), text);
        // Today's date text, compared exactly by the weather cache.
        EXPECT_EQ(FormatDateTime(u"yyyy-mm-dd", Date()), text.substr(0, 10));
    }
    // Zone-independent fixed points, including milliseconds and a date before 1900.
    for (const TDateTime t : {Moment(2020, 2, 29, 23, 59, 59, 999), Moment(1899, 12, 29, 6, 30),
                              Moment(1, 1, 1), Moment(9999, 12, 31, 23, 59, 59, 999)}) {
        const String text = FormatDateTime(u"yyyy-mm-dd hh:nn:ss.zzz", t);
        EXPECT_EQ(StrToDateTime(text, settings), t) << StringToUtf8(text);
    }
}

TEST(DateTime, WholeHoursAtExactBoundariesInBothDirections) {
    const TDateTime start = Moment(2020, 3, 1, 10, 0, 0, 0);
    const TDateTime almost = Moment(2020, 3, 1, 13, 59, 59, 999);
    const TDateTime four = Moment(2020, 3, 1, 14, 0, 0, 0);
    EXPECT_EQ(HoursBetween(almost, start), 3);
    EXPECT_EQ(HoursBetween(start, almost), 3);
    EXPECT_EQ(HoursBetween(four, start), 4);
    EXPECT_EQ(HoursBetween(start, four), 4);
    EXPECT_EQ(MilliSecondsBetween(start, four), 14400000);
    // Across midnight and across day 0, where the stored fraction changes sign.
    EXPECT_EQ(HoursBetween(Moment(2020, 3, 1, 22), Moment(2020, 3, 2, 1, 59, 59, 999)), 3);
    EXPECT_EQ(HoursBetween(Moment(1899, 12, 29, 22), Moment(1899, 12, 30, 2)), 4);
    EXPECT_EQ(SecondsBetween(-1.25, 0.25), 86400); // 1899-12-29 06:00 to 12-30 06:00
    EXPECT_EQ(DaysBetween(Moment(2021, 1, 1), Moment(2020, 1, 1)), 366);
    EXPECT_EQ(MinutesBetween(IncMinute(start, 59), start), 59);
}

TEST(DateTime, ValuesAroundDayZeroUseTheFractionAsTimeOfDay) {
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
    EXPECT_EQ(EncodeDate(1899, 12, 29), -1.0);
    EXPECT_EQ(Moment(1899, 12, 29, 6), -1.25);
    int y, m, d, h, n, s, z;
    DecodeDateTime(-1.25, y, m, d, h, n, s, z);
    EXPECT_EQ((std::array{y, m, d, h}), (std::array{1899, 12, 29, 6}));
    // -0.5 and 0.5 are the same moment: day 0 at noon.
    DecodeDateTime(-0.5, y, m, d, h, n, s, z);
    EXPECT_EQ((std::array{y, m, d, h}), (std::array{1899, 12, 30, 12}));
    // Stepping across day 0 keeps the time of day.
    EXPECT_EQ(IncDay(-1.25), 0.25);
    EXPECT_EQ(IncDay(0.25, -1), -1.25);
    EXPECT_EQ(IncHour(-1.75, 12), 0.25); // 1899-12-29 18:00 -> 12-30 06:00
    EXPECT_EQ(IncMilliSecond(0.0, -1), MillisecondsToDateTime(-1));
    EXPECT_EQ(FormatDateTime(u"yyyy-mm-dd hh:nn:ss.zzz", MillisecondsToDateTime(-1)),
              u"1899-12-29 23:59:59.999");
    EXPECT_EQ(DayOfWeek(0), 7); // a Saturday
    EXPECT_EQ(DayOfWeek(-1), 6);
    EXPECT_EQ(DayOfWeek(Moment(2024, 1, 7)), 1); // a Sunday
}

TEST(DateTime, LeapYearsAndEncodeLimits) {
    EXPECT_TRUE(IsLeapYear(2000));
    EXPECT_FALSE(IsLeapYear(1900));
    EXPECT_TRUE(IsLeapYear(2024));
    EXPECT_EQ(DaysInMonth(2023, 2), 28);
    EXPECT_EQ(DaysInMonth(2024, 2), 29);
    TDateTime v;
    EXPECT_TRUE(TryEncodeDate(2000, 2, 29, v));
    EXPECT_FALSE(TryEncodeDate(1900, 2, 29, v));
    EXPECT_FALSE(TryEncodeDate(0, 1, 1, v));
    EXPECT_FALSE(TryEncodeDate(10000, 1, 1, v));
    EXPECT_FALSE(TryEncodeTime(24, 0, 0, 0, v));
    EXPECT_FALSE(TryEncodeTime(0, 0, 0, 1000, v));
    EXPECT_THROW(EncodeDate(2023, 2, 29), EConvertError);
    EXPECT_THROW(EncodeTime(1, 60, 0, 0), EConvertError);
    EXPECT_EQ(Moment(2024, 3, 1) - Moment(2024, 2, 28), 2.0);
    EXPECT_EQ(Moment(2023, 3, 1) - Moment(2023, 2, 28), 1.0);
}

TEST(DateTime, ValuesOutsideTheCalendarRaiseInsteadOfMisbehaving) {
    int y, m, d;
    for (const double bad : {std::nan(""), 1e300, -1e300, 2958466.0, -693594.5}) {
        EXPECT_THROW(DecodeDate(bad, y, m, d), EConvertError);
        EXPECT_THROW(FormatDateTime(u"yyyy", bad), EConvertError);
    }
    EXPECT_THROW(IncDay(MaxDateTime), EConvertError);
    EXPECT_THROW(IncMilliSecond(0, INT64_MAX), EConvertError);
    EXPECT_THROW(UnixToDateTime(INT64_MIN), EConvertError);
}

TEST(DateTime, UnixAndUniversalConversions) {
    EXPECT_EQ(UnixToDateTime(0), 25569.0);
    EXPECT_EQ(DateTimeToUnix(Moment(2020, 1, 1)), 1577836800);
    TimeZoneGuard guard("Asia/Shanghai");
    EXPECT_EQ(UniversalTimeToLocal(Moment(2020, 1, 1, 20)), Moment(2020, 1, 2, 4));
    EXPECT_EQ(LocalTimeToUniversal(Moment(2020, 1, 2, 4)), Moment(2020, 1, 1, 20));
    TimeZoneGuard york("America/New_York"); // summer time shifts the offset by an hour
    EXPECT_EQ(UniversalTimeToLocal(Moment(2020, 7, 1, 12)), Moment(2020, 7, 1, 8));
    EXPECT_EQ(UniversalTimeToLocal(Moment(2020, 1, 1, 12)), Moment(2020, 1, 1, 7));
    EXPECT_EQ(LocalTimeToUniversal(Moment(2020, 7, 1, 8)), Moment(2020, 7, 1, 12));
}

TEST(FormatDateTime, PatternLanguage) {
    const TDateTime t = Moment(2009, 3, 7, 14, 5, 9, 42); // a Saturday
    TFormatSettings s = FormatSettings();
    EXPECT_EQ(FormatDateTime(u"yyyy-mm-dd hh:nn:ss", t), u"2009-03-07 14:05:09");
    EXPECT_EQ(FormatDateTime(u"y yy yyy d m h n s z", t), u"09 09 2009 7 3 14 5 9 42");
    EXPECT_EQ(FormatDateTime(u"zzz|mmm|mmmm|ddd|dddd", t), u"042|Mar|March|Sat|Saturday");
    EXPECT_EQ(FormatDateTime(u"hh:mm", t), u"14:05");        // m after h is minutes
    EXPECT_EQ(FormatDateTime(u"hh dd mm", t), u"14 07 03");  // ... but not after d
    EXPECT_EQ(FormatDateTime(u"h:nn am/pm", t), u"2:05 pm"); // letters as written
    EXPECT_EQ(FormatDateTime(u"h:nn AM/PM", Moment(2009, 3, 7)), u"12:00 AM");
    EXPECT_EQ(FormatDateTime(u"h a/p", t), u"2 p");
    EXPECT_EQ(FormatDateTime(u"hh ampm", t), u"02 PM");
    EXPECT_EQ(FormatDateTime(u"hh 'at' h", t), u"14 at 14"); // quoted "a" is no marker
    EXPECT_EQ(FormatDateTime(u"\"yyyy\" 'mm' yyyy", t), u"yyyy mm 2009");
    EXPECT_EQ(FormatDateTime(u"d/m/yy h:n", t), u"7-3-09 14:5");
    s.DateSeparator = u'.';
    s.TimeSeparator = u'h';
    EXPECT_EQ(FormatDateTime(u"dd/mm hh:nn", t, s), u"07.03 14h05");
    EXPECT_EQ(FormatDateTime(u"c", t), u"2009-03-07 14:05:09");
    EXPECT_EQ(FormatDateTime(u"", Moment(2009, 3, 7)), u"2009-03-07");
    EXPECT_EQ(FormatDateTime(u"ddddd t tt", t), u"2009-03-07 14:05 14:05:09");
    EXPECT_EQ(FormatDateTime(u"dddddd", t), u"Saturday, March 7, 2009");
    // Settings that refer to themselves stop after two levels instead of recursing.
    s = FormatSettings();
    s.ShortDateFormat = u"ddddd|c";
    EXPECT_EQ(FormatDateTime(u"ddddd", t, s), u"| ");
}

TEST(StrToDateTime, ReadsDatesInTheSettingsOrder) {
    TFormatSettings s = FormatSettings();
    EXPECT_EQ(StrToDate(u"2020-02-29"), Moment(2020, 2, 29));
    EXPECT_EQ(StrToDateTime(u" 2020-2-9   7:05 "), Moment(2020, 2, 9, 7, 5));
    EXPECT_EQ(StrToDateTime(u"2020-02-09 07:05:06.5"), Moment(2020, 2, 9, 7, 5, 6, 500));
    EXPECT_EQ(StrToDateTime(u"2020-02-09 7:05 pm"), Moment(2020, 2, 9, 19, 5));
    EXPECT_EQ(StrToDateTime(u"2020-02-09 12:00 AM"), Moment(2020, 2, 9));
    EXPECT_EQ(StrToTime(u"PM 1:30"), EncodeTime(13, 30, 0, 0));
    EXPECT_EQ(StrToDateTime(u"23:59:59"), EncodeTime(23, 59, 59, 0));
    s.ShortDateFormat = u"dd/mm/yyyy";
    s.DateSeparator = u'/';
    EXPECT_EQ(StrToDate(u"09/02/2020", s), Moment(2020, 2, 9));
    s.ShortDateFormat = u"m/d/yy";
    EXPECT_EQ(StrToDate(u"2/9/2020", s), Moment(2020, 2, 9));
    // Two-digit years are placed by the century window; two numbers take this year.
    s.TwoDigitYearCenturyWindow = 0;
    int year, month, day;
    DecodeDate(Date(), year, month, day);
    EXPECT_EQ(StrToDate(u"2/9/20", s), Moment(year / 100 * 100 + 20, 2, 9));
    EXPECT_EQ(StrToDate(u"2/9", s), Moment(year, 2, 9));
}

TEST(StrToDateTime, RejectsMalformedTextWithTheRuntimeMessages) {
    const TFormatSettings s = StatisticsSettings();
    for (const StringView bad :
         {u"", u"2020-02-30 10:00", u"2020-02-09 24:00", u"2020/02/09", u"2020-02-09 10:00 x",
          u"10:60", u"13:00 PM", u"2020-02-09T10:00", u"12345-01-01", u"-"}) {
        TDateTime v;
        EXPECT_FALSE(TryStrToDateTime(bad, v, s)) << StringToUtf8(bad);
    }
    try {
        StrToDateTime(u"soon", s);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), u"'soon' is not a valid date and time");
    }
    try {
        StrToDate(u"10:00");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), u"'10:00' is not a valid date");
    }
    try {
        StrToTime(u"2020-01-01");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), u"'2020-01-01' is not a valid time");
    }
}
