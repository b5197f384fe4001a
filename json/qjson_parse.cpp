#include "qjson_parse.h"

#include "RtlFormat.h"
#include "qjson_number.h"

#include <cstring>
#include <limits>

String JsonErrorMessage(int ACode) {
    switch (ACode) {
    case kJsonStrictQuote:
        return u"严格栻上JSON字符串必需以\"开始。";
    case kJsonInvalid:
        return u"当前内容不是有效的JSON字符串。";
    case kJsonStrictComment:
    case kJsonBadComment:
        return u"严格模式下不支持注释，要解析包括注释的JSON内容，请将StrictJson变量设置为False。";
    case kJsonEndExpected:
        return u"当前位置需要Json结束字符\",]}\"。";
    case kJsonStrictName:
        return u"Json名称应以'\"'字符开始。";
    case kJsonNameNotEnded:
        return u"Json名称未正确结束。";
    case kJsonNameNotClosed:
        return u"项目名称未找到。";
    default:
        return u"未知的错误。";
    }
}

namespace {

// Characters of [from, to): a surrogate pair counts once.
std::size_t CountChars(const char16_t* from, const char16_t* to) {
    std::size_t n = 0;
    for (const char16_t* q = from; q < to; ++q, ++n)
        if (IsHighSurrogate(*q) && q + 1 < to && IsLowSurrogate(q[1])) ++q;
    return n;
}

// Moves n characters forward (or back, n < 0) from q within [lo, hi].
const char16_t* StepChars(const char16_t* q, long n, const char16_t* lo, const char16_t* hi) {
    for (; n > 0 && q < hi; --n)
        q += IsHighSurrogate(*q) && q + 1 < hi && IsLowSurrogate(q[1]) ? 2 : 1;
    for (; n < 0 && q > lo; ++n)
        q -= IsLowSurrogate(q[-1]) && q - 1 > lo && IsHighSurrogate(q[-2]) ? 2 : 1;
    return q;
}

constexpr std::size_t kLongLine = 1024;
constexpr long kBefore = 24, kAfter = 25, kTail = 50;

} // namespace

EJsonError JsonParseError(const String& AMessage, const char16_t* AStart, const char16_t* AEnd,
                          const char16_t* APos) {
    if (APos > AEnd) APos = AEnd;
    int row = 1, col = 1;
    const char16_t* lineStart = AStart;
    for (const char16_t* q = AStart; q < APos; ++q) {
        if (*q == u'\n') {
            ++row;
            col = 1;
            lineStart = q + 1;
        } else {
            if (IsHighSurrogate(*q) && q + 1 < APos && IsLowSurrogate(q[1])) ++q;
            ++col;
        }
    }
    const char16_t* lineEnd = APos;
    while (lineEnd < AEnd && *lineEnd != u'\n')
        ++lineEnd;
    if (lineEnd > lineStart && lineEnd < AEnd && lineEnd[-1] == u'\r') --lineEnd;
    String context(lineStart, lineEnd);
    if (CountChars(lineStart, lineEnd) > kLongLine) {
        // Cut a window around the error character and mark it with a caret.
        const char16_t* errorChar = APos < lineEnd ? APos : lineEnd;
        const char16_t* afterError = StepChars(errorChar, 1, lineStart, lineEnd);
        const char16_t *from, *to;
        if (static_cast<long>(CountChars(afterError, lineEnd)) > kAfter) {
            from = StepChars(errorChar, -kBefore, lineStart, lineEnd);
            to = StepChars(afterError, kAfter, lineStart, lineEnd);
        } else {
            from = StepChars(lineEnd, -kTail, lineStart, lineEnd);
            to = lineEnd;
        }
        context.assign(from, to);
        context += u"\r\n";
        context.append(CountChars(from, errorChar), u'0');
        context.push_back(u'^');
    }
    return EJsonError(Format(u"第%d行第%d列:%s \r\n%s", {row, col, AMessage, context}), row, col);
}

// --- the parser ---------------------------------------------------------------------

TQJsonParser::TQJsonParser(const char16_t* AStart, const char16_t* AEnd)
    : p(AStart), FStart(AStart), FEnd(AEnd) {}

int TQJsonParser::SkipGapSlow(String* AComment, char16_t APrev) {
    SkipBlanks();
    if (AComment) AComment->clear();
    if (StrictJson) {
        if (p < FEnd && (*p == u'}' || *p == u']') && APrev == u',') return kJsonEndExpected;
        return kJsonOk;
    }
    while (p < FEnd && *p == u'/') {
        if (p + 1 < FEnd && p[1] == u'/') {
            // A line comment ends at LF or CR LF; a lone CR belongs to it.
            p += 2;
            const char16_t* text = p;
            while (p < FEnd && *p != u'\n' && !(*p == u'\r' && p + 1 < FEnd && p[1] == u'\n'))
                ++p;
            if (AComment) AComment->append(text, p).append(u"\r\n");
            if (p < FEnd) p += *p == u'\r' ? 2 : 1;
        } else if (p + 1 < FEnd && p[1] == u'*') {
            p += 2;
            const char16_t* text = p;
            while (p + 1 < FEnd && !(*p == u'*' && p[1] == u'/'))
                ++p;
            if (p + 1 >= FEnd) {
                p = FEnd; // unclosed: the rest of the text is skipped
                break;
            }
            if (AComment) AComment->append(text, p).append(u"\r\n");
            p += 2;
        } else {
            return kJsonBadComment;
        }
        SkipBlanks();
    }
    if (AComment && !AComment->empty()) AComment->resize(AComment->size() - 2);
    return kJsonOk;
}

void TQJsonParser::SkipBlanksAndComments() {
    SkipGap(nullptr, 0);
}

int TQJsonParser::ReadDocument(TQJson* ANode) {
    SkipGap(&FComment, 0);
    if (!FComment.empty()) ANode->SetComment(FComment);
    return ReadNode(ANode, 0);
}

int TQJsonParser::ReadNode(TQJson* ANode, int ADepth) {
    if (int code = SkipGap(&FComment, 0)) return code;
    if (!FComment.empty()) ANode->SetComment(FComment);
    if (p < FEnd && (*p == u'{' || *p == u'[')) return ReadContainer(ANode, ADepth);

    // A document must be an object or an array.
    if (!ANode->FParent) return kJsonInvalid;
    if (ANode->FParent->FDataType == jdtObject && ANode->FName.empty())
        if (int code = ReadMemberName(ANode)) return code;
    if (int code = ReadScalar(ANode, ADepth)) return code;
    // No comma is needed after a container, in objects as in arrays.
    if (ANode->IsContainer()) return kJsonOk;
    SkipGap(&FComment, 0);
    if (!FComment.empty()) ANode->SetComment(FComment);
    return IsDelimiter() ? kJsonOk : kJsonEndExpected;
}

int TQJsonParser::ReadContainer(TQJson* ANode, int ADepth) {
    if (ADepth >= kMaxDepth) return kJsonInvalid;
    const bool isObject = *p == u'{';
    const char16_t close = isObject ? u'}' : u']';
    ANode->SetDataType(isObject ? jdtObject : jdtArray);
    ++p;
    String pending;
    if (int code = SkipGap(&pending, 0)) return code;
    try {
        while (p < FEnd && *p != close) {
            TQJson* child = ANode->Add();
            if (!pending.empty()) {
                child->SetComment(pending);
                pending.clear();
            }
            if (int code = ReadNode(child, ADepth + 1)) return code;
            if (p < FEnd && *p == u',') {
                ++p;
                if (int code = SkipGap(&pending, u',')) return code;
            }
        }
    } catch (...) {
        // A container in which an error was raised loses its children.
        ANode->Clear();
        throw;
    }
    if (int code = SkipGap(nullptr, 0)) return code;
    if (p >= FEnd || *p != close) return kJsonInvalid;
    ++p;
    SkipGap(nullptr, 0);
    return kJsonOk;
}

int TQJsonParser::ReadMemberName(TQJson* ANode) {
    if (StrictJson && (p >= FEnd || *p != u'"')) return kJsonStrictName;
    const bool quoted = p < FEnd && (*p == u'"' || *p == u'\'');
    if (!TQJson::BuildJsonString(FBuilder, p, FEnd)) return kJsonNameNotClosed;
    SkipGap(nullptr, 0);
    if (p >= FEnd || *p != u':') return kJsonNameNotEnded;
    if (!quoted) FBuilder.TrimRight();
    ANode->SetNameRaw(FBuilder.GetValue());
    ++p;
    SkipGap(nullptr, 0);
    return kJsonOk;
}

bool TQJsonParser::ReadStringValue(TQJson* ANode) {
    const char16_t quote = *p;
    const char16_t* q = p + 1;
    while (q < FEnd && *q != quote && *q != u'\\')
        ++q;
    // Closed without escapes, and not a doubled quote standing for one quote.
    if (q < FEnd && *q == quote && !(q + 1 < FEnd && q[1] == quote)) {
        ANode->SetDataType(jdtString);
        ANode->FValue.AsString.assign(p + 1, q);
        p = q + 1;
        SkipBlanks();
        return true;
    }
    const bool closed = TQJson::BuildJsonString(FBuilder, p, FEnd);
    ANode->SetDataType(jdtString);
    ANode->FValue.AsString.assign(FBuilder.GetStart(), FBuilder.GetPosition());
    return closed;
}

int TQJsonParser::ReadScalar(TQJson* ANode, int ADepth) {
    if (p < FEnd) {
        switch (*p) {
        case u'"':
            // An unclosed string takes the rest of the text.
            ReadStringValue(ANode);
            return kJsonOk;
        case u'\'':
            ReadStringValue(ANode);
            return StrictJson ? kJsonStrictQuote : kJsonOk;
        case u',':
            // A missing value reads as null: [1,,2] and {"a":,"b":1}.
            SkipGap(nullptr, 0);
            ANode->SetDataType(jdtNull);
            return kJsonOk;
        case u'[':
        case u'{':
            return ReadNode(ANode, ADepth);
        default:
            break;
        }
    }
    const char16_t* const start = p;
    long double value;
    bool isFloat;
    if (ReadNumber(p, FEnd, value, isFloat)) {
        // Nothing but blanks and comments may stand between a number and its delimiter.
        SkipGap(&FComment, 0);
        if (!FComment.empty()) ANode->SetComment(FComment);
        if (p < FEnd && !IsDelimiter()) return kJsonInvalid;
        if (!isFloat && value >= -9223372036854775808.0L && value < 9223372036854775808.0L)
            ANode->SetAsInt64(static_cast<std::int64_t>(value));
        else
            ANode->SetAsFloat(value);
        return kJsonOk;
    }
    p = start;
    if (ReadKeyword(ANode)) return kJsonOk;
    return ReadLongInteger(ANode);
}

bool TQJsonParser::ReadKeyword(TQJson* ANode) {
    // Only the prefix is compared: "nullx" leaves "x" for the delimiter check.
    auto startsWith = [this](const char16_t* word, std::size_t len) {
        if (static_cast<std::size_t>(FEnd - p) < len) return false;
        for (std::size_t i = 0; i < len; ++i)
            if (AsciiLower(p[i]) != word[i]) return false;
        return true;
    };
    if (startsWith(u"false", 5)) {
        p += 5;
        ANode->SetAsBoolean(false);
    } else if (startsWith(u"true", 4)) {
        p += 4;
        ANode->SetAsBoolean(true);
    } else if (startsWith(u"null", 4)) {
        p += 4;
        ANode->SetDataType(jdtNull);
    } else {
        return false;
    }
    SkipGap(nullptr, 0);
    return true;
}

int TQJsonParser::ReadLongInteger(TQJson* ANode) {
    // An integer too long for 64 bits: kept exactly as a decimal. Blanks and
    // comments may follow it like any other number (the writer's formatted
    // output puts a line break there).
    const char16_t* q = p;
    if (q < FEnd && (*q == u'+' || *q == u'-')) ++q;
    const char16_t* digits = q;
    while (q < FEnd && *q >= u'0' && *q <= u'9')
        ++q;
    if (q == digits) return kJsonInvalid;
    const char16_t* const numberEnd = q;
    const char16_t* const numberStart = p;
    p = q;
    SkipGap(&FComment, 0);
    if (!IsDelimiter()) return kJsonInvalid;
    TBcd value;
    if (!TryStrToBcd(StringView(numberStart, static_cast<std::size_t>(numberEnd - numberStart)),
                     value)) {
        p = numberStart;
        return kJsonInvalid; // more digits than a decimal holds
    }
    if (!FComment.empty()) ANode->SetComment(FComment);
    ANode->SetAsBcd(value);
    return kJsonOk;
}

bool TQJsonParser::TryReadValueText(TQJson* ANode, const String& AText) {
    // Wrap the text as the only element of an array so that the ordinary
    // steps read it, then take the element's value.
    TQJson holder;
    holder.SetDataType(jdtArray);
    TQJson* element = holder.Add();
    TQJsonParser parser(AText.data(), AText.data() + AText.size());
    try {
        parser.SkipGap(nullptr, 0);
        if (parser.AtEnd()) return false;
        if (parser.ReadScalar(element, 0) != kJsonOk) return false;
        parser.SkipGap(nullptr, 0);
        if (!parser.AtEnd()) return false;
    } catch (const Exception&) {
        return false;
    }
    ANode->Assign(element);
    return true;
}

// --- entry points of TQJson ------------------------------------------------------

namespace {

// Runs one whole parse of [p, end) into a node and reports failure the way the
// document parse does: a code becomes an EJsonError at the position reached,
// any other error of the runtime becomes one with its own message.
template <class Body> void RunParse(const char16_t* p, const char16_t* end, Body body) {
    TQJsonParser parser(p, end);
    int code;
    try {
        code = body(parser);
    } catch (const EJsonError&) {
        throw;
    } catch (const Exception& e) {
        throw JsonParseError(e.Message(), p, end, parser.Position());
    }
    if (code != kJsonOk) throw JsonParseError(JsonErrorMessage(code), p, end, parser.Position());
}

} // namespace

void TQJson::Parse(const String& S) {
    Parse(S.data(), S.size());
}

void TQJson::Parse(const char16_t* p, std::size_t l) {
    // Empty text leaves the node as it was, children included: a caller may
    // parse a body that turned out empty over a document it already holds.
    if (l == 0) return;
    if (IsContainer()) Clear();
    struct ParsedOnExit {
        TQJson* node;
        ~ParsedOnExit() { node->Parsed(); }
    } notify{this};
    RunParse(p, p + l, [this](TQJsonParser& parser) { return parser.ReadDocument(this); });
}

bool TQJson::TryParse(const String& S) {
    return TryParse(S.data(), S.size());
}

bool TQJson::TryParse(const char16_t* p, std::size_t l) {
    if (l == 0) return false;
    if (IsContainer()) Clear();
    try {
        TQJsonParser parser(p, p + l);
        return parser.ReadDocument(this) == kJsonOk;
    } catch (const Exception&) {
        return false;
    }
}

void TQJson::ParseMultiBlock(const String& S) {
    SetDataType(jdtArray);
    Clear();
    struct ParsedOnExit {
        TQJson* node;
        ~ParsedOnExit() { node->Parsed(); }
    } notify{this};
    const char16_t* end = S.data() + S.size();
    RunParse(S.data(), end, [this](TQJsonParser& parser) {
        parser.SkipBlanksAndComments();
        while (!parser.AtEnd()) {
            if (int code = parser.ReadDocument(Add())) return code;
            parser.SkipBlanksAndComments();
        }
        return int(kJsonOk);
    });
}

namespace {

[[noreturn]] void RaiseBadEscape(const char16_t* expected, const char16_t* p, const char16_t* end) {
    const std::size_t n = std::min<std::size_t>(4, static_cast<std::size_t>(end - p));
    throw Exception(
        Format(u"当前位置应该是 \"%s\" ，而不是 \"%s\"。", {String(expected), String(p, n)}));
}

// The escape at p (just after its backslash) into the builder; p moves to
// its last character.
void ReadEscapedChar(TQStringCatHelperW& ABuilder, const char16_t*& p, const char16_t* AEnd) {
    // The letters of the one-character escapes and what they stand for.
    static constexpr char16_t kLetters[] = u"abtnvfr";
    static constexpr char16_t kMeanings[] = {0x07, 0x08, u'\t', u'\n', 0x0B, u'\f', u'\r'};
    const char16_t c = *p;
    for (int i = 0; i < 7; ++i)
        if (c == kLetters[i]) {
            ABuilder.Cat(kMeanings[i]);
            return;
        }
    switch (c) {
    case u'\\':
    case u'\'':
    case u'"':
    case u'/': // standard JSON, so strict mode takes it too
        ABuilder.Cat(c);
        break;
    case u'u': {
        std::uint32_t unit = 0;
        for (int k = 1; k <= 4; ++k) {
            const int d = p + k < AEnd ? HexDigitValue(p[k]) : -1;
            if (d < 0) RaiseBadEscape(u"0-9A-Fa-f", p, AEnd);
            unit = unit * 16 + static_cast<std::uint32_t>(d);
        }
        ABuilder.Cat(static_cast<char16_t>(unit));
        p += 4;
        break;
    }
    default:
        if (StrictJson) RaiseBadEscape(u"btfrn\"u'/", p, AEnd);
        ABuilder.Cat(c);
        break;
    }
}

// Characters up to the closing quote (or, with AQuote < 0, to the end),
// escapes decoded and a doubled quote read as one; false when the text ends
// first. p moves past the closing quote.
bool DecodeUntilQuote(TQStringCatHelperW& ABuilder, const char16_t*& p, const char16_t* AEnd,
                      int AQuote) {
    while (p < AEnd) {
        // Copy the run up to the next quote or backslash in one piece.
        const char16_t* run = p;
        while (p < AEnd && *p != AQuote && *p != u'\\')
            ++p;
        ABuilder.Cat(run, static_cast<std::size_t>(p - run));
        if (p >= AEnd) break;
        if (*p == AQuote) {
            if (p + 1 < AEnd && p[1] == AQuote) {
                ABuilder.Cat(*p);
                p += 2;
                continue;
            }
            ++p;
            return true;
        }
        if (++p >= AEnd) break; // a backslash at the very end
        ReadEscapedChar(ABuilder, p, AEnd);
        ++p;
    }
    return false;
}

} // namespace

bool TQJson::BuildJsonString(TQStringCatHelperW& ABuilder, const char16_t*& p,
                             const char16_t* AEnd) {
    ABuilder.Reset();
    if (p < AEnd && (*p == u'"' || *p == u'\'')) {
        const char16_t quote = *p++;
        if (!DecodeUntilQuote(ABuilder, p, AEnd, quote)) return false;
        while (p < AEnd && IsQBlank(*p))
            ++p;
        return true;
    }
    // Unquoted: up to the end or one of ":", "]", ",", "}".
    const char16_t* run = p;
    while (p < AEnd && *p != u':' && *p != u']' && *p != u',' && *p != u'}')
        ++p;
    ABuilder.Cat(run, static_cast<std::size_t>(p - run));
    return true;
}

String TQJson::JsonUnescape(const String& S) {
    TQStringCatHelperW builder;
    const char16_t* p = S.data();
    const char16_t* end = S.data() + S.size();
    if (p < end && (*p == u'"' || *p == u'\'')) {
        BuildJsonString(builder, p, end);
    } else {
        // Text without quotes (what Escape gives): decode all of it, so that
        // unescaping undoes escaping and a ":" does not cut the text short.
        DecodeUntilQuote(builder, p, end, -1);
    }
    return builder.GetValue();
}
