// Multipart bodies checked against independent parsers and producers: our
// bodies must read the same in Python's email parser and in Node's fetch
// FormData, and bodies that curl writes must load through our loader.
#include "clHttpRequest.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using testing_support::ReadFileBytes;
using testing_support::RunCommand;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

std::string Hex(const std::string& bytes) {
    static const char* digits = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

// Every part as one line "name filename-or-dash hex-of-content".
const char* const kPythonReader = R"(import email.parser, email.policy, sys
body = open(sys.argv[1], "rb").read()
head = b"Content-Type: " + open(sys.argv[2], "rb").read() + b"\r\n\r\n"
msg = email.parser.BytesParser(policy=email.policy.HTTP).parsebytes(head + body)
assert msg.is_multipart() and not msg.defects, msg.defects
for part in msg.iter_parts():
    assert not part.defects, part.defects
    name = part.get_param("name", header="content-disposition")
    print(name, part.get_filename() or "-", part.get_payload(decode=True).hex())
)";

const char* const kNodeReader = R"(const fs = require("fs");
(async () => {
  const body = fs.readFileSync(process.argv[2]);
  const type = fs.readFileSync(process.argv[3], "latin1");
  const form = await new Response(body, { headers: { "content-type": type } }).formData();
  for (const [name, value] of form.entries()) {
    if (typeof value === "string")
      console.log(name, "-", Buffer.from(value, "utf8").toString("hex"));
    else
      console.log(name, value.name, Buffer.from(await value.arrayBuffer()).toString("hex"));
  }
})().catch((e) => { console.error(e); process.exit(1); });
)";

struct TPart {
    std::string Name;
    std::string FileName; // "-" for a form field
    std::string Content;
};

// Builds a request from the parts; file contents come from OnLoadData.
std::string BuildBody(const std::vector<TPart>& parts, std::string& contentType) {
    TclHttpRequest request;
    std::map<TclHttpRequestItem*, std::string> contents;
    for (const TPart& part : parts) {
        if (part.FileName == "-") {
            request.AddFormField(Utf8ToString(part.Name), Utf8ToString(part.Content));
        } else {
            auto* item =
                request.AddSubmitFile(Utf8ToString(part.Name), Utf8ToString(part.FileName));
            contents[item] = part.Content;
        }
    }
    // Fields alone would make a URL-encoded body.
    request.GetHeader().SetContentType(u"multipart/form-data");
    request.OnLoadData = [&](TclHttpRequest*, TclHttpRequestItem* item,
                             std::unique_ptr<TStream>& data) {
        const std::string& content = contents[item];
        data = std::make_unique<TBytesStream>(TBytes(content.begin(), content.end()));
    };
    const TBytes body = request.GetRequestStream()->ReadAll();
    EXPECT_EQ(request.GetTotalSize(), static_cast<std::int64_t>(body.size()));
    contentType =
        "multipart/form-data; boundary=" + StringToUtf8(request.GetHeader().GetBoundary());
    return std::string(body.begin(), body.end());
}

// The parts as the loader reads them back, in the same line form.
std::string LoadBody(const std::string& body) {
    TclHttpRequest request;
    std::string lines;
    request.OnSaveData = [](TclHttpRequest*, TclHttpRequestItem*, std::unique_ptr<TStream>& data) {
        data = std::make_unique<TBytesStream>();
    };
    request.OnDataAdded = [&](TclHttpRequest*, TclHttpRequestItem* item, TStream* data) {
        if (auto* field = dynamic_cast<TclFormFieldRequestItem*>(item)) {
            lines += StringToUtf8(field->GetFieldName()) + " - " +
                     Hex(StringToUtf8(field->GetFieldValue())) + "\n";
        } else if (auto* file = dynamic_cast<TclSubmitFileRequestItem*>(item)) {
            data->SetPosition(0);
            const TBytes bytes = data->ReadAll();
            lines += StringToUtf8(file->GetFieldName()) + " " + StringToUtf8(file->GetFileName()) +
                     " " + Hex(std::string(bytes.begin(), bytes.end())) + "\n";
        }
    };
    TBytesStream stream(TBytes(body.begin(), body.end()));
    request.SetRequestStream(&stream);
    return lines;
}

std::string Expected(const std::vector<TPart>& parts) {
    std::string lines;
    for (const TPart& part : parts)
        lines += part.Name + " " + part.FileName + " " + Hex(part.Content) + "\n";
    return lines;
}

const std::vector<std::vector<TPart>>& Forms() {
    static const std::vector<std::vector<TPart>> forms = {
        {{"a", "-", "hello world"}, {"b", "-", ""}, {"c", "-", "line1\r\nline2\r\n"}},
        {{"text", "-", "\xE4\xB8\xAD\xE6\x96\x87 \"quoted\" & more"},
         {"file", "data.bin", std::string("\0\x01\xFF\r\n--\r\n-", 10)},
         {"empty", "empty.txt", ""}},
        {{"upload", "r\xC3\xA9sum\xC3\xA9.pdf", std::string(20000, '\x7F') + "end"},
         {"z", "-", "last"}},
    };
    return forms;
}

} // namespace

TEST(HttpRequestMultipart, PythonEmailParserReadsOurBodies) {
    TempDir dir;
    WriteFileBytes(dir.File("read.py"), kPythonReader);
    for (const auto& form : Forms()) {
        std::string contentType;
        WriteFileBytes(dir.File("body"), BuildBody(form, contentType));
        WriteFileBytes(dir.File("type"), contentType);
        int status = -1;
        const std::string out = RunCommand("python3 " + dir.File("read.py") + " " +
                                               dir.File("body") + " " + dir.File("type") + " 2>&1",
                                           &status);
        EXPECT_EQ(status, 0) << out;
        EXPECT_EQ(out, Expected(form));
    }
}

TEST(HttpRequestMultipart, NodeFormDataReadsOurBodies) {
    TempDir dir;
    WriteFileBytes(dir.File("read.js"), kNodeReader);
    for (const auto& form : Forms()) {
        std::string contentType;
        WriteFileBytes(dir.File("body"), BuildBody(form, contentType));
        WriteFileBytes(dir.File("type"), contentType);
        int status = -1;
        const std::string out = RunCommand("node " + dir.File("read.js") + " " + dir.File("body") +
                                               " " + dir.File("type") + " 2>&1",
                                           &status);
        EXPECT_EQ(status, 0) << out;
        EXPECT_EQ(out, Expected(form));
    }
}

TEST(HttpRequestMultipart, OurLoaderReadsOurBodies) {
    for (const auto& form : Forms()) {
        std::string contentType;
        EXPECT_EQ(LoadBody(BuildBody(form, contentType)), Expected(form));
    }
}

// curl posts a form to a one-shot server on the loopback interface, which
// keeps the body; the body must load into the same fields and file bytes.
TEST(HttpRequestMultipart, CurlBodiesLoad) {
    TempDir dir;
    const std::string binary = std::string("\0\x01\x02\r\n--x\r\n", 10) + std::string(5000, 'b');
    WriteFileBytes(dir.File("one.bin"), binary);
    WriteFileBytes(dir.File("two.txt"), "second file\n");
    WriteFileBytes(dir.File("serve.py"), R"(import http.server, subprocess, sys, threading
out = sys.argv[1]
class Keep(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        body = self.rfile.read(int(self.headers["Content-Length"]))
        open(out + "/posted", "wb").write(body)
        self.send_response(204)
        self.end_headers()
    def log_message(self, *args): pass
server = http.server.HTTPServer(("127.0.0.1", 0), Keep)
threading.Thread(target=server.handle_request).start()
url = "http://127.0.0.1:%d/" % server.server_port
subprocess.run(["curl", "-s", "--noproxy", "*", "-H", "Expect:",
                "-F", "plain=hello world", "-F", "utf=\u00fc\u4e2d",
                "-F", "one=@" + out + "/one.bin;type=application/x-test",
                "-F", "two=@" + out + "/two.txt", url], check=True)
)");
    int status = -1;
    const std::string out =
        RunCommand("python3 " + dir.File("serve.py") + " " + dir.Path() + " 2>&1", &status);
    ASSERT_EQ(status, 0) << out;
    const std::string body = ReadFileBytes(dir.File("posted"));
    ASSERT_FALSE(body.empty());
    EXPECT_EQ(LoadBody(body), "plain - " + Hex("hello world") + "\nutf - " +
                                  Hex("\xC3\xBC\xE4\xB8\xAD") + "\none one.bin " + Hex(binary) +
                                  "\ntwo two.txt " + Hex("second file\n") + "\n");
}
