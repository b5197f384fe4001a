#include "WinState.h"

#include "WinBackend.h"
#include "WinHeadless.h"
#include "WinInternal.h"
#include "WinStyles.h"
#include "WinX11.h"

namespace platform::win {

namespace {
ULONG_PTR gNextHandle = 0x20000;
}

ULONG_PTR NewHandleValue() {
    return gNextHandle += 4;
}

WinState& State() {
    static WinState state;
    return state;
}

Backend& CurrentBackend() {
    WinState& s = State();
    if (!s.TheBackend) {
        s.TheBackend = CreateX11Backend();
        if (!s.TheBackend) {
            // Without a display, windows live in memory on the real clock;
            // tests that want a fake clock install their own back-end.
            platform::headless::Options options;
            options.FakeClock = false;
            s.TheBackend = platform::headless::CreateHeadlessBackend(options);
        }
    }
    return *s.TheBackend;
}

void ResetWindowSystem(std::unique_ptr<Backend> backend) {
    ResetInput();
    ResetDcs();
    ResetWindows();
    ResetMessages();
    ResetHooks();
    State().Timers.clear();
    ResetGdiObjects();
    State().TheBackend = std::move(backend);
}

std::shared_ptr<WindowData> FindWindowData(HWND hwnd) {
    if (!hwnd) return nullptr;
    WinState& s = State();
    auto it = s.Windows.find(HandleToInt(hwnd));
    return it == s.Windows.end() ? nullptr : it->second;
}

HWND TopLevelOf(HWND hwnd) {
    auto w = FindWindowData(hwnd);
    while (w && w->Parent) {
        auto p = FindWindowData(w->Parent);
        if (!p) break;
        w = p;
    }
    return w ? w->Handle : nullptr;
}

RECT RectInTopLevel(const WindowData& w) {
    if (!w.Parent) return RECT{0, 0, w.Rect.right - w.Rect.left, w.Rect.bottom - w.Rect.top};
    auto parent = FindWindowData(w.Parent);
    if (!parent) return w.Rect;
    const RECT p = RectInTopLevel(*parent);
    const int dx = p.left + parent->Client.left, dy = p.top + parent->Client.top;
    return RECT{w.Rect.left + dx, w.Rect.top + dy, w.Rect.right + dx, w.Rect.bottom + dy};
}

POINT WindowOriginOnScreen(const WindowData& w) {
    if (!w.Parent) return POINT{w.Rect.left, w.Rect.top};
    auto parent = FindWindowData(w.Parent);
    if (!parent) return POINT{w.Rect.left, w.Rect.top};
    const POINT p = ClientOriginOnScreen(*parent);
    return POINT{p.x + w.Rect.left, p.y + w.Rect.top};
}

POINT ClientOriginOnScreen(const WindowData& w) {
    const POINT o = WindowOriginOnScreen(w);
    return POINT{o.x + w.Client.left, o.y + w.Client.top};
}

bool IsReallyVisible(const WindowData& w) {
    const WindowData* cur = &w;
    std::shared_ptr<WindowData> hold;
    while (cur) {
        if (!(cur->Style & WS_VISIBLE)) return false;
        if (!cur->Parent) return true;
        hold = FindWindowData(cur->Parent);
        cur = hold.get();
    }
    return false;
}

} // namespace platform::win
