#include "WinBackend.h"
#include "WinInternal.h"
#include "WinMessage.h"
#include "WinSystem.h"

#include <algorithm>

using namespace platform::win;

namespace platform::win {

void KillTimersFor(HWND hwnd) {
    auto& t = State().Timers;
    t.erase(std::remove_if(t.begin(), t.end(), [&](const TimerData& d) { return d.Hwnd == hwnd; }),
            t.end());
}

bool TakeDueTimer(HWND filter, MSG& msg, bool remove) {
    const std::uint64_t now = CurrentBackend().Now();
    TimerData* best = nullptr;
    for (TimerData& t : State().Timers) {
        if (t.Due > now || !FilterMatches(filter, t.Hwnd)) continue;
        if (!best || t.Due < best->Due) best = &t;
    }
    if (!best) return false;
    msg = MSG{};
    msg.hwnd = best->Hwnd;
    msg.message = WM_TIMER;
    msg.wParam = best->Id;
    msg.lParam = reinterpret_cast<LPARAM>(best->Proc);
    // One tick however many periods have passed; the next period starts now.
    if (remove) best->Due = now + best->Elapse;
    return true;
}

int MillisecondsToNextTimer() {
    const auto& timers = State().Timers;
    if (timers.empty()) return -1;
    std::uint64_t due = timers.front().Due;
    for (const TimerData& t : timers)
        due = std::min(due, t.Due);
    const std::uint64_t now = CurrentBackend().Now();
    if (due <= now) return 0;
    return static_cast<int>(std::min<std::uint64_t>(due - now, 0x7FFFFFFF));
}

} // namespace platform::win

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc) {
    if (hwnd && !FindWindowData(hwnd)) {
        SetLastErrorCode(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    elapse = std::clamp(elapse, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM);
    WinState& s = State();
    auto find = [&](HWND h, UINT_PTR i) {
        return std::find_if(s.Timers.begin(), s.Timers.end(),
                            [&](const TimerData& t) { return t.Hwnd == h && t.Id == i; });
    };
    if (!hwnd && (id == 0 || find(nullptr, id) == s.Timers.end())) {
        do {
            id = ++s.NextThreadTimerId;
        } while (find(nullptr, id) != s.Timers.end());
    }
    const std::uint64_t due = CurrentBackend().Now() + elapse;
    auto it = find(hwnd, id);
    if (it != s.Timers.end()) {
        it->Elapse = elapse;
        it->Proc = proc;
        it->Due = due;
    } else {
        s.Timers.push_back(TimerData{hwnd, id, elapse, proc, due});
    }
    return hwnd ? (id ? id : 1) : id;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
    auto& t = State().Timers;
    auto it = std::find_if(t.begin(), t.end(),
                           [&](const TimerData& d) { return d.Hwnd == hwnd && d.Id == id; });
    if (it == t.end()) return FALSE;
    t.erase(it);
    return TRUE;
}
