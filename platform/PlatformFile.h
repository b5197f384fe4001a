// Files of the operating system behind a small handle API. Paths are UTF-8.
// Every function reports failure by its result; errno holds the reason
// (PlatformLastError/PlatformErrorText give it to callers).
#pragma once

#include <cstdint>
#include <string>

namespace platform {

enum class FileAccess { Read, Write, ReadWrite };

// Open an existing file; -1 on failure.
int FileOpen(const std::string& path, FileAccess access);
// Create or truncate a file for reading and writing; -1 on failure.
int FileCreate(const std::string& path);
// Create a new, uniquely named file in `directory` whose name starts with
// `prefix`; returns its descriptor and stores the path, or -1.
int FileCreateTemp(const std::string& directory, const std::string& prefix, std::string& path);
void FileClose(int fd);
// Transfers are retried on interruption; the result is the count moved, or -1.
std::int64_t FileRead(int fd, void* buffer, std::int64_t count);
std::int64_t FileWrite(int fd, const void* buffer, std::int64_t count);
// origin: 0 from the start, 1 from the current position, 2 from the end. -1 on failure.
std::int64_t FileSeek(int fd, std::int64_t offset, int origin);
bool FileTruncate(int fd, std::int64_t size);
// Flush the file's data to the storage device.
bool FileSync(int fd);

bool FileExists(const std::string& path);      // a regular file (or a link to one)
bool DirectoryExists(const std::string& path);
bool FileDelete(const std::string& path);
// Atomically replace `to` with `from` (same file system), then make the rename
// itself durable by syncing the directory.
bool FileRenameReplace(const std::string& from, const std::string& to);

// Absolute path of the running executable.
std::string ExecutablePath();
std::string CurrentDirectory();

} // namespace platform
