// Errors of the network transport.
#pragma once

#include "RtlException.h"

#include <cstdint>

// A transport failure: a platform error number, or a negative code of the
// transport itself.
class EclSocketError : public Exception {
public:
    EclSocketError(String message, std::int32_t errorCode)
        : Exception(std::move(message)), FErrorCode(errorCode) {}
    std::int32_t ErrorCode() const { return FErrorCode; }

private:
    std::int32_t FErrorCode;
};
