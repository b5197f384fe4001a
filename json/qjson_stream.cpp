// Documents in streams and files: the document's text in one of the four
// byte encodings, reading it back, and a node's value as raw bytes.
#include "qjson.h"

#include "RtlFileStream.h"

namespace {

// One character of the stream in the encoding, appended to `out`; false at
// the end of the stream.
bool ReadStreamChar(TStream& AStream, TTextEncoding AEncoding, String& out) {
    std::uint8_t b[4];
    if (AEncoding == teUnicode16LE || AEncoding == teUnicode16BE) {
        if (AStream.Read(b, 2) < 2) return false;
        out.push_back(AEncoding == teUnicode16LE ? static_cast<char16_t>(b[0] | b[1] << 8)
                                                 : static_cast<char16_t>(b[0] << 8 | b[1]));
        return true;
    }
    // UTF-8 (the ANSI code page too): a lead byte, then only the continuation
    // bytes that are there, so a broken sequence never swallows a brace.
    if (AStream.Read(b, 1) < 1) return false;
    const std::size_t want = b[0] < 0xC0 ? 1 : b[0] < 0xE0 ? 2 : b[0] < 0xF0 ? 3 : 4;
    std::size_t n = 1;
    while (n < want) {
        if (AStream.Read(b + n, 1) < 1) break;
        if ((b[n] & 0xC0) != 0x80) {
            AStream.Seek(-1, TSeekOrigin::soCurrent);
            break;
        }
        ++n;
    }
    out += Utf8ToString(b, n);
    return true;
}

} // namespace

void TQJson::SaveToStream(TStream& AStream, TTextEncoding AEncoding, bool AWriteBom,
                          bool ADoFormat) const {
    TQStringCatHelperW text;
    if (IsContainer()) {
        // Straight from the builder: the text is not copied once more.
        EncodeTo(text, ADoFormat ? TJsonEncodeSettings(jesDoFormat) : TJsonEncodeSettings(), u"  ");
    } else if (FDataType == jdtNull || FDataType == jdtUnknown) {
        if (!FName.empty()) text.Cat(u"{\"" + Escape(FName) + u"\":null}");
    } else {
        // A scalar is only a document as the member of an object.
        if (FName.empty()) throw Exception(u"项目名称未找到。");
        text.Cat(u"{\"" + Escape(FName) + u"\":" + Encode(true, false, u"  ") + u"}");
    }
    SaveTextW(AStream, text.View(), AEncoding, AWriteBom);
}

void TQJson::SaveToFile(const String& AFileName, TTextEncoding AEncoding, bool AWriteBom,
                        bool ADoFormat) const {
    // Encode completely first, then replace the file in one step: a failure
    // on either side leaves the old file as it was, never a truncated one.
    TMemoryStream bytes;
    SaveToStream(bytes, AEncoding, AWriteBom, ADoFormat);
    SaveBytesToFileAtomic(AFileName, bytes.Memory(), static_cast<std::size_t>(bytes.GetSize()));
}

void TQJson::LoadFromStream(TStream& AStream, TTextEncoding AEncoding) {
    const String text = LoadTextW(AStream, AEncoding);
    if (text.empty()) {
        SetDataType(jdtNull);
        return;
    }
    if (text.size() == 1) throw EJsonError(u"当前内容不是有效的JSON字符串。", 1, 1);
    Parse(text);
}

void TQJson::LoadFromFile(const String& AFileName, TTextEncoding AEncoding) {
    TFileStream stream(AFileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(stream, AEncoding);
}

void TQJson::ParseBlock(TStream& AStream, TTextEncoding AEncoding) {
    if (AEncoding != teAnsi && AEncoding != teUTF8 && AEncoding != teUnicode16LE &&
        AEncoding != teUnicode16BE)
        throw Exception(u"无效的编码，编码只能是UTF-8，ANSI，Unicode 16 LE，Unicode 16 BE。");
    // Up to the first "{", then until every brace opened since is closed;
    // braces inside strings and comments count too.
    String text;
    int depth = 0;
    bool opened = false;
    while (!(opened && depth == 0) && ReadStreamChar(AStream, AEncoding, text)) {
        const char16_t c = text.back();
        if (c == u'{') {
            opened = true;
            ++depth;
        } else if (c == u'}' && opened) {
            --depth;
        }
    }
    // A byte-order mark in front of the block is no part of the document.
    if (!text.empty() && text[0] == 0xFEFF) text.erase(0, 1);
    Parse(text);
}

// --- the value as bytes -----------------------------------------------------------------

void TQJson::ValueFromStream(TStream& AStream, std::int64_t ACount) {
    TBytes bytes;
    if (ACount <= 0) {
        bytes = AStream.ReadAll();
    } else {
        bytes.resize(static_cast<std::size_t>(ACount));
        AStream.ReadBuffer(bytes.data(), ACount);
    }
    SetAsBytes(bytes);
}

void TQJson::StreamFromValue(TStream& AStream) const {
    AStream.WriteBytes(GetAsBytes());
}

void TQJson::ValueFromFile(const String& AFileName) {
    TFileStream stream(AFileName, fmOpenRead | fmShareDenyWrite);
    ValueFromStream(stream, 0);
}

void TQJson::FileFromValue(const String& AFileName) const {
    const TBytes bytes = GetAsBytes();
    SaveBytesToFileAtomic(AFileName, bytes.data(), bytes.size());
}
