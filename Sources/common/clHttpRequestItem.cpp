#include "clHttpRequestItem.h"

#include "clHttpRequest.h"
#include "clPercentEncoder.h"
#include "clStreams.h"
#include "clTranslator.h"

#include "RtlConvert.h"
#include "RtlException.h"
#include "RtlFileStream.h"

namespace {

// A new item of the source's class in AList, with the source's properties.
template <class T> TclHttpRequestItem* CloneItem(const T& ASource, TclHttpRequestItemList& AList) {
    T* item = AList.Add<T>();
    item->Assign(&ASource);
    return item;
}

} // namespace

// --- TclHttpRequestItem -----------------------------------------------------

TclHttpRequestItem::TclHttpRequestItem(TclHttpRequestItemList* AOwner) : FOwner(AOwner) {
    if (!AOwner) throw EAssertionFailed(u"A request item needs an item list");
}

TclHttpRequestItem::~TclHttpRequestItem() = default;

TclHttpRequest* TclHttpRequestItem::Request() const {
    return FOwner->Request();
}

void TclHttpRequestItem::Assign(const TPersistent* Source) {
    const auto* source = dynamic_cast<const TclHttpRequestItem*>(Source);
    if (!source) {
        TPersistent::Assign(Source);
        return;
    }
    FTag = source->FTag;
    SetCanonicalized(source->FCanonicalized);
}

void TclHttpRequestItem::SetCanonicalized(bool AValue) {
    if (FCanonicalized == AValue) return;
    FCanonicalized = AValue;
    Changed();
}

void TclHttpRequestItem::Changed() {
    TclHttpRequest* request = Request();
    request->BeginUpdate();
    FSize = 0;
    request->EndUpdate();
}

void TclHttpRequestItem::SetText(String& AField, StringView AValue) {
    if (AField == AValue) return;
    AField = AValue;
    Changed();
}

std::unique_ptr<TStream> TclHttpRequestItem::GetData() {
    std::unique_ptr<TStream> data = CreateData();
    FSize = data->GetSize();
    data->SetPosition(0);
    return data;
}

std::int64_t TclHttpRequestItem::GetSize() {
    if (FSize == 0) GetData();
    return FSize;
}

void TclHttpRequestItem::AddData(const std::uint8_t* AData, std::size_t ACount) {
    FLoaded.insert(FLoaded.end(), AData, AData + ACount);
}

void TclHttpRequestItem::EndData() {
    AddLoadedText(GetString(FLoaded));
    FLoaded.clear();
}

TBytes TclHttpRequestItem::GetBytes(StringView AText) const {
    return TclTranslator::GetBytes(AText, Request()->GetHeader().GetCharSet());
}

String TclHttpRequestItem::GetString(const TBytes& ABytes) const {
    return TclTranslator::GetString(ABytes.data(), ABytes.size(),
                                    Request()->GetHeader().GetCharSet());
}

// --- TclFormFieldRequestItem ------------------------------------------------

void TclFormFieldRequestItem::Assign(const TPersistent* Source) {
    TclHttpRequestItem::Assign(Source);
    if (const auto* source = dynamic_cast<const TclFormFieldRequestItem*>(Source)) {
        SetFieldName(source->FFieldName);
        SetFieldValue(source->FFieldValue);
    }
}

TclHttpRequestItem* TclFormFieldRequestItem::CloneTo(TclHttpRequestItemList& AList) const {
    return CloneItem(*this, AList);
}

std::unique_ptr<TStream> TclFormFieldRequestItem::CreateData() {
    TclHttpRequest* request = Request();
    String text;
    if (request->IsMultiPartContent()) {
        text = u"Content-Disposition: form-data; name=\"" + EscapePartHeaderName(FFieldName) +
               u"\"\r\n\r\n" + FFieldValue;
    } else if (request->IsFormFieldRequest()) {
        const String& charSet = request->GetHeader().GetCharSet();
        if (GetCanonicalized())
            text = TclFormFieldEncoder::Encode(FFieldName, charSet) + u"=" +
                   TclFormFieldEncoder::Encode(FFieldValue, charSet);
        else
            text = FFieldName + u"=" + FFieldValue;
    }
    return std::make_unique<TBytesStream>(GetBytes(text));
}

// --- TclTextRequestItem -----------------------------------------------------

void TclTextRequestItem::Assign(const TPersistent* Source) {
    TclHttpRequestItem::Assign(Source);
    if (const auto* source = dynamic_cast<const TclTextRequestItem*>(Source))
        SetTextData(source->FTextData);
}

TclHttpRequestItem* TclTextRequestItem::CloneTo(TclHttpRequestItemList& AList) const {
    return CloneItem(*this, AList);
}

std::unique_ptr<TStream> TclTextRequestItem::CreateData() {
    return std::make_unique<TBytesStream>(GetBytes(FTextData));
}

// --- TclSubmitFileRequestItem -----------------------------------------------

void TclSubmitFileRequestItem::Assign(const TPersistent* Source) {
    TclHttpRequestItem::Assign(Source);
    if (const auto* source = dynamic_cast<const TclSubmitFileRequestItem*>(Source)) {
        SetFileName(source->FFileName);
        SetFieldName(source->FFieldName);
        SetContentType(source->FContentType);
    }
}

TclHttpRequestItem* TclSubmitFileRequestItem::CloneTo(TclHttpRequestItemList& AList) const {
    return CloneItem(*this, AList);
}

std::unique_ptr<TStream> TclSubmitFileRequestItem::CreateData() {
    TclHttpRequest* request = Request();
    if (!request->IsMultiPartContent()) return std::make_unique<TBytesStream>();
    // The content type is written as it is: a line break in it would end the
    // part header early.
    if (FContentType.find_first_of(u"\r\n") != String::npos)
        throw EAssertionFailed(u"Header text must not contain a line break");
    const String head = u"Content-Disposition: form-data; name=\"" +
                        EscapePartHeaderName(FFieldName) + u"\"; filename=\"" +
                        EscapePartHeaderName(ExtractFileName(FFileName)) + u"\"\r\nContent-Type: " +
                        FContentType + u"\r\n\r\n";
    auto data = std::make_unique<TclMultiStream>();
    data->AddStream(std::make_unique<TBytesStream>(GetBytes(head)));
    std::unique_ptr<TStream> content;
    if (request->OnLoadData) request->OnLoadData(request, this, content);
    if (!content) content = std::make_unique<TFileStream>(FFileName, fmOpenRead | fmShareDenyNone);
    data->AddStream(std::move(content));
    return data;
}

// --- TclBinaryRequestItem ---------------------------------------------------

TclHttpRequestItem* TclBinaryRequestItem::CloneTo(TclHttpRequestItemList& AList) const {
    return CloneItem(*this, AList);
}

std::unique_ptr<TStream> TclBinaryRequestItem::CreateData() {
    TclHttpRequest* request = Request();
    std::unique_ptr<TStream> content;
    if (request->OnLoadData) request->OnLoadData(request, this, content);
    if (!content) content = std::make_unique<TBytesStream>();
    return content;
}

// --- TclHttpRequestItemList -------------------------------------------------

TclHttpRequestItemList::TclHttpRequestItemList(TclHttpRequest* AOwner) : FOwner(AOwner) {
    if (!AOwner) throw EAssertionFailed(u"A request item list needs a request");
}

TclHttpRequestItemList::~TclHttpRequestItemList() = default;

void TclHttpRequestItemList::CheckIndex(int Index) const {
    if (Index < 0 || Index >= Count())
        throw EListError(u"List index out of bounds (" + IntToStr(Index) + u")");
}

void TclHttpRequestItemList::Append(std::unique_ptr<TclHttpRequestItem> AItem) {
    FList.push_back(std::move(AItem));
    FOwner->ItemsChanged();
}

void TclHttpRequestItemList::Delete(int Index) {
    CheckIndex(Index);
    FList.erase(FList.begin() + Index);
    FOwner->ItemsChanged();
}

void TclHttpRequestItemList::Move(int CurIndex, int NewIndex) {
    if (CurIndex == NewIndex) return;
    CheckIndex(CurIndex);
    CheckIndex(NewIndex);
    auto item = std::move(FList[static_cast<std::size_t>(CurIndex)]);
    FList.erase(FList.begin() + CurIndex);
    FList.insert(FList.begin() + NewIndex, std::move(item));
    FOwner->Update();
}

void TclHttpRequestItemList::Clear() {
    FList.clear();
    FOwner->ItemsChanged();
}

TclHttpRequestItem* TclHttpRequestItemList::Items(int Index) const {
    CheckIndex(Index);
    return FList[static_cast<std::size_t>(Index)].get();
}

TclFormFieldRequestItem* TclHttpRequestItemList::FormFieldByName(StringView AFieldName) const {
    for (const auto& item : FList) {
        auto* field = dynamic_cast<TclFormFieldRequestItem*>(item.get());
        if (field && SameText(field->GetFieldName(), AFieldName)) return field;
    }
    return nullptr;
}

// --- part header names --------------------------------------------------------

String EscapePartHeaderName(StringView AName) {
    String out;
    for (char16_t c : AName) {
        if (c == u'"')
            out += u"%22";
        else if (c == u'\r')
            out += u"%0D";
        else if (c == u'\n')
            out += u"%0A";
        else
            out += c;
    }
    return out;
}

String UnescapePartHeaderName(StringView AName) {
    String out;
    for (std::size_t i = 0; i < AName.size(); ++i) {
        const StringView code = AName.substr(i, 3);
        if (code == u"%22") {
            out += u'"';
        } else if (SameText(code, u"%0D")) {
            out += u'\r';
        } else if (SameText(code, u"%0A")) {
            out += u'\n';
        } else {
            out += AName[i];
            continue;
        }
        i += 2;
    }
    return out;
}
