// The error type of the deflate and gzip decoders, with the codes and texts
// they raise. Invalid compressed data is reported here and nowhere else.
#pragma once

#include "RtlException.h"

#include <cstdint>

class EclZLibError : public Exception {
public:
    EclZLibError(String message, std::int32_t errorCode);
    std::int32_t ErrorCode() const { return FErrorCode; }

private:
    std::int32_t FErrorCode;
};

// Error codes of EclZLibError. The texts are fixed (see ZLibErrorMessage).
enum : std::int32_t {
    zeOldInputNotProcessed = -101,
    zeInvalidStreamOperation = -102,
    zeInvalidCrc = -103,
    zeInvalidDataSize = -104,
    zeNotByteAligned = -105,
    zeArgumentOutOfRange = -106,
    zeUnknownError = -110,
    zeStaticTreeIllegal = -111,
    zeWindowFull = -112,
    zeInvalidOperation = -113,
    zeHeaderChecksum = -114,
    zeUnknownMethod = -115,
    zeUnknownMode = -118,
    zeAdlerMismatch = -119,
    zeUnknownBlockType = -120,
    zeBrokenStoredBlock = -121,
    zeNeedDictionary = -122,
    // Invalid deflate data that a decoder must refuse rather than guess at.
    zeInvalidLitLenCode = -123,
    zeInvalidDistanceCode = -124,
    zeTooManyCodes = -125,
    zeOversubscribedCodes = -126,
    zeIncompleteCodes = -127,
    zeMissingEndOfBlock = -128,
    zeDistanceTooFar = -129,
};

// The fixed text that belongs to an error code ("Unknown error" for codes
// that have none).
String ZLibErrorMessage(std::int32_t errorCode);

[[noreturn]] void RaiseZLibError(std::int32_t errorCode);
