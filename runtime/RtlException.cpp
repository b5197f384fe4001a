#include "RtlException.h"

#include "PlatformError.h"

Exception::Exception(String message) : FMessage(std::move(message)), FUtf8(StringToUtf8(FMessage)) {}

Exception::~Exception() = default;

void Exception::SetMessage(String message) {
    FMessage = std::move(message);
    FUtf8 = StringToUtf8(FMessage);
}

EOSError::EOSError(String message, std::int32_t errorCode)
    : Exception(std::move(message)), FErrorCode(errorCode) {}

void RaiseLastOSError(StringView context) {
    const int code = PlatformLastError();
    String text = Utf8ToString(PlatformErrorText(code));
    if (!context.empty()) text = String(context) + u": " + text;
    throw EOSError(text, code);
}
