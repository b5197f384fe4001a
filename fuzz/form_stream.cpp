// Form-stream reader on arbitrary bytes. Input that parses must write back,
// re-read to the same tree, write to the same bytes again, and be skippable
// value by value to the same end position.
#include "RtlException.h"
#include "RtlFormStream.h"

#include <cstdint>
#include <cstdlib>

namespace {

// Walks an object record with SkipValue for every property value.
void SkipObject(TReader& reader) {
    TReader::TNesting nesting(reader);
    std::uint8_t flags;
    std::int32_t childPos;
    reader.ReadPrefix(flags, childPos);
    reader.ReadStr();
    reader.ReadStr();
    while (!reader.EndOfList()) {
        reader.ReadStr();
        reader.SkipValue();
    }
    reader.ReadListEnd();
    while (!reader.EndOfList())
        SkipObject(reader);
    reader.ReadListEnd();
}

bool StartsWith(const String& text, StringView prefix) {
    return text.size() >= prefix.size() && StringView(text).substr(0, prefix.size()) == prefix;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TBytesStream input(TBytes(data, data + size));
    TFormObject tree;
    std::int64_t end;
    try {
        TReader reader(input);
        reader.ReadSignature();
        tree = ReadFormObject(reader);
        end = reader.Position();
    } catch (const EReadError&) {
        return 0; // malformed input is reported, never more
    }

    input.SetPosition(0);
    TReader skipper(input);
    skipper.ReadSignature();
    SkipObject(skipper);
    if (skipper.Position() != end) std::abort();

    TBytesStream written;
    try {
        WriteFormStream(written, tree);
    } catch (const EWriteError& e) {
        // 8-bit text with invalid UTF-8 decodes to replacement characters,
        // which may no longer fit a short string; nothing else may fail.
        if (!StartsWith(e.Message(), u"Text too long for a short string")) std::abort();
        return 0;
    }
    TBytesStream reread(written.DataBytes());
    const TFormObject back = ReadFormStream(reread);
    if (!(back == tree)) std::abort();
    TBytesStream again;
    WriteFormStream(again, back);
    if (again.DataBytes() != written.DataBytes()) std::abort();
    return 0;
}
