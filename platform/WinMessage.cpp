#include "WinMessage.h"

#include "WinBackend.h"
#include "WinInternal.h"
#include "WinStyles.h"
#include "WinSystem.h"
#include "WinWait.h"
#include "WinWindow.h"

#include <algorithm>

using namespace platform::win;

namespace {

bool InRange(UINT message, UINT minMsg, UINT maxMsg) {
    if (minMsg == 0 && maxMsg == 0) return true;
    return message >= minMsg && message <= maxMsg;
}

LRESULT Send(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool byThread) {
    if (hwnd == HWND_BROADCAST) {
        const std::vector<HWND> tops = State().TopLevels;
        for (HWND h : tops)
            Send(h, message, wParam, lParam, byThread);
        return 0;
    }
    auto w = FindWindowData(hwnd);
    if (!w) {
        SetLastErrorCode(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    CallWndProcHooks(hwnd, message, wParam, lParam, byThread);
    w = FindWindowData(hwnd);
    if (!w) return 0;
    const WNDPROC proc = w->Proc;
    w.reset();
    const LRESULT result =
        proc ? proc(hwnd, message, wParam, lParam) : DefWindowProcW(hwnd, message, wParam, lParam);
    CallWndProcRetHooks(hwnd, message, wParam, lParam, result, byThread);
    return result;
}

void Stamp(MSG& msg, bool remove) {
    if (!remove) return;
    WinState& s = State();
    s.MessageTime = msg.time;
    s.MessagePos = msg.pt;
}

void CallGetMessageHooks(MSG& msg, bool remove);

} // namespace

namespace platform::win {

bool FilterMatches(HWND filter, HWND hwnd) {
    if (!filter) return true;
    if (filter == HandleFromInt<HWND>(-1)) return hwnd == nullptr;
    return hwnd == filter || IsChild(filter, hwnd);
}

LRESULT SendSystemMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return Send(hwnd, message, wParam, lParam, false);
}

void RemoveMessagesFor(HWND hwnd) {
    auto& q = State().Posted;
    q.erase(std::remove_if(q.begin(), q.end(), [&](const MSG& m) { return m.hwnd == hwnd; }),
            q.end());
}

void ResetMessages() {
    WinState& s = State();
    s.Posted.clear();
    s.QuitPending = false;
    s.QuitCode = 0;
    s.PendingChars.clear();
}

bool MessagesReady(UINT wakeMask) {
    WinState& s = State();
    if ((wakeMask & (QS_POSTMESSAGE | QS_ALLPOSTMESSAGE)) && (!s.Posted.empty() || s.QuitPending))
        return true;
    if ((wakeMask & QS_INPUT) && !s.Input.empty()) return true;
    if ((wakeMask & QS_PAINT) && FindWindowToPaint(nullptr)) return true;
    if ((wakeMask & QS_TIMER) && MillisecondsToNextTimer() == 0) return true;
    return false;
}

} // namespace platform::win

LRESULT SendMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return Send(hwnd, message, wParam, lParam, true);
}

BOOL SendNotifyMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (hwnd != HWND_BROADCAST && !IsWindow(hwnd)) return FALSE;
    Send(hwnd, message, wParam, lParam, true);
    return TRUE;
}

LRESULT SendMessageTimeoutW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT, UINT,
                            DWORD_PTR* result) {
    if (hwnd != HWND_BROADCAST && !IsWindow(hwnd)) return 0;
    const LRESULT r = Send(hwnd, message, wParam, lParam, true);
    if (result) *result = static_cast<DWORD_PTR>(r);
    return 1;
}

BOOL PostMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    WinState& s = State();
    auto post = [&](HWND h) {
        MSG m;
        m.hwnd = h;
        m.message = message;
        m.wParam = wParam;
        m.lParam = lParam;
        m.time = GetTickCount();
        m.pt = s.CursorPos;
        s.Posted.push_back(m);
    };
    if (hwnd == HWND_BROADCAST) {
        for (HWND h : s.TopLevels)
            post(h);
        return TRUE;
    }
    if (hwnd && !FindWindowData(hwnd)) {
        SetLastErrorCode(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    post(hwnd);
    return TRUE;
}

DWORD GetCurrentThreadId() {
    return 1;
}

BOOL PostThreadMessageW(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam) {
    if (threadId != GetCurrentThreadId()) {
        SetLastErrorCode(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return PostMessageW(nullptr, message, wParam, lParam);
}

void PostQuitMessage(int exitCode) {
    WinState& s = State();
    s.QuitPending = true;
    s.QuitCode = exitCode;
}

BOOL PeekMessageW(MSG* msg, HWND filter, UINT minMsg, UINT maxMsg, UINT removeFlags) {
    if (!msg) return FALSE;
    const bool remove = removeFlags & PM_REMOVE;
    WinState& s = State();
    CurrentBackend().ProcessEvents();

    // Routing input runs window procedures, which may post messages; those
    // come before anything else, so the search starts over after input.
    for (;;) {
        for (auto it = s.Posted.begin(); it != s.Posted.end(); ++it) {
            if (!FilterMatches(filter, it->hwnd) || !InRange(it->message, minMsg, maxMsg)) continue;
            *msg = *it;
            if (remove) s.Posted.erase(it);
            Stamp(*msg, remove);
            CallGetMessageHooks(*msg, remove);
            return TRUE;
        }
        if (s.QuitPending && InRange(WM_QUIT, minMsg, maxMsg)) {
            *msg = MSG{};
            msg->message = WM_QUIT;
            msg->wParam = static_cast<WPARAM>(s.QuitCode);
            msg->time = GetTickCount();
            msg->pt = s.CursorPos;
            if (remove) s.QuitPending = false;
            return TRUE;
        }
        const std::size_t postedBefore = s.Posted.size();
        const DWORD serialBefore = s.Input.empty() ? 0 : s.Input.front().Serial;
        const std::size_t inputBefore = s.Input.size();
        if (TakeInputMessage(filter, minMsg, maxMsg, *msg, remove)) {
            Stamp(*msg, remove);
            CallGetMessageHooks(*msg, remove);
            return TRUE;
        }
        const bool inputMoved = s.Input.size() != inputBefore ||
                                (!s.Input.empty() && s.Input.front().Serial != serialBefore);
        if (s.Posted.size() == postedBefore && !inputMoved) break;
    }
    if (InRange(WM_PAINT, minMsg, maxMsg)) {
        if (HWND h = FindWindowToPaint(filter)) {
            *msg = MSG{};
            msg->hwnd = h;
            msg->message = WM_PAINT;
            msg->time = GetTickCount();
            msg->pt = s.CursorPos;
            Stamp(*msg, remove);
            CallGetMessageHooks(*msg, remove);
            return TRUE;
        }
    }
    if (InRange(WM_TIMER, minMsg, maxMsg) && TakeDueTimer(filter, *msg, remove)) {
        msg->time = GetTickCount();
        msg->pt = s.CursorPos;
        Stamp(*msg, remove);
        CallGetMessageHooks(*msg, remove);
        return TRUE;
    }
    // Nothing to do: the screen catches up with what was drawn.
    PresentAll();
    CurrentBackend().Flush();
    return FALSE;
}

BOOL GetMessageW(MSG* msg, HWND filter, UINT minMsg, UINT maxMsg) {
    if (!msg) return -1;
    if (filter && filter != HandleFromInt<HWND>(-1) && !IsWindow(filter)) {
        SetLastErrorCode(ERROR_INVALID_WINDOW_HANDLE);
        return -1;
    }
    while (!PeekMessageW(msg, filter, minMsg, maxMsg, PM_REMOVE))
        WaitMessage();
    return msg->message == WM_QUIT ? FALSE : TRUE;
}

BOOL WaitMessage() {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, INFINITE, QS_ALLINPUT);
    return TRUE;
}

BOOL TranslateMessage(const MSG* msg) {
    if (!msg) return FALSE;
    if (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN && msg->message != WM_KEYUP &&
        msg->message != WM_SYSKEYUP)
        return FALSE;
    if (msg->message == WM_KEYUP || msg->message == WM_SYSKEYUP) return TRUE;
    auto& pending = State().PendingChars;
    auto it = std::find_if(pending.begin(), pending.end(),
                           [&](const auto& p) { return p.first == msg->lPrivate; });
    if (it == pending.end()) return TRUE;
    const char32_t ch = it->second;
    pending.erase(it);
    const UINT charMsg = msg->message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
    if (ch >= 0x10000) {
        const char32_t v = ch - 0x10000;
        PostMessageW(msg->hwnd, charMsg, 0xD800 + (v >> 10), msg->lParam);
        PostMessageW(msg->hwnd, charMsg, 0xDC00 + (v & 0x3FF), msg->lParam);
    } else {
        PostMessageW(msg->hwnd, charMsg, ch, msg->lParam);
    }
    return TRUE;
}

LRESULT DispatchMessageW(const MSG* msg) {
    if (!msg) return 0;
    if (msg->message == WM_TIMER && msg->lParam) {
        // Only a timer procedure that a live timer registered is called.
        const auto proc = reinterpret_cast<TIMERPROC>(msg->lParam);
        const auto& timers = State().Timers;
        const bool known = std::any_of(timers.begin(), timers.end(), [&](const TimerData& t) {
            return t.Hwnd == msg->hwnd && t.Id == msg->wParam && t.Proc == proc;
        });
        if (!known) return 0;
        proc(msg->hwnd, WM_TIMER, msg->wParam, GetTickCount());
        return 0;
    }
    if (!msg->hwnd) return 0;
    auto w = FindWindowData(msg->hwnd);
    if (!w) {
        SetLastErrorCode(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    const WNDPROC proc = w->Proc;
    w.reset();
    return proc ? proc(msg->hwnd, msg->message, msg->wParam, msg->lParam)
                : DefWindowProcW(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

DWORD GetMessageTime() {
    return State().MessageTime;
}

DWORD GetMessagePos() {
    const POINT p = State().MessagePos;
    return static_cast<DWORD>(MAKELONG(static_cast<WORD>(p.x), static_cast<WORD>(p.y)));
}

DWORD GetQueueStatus(UINT flags) {
    WinState& s = State();
    CurrentBackend().ProcessEvents();
    DWORD ready = 0;
    if (!s.Posted.empty() || s.QuitPending) ready |= QS_POSTMESSAGE | QS_ALLPOSTMESSAGE;
    for (const InputEvent& e : s.Input) {
        if (e.Kind == InputEvent::KeyDown || e.Kind == InputEvent::KeyUp)
            ready |= QS_KEY;
        else if (e.Kind == InputEvent::PointerMove)
            ready |= QS_MOUSEMOVE;
        else
            ready |= QS_MOUSEBUTTON;
    }
    if (FindWindowToPaint(nullptr)) ready |= QS_PAINT;
    if (MillisecondsToNextTimer() == 0) ready |= QS_TIMER;
    ready &= flags;
    return (ready << 16) | ready;
}

BOOL InSendMessage() {
    return FALSE;
}

namespace {
void CallGetMessageHooks(MSG& msg, bool remove) {
    CallHookChain(WH_GETMESSAGE, HC_ACTION, remove ? PM_REMOVE : PM_NOREMOVE,
                  reinterpret_cast<LPARAM>(&msg));
}
} // namespace
