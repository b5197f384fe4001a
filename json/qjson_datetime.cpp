#include "qjson_datetime.h"

#include "RtlConvert.h"
#include "RtlDateTimeFormat.h"
#include "RtlException.h"
#include "qjson.h"

#include <cmath>
#include <cstdint>

String FormatJsonDateTime(long double AValue) {
    const TDateTime v = static_cast<TDateTime>(AValue);
    const long double days = std::trunc(AValue);
    if (days == 0 && AValue != 0) return FormatDateTime(TimeOnlyFormat, v);
    if (AValue == days) return FormatDateTime(DateOnlyFormat, v);
    return FormatDateTime(DateTimeFormat, v);
}

String FormatJavaDateTime(long double AValue) {
    std::int64_t count = DateTimeToMilliseconds(static_cast<TDateTime>(AValue)) -
                         std::int64_t(UnixDateDelta) * MSecsPerDay;
    const bool zoned = JavaTimeZone >= -12 && JavaTimeZone <= 12;
    if (zoned) count -= std::int64_t(JavaTimeZone) * 3600000;
    if (JavaTimeInSeconds) count /= 1000;
    String out = u"/DATE(" + IntToStr(count);
    if (zoned) {
        if (JavaTimeZone >= 0) out.push_back(u'+');
        out += IntToStr(JavaTimeZone);
    }
    return out + u")/";
}

namespace {

class Cursor {
public:
    explicit Cursor(StringView s) : FText(s) {}
    bool AtEnd() const { return FPos >= FText.size(); }
    bool Take(char16_t c) {
        if (AtEnd() || FText[FPos] != c) return false;
        ++FPos;
        return true;
    }
    bool TakeText(StringView s) {
        if (FText.substr(FPos, s.size()) != s) return false;
        FPos += s.size();
        return true;
    }
    // Between minDigits and maxDigits decimal digits.
    bool Number(int minDigits, int maxDigits, std::int64_t& value) {
        value = 0;
        int n = 0;
        while (!AtEnd() && n < maxDigits && FText[FPos] >= u'0' && FText[FPos] <= u'9') {
            value = value * 10 + (FText[FPos++] - u'0');
            ++n;
        }
        return n >= minDigits;
    }
    std::size_t Pos() const { return FPos; }
    void SetPos(std::size_t p) { FPos = p; }

private:
    StringView FText;
    std::size_t FPos = 0;
};

bool ReadDate(Cursor& c, TDateTime& value) {
    std::int64_t y, m, d;
    return c.Number(4, 4, y) && c.Take(u'-') && c.Number(1, 2, m) && c.Take(u'-') &&
           c.Number(1, 2, d) &&
           TryEncodeDate(static_cast<int>(y), static_cast<int>(m), static_cast<int>(d), value);
}

bool ReadTime(Cursor& c, TDateTime& value) {
    std::int64_t h, n, s = 0, ms = 0;
    if (!c.Number(1, 2, h) || !c.Take(u':') || !c.Number(2, 2, n)) return false;
    if (c.Take(u':')) {
        if (!c.Number(2, 2, s)) return false;
        if (c.Take(u'.')) {
            // Milliseconds: the first three digits of the fraction, the rest ignored.
            std::int64_t frac;
            const std::size_t from = c.Pos();
            if (!c.Number(1, 3, frac)) return false;
            for (std::size_t k = c.Pos() - from; k < 3; ++k)
                frac *= 10;
            ms = frac;
            std::int64_t rest;
            c.Number(0, 1000, rest);
        }
    }
    return TryEncodeTime(static_cast<int>(h), static_cast<int>(n), static_cast<int>(s),
                         static_cast<int>(ms), value);
}

bool ReadJava(Cursor& c, TDateTime& value) {
    if (!c.TakeText(u"/DATE(")) return false;
    const bool negative = c.Take(u'-');
    std::int64_t count;
    // 15 digits of milliseconds already span far more than the calendar.
    if (!c.Number(1, 15, count)) return false;
    if (negative) count = -count;
    int zoneSign = 0;
    if (c.Take(u'+'))
        zoneSign = 1;
    else if (c.Take(u'-'))
        zoneSign = -1;
    std::int64_t zone = 0;
    if (zoneSign != 0) {
        if (!c.Number(1, 2, zone) || zone > 12) return false;
        zone *= zoneSign;
    }
    if (!c.TakeText(u")/")) return false;
    const std::int64_t ms = (JavaTimeInSeconds ? count * 1000 : count) + zone * 3600000 +
                            std::int64_t(UnixDateDelta) * MSecsPerDay;
    try {
        value = MillisecondsToDateTime(ms);
    } catch (const EConvertError&) {
        return false; // outside the calendar
    }
    return true;
}

} // namespace

bool TryParseJsonDateTime(StringView AText, TDateTime& AValue) {
    const String text = Trim(AText);
    Cursor c(text);
    TDateTime date = 0, time = 0;
    if (ReadJava(c, AValue)) return c.AtEnd();
    c.SetPos(0);
    if (ReadDate(c, date)) {
        if (c.AtEnd()) {
            AValue = date;
            return true;
        }
        if (!c.Take(u'T') && !c.Take(u' ')) return false;
        if (!ReadTime(c, time)) return false;
        c.Take(u'Z');
        if (!c.AtEnd()) return false;
        // Before 1899-12-30 the fraction counts backwards from the day.
        AValue = date < 0 ? date - time : date + time;
        return true;
    }
    c.SetPos(0);
    if (ReadTime(c, time) && c.AtEnd()) {
        AValue = time;
        return true;
    }
    return false;
}
