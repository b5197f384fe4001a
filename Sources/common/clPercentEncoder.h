// Percent-encoding of text in a named character set: the shared encoder, the
// URL encoder used for request targets and the form-field encoder used for
// "application/x-www-form-urlencoded" bodies.
#pragma once

#include "RtlString.h"

#include <cstdint>

class TclPercentEncoder {
public:
    TclPercentEncoder() = default;
    virtual ~TclPercentEncoder();

    // The characters that are always escaped; with an empty set nothing is.
    const String& GetUnsafeChars() const { return FUnsafeChars; }
    void SetUnsafeChars(const String& Value);
    // Whether an existing "%" with two hexadecimal digits is copied unchanged.
    bool GetSkipEncoded() const { return FSkipEncoded; }
    void SetSkipEncoded(bool Value);

    // True for a byte of the unsafe set, a control byte or a byte of 127 and
    // above; never when the unsafe set is empty.
    virtual bool IsUnsafeChar(std::uint8_t AChar) const;
    // The byte for a plain ASCII character while decoding.
    virtual std::uint8_t DecodeChar(char16_t AChar) const;
    // The character for a safe byte while encoding.
    virtual char16_t EncodeChar(std::uint8_t AChar) const;

    // Escapes become their bytes. Characters outside ASCII that stand in the
    // text unescaped become their bytes in ACharSet. A "%" that does not
    // start a complete escape is kept as written, with whatever followed it.
    virtual TBytes DecodeToBytes(StringView AValue, StringView ACharSet) const;
    TBytes DecodeToBytes(StringView AValue) const { return DecodeToBytes(AValue, {}); }
    virtual String EncodeBytes(const TBytes& ABytes) const;
    virtual String EncodeString(StringView AValue, StringView ACharSet) const;
    virtual String DecodeString(StringView AValue, StringView ACharSet) const;

private:
    const TBytes& UnsafeCharBytes() const;

    bool FSkipEncoded = false;
    // The unsafe set in "us-ascii", built on first use.
    mutable TBytes FUnsafeCharBytes;
    String FUnsafeChars;
};

// Escapes what may not stand in a request target; keeps existing escapes.
class TclUrlEncoder : public TclPercentEncoder {
public:
    TclUrlEncoder();

    String EncodeString(StringView AValue, StringView ACharSet) const override;

    static String Encode(StringView AValue, StringView ACharSet);
    static String Decode(StringView AValue, StringView ACharSet);
};

// Escapes form field names and values: everything but letters, digits and
// "*-._", with a space written as "+".
class TclFormFieldEncoder : public TclPercentEncoder {
public:
    TclFormFieldEncoder();

    std::uint8_t DecodeChar(char16_t AChar) const override;
    char16_t EncodeChar(std::uint8_t AChar) const override;

    static String Encode(StringView AValue, StringView ACharSet);
    static String Decode(StringView AValue, StringView ACharSet);
};
