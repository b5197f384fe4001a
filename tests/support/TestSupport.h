// Helpers shared by the test suites.
#pragma once

#include "RtlString.h"

#include <string>

namespace testing_support {

// A fresh directory under the system's temporary folder, removed with its
// content when the object goes away.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return FPath; }
    // Path of a file inside the directory, as UTF-8 and as a String.
    std::string File(const std::string& name) const { return FPath + "/" + name; }
    String FileW(const std::string& name) const { return Utf8ToString(File(name)); }

private:
    std::string FPath;
};

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);

// Runs a shell command and returns its standard output; the exit status goes
// to `status` when given.
std::string RunCommand(const std::string& command, int* status = nullptr);

} // namespace testing_support
