#include "clHttpHeader.h"

#include "clHeaderFieldList.h"

namespace {

template <class T> struct TclFieldRow {
    const char16_t* Name;
    String T::*Member; // null: the place of "Content-Type" and its items
};

template <class T, std::size_t N> using TclFieldTable = TclFieldRow<T>[N];

template <class T, std::size_t N>
void ParseRows(T& AHeader, const TclFieldTable<T, N>& ARows, const TclHeaderFieldList& AList) {
    for (const auto& row : ARows)
        if (row.Member) AHeader.*row.Member = AList.GetFieldValue(row.Name);
}

template <class T, std::size_t N> void ClearRows(T& AHeader, const TclFieldTable<T, N>& ARows) {
    for (const auto& row : ARows)
        if (row.Member) (AHeader.*row.Member).clear();
}

template <class T, std::size_t N>
void CopyRows(T& ADest, const T& ASource, const TclFieldTable<T, N>& ARows) {
    for (const auto& row : ARows)
        if (row.Member) ADest.*row.Member = ASource.*row.Member;
}

// A value that holds blanks or a delimiter must be quoted to read back as
// one item.
bool NeedsQuotes(StringView AValue) {
    if (AValue.find(u'"') != String::npos) return false;
    for (char16_t c : AValue)
        if (TclHeaderFieldList::IsWhiteSpaceChar(c) || TclHeaderFieldList::IsItemDelimiter(c))
            return true;
    return false;
}

void AddItem(TclHeaderFieldList& AList, int AField, StringView AName, StringView AValue) {
    if (NeedsQuotes(AValue))
        AList.AddQuotedFieldItem(AField, AName, AValue);
    else
        AList.AddFieldItem(AField, AName, AValue);
}

} // namespace

// The field tables, in the order AssignHeader writes the fields.
struct TclEntityHeaderFields {
    using H = TclHttpEntityHeader;
    static constexpr TclFieldRow<H> Rows[] = {
        {u"Content-Encoding", &H::FContentEncoding},
        {u"Content-Language", &H::FContentLanguage},
        {u"Content-Length", &H::FContentLength},
        {u"Content-Version", &H::FContentVersion},
        {u"Content-Type", nullptr},
        {u"Date", &H::FDate},
        {u"Expires", &H::FExpires},
        {u"Last-Modified", &H::FLastModified},
        {u"Transfer-Encoding", &H::FTransferEncoding},
        {u"Cache-Control", &H::FCacheControl},
        {u"Connection", &H::FConnection},
        {u"Proxy-Connection", &H::FProxyConnection},
    };
};

struct TclRequestHeaderFields {
    using H = TclHttpRequestHeader;
    static constexpr TclFieldRow<H> Rows[] = {
        {u"Accept", &H::FAccept},
        {u"Accept-Charset", &H::FAcceptCharSet},
        {u"Accept-Encoding", &H::FAcceptEncoding},
        {u"Accept-Language", &H::FAcceptLanguage},
        {u"Range", &H::FRange},
        {u"Referer", &H::FReferer},
        {u"Host", &H::FHost},
        {u"User-Agent", &H::FUserAgent},
        {u"Authorization", &H::FAuthorization},
        {u"Proxy-Authorization", &H::FProxyAuthorization},
    };
};

struct TclResponseHeaderFields {
    using H = TclHttpResponseHeader;
    static constexpr TclFieldRow<H> Rows[] = {
        {u"Allow", &H::FAllow},
        {u"Accept-Ranges", &H::FAcceptRanges},
        {u"Age", &H::FAge},
        {u"Content-Range", &H::FContentRange},
        {u"Content-Disposition", &H::FContentDisposition},
        {u"ETag", &H::FETag},
        {u"Location", &H::FLocation},
        {u"Retry-After", &H::FRetryAfter},
        {u"Server", &H::FServer},
    };
    static constexpr const char16_t* kAuthenticate = u"WWW-Authenticate";
    static constexpr const char16_t* kProxyAuthenticate = u"Proxy-Authenticate";
};

// --- TclHttpEntityHeader ----------------------------------------------------

TclHttpEntityHeader::TclHttpEntityHeader()
    : FExtraFields(CreateList()), FKnownFields(std::make_unique<TStringList>()) {
    for (const auto& row : TclEntityHeaderFields::Rows)
        RegisterField(row.Name);
    TclHttpEntityHeader::Clear();
}

TclHttpEntityHeader::~TclHttpEntityHeader() = default;

std::unique_ptr<TStringList> TclHttpEntityHeader::CreateList() {
    auto list = std::make_unique<TStringList>();
    list->OnChange = [this](TPersistent*) { Update(); };
    return list;
}

void TclHttpEntityHeader::RegisterField(StringView AName) {
    if (!IsKnownField(AName)) FKnownFields->Add(AName);
}

void TclHttpEntityHeader::SetField(String& AField, StringView AValue) {
    if (AField == AValue) return;
    AField = AValue;
    Update();
}

void TclHttpEntityHeader::EndUpdate() {
    if (FUpdateCount > 0) --FUpdateCount;
    Update();
}

void TclHttpEntityHeader::Update() {
    if (FUpdateCount == 0 && OnChanged) OnChanged(this);
}

void TclHttpEntityHeader::Clear() {
    Updating([&] {
        ClearRows(*this, TclEntityHeaderFields::Rows);
        FContentType.clear();
        FBoundary.clear();
        FCharSet.clear();
        FExtraFields->Clear();
    });
}

void TclHttpEntityHeader::Assign(const TPersistent* Source) {
    const auto* source = dynamic_cast<const TclHttpEntityHeader*>(Source);
    if (!source) {
        TPersistent::Assign(Source);
        return;
    }
    if (source == this) return;
    Updating([&] {
        CopyRows(*this, *source, TclEntityHeaderFields::Rows);
        FContentType = source->FContentType;
        FBoundary = source->FBoundary;
        FCharSet = source->FCharSet;
        FExtraFields->Assign(source->FExtraFields.get());
    });
}

void TclHttpEntityHeader::ParseHeader(const TStrings& AHeader) {
    Updating([&] {
        Clear();
        TStringList lines;
        lines.AddStrings(AHeader);
        TclHeaderFieldList list;
        list.Parse(0, lines);
        InternalParseHeader(list);
        const TStrings& names = list.GetFieldList();
        for (int i = 0; i < names.Count(); ++i)
            if (!IsKnownField(names[i]))
                FExtraFields->Add(list.GetFieldName(i) + u": " + list.GetFieldValue(i));
    });
}

void TclHttpEntityHeader::AssignHeader(TStrings& AHeader) const {
    TclHeaderFieldList list;
    list.Parse(0, AHeader);
    InternalAssignHeader(list);
}

void TclHttpEntityHeader::InternalParseHeader(const TclHeaderFieldList& AList) {
    ParseRows(*this, TclEntityHeaderFields::Rows, AList);
    ParseContentType(AList);
}

void TclHttpEntityHeader::InternalAssignHeader(TclHeaderFieldList& AList) const {
    for (const auto& row : TclEntityHeaderFields::Rows) {
        if (row.Member)
            AList.AddField(row.Name, this->*row.Member);
        else
            AssignContentType(AList);
    }
    AList.AddFields(*FExtraFields);
}

void TclHttpEntityHeader::ParseContentType(const TclHeaderFieldList& AList) {
    const String value = AList.GetFieldValue(u"Content-Type");
    FContentType = AList.GetFieldValueItem(value, u"");
    FBoundary = AList.GetFieldValueItem(value, u"boundary");
    FCharSet = AList.GetFieldValueItem(value, u"charset");
}

void TclHttpEntityHeader::AssignContentType(TclHeaderFieldList& AList) const {
    if (FContentType.empty()) return;
    AList.AddField(u"Content-Type", FContentType);
    // The items go on the line just written, even when the lines already
    // held a Content-Type of their own.
    const int field = AList.GetFieldList().Count() - 1;
    AddItem(AList, field, u"boundary", FBoundary);
    AddItem(AList, field, u"charset", FCharSet);
}

// --- TclHttpRequestHeader ---------------------------------------------------

TclHttpRequestHeader::TclHttpRequestHeader() {
    for (const auto& row : TclRequestHeaderFields::Rows)
        RegisterField(row.Name);
    TclHttpRequestHeader::Clear();
}

TclHttpRequestHeader::~TclHttpRequestHeader() = default;

void TclHttpRequestHeader::Clear() {
    Updating([&] {
        TclHttpEntityHeader::Clear();
        ClearRows(*this, TclRequestHeaderFields::Rows);
        FAccept = u"*/*";
    });
}

void TclHttpRequestHeader::Assign(const TPersistent* Source) {
    Updating([&] {
        TclHttpEntityHeader::Assign(Source);
        if (const auto* source = dynamic_cast<const TclHttpRequestHeader*>(Source))
            CopyRows(*this, *source, TclRequestHeaderFields::Rows);
    });
}

void TclHttpRequestHeader::InternalParseHeader(const TclHeaderFieldList& AList) {
    TclHttpEntityHeader::InternalParseHeader(AList);
    ParseRows(*this, TclRequestHeaderFields::Rows, AList);
}

void TclHttpRequestHeader::InternalAssignHeader(TclHeaderFieldList& AList) const {
    for (const auto& row : TclRequestHeaderFields::Rows)
        AList.AddField(row.Name, this->*row.Member);
    TclHttpEntityHeader::InternalAssignHeader(AList);
}

// --- TclHttpResponseHeader --------------------------------------------------

TclHttpResponseHeader::TclHttpResponseHeader()
    : FAuthenticate(CreateList()), FProxyAuthenticate(CreateList()) {
    for (const auto& row : TclResponseHeaderFields::Rows)
        RegisterField(row.Name);
    RegisterField(TclResponseHeaderFields::kAuthenticate);
    RegisterField(TclResponseHeaderFields::kProxyAuthenticate);
    TclHttpResponseHeader::Clear();
}

TclHttpResponseHeader::~TclHttpResponseHeader() = default;

void TclHttpResponseHeader::Clear() {
    Updating([&] {
        TclHttpEntityHeader::Clear();
        ClearRows(*this, TclResponseHeaderFields::Rows);
        FAuthenticate->Clear();
        FProxyAuthenticate->Clear();
    });
}

void TclHttpResponseHeader::Assign(const TPersistent* Source) {
    Updating([&] {
        TclHttpEntityHeader::Assign(Source);
        const auto* source = dynamic_cast<const TclHttpResponseHeader*>(Source);
        if (!source || source == this) return;
        CopyRows(*this, *source, TclResponseHeaderFields::Rows);
        FAuthenticate->Assign(source->FAuthenticate.get());
        FProxyAuthenticate->Assign(source->FProxyAuthenticate.get());
    });
}

void TclHttpResponseHeader::InternalParseHeader(const TclHeaderFieldList& AList) {
    TclHttpEntityHeader::InternalParseHeader(AList);
    ParseRows(*this, TclResponseHeaderFields::Rows, AList);
    const TStrings& names = AList.GetFieldList();
    for (int i = 0; i < names.Count(); ++i) {
        if (SameText(names[i], TclResponseHeaderFields::kAuthenticate))
            FAuthenticate->Add(AList.GetFieldValue(i));
        else if (SameText(names[i], TclResponseHeaderFields::kProxyAuthenticate))
            FProxyAuthenticate->Add(AList.GetFieldValue(i));
    }
}

void TclHttpResponseHeader::InternalAssignHeader(TclHeaderFieldList& AList) const {
    for (const auto& row : TclResponseHeaderFields::Rows)
        AList.AddField(row.Name, this->*row.Member);
    for (int i = 0; i < FAuthenticate->Count(); ++i)
        AList.AddField(TclResponseHeaderFields::kAuthenticate, (*FAuthenticate)[i]);
    for (int i = 0; i < FProxyAuthenticate->Count(); ++i)
        AList.AddField(TclResponseHeaderFields::kProxyAuthenticate, (*FProxyAuthenticate)[i]);
    TclHttpEntityHeader::InternalAssignHeader(AList);
}
