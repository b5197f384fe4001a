#include "clHttpRequest.h"

#include "RtlConvert.h"
#include "RtlException.h"
#include "RtlFileStream.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

std::string Body(TclHttpRequest& request) {
    const TBytes bytes = request.GetRequestStream()->ReadAll();
    return std::string(bytes.begin(), bytes.end());
}

String BoundaryOf(const TStrings& header) {
    const String text = header.GetText();
    const std::size_t at = text.find(u"boundary=");
    return at == String::npos ? String() : text.substr(at + 9, 39);
}

std::unique_ptr<TStream> BytesOf(const std::string& text) {
    return std::make_unique<TBytesStream>(TBytes(text.begin(), text.end()));
}

// An OnLoadData handler that supplies the same bytes for every item.
TclGetDataStreamEvent Supply(const std::string& content) {
    return [content](TclHttpRequest*, TclHttpRequestItem*, std::unique_ptr<TStream>& data) {
        data = BytesOf(content);
    };
}

} // namespace

TEST(HttpRequest, JsonRequestWithoutItemsHasNoBody) {
    TclHttpRequest request;
    request.GetHeader().SetContentType(u"Application/json");
    request.GetHeader().SetCharSet(u"UTF-8");
    EXPECT_EQ(request.GetTotalSize(), 0);
    EXPECT_EQ(Body(request), "");
    EXPECT_EQ(request.GetHeaderSource().GetText(),
              u"Accept: */*\r\nContent-Type: Application/json; charset=UTF-8\r\n");
}

TEST(HttpRequest, UrlEncodedFormFields) {
    TclHttpRequest request;
    request.AddFormField(u"a", u"x y");
    request.AddFormField(u"b", u"1&2");
    EXPECT_EQ(request.GetHeader().GetContentType(), u"application/x-www-form-urlencoded");
    EXPECT_EQ(Body(request), "a=x+y&b=1%262");
    EXPECT_EQ(request.GetHeader().GetContentLength(), u"");
    EXPECT_NE(request.GetHeaderSource().GetText().find(u"Content-Length: 13\r\n"), String::npos);
    EXPECT_EQ(request.FormFields(u"B")->GetFieldValue(), u"1&2");
    EXPECT_EQ(request.FormFields(u"c"), nullptr);

    request.GetItems().Items(0)->SetCanonicalized(false);
    EXPECT_EQ(Body(request), "a=x y&b=1%262");
    EXPECT_EQ(request.AddFormFieldIfNeed(u"c", u""), nullptr);
    EXPECT_EQ(request.GetItems().Count(), 2);
}

TEST(HttpRequest, ContentTypeFollowsTheItems) {
    TclHttpRequest request;
    request.GetHeader().SetContentType(u"text/plain");
    request.AddTextData(u"hello");
    EXPECT_EQ(request.GetHeader().GetContentType(), u"");
    request.AddFormField(u"a", u"1");
    EXPECT_EQ(request.GetHeader().GetContentType(), u"");
    request.GetItems().Delete(0);
    EXPECT_EQ(request.GetHeader().GetContentType(), u"application/x-www-form-urlencoded");
    request.AddSubmitFile(u"f", u"/nonexistent");
    EXPECT_EQ(request.GetHeader().GetContentType(), u"multipart/form-data");
    request.GetItems().Clear();
    EXPECT_EQ(request.GetHeader().GetContentType(), u"");

    request.GetHeader().SetCharSet(u"iso-8859-1");
    request.BuildJSONRequest(u"{\"a\":1}");
    EXPECT_EQ(request.GetHeader().GetContentType(), u"application/json");
    EXPECT_EQ(request.GetHeader().GetCharSet(), u"utf-8");
    EXPECT_EQ(Body(request), "{\"a\":1}");

    request.Clear();
    EXPECT_EQ(request.GetItems().Count(), 0);
    EXPECT_EQ(request.GetHeader().GetAccept(), u"*/*");
    EXPECT_EQ(request.GetHeader().GetContentType(), u"");
}

TEST(HttpRequest, MultipartBodyFraming) {
    TclHttpRequest request;
    request.SetClock([] { return EncodeDateTime(2024, 3, 5, 14, 7, 9, 999); });
    request.AddFormField(u"name", u"value");
    request.AddSubmitFile(u"upload", u"/some/dir/data.bin");
    request.OnLoadData = Supply(std::string("\0\x01\xFF", 3));
    const String boundary = String(27, u'-') + u"03050E07093E";
    const std::string b = StringToUtf8(boundary);
    EXPECT_EQ(BoundaryOf(request.GetHeaderSource()), boundary);
    EXPECT_EQ(Body(request), "--" + b +
                                 "\r\nContent-Disposition: form-data; name=\"name\"\r\n\r\nvalue"
                                 "\r\n--" +
                                 b +
                                 "\r\nContent-Disposition: form-data; name=\"upload\"; "
                                 "filename=\"data.bin\"\r\nContent-Type: application/octet-stream"
                                 "\r\n\r\n" +
                                 std::string("\0\x01\xFF", 3) + "\r\n--" + b + "--\r\n");
    EXPECT_EQ(request.GetTotalSize(), static_cast<std::int64_t>(Body(request).size()));
}

// A multipart request without items is sent without a body; announcing the
// closing delimiter alone would be a body of no parts.
TEST(HttpRequest, MultipartWithoutItemsIsEmpty) {
    TclHttpRequest request;
    request.GetHeader().SetContentType(u"multipart/form-data");
    EXPECT_EQ(request.GetTotalSize(), 0);
    EXPECT_EQ(Body(request), "");
    EXPECT_EQ(request.GetHeaderSource().GetText().find(u"Content-Length"), String::npos);
}

// The boundary is made once and kept until the request changes, whatever
// the clock does and in whichever order header and body are read.
TEST(HttpRequest, BoundaryStaysFromHeaderToBody) {
    TclHttpRequest request;
    int tick = 0;
    request.SetClock([&] { return EncodeDateTime(2024, 1, 1, 0, 0, 0, 0) + (++tick) / 86400.0; });
    int changes = 0;
    request.OnChanged = [&](TPersistent*) { ++changes; };
    request.AddFormField(u"a", u"1");
    request.AddSubmitFile(u"f", u"x");
    request.OnLoadData = Supply("file");

    const String first = BoundaryOf(request.GetHeaderSource());
    ASSERT_EQ(first.size(), 39u);
    EXPECT_EQ(BoundaryOf(request.GetHeaderSource()), first);
    EXPECT_EQ(Body(request).substr(2, 39), StringToUtf8(first));
    EXPECT_EQ(request.GetHeader().GetBoundary(), first);
    EXPECT_EQ(BoundaryOf(request.GetHeaderSource()), first);

    // A change drops the boundary; the next build makes a new one and uses
    // it in both places, body first this time.
    changes = 0;
    request.FormFields(u"a")->SetFieldValue(u"2");
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(request.GetHeader().GetBoundary(), u"");
    const std::string body = Body(request);
    const String second = BoundaryOf(request.GetHeaderSource());
    EXPECT_NE(second, first);
    EXPECT_EQ(body.substr(2, 39), StringToUtf8(second));
    EXPECT_NE(request.GetHeaderSource().GetText().find(u"Content-Length: " +
                                                       IntToStr(static_cast<int>(body.size()))),
              String::npos);
}

// Whatever the shape of the request, the announced size is the streamed size.
TEST(HttpRequest, TotalSizeIsTheStreamedSize) {
    const char16_t* contentTypes[] = {nullptr, u"multipart/form-data", u"text/plain",
                                      u"application/x-www-form-urlencoded"};
    const char16_t* charSets[] = {u"", u"utf-8", u"iso-8859-1", u"utf-16"};
    for (int shape = 0; shape < 64; ++shape) {
        for (const char16_t* contentType : contentTypes) {
            for (const char16_t* charSet : charSets) {
                TclHttpRequest request;
                request.GetHeader().SetCharSet(charSet);
                request.OnLoadData = Supply(std::string(static_cast<std::size_t>(shape), 'x'));
                if (shape & 1) request.AddFormField(u"f\u00E9ld", u"v\u00E4l\u4E2D \"&=");
                if (shape & 2) request.AddTextData(u"t\u00FCxt\r\n");
                if (shape & 4) request.AddBinaryData();
                if (shape & 8) request.AddSubmitFile(u"n\"q", u"dir/f\u00EFle.txt");
                if (shape & 16) request.AddFormField(u"", u"");
                if ((shape & 32) && request.GetItems().Count() > 1)
                    request.GetItems().Move(0, request.GetItems().Count() - 1);
                if (contentType) request.GetHeader().SetContentType(contentType);
                const std::int64_t total = request.GetTotalSize();
                const String header = request.GetHeaderSource().GetText();
                const std::string body = Body(request);
                ASSERT_EQ(total, static_cast<std::int64_t>(body.size()))
                    << "shape " << shape << " " << StringToUtf8(header);
                if (total > 0) {
                    EXPECT_NE(header.find(u"Content-Length: " + IntToStr(total) + u"\r\n"),
                              String::npos);
                }
                EXPECT_EQ(request.GetTotalSize(), total);
            }
        }
    }
}

// Names inside the part header's quotes cannot close the quotes or the line.
TEST(HttpRequest, PartHeaderNamesAreEscaped) {
    TclHttpRequest request;
    request.AddFormField(u"a\"b\r\nX: y", u"v\"\r\n");
    request.AddSubmitFile(u"f\"", u"/tmp/e\"vil\r\n.txt");
    request.OnLoadData = Supply("x");
    const std::string body = Body(request);
    EXPECT_NE(body.find("name=\"a%22b%0D%0AX: y\"\r\n\r\nv\"\r\n"), std::string::npos) << body;
    EXPECT_NE(body.find("name=\"f%22\"; filename=\"e%22vil%0D%0A.txt\"\r\n"), std::string::npos)
        << body;

    TclHttpRequest loaded;
    TBytesStream stream(TBytes(body.begin(), body.end()));
    loaded.SetRequestStream(&stream);
    ASSERT_EQ(loaded.GetItems().Count(), 2);
    EXPECT_EQ(loaded.FormFields(u"a\"b\r\nX: y")->GetFieldValue(), u"v\"\r\n");
    auto* file = dynamic_cast<TclSubmitFileRequestItem*>(loaded.GetItems().Items(1));
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->GetFieldName(), u"f\"");
    EXPECT_EQ(file->GetFileName(), u"e\"vil\r\n.txt");

    TclHttpRequest injected;
    injected.AddSubmitFile(u"f", u"x")->SetContentType(u"text/plain\r\nX: 1");
    injected.OnLoadData = request.OnLoadData;
    EXPECT_THROW(injected.GetRequestStream(), EAssertionFailed);
}

TEST(HttpRequest, LoadsBodiesBackIntoItems) {
    TclHttpRequest source;
    source.AddFormField(u"a", u"\u4E2D\u6587 text");
    source.AddSubmitFile(u"f", u"name.bin");
    source.OnLoadData = Supply(std::string("\r\n--\r\n\0bytes", 12));
    const std::string body = Body(source);

    for (int batch = 1; batch <= static_cast<int>(body.size()) + 1; batch += 7) {
        TclHttpRequest request;
        request.SetBatchSize(batch);
        std::string saved;
        int added = 0;
        request.OnSaveData = [](TclHttpRequest*, TclHttpRequestItem*,
                                std::unique_ptr<TStream>& data) {
            data = std::make_unique<TBytesStream>();
        };
        request.OnDataAdded = [&](TclHttpRequest*, TclHttpRequestItem* item, TStream* data) {
            ++added;
            if (item->IsStreamData()) {
                ASSERT_NE(data, nullptr);
                data->SetPosition(0);
                const TBytes bytes = data->ReadAll();
                saved.assign(bytes.begin(), bytes.end());
            }
        };
        TBytesStream stream(TBytes(body.begin(), body.end()));
        request.SetRequestStream(&stream);
        ASSERT_EQ(request.GetItems().Count(), 2) << "batch " << batch;
        EXPECT_EQ(added, 2);
        EXPECT_EQ(request.FormFields(u"a")->GetFieldValue(), u"\u4E2D\u6587 text");
        EXPECT_EQ(saved, std::string("\r\n--\r\n\0bytes", 12));
        EXPECT_EQ(request.GetHeader().GetContentType(), u"multipart/form-data");
    }

    TclHttpRequest form;
    form.GetHeader().SetContentType(u"application/x-www-form-urlencoded");
    TBytesStream encoded(
        TBytes{'a', '=', 'x', '+', 'y', '&', '&', 'b', '=', '1', '%', '2', '6', '2'});
    form.SetRequestStream(&encoded);
    ASSERT_EQ(form.GetItems().Count(), 2);
    EXPECT_EQ(form.FormFields(u"a")->GetFieldValue(), u"x y");
    EXPECT_EQ(form.FormFields(u"b")->GetFieldValue(), u"1&2");

    TStringList lines;
    lines.Add(u"plain text");
    TclHttpRequest text;
    text.SetRequestSource(lines);
    ASSERT_EQ(text.GetItems().Count(), 1);
    EXPECT_EQ(text.GetRequestSource().GetText(), u"plain text\r\n");

    text.SetRequestStream(nullptr);
    EXPECT_EQ(text.GetItems().Count(), 0);
    TBytesStream empty;
    text.SetRequestStream(&empty);
    EXPECT_EQ(text.GetItems().Count(), 0);
}

TEST(HttpRequest, FilesAssignAndUsageErrors) {
    testing_support::TempDir dir;
    testing_support::WriteFileBytes(dir.File("in.txt"), "file content");
    TclHttpRequest request;
    request.AddFormField(u"a", u"1");
    request.AddSubmitFile(u"f", dir.FileW("in.txt"));
    request.GetHeader().SetUserAgent(u"tester");
    request.SaveRequest(dir.FileW("body"));
    request.SaveHeader(dir.FileW("header"));
    EXPECT_EQ(testing_support::ReadFileBytes(dir.File("body")), Body(request));

    TclHttpRequest copy;
    copy.Assign(&request);
    EXPECT_EQ(copy.GetItems().Count(), 2);
    EXPECT_EQ(copy.GetHeader().GetUserAgent(), u"tester");
    EXPECT_EQ(Body(copy).size(), Body(request).size());

    TclHttpRequest loaded;
    loaded.LoadHeader(dir.FileW("header"));
    EXPECT_EQ(loaded.GetHeader().GetUserAgent(), u"tester");
    loaded.LoadRequest(dir.FileW("body"));
    ASSERT_EQ(loaded.GetItems().Count(), 2);
    EXPECT_EQ(loaded.FormFields(u"a")->GetFieldValue(), u"1");

    TclHttpRequest missing;
    missing.AddSubmitFile(u"f", dir.FileW("absent"));
    EXPECT_THROW(missing.GetTotalSize(), EFOpenError);
    EXPECT_THROW(TclHttpRequestItemList(nullptr), EAssertionFailed);
    EXPECT_THROW(TclTextRequestItem(nullptr), EAssertionFailed);
    TStringList other;
    EXPECT_THROW(copy.Assign(&other), EConvertError);
}
