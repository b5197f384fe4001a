// Replacing a file through a temporary beside it: readers see the old
// content or the new one in full, never a part, and no temporary survives.
#include "RtlException.h"
#include "RtlFileStream.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

std::vector<std::string> Entries(const TempDir& dir) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

void Write(TStream& stream, const std::string& bytes) {
    stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
}

TEST(AtomicFile, TargetKeepsItsOldContentUntilCommit) {
    TempDir dir;
    WriteFileBytes(dir.File("cache.json"), "old content, longer than the new");
    {
        TAtomicFileWriter writer(dir.FileW("cache.json"));
        Write(writer, "new");
        EXPECT_EQ("old content, longer than the new", ReadFileBytes(dir.File("cache.json")));
        writer.Commit();
    }
    // Replaced whole: nothing of the longer old content is left at the end.
    EXPECT_EQ("new", ReadFileBytes(dir.File("cache.json")));
    EXPECT_EQ(std::vector<std::string>{"cache.json"}, Entries(dir));
}

TEST(AtomicFile, AbandonedWriterLeavesTheTargetAndNoTemporary) {
    TempDir dir;
    WriteFileBytes(dir.File("a.txt"), "keep me");
    {
        TAtomicFileWriter writer(dir.FileW("a.txt"));
        Write(writer, "half of the new da");
    }
    EXPECT_EQ("keep me", ReadFileBytes(dir.File("a.txt")));
    EXPECT_EQ(std::vector<std::string>{"a.txt"}, Entries(dir));

    // A target that did not exist is not created either.
    {
        TAtomicFileWriter writer(dir.FileW("b.txt"));
        Write(writer, "x");
    }
    EXPECT_FALSE(FileExists(dir.FileW("b.txt")));
    EXPECT_EQ(std::vector<std::string>{"a.txt"}, Entries(dir));
}

TEST(AtomicFile, WriterIsAnOrdinaryStreamBeforeCommit) {
    TempDir dir;
    TAtomicFileWriter writer(dir.FileW("s.bin"));
    Write(writer, "abcdef");
    writer.SetPosition(2);
    Write(writer, "XY");
    EXPECT_EQ(6, writer.GetSize());
    writer.SetSize(5);
    writer.SetPosition(0);
    char back[5] = {};
    writer.ReadBuffer(back, 5);
    EXPECT_EQ("abXYe", std::string(back, 5));
    writer.Commit();
    EXPECT_EQ("abXYe", ReadFileBytes(dir.File("s.bin")));
}

TEST(AtomicFile, NewFileGetsTheUsualPermissions) {
    TempDir dir;
    const std::uint8_t data[] = {1, 2, 3};
    SaveBytesToFileAtomic(dir.FileW("p.bin"), data, sizeof data);
    struct stat st {};
    ASSERT_EQ(0, ::stat(dir.File("p.bin").c_str(), &st));
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(0666u & ~mask, st.st_mode & 0777u);
    EXPECT_EQ(std::string("\x01\x02\x03", 3), ReadFileBytes(dir.File("p.bin")));
}

TEST(AtomicFile, MissingFolderRaisesTheCreateError) {
    TempDir dir;
    EXPECT_THROW(TAtomicFileWriter(dir.FileW("no/such/folder/x.txt")), EFCreateError);
    const std::uint8_t byte = 0;
    EXPECT_THROW(SaveBytesToFileAtomic(dir.FileW("missing/x.txt"), &byte, 1), EFCreateError);
    EXPECT_TRUE(Entries(dir).empty());
}

TEST(AtomicFile, FailedRenameKeepsNothingAndIsReported) {
    TempDir dir;
    std::filesystem::create_directory(dir.File("target"));
    WriteFileBytes(dir.File("target/inside"), "x");
    TAtomicFileWriter writer(dir.FileW("target"));
    Write(writer, "data");
    EXPECT_THROW(writer.Commit(), EWriteError);
    EXPECT_EQ(std::vector<std::string>{"target"}, Entries(dir));
    EXPECT_EQ("x", ReadFileBytes(dir.File("target/inside")));
    // A second commit is refused rather than reported as success.
    EXPECT_THROW(writer.Commit(), EWriteError);
}

} // namespace
