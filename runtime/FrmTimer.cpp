#include "FrmTimer.h"

#include "FrmApplication.h"

#include <unordered_map>

namespace {
constexpr const char16_t* kTimerClass = u"TFrameworkTimerWindow";

std::unordered_map<HWND, TTimer*>& TimerWindows() {
    static std::unordered_map<HWND, TTimer*> map;
    return map;
}
} // namespace

TTimer::TTimer(TComponent* owner) : TComponent(owner) {
    WNDCLASSW existing{};
    if (!GetClassInfoW(nullptr, kTimerClass, &existing)) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &TTimer::WindowProc;
        wc.lpszClassName = kTimerClass;
        RegisterClassW(&wc);
    }
    // A hidden window that only receives this timer's messages.
    FWindow = CreateWindowExW(0, kTimerClass, u"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr,
                              nullptr);
    if (FWindow) TimerWindows()[FWindow] = this;
}

TTimer::~TTimer() {
    if (FWindow) {
        KillTimer(FWindow, 1);
        TimerWindows().erase(FWindow);
        DestroyWindow(FWindow);
    }
}

void TTimer::SetEnabled(bool enabled) {
    if (FEnabled == enabled) return;
    FEnabled = enabled;
    UpdateTimer();
}

void TTimer::SetInterval(unsigned interval) {
    if (FInterval == interval) return;
    FInterval = interval;
    UpdateTimer();
}

void TTimer::SetOnTimer(TNotifyEvent handler) {
    FOnTimer = std::move(handler);
    UpdateTimer();
}

void TTimer::UpdateTimer() {
    if (!FWindow) return;
    KillTimer(FWindow, 1);
    if (FEnabled && FInterval != 0 && FOnTimer) SetTimer(FWindow, 1, FInterval, nullptr);
}

void TTimer::Timer() {
    if (FEnabled && FOnTimer) FOnTimer(this);
}

LRESULT TTimer::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_TIMER) {
        const auto it = TimerWindows().find(hwnd);
        if (it != TimerWindows().end()) {
            try {
                it->second->Timer();
            } catch (...) {
                HandleFrameworkException();
            }
        }
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}
