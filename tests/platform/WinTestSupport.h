// Helpers for the window-system tests: a window class whose procedure
// records every message and hands it to a per-window handler, and a fixture
// that installs a fresh headless back-end with a fake clock.
#pragma once

#include "WinCapture.h"
#include "WinHeadless.h"
#include "Windows.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace wintest {

struct Seen {
    HWND Hwnd;
    UINT Message;
    WPARAM WParam;
    LPARAM LParam;
};

// A handler returns a result to answer the message itself, or nothing to let
// the default procedure handle it.
using Handler = std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)>;

inline std::vector<Seen>& Log() {
    static std::vector<Seen> log;
    return log;
}
inline std::map<HWND, Handler>& Handlers() {
    static std::map<HWND, Handler> handlers;
    return handlers;
}

inline LRESULT RecordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Log().push_back(Seen{hwnd, message, wParam, lParam});
    auto it = Handlers().find(hwnd);
    if (it != Handlers().end() && it->second) {
        if (auto r = it->second(hwnd, message, wParam, lParam)) return *r;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

inline constexpr const char16_t* kClass = u"WinTestWindow";
inline constexpr const char16_t* kDblClass = u"WinTestDblWindow";

inline void RegisterClasses() {
    WNDCLASSW wc;
    wc.lpfnWndProc = RecordingProc;
    wc.hbrBackground = CreateSolidBrush(RGB(255, 255, 255));
    wc.lpszClassName = kClass;
    RegisterClassW(&wc);
    wc.style = CS_DBLCLKS;
    wc.lpszClassName = kDblClass;
    RegisterClassW(&wc);
}

inline HWND MakeTop(int x, int y, int w, int h, DWORD style = WS_POPUP | WS_VISIBLE,
                    DWORD exStyle = 0, const char16_t* cls = kClass) {
    return CreateWindowExW(exStyle, cls, u"top", style, x, y, w, h, nullptr, nullptr, nullptr,
                           nullptr);
}

inline HWND MakeChild(HWND parent, int x, int y, int w, int h,
                      DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
                      const char16_t* cls = kClass) {
    return CreateWindowExW(0, cls, u"child", style, x, y, w, h, parent, nullptr, nullptr, nullptr);
}

// Messages of one kind seen by a window, in order.
inline std::vector<Seen> SeenBy(HWND hwnd, UINT message) {
    std::vector<Seen> out;
    for (const Seen& s : Log())
        if (s.Hwnd == hwnd && s.Message == message) out.push_back(s);
    return out;
}

inline int CountOf(HWND hwnd, UINT message) {
    return static_cast<int>(SeenBy(hwnd, message).size());
}

// The messages of the given kinds, in the order they arrived.
inline std::vector<UINT> Sequence(HWND hwnd, std::initializer_list<UINT> kinds) {
    std::vector<UINT> out;
    for (const Seen& s : Log())
        if (s.Hwnd == hwnd && std::find(kinds.begin(), kinds.end(), s.Message) != kinds.end())
            out.push_back(s.Message);
    return out;
}

// A handler whose window answers HTCAPTION in its top `band` pixels.
inline Handler CaptionBand(int band) {
    return [band](HWND h, UINT m, WPARAM, LPARAM l) -> std::optional<LRESULT> {
        if (m != WM_NCHITTEST) return std::nullopt;
        POINT p{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
        ScreenToClient(h, &p);
        return p.y < band ? HTCAPTION : HTCLIENT;
    };
}

class WinTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::headless::Install();
        Log().clear();
        Handlers().clear();
        RegisterClasses();
    }
    void TearDown() override {
        Handlers().clear();
        Log().clear();
    }
    static int Pump() { return platform::headless::PumpMessages(); }
};

} // namespace wintest
