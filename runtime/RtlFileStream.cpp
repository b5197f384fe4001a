#include "RtlFileStream.h"

#include "PlatformError.h"
#include "PlatformFile.h"
#include "RtlException.h"

namespace {

String LastErrorText() { return Utf8ToString(PlatformErrorText(PlatformLastError())); }

int OriginOf(TSeekOrigin origin) {
    return origin == TSeekOrigin::soBeginning ? 0 : origin == TSeekOrigin::soCurrent ? 1 : 2;
}

} // namespace

TFileStream::TFileStream(StringView fileName, unsigned mode) : FFileName(fileName) {
    const std::string path = StringToUtf8(fileName);
    if ((mode & 0xFF00) == fmCreate) {
        FHandle = platform::FileCreate(path);
        if (FHandle < 0)
            throw EFCreateError(u"Cannot create file \"" + FFileName + u"\". " + LastErrorText());
    } else {
        const unsigned access = mode & 0x3;
        FHandle = platform::FileOpen(path, access == fmOpenWrite       ? platform::FileAccess::Write
                                           : access == fmOpenReadWrite ? platform::FileAccess::ReadWrite
                                                                       : platform::FileAccess::Read);
        if (FHandle < 0)
            throw EFOpenError(u"Cannot open file \"" + FFileName + u"\". " + LastErrorText());
    }
}

TFileStream::~TFileStream() { platform::FileClose(FHandle); }

std::int64_t TFileStream::Read(void* buffer, std::int64_t count) {
    const std::int64_t n = platform::FileRead(FHandle, buffer, count);
    return n < 0 ? 0 : n;
}

std::int64_t TFileStream::Write(const void* buffer, std::int64_t count) {
    const std::int64_t n = platform::FileWrite(FHandle, buffer, count);
    return n < 0 ? 0 : n;
}

std::int64_t TFileStream::Seek(std::int64_t offset, TSeekOrigin origin) {
    return platform::FileSeek(FHandle, offset, OriginOf(origin));
}

void TFileStream::SetSize(std::int64_t size) {
    if (!platform::FileTruncate(FHandle, size))
        throw EStreamError(u"Cannot change the size of \"" + FFileName + u"\". " + LastErrorText());
    if (GetPosition() > size) SetPosition(size);
}

// --- atomic replacement ----------------------------------------------------

TAtomicFileWriter::TAtomicFileWriter(StringView fileName) : FFileName(fileName) {
    String dir = ExtractFilePath(fileName);
    if (dir.empty()) dir = u".";
    const std::string name = StringToUtf8(ExtractFileName(fileName));
    FHandle = platform::FileCreateTemp(StringToUtf8(dir), "." + name + ".tmp-", FTempPath);
    if (FHandle < 0)
        throw EFCreateError(u"Cannot create file \"" + FFileName + u"\". " + LastErrorText());
}

TAtomicFileWriter::~TAtomicFileWriter() { Discard(); }

void TAtomicFileWriter::Discard() {
    if (FHandle >= 0) {
        platform::FileClose(FHandle);
        FHandle = -1;
        platform::FileDelete(FTempPath);
    }
}

std::int64_t TAtomicFileWriter::Read(void* buffer, std::int64_t count) {
    const std::int64_t n = platform::FileRead(FHandle, buffer, count);
    return n < 0 ? 0 : n;
}

std::int64_t TAtomicFileWriter::Write(const void* buffer, std::int64_t count) {
    const std::int64_t n = platform::FileWrite(FHandle, buffer, count);
    return n < 0 ? 0 : n;
}

std::int64_t TAtomicFileWriter::Seek(std::int64_t offset, TSeekOrigin origin) {
    return platform::FileSeek(FHandle, offset, OriginOf(origin));
}

void TAtomicFileWriter::SetSize(std::int64_t size) {
    if (!platform::FileTruncate(FHandle, size))
        throw EStreamError(u"Cannot change the size of \"" + FFileName + u"\". " + LastErrorText());
}

void TAtomicFileWriter::Commit() {
    if (FHandle < 0) throw EWriteError(u"Stream write error");
    if (!platform::FileSync(FHandle)) {
        const String reason = LastErrorText();
        Discard();
        throw EWriteError(u"Cannot write file \"" + FFileName + u"\". " + reason);
    }
    platform::FileClose(FHandle);
    FHandle = -1;
    if (!platform::FileRenameReplace(FTempPath, StringToUtf8(FFileName))) {
        const String reason = LastErrorText();
        platform::FileDelete(FTempPath);
        throw EWriteError(u"Cannot write file \"" + FFileName + u"\". " + reason);
    }
}

void SaveBytesToFileAtomic(StringView fileName, const std::uint8_t* data, std::size_t size) {
    TAtomicFileWriter writer(fileName);
    writer.WriteBuffer(data, static_cast<std::int64_t>(size));
    writer.Commit();
}

// --- names -----------------------------------------------------------------

bool FileExists(StringView fileName) { return platform::FileExists(StringToUtf8(fileName)); }

bool DeleteFile(StringView fileName) { return platform::FileDelete(StringToUtf8(fileName)); }

String ExtractFilePath(StringView fileName) {
    const std::size_t p = fileName.rfind(u'/');
    return p == StringView::npos ? String() : String(fileName.substr(0, p + 1));
}

String ExtractFileName(StringView fileName) {
    const std::size_t p = fileName.rfind(u'/');
    return String(p == StringView::npos ? fileName : fileName.substr(p + 1));
}

String ExtractFileExt(StringView fileName) {
    const String name = ExtractFileName(fileName);
    const std::size_t p = name.rfind(u'.');
    return p == String::npos ? String() : name.substr(p);
}

String IncludeTrailingPathDelimiter(StringView path) {
    String out(path);
    if (out.empty() || out.back() != u'/') out.push_back(u'/');
    return out;
}

String ExeFileName() { return Utf8ToString(platform::ExecutablePath()); }

String ExePath() { return ExtractFilePath(ExeFileName()); }

String GetCurrentDir() { return Utf8ToString(platform::CurrentDirectory()); }
