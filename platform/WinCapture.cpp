#include "WinCapture.h"

#include "WinInternal.h"
#include "WinRect.h"
#include "WinStyles.h"

using namespace platform::win;

namespace platform::win {

WindowPicture CaptureWindow(HWND hwnd) {
    WindowPicture pic;
    auto w = FindWindowData(hwnd);
    if (!w) return pic;
    auto top = FindWindowData(TopLevelOf(hwnd));
    if (!top) return pic;
    const bool layered = top->ExStyle & WS_EX_LAYERED;
    const auto& source = layered && top->LayeredContent ? top->LayeredContent : top->Buffer;
    if (!source) return pic;
    const Surface s = source->View();
    const RECT area = RectInTopLevel(*w);
    pic.Width = Width(area);
    pic.Height = Height(area);
    pic.Pixels.assign(static_cast<std::size_t>(pic.Width) * pic.Height, 0);
    const std::uint32_t alpha =
        layered && !top->LayeredContent && top->LayeredAttributes && (top->LayeredFlags & LWA_ALPHA)
            ? top->LayeredAlpha
            : 255;
    for (int y = 0; y < pic.Height; ++y) {
        const int sy = y + area.top;
        if (sy < 0 || sy >= s.Height) continue;
        for (int x = 0; x < pic.Width; ++x) {
            const int sx = x + area.left;
            if (sx < 0 || sx >= s.Width) continue;
            if (top->WindowRgn && !top->WindowRgn->Contains(sx, sy)) continue;
            std::uint32_t p = s.Row32(sy)[sx];
            if (!(layered && top->LayeredContent)) p = (p & 0x00FFFFFF) | (alpha << 24);
            pic.Pixels[static_cast<std::size_t>(y) * pic.Width + x] = p;
        }
    }
    return pic;
}

} // namespace platform::win
