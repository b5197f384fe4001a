// The request a caller prepares before a transfer: a request header and an
// ordered list of body items. It produces the request's header lines and a
// stream with the body, choosing the content type, the multipart boundary and
// the content length, and it can load items back from a body.
#pragma once

#include "clHttpHeader.h"
#include "clHttpRequestItem.h"

#include "RtlComponent.h"
#include "RtlDateTime.h"
#include "RtlStrings.h"

#include <functional>
#include <memory>

// Asks for a stream: the item's data while a body is built (OnLoadData), or
// where a loaded item's bytes go (OnSaveData). The stream handed back belongs
// to the request from then on.
using TclGetDataStreamEvent = std::function<void(TclHttpRequest* Sender, TclHttpRequestItem* AItem,
                                                 std::unique_ptr<TStream>& AData)>;
// A part of a loaded body is complete; AData is the stream from OnSaveData
// (null for text items or when none was supplied), freed after the call.
using TclDataAddedEvent =
    std::function<void(TclHttpRequest* Sender, TclHttpRequestItem* AItem, TStream* AData)>;

class TclHttpRequest : public TComponent {
public:
    explicit TclHttpRequest(TComponent* AOwner = nullptr);
    ~TclHttpRequest() override;
    String ClassName() const override { return u"TclHttpRequest"; }
    // Copies the items (same classes and properties) and the header.
    void Assign(const TPersistent* Source) override;

    TclFormFieldRequestItem* AddFormField(StringView AFieldName, StringView AFieldValue);
    // Adds nothing and returns null for an empty value.
    TclFormFieldRequestItem* AddFormFieldIfNeed(StringView AFieldName, StringView AFieldValue);
    TclSubmitFileRequestItem* AddSubmitFile(StringView AFieldName, StringView AFileName);
    TclTextRequestItem* AddTextData(StringView ATextData);
    TclBinaryRequestItem* AddBinaryData();
    // One JSON text item sent as "application/json" in "utf-8".
    void BuildJSONRequest(StringView AJson);
    // Clears the items, then the header.
    void Clear();

    TclHttpRequestItemList& GetItems() { return *FItems; }
    TclHttpRequestHeader& GetHeader() { return *FHeader; }
    void SetHeader(const TclHttpRequestHeader& AValue) { FHeader->Assign(&AValue); }
    // The first form field of that name (any case), or null.
    TclFormFieldRequestItem* FormFields(StringView AFieldName) const;
    std::int32_t GetBatchSize() const { return FBatchSize; }
    void SetBatchSize(std::int32_t AValue) { FBatchSize = AValue; }

    // The header lines: built on first read after a change, then cached.
    // Writing parses the lines into Header.
    const TStrings& GetHeaderSource();
    void SetHeaderSource(const TStrings& AValue);
    // A new stream with the body; the caller owns it. Writing loads items
    // from a body read from the stream's position (no stream: no items).
    std::unique_ptr<TStream> GetRequestStream();
    void SetRequestStream(TStream* AValue);
    // The body as text lines in Header.CharSet, cached; writing loads it.
    const TStrings& GetRequestSource();
    void SetRequestSource(const TStrings& AValue);
    // The body's length in bytes: always what GetRequestStream delivers.
    std::int64_t GetTotalSize();
    bool IsMultiPartContent() const;
    bool IsFormFieldRequest() const;

    void SaveHeader(StringView AFileName);
    void LoadHeader(StringView AFileName);
    void SaveRequest(StringView AFileName);
    void LoadRequest(StringView AFileName);

    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    // Forgets the built header, body text and item sizes after a change.
    void Update();

    // The clock that multipart boundaries are made from (local time).
    void SetClock(std::function<TDateTime()> AClock) { FClock = std::move(AClock); }

    TNotifyEvent OnChanged;
    TclGetDataStreamEvent OnSaveData;
    TclGetDataStreamEvent OnLoadData;
    TclDataAddedEvent OnDataAdded;

private:
    friend class TclHttpRequestItemList;
    friend class TclHttpRequestItem;

    // The list changed its items: the content type follows them.
    void ItemsChanged();
    String ContentTypeFromItems() const;
    // Makes a boundary for multipart content and drops it for anything else.
    void SettleBoundary();
    String CreateBoundary() const;
    // Runs a body with FIsParse set, restoring it on every path.
    template <class Body> void Parsing(Body&& ABody);
    bool IsIdle() const;
    void LoadMultipart(TStream& AStream);
    void LoadText(TStream& AStream);
    // The separator written before item AIndex of ACount, and the body's end.
    String PartSeparator(int AIndex) const;
    String BodyTrailer() const;

    std::unique_ptr<TclHttpRequestItemList> FItems;
    std::unique_ptr<TclHttpRequestHeader> FHeader;
    int FUpdateCount = 0;
    std::unique_ptr<TStringList> FRequestSource;
    std::unique_ptr<TStringList> FHeaderSource;
    bool FIsParse = false;
    bool FInUpdate = false;
    std::int32_t FBatchSize = 8192;
    std::function<TDateTime()> FClock;
};
