#include "RtlStrings.h"

#include "RtlConvert.h"
#include "RtlException.h"
#include "RtlFileStream.h"

#include <algorithm>

namespace {

constexpr StringView kLineBreak = u"\r\n";

// The text of a line before / after the first separator; both are empty for
// a line without one.
String NamePart(StringView line, char16_t separator) {
    const std::size_t p = line.find(separator);
    return p == StringView::npos ? String() : String(line.substr(0, p));
}

String ValuePart(StringView line, char16_t separator) {
    const std::size_t p = line.find(separator);
    return p == StringView::npos ? String() : String(line.substr(p + 1));
}

String Quoted(StringView text, char16_t quote) {
    String out(1, quote);
    for (const char16_t c : text) {
        out += c;
        if (c == quote) out += c;
    }
    out += quote;
    return out;
}

} // namespace

// --- TStrings --------------------------------------------------------------

TStrings::TStrings() : FDefaultEncoding(TEncoding::Default()) {}

TStrings::~TStrings() = default;

void TStrings::IndexError(int index) const {
    throw EListError(u"List index out of bounds (" + IntToStr(index) + u")");
}

void TStrings::Put(int index, StringView text) {
    Updating([&] {
        void* object = GetObject(index);
        Delete(index);
        InsertObject(index, text, object);
    });
}

void* TStrings::GetObject(int) const {
    return nullptr;
}

void TStrings::PutObject(int, void*) {}

int TStrings::Add(StringView text) {
    const int index = GetCount();
    Insert(index, text);
    return index;
}

int TStrings::AddObject(StringView text, void* object) {
    const int index = Add(text);
    PutObject(index, object);
    return index;
}

void TStrings::InsertObject(int index, StringView text, void* object) {
    Insert(index, text);
    PutObject(index, object);
}

void TStrings::Exchange(int index1, int index2) {
    Updating([&] {
        const String text = Get(index1);
        void* object = GetObject(index1);
        Put(index1, Get(index2));
        PutObject(index1, GetObject(index2));
        Put(index2, text);
        PutObject(index2, object);
    });
}

void TStrings::Move(int currentIndex, int newIndex) {
    if (currentIndex == newIndex) return;
    Updating([&] {
        const String text = Get(currentIndex);
        void* object = GetObject(currentIndex);
        Delete(currentIndex);
        InsertObject(newIndex, text, object);
    });
}

void TStrings::AddStrings(const TStrings& strings) {
    Updating([&] {
        // Read the count first: adding a list to itself copies it once.
        const int count = strings.GetCount();
        for (int i = 0; i < count; ++i)
            AddObject(strings.Get(i), strings.GetObject(i));
    });
}

int TStrings::IndexOf(StringView text) const {
    const int count = GetCount();
    for (int i = 0; i < count; ++i)
        if (CompareStrings(Get(i), text) == 0) return i;
    return -1;
}

int TStrings::IndexOfObject(const void* object) const {
    const int count = GetCount();
    for (int i = 0; i < count; ++i)
        if (GetObject(i) == object) return i;
    return -1;
}

bool TStrings::Equals(const TStrings& other) const {
    const int count = GetCount();
    if (count != other.GetCount()) return false;
    for (int i = 0; i < count; ++i)
        if (Get(i) != other.Get(i)) return false;
    return true;
}

int TStrings::CompareStrings(StringView a, StringView b) const {
    return CompareText(a, b);
}

// --- names and values ------------------------------------------------------

String TStrings::GetName(int index) const {
    return NamePart(Get(index), FNameValueSeparator);
}

String TStrings::GetValueFromIndex(int index) const {
    return ValuePart(Get(index), FNameValueSeparator);
}

void TStrings::SetValueFromIndex(int index, StringView value) {
    if (!value.empty()) {
        if (index < 0) index = Add(u"");
        Put(index, GetName(index) + FNameValueSeparator + String(value));
    } else if (index >= 0) {
        Delete(index);
    }
}

int TStrings::IndexOfName(StringView name) const {
    const int count = GetCount();
    for (int i = 0; i < count; ++i) {
        const String line = Get(i);
        const std::size_t p = line.find(FNameValueSeparator);
        if (p != String::npos && CompareStrings(StringView(line).substr(0, p), name) == 0) return i;
    }
    return -1;
}

String TStrings::GetValue(StringView name) const {
    const int index = IndexOfName(name);
    return index < 0 ? String() : GetValueFromIndex(index);
}

void TStrings::SetValue(StringView name, StringView value) {
    const int index = IndexOfName(name);
    const String line = String(name) + FNameValueSeparator + String(value);
    if (!value.empty()) {
        if (index < 0)
            Add(line);
        else
            Put(index, line);
    } else if (index >= 0) {
        Delete(index);
    }
}

// --- text ------------------------------------------------------------------

String TStrings::GetText() const {
    String out;
    const int count = GetCount();
    for (int i = 0; i < count; ++i) {
        out += Get(i);
        out += kLineBreak;
    }
    return out;
}

void TStrings::SetText(StringView text) {
    Updating([&] {
        Clear();
        std::size_t start = 0;
        while (start < text.size()) {
            std::size_t end = start;
            while (end < text.size() && text[end] != u'\r' && text[end] != u'\n')
                ++end;
            Add(text.substr(start, end - start));
            if (end < text.size() && text[end] == u'\r') {
                ++end;
                if (end < text.size() && text[end] == u'\n') ++end;
            } else if (end < text.size()) {
                ++end;
            }
            start = end;
        }
    });
}

String TStrings::DelimitedText(char16_t delimiter, char16_t quote) const {
    const int count = GetCount();
    if (count == 1 && Get(0).empty()) return String(2, quote);
    String out;
    for (int i = 0; i < count; ++i) {
        const String line = Get(i);
        const bool needsQuotes = std::any_of(line.begin(), line.end(), [&](char16_t c) {
            return c == quote || c == delimiter || (!FStrictDelimiter && c <= u' ');
        });
        if (i > 0) out += delimiter;
        out += needsQuotes ? Quoted(line, quote) : line;
    }
    return out;
}

void TStrings::SetDelimitedText(StringView text, char16_t delimiter, char16_t quote) {
    const bool strict = FStrictDelimiter;
    // Outside strict mode every character up to the blank separates items.
    // NUL counts as one too, so that every character moves the scan on.
    auto isBlank = [](char16_t c) { return c <= u' '; };
    Updating([&] {
        Clear();
        std::size_t p = 0;
        const std::size_t n = text.size();
        if (!strict)
            while (p < n && isBlank(text[p]))
                ++p;
        while (p < n) {
            String item;
            if (text[p] == quote) {
                // Quoted item: up to the closing quote, a doubled quote standing for one.
                ++p;
                while (p < n) {
                    if (text[p] == quote) {
                        if (p + 1 < n && text[p + 1] == quote) {
                            item += quote;
                            p += 2;
                            continue;
                        }
                        ++p;
                        break;
                    }
                    item += text[p++];
                }
            } else {
                const std::size_t start = p;
                while (p < n && text[p] != delimiter && (strict || !isBlank(text[p])))
                    ++p;
                item.assign(text.substr(start, p - start));
            }
            Add(item);
            if (!strict)
                while (p < n && isBlank(text[p]))
                    ++p;
            if (p < n && text[p] == delimiter) {
                ++p;
                if (p == n) Add(u""); // a trailing delimiter ends with an empty item
                if (!strict)
                    while (p < n && isBlank(text[p]))
                        ++p;
            }
        }
    });
}

String TStrings::GetDelimitedText() const {
    return DelimitedText(FDelimiter, FQuoteChar);
}

void TStrings::SetDelimitedText(StringView text) {
    SetDelimitedText(text, FDelimiter, FQuoteChar);
}

String TStrings::GetCommaText() const {
    return DelimitedText(u',', u'"');
}

void TStrings::SetCommaText(StringView text) {
    SetDelimitedText(text, u',', u'"');
}

// --- updates ---------------------------------------------------------------

void TStrings::BeginUpdate() {
    if (FUpdateCount++ == 0) SetUpdateState(true);
}

void TStrings::EndUpdate() {
    if (FUpdateCount == 0) return;
    if (--FUpdateCount == 0) SetUpdateState(false);
}

// --- files and streams -----------------------------------------------------

void TStrings::Keep(TEncoding*& slot, std::unique_ptr<TEncoding>& owned, TEncoding* encoding) {
    if (encoding == slot) return;
    if (!encoding || TEncoding::IsStandardEncoding(encoding)) {
        slot = encoding;
        owned.reset();
    } else {
        // Clone before releasing the old copy: `encoding` may be that copy.
        std::unique_ptr<TEncoding> copy = encoding->Clone();
        slot = copy.get();
        owned = std::move(copy);
    }
}

void TStrings::SetDefaultEncoding(TEncoding* encoding) {
    Keep(FDefaultEncoding, FOwnedDefaultEncoding, encoding ? encoding : TEncoding::Default());
}

void TStrings::LoadFromFile(StringView fileName, TEncoding* encoding) {
    TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(stream, encoding);
}

void TStrings::LoadFromStream(TStream& stream, TEncoding* encoding) {
    const TBytes bytes = stream.ReadAll();
    TEncoding* used = encoding;
    const std::size_t preamble = TEncoding::GetBufferEncoding(bytes.data(), bytes.size(), used);
    if (!encoding && preamble == 0) used = FDefaultEncoding;
    const String text = used->GetString(bytes.data() + preamble, bytes.size() - preamble);
    Updating([&] {
        Keep(FEncoding, FOwnedEncoding, used);
        SetText(text);
    });
}

void TStrings::SaveToFile(StringView fileName, TEncoding* encoding) {
    TAtomicFileWriter writer(fileName);
    SaveToStream(writer, encoding);
    writer.Commit();
}

void TStrings::SaveToStream(TStream& stream, TEncoding* encoding) const {
    const TEncoding* used = encoding ? encoding : FEncoding ? FEncoding : FDefaultEncoding;
    if (FWriteBOM) stream.WriteBytes(used->GetPreamble());
    stream.WriteBytes(used->GetBytes(GetText()));
}

void TStrings::Assign(const TPersistent* source) {
    const auto* strings = dynamic_cast<const TStrings*>(source);
    if (!strings) {
        TPersistent::Assign(source);
        return;
    }
    if (strings == this) return;
    Updating([&] {
        Clear();
        FNameValueSeparator = strings->FNameValueSeparator;
        FDelimiter = strings->FDelimiter;
        FQuoteChar = strings->FQuoteChar;
        FStrictDelimiter = strings->FStrictDelimiter;
        FWriteBOM = strings->FWriteBOM;
        Keep(FEncoding, FOwnedEncoding, strings->FEncoding);
        Keep(FDefaultEncoding, FOwnedDefaultEncoding, strings->FDefaultEncoding);
        AddStrings(*strings);
    });
}

// --- TStringList -----------------------------------------------------------

TStringList::TStringList() = default;

TStringList::~TStringList() = default;

void TStringList::CheckIndex(int index) const {
    if (index < 0 || index >= GetCount()) IndexError(index);
}

void TStringList::CheckUnsorted() const {
    if (FSorted) throw EListError(u"Operation not allowed on sorted list");
}

void TStringList::Changing() {
    if (UpdateCount() == 0 && OnChanging) OnChanging(this);
}

void TStringList::Changed() {
    if (UpdateCount() == 0 && OnChange) OnChange(this);
}

void TStringList::SetUpdateState(bool updating) {
    // The bracket's own events fire directly: Changing and Changed stay
    // silent while an update is open.
    if (updating) {
        if (OnChanging) OnChanging(this);
    } else {
        if (OnChange) OnChange(this);
    }
}

int TStringList::CompareStrings(StringView a, StringView b) const {
    return FCaseSensitive ? CompareStr(a, b) : CompareText(a, b);
}

String TStringList::Get(int index) const {
    CheckIndex(index);
    return FList[static_cast<std::size_t>(index)].FString;
}

void TStringList::Put(int index, StringView text) {
    CheckUnsorted();
    CheckIndex(index);
    Changing();
    FList[static_cast<std::size_t>(index)].FString.assign(text);
    Changed();
}

void* TStringList::GetObject(int index) const {
    CheckIndex(index);
    return FList[static_cast<std::size_t>(index)].FObject;
}

void TStringList::PutObject(int index, void* object) {
    CheckIndex(index);
    Changing();
    FList[static_cast<std::size_t>(index)].FObject = object;
    Changed();
}

int TStringList::Add(StringView text) {
    return AddObject(text, nullptr);
}

int TStringList::AddObject(StringView text, void* object) {
    int index = GetCount();
    if (FSorted && Find(text, index)) {
        switch (FDuplicates) {
        case dupIgnore:
            return index;
        case dupError:
            throw EListError(u"String list does not allow duplicates");
        case dupAccept:
            break;
        }
    }
    InsertItem(index, text, object);
    return index;
}

void TStringList::Insert(int index, StringView text) {
    InsertObject(index, text, nullptr);
}

void TStringList::InsertObject(int index, StringView text, void* object) {
    CheckUnsorted();
    if (index < 0 || index > GetCount()) IndexError(index);
    InsertItem(index, text, object);
}

void TStringList::InsertItem(int index, StringView text, void* object) {
    Changing();
    FList.insert(FList.begin() + index, TStringItem{String(text), object});
    Changed();
}

void TStringList::Delete(int index) {
    CheckIndex(index);
    Changing();
    FList.erase(FList.begin() + index);
    Changed();
}

void TStringList::Clear() {
    if (FList.empty()) return;
    Changing();
    FList.clear();
    Changed();
}

void TStringList::Exchange(int index1, int index2) {
    CheckUnsorted();
    CheckIndex(index1);
    CheckIndex(index2);
    Changing();
    std::swap(FList[static_cast<std::size_t>(index1)], FList[static_cast<std::size_t>(index2)]);
    Changed();
}

bool TStringList::Find(StringView text, int& index) const {
    if (!FSorted) {
        index = TStrings::IndexOf(text);
        if (index >= 0) return true;
        index = GetCount();
        return false;
    }
    const auto it = std::lower_bound(
        FList.begin(), FList.end(), text,
        [&](const TStringItem& item, StringView t) { return CompareStrings(item.FString, t) < 0; });
    index = static_cast<int>(it - FList.begin());
    return it != FList.end() && CompareStrings(it->FString, text) == 0;
}

int TStringList::IndexOf(StringView text) const {
    if (!FSorted) return TStrings::IndexOf(text);
    int index;
    return Find(text, index) ? index : -1;
}

void TStringList::Sort() {
    CustomSort([](const TStringList& list, int a, int b) {
        return list.CompareStrings(list.FList[static_cast<std::size_t>(a)].FString,
                                   list.FList[static_cast<std::size_t>(b)].FString);
    });
}

void TStringList::CustomSort(const std::function<int(const TStringList&, int, int)>& compare) {
    if (FList.size() < 2) return;
    Changing();
    // Sort positions, then rebuild, so the comparison always sees the list
    // as it was (it takes indexes, not items).
    std::vector<int> order(FList.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<int>(i);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return compare(*this, a, b) < 0; });
    std::vector<TStringItem> sorted;
    sorted.reserve(FList.size());
    for (const int i : order)
        sorted.push_back(std::move(FList[static_cast<std::size_t>(i)]));
    FList = std::move(sorted);
    Changed();
}

void TStringList::SetSorted(bool sorted) {
    if (FSorted == sorted) return;
    if (sorted) Sort();
    FSorted = sorted;
}

void TStringList::SetCaseSensitive(bool caseSensitive) {
    if (FCaseSensitive == caseSensitive) return;
    FCaseSensitive = caseSensitive;
    if (FSorted) Sort();
}

void TStringList::Assign(const TPersistent* source) {
    const auto* list = dynamic_cast<const TStringList*>(source);
    if (!list || list == this) {
        TStrings::Assign(source);
        return;
    }
    // Copy the lines as they stand, then take over the ordering rules, so the
    // copy is exact whatever this list's rules were.
    FSorted = false;
    TStrings::Assign(source);
    FCaseSensitive = list->FCaseSensitive;
    FDuplicates = list->FDuplicates;
    FSorted = list->FSorted;
}
