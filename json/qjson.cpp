// The node itself: construction and release, the value store and its type,
// names and their hashes, comments and the properties that describe where a
// node sits in its tree.
#include "qjson.h"

#include "RtlConvert.h"
#include "RtlFormat.h"
#include "qjson_pool.h"

#include <algorithm>
#include <new>

bool StrictJson = false;
bool NameCaseSensitive = true;
String DateOnlyFormat = u"yyyy-mm-dd";
String TimeOnlyFormat = u"hh:nn:ss.zzz";
String DateTimeFormat = u"yyyy-mm-dd'T'hh:nn:ss.zzz";
int JavaTimeZone = -128;
bool JavaTimeInSeconds = false;
std::function<TQJson*(TQJson* AParent)> OnNodeCreate;
std::function<void(TQJson* ANode)> OnNodeFree;

String JsonTypeName(TQJsonDataType AType) {
    static const char16_t* const names[] = {u"Unknown", u"Null",  u"String",  u"Integer",
                                            u"Float",   u"Bcd",   u"Boolean", u"DateTime",
                                            u"Array",   u"Object"};
    return AType <= jdtObject ? String(names[AType]) : IntToStr(AType);
}

// --- allocation ----------------------------------------------------------------

// Two nodes fill three cache lines; keeping it so matters for speed (a
// document's nodes are touched once when built and once when released).
static_assert(sizeof(TQJson) <= 96, "keep the node small");

// Classes derived from TQJson have other sizes and use the general heap.
void* TQJson::operator new(std::size_t size) {
    return size == sizeof(TQJson) ? TQBlockPool::ForThread<sizeof(TQJson)>().Alloc()
                                  : ::operator new(size);
}

void TQJson::operator delete(void* p, std::size_t size) noexcept {
    if (size == sizeof(TQJson))
        TQBlockPool::ForThread<sizeof(TQJson)>().Free(p);
    else
        ::operator delete(p);
}

// --- construction and release --------------------------------------------------

TQJson::TQJson() : FIgnoreCase(!NameCaseSensitive) {}

TQJson::TQJson(const String& AName, const String& AValue, TQJsonDataType ADataType)
    : FName(AName), FCommentStyle(jcsIgnore), FIgnoreCase(!NameCaseSensitive) {
    if (ADataType != jdtUnknown) SetDataType(ADataType);
    SetValue(AValue);
}

TQJson::~TQJson() {
    // A node released while still linked must not stay in its parent's list.
    if (FParent) FParent->UnlinkChild(this);
    DestroyValueStore();
    delete FExtras;
}

TQJson* TQJson::NewChildNode() {
    if (OnNodeCreate) return OnNodeCreate(this);
    return new TQJson();
}

void TQJson::NameChanged(TQJson*) {}

void TQJson::Parsed() {}

void TQJson::ReleaseChild(TQJson* AChild) {
    AChild->FParent = nullptr;
    if (OnNodeFree)
        OnNodeFree(AChild);
    else
        delete AChild;
}

void TQJson::ReleaseChildren() {
    std::vector<TQJson*>& items = Items();
    // Last child first: the node pool reuses blocks in the reverse order of
    // their release, so the next tree built gets its nodes back in tree
    // order, which keeps walking it cache-friendly. Each child's parent link
    // is cleared before its release, so it does not search this list.
    for (std::size_t i = items.size(); i-- > 0;)
        ReleaseChild(items[i]);
    items.clear();
}

void TQJson::UnlinkChild(TQJson* AChild) {
    std::vector<TQJson*>& items = Items();
    // The newest child is the most likely one to go.
    for (std::size_t i = items.size(); i-- > 0;) {
        if (items[i] == AChild) {
            items.erase(items.begin() + static_cast<std::ptrdiff_t>(i));
            break;
        }
    }
    AChild->FParent = nullptr;
}

void TQJson::DestroyValueStore() {
    switch (FDataType) {
    case jdtString:
        FValue.AsString.~String();
        break;
    case jdtBcd:
        delete FValue.AsBcd;
        break;
    case jdtArray:
    case jdtObject:
        ReleaseChildren();
        FValue.Items.~vector();
        break;
    default:
        break;
    }
    FValue.AsInt64 = 0;
}

void TQJson::ResetValueStore(TQJsonDataType ANewType) {
    DestroyValueStore();
    FDataType = jdtUnknown;
    switch (ANewType) {
    case jdtString:
        new (&FValue.AsString) String();
        break;
    case jdtFloat:
    case jdtDateTime:
        FValue.AsFloat = 0;
        break;
    case jdtBcd:
        FValue.AsBcd = new TBcd();
        break;
    case jdtBoolean:
        FValue.AsBoolean = false;
        break;
    case jdtArray:
    case jdtObject:
        new (&FValue.Items) std::vector<TQJson*>();
        break;
    default:
        FValue.AsInt64 = 0;
        break;
    }
    FDataType = ANewType;
}

void TQJson::SetDataType(TQJsonDataType AType) {
    if (AType > jdtObject)
        throw QException(Format(u"%s 不是一个有效的 %s 类型的值。",
                                {IntToStr(static_cast<int>(AType)), String(u"DataType")}));
    if (AType == FDataType) return;
    if (IsContainer() && (AType == jdtArray || AType == jdtObject)) {
        // Array and object share the list; it only loses its children.
        ReleaseChildren();
        FDataType = AType;
        return;
    }
    ResetValueStore(AType);
}

void TQJson::CopyValueFrom(const TQJson* ASource) {
    switch (ASource->FDataType) {
    case jdtString:
        FValue.AsString = ASource->FValue.AsString;
        break;
    case jdtInteger:
        FValue.AsInt64 = ASource->FValue.AsInt64;
        break;
    case jdtFloat:
    case jdtDateTime:
        FValue.AsFloat = ASource->FValue.AsFloat;
        break;
    case jdtBcd:
        *FValue.AsBcd = *ASource->FValue.AsBcd;
        break;
    case jdtBoolean:
        FValue.AsBoolean = ASource->FValue.AsBoolean;
        break;
    default:
        break;
    }
}

// --- names ---------------------------------------------------------------------

std::uint32_t TQJson::HashName(StringView AName, bool AIgnoreCase) {
    std::uint32_t h = 0;
    for (char16_t c : AName) {
        if (AIgnoreCase && c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - 32);
        // The bytes of the UTF-16 little-endian form, low byte first.
        h = h * 131 + (c & 0xFF);
        h = h * 131 + (c >> 8);
    }
    return h;
}

int TQJson::CompareNames(StringView A, StringView B, bool AIgnoreCase) {
    const std::size_t n = std::min(A.size(), B.size());
    for (std::size_t i = 0; i < n; ++i) {
        char16_t a = A[i], b = B[i];
        if (AIgnoreCase) {
            if (a >= u'a' && a <= u'z') a = static_cast<char16_t>(a - 32);
            if (b >= u'a' && b <= u'z') b = static_cast<char16_t>(b - 32);
        }
        if (a != b) return static_cast<int>(a) - static_cast<int>(b);
    }
    // The shorter text's end mark (0) against the other's next unit.
    if (A.size() == B.size()) return 0;
    return A.size() < B.size() ? -static_cast<int>(B[n]) : static_cast<int>(A[n]);
}

std::uint32_t TQJson::GetNameHash() const {
    if (FNameHash == 0 && !FName.empty()) FNameHash = HashName(FName, FIgnoreCase);
    return FNameHash;
}

void TQJson::SetName(const String& AName) {
    if (AName == FName) return;
    if (FParent) {
        for (const TQJson* sibling : FParent->Items()) {
            if (sibling != this && sibling->FName.size() == AName.size() &&
                CompareNames(sibling->FName, AName, FParent->FIgnoreCase) == 0)
                throw Exception(Format(u"指定的父结点下已经存在名为 %s 的子结点。", {AName}));
        }
    }
    FName = AName;
    FNameHash = 0;
    NameChanged(this);
}

void TQJson::ApplyIgnoreCase(bool AValue) {
    if (FIgnoreCase != AValue) {
        FIgnoreCase = AValue;
        FNameHash = 0; // the hash depends on the flag
    }
    if (IsContainer())
        for (TQJson* child : Items())
            child->ApplyIgnoreCase(AValue);
}

void TQJson::SetIgnoreCase(bool AValue) {
    if (AValue != FIgnoreCase) GetRoot()->ApplyIgnoreCase(AValue);
}

// --- comment -------------------------------------------------------------------

const String& TQJson::GetComment() const {
    static const String empty;
    return FExtras ? FExtras->Comment : empty;
}

void TQJson::SetComment(const String& AValue) {
    if (AValue.empty() && !FExtras) return;
    Extras().Comment = AValue;
}

void TQJson::SetData(void* AData) {
    if (!AData && !FExtras) return;
    Extras().Data = AData;
}

// --- place in the tree -----------------------------------------------------------

TQJson* TQJson::GetItems(int AIndex) const {
    if (AIndex < 0 || AIndex >= GetCount())
        throw EListError(Format(u"List index out of bounds (%d)", {AIndex}));
    return Items()[static_cast<std::size_t>(AIndex)];
}

TQJson* TQJson::GetRoot() const {
    const TQJson* n = this;
    while (n->FParent)
        n = n->FParent;
    return const_cast<TQJson*>(n);
}

int TQJson::GetItemIndex() const {
    if (!FParent) return -1;
    const auto& items = FParent->Items();
    const auto it = std::find(items.begin(), items.end(), this);
    return static_cast<int>(it - items.begin());
}

bool TQJson::IsChildOf(const TQJson* AParent) const {
    for (const TQJson* p = FParent; p; p = p->FParent)
        if (p == AParent) return true;
    return false;
}

bool TQJson::IsParentOf(const TQJson* AChild) const {
    return AChild && AChild->IsChildOf(this);
}

String TQJson::GetRelPath(const TQJson* AParent, char16_t APathDelimiter) const {
    if (AParent && !IsChildOf(AParent)) return String();
    std::vector<const TQJson*> steps;
    for (const TQJson* n = this; n->FParent && n != AParent; n = n->FParent)
        steps.push_back(n);
    String path;
    for (std::size_t i = steps.size(); i-- > 0;) {
        const TQJson* n = steps[i];
        if (!path.empty()) path.push_back(APathDelimiter);
        if (n->FParent->IsArray() || n->FName.empty()) {
            path.push_back(u'[');
            path.append(IntToStr(n->GetItemIndex()));
            path.push_back(u']');
        } else {
            path.append(n->FName);
        }
    }
    return path;
}

String TQJson::GetPath() const {
    return GetRelPath(nullptr, u'\\');
}

namespace {
// What a scalar iterates over.
const std::vector<TQJson*> kNoChildren;
} // namespace

TQJson::const_iterator TQJson::begin() const {
    return IsContainer() ? Items().begin() : kNoChildren.begin();
}

TQJson::const_iterator TQJson::end() const {
    return IsContainer() ? Items().end() : kNoChildren.end();
}
