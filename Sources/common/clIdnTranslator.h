// International host names to their ASCII form: every label that holds a
// character of 128 or more becomes "xn--" followed by its Punycode. No case
// folding or other name preparation is applied, so basic characters keep
// their case.
#pragma once

#include "RtlException.h"
#include "RtlString.h"

class EclIdnError : public Exception {
public:
    using Exception::Exception;
};

class TclIdnTranslator {
public:
    TclIdnTranslator() = delete;

    // Translates each "."-separated label; an all-ASCII host comes back as is.
    static String GetAscii(StringView AInput);
    // One label. Raises EclIdnError when the label is too long to encode.
    static String GetAsciiText(StringView AInput);
    // True when every character is below 128 (an empty text is basic).
    static bool IsBasic(StringView AInput);
};
