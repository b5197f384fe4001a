// Typed HTTP headers: one text property per header field the client knows.
// ParseHeader fills an object from header lines, AssignHeader appends its
// non-empty fields to header lines. Values stay text exactly as read or set.
//
// Each class describes its fields in one table of {field name, member}; the
// parsing, writing, copying, clearing and known-field lookup all walk those
// tables rather than repeating per-field code.
#pragma once

#include "RtlPersistent.h"
#include "RtlStrings.h"

#include <memory>

class TclHeaderFieldList;

// A property backed by a String member F<Name>: the getter, and a setter that
// stores a different value and then notifies.
#define CL_HEADER_PROPERTY(Name)                                                                   \
    const String& Get##Name() const {                                                              \
        return F##Name;                                                                            \
    }                                                                                              \
    void Set##Name(StringView AValue) {                                                            \
        SetField(F##Name, AValue);                                                                 \
    }

// Fields that describe a message body and the connection.
class TclHttpEntityHeader : public TPersistent {
public:
    TclHttpEntityHeader();
    ~TclHttpEntityHeader() override;
    String ClassName() const override { return u"TclHttpEntityHeader"; }

    // Copies the entity part from another header, and the request or response
    // part when the source is of the same kind; anything else is refused.
    void Assign(const TPersistent* Source) override;
    // Empties every property (a request header then has Accept "*/*").
    virtual void Clear();

    // Starts from Clear and reads the fields of AHeader.
    void ParseHeader(const TStrings& AHeader);
    // Appends the non-empty fields after the lines already in AHeader.
    void AssignHeader(TStrings& AHeader) const;

    // Change notification: OnChanged fires after a change, or once when the
    // outermost update ends.
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    void Update();
    TNotifyEvent OnChanged;

    CL_HEADER_PROPERTY(CacheControl)
    CL_HEADER_PROPERTY(ProxyConnection)
    CL_HEADER_PROPERTY(Connection)
    CL_HEADER_PROPERTY(ContentEncoding)
    CL_HEADER_PROPERTY(LastModified)
    // The first item of "Content-Type"; Boundary and CharSet are its items.
    CL_HEADER_PROPERTY(ContentType)
    CL_HEADER_PROPERTY(ContentLanguage)
    CL_HEADER_PROPERTY(ContentVersion)
    CL_HEADER_PROPERTY(ContentLength)
    CL_HEADER_PROPERTY(Expires)
    CL_HEADER_PROPERTY(Date)
    CL_HEADER_PROPERTY(TransferEncoding)
    CL_HEADER_PROPERTY(Boundary)
    CL_HEADER_PROPERTY(CharSet)
    // Every field without a property, one "Name: value" line each.
    TStrings& GetExtraFields() { return *FExtraFields; }
    const TStrings& GetExtraFields() const { return *FExtraFields; }
    void SetExtraFields(const TStrings& AValue) { FExtraFields->Assign(&AValue); }

    // True for a field name that has a property (any case).
    bool IsKnownField(StringView AName) const { return FKnownFields->IndexOf(AName) >= 0; }

protected:
    void SetField(String& AField, StringView AValue);
    void RegisterField(StringView AName);
    // A list whose changes report through Update.
    std::unique_ptr<TStringList> CreateList();

    // The steps of ParseHeader and AssignHeader over an already parsed list.
    virtual void InternalParseHeader(const TclHeaderFieldList& AList);
    virtual void InternalAssignHeader(TclHeaderFieldList& AList) const;
    void ParseContentType(const TclHeaderFieldList& AList);
    void AssignContentType(TclHeaderFieldList& AList) const;

    // Runs a body inside BeginUpdate/EndUpdate, ending the update on every path.
    template <class Body> void Updating(Body&& ABody) {
        BeginUpdate();
        try {
            ABody();
        } catch (...) {
            EndUpdate();
            throw;
        }
        EndUpdate();
    }

private:
    String FCacheControl;
    String FProxyConnection;
    String FConnection;
    String FContentEncoding;
    String FLastModified;
    String FContentType;
    String FContentLanguage;
    String FContentVersion;
    String FContentLength;
    String FExpires;
    String FDate;
    std::unique_ptr<TStringList> FExtraFields;
    String FTransferEncoding;
    String FBoundary;
    int FUpdateCount = 0;
    std::unique_ptr<TStringList> FKnownFields;
    String FCharSet;

    friend struct TclEntityHeaderFields;
};

class TclHttpRequestHeader : public TclHttpEntityHeader {
public:
    TclHttpRequestHeader();
    ~TclHttpRequestHeader() override;
    String ClassName() const override { return u"TclHttpRequestHeader"; }
    void Assign(const TPersistent* Source) override;
    void Clear() override;

    CL_HEADER_PROPERTY(Referer)
    CL_HEADER_PROPERTY(AcceptEncoding)
    CL_HEADER_PROPERTY(Accept)
    CL_HEADER_PROPERTY(UserAgent)
    CL_HEADER_PROPERTY(AcceptLanguage)
    CL_HEADER_PROPERTY(AcceptCharSet)
    CL_HEADER_PROPERTY(Authorization)
    CL_HEADER_PROPERTY(ProxyAuthorization)
    CL_HEADER_PROPERTY(Range)
    CL_HEADER_PROPERTY(Host)

protected:
    void InternalParseHeader(const TclHeaderFieldList& AList) override;
    void InternalAssignHeader(TclHeaderFieldList& AList) const override;

private:
    String FReferer;
    String FAcceptEncoding;
    String FAccept;
    String FUserAgent;
    String FAcceptLanguage;
    String FAcceptCharSet;
    String FAuthorization;
    String FProxyAuthorization;
    String FRange;
    String FHost;

    friend struct TclRequestHeaderFields;
};

class TclHttpResponseHeader : public TclHttpEntityHeader {
public:
    TclHttpResponseHeader();
    ~TclHttpResponseHeader() override;
    String ClassName() const override { return u"TclHttpResponseHeader"; }
    void Assign(const TPersistent* Source) override;
    void Clear() override;

    CL_HEADER_PROPERTY(Age)
    CL_HEADER_PROPERTY(AcceptRanges)
    CL_HEADER_PROPERTY(RetryAfter)
    CL_HEADER_PROPERTY(Allow)
    CL_HEADER_PROPERTY(ContentRange)
    CL_HEADER_PROPERTY(ETag)
    CL_HEADER_PROPERTY(Server)
    CL_HEADER_PROPERTY(Location)
    CL_HEADER_PROPERTY(ContentDisposition)
    // Every "WWW-Authenticate" / "Proxy-Authenticate" value, in order.
    TStrings& GetAuthenticate() { return *FAuthenticate; }
    const TStrings& GetAuthenticate() const { return *FAuthenticate; }
    void SetAuthenticate(const TStrings& AValue) { FAuthenticate->Assign(&AValue); }
    TStrings& GetProxyAuthenticate() { return *FProxyAuthenticate; }
    const TStrings& GetProxyAuthenticate() const { return *FProxyAuthenticate; }
    void SetProxyAuthenticate(const TStrings& AValue) { FProxyAuthenticate->Assign(&AValue); }

protected:
    void InternalParseHeader(const TclHeaderFieldList& AList) override;
    void InternalAssignHeader(TclHeaderFieldList& AList) const override;

private:
    String FAge;
    String FAcceptRanges;
    String FRetryAfter;
    std::unique_ptr<TStringList> FAuthenticate;
    String FAllow;
    std::unique_ptr<TStringList> FProxyAuthenticate;
    String FContentRange;
    String FETag;
    String FServer;
    String FLocation;
    String FContentDisposition;

    friend struct TclResponseHeaderFields;
};

#undef CL_HEADER_PROPERTY
