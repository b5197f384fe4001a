// Operations over whole trees: ordering children, comparing, matching,
// intersecting, differencing and merging.
#include "qjson.h"

#include "RtlFormat.h"
#include "qrbtree.h"

#include <algorithm>
#include <memory>

namespace {

// The children of one node by name, so that pairing the members of two
// objects costs n log n instead of n^2. Members with the same name pair up in
// their order: the first with the first, the second with the second.
class TNameIndex {
public:
    TNameIndex(const TQJson* ANode, bool AIgnoreCase)
        : FIgnoreCase(AIgnoreCase), FTree([this](const TQRBNode* a, const TQRBNode* b) {
              const auto* x = static_cast<const Entry*>(a);
              const auto* y = static_cast<const Entry*>(b);
              if (int c = TQJson::CompareNames(x->Name, y->Name, FIgnoreCase)) return c;
              return x->Order < y->Order ? -1 : x->Order > y->Order ? 1 : 0;
          }) {
        FEntries.reserve(static_cast<std::size_t>(ANode->GetCount()));
        std::size_t order = 0;
        for (TQJson* child : *ANode)
            FEntries.push_back(Entry{{}, child->GetName(), child, ++order});
        for (Entry& e : FEntries)
            FTree.Insert(&e);
    }

    // The first child of that name not taken yet, nil when none is left.
    TQJson* Take(StringView AName) {
        Entry key{{}, AName, nullptr, 0};
        for (TQRBNode* n = FTree.LowerBound(&key); n; n = n->Next()) {
            auto* e = static_cast<Entry*>(n);
            if (TQJson::CompareNames(e->Name, AName, FIgnoreCase) != 0) break;
            if (!e->Taken) {
                e->Taken = true;
                return e->Node;
            }
        }
        return nullptr;
    }

private:
    struct Entry : TQRBNode {
        StringView Name;
        TQJson* Node;
        std::size_t Order;
        bool Taken = false;
    };
    bool FIgnoreCase;
    std::vector<Entry> FEntries;
    TQRBTree FTree;
};

bool IsNumberType(TQJsonDataType t) {
    return t == jdtInteger || t == jdtFloat || t == jdtBcd;
}

// Values of two nodes in a stable order: numbers numerically, texts by their
// units, anything else by type and then by its text.
int CompareValues(const TQJson* a, const TQJson* b) {
    const TQJsonDataType ta = a->GetDataType(), tb = b->GetDataType();
    if (IsNumberType(ta) && IsNumberType(tb)) {
        if (ta == jdtInteger && tb == jdtInteger) {
            const auto x = a->GetAsInt64(), y = b->GetAsInt64();
            return x < y ? -1 : x > y ? 1 : 0;
        }
        if (ta == jdtBcd || tb == jdtBcd) return BcdCompare(a->GetAsBcd(), b->GetAsBcd());
        const long double x = a->GetAsFloat(), y = b->GetAsFloat();
        return x < y ? -1 : x > y ? 1 : 0;
    }
    if (ta != tb) return ta < tb ? -1 : 1;
    return CompareStr(a->GetValue(), b->GetValue());
}

int CompareAsType(const TQJson* a, const TQJson* b, TQJsonDataType AType) {
    auto order = [](auto x, auto y) { return x < y ? -1 : x > y ? 1 : 0; };
    switch (AType) {
    case jdtInteger:
        return order(a->GetAsInt64(), b->GetAsInt64());
    case jdtFloat:
        return order(a->GetAsFloat(), b->GetAsFloat());
    case jdtBcd:
        return BcdCompare(a->GetAsBcd(), b->GetAsBcd());
    case jdtBoolean:
        return order(a->GetAsBoolean(), b->GetAsBoolean());
    case jdtDateTime:
        return order(a->GetAsDateTime(), b->GetAsDateTime());
    case jdtString:
        return CompareStr(a->GetAsString(), b->GetAsString());
    default:
        return CompareValues(a, b);
    }
}

} // namespace

// --- order ------------------------------------------------------------------------------

void TQJson::Sort(const TQJsonCompare& ACompare, bool ANest) {
    if (!IsContainer()) return;
    std::stable_sort(Items().begin(), Items().end(),
                     [&](const TQJson* a, const TQJson* b) { return ACompare(a, b) < 0; });
    if (ANest)
        for (TQJson* child : Items())
            child->Sort(ACompare, true);
}

void TQJson::Sort(bool AByName, bool ANest, TQJsonDataType AByType) {
    const bool ignoreCase = FIgnoreCase;
    if (AByName)
        Sort([ignoreCase](const TQJson* a,
                          const TQJson* b) { return CompareNames(a->FName, b->FName, ignoreCase); },
             ANest);
    else
        Sort([AByType](const TQJson* a, const TQJson* b) { return CompareAsType(a, b, AByType); },
             ANest);
}

void TQJson::Sort(const String& AKeyPath, bool ADescending) {
    // Elements without the key sort first (last when descending).
    Sort(
        [&](const TQJson* a, const TQJson* b) {
            const TQJson* ka = const_cast<TQJson*>(a)->ItemByPath(AKeyPath);
            const TQJson* kb = const_cast<TQJson*>(b)->ItemByPath(AKeyPath);
            const int c = !ka || !kb ? (ka ? 1 : 0) - (kb ? 1 : 0) : CompareValues(ka, kb);
            return ADescending ? -c : c;
        },
        false);
}

void TQJson::RevertOrder(bool ANest) {
    if (!IsContainer()) return;
    std::reverse(Items().begin(), Items().end());
    if (ANest)
        for (TQJson* child : Items())
            child->RevertOrder(true);
}

void TQJson::ExchangeOrder(int AIndex1, int AIndex2) {
    TQJson* a = GetItems(AIndex1);
    TQJson* b = GetItems(AIndex2);
    Items()[static_cast<std::size_t>(AIndex1)] = b;
    Items()[static_cast<std::size_t>(AIndex2)] = a;
}

// --- comparing ---------------------------------------------------------------------------

bool TQJson::Equals(const TQJson* AJson) const {
    if (!AJson) return false;
    if (AJson == this) return true;
    const TQJsonDataType ta = FDataType, tb = AJson->FDataType;
    if (IsNumberType(ta) && IsNumberType(tb)) return CompareValues(this, AJson) == 0;
    const bool nullA = ta == jdtNull || ta == jdtUnknown, nullB = tb == jdtNull || tb == jdtUnknown;
    if (nullA || nullB) return nullA && nullB;
    if (ta != tb) return false;
    switch (ta) {
    case jdtString:
        return FValue.AsString == AJson->FValue.AsString;
    case jdtBoolean:
        return FValue.AsBoolean == AJson->FValue.AsBoolean;
    case jdtDateTime:
        return FValue.AsFloat == AJson->FValue.AsFloat;
    case jdtArray: {
        if (Items().size() != AJson->Items().size()) return false;
        for (std::size_t i = 0; i < Items().size(); ++i)
            if (!Items()[i]->Equals(AJson->Items()[i])) return false;
        return true;
    }
    default: { // jdtObject
        if (Items().size() != AJson->Items().size()) return false;
        TNameIndex other(AJson, FIgnoreCase);
        for (const TQJson* child : Items()) {
            const TQJson* match = other.Take(child->FName);
            if (!match || !child->Equals(match)) return false;
        }
        return true;
    }
    }
}

bool TQJson::Match(const TQJson* APattern) const {
    if (!APattern) return false;
    if (APattern->IsObject()) {
        if (!IsObject()) return false;
        for (const TQJson* wanted : APattern->Items()) {
            const int i = IndexOf(wanted->FName);
            if (i < 0 || !Items()[static_cast<std::size_t>(i)]->Match(wanted)) return false;
        }
        return true;
    }
    if (APattern->IsArray()) {
        if (!IsArray()) return false;
        for (const TQJson* wanted : APattern->Items())
            if (std::none_of(Items().begin(), Items().end(),
                             [&](const TQJson* item) { return item->Match(wanted); }))
                return false;
        return true;
    }
    return Equals(APattern);
}

TQJson* TQJson::SelectMembers(const TQJson* AJson, bool ACommon) const {
    std::unique_ptr<TQJson> result(const_cast<TQJson*>(this)->NewChildNode());
    if (!IsContainer() || !AJson || AJson->FDataType != FDataType) {
        if (Equals(AJson) == ACommon) result->Assign(this);
        return result.release();
    }
    result->SetDataType(FDataType);
    if (IsObject()) {
        TNameIndex other(AJson, FIgnoreCase);
        for (const TQJson* child : Items()) {
            const TQJson* match = other.Take(child->FName);
            if (match && child->IsObject() && match->IsObject()) {
                // Nested objects keep only their own selection, when there is one.
                TQJson* part = child->SelectMembers(match, ACommon);
                if (part->GetCount())
                    result->Add(child->FName, part);
                else
                    delete part;
            } else if ((match && child->Equals(match)) == ACommon) {
                result->Add(child->FName, child->Copy());
            }
        }
    } else {
        // Elements pair with equal elements of the other array, each used once.
        std::vector<bool> used(AJson->Items().size());
        for (const TQJson* child : Items()) {
            bool found = false;
            for (std::size_t i = 0; i < used.size() && !found; ++i)
                if (!used[i] && child->Equals(AJson->Items()[i])) used[i] = found = true;
            if (found == ACommon) result->Add(child->Copy());
        }
    }
    return result.release();
}

TQJson* TQJson::Intersect(const TQJson* AJson) const {
    return SelectMembers(AJson, true);
}

TQJson* TQJson::Diff(const TQJson* AJson) const {
    return SelectMembers(AJson, false);
}

// --- merging ---------------------------------------------------------------------------

void TQJson::Merge(const TQJson* ASource, TQJsonMergeMethod AMethod) {
    if (!ASource || ASource == this) {
        if (ASource && AMethod == jmmAppend && IsContainer()) {
            std::unique_ptr<TQJson> copy(ASource->Copy());
            Merge(copy.get(), jmmAppend);
        }
        return;
    }
    if (!ASource->IsContainer()) {
        // A scalar source can only take the receiver's place.
        if (AMethod == jmmAsSource || AMethod == jmmReplace) Assign(ASource);
        return;
    }
    // Copy the source first: it may lie inside this node.
    std::unique_ptr<TQJson> source(ASource->Copy());
    if (!IsContainer()) SetDataType(source->FDataType);
    const bool byName = IsObject() && source->IsObject();
    if (!byName && (AMethod == jmmAsSource || AMethod == jmmReplace)) {
        // Arrays have no names to pair: the source's elements take over.
        Assign(source.get());
        return;
    }
    auto take = [&](TQJson* child) {
        source->Remove(child);
        return child;
    };
    const std::vector<TQJson*> children(source->Items());
    for (TQJson* child : children) {
        if (AMethod == jmmAppend) {
            Add(take(child));
            continue;
        }
        if (!byName) {
            // jmmIgnore on arrays: a set union by value.
            if (std::none_of(Items().begin(), Items().end(),
                             [&](const TQJson* own) { return own->Equals(child); }))
                Add(take(child));
            continue;
        }
        const int i = IndexOf(child->FName);
        if (i < 0) {
            Add(take(child));
        } else if (AMethod == jmmReplace ||
                   (AMethod == jmmAsSource &&
                    !(Items()[static_cast<std::size_t>(i)]->IsObject() && child->IsObject()))) {
            Replace(i, take(child));
        } else if (AMethod == jmmAsSource) {
            Items()[static_cast<std::size_t>(i)]->Merge(child, jmmAsSource);
        }
    }
}
