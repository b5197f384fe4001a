#include "clHttpRequest.h"

#include "clHeaderFieldList.h"
#include "clMultipartReader.h"
#include "clPercentEncoder.h"
#include "clStreams.h"
#include "clTranslator.h"

#include "RtlConvert.h"
#include "RtlFileStream.h"

#include <algorithm>

namespace {

constexpr std::int64_t kFirstLineLimit = 250;
const String kMultipartFormData = u"multipart/form-data";
const String kUrlEncoded = u"application/x-www-form-urlencoded";

std::unique_ptr<TStream> AsciiStream(StringView AText) {
    const std::string bytes = StringToAscii(AText);
    return std::make_unique<TBytesStream>(TBytes(bytes.begin(), bytes.end()));
}

bool IsBlank(std::uint8_t c) {
    return c <= 0x20;
}

} // namespace

template <class Body> void TclHttpRequest::Parsing(Body&& ABody) {
    const bool wasParse = FIsParse;
    FIsParse = true;
    try {
        ABody();
    } catch (...) {
        FIsParse = wasParse;
        throw;
    }
    FIsParse = wasParse;
}

TclHttpRequest::TclHttpRequest(TComponent* AOwner)
    : TComponent(AOwner), FItems(std::make_unique<TclHttpRequestItemList>(this)),
      FHeader(std::make_unique<TclHttpRequestHeader>()),
      FRequestSource(std::make_unique<TStringList>()),
      FHeaderSource(std::make_unique<TStringList>()), FClock([] { return Now(); }) {
    FHeader->OnChanged = [this](TPersistent*) { Update(); };
}

TclHttpRequest::~TclHttpRequest() {
    // Items and header must not report into a request that is going away.
    Destroying();
    FHeader->OnChanged = nullptr;
}

bool TclHttpRequest::IsIdle() const {
    const TComponentState state = ComponentState();
    return !state.Contains(csLoading) && !state.Contains(csDesigning) &&
           !state.Contains(csDestroying);
}

void TclHttpRequest::EndUpdate() {
    if (FUpdateCount > 0) --FUpdateCount;
    Update();
}

void TclHttpRequest::Update() {
    if (FUpdateCount > 0 || !IsIdle() || FInUpdate) return;
    // Emptying the boundary reports back through the header; one pass is enough.
    FInUpdate = true;
    if (!FIsParse) FHeader->SetBoundary(u"");
    FInUpdate = false;
    FHeaderSource->Clear();
    FRequestSource->Clear();
    for (int i = 0; i < FItems->Count(); ++i)
        FItems->Items(i)->ResetSize();
    if (OnChanged) OnChanged(this);
}

// --- items ------------------------------------------------------------------

String TclHttpRequest::ContentTypeFromItems() const {
    bool allFields = FItems->Count() > 0;
    for (int i = 0; i < FItems->Count(); ++i) {
        const TclHttpRequestItem* item = FItems->Items(i);
        if (dynamic_cast<const TclSubmitFileRequestItem*>(item)) return kMultipartFormData;
        if (!dynamic_cast<const TclFormFieldRequestItem*>(item)) allFields = false;
    }
    return allFields ? kUrlEncoded : String();
}

void TclHttpRequest::ItemsChanged() {
    BeginUpdate();
    if (!FIsParse && !ComponentState().Contains(csLoading))
        FHeader->SetContentType(ContentTypeFromItems());
    EndUpdate();
}

TclFormFieldRequestItem* TclHttpRequest::AddFormField(StringView AFieldName,
                                                      StringView AFieldValue) {
    auto* item = FItems->Add<TclFormFieldRequestItem>();
    item->SetFieldName(AFieldName);
    item->SetFieldValue(AFieldValue);
    return item;
}

TclFormFieldRequestItem* TclHttpRequest::AddFormFieldIfNeed(StringView AFieldName,
                                                            StringView AFieldValue) {
    if (AFieldValue.empty()) return nullptr;
    return AddFormField(AFieldName, AFieldValue);
}

TclSubmitFileRequestItem* TclHttpRequest::AddSubmitFile(StringView AFieldName,
                                                        StringView AFileName) {
    auto* item = FItems->Add<TclSubmitFileRequestItem>();
    item->SetFieldName(AFieldName);
    item->SetFileName(AFileName);
    return item;
}

TclTextRequestItem* TclHttpRequest::AddTextData(StringView ATextData) {
    auto* item = FItems->Add<TclTextRequestItem>();
    item->SetTextData(ATextData);
    return item;
}

TclBinaryRequestItem* TclHttpRequest::AddBinaryData() {
    return FItems->Add<TclBinaryRequestItem>();
}

TclFormFieldRequestItem* TclHttpRequest::FormFields(StringView AFieldName) const {
    return FItems->FormFieldByName(AFieldName);
}

void TclHttpRequest::Clear() {
    BeginUpdate();
    FItems->Clear();
    FHeader->Clear();
    EndUpdate();
}

void TclHttpRequest::BuildJSONRequest(StringView AJson) {
    BeginUpdate();
    const String charSet = FHeader->GetCharSet();
    Clear();
    FHeader->SetCharSet(charSet);
    AddTextData(AJson);
    FHeader->SetContentType(u"application/json");
    FHeader->SetCharSet(u"utf-8");
    EndUpdate();
}

void TclHttpRequest::Assign(const TPersistent* Source) {
    const auto* source = dynamic_cast<const TclHttpRequest*>(Source);
    if (!source) {
        TComponent::Assign(Source);
        return;
    }
    if (source == this) return;
    BeginUpdate();
    Clear();
    for (int i = 0; i < source->FItems->Count(); ++i)
        source->FItems->Items(i)->CloneTo(*FItems);
    FHeader->Assign(source->FHeader.get());
    FBatchSize = source->FBatchSize;
    EndUpdate();
}

bool TclHttpRequest::IsMultiPartContent() const {
    return LowerCase(FHeader->GetContentType()).find(u"multipart/") != String::npos;
}

bool TclHttpRequest::IsFormFieldRequest() const {
    return SameText(FHeader->GetContentType(), kUrlEncoded);
}

// --- building ---------------------------------------------------------------

String TclHttpRequest::CreateBoundary() const {
    int year, month, day, hour, minute, second, millisecond;
    DecodeDateTime(FClock(), year, month, day, hour, minute, second, millisecond);
    const String stamp = IntToHex(month, 2) + IntToHex(day, 2) + IntToHex(hour, 2) +
                         IntToHex(minute, 2) + IntToHex(second, 2) + IntToHex(millisecond, 2);
    return String(27, u'-') + stamp.substr(0, 12);
}

// Runs with FIsParse set, so the header's change notification keeps the
// boundary: it must stay the same from the header lines to the body.
void TclHttpRequest::SettleBoundary() {
    Parsing([&] {
        if (!IsMultiPartContent())
            FHeader->SetBoundary(u"");
        else if (FHeader->GetBoundary().empty())
            FHeader->SetBoundary(CreateBoundary());
    });
}

String TclHttpRequest::PartSeparator(int AIndex) const {
    if (IsMultiPartContent())
        return (AIndex > 0 ? u"\r\n--" : u"--") + FHeader->GetBoundary() + u"\r\n";
    if (IsFormFieldRequest()) return AIndex > 0 ? u"&" : u"";
    return {};
}

String TclHttpRequest::BodyTrailer() const {
    if (!IsMultiPartContent()) return {};
    return u"\r\n--" + FHeader->GetBoundary() + u"--\r\n";
}

// The size is summed from the same separators and item data that the body
// stream is made of, so the two cannot disagree. A request without items has
// an empty body whatever its content type.
std::int64_t TclHttpRequest::GetTotalSize() {
    SettleBoundary();
    const int count = FItems->Count();
    if (count == 0) return 0;
    std::int64_t size = static_cast<std::int64_t>(BodyTrailer().size());
    for (int i = 0; i < count; ++i)
        size += static_cast<std::int64_t>(PartSeparator(i).size()) + FItems->Items(i)->GetSize();
    return size;
}

std::unique_ptr<TStream> TclHttpRequest::GetRequestStream() {
    SettleBoundary();
    auto body = std::make_unique<TclMultiStream>();
    const int count = FItems->Count();
    if (count == 0) return body;
    for (int i = 0; i < count; ++i) {
        body->AddStream(AsciiStream(PartSeparator(i)));
        body->AddStream(FItems->Items(i)->GetData());
    }
    body->AddStream(AsciiStream(BodyTrailer()));
    return body;
}

const TStrings& TclHttpRequest::GetHeaderSource() {
    if (FHeaderSource->Count() == 0) {
        Parsing([&] {
            SettleBoundary();
            const std::int64_t size = GetTotalSize();
            FHeader->SetContentLength(size == 0 ? String() : IntToStr(size));
        });
        TStringList lines;
        FHeader->AssignHeader(lines);
        FHeaderSource->Assign(&lines);
    }
    return *FHeaderSource;
}

void TclHttpRequest::SetHeaderSource(const TStrings& AValue) {
    Parsing([&] { FHeader->ParseHeader(AValue); });
}

const TStrings& TclHttpRequest::GetRequestSource() {
    if (FRequestSource->Count() == 0) {
        const TBytes bytes = GetRequestStream()->ReadAll();
        const String text =
            TclTranslator::GetString(bytes.data(), bytes.size(), FHeader->GetCharSet());
        FRequestSource->SetText(text);
    }
    return *FRequestSource;
}

void TclHttpRequest::SetRequestSource(const TStrings& AValue) {
    TBytesStream body(TclTranslator::GetBytes(AValue.GetText(), FHeader->GetCharSet()));
    SetRequestStream(&body);
}

// --- loading ------------------------------------------------------------------

void TclHttpRequest::SetRequestStream(TStream* AValue) {
    BeginUpdate();
    try {
        Parsing([&] {
            FItems->Clear();
            if (!AValue) return;
            const std::int64_t start = AValue->GetPosition();
            TBytes head(static_cast<std::size_t>(kFirstLineLimit));
            head.resize(static_cast<std::size_t>(AValue->Read(head.data(), kFirstLineLimit)));
            AValue->SetPosition(start);
            for (std::size_t i = 1; i < head.size(); ++i) {
                if (head[i - 1] == '\r' && head[i] == '\n') {
                    head.resize(i + 1);
                    break;
                }
            }
            if (head.size() >= 2 && head[0] == '-' && head[1] == '-') {
                auto from = head.begin() + 2;
                auto to = head.end();
                while (from != to && IsBlank(*from))
                    ++from;
                while (to != from && IsBlank(*(to - 1)))
                    --to;
                const std::string boundary(from, to);
                FHeader->SetBoundary(AsciiToString(boundary));
                LoadMultipart(*AValue);
            } else {
                FHeader->SetBoundary(u"");
                LoadText(*AValue);
            }
        });
        FHeader->SetContentType(ContentTypeFromItems());
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TclHttpRequest::LoadText(TStream& AStream) {
    const TBytes bytes = AStream.ReadAll();
    const String& charSet = FHeader->GetCharSet();
    const String text = TclTranslator::GetString(bytes.data(), bytes.size(), charSet);
    if (!IsFormFieldRequest()) {
        if (!text.empty()) AddTextData(text);
        return;
    }
    for (const String& piece : SplitString(text, u'&')) {
        const std::size_t equals = piece.find(u'=');
        const String name = Trim(StringView(piece).substr(0, equals));
        const String value =
            equals == String::npos ? String() : Trim(StringView(piece).substr(equals + 1));
        if (name.empty() && value.empty()) continue;
        AddFormField(TclFormFieldEncoder::Decode(name, charSet),
                     TclFormFieldEncoder::Decode(value, charSet));
    }
}

void TclHttpRequest::LoadMultipart(TStream& AStream) {
    const std::string boundary = StringToAscii(FHeader->GetBoundary());
    const String& charSet = FHeader->GetCharSet();
    TclMultipartReader reader(boundary);
    TclHttpRequestItem* item = nullptr;
    std::unique_ptr<TStream> data;

    reader.OnPartBegin = [&](const std::string& AHeader) {
        TStringList lines;
        lines.SetText(TclTranslator::GetString(
            reinterpret_cast<const std::uint8_t*>(AHeader.data()), AHeader.size(), charSet));
        TclHeaderFieldList fields;
        fields.Parse(0, lines);
        const String disposition = fields.GetFieldValue(u"Content-Disposition");
        if (!SameText(fields.GetFieldValueItem(disposition, u""), u"form-data")) {
            item = FItems->Add<TclTextRequestItem>();
        } else if (fields.FindFieldItem(disposition, u"filename").Start > 0) {
            auto* file = FItems->Add<TclSubmitFileRequestItem>();
            file->SetFieldName(
                UnescapePartHeaderName(fields.GetFieldValueItem(disposition, u"name")));
            file->SetFileName(
                UnescapePartHeaderName(fields.GetFieldValueItem(disposition, u"filename")));
            file->SetContentType(fields.GetFieldValue(u"Content-Type"));
            item = file;
        } else {
            auto* field = FItems->Add<TclFormFieldRequestItem>();
            field->SetFieldName(
                UnescapePartHeaderName(fields.GetFieldValueItem(disposition, u"name")));
            item = field;
        }
        if (item->IsStreamData()) {
            if (OnSaveData) OnSaveData(this, item, data);
        } else {
            item->BeginData();
        }
    };
    reader.OnPartData = [&](const std::uint8_t* AData, std::size_t ACount) {
        if (!item->IsStreamData())
            item->AddData(AData, ACount);
        else if (data)
            data->WriteBuffer(AData, static_cast<std::int64_t>(ACount));
    };
    reader.OnPartEnd = [&] {
        if (!item->IsStreamData()) item->EndData();
        if (OnDataAdded) OnDataAdded(this, item, data.get());
        data.reset();
        item = nullptr;
    };

    const std::int64_t batch =
        std::max<std::int64_t>(FBatchSize, static_cast<std::int64_t>(boundary.size()) + 8);
    TBytes buffer(static_cast<std::size_t>(batch));
    for (;;) {
        const std::int64_t n = AStream.Read(buffer.data(), batch);
        if (n <= 0) break;
        reader.Write(buffer.data(), static_cast<std::size_t>(n));
        if (reader.IsCompleted()) break;
    }
    reader.Finish();
}

// --- files --------------------------------------------------------------------

void TclHttpRequest::SaveHeader(StringView AFileName) {
    TStringList lines;
    lines.Assign(&GetHeaderSource());
    lines.SaveToFile(AFileName);
}

void TclHttpRequest::LoadHeader(StringView AFileName) {
    TStringList lines;
    lines.LoadFromFile(AFileName);
    SetHeaderSource(lines);
}

void TclHttpRequest::SaveRequest(StringView AFileName) {
    const std::unique_ptr<TStream> body = GetRequestStream();
    TAtomicFileWriter file(AFileName);
    file.CopyFrom(*body, 0);
    file.Commit();
}

void TclHttpRequest::LoadRequest(StringView AFileName) {
    TFileStream file(AFileName, fmOpenRead | fmShareDenyNone);
    SetRequestStream(&file);
}
