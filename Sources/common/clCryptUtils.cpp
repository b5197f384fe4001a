#include "clCryptUtils.h"

#include "PlatformCrypt.h"
#include "RtlFormat.h"

#include <utility>

EclCryptError::EclCryptError(String message, std::int32_t errorCode)
    : Exception(std::move(message)), FErrorCode(errorCode) {}

void RaiseCryptError(StringView functionName, std::uint32_t errorCode) {
    const auto code = static_cast<std::int32_t>(errorCode);
    String text = Utf8ToString(CryptErrorText(errorCode));
    while (!text.empty() && (text.back() <= u' ' || text.back() == u'.'))
        text.pop_back();
    if (text.empty()) text = Format(u"%s error - %d", {functionName, code});
    throw EclCryptError(std::move(text), code);
}

void RaiseLastCryptError(StringView functionName) {
    RaiseCryptError(functionName, CryptLastError());
}

String BytesToHexLower(const TBytes& bytes) {
    static constexpr char16_t kDigits[] = u"0123456789abcdef";
    String s;
    s.reserve(bytes.size() * 2);
    for (std::uint8_t b : bytes) {
        s += kDigits[b >> 4];
        s += kDigits[b & 0x0F];
    }
    return s;
}
