#include "clZLibBase.h"

#include <utility>

EclZLibError::EclZLibError(String message, std::int32_t errorCode)
    : Exception(std::move(message)), FErrorCode(errorCode) {}

String ZLibErrorMessage(std::int32_t errorCode) {
    switch (errorCode) {
    case zeOldInputNotProcessed:
        return u"Old input was not completely processed";
    case zeInvalidStreamOperation:
        return u"Invalid Stream operation";
    case zeInvalidCrc:
        return u"Uncompressing error - invalid crc";
    case zeInvalidDataSize:
        return u"Uncompressing error - invalid data size";
    case zeNotByteAligned:
        return u"Bit buffer is not byte aligned";
    case zeArgumentOutOfRange:
        return u"Argument out of range";
    case zeStaticTreeIllegal:
        return u"Static tree length illegal";
    case zeWindowFull:
        return u"Window is full";
    case zeInvalidOperation:
        return u"Invalid operation";
    case zeHeaderChecksum:
        return u"Header checksum illegal";
    case zeUnknownMethod:
        return u"Compression Method unknown";
    case zeUnknownMode:
        return u"Inflater unknown mode";
    case zeAdlerMismatch:
        return u"Adler chksum doesn't match";
    // The trailing blank is part of the established text.
    case zeUnknownBlockType:
        return u"Unknown block type ";
    case zeBrokenStoredBlock:
        return u"Broken uncompressed block";
    case zeNeedDictionary:
        return u"Need a dictionary";
    case zeInvalidLitLenCode:
        return u"Invalid literal/length code";
    case zeInvalidDistanceCode:
        return u"Invalid distance code";
    case zeTooManyCodes:
        return u"Too many length or distance codes";
    case zeOversubscribedCodes:
        return u"Over-subscribed code lengths set";
    case zeIncompleteCodes:
        return u"Incomplete code lengths set";
    case zeMissingEndOfBlock:
        return u"Missing end-of-block code";
    case zeDistanceTooFar:
        return u"Invalid distance - too far back";
    default:
        return u"Unknown error";
    }
}

void RaiseZLibError(std::int32_t errorCode) {
    throw EclZLibError(ZLibErrorMessage(errorCode), errorCode);
}
