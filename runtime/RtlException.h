// The runtime's exception classes. Every error of the system is an Exception
// (or a class derived from it) carrying a UTF-16 message; what() gives the
// same message in UTF-8 for tools and test output.
#pragma once

#include "RtlString.h"

#include <cstdint>
#include <exception>

class Exception : public std::exception {
public:
    explicit Exception(String message);
    ~Exception() override;

    const String& Message() const { return FMessage; }
    void SetMessage(String message);
    const char* what() const noexcept override { return FUtf8.c_str(); }

private:
    String FMessage;
    std::string FUtf8;
};

#define RTL_EXCEPTION(Name, Base)                                                              \
    class Name : public Base {                                                                 \
    public:                                                                                    \
        using Base::Base;                                                                      \
    }

// Silent exception: the default handler shows nothing for it.
RTL_EXCEPTION(EAbort, Exception);
RTL_EXCEPTION(EConvertError, Exception);
RTL_EXCEPTION(EArgumentException, Exception);
RTL_EXCEPTION(EArgumentOutOfRangeException, EArgumentException);
RTL_EXCEPTION(ERangeError, Exception);
RTL_EXCEPTION(EListError, Exception);
RTL_EXCEPTION(EInvalidOperation, Exception);
RTL_EXCEPTION(EInvalidPointer, Exception);
RTL_EXCEPTION(ENotSupportedException, Exception);
RTL_EXCEPTION(EComponentError, Exception);
// A caller broke an operation's precondition (a usage error, not bad input).
RTL_EXCEPTION(EAssertionFailed, Exception);

// Stream and file errors.
RTL_EXCEPTION(EStreamError, Exception);
RTL_EXCEPTION(EFCreateError, EStreamError);
RTL_EXCEPTION(EFOpenError, EStreamError);
RTL_EXCEPTION(EFilerError, EStreamError);
RTL_EXCEPTION(EReadError, EFilerError);
RTL_EXCEPTION(EWriteError, EFilerError);
RTL_EXCEPTION(EClassNotFound, EFilerError);

// An operating-system failure with its error number.
class EOSError : public Exception {
public:
    EOSError(String message, std::int32_t errorCode);
    std::int32_t ErrorCode() const { return FErrorCode; }

private:
    std::int32_t FErrorCode;
};

// Raises EOSError for the calling thread's last system error (errno), with the
// system's text for it and `context` in front when given.
[[noreturn]] void RaiseLastOSError(StringView context = {});
