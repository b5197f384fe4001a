// Finding children: by name, by position, by path, by pattern and by value.
// Lookups never raise for a missing child; they give nil, -1 or the default.
#include "qjson.h"

#include "RtlException.h"
#include "qjson_number.h"
#include "qjson_path.h"

#include <regex>

int TQJson::IndexOf(const String& AName) const {
    if (!IsContainer()) return -1;
    // Lengths first, cached hashes second: full comparisons only for likely matches.
    const std::uint32_t hash = AName.empty() ? 0 : HashName(AName, FIgnoreCase);
    const std::vector<TQJson*>& items = Items();
    for (std::size_t i = 0; i < items.size(); ++i) {
        const TQJson* child = items[i];
        if (child->FName.size() != AName.size()) continue;
        if (child->GetNameHash() == hash && CompareNames(child->FName, AName, FIgnoreCase) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

namespace {

// "[n]" with blanks allowed inside the brackets; false for anything else.
bool ReadIndexForm(const String& AName, std::int64_t& AIndex) {
    const char16_t* p = AName.data() + 1;
    const char16_t* const end = AName.data() + AName.size();
    while (p < end && IsQBlank(*p))
        ++p;
    if (ReadInteger(p, end, AIndex) == 0) return false;
    while (p < end && IsQBlank(*p))
        ++p;
    return p + 1 == end && *p == u']';
}

} // namespace

TQJson* TQJson::ItemByName(const String& AName) {
    if (!AName.empty() && AName[0] == u'[' && IsContainer()) {
        // The index form, for objects too: a member literally named "[0]" is
        // not found by name.
        std::int64_t index;
        if (ReadIndexForm(AName, index) && index >= 0 && index < GetCount())
            return Items()[static_cast<std::size_t>(index)];
        return nullptr;
    }
    if (!IsObject()) return nullptr;
    const int i = IndexOf(AName);
    return i < 0 ? nullptr : Items()[static_cast<std::size_t>(i)];
}

int TQJson::ItemByName(const String& AName, TQJsonItemList& AList, bool ANest) {
    int count = 0;
    for (TQJson* child : *this) {
        if (CompareNames(child->FName, AName, FIgnoreCase) == 0) {
            AList.push_back(child);
            ++count;
        }
        if (ANest) count += child->ItemByName(AName, AList, true);
    }
    return count;
}

TQJson* TQJson::ItemByPath(const String& APath) {
    TQJson* node = this;
    for (const TQJsonPathStep& step : SplitJsonPath(APath)) {
        if (!step.Valid) return nullptr;
        // name[i][j]: the named child, then positions inside nested containers.
        if (!step.Name.empty()) node = node->ItemByName(step.Name);
        for (const String& index : step.Indexes) {
            String form(1, u'[');
            form.append(index).push_back(u']');
            if (node) node = node->ItemByName(form);
        }
        if (!node) return nullptr;
    }
    return node;
}

int TQJson::ItemByRegex(const String& ARegex, TQJsonItemList& AList, bool ANest, bool AtName) {
    // std::wregex works on whole characters: wchar_t holds a code point here.
    auto wide = [](StringView s) {
        std::wstring out;
        out.reserve(s.size());
        for (std::size_t i = 0; i < s.size(); ++i) {
            char32_t c = s[i];
            if (IsHighSurrogate(s[i]) && i + 1 < s.size() && IsLowSurrogate(s[i + 1]))
                c = 0x10000 + ((c - 0xD800) << 10) + (s[++i] - 0xDC00);
            out.push_back(static_cast<wchar_t>(c));
        }
        return out;
    };
    std::wregex re;
    try {
        re.assign(wide(ARegex));
    } catch (const std::regex_error& e) {
        throw EArgumentException(u"Invalid regular expression \"" + ARegex + u"\": " +
                                 AsciiToString(e.what()));
    }
    int count = 0;
    std::function<void(TQJson*)> visit = [&](TQJson* node) {
        for (TQJson* child : *node) {
            const bool hit =
                AtName ? std::regex_search(wide(child->FName), re)
                       : !child->IsContainer() && std::regex_search(wide(child->GetAsString()), re);
            if (hit) {
                AList.push_back(child);
                ++count;
            }
            if (ANest) visit(child);
        }
    };
    visit(this);
    return count;
}

// --- values by name and by path ---------------------------------------------------------

String TQJson::ValueByName(const String& AName, const String& ADefVal) {
    const TQJson* item = ItemByName(AName);
    return item ? item->GetAsString() : ADefVal;
}

bool TQJson::BoolByName(const String& AName, bool ADefVal) {
    const TQJson* item = ItemByName(AName);
    return item ? item->GetAsBoolean() : ADefVal;
}

std::int64_t TQJson::IntByName(const String& AName, std::int64_t ADefVal) {
    const TQJson* item = ItemByName(AName);
    return item ? item->GetAsInt64() : ADefVal;
}

long double TQJson::FloatByName(const String& AName, long double ADefVal) {
    const TQJson* item = ItemByName(AName);
    return item ? item->GetAsFloat() : ADefVal;
}

TDateTime TQJson::DateTimeByName(const String& AName, TDateTime ADefVal) {
    const TQJson* item = ItemByName(AName);
    return item ? item->GetAsDateTime() : ADefVal;
}

String TQJson::ValueByPath(const String& APath, const String& ADefVal) {
    const TQJson* item = ItemByPath(APath);
    return item ? item->GetAsString() : ADefVal;
}

bool TQJson::BoolByPath(const String& APath, bool ADefVal) {
    const TQJson* item = ItemByPath(APath);
    return item ? item->GetAsBoolean() : ADefVal;
}

std::int64_t TQJson::IntByPath(const String& APath, std::int64_t ADefVal) {
    const TQJson* item = ItemByPath(APath);
    return item ? item->GetAsInt64() : ADefVal;
}

long double TQJson::FloatByPath(const String& APath, long double ADefVal) {
    const TQJson* item = ItemByPath(APath);
    return item ? item->GetAsFloat() : ADefVal;
}

TDateTime TQJson::DateTimeByPath(const String& APath, TDateTime ADefVal) {
    const TQJson* item = ItemByPath(APath);
    return item ? item->GetAsDateTime() : ADefVal;
}

TBytes TQJson::BytesByPath(const String& APath, const TBytes& ADefVal) {
    const TQJson* item = ItemByPath(APath);
    return item ? item->GetAsBytes() : ADefVal;
}

bool TQJson::HasChild(const String& APath, TQJson*& AChild) {
    AChild = ItemByPath(APath);
    return AChild != nullptr;
}

// --- searching ---------------------------------------------------------------------------

int TQJson::IndexOfValue(const String& AValue, bool AStrict) const {
    int i = 0;
    for (const TQJson* child : *this) {
        // Strictly, only texts match a text: the string "1", not the number 1.
        if ((!AStrict || child->IsString()) && child->GetValue() == AValue) return i;
        ++i;
    }
    return -1;
}

bool TQJson::ContainsName(const String& AName, bool ANest) {
    if (IndexOf(AName) != -1) return true;
    if (ANest)
        for (TQJson* child : *this)
            if (child->ContainsName(AName, true)) return true;
    return false;
}

bool TQJson::ContainsValue(const String& AValue, bool ANest, bool AStrict) const {
    if (IndexOfValue(AValue, AStrict) != -1) return true;
    if (ANest)
        for (const TQJson* child : *this)
            if (child->ContainsValue(AValue, true, AStrict)) return true;
    return false;
}

TQJson* TQJson::FindIf(const TQJsonFilter& AFilter, bool ANest) const {
    for (TQJson* child : *this) {
        if (AFilter(child)) return child;
        if (ANest)
            if (TQJson* found = child->FindIf(AFilter, true)) return found;
    }
    return nullptr;
}

void TQJson::ForEach(const std::function<bool(TQJson*)>& AProc, bool ANest) const {
    // Pre-order, stopping everywhere once the procedure says so.
    std::function<bool(const TQJson*)> walk = [&](const TQJson* node) {
        for (TQJson* child : *node) {
            if (!AProc(child)) return false;
            if (ANest && !walk(child)) return false;
        }
        return true;
    };
    walk(this);
}
