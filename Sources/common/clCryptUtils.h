// The error type of the hashing classes and the rule that turns a failing
// platform cryptography call into it.
#pragma once

#include "RtlException.h"

#include <cstdint>

class EclCryptError : public Exception {
public:
    EclCryptError(String message, std::int32_t errorCode);
    std::int32_t ErrorCode() const { return FErrorCode; }

private:
    std::int32_t FErrorCode;
};

// Raises EclCryptError for `errorCode`: the platform's text for it, without
// trailing blanks, control characters and full stops; without such a text,
// "<function> error - <code>".
[[noreturn]] void RaiseCryptError(StringView functionName, std::uint32_t errorCode);
// Same, with the platform's last cryptography error.
[[noreturn]] void RaiseLastCryptError(StringView functionName);

// Lower-case hexadecimal digits of bytes, two per byte, no separator.
String BytesToHexLower(const TBytes& bytes);
