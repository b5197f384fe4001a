// The JSON document: a tree of TQJson nodes. Every node has a name (object
// members only), a value type, one scalar value or an ordered list of
// children, an optional comment, a link to its parent and a tag for the
// caller. A node owns its children; releasing a node releases its subtree.
//
// Parsing (qjson_parse.cpp), writing (qjson_write.cpp), streams and files
// (qjson_stream.cpp), lookups (qjson_lookup.cpp), structure edits
// (qjson_edit.cpp) and whole-tree operations (qjson_compare.cpp) are
// implemented beside this unit; they all belong to this one class.
#pragma once

#include "RtlBcd.h"
#include "RtlDateTime.h"
#include "RtlException.h"
#include "RtlStream.h"
#include "RtlString.h"
#include "RtlVariant.h"
#include "qstring.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <type_traits>
#include <vector>

enum TQJsonDataType : std::uint8_t {
    jdtUnknown,
    jdtNull,
    jdtString,
    jdtInteger,
    jdtFloat,
    jdtBcd,
    jdtBoolean,
    jdtDateTime,
    jdtArray,
    jdtObject
};

enum TQJsonCommentStyle : std::uint8_t { jcsIgnore, jcsInherited, jcsBeforeName, jcsAfterValue };

// Writer options; combine them with "|".
enum class TJsonEncodeSetting : std::uint8_t {
    jesIgnoreNull = 1,    // children of type null or unknown are left out
    jesIgnoreDefault = 2, // also children holding their type's empty value
    jesDoFormat = 4,      // line breaks (CR LF) and indentation
    jesDoEscape = 8,      // characters above U+007E as \u escapes
    jesNullAsString = 16, // null and unknown values as ""
    jesJavaDateTime = 32, // date-times as "/DATE(...)/"
    jesWithComment = 64   // node comments as line comments
};
using enum TJsonEncodeSetting;

class TJsonEncodeSettings {
public:
    constexpr TJsonEncodeSettings() = default;
    constexpr TJsonEncodeSettings(TJsonEncodeSetting s) : FBits(static_cast<std::uint8_t>(s)) {}
    constexpr bool Contains(TJsonEncodeSetting s) const {
        return (FBits & static_cast<std::uint8_t>(s)) != 0;
    }
    constexpr TJsonEncodeSettings operator|(TJsonEncodeSettings o) const {
        return FromBits(FBits | o.FBits);
    }
    constexpr TJsonEncodeSettings Without(TJsonEncodeSetting s) const {
        return FromBits(FBits & ~static_cast<std::uint8_t>(s));
    }
    constexpr std::uint8_t Bits() const { return FBits; }
    constexpr bool operator==(const TJsonEncodeSettings&) const = default;

private:
    static constexpr TJsonEncodeSettings FromBits(int bits) {
        TJsonEncodeSettings s;
        s.FBits = static_cast<std::uint8_t>(bits);
        return s;
    }
    std::uint8_t FBits = 0;
};
constexpr TJsonEncodeSettings operator|(TJsonEncodeSetting a, TJsonEncodeSetting b) {
    return TJsonEncodeSettings(a) | TJsonEncodeSettings(b);
}

// How Merge treats a member that both sides hold.
enum TQJsonMergeMethod : std::uint8_t {
    jmmIgnore,   // keep ours; only members we lack are copied
    jmmAppend,   // copy every member of the source after ours
    jmmAsSource, // objects merge member by member, anything else becomes the source's
    jmmReplace   // a member we hold is replaced by a copy of the source's
};

// Errors of the library that are not parse errors.
RTL_EXCEPTION(QException, Exception);

// A parse error with the 1-based line and column where parsing stopped.
class EJsonError : public Exception {
public:
    EJsonError(String AMessage, int ARow, int ACol)
        : Exception(std::move(AMessage)), FRow(ARow), FCol(ACol) {}
    int Row() const { return FRow; }
    int Col() const { return FCol; }

private:
    int FRow;
    int FCol;
};

class TQJson;
using TQJsonItemList = std::vector<TQJson*>;
using TQJsonFilter = std::function<bool(TQJson* AItem)>;
using TQJsonCompare = std::function<int(const TQJson* A, const TQJson* B)>;

// --- unit-wide settings (one thread at a time) ---------------------------------
extern bool StrictJson;
extern bool NameCaseSensitive;
extern String DateOnlyFormat;
extern String TimeOnlyFormat;
extern String DateTimeFormat;
// Hours of offset for the /DATE(...)/ form; outside -12..12 means none.
extern int JavaTimeZone;
extern bool JavaTimeInSeconds;
// Makes every child node instead of the plain constructor when set.
extern std::function<TQJson*(TQJson* AParent)> OnNodeCreate;
// Releases a child (whose parent link is already cleared) instead of delete.
extern std::function<void(TQJson* ANode)> OnNodeFree;

// The display names "Unknown" ... "Object" of the value types.
String JsonTypeName(TQJsonDataType AType);

class TQJson {
public:
    TQJson();
    // Sets the type first (unless jdtUnknown), then Value := AValue.
    TQJson(const String& AName, const String& AValue, TQJsonDataType ADataType = jdtUnknown);
    // Unlinks the node from its parent (if any), then releases its subtree.
    virtual ~TQJson();
    TQJson(const TQJson&) = delete;
    TQJson& operator=(const TQJson&) = delete;

    // Nodes are allocated from a recycling pool: documents are made of many
    // small nodes, and the general heap dominates parse time otherwise.
    static void* operator new(std::size_t size);
    static void operator delete(void* p, std::size_t size) noexcept;

    // --- overridable steps ---
    virtual TQJson* NewChildNode();
    virtual void NameChanged(TQJson* ANode);
    virtual void Parsed();
    virtual TQJson* Add(const String& AName);
    virtual TQJson* ItemByName(const String& AName);
    virtual void Assign(const TQJson* ANode);
    virtual void Delete(int AIndex);
    virtual int IndexOf(const String& AName) const;
    virtual void Clear();
    virtual TQJson* Remove(int AItemIndex);
    virtual void Reset(bool ADetach);
    virtual void Replace(int AIndex, TQJson* ANewItem);
    virtual String ToString() const;

    // --- properties ---
    TQJson* GetParent() const { return FParent; }
    TQJsonDataType GetDataType() const { return FDataType; }
    void SetDataType(TQJsonDataType AType);
    const String& GetName() const { return FName; }
    void SetName(const String& AName);
    int GetCount() const { return IsContainer() ? static_cast<int>(Items().size()) : 0; }
    TQJson* GetItems(int AIndex) const;
    String GetValue() const;
    void SetValue(const String& AValue);
    bool IsBool() const { return FDataType == jdtBoolean; }
    bool IsNull() const { return FDataType == jdtNull; }
    bool IsNumeric() const {
        return FDataType == jdtInteger || FDataType == jdtFloat || FDataType == jdtBcd;
    }
    bool IsDateTime() const;
    bool IsString() const { return FDataType == jdtString; }
    bool IsObject() const { return FDataType == jdtObject; }
    bool IsArray() const { return FDataType == jdtArray; }
    bool IsContainer() const { return FDataType == jdtArray || FDataType == jdtObject; }

    bool GetAsBoolean() const;
    void SetAsBoolean(bool AValue);
    int GetAsInteger() const { return static_cast<int>(GetAsInt64()); }
    void SetAsInteger(int AValue) { SetAsInt64(AValue); }
    std::int64_t GetAsInt64() const;
    void SetAsInt64(std::int64_t AValue);
    long double GetAsFloat() const;
    void SetAsFloat(long double AValue);
    TBcd GetAsBcd() const;
    void SetAsBcd(const TBcd& AValue);
    TDateTime GetAsDateTime() const;
    void SetAsDateTime(TDateTime AValue);
    String GetAsString() const;
    void SetAsString(const String& AValue);
    // The JSON text of the node when it is an object (or array); setting
    // parses the text, which must hold an object (or array).
    String GetAsObject() const;
    void SetAsObject(const String& AValue);
    String GetAsArray() const;
    void SetAsArray(const String& AValue);
    Variant GetAsVariant() const;
    void SetAsVariant(const Variant& AValue);
    String GetAsJson() const;
    void SetAsJson(const String& AValue);
    // Bytes are stored as a string of hexadecimal digit pairs (AsBytes and
    // AsHexBytes) or in base64 (AsBase64Bytes).
    TBytes GetAsBytes() const { return GetAsHexBytes(); }
    void SetAsBytes(const TBytes& AValue) { SetAsHexBytes(AValue); }
    TBytes GetAsHexBytes() const;
    void SetAsHexBytes(const TBytes& AValue);
    TBytes GetAsBase64Bytes() const;
    void SetAsBase64Bytes(const TBytes& AValue);
    void* GetData() const { return FExtras ? FExtras->Data : nullptr; }
    void SetData(void* AData);
    String GetPath() const;
    int GetItemIndex() const;
    std::uint32_t GetNameHash() const;
    bool GetIgnoreCase() const { return FIgnoreCase; }
    void SetIgnoreCase(bool AValue);
    TQJson* GetRoot() const;
    TQJsonCommentStyle GetCommentStyle() const { return FCommentStyle; }
    void SetCommentStyle(TQJsonCommentStyle AValue) { FCommentStyle = AValue; }
    const String& GetComment() const;
    void SetComment(const String& AValue);

    // --- adding children ---
    // Appends ANode (taking it from another parent); a non-container receiver
    // becomes an object. Returns its index.
    int Add(TQJson* ANode);
    TQJson* Add();
    TQJson* Add(const String& AName, const String& AValue, TQJsonDataType ADataType = jdtUnknown);
    TQJson* Add(const String& AName, const char16_t* AValue,
                TQJsonDataType ADataType = jdtUnknown) {
        return Add(AName, String(AValue), ADataType);
    }
    TQJson* Add(const String& AName, long double AValue);
    TQJson* Add(const String& AName, double AValue) {
        return Add(AName, static_cast<long double>(AValue));
    }
    TQJson* Add(const String& AName, std::int64_t AValue);
    template <class T, std::enable_if_t<std::is_integral_v<T> && !std::is_same_v<T, bool> &&
                                            !std::is_same_v<T, std::int64_t>,
                                        int> = 0>
    TQJson* Add(const String& AName, T AValue) {
        return Add(AName, static_cast<std::int64_t>(AValue));
    }
    TQJson* Add(const String& AName, bool AValue);
    TQJson* Add(const String& AName, TQJsonDataType ADataType);
    // Names ANode and appends it.
    TQJson* Add(const String& AName, TQJson* ANode);
    // An array child holding the values.
    TQJson* Add(const String& AName, std::initializer_list<Variant> AItems);
    TQJson* AddArray(const String& AName) { return Add(AName, jdtArray); }
    TQJson* AddArray(const String& AName, std::initializer_list<Variant> AItems) {
        return Add(AName, AItems);
    }
    TQJson* AddDateTime(const String& AName, TDateTime AValue);
    TQJson* AddVariant(const String& AName, const Variant& AValue);

    // The same kinds, placed at AIndex (clamped to 0..Count).
    int Insert(int AIndex, TQJson* ANode);
    TQJson* Insert(int AIndex, const String& AName);
    TQJson* Insert(int AIndex, const String& AName, const String& AValue,
                   TQJsonDataType ADataType = jdtUnknown);
    TQJson* Insert(int AIndex, const String& AName, const char16_t* AValue,
                   TQJsonDataType ADataType = jdtUnknown) {
        return Insert(AIndex, AName, String(AValue), ADataType);
    }
    TQJson* Insert(int AIndex, const String& AName, long double AValue);
    TQJson* Insert(int AIndex, const String& AName, double AValue) {
        return Insert(AIndex, AName, static_cast<long double>(AValue));
    }
    TQJson* Insert(int AIndex, const String& AName, std::int64_t AValue);
    template <class T, std::enable_if_t<std::is_integral_v<T> && !std::is_same_v<T, bool> &&
                                            !std::is_same_v<T, std::int64_t>,
                                        int> = 0>
    TQJson* Insert(int AIndex, const String& AName, T AValue) {
        return Insert(AIndex, AName, static_cast<std::int64_t>(AValue));
    }
    TQJson* Insert(int AIndex, const String& AName, bool AValue);
    TQJson* Insert(int AIndex, const String& AName, TQJsonDataType ADataType);
    TQJson* InsertDateTime(int AIndex, const String& AName, TDateTime AValue);
    TQJson* InsertVariant(int AIndex, const String& AName, const Variant& AValue);

    // --- lookup (never raises) ---
    // Every child named AName (and, with ANest, every descendant), in order.
    int ItemByName(const String& AName, TQJsonItemList& AList, bool ANest = false);
    // Segments separated by ".", "/" or "\"; "name[i][j]" selects positions
    // inside nested containers.
    TQJson* ItemByPath(const String& APath);
    // Children (and with ANest descendants) whose name, or with AtName false
    // whose value text, matches the regular expression.
    int ItemByRegex(const String& ARegex, TQJsonItemList& AList, bool ANest = false,
                    bool AtName = true);
    String ValueByName(const String& AName, const String& ADefVal);
    bool BoolByName(const String& AName, bool ADefVal);
    std::int64_t IntByName(const String& AName, std::int64_t ADefVal);
    long double FloatByName(const String& AName, long double ADefVal);
    TDateTime DateTimeByName(const String& AName, TDateTime ADefVal);
    String ValueByPath(const String& APath, const String& ADefVal);
    bool BoolByPath(const String& APath, bool ADefVal);
    std::int64_t IntByPath(const String& APath, std::int64_t ADefVal);
    long double FloatByPath(const String& APath, long double ADefVal);
    TDateTime DateTimeByPath(const String& APath, TDateTime ADefVal);
    TBytes BytesByPath(const String& APath, const TBytes& ADefVal);
    // The first child whose value text equals AValue (with AStrict also its
    // type), -1 when none.
    int IndexOfValue(const String& AValue, bool AStrict = false) const;
    bool HasChild(const String& APath, TQJson*& AChild);
    bool Exists(const String& APath) { return ItemByPath(APath) != nullptr; }
    bool ContainsName(const String& AName, bool ANest = false);
    bool ContainsValue(const String& AValue, bool ANest = false, bool AStrict = false) const;
    // The first child (or descendant) the filter accepts.
    TQJson* FindIf(const TQJsonFilter& AFilter, bool ANest = false) const;
    // Calls AProc for every child (and descendant) in order until it returns false.
    void ForEach(const std::function<bool(TQJson*)>& AProc, bool ANest = false) const;
    bool IsChildOf(const TQJson* AParent) const;
    bool IsParentOf(const TQJson* AChild) const;
    // The path from AParent (an ancestor, or nil for the root) down to this node.
    String GetRelPath(const TQJson* AParent, char16_t APathDelimiter = u'\\') const;

    // --- structure edits ---
    TQJson* Remove(TQJson* AJson);
    void Detach();
    void Delete(const String& AName);
    // Deletes this node through its parent, or releases it when it has none.
    void Delete();
    int DeleteIf(const TQJsonFilter& AFilter, bool ANest = false);
    void ResetNull() { SetDataType(jdtNull); }
    void AttachTo(TQJson* ANewParent);
    void MoveTo(TQJson* ANewParent, int AIndex);
    TQJson* Copy() const;
    TQJson* Clone() const { return Copy(); }
    // A copy that keeps only the children (and descendants) the filter accepts.
    TQJson* CopyIf(const TQJsonFilter& AFilter) const;
    TQJson* ForcePath(const String& APath);
    TQJson* ForceName(const String& AName);
    // Sorts the children by name, or by value: with AByType the values are
    // read as that type (jdtInteger, jdtFloat, jdtBoolean, jdtDateTime,
    // jdtString), otherwise numbers compare numerically and the rest as text.
    // Sorting is stable.
    void Sort(bool AByName, bool ANest = false, TQJsonDataType AByType = jdtUnknown);
    void Sort(const TQJsonCompare& ACompare, bool ANest = false);
    // Sorts an array of objects by the value at a path inside each element.
    void Sort(const String& AKeyPath, bool ADescending);
    // A literal path must not turn into the Boolean of the first overload.
    void Sort(const char16_t* AKeyPath, bool ADescending) { Sort(String(AKeyPath), ADescending); }
    void RevertOrder(bool ANest = false);
    void ExchangeOrder(int AIndex1, int AIndex2);

    // --- whole-tree operations ---
    void Merge(const TQJson* ASource, TQJsonMergeMethod AMethod);
    // Same type and value (numbers compare by value whatever their kind);
    // objects compare member by member regardless of order.
    bool Equals(const TQJson* AJson) const;
    // True when every member (and element) of the pattern is found here with
    // an equal value: a query by example.
    bool Match(const TQJson* APattern) const;
    // New trees (the caller owns them): members both sides hold with equal
    // values, and members of this node the other lacks or holds differently.
    TQJson* Intersect(const TQJson* AJson) const;
    TQJson* Diff(const TQJson* AJson) const;

    // --- iteration over the children ---
    using const_iterator = std::vector<TQJson*>::const_iterator;
    const_iterator begin() const;
    const_iterator end() const;

    // --- parsing ---
    void Parse(const String& S);
    void Parse(const char16_t* p, std::size_t l);
    bool TryParse(const String& S);
    bool TryParse(const char16_t* p, std::size_t l);
    void ParseMultiBlock(const String& S);
    void ParseBlock(TStream& AStream, TTextEncoding AEncoding);

    // --- writing ---
    String Encode(bool ADoFormat, bool ADoEscape = false, const String& AIndent = u"  ") const;
    String Encode(TJsonEncodeSettings ASettings, const String& AIndent = u"  ") const;
    // Appends the text of Encode to a builder.
    void EncodeTo(TQStringCatHelperW& ABuilder, TJsonEncodeSettings ASettings,
                  const String& AIndent = u"  ") const;
    String Escape(const String& S) const { return JsonEscape(S, true); }

    // --- streams and files ---
    void SaveToStream(TStream& AStream, TTextEncoding AEncoding = teUTF8, bool AWriteBom = true,
                      bool ADoFormat = true) const;
    void SaveToFile(const String& AFileName, TTextEncoding AEncoding = teUTF8,
                    bool AWriteBom = true, bool ADoFormat = true) const;
    void LoadFromStream(TStream& AStream, TTextEncoding AEncoding = teUnknown);
    void LoadFromFile(const String& AFileName, TTextEncoding AEncoding = teUnknown);
    // The value's bytes from and to streams and files (see AsBytes).
    void ValueFromStream(TStream& AStream, std::int64_t ACount);
    void StreamFromValue(TStream& AStream) const;
    void ValueFromFile(const String& AFileName);
    void FileFromValue(const String& AFileName) const;

    // --- class-level text routines ---
    static void JsonCat(TQStringCatHelperW& ABuilder, StringView S, bool ADoEscape);
    static String JsonCat(StringView S, bool ADoEscape);
    static String JsonEscape(StringView S, bool ADoEscape);
    static String JsonUnescape(const String& S);
    // Reads a quoted (or unquoted) string at p into the builder; false when
    // a quoted string is not closed. p moves past what was read.
    static bool BuildJsonString(TQStringCatHelperW& ABuilder, const char16_t*& p,
                                const char16_t* AEnd);
    static String EncodeDateTime(TDateTime AValue);
    static std::uint32_t HashName(StringView AName, bool AIgnoreCase);
    static int CompareNames(StringView A, StringView B, bool AIgnoreCase);

private:
    friend class TQJsonParser;
    friend class TQJsonWriter;

    std::vector<TQJson*>& Items() { return FValue.Items; }
    const std::vector<TQJson*>& Items() const { return FValue.Items; }
    // The child list; raises when the node is no container.
    std::vector<TQJson*>& ArrayNeeded();
    void ReleaseChildren();
    void ReleaseChild(TQJson* AChild);
    void ResetValueStore(TQJsonDataType ANewType);
    void DestroyValueStore();
    void CopyValueFrom(const TQJson* ASource);
    void InsertChild(int AIndex, TQJson* ANode);
    TQJson* NewNamedChild(int AIndex, const String& AName);
    void UnlinkChild(TQJson* AChild);
    void CheckNotAncestor(const TQJson* ANode) const;
    void SetNameRaw(String&& AName) {
        FName = std::move(AName);
        FNameHash = 0;
    }
    void ApplyIgnoreCase(bool AValue);
    // Intersect (ACommon) and Diff (not ACommon).
    TQJson* SelectMembers(const TQJson* AJson, bool ACommon) const;
    [[noreturn]] void RaiseConvert(const char16_t* ATarget) const;

    String FName;
    mutable std::uint32_t FNameHash = 0;
    TQJsonDataType FDataType = jdtUnknown;
    TQJsonCommentStyle FCommentStyle = jcsInherited;
    bool FIgnoreCase = false;
    TQJson* FParent = nullptr;
    // The caller's tag and the comment are rare: they live in a side record
    // made when first set, which keeps the node at 96 bytes (see operator new).
    struct TExtras {
        void* Data = nullptr;
        String Comment;
    };
    TExtras* FExtras = nullptr;
    TExtras& Extras() {
        if (!FExtras) FExtras = new TExtras();
        return *FExtras;
    }
    // The value store: exactly one member is alive, chosen by FDataType.
    union ValueStore {
        ValueStore() : AsInt64(0) {}
        ~ValueStore() {}
        std::int64_t AsInt64;
        long double AsFloat; // jdtFloat and jdtDateTime
        bool AsBoolean;
        String AsString;
        TBcd* AsBcd;                // out of line: decimals are rare and large
        std::vector<TQJson*> Items; // jdtArray and jdtObject
    } FValue;
};
