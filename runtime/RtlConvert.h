// Number <-> text conversions with the runtime's exact forms. Failed
// conversions raise EConvertError.
#pragma once

#include "RtlFormatSettings.h"
#include "RtlString.h"

#include <cstdint>
#include <optional>

String IntToStr(std::int64_t value);
String UIntToStr(std::uint64_t value);
// Upper-case hexadecimal, zero-padded to at least `digits`.
String IntToHex(std::uint64_t value, int digits);

// Integers: optional blanks in front, an optional sign, then decimal digits, or
// "$", "0x"/"0X" and hexadecimal digits. Anything else, or a value outside the
// target range, fails: "'<text>' is not a valid integer value".
bool TryStrToInt64(StringView text, std::int64_t& value);
bool TryStrToInt(StringView text, int& value);
std::int64_t StrToInt64(StringView text);
int StrToInt(StringView text);
std::int64_t StrToInt64Def(StringView text, std::int64_t fallback);
int StrToIntDef(StringView text, int fallback);

// Floats. Text form for reading: blanks around, optional sign, digits with one
// decimal separator, optional exponent ("E"/"e", sign, digits). Failures say
// "'<text>' is not a valid floating point value".
bool TryStrToFloat(StringView text, long double& value,
                   const TFormatSettings& settings = FormatSettings());
long double StrToFloat(StringView text, const TFormatSettings& settings = FormatSettings());

// General format with `precision` significant digits (15 for FloatToStr): the
// shortest text without trailing zeros; exponent form "E", an optional "-" and
// the exponent digits without leading zeros or "+" when the decimal exponent is
// below -4 or at least `precision`. So 0.0001 stays plain, 0.00001 is "1E-5",
// 1e15 is "1E15". NaN and infinities give "NAN", "INF" and "-INF".
String FloatToStrGeneral(long double value, int precision,
                         const TFormatSettings& settings = FormatSettings());
String FloatToStr(long double value, const TFormatSettings& settings = FormatSettings());

// Fixed notation with `decimals` digits after the separator (printf "%.*f").
String FloatToStrFixed(long double value, int decimals,
                       const TFormatSettings& settings = FormatSettings());

// "True"/"False" (or "-1"/"0" when useBoolStrs is false), and the reverse:
// "true"/"false" in any case, or a number (zero is false).
String BoolToStr(bool value, bool useBoolStrs = true);
bool TryStrToBool(StringView text, bool& value);
bool StrToBool(StringView text);
