// The calling thread's last system error number and its text.
#pragma once

#include <string>

int PlatformLastError();
std::string PlatformErrorText(int code);
