// The lenient JSON text parser. Besides standard JSON it accepts comments,
// single-quoted and unquoted names, single-quoted strings, hexadecimal
// numbers, true/false/null in any case, missing values, missing commas after
// containers and trailing commas; text after the top-level container is not
// examined. Each step returns an error code (0 = success); the caller turns a
// code into an EJsonError with line, column and the offending line.
#pragma once

#include "qjson.h"

// Error codes of the parse steps.
enum : int {
    kJsonOk = 0,
    kJsonStrictQuote = 1,   // strict mode: a string in single quotes
    kJsonInvalid = 2,       // no JSON document, an unclosed container, no readable value
    kJsonStrictComment = 3, // strict mode: a comment
    kJsonBadComment = 4,    // a "/" that starts no comment
    kJsonEndExpected = 5,   // a value not followed by ",", "]" or "}"
    kJsonStrictName = 6,    // strict mode: a name not in double quotes
    kJsonNameNotEnded = 7,  // a name not followed by ":"
    kJsonNameNotClosed = 8  // a quoted name without its closing quote
};

// The message text of an error code.
String JsonErrorMessage(int ACode);

// The error for a failure at APos in the text [AStart, AEnd): row and column
// (1-based; a surrogate pair is one column) and the offending line, cut to a
// window with a caret line under it when the line is very long.
EJsonError JsonParseError(const String& AMessage, const char16_t* AStart, const char16_t* AEnd,
                          const char16_t* APos);

class TQJsonParser {
public:
    // Nesting deeper than this is refused (code 2): every operation on a tree
    // recurses once per level, and the stack must not run out.
    static constexpr int kMaxDepth = 1000;

    TQJsonParser(const char16_t* AStart, const char16_t* AEnd);

    // One document into ANode: a leading comment, then an object or array.
    // Returns the error code; exceptions of the steps pass out.
    int ReadDocument(TQJson* ANode);
    // Skips blanks and comments (used between documents).
    void SkipBlanksAndComments();
    const char16_t* Position() const { return p; }
    bool AtEnd() const { return p >= FEnd; }

    // Reads AText as exactly one JSON value of any kind into ANode (blanks
    // and comments around it allowed); false, with ANode in an unspecified
    // state, when the text is anything else.
    static bool TryReadValueText(TQJson* ANode, const String& AText);

private:
    // Called around every value: when nothing is to be skipped (the usual
    // case in compact text) it returns at once.
    int SkipGap(String* AComment, char16_t APrev) {
        if (p<FEnd&& * p> u' ' && *p != u'/' && *p < 0xA0 && !(StrictJson && APrev == u',')) {
            if (AComment) AComment->clear();
            return kJsonOk;
        }
        return SkipGapSlow(AComment, APrev);
    }
    int SkipGapSlow(String* AComment, char16_t APrev);
    void SkipBlanks() {
        while (p < FEnd && IsQBlank(*p))
            ++p;
    }
    int ReadNode(TQJson* ANode, int ADepth);
    int ReadContainer(TQJson* ANode, int ADepth);
    int ReadMemberName(TQJson* ANode);
    int ReadScalar(TQJson* ANode, int ADepth);
    int ReadNumberValue(TQJson* ANode);
    int ReadLongInteger(TQJson* ANode);
    bool ReadKeyword(TQJson* ANode);
    // A quoted string straight into the node when it holds no escape (the
    // common case), else through the builder.
    bool ReadStringValue(TQJson* ANode);
    bool IsDelimiter() const { return p < FEnd && (*p == u',' || *p == u']' || *p == u'}'); }

    const char16_t* p;
    const char16_t* const FStart;
    const char16_t* const FEnd;
    TQStringCatHelperW FBuilder;
    String FComment;
};
