// Keyboard symbols of the X protocol turned into virtual-key codes and
// characters. Plain integers only, so that no X11 header is needed here.
#pragma once

#include "WinTypes.h"

namespace platform::win {

// The virtual key of an unshifted keysym; 0 for keys the program cannot name.
UINT VirtualKeyFromKeysym(unsigned long keysym);
// The character a keysym types (after shift); 0 for none.
char32_t CharFromKeysym(unsigned long keysym);

} // namespace platform::win
