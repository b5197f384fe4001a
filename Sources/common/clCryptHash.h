// Message digests computed by the platform's cryptography service, and the
// MD5 text digest that Digest authentication writes.
#pragma once

#include "RtlString.h"
#include "clCryptUtils.h"

#include <cstdint>

class TclHash {
public:
    virtual ~TclHash() = default;
    // (Re)starts a digest.
    virtual void Init() = 0;
    virtual std::int32_t GetBlockSize() = 0;
    // Adds ALen bytes of ABuffer from offset AStart.
    virtual void Update(const std::uint8_t* ABuffer, std::int32_t AStart, std::int32_t ALen) = 0;
    // The digest of everything added since Init; the object is then ready for
    // a new digest.
    virtual TBytes Digest() = 0;
};

// A hash object of the platform provider. Nothing is acquired before Init.
class TclCryptApiHash : public TclHash {
public:
    TclCryptApiHash() = default;
    ~TclCryptApiHash() override;
    TclCryptApiHash(const TclCryptApiHash&) = delete;
    TclCryptApiHash& operator=(const TclCryptApiHash&) = delete;

    void Init() override;
    std::int32_t GetBlockSize() override { return FBlockSize; }
    // Before Init raises EclCryptError.
    void Update(const std::uint8_t* ABuffer, std::int32_t AStart, std::int32_t ALen) override;
    TBytes Digest() override;

protected:
    virtual std::uint32_t AlgorithmId() = 0;
    virtual String ProviderName() = 0;
    virtual std::uint32_t ProviderType() = 0;

private:
    void Clear();

    std::uintptr_t FContext = 0;
    std::uintptr_t FHash = 0;
    std::int32_t FBlockSize = 0;
    std::string FCSPPtr; // the provider name handed to the platform
};

class TclMd5 : public TclCryptApiHash {
protected:
    std::uint32_t AlgorithmId() override;
    String ProviderName() override;
    std::uint32_t ProviderType() override;
};

// The MD5 digest of the text's bytes in the ANSI code page, as 32 lower-case
// hexadecimal digits; the empty text gives the empty text.
String Md5HexOfText(StringView AText);
