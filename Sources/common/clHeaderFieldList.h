// Reading and editing a block of message-header lines ("Name: value", with
// continuation lines that begin with TAB or space) kept in a caller's string
// list. The list keeps an index from lower-cased field names to the line
// where each field starts; every edit re-parses, so field indexes taken
// before an edit are stale after it.
//
// Line numbers are 0-based; character positions of items are 1-based.
#pragma once

#include "RtlStrings.h"

#include <memory>
#include <vector>

// One item of a field value ("charset=utf-8" inside a Content-Type value).
struct TclFieldItem {
    int Start = 0;      // 1-based position of the item's name; 0 when absent
    int Length = 0;     // from the name to the value's last character
    int ValueStart = 0; // 1-based position of the first character after "="
    String Value;       // raw value as written: blanks and quotes still in place
};

class TclHeaderFieldList {
public:
    TclHeaderFieldList();
    ~TclHeaderFieldList();
    TclHeaderFieldList(const TclHeaderFieldList&) = delete;
    TclHeaderFieldList& operator=(const TclHeaderFieldList&) = delete;

    // --- reading ------------------------------------------------------------
    // Rebuilds the index from line AStartFrom of ASource (not owned) up to the
    // first empty line; returns the new HeaderEnd.
    int Parse(int AStartFrom, TStrings& ASource);

    // Position of the field in FieldList (first match, any case); -1 if absent.
    int GetFieldIndex(StringView AName) const;
    // First and last line of a field (continuation lines included); -1 if absent.
    int GetFieldStart(int AIndex) const;
    int GetFieldStart(StringView AName) const { return GetFieldStart(GetFieldIndex(AName)); }
    int GetFieldEnd(int AIndex) const;
    int GetFieldEnd(StringView AName) const { return GetFieldEnd(GetFieldIndex(AName)); }
    // The name as spelled in the source.
    String GetFieldName(int AIndex) const;
    String GetFieldName(StringView AName) const { return GetFieldName(GetFieldIndex(AName)); }
    // The unfolded value, trimmed; empty when the field is absent.
    String GetFieldValue(int AIndex) const;
    String GetFieldValue(StringView AName) const { return GetFieldValue(GetFieldIndex(AName)); }
    // Replaces AFieldSource's lines with the field's lines.
    void GetFieldSource(int AIndex, TStrings& AFieldSource) const;
    void GetFieldSource(StringView AName, TStrings& AFieldSource) const {
        GetFieldSource(GetFieldIndex(AName), AFieldSource);
    }

    // The value of one item of a field value, trimmed and without the quotes
    // around it. An empty item name gives the value's first item (the text
    // before the first unquoted "," or ";").
    String GetFieldValueItem(StringView ASource, StringView AItemName) const;
    // Locates an item. A name only counts as a whole word outside quotes:
    // the start of the text, a blank, "," or ";" stands before it, so "name"
    // is not found inside "filename" nor "path" inside "mypath=1".
    TclFieldItem FindFieldItem(StringView ASource, StringView AItemName) const;

    // "Name: value", or "Name:" for an empty value.
    static String GetNameValuePair(StringView AName, StringView AValue);
    // "item=value" ("=" left out when the name is empty or ends with it).
    static String GetItemNameValuePair(StringView AItemName, StringView AValue);

    // --- editing --------------------------------------------------------------
    // Text with CR or LF is refused (EAssertionFailed): a line break inside a
    // value would let it start a field or a body of its own.
    //
    // Insert* put the line at line AIndex (clamped to 0..HeaderEnd); Add* put it at HeaderEnd,
    // after the last field and before the empty line. The plain forms do nothing for an empty
    // value, the IfNotExist forms also when the field is present, the Empty forms always write
    // "Name:".
    void InsertField(int AIndex, StringView AName, StringView AValue);
    void InsertNonFoldedField(int AIndex, StringView AName, StringView AValue);
    void InsertFieldIfNotExist(int AIndex, StringView AName, StringView AValue);
    void InsertEmptyField(int AIndex, StringView AName);
    void AddField(StringView AName, StringView AValue);
    void AddNonFoldedField(StringView AName, StringView AValue);
    void AddFieldIfNotExist(StringView AName, StringView AValue);
    void AddEmptyField(StringView AName);
    // Each line of AFields at HeaderEnd, in order.
    void AddFields(const TStrings& AFields);
    // A field over several lines: "Name: first,", TAB "middle,", TAB "last".
    // Empty values are skipped; nothing is written when the first is empty.
    void AddArrayField(StringView AName, const std::vector<String>& AValues);
    void AddArrayField(StringView AName, const TStrings& AValues);

    // Appends "item=value" (value trimmed; nothing when that is empty) to the
    // field's last line, or on a new continuation line with ANewLine.
    void AddFieldItem(int AFieldIndex, StringView AItemName, StringView AValue,
                      bool ANewLine = false);
    void AddFieldItem(StringView AFieldName, StringView AItemName, StringView AValue,
                      bool ANewLine = false) {
        AddFieldItem(GetFieldIndex(AFieldName), AItemName, AValue, ANewLine);
    }
    // The same with the value in double quotes unless it starts or ends with one.
    void AddQuotedFieldItem(int AFieldIndex, StringView AItemName, StringView AValue,
                            bool ANewLine = false);
    void AddQuotedFieldItem(StringView AFieldName, StringView AItemName, StringView AValue,
                            bool ANewLine = false) {
        AddQuotedFieldItem(GetFieldIndex(AFieldName), AItemName, AValue, ANewLine);
    }
    // Appends "item=" with no value.
    void AddEmptyFieldItem(int AFieldIndex, StringView AItemName, bool ANewLine = false);
    void AddEmptyFieldItem(StringView AFieldName, StringView AItemName, bool ANewLine = false) {
        AddEmptyFieldItem(GetFieldIndex(AFieldName), AItemName, ANewLine);
    }

    // Closes the block with an empty line unless it already is closed.
    void AddEndOfHeader();
    // Deletes the field's line and its continuation lines.
    void RemoveField(int AIndex);
    void RemoveField(StringView AName) { RemoveField(GetFieldIndex(AName)); }
    // Removes one item with its delimiter and the blanks around it.
    void RemoveFieldItem(int AFieldIndex, StringView AItemName);
    void RemoveFieldItem(StringView AFieldName, StringView AItemName) {
        RemoveFieldItem(GetFieldIndex(AFieldName), AItemName);
    }
    // Empties one item's value, keeping "item=".
    void ClearFieldItem(int AFieldIndex, StringView AItemName);
    void ClearFieldItem(StringView AFieldName, StringView AItemName) {
        ClearFieldItem(GetFieldIndex(AFieldName), AItemName);
    }

    // --- properties -----------------------------------------------------------
    // One entry per field of the last Parse, lower-cased, in order, duplicates
    // kept; each entry's object is its first line index (ObjectToInt).
    const TStrings& GetFieldList() const { return *FFieldList; }
    TStrings* GetSource() const { return FSource; }
    int GetHeaderStart() const { return FHeaderStart; }
    int GetHeaderEnd() const { return FHeaderEnd; }
    char16_t GetItemDelimiter() const { return FItemDelimiter; }
    void SetItemDelimiter(char16_t AValue) { FItemDelimiter = AValue; }

    static bool IsQuoteChar(char16_t c) { return c == u'"' || c == u'\''; }
    static bool IsItemDelimiter(char16_t c) { return c == u',' || c == u';'; }
    static bool IsWhiteSpaceChar(char16_t c) {
        return c == u'\t' || c == u'\n' || c == u'\r' || c == u' ';
    }

private:
    TStrings& Source() const;
    bool IsValidIndex(int AIndex) const { return AIndex >= 0 && AIndex < FFieldList->Count(); }
    String InternalGetFieldValue(int AIndex) const;
    int InternalInsertLine(int AIndex, StringView ALine);
    void InternalAddFieldItem(int AFieldIndex, StringView AItemName, bool ANewLine,
                              StringView AValue);
    String InternalRemoveFieldItem(StringView AText, StringView AItemName) const;
    String InternalClearFieldItem(StringView AText, StringView AItemName) const;
    // The field's lines joined with CR LF, and their replacement by such text.
    String JoinFieldLines(int AIndex) const;
    void ReplaceFieldLines(int AIndex, StringView AText);
    void DeleteFieldLines(int AIndex);
    void Reparse() { Parse(FHeaderStart, Source()); }

    std::unique_ptr<TStringList> FFieldList;
    TStrings* FSource = nullptr;
    int FHeaderEnd = 0;
    int FHeaderStart = 0;
    char16_t FItemDelimiter = u';';
};
