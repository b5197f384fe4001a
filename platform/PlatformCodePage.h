// Code pages: conversion between UTF-16 text and bytes in a character set
// named the way HTTP and MIME name it ("utf-8", "ISO-8859-1", "gbk", ...).
//
// A name is trimmed, cut down to the characters [A-Za-z0-9._:+-] (so nothing
// else, such as converter options after a comma, reaches the converter
// library), and mapped through a small alias table so that names resolve the
// way the Windows code-page lookup resolves them. An empty or unknown name
// means the ANSI code page, which is UTF-8. Characters that the target lacks
// are written as "?".
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct UConverter;

namespace platform {

// The converter name a charset name resolves to (for example "UTF-8" for an
// empty or unknown name, "windows-936-2000" for "gb2312").
std::string CodePageResolvedName(std::u16string_view charSet);

// One opened converter. Each conversion starts from the converter's initial
// state and flushes at the end, so stateful encodings are handled whole.
class TCodePage {
public:
    explicit TCodePage(std::u16string_view charSet);
    ~TCodePage();
    TCodePage(const TCodePage&) = delete;
    TCodePage& operator=(const TCodePage&) = delete;

    const std::string& Name() const { return FName; }
    // False for encodings whose code units are wider than a byte (UTF-16,
    // UTF-32): there a zero byte is part of a character, never a terminator.
    bool IsByteOriented() const { return FByteOriented; }

    // Both report false only when the converter itself fails (resources,
    // sizes beyond its limits); unmappable characters never fail.
    bool Encode(std::u16string_view text, std::vector<std::uint8_t>& bytes) const;
    bool Decode(const std::uint8_t* data, std::size_t size, std::u16string& text) const;

private:
    UConverter* FConverter = nullptr;
    std::string FName;
    bool FByteOriented = true;
};

} // namespace platform
