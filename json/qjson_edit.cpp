// Adding, inserting, removing, moving and copying children.
#include "qjson.h"

#include "RtlConvert.h"
#include "RtlFormat.h"
#include "qjson_path.h"

#include <cmath>
#include <memory>

std::vector<TQJson*>& TQJson::ArrayNeeded() {
    if (!IsContainer()) throw QException(Format(u"%s 的类型不是数组或对象。", {FName}));
    return Items();
}

void TQJson::CheckNotAncestor(const TQJson* ANode) const {
    // Only a container with children can hold this node somewhere below it.
    if (ANode == this || (ANode->IsContainer() && !ANode->Items().empty() && IsChildOf(ANode)))
        throw EInvalidOperation(
            u"A JSON node cannot become a child of itself or of one of its descendants");
}

void TQJson::InsertChild(int AIndex, TQJson* ANode) {
    CheckNotAncestor(ANode);
    if (ANode->FParent) ANode->FParent->UnlinkChild(ANode);
    if (!IsContainer()) SetDataType(jdtObject); // a scalar receiver drops its value
    std::vector<TQJson*>& items = ArrayNeeded();
    const std::size_t at =
        AIndex < 0 ? 0 : std::min(static_cast<std::size_t>(AIndex), items.size());
    items.insert(items.begin() + static_cast<std::ptrdiff_t>(at), ANode);
    ANode->FParent = this;
    if (ANode->FIgnoreCase != FIgnoreCase) {
        ANode->FIgnoreCase = FIgnoreCase;
        ANode->FNameHash = 0;
    }
}

int TQJson::Add(TQJson* ANode) {
    if (ANode->FParent == this) return ANode->GetItemIndex();
    InsertChild(GetCount(), ANode);
    return GetCount() - 1;
}

TQJson* TQJson::Add() {
    std::unique_ptr<TQJson> child(NewChildNode());
    if (!child->FParent && IsContainer() && !child->IsContainer()) {
        // The parser's path: a fresh node under a container needs none of the
        // checks. Most containers are small; one allocation serves up to four.
        std::vector<TQJson*>& items = Items();
        if (items.capacity() == 0) items.reserve(4);
        items.push_back(child.get());
        child->FParent = this;
        child->FIgnoreCase = FIgnoreCase;
        child->FNameHash = 0;
    } else {
        Add(child.get());
    }
    return child.release();
}

TQJson* TQJson::NewNamedChild(int AIndex, const String& AName) {
    std::unique_ptr<TQJson> child(NewChildNode());
    InsertChild(AIndex, child.get());
    TQJson* node = child.release();
    node->SetNameRaw(String(AName));
    NameChanged(node);
    return node;
}

namespace {

// Sets a new child's value; when that fails the child goes again, so a
// failed add leaves the receiver as it was (apart from becoming a container).
template <class Set> TQJson* SetOrDrop(TQJson* AChild, Set ASet) {
    try {
        ASet(AChild);
    } catch (...) {
        AChild->Delete();
        throw;
    }
    return AChild;
}

} // namespace

TQJson* TQJson::Add(const String& AName) {
    return NewNamedChild(GetCount(), AName);
}

TQJson* TQJson::Add(const String& AName, const String& AValue, TQJsonDataType ADataType) {
    return Insert(GetCount(), AName, AValue, ADataType);
}

TQJson* TQJson::Add(const String& AName, long double AValue) {
    return Insert(GetCount(), AName, AValue);
}

TQJson* TQJson::Add(const String& AName, std::int64_t AValue) {
    return Insert(GetCount(), AName, AValue);
}

TQJson* TQJson::Add(const String& AName, bool AValue) {
    return Insert(GetCount(), AName, AValue);
}

TQJson* TQJson::Add(const String& AName, TQJsonDataType ADataType) {
    return Insert(GetCount(), AName, ADataType);
}

TQJson* TQJson::Add(const String& AName, TQJson* ANode) {
    Add(ANode);
    ANode->SetNameRaw(String(AName));
    NameChanged(ANode);
    return ANode;
}

TQJson* TQJson::Add(const String& AName, std::initializer_list<Variant> AItems) {
    return SetOrDrop(Add(AName), [&](TQJson* child) {
        child->SetDataType(jdtArray);
        for (const Variant& v : AItems)
            child->Add()->SetAsVariant(v);
    });
}

TQJson* TQJson::AddDateTime(const String& AName, TDateTime AValue) {
    return InsertDateTime(GetCount(), AName, AValue);
}

TQJson* TQJson::AddVariant(const String& AName, const Variant& AValue) {
    return InsertVariant(GetCount(), AName, AValue);
}

int TQJson::Insert(int AIndex, TQJson* ANode) {
    if (ANode->FParent == this) {
        MoveTo(this, AIndex);
        return ANode->GetItemIndex();
    }
    InsertChild(AIndex, ANode);
    return ANode->GetItemIndex();
}

TQJson* TQJson::Insert(int AIndex, const String& AName) {
    return NewNamedChild(AIndex, AName);
}

TQJson* TQJson::Insert(int AIndex, const String& AName, const String& AValue,
                       TQJsonDataType ADataType) {
    return SetOrDrop(NewNamedChild(AIndex, AName), [&](TQJson* child) {
        if (ADataType != jdtUnknown) child->SetDataType(ADataType);
        child->SetValue(AValue);
    });
}

TQJson* TQJson::Insert(int AIndex, const String& AName, long double AValue) {
    if (!std::isfinite(AValue)) throw Exception(u"NaN/+∞/-∞不受JSON规范支持。");
    TQJson* child = NewNamedChild(AIndex, AName);
    child->SetAsFloat(AValue);
    return child;
}

TQJson* TQJson::Insert(int AIndex, const String& AName, std::int64_t AValue) {
    TQJson* child = NewNamedChild(AIndex, AName);
    child->SetAsInt64(AValue);
    return child;
}

TQJson* TQJson::Insert(int AIndex, const String& AName, bool AValue) {
    TQJson* child = NewNamedChild(AIndex, AName);
    child->SetAsBoolean(AValue);
    return child;
}

TQJson* TQJson::Insert(int AIndex, const String& AName, TQJsonDataType ADataType) {
    return SetOrDrop(NewNamedChild(AIndex, AName),
                     [&](TQJson* child) { child->SetDataType(ADataType); });
}

TQJson* TQJson::InsertDateTime(int AIndex, const String& AName, TDateTime AValue) {
    TQJson* child = NewNamedChild(AIndex, AName);
    child->SetAsDateTime(AValue);
    return child;
}

TQJson* TQJson::InsertVariant(int AIndex, const String& AName, const Variant& AValue) {
    return SetOrDrop(NewNamedChild(AIndex, AName),
                     [&](TQJson* child) { child->SetAsVariant(AValue); });
}

// --- removing ------------------------------------------------------------------------

TQJson* TQJson::Remove(int AItemIndex) {
    if (!IsContainer() || AItemIndex < 0 || AItemIndex >= GetCount()) return nullptr;
    TQJson* child = Items()[static_cast<std::size_t>(AItemIndex)];
    Items().erase(Items().begin() + AItemIndex);
    child->FParent = nullptr;
    return child;
}

TQJson* TQJson::Remove(TQJson* AJson) {
    return AJson && AJson->FParent == this ? Remove(AJson->GetItemIndex()) : nullptr;
}

void TQJson::Detach() {
    if (FParent) FParent->UnlinkChild(this);
}

void TQJson::Delete(int AIndex) {
    if (TQJson* child = Remove(AIndex)) ReleaseChild(child);
}

void TQJson::Delete(const String& AName) {
    Delete(IndexOf(AName));
}

void TQJson::Delete() {
    if (FParent)
        FParent->Delete(GetItemIndex());
    else
        delete this;
}

int TQJson::DeleteIf(const TQJsonFilter& AFilter, bool ANest) {
    if (!IsContainer()) return 0;
    int count = 0;
    for (int i = 0; i < GetCount();) {
        TQJson* child = Items()[static_cast<std::size_t>(i)];
        if (AFilter(child)) {
            Delete(i);
            ++count;
            continue;
        }
        if (ANest) count += child->DeleteIf(AFilter, true);
        ++i;
    }
    return count;
}

void TQJson::Clear() {
    if (IsContainer()) ReleaseChildren();
}

void TQJson::Reset(bool ADetach) {
    if (ADetach) Detach();
    FName.clear();
    FNameHash = 0;
    SetDataType(jdtUnknown);
    SetComment(String());
    FCommentStyle = jcsIgnore;
    SetData(nullptr);
    FIgnoreCase = !NameCaseSensitive;
}

void TQJson::Replace(int AIndex, TQJson* ANewItem) {
    TQJson* old = GetItems(AIndex);
    if (old == ANewItem) return;
    CheckNotAncestor(ANewItem);
    // Taking the new item from its place may move the old one (same parent).
    if (ANewItem->FParent) ANewItem->FParent->UnlinkChild(ANewItem);
    const int at = old->GetItemIndex();
    Items()[static_cast<std::size_t>(at)] = ANewItem;
    ANewItem->FParent = this;
    if (ANewItem->FIgnoreCase != FIgnoreCase) {
        ANewItem->FIgnoreCase = FIgnoreCase;
        ANewItem->FNameHash = 0;
    }
    // A nameless replacement keeps the member's name.
    if (ANewItem->FName.empty() && !old->FName.empty()) ANewItem->SetNameRaw(String(old->FName));
    ReleaseChild(old);
}

void TQJson::AttachTo(TQJson* ANewParent) {
    ANewParent->Add(this);
}

void TQJson::MoveTo(TQJson* ANewParent, int AIndex) {
    if (FParent == ANewParent) {
        std::vector<TQJson*>& items = ANewParent->Items();
        const int from = GetItemIndex();
        const int to = AIndex < 0 ? 0 : std::min(AIndex, static_cast<int>(items.size()) - 1);
        items.erase(items.begin() + from);
        items.insert(items.begin() + to, this);
        return;
    }
    ANewParent->InsertChild(AIndex, this);
}

// --- copies --------------------------------------------------------------------------

void TQJson::Assign(const TQJson* ANode) {
    if (ANode == this) return;
    // Copy everything first: ANode may lie inside this node's own subtree,
    // and then it is gone once Clear has run.
    const TQJsonDataType type = ANode->FDataType;
    std::vector<std::unique_ptr<TQJson>> copies;
    TQJson scalar;
    if (ANode->IsContainer()) {
        copies.reserve(ANode->Items().size());
        for (const TQJson* child : ANode->Items()) {
            std::unique_ptr<TQJson> copy(NewChildNode());
            copy->Assign(child);
            copy->FName = child->FName;
            // The cached hash holds when both sides fold names alike.
            copy->FNameHash = child->FIgnoreCase == FIgnoreCase ? child->FNameHash : 0;
            copy->SetComment(child->GetComment());
            copy->FCommentStyle = child->FCommentStyle;
            copies.push_back(std::move(copy));
        }
    } else {
        scalar.SetDataType(ANode->FDataType);
        scalar.CopyValueFrom(ANode);
    }
    Clear();
    SetDataType(type);
    if (IsContainer()) {
        Items().reserve(copies.size());
        for (auto& copy : copies) {
            copy->FParent = this;
            copy->FIgnoreCase = FIgnoreCase;
            Items().push_back(copy.release());
        }
    } else {
        CopyValueFrom(&scalar);
    }
}

TQJson* TQJson::Copy() const {
    std::unique_ptr<TQJson> copy(const_cast<TQJson*>(this)->NewChildNode());
    copy->Assign(this);
    return copy.release();
}

TQJson* TQJson::CopyIf(const TQJsonFilter& AFilter) const {
    std::unique_ptr<TQJson> copy(const_cast<TQJson*>(this)->NewChildNode());
    if (!IsContainer()) {
        copy->Assign(this);
        return copy.release();
    }
    copy->SetDataType(FDataType);
    for (TQJson* child : Items()) {
        if (!AFilter(child)) continue;
        TQJson* kept = child->CopyIf(AFilter);
        copy->Add(kept);
        kept->SetNameRaw(String(child->FName));
    }
    return copy.release();
}

// --- forcing a path into existence ------------------------------------------------------

TQJson* TQJson::ForceName(const String& AName) {
    if (TQJson* child = IsObject() ? ItemByName(AName) : nullptr) return child;
    return Add(AName);
}

TQJson* TQJson::ForcePath(const String& APath) {
    TQJson* node = this;
    for (const TQJsonPathStep& step : SplitJsonPath(APath)) {
        if (!step.Name.empty()) node = node->ForceName(step.Name);
        for (const String& text : step.Indexes) {
            std::int64_t index;
            if (!TryStrToInt64(Trim(text), index) || index < 0 || index > 0x7FFFFFFF)
                throw EListError(Format(u"List index out of bounds (%s)", {text}));
            if (!node->IsContainer()) node->SetDataType(jdtArray);
            while (node->GetCount() <= index)
                node->Add();
            node = node->GetItems(static_cast<int>(index));
        }
    }
    return node;
}
