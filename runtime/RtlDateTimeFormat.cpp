#include "RtlDateTimeFormat.h"

#include "RtlDateTime.h"
#include "RtlException.h"

namespace {

// ---------------------------------------------------------------------------
// Formatting

class TDateTimeFormatter {
public:
    TDateTimeFormatter(TDateTime value, const TFormatSettings& settings) : S(settings) {
        DecodeDateTime(value, Year, Month, Day, Hour, Minute, Second, MSec);
        WeekDay = DayOfWeek(value);
    }

    // Patterns nest (c -> ShortDateFormat -> ...) at most two levels deep, so
    // settings that name themselves cannot recurse without end.
    void Append(StringView format, int level) {
        if (level >= 2) return;
        char16_t lastToken = 0;
        std::size_t i = 0;
        while (i < format.size()) {
            const char16_t starter = format[i++];
            char16_t token = AsciiUpper(starter);
            if (token >= u'A' && token <= u'Z') {
                if (token == u'M' && lastToken == u'H') token = u'N';
                lastToken = token;
            }
            // Number of further repetitions of the same character.
            auto count = [&] {
                std::size_t n = 1;
                while (i < format.size() && format[i] == starter)
                    ++i, ++n;
                return n;
            };
            switch (token) {
            case u'Y':
                if (count() <= 2)
                    Number(Year % 100, 2);
                else
                    Number(Year, 4);
                break;
            case u'M': {
                const std::size_t n = count();
                if (n <= 2)
                    Number(Month, n);
                else
                    Out += n == 3 ? S.ShortMonthNames[Month - 1] : S.LongMonthNames[Month - 1];
                break;
            }
            case u'D': {
                const std::size_t n = count();
                if (n <= 2)
                    Number(Day, n);
                else if (n == 3)
                    Out += S.ShortDayNames[WeekDay - 1];
                else if (n == 4)
                    Out += S.LongDayNames[WeekDay - 1];
                else
                    Append(n == 5 ? S.ShortDateFormat : S.LongDateFormat, level + 1);
                break;
            }
            case u'H': {
                const std::size_t n = count();
                int h = Hour;
                if (TwelveHourClock(format.substr(i))) h = h == 0 ? 12 : h > 12 ? h - 12 : h;
                Number(h, n > 2 ? 2 : n);
                break;
            }
            case u'N': {
                const std::size_t n = count();
                Number(Minute, n > 2 ? 2 : n);
                break;
            }
            case u'S': {
                const std::size_t n = count();
                Number(Second, n > 2 ? 2 : n);
                break;
            }
            case u'Z':
                Number(MSec, count() < 3 ? 1 : 3);
                break;
            case u'T':
                Append(count() == 1 ? S.ShortTimeFormat : S.LongTimeFormat, level + 1);
                break;
            case u'C':
                count();
                Append(S.ShortDateFormat, level + 1);
                if (Hour != 0 || Minute != 0 || Second != 0 || MSec != 0) {
                    Out += u' ';
                    Append(S.LongTimeFormat, level + 1);
                }
                break;
            case u'A':
                i = AmPm(format, i - 1);
                break;
            case u'/':
                if (S.DateSeparator) Out += S.DateSeparator;
                break;
            case u':':
                if (S.TimeSeparator) Out += S.TimeSeparator;
                break;
            case u'\'':
            case u'"': {
                const std::size_t close = format.find(starter, i);
                const std::size_t end = close == StringView::npos ? format.size() : close;
                Out.append(format.substr(i, end - i));
                i = end == format.size() ? end : end + 1;
                break;
            }
            default:
                Out += starter;
                break;
            }
        }
    }

    String Out;

private:
    void Number(int value, std::size_t digits) {
        String text = AsciiToString(std::to_string(value));
        if (text.size() < digits) text.insert(0, digits - text.size(), u'0');
        Out += text;
    }

    // An hour is shown on the 12-hour clock when an am/pm specifier follows
    // before the next hour specifier (quoted text is skipped). The first
    // unquoted "a" decides, whatever follows it.
    static bool TwelveHourClock(StringView rest) {
        bool quoted = false;
        for (std::size_t i = 0; i < rest.size(); ++i) {
            const char16_t c = rest[i];
            if (c == u'\'' || c == u'"') {
                quoted = !quoted;
            } else if (!quoted && (c == u'a' || c == u'A')) {
                const StringView tail = rest.substr(i);
                return StartsText(u"am/pm", tail) || StartsText(u"a/p", tail) ||
                       StartsText(u"ampm", tail);
            } else if (!quoted && (c == u'h' || c == u'H')) {
                return false;
            }
        }
        return false;
    }

    // Writes an am/pm specifier starting at `at` and returns the index after
    // it; an "a" that starts no specifier is copied as text.
    std::size_t AmPm(StringView format, std::size_t at) {
        const StringView tail = format.substr(at);
        const bool pm = Hour >= 12;
        if (StartsText(u"am/pm", tail)) {
            Out.append(tail.substr(pm ? 3 : 0, 2));
            return at + 5;
        }
        if (StartsText(u"a/p", tail)) {
            Out += tail[pm ? 2 : 0];
            return at + 3;
        }
        if (StartsText(u"ampm", tail)) {
            Out += pm ? S.TimePMString : S.TimeAMString;
            return at + 4;
        }
        Out += tail[0];
        return at + 1;
    }

    const TFormatSettings& S;
    int Year, Month, Day, Hour, Minute, Second, MSec, WeekDay;
};

// ---------------------------------------------------------------------------
// Reading

enum class TDateOrder { MDY, DMY, YMD };

TDateOrder GetDateOrder(StringView format) {
    for (const char16_t c : format) {
        switch (AsciiUpper(c)) {
        case u'Y':
            return TDateOrder::YMD;
        case u'M':
            return TDateOrder::MDY;
        case u'D':
            return TDateOrder::DMY;
        default:
            break;
        }
    }
    return TDateOrder::MDY;
}

class TDateTimeScanner {
public:
    TDateTimeScanner(StringView text, const TFormatSettings& settings) : T(text), S(settings) {}

    bool AtEnd() {
        SkipBlanks();
        return Pos == T.size();
    }

    bool ScanDate(std::int64_t& days) {
        int n1, n2, n3, len1, len2, len3;
        if (!ScanNumber(n1, len1) || !ScanChar(S.DateSeparator) || !ScanNumber(n2, len2))
            return false;
        int year, month, day;
        const TDateOrder order = GetDateOrder(S.ShortDateFormat);
        if (ScanChar(S.DateSeparator)) {
            if (!ScanNumber(n3, len3)) return false;
            int yearLength;
            switch (order) {
            case TDateOrder::MDY:
                year = n3, yearLength = len3, month = n1, day = n2;
                break;
            case TDateOrder::DMY:
                year = n3, yearLength = len3, month = n2, day = n1;
                break;
            default:
                year = n1, yearLength = len1, month = n2, day = n3;
                break;
            }
            if (yearLength <= 2) year = ExpandYear(year);
        } else {
            year = CurrentYear();
            if (order == TDateOrder::DMY)
                day = n1, month = n2;
            else
                month = n1, day = n2;
        }
        ScanChar(S.DateSeparator); // a trailing separator is allowed
        TDateTime date;
        if (!TryEncodeDate(year, month, day, date)) return false;
        days = static_cast<std::int64_t>(date);
        return true;
    }

    bool ScanTime(std::int64_t& milliseconds) {
        int baseHour = ScanAmPm();
        int hour, minute = 0, second = 0, msec = 0, length;
        if (!ScanNumber(hour, length)) return false;
        if (ScanChar(S.TimeSeparator)) {
            if (!ScanNumber(minute, length)) return false;
            if (ScanChar(S.TimeSeparator)) {
                if (!ScanNumber(second, length)) return false;
                if (ScanChar(S.DecimalSeparator) && !ScanFraction(msec)) return false;
            }
        }
        if (baseHour < 0) baseHour = ScanAmPm();
        if (baseHour >= 0) {
            if (hour == 0 || hour > 12) return false;
            hour = hour % 12 + baseHour;
        }
        TDateTime time;
        if (!TryEncodeTime(hour, minute, second, msec, time)) return false;
        milliseconds = DateTimeToMilliseconds(time);
        return true;
    }

private:
    void SkipBlanks() {
        while (Pos < T.size() && T[Pos] <= u' ')
            ++Pos;
    }

    bool ScanChar(char16_t c) {
        SkipBlanks();
        if (Pos < T.size() && T[Pos] == c) {
            ++Pos;
            return true;
        }
        return false;
    }

    // Up to four digits (a year at most); the length goes to `length`.
    bool ScanNumber(int& value, int& length) {
        SkipBlanks();
        value = 0;
        length = 0;
        while (Pos < T.size() && T[Pos] >= u'0' && T[Pos] <= u'9' && value < 1000) {
            value = value * 10 + (T[Pos++] - u'0');
            ++length;
        }
        return length > 0;
    }

    // The digits after the decimal separator are a fraction of the second:
    // ".5" is 500 ms. Digits beyond the millisecond are dropped.
    bool ScanFraction(int& msec) {
        msec = 0;
        int digits = 0;
        while (Pos < T.size() && T[Pos] >= u'0' && T[Pos] <= u'9') {
            if (digits < 3) msec = msec * 10 + (T[Pos] - u'0');
            ++digits, ++Pos;
        }
        for (int d = digits; d < 3; ++d)
            msec *= 10;
        return digits > 0;
    }

    bool ScanString(StringView symbol) {
        if (symbol.empty()) return false;
        SkipBlanks();
        if (!StartsText(symbol, T.substr(Pos))) return false;
        Pos += symbol.size();
        return true;
    }

    // 0 for AM, 12 for PM, -1 when neither is at the position.
    int ScanAmPm() {
        if (ScanString(S.TimeAMString) || ScanString(u"AM")) return 0;
        if (ScanString(S.TimePMString) || ScanString(u"PM")) return 12;
        return -1;
    }

    int CurrentYear() {
        int year, month, day;
        DecodeDate(Date(), year, month, day);
        return year;
    }

    // A one- or two-digit year lies within TwoDigitYearCenturyWindow years
    // before now (or in this century when the window is 0).
    int ExpandYear(int year) {
        const int base = CurrentYear() - S.TwoDigitYearCenturyWindow;
        year += base / 100 * 100;
        if (S.TwoDigitYearCenturyWindow > 0 && year < base) year += 100;
        return year;
    }

    StringView T;
    const TFormatSettings& S;
    std::size_t Pos = 0;
};

// Joins a day number and a time of day the way TDateTime stores them.
TDateTime Combine(std::int64_t days, std::int64_t timeOfDay) {
    return MillisecondsToDateTime(days * MSecsPerDay + timeOfDay);
}

[[noreturn]] void RaiseConvert(StringView text, const char16_t* what) {
    throw EConvertError(u"'" + String(text) + u"' is not a valid " + what);
}

} // namespace

String FormatDateTime(StringView format, TDateTime value, const TFormatSettings& settings) {
    TDateTimeFormatter formatter(value, settings);
    formatter.Append(format.empty() ? StringView(u"c") : format, 0);
    return std::move(formatter.Out);
}

String DateToStr(TDateTime value, const TFormatSettings& settings) {
    return FormatDateTime(u"ddddd", value, settings);
}

String TimeToStr(TDateTime value, const TFormatSettings& settings) {
    return FormatDateTime(u"tt", value, settings);
}

String DateTimeToStr(TDateTime value, const TFormatSettings& settings) {
    return FormatDateTime(u"c", value, settings);
}

bool TryStrToDate(StringView text, TDateTime& value, const TFormatSettings& settings) {
    TDateTimeScanner scanner(text, settings);
    std::int64_t days;
    if (!scanner.ScanDate(days) || !scanner.AtEnd()) return false;
    value = Combine(days, 0);
    return true;
}

bool TryStrToTime(StringView text, TDateTime& value, const TFormatSettings& settings) {
    TDateTimeScanner scanner(text, settings);
    std::int64_t time;
    if (!scanner.ScanTime(time) || !scanner.AtEnd()) return false;
    value = Combine(0, time);
    return true;
}

bool TryStrToDateTime(StringView text, TDateTime& value, const TFormatSettings& settings) {
    TDateTimeScanner scanner(text, settings);
    std::int64_t days, time = 0;
    if (scanner.ScanDate(days) &&
        (scanner.AtEnd() || (scanner.ScanTime(time) && scanner.AtEnd()))) {
        value = Combine(days, time);
        return true;
    }
    return TryStrToTime(text, value, settings);
}

TDateTime StrToDate(StringView text, const TFormatSettings& settings) {
    TDateTime value;
    if (!TryStrToDate(text, value, settings)) RaiseConvert(text, u"date");
    return value;
}

TDateTime StrToTime(StringView text, const TFormatSettings& settings) {
    TDateTime value;
    if (!TryStrToTime(text, value, settings)) RaiseConvert(text, u"time");
    return value;
}

TDateTime StrToDateTime(StringView text, const TFormatSettings& settings) {
    TDateTime value;
    if (!TryStrToDateTime(text, value, settings)) RaiseConvert(text, u"date and time");
    return value;
}
