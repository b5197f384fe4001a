// Text encodings: conversion between String and bytes, byte-order marks
// (preambles) and their detection.
//
// The standard encodings are process-wide singletons and are never freed. An
// encoding made with `new` belongs to whoever made it (or to a string stream
// that was told to own it).
#pragma once

#include "RtlString.h"

#include <cstdint>
#include <memory>

// The system's "ANSI code page" is UTF-8: the one project-wide setting that
// the string list, the charset translator, the JSON writer and the
// authorization schemes read.
constexpr std::uint32_t CP_UTF8 = 65001;
constexpr std::uint32_t CP_UTF16LE = 1200;
constexpr std::uint32_t CP_UTF16BE = 1201;
constexpr std::uint32_t kAnsiCodePage = CP_UTF8;

class TEncoding {
public:
    virtual ~TEncoding();

    virtual TBytes GetBytes(StringView text) const = 0;
    virtual String GetString(const std::uint8_t* data, std::size_t size) const = 0;
    String GetString(const TBytes& bytes) const { return GetString(bytes.data(), bytes.size()); }
    // The byte-order mark written in front of text in this encoding (may be empty).
    virtual TBytes GetPreamble() const = 0;
    virtual std::uint32_t CodePage() const = 0;
    virtual String EncodingName() const = 0;
    // A new encoding that behaves like this one, for holders (such as string
    // lists) that must keep an encoding after its creator has freed it.
    virtual std::unique_ptr<TEncoding> Clone() const = 0;

    // The standard encodings.
    static TEncoding* UTF8();             // with preamble EF BB BF
    static TEncoding* Unicode();          // UTF-16 LE, preamble FF FE
    static TEncoding* BigEndianUnicode(); // UTF-16 BE, preamble FE FF
    static TEncoding* ANSI();             // the ANSI code page: UTF-8, no preamble
    static TEncoding* Default() { return ANSI(); }

    static bool IsStandardEncoding(const TEncoding* encoding);

    // Detects a preamble at the start of `data`. When `encoding` is null it is
    // set to the encoding whose preamble matches (UTF-8, UTF-16 LE or BE), or to
    // Default() when none does; the result is the preamble's length (0 when
    // none). When `encoding` is already set, the result is the length of its
    // preamble if the data starts with it, else 0.
    static std::size_t GetBufferEncoding(const std::uint8_t* data, std::size_t size,
                                         TEncoding*& encoding);
};

class TUTF8Encoding : public TEncoding {
public:
    explicit TUTF8Encoding(bool emitPreamble = true) : FPreamble(emitPreamble) {}
    TBytes GetBytes(StringView text) const override;
    String GetString(const std::uint8_t* data, std::size_t size) const override;
    using TEncoding::GetString;
    TBytes GetPreamble() const override;
    std::uint32_t CodePage() const override { return CP_UTF8; }
    String EncodingName() const override { return u"utf-8"; }
    std::unique_ptr<TEncoding> Clone() const override {
        return std::make_unique<TUTF8Encoding>(FPreamble);
    }

private:
    bool FPreamble;
};

class TUnicodeEncoding : public TEncoding {
public:
    TBytes GetBytes(StringView text) const override;
    String GetString(const std::uint8_t* data, std::size_t size) const override;
    using TEncoding::GetString;
    TBytes GetPreamble() const override { return {0xFF, 0xFE}; }
    std::uint32_t CodePage() const override { return CP_UTF16LE; }
    String EncodingName() const override { return u"utf-16"; }
    std::unique_ptr<TEncoding> Clone() const override {
        return std::make_unique<TUnicodeEncoding>();
    }
};

class TBigEndianUnicodeEncoding : public TEncoding {
public:
    TBytes GetBytes(StringView text) const override;
    String GetString(const std::uint8_t* data, std::size_t size) const override;
    using TEncoding::GetString;
    TBytes GetPreamble() const override { return {0xFE, 0xFF}; }
    std::uint32_t CodePage() const override { return CP_UTF16BE; }
    String EncodingName() const override { return u"utf-16be"; }
    std::unique_ptr<TEncoding> Clone() const override {
        return std::make_unique<TBigEndianUnicodeEncoding>();
    }
};
