// The body items of a request (form fields, files to submit, text, binary
// data) and the list that owns them. Each item produces its part of the body
// on demand as a stream.
#pragma once

#include "RtlPersistent.h"
#include "RtlStream.h"

#include <cstdint>
#include <memory>
#include <vector>

class TclHttpRequest;
class TclHttpRequestItemList;

class TclHttpRequestItem : public TPersistent {
public:
    // Every item belongs to a list; items are made through the list's Add.
    explicit TclHttpRequestItem(TclHttpRequestItemList* AOwner);
    ~TclHttpRequestItem() override;
    String ClassName() const override { return u"TclHttpRequestItem"; }
    void Assign(const TPersistent* Source) override;

    TclHttpRequest* Request() const;
    std::int32_t GetTag() const { return FTag; }
    void SetTag(std::int32_t AValue) { FTag = AValue; }
    // Percent-encode names and values in a URL-encoded body.
    bool GetCanonicalized() const { return FCanonicalized; }
    void SetCanonicalized(bool AValue);

    // A new stream with the item's part of the body, positioned at 0.
    std::unique_ptr<TStream> GetData();
    // The size of that stream, measured once until the next change.
    std::int64_t GetSize();
    void ResetSize() { FSize = 0; }

    // A copy of this item, of the same class, appended to AList.
    virtual TclHttpRequestItem* CloneTo(TclHttpRequestItemList& AList) const = 0;

    // Loading a body: the part's bytes arrive in pieces, then the part ends.
    // They are decoded all at once at the end, so that a character split
    // between two reads survives.
    void BeginData() { FLoaded.clear(); }
    void AddData(const std::uint8_t* AData, std::size_t ACount);
    void EndData();
    // True for items whose bytes go to a stream the caller supplies instead.
    virtual bool IsStreamData() const { return false; }

protected:
    virtual std::unique_ptr<TStream> CreateData() = 0;
    // Takes the text of a loaded part.
    virtual void AddLoadedText(StringView AText) {}
    // Marks a property change: the request rebuilds its caches.
    void Changed();
    void SetText(String& AField, StringView AValue);
    // Text as bytes in the request's character set.
    TBytes GetBytes(StringView AText) const;
    String GetString(const TBytes& ABytes) const;

private:
    TclHttpRequestItemList* FOwner;
    std::int32_t FTag = 0;
    bool FCanonicalized = true;
    std::int64_t FSize = 0;
    TBytes FLoaded;
};

// A form field: "name=value" in a URL-encoded body, a form-data part in a
// multipart one.
class TclFormFieldRequestItem : public TclHttpRequestItem {
public:
    using TclHttpRequestItem::TclHttpRequestItem;
    String ClassName() const override { return u"TclFormFieldRequestItem"; }
    void Assign(const TPersistent* Source) override;
    TclHttpRequestItem* CloneTo(TclHttpRequestItemList& AList) const override;

    const String& GetFieldName() const { return FFieldName; }
    void SetFieldName(StringView AValue) { SetText(FFieldName, AValue); }
    const String& GetFieldValue() const { return FFieldValue; }
    void SetFieldValue(StringView AValue) { SetText(FFieldValue, AValue); }

protected:
    std::unique_ptr<TStream> CreateData() override;
    void AddLoadedText(StringView AText) override { SetFieldValue(FFieldValue + String(AText)); }

private:
    String FFieldName;
    String FFieldValue;
};

// Plain text, sent as bytes in the request's character set.
class TclTextRequestItem : public TclHttpRequestItem {
public:
    using TclHttpRequestItem::TclHttpRequestItem;
    String ClassName() const override { return u"TclTextRequestItem"; }
    void Assign(const TPersistent* Source) override;
    TclHttpRequestItem* CloneTo(TclHttpRequestItemList& AList) const override;

    const String& GetTextData() const { return FTextData; }
    void SetTextData(StringView AValue) { SetText(FTextData, AValue); }

protected:
    std::unique_ptr<TStream> CreateData() override;
    void AddLoadedText(StringView AText) override { SetTextData(FTextData + String(AText)); }

private:
    String FTextData;
};

// A file sent as a form-data part: the part header, then the bytes from the
// request's OnLoadData or, without a stream from it, from the file itself.
class TclSubmitFileRequestItem : public TclHttpRequestItem {
public:
    using TclHttpRequestItem::TclHttpRequestItem;
    String ClassName() const override { return u"TclSubmitFileRequestItem"; }
    void Assign(const TPersistent* Source) override;
    TclHttpRequestItem* CloneTo(TclHttpRequestItemList& AList) const override;
    bool IsStreamData() const override { return true; }

    const String& GetFileName() const { return FFileName; }
    void SetFileName(StringView AValue) { SetText(FFileName, AValue); }
    const String& GetFieldName() const { return FFieldName; }
    void SetFieldName(StringView AValue) { SetText(FFieldName, AValue); }
    const String& GetContentType() const { return FContentType; }
    void SetContentType(StringView AValue) { SetText(FContentType, AValue); }

protected:
    std::unique_ptr<TStream> CreateData() override;

private:
    String FFileName;
    String FFieldName;
    String FContentType = u"application/octet-stream";
};

// Bytes from the request's OnLoadData, or nothing.
class TclBinaryRequestItem : public TclHttpRequestItem {
public:
    using TclHttpRequestItem::TclHttpRequestItem;
    String ClassName() const override { return u"TclBinaryRequestItem"; }
    TclHttpRequestItem* CloneTo(TclHttpRequestItemList& AList) const override;
    bool IsStreamData() const override { return true; }

protected:
    std::unique_ptr<TStream> CreateData() override;
};

class TclHttpRequestItemList : public TPersistent {
public:
    // The list belongs to a request.
    explicit TclHttpRequestItemList(TclHttpRequest* AOwner);
    ~TclHttpRequestItemList() override;
    String ClassName() const override { return u"TclHttpRequestItemList"; }

    template <class T> T* Add() {
        auto* item = new T(this);
        Append(std::unique_ptr<TclHttpRequestItem>(item));
        return item;
    }
    void Delete(int Index);
    void Move(int CurIndex, int NewIndex);
    void Clear();
    TclFormFieldRequestItem* FormFieldByName(StringView AFieldName) const;
    TclHttpRequestItem* Items(int Index) const;
    int Count() const { return static_cast<int>(FList.size()); }
    TclHttpRequest* Request() const { return FOwner; }

private:
    void Append(std::unique_ptr<TclHttpRequestItem> AItem);
    void CheckIndex(int Index) const;

    std::vector<std::unique_ptr<TclHttpRequestItem>> FList;
    TclHttpRequest* FOwner;
};

// Field and file names inside a part header's quotes: '"', CR and LF become
// %22, %0D and %0A, so a name can neither end the quotes nor the header line.
String EscapePartHeaderName(StringView AName);
// The reverse, for names read from a part header.
String UnescapePartHeaderName(StringView AName);
