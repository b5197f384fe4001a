// The X11 back-end: top-level windows become undecorated X windows showing
// their back buffers (through shared memory when the server offers it);
// child windows stay inside the model. Window regions become shapes, layered
// windows with per-pixel alpha get a 32-bit ARGB visual, WM_DELETE_WINDOW
// becomes WM_CLOSE, and a caption drag is handed to the window manager when
// it offers _NET_WM_MOVERESIZE. No X11 header is included here.
#pragma once

#include "WinTypes.h"

#include <memory>

namespace platform::win {

class Backend;

// Null when no display can be opened.
std::unique_ptr<Backend> CreateX11Backend();

// Resets the window system and installs the X11 back-end; false (and nothing
// changed) when no display can be opened.
bool InstallX11Backend();

// The X window id of a shown top-level window, 0 when it has none (for tests
// that look at the display from their own connection).
unsigned long X11WindowOf(HWND hwnd);

} // namespace platform::win
