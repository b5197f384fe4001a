// TTimer: fires OnTimer every Interval milliseconds while Enabled, through
// window-message timers of a hidden window of its own.
#pragma once

#include "RtlComponent.h"
#include "Windows.h"

class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* owner = nullptr);
    ~TTimer() override;
    String ClassName() const override { return u"TTimer"; }

    bool GetEnabled() const { return FEnabled; }
    void SetEnabled(bool enabled);
    unsigned GetInterval() const { return FInterval; }
    void SetInterval(unsigned interval);
    void SetOnTimer(TNotifyEvent handler);

private:
    void UpdateTimer();
    void Timer();
    static LRESULT WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    bool FEnabled = true;
    unsigned FInterval = 1000;
    TNotifyEvent FOnTimer;
    HWND FWindow = nullptr;
};
