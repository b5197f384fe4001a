// File streams and safe whole-file replacement.
#pragma once

#include "RtlStream.h"

#include <string>

// Open modes (the share bits of other platforms are accepted and ignored).
constexpr unsigned fmOpenRead = 0x0000;
constexpr unsigned fmOpenWrite = 0x0001;
constexpr unsigned fmOpenReadWrite = 0x0002;
constexpr unsigned fmCreate = 0xFF00;
constexpr unsigned fmShareDenyNone = 0x0040;
constexpr unsigned fmShareDenyWrite = 0x0020;

class TFileStream : public TStream {
public:
    // fmCreate creates or truncates ("Cannot create file "<name>". <reason>",
    // EFCreateError); the open modes need an existing file ("Cannot open file
    // "<name>". <reason>", EFOpenError).
    TFileStream(StringView fileName, unsigned mode);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    std::int64_t Read(void* buffer, std::int64_t count) override;
    std::int64_t Write(const void* buffer, std::int64_t count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    void SetSize(std::int64_t size) override;
    const String& FileName() const { return FFileName; }

private:
    String FFileName;
    int FHandle = -1;
};

// Writes a whole file so that readers only ever see the old content or the
// complete new one: the bytes go to a temporary file beside the target, and
// Commit() flushes it and renames it over the target. Destroying the writer
// without Commit() (an exception on the way) removes the temporary file and
// leaves the target untouched.
class TAtomicFileWriter : public TStream {
public:
    explicit TAtomicFileWriter(StringView fileName);
    ~TAtomicFileWriter() override;
    TAtomicFileWriter(const TAtomicFileWriter&) = delete;
    TAtomicFileWriter& operator=(const TAtomicFileWriter&) = delete;

    std::int64_t Read(void* buffer, std::int64_t count) override;
    std::int64_t Write(const void* buffer, std::int64_t count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    void SetSize(std::int64_t size) override;

    // Makes the new content the target's. Raises EWriteError when the data
    // cannot be flushed or the rename fails (the target then keeps its old content).
    void Commit();

private:
    void Discard();
    String FFileName;
    std::string FTempPath;
    int FHandle = -1;
};

// Replaces a file's content atomically (see TAtomicFileWriter).
void SaveBytesToFileAtomic(StringView fileName, const std::uint8_t* data, std::size_t size);

// File-name helpers. Paths use "/" as the delimiter.
bool FileExists(StringView fileName);
bool DeleteFile(StringView fileName);
String ExtractFilePath(StringView fileName);  // up to and including the last "/"
String ExtractFileName(StringView fileName);  // after the last "/"
String ExtractFileExt(StringView fileName);   // from the last "." of the name, or empty
String IncludeTrailingPathDelimiter(StringView path);
// The executable's full path, and its folder with a trailing "/".
String ExeFileName();
String ExePath();
String GetCurrentDir();
