// Locale format settings used by number and date-time conversion.
//
// The process's settings are fixed (the program reads no configuration and the
// system's locale does not leak into cache files): date separator "-", time
// separator ":", decimal separator ".", short date "yyyy-mm-dd", long time
// "hh:nn:ss", English month and day names. The "current" settings and those
// built for the user's default locale are the same values.
#pragma once

#include "RtlString.h"

#include <array>

struct TFormatSettings {
    char16_t DateSeparator = u'-';
    char16_t TimeSeparator = u':';
    char16_t DecimalSeparator = u'.';
    char16_t ThousandSeparator = u',';
    char16_t ListSeparator = u',';
    String ShortDateFormat = u"yyyy-mm-dd";
    String LongDateFormat = u"dddd, mmmm d, yyyy";
    String ShortTimeFormat = u"hh:nn";
    String LongTimeFormat = u"hh:nn:ss";
    String TimeAMString = u"AM";
    String TimePMString = u"PM";
    std::array<String, 12> ShortMonthNames{u"Jan", u"Feb", u"Mar", u"Apr", u"May", u"Jun",
                                           u"Jul", u"Aug", u"Sep", u"Oct", u"Nov", u"Dec"};
    std::array<String, 12> LongMonthNames{u"January", u"February", u"March",     u"April",
                                          u"May",     u"June",     u"July",      u"August",
                                          u"September", u"October", u"November", u"December"};
    // Index 0 is Sunday.
    std::array<String, 7> ShortDayNames{u"Sun", u"Mon", u"Tue", u"Wed", u"Thu", u"Fri", u"Sat"};
    std::array<String, 7> LongDayNames{u"Sunday",   u"Monday", u"Tuesday", u"Wednesday",
                                       u"Thursday", u"Friday", u"Saturday"};
    // Two-digit years are taken within 50 years of now (0 = always this century).
    int TwoDigitYearCenturyWindow = 50;

    // Settings for a locale identifier. Every identifier, the user default
    // (0x400) included, gives the process's fixed settings.
    static TFormatSettings Create(unsigned localeId = 0x400);
};

// The process's current settings (read-only: they are fixed).
const TFormatSettings& FormatSettings();

constexpr unsigned LOCALE_USER_DEFAULT = 0x400;
