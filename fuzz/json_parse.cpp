// Parses arbitrary bytes as a JSON document. The first byte picks the mode
// (strict or lenient) and how the rest is read (whole text with encoding
// detection, or one brace block from a stream); whatever tree results is then
// written with three mixes of the settings and walked, so that a half-built
// tree after an error is exercised too.
#include "qjson.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::uint8_t mode = data[0];
    ++data;
    --size;
    StrictJson = (mode & 1) != 0;
    TQJson doc;
    try {
        if (mode & 2) {
            TBytesStream stream(TBytes(data, data + size));
            static const TTextEncoding encodings[] = {teUTF8, teAnsi, teUnicode16LE, teUnicode16BE};
            doc.ParseBlock(stream, encodings[(mode >> 2) & 3]);
        } else {
            doc.Parse(DecodeText(data, size, teAuto));
        }
    } catch (const EJsonError&) {
    }
    StrictJson = false;
    for (std::uint8_t bits : {0, 4 | 8, 1 | 2 | 16 | 64}) {
        TJsonEncodeSettings settings;
        for (TJsonEncodeSetting s : {jesIgnoreNull, jesIgnoreDefault, jesDoFormat, jesDoEscape,
                                     jesNullAsString, jesJavaDateTime, jesWithComment})
            if (bits & static_cast<std::uint8_t>(s)) settings = settings | s;
        (void)doc.Encode(settings);
    }
    doc.ForEach(
        [](TQJson* node) {
            (void)node->GetPath();
            (void)node->GetAsString();
            (void)node->IsDateTime();
            return true;
        },
        true);
    return 0;
}
