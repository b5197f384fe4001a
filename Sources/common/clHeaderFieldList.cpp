#include "clHeaderFieldList.h"

#include "RtlException.h"
#include "RtlFormat.h"

#include <algorithm>

namespace {

constexpr std::size_t npos = String::npos;

bool IsContinuation(StringView line) {
    return !line.empty() && (line[0] == u'\t' || line[0] == u' ');
}

bool HasLineBreak(StringView text) {
    return text.find_first_of(u"\r\n") != npos;
}

void RefuseLineBreak(StringView text) {
    if (HasLineBreak(text)) throw EAssertionFailed(u"Header text must not contain a line break");
}

// End (exclusive) of a value that starts at `from`. A value whose first
// non-blank character is a quote runs through the matching quote (or to the
// end when there is none); any other value ends before the first "," or ";".
// A quote further inside a value is an ordinary character, so an apostrophe
// in "O'Brien" does not swallow the items after it.
std::size_t ValueEnd(StringView s, std::size_t from) {
    std::size_t i = from;
    while (i < s.size() && TclHeaderFieldList::IsWhiteSpaceChar(s[i]))
        ++i;
    if (i < s.size() && TclHeaderFieldList::IsQuoteChar(s[i])) {
        const std::size_t close = s.find(s[i], i + 1);
        return close == npos ? s.size() : close + 1;
    }
    while (i < s.size() && !TclHeaderFieldList::IsItemDelimiter(s[i]))
        ++i;
    return i;
}

// Marks the characters inside quoted values: a quote that opens a value
// (after "=", ":", a delimiter or the start, blanks skipped) up to its match.
std::vector<bool> QuotedStretches(StringView s) {
    std::vector<bool> quoted(s.size(), false);
    bool atValueStart = true;
    std::size_t i = 0;
    while (i < s.size()) {
        const char16_t c = s[i];
        if (atValueStart && TclHeaderFieldList::IsWhiteSpaceChar(c)) {
            ++i;
            continue;
        }
        if (atValueStart && TclHeaderFieldList::IsQuoteChar(c)) {
            const std::size_t end = ValueEnd(s, i);
            for (std::size_t k = i; k < end; ++k)
                quoted[k] = true;
            i = end;
            atValueStart = false;
            continue;
        }
        atValueStart = c == u'=' || c == u':' || TclHeaderFieldList::IsItemDelimiter(c);
        ++i;
    }
    return quoted;
}

std::vector<String> SplitLines(StringView text) {
    std::vector<String> lines;
    std::size_t from = 0;
    for (;;) {
        const std::size_t at = text.find(u"\r\n", from);
        lines.emplace_back(text.substr(from, at == npos ? npos : at - from));
        if (at == npos) return lines;
        from = at + 2;
    }
}

} // namespace

TclHeaderFieldList::TclHeaderFieldList() : FFieldList(std::make_unique<TStringList>()) {}
TclHeaderFieldList::~TclHeaderFieldList() = default;

TStrings& TclHeaderFieldList::Source() const {
    if (!FSource) throw EAssertionFailed(u"Header source is not assigned: call Parse first");
    return *FSource;
}

// --- reading ------------------------------------------------------------------

int TclHeaderFieldList::Parse(int AStartFrom, TStrings& ASource) {
    FHeaderStart = AStartFrom;
    FFieldList->Clear();
    FSource = &ASource;
    int i = std::clamp(AStartFrom, 0, ASource.Count());
    for (; i < ASource.Count(); ++i) {
        const String line = ASource[i];
        if (line.empty()) break;
        if (IsContinuation(line)) continue;
        const std::size_t colon = line.find(u':');
        // A request or status line has no colon and does not end the header.
        if (colon == npos) continue;
        FFieldList->AddObject(LowerCase(StringView(line).substr(0, colon)), IntToObject(i));
    }
    FHeaderEnd = i;
    return FHeaderEnd;
}

int TclHeaderFieldList::GetFieldIndex(StringView AName) const {
    return FFieldList->IndexOf(LowerCase(AName));
}

int TclHeaderFieldList::GetFieldStart(int AIndex) const {
    if (!IsValidIndex(AIndex)) return -1;
    return static_cast<int>(ObjectToInt(FFieldList->Objects(AIndex)));
}

int TclHeaderFieldList::GetFieldEnd(int AIndex) const {
    if (!IsValidIndex(AIndex)) return -1;
    TStrings& source = Source();
    const int limit = std::min(FHeaderEnd, source.Count());
    int i = GetFieldStart(AIndex) + 1;
    while (i < limit && IsContinuation(source[i]))
        ++i;
    return i - 1;
}

String TclHeaderFieldList::GetFieldName(int AIndex) const {
    if (!IsValidIndex(AIndex)) return {};
    return Source()[GetFieldStart(AIndex)].substr(0, FFieldList->Strings(AIndex).size());
}

// The first line's text after "name:" without one leading blank, then every
// continuation line without one leading TAB: a TAB-folded line joins without
// a separator, a space-folded one keeps its space.
String TclHeaderFieldList::InternalGetFieldValue(int AIndex) const {
    if (!IsValidIndex(AIndex)) return {};
    TStrings& source = Source();
    const int start = GetFieldStart(AIndex);
    const int end = GetFieldEnd(AIndex);
    String value = source[start].substr(FFieldList->Strings(AIndex).size() + 1);
    if (!value.empty() && (value[0] == u'\t' || value[0] == u' ')) value.erase(0, 1);
    for (int i = start + 1; i <= end; ++i) {
        String line = source[i];
        if (!line.empty() && line[0] == u'\t') line.erase(0, 1);
        value += line;
    }
    return value;
}

String TclHeaderFieldList::GetFieldValue(int AIndex) const {
    return Trim(InternalGetFieldValue(AIndex));
}

void TclHeaderFieldList::GetFieldSource(int AIndex, TStrings& AFieldSource) const {
    AFieldSource.Clear();
    if (!IsValidIndex(AIndex)) return;
    TStrings& source = Source();
    for (int i = GetFieldStart(AIndex); i <= GetFieldEnd(AIndex); ++i)
        AFieldSource.Add(source[i]);
}

TclFieldItem TclHeaderFieldList::FindFieldItem(StringView ASource, StringView AItemName) const {
    TclFieldItem item;
    if (ASource.empty()) return item;
    std::size_t valueStart = 0;
    std::size_t nameStart = 0;
    if (AItemName.empty()) {
        // The first item: the value starts right at the beginning.
    } else {
        const String text = LowerCase(ASource);
        const String name = LowerCase(AItemName);
        const std::vector<bool> quoted = QuotedStretches(text);
        std::size_t at = text.find(name);
        for (; at != npos; at = text.find(name, at + 1)) {
            if (quoted[at]) continue;
            if (at > 0 && !IsWhiteSpaceChar(text[at - 1]) && !IsItemDelimiter(text[at - 1]))
                continue;
            std::size_t after = at + name.size();
            while (after < text.size() && IsWhiteSpaceChar(text[after]))
                ++after;
            if (after < text.size() && text[after] == u'=') {
                valueStart = after + 1;
                break;
            }
        }
        if (at == npos) return item;
        nameStart = at;
    }
    const std::size_t valueEnd = ValueEnd(ASource, valueStart);
    item.Start = static_cast<int>(nameStart) + 1;
    item.Length = static_cast<int>(valueEnd - nameStart);
    item.ValueStart = static_cast<int>(valueStart) + 1;
    item.Value = String(ASource.substr(valueStart, valueEnd - valueStart));
    return item;
}

String TclHeaderFieldList::GetFieldValueItem(StringView ASource, StringView AItemName) const {
    String value = Trim(FindFieldItem(ASource, AItemName).Value);
    if (value.size() >= 2 && IsQuoteChar(value.front()) && IsQuoteChar(value.back()))
        value = value.substr(1, value.size() - 2);
    return value;
}

String TclHeaderFieldList::GetNameValuePair(StringView AName, StringView AValue) {
    if (AValue.empty()) return String(AName) + u":";
    return Format(u"%s:%s", {AName, u" " + String(AValue)});
}

String TclHeaderFieldList::GetItemNameValuePair(StringView AItemName, StringView AValue) {
    String pair(AItemName);
    if (!AItemName.empty() && AItemName.back() != u'=') pair += u'=';
    return pair + String(AValue);
}

// --- editing ------------------------------------------------------------------

int TclHeaderFieldList::InternalInsertLine(int AIndex, StringView ALine) {
    TStrings& source = Source();
    RefuseLineBreak(ALine);
    if (ALine.empty()) return FHeaderEnd;
    source.Insert(std::clamp(AIndex, 0, FHeaderEnd), ALine);
    Reparse();
    return FHeaderEnd;
}

void TclHeaderFieldList::InsertField(int AIndex, StringView AName, StringView AValue) {
    if (!AValue.empty()) InternalInsertLine(AIndex, GetNameValuePair(AName, AValue));
}

// Lines are never folded, so both forms write the same single line.
void TclHeaderFieldList::InsertNonFoldedField(int AIndex, StringView AName, StringView AValue) {
    InsertField(AIndex, AName, AValue);
}

void TclHeaderFieldList::InsertFieldIfNotExist(int AIndex, StringView AName, StringView AValue) {
    if (GetFieldIndex(AName) < 0) InsertField(AIndex, AName, AValue);
}

void TclHeaderFieldList::InsertEmptyField(int AIndex, StringView AName) {
    InternalInsertLine(AIndex, GetNameValuePair(AName, {}));
}

void TclHeaderFieldList::AddField(StringView AName, StringView AValue) {
    InsertField(FHeaderEnd, AName, AValue);
}

void TclHeaderFieldList::AddNonFoldedField(StringView AName, StringView AValue) {
    InsertNonFoldedField(FHeaderEnd, AName, AValue);
}

void TclHeaderFieldList::AddFieldIfNotExist(StringView AName, StringView AValue) {
    InsertFieldIfNotExist(FHeaderEnd, AName, AValue);
}

void TclHeaderFieldList::AddEmptyField(StringView AName) {
    InsertEmptyField(FHeaderEnd, AName);
}

void TclHeaderFieldList::AddFields(const TStrings& AFields) {
    // Check every line first so that a refused one leaves the block unchanged.
    for (int i = 0; i < AFields.Count(); ++i)
        RefuseLineBreak(AFields[i]);
    for (int i = 0; i < AFields.Count(); ++i)
        InternalInsertLine(FHeaderEnd, AFields[i]);
}

void TclHeaderFieldList::AddArrayField(StringView AName, const std::vector<String>& AValues) {
    if (AValues.empty() || AValues.front().empty()) return;
    RefuseLineBreak(AName);
    for (const String& value : AValues)
        RefuseLineBreak(value);
    const std::size_t last = AValues.size() - 1;
    for (std::size_t i = 0; i <= last; ++i) {
        if (AValues[i].empty()) continue;
        const String comma = i < last ? u"," : u"";
        if (i == 0)
            InternalInsertLine(FHeaderEnd, GetNameValuePair(AName, AValues[i] + comma));
        else
            InternalInsertLine(FHeaderEnd, u"\t" + AValues[i] + comma);
    }
}

void TclHeaderFieldList::AddArrayField(StringView AName, const TStrings& AValues) {
    std::vector<String> values;
    for (int i = 0; i < AValues.Count(); ++i)
        values.push_back(AValues[i]);
    AddArrayField(AName, values);
}

// The item goes after the field's last line. Only the right end of that line
// is trimmed: a continuation line must keep its leading TAB, or it would turn
// into a line of its own.
void TclHeaderFieldList::InternalAddFieldItem(int AFieldIndex, StringView AItemName, bool ANewLine,
                                              StringView AValue) {
    if (!IsValidIndex(AFieldIndex)) return;
    TStrings& source = Source();
    const String item = GetItemNameValuePair(AItemName, AValue);
    RefuseLineBreak(item);
    const int end = GetFieldEnd(AFieldIndex);
    String line = TrimRight(source[end]);
    if (!line.empty() && line.back() != u':' && line.back() != FItemDelimiter)
        line += FItemDelimiter;
    if (ANewLine) {
        source.Put(end, line);
        source.Insert(end + 1, u"\t" + item);
    } else {
        source.Put(end, line + u" " + item);
    }
    Reparse();
}

void TclHeaderFieldList::AddFieldItem(int AFieldIndex, StringView AItemName, StringView AValue,
                                      bool ANewLine) {
    const String value = Trim(AValue);
    if (!value.empty()) InternalAddFieldItem(AFieldIndex, AItemName, ANewLine, value);
}

void TclHeaderFieldList::AddQuotedFieldItem(int AFieldIndex, StringView AItemName,
                                            StringView AValue, bool ANewLine) {
    String value(AValue);
    if (value.empty() || (value.front() != u'"' && value.back() != u'"'))
        value = u"\"" + value + u"\"";
    AddFieldItem(AFieldIndex, AItemName, value, ANewLine);
}

void TclHeaderFieldList::AddEmptyFieldItem(int AFieldIndex, StringView AItemName, bool ANewLine) {
    InternalAddFieldItem(AFieldIndex, AItemName, ANewLine, {});
}

void TclHeaderFieldList::AddEndOfHeader() {
    TStrings& source = Source();
    const int count = source.Count();
    if (count == 0) return;
    if (FHeaderEnd < count) {
        if (!source[FHeaderEnd].empty()) source.Insert(FHeaderEnd, u"");
    } else if (!source[count - 1].empty()) {
        source.Add(u"");
    }
    Reparse();
}

void TclHeaderFieldList::DeleteFieldLines(int AIndex) {
    TStrings& source = Source();
    const int start = GetFieldStart(AIndex);
    source.Delete(start);
    while (start < source.Count() && IsContinuation(source[start]))
        source.Delete(start);
}

void TclHeaderFieldList::RemoveField(int AIndex) {
    if (!IsValidIndex(AIndex)) return;
    DeleteFieldLines(AIndex);
    Reparse();
}

String TclHeaderFieldList::JoinFieldLines(int AIndex) const {
    TStrings& source = Source();
    String text;
    const int start = GetFieldStart(AIndex);
    for (int i = start; i <= GetFieldEnd(AIndex); ++i) {
        if (i > start) text += u"\r\n";
        text += source[i];
    }
    return text;
}

void TclHeaderFieldList::ReplaceFieldLines(int AIndex, StringView AText) {
    TStrings& source = Source();
    const int start = GetFieldStart(AIndex);
    DeleteFieldLines(AIndex);
    int at = start;
    // An empty line would end the header block early.
    for (const String& line : SplitLines(AText))
        if (!line.empty()) source.Insert(at++, line);
    Reparse();
}

// The item goes with the delimiter after it. Before it, blanks go too, and
// for the last item also the delimiter that separated it from the one before:
// "a; b=1; c=2" without b reads "a; c=2", without c "a; b=1".
String TclHeaderFieldList::InternalRemoveFieldItem(StringView AText, StringView AItemName) const {
    const TclFieldItem item = FindFieldItem(AText, AItemName);
    String text(AText);
    if (item.Start == 0) return text;
    std::size_t from = static_cast<std::size_t>(item.Start - 1);
    std::size_t to = from + static_cast<std::size_t>(item.Length);
    if (to < text.size() && text[to] == FItemDelimiter) ++to;
    bool isLast = true;
    for (std::size_t i = to; i < text.size(); ++i)
        if (!IsWhiteSpaceChar(text[i])) isLast = false;
    while (from > 0 &&
           (IsWhiteSpaceChar(text[from - 1]) || (isLast && text[from - 1] == FItemDelimiter)))
        --from;
    return text.erase(from, to - from);
}

String TclHeaderFieldList::InternalClearFieldItem(StringView AText, StringView AItemName) const {
    const TclFieldItem item = FindFieldItem(AText, AItemName);
    String text(AText);
    if (item.Start == 0 || AItemName.empty()) return text;
    const std::size_t from = static_cast<std::size_t>(item.ValueStart - 1);
    const std::size_t to = static_cast<std::size_t>(item.Start - 1 + item.Length);
    return text.erase(from, to - from);
}

void TclHeaderFieldList::RemoveFieldItem(int AFieldIndex, StringView AItemName) {
    if (!IsValidIndex(AFieldIndex) || AItemName.empty()) return;
    ReplaceFieldLines(AFieldIndex, InternalRemoveFieldItem(JoinFieldLines(AFieldIndex), AItemName));
}

void TclHeaderFieldList::ClearFieldItem(int AFieldIndex, StringView AItemName) {
    if (!IsValidIndex(AFieldIndex)) return;
    ReplaceFieldLines(AFieldIndex, InternalClearFieldItem(JoinFieldLines(AFieldIndex), AItemName));
}
