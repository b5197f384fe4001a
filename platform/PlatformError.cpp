#include "PlatformError.h"

#include <cerrno>
#include <cstring>

int PlatformLastError() { return errno; }

std::string PlatformErrorText(int code) {
    char buffer[256];
    // GNU strerror_r returns the text, which may or may not live in `buffer`.
    const char* text = strerror_r(code, buffer, sizeof buffer);
    return text ? std::string(text) : std::string("Unknown error ") + std::to_string(code);
}
