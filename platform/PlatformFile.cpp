#include "PlatformFile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace platform {

int FileOpen(const std::string& path, FileAccess access) {
    const int flags = access == FileAccess::Read    ? O_RDONLY
                      : access == FileAccess::Write ? O_WRONLY
                                                    : O_RDWR;
    return ::open(path.c_str(), flags | O_CLOEXEC);
}

int FileCreate(const std::string& path) {
    return ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
}

int FileCreateTemp(const std::string& directory, const std::string& prefix, std::string& path) {
    std::string templ = directory;
    if (!templ.empty() && templ.back() != '/') templ.push_back('/');
    templ += prefix + "XXXXXX";
    std::vector<char> buffer(templ.begin(), templ.end());
    buffer.push_back('\0');
    const int fd = ::mkostemp(buffer.data(), O_CLOEXEC);
    if (fd < 0) return -1;
    // mkostemp creates 0600; give the file the usual permissions, as a plain
    // create would (the umask still applies).
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    path.assign(buffer.data());
    return fd;
}

void FileClose(int fd) {
    if (fd >= 0) ::close(fd);
}

std::int64_t FileRead(int fd, void* buffer, std::int64_t count) {
    for (;;) {
        const ssize_t r = ::read(fd, buffer, static_cast<size_t>(count));
        if (r >= 0 || errno != EINTR) return r;
    }
}

std::int64_t FileWrite(int fd, const void* buffer, std::int64_t count) {
    const char* p = static_cast<const char*>(buffer);
    std::int64_t done = 0;
    while (done < count) {
        const ssize_t r = ::write(fd, p + done, static_cast<size_t>(count - done));
        if (r < 0) {
            if (errno == EINTR) continue;
            return done ? done : -1;
        }
        done += r;
    }
    return done;
}

std::int64_t FileSeek(int fd, std::int64_t offset, int origin) {
    const int whence = origin == 0 ? SEEK_SET : origin == 1 ? SEEK_CUR : SEEK_END;
    return ::lseek(fd, offset, whence);
}

bool FileTruncate(int fd, std::int64_t size) { return ::ftruncate(fd, size) == 0; }

bool FileSync(int fd) { return ::fsync(fd) == 0; }

bool FileExists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool FileDelete(const std::string& path) { return ::unlink(path.c_str()) == 0; }

bool FileRenameReplace(const std::string& from, const std::string& to) {
    if (::rename(from.c_str(), to.c_str()) != 0) return false;
    const std::size_t slash = to.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : slash == 0 ? "/" : to.substr(0, slash);
    const int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    return true;
}

std::string ExecutablePath() {
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return {};
    return std::string(buffer, static_cast<std::size_t>(n));
}

std::string CurrentDirectory() {
    char buffer[PATH_MAX];
    return ::getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string();
}

} // namespace platform
