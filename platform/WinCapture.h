// The pixels of a window as the screen would show them, read from the
// model: for tests (headless or against the display) and screenshots.
#pragma once

#include "WinTypes.h"

#include <cstdint>
#include <vector>

namespace platform::win {

struct WindowPicture {
    int Width = 0, Height = 0;
    // 0xAARRGGBB, rows top-down. Alpha is 255 inside the window's region and
    // 0 outside (where the colour is 0 too); a layered window gives its
    // constant alpha, or the premultiplied pixels of UpdateLayeredWindow.
    std::vector<std::uint32_t> Pixels;
    std::uint32_t At(int x, int y) const { return Pixels[static_cast<std::size_t>(y) * Width + x]; }
};

// The whole window (frame, children and region mask applied). A child
// window gives its part of the top-level window's picture. Empty for an
// unknown window.
WindowPicture CaptureWindow(HWND hwnd);

} // namespace platform::win
