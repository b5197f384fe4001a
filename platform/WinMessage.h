// Messages: sent messages call the window procedure at once, posted ones wait
// in the queue. Retrieval order is posted messages, the quit request, input,
// then WM_PAINT and WM_TIMER, both made only when asked for, so a killed
// timer never delivers a stale tick and a validated window no paint.
// Thread hooks (WH_CALLWNDPROC, WH_CALLWNDPROCRET, WH_GETMESSAGE) and
// message timers are here too.
#pragma once

#include "WinMessages.h"
#include "WinTypes.h"

LRESULT SendMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// One thread: the notifying and time-limited forms send at once.
BOOL SendNotifyMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT SendMessageTimeoutW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT flags,
                            UINT timeout, DWORD_PTR* result);
BOOL PostMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostThreadMessageW(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
DWORD GetCurrentThreadId();

// `filter` null: every message of the thread; (HWND)-1: thread messages
// only; a window: that window and its descendants. minMsg = maxMsg = 0: any.
BOOL PeekMessageW(MSG* msg, HWND filter, UINT minMsg, UINT maxMsg, UINT removeFlags);
// Blocks (through the wait, which serves the display) until a message
// arrives; 0 for WM_QUIT, -1 for an invalid filter window.
BOOL GetMessageW(MSG* msg, HWND filter, UINT minMsg, UINT maxMsg);
BOOL WaitMessage();
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessageW(const MSG* msg);
DWORD GetMessageTime();
DWORD GetMessagePos();
// QS_* bits of what is ready now (high word) and what arrived (low word).
DWORD GetQueueStatus(UINT flags);
BOOL InSendMessage();

// Thread hooks. The hook procedure gets (HC_ACTION, wParam, lParam): for
// WH_CALLWNDPROC wParam is non-zero when the message was sent by the program
// itself and zero for messages the window system generates, lParam points to
// a CWPSTRUCT.
HHOOK SetWindowsHookExW(int kind, HOOKPROC proc, HINSTANCE module, DWORD threadId);
BOOL UnhookWindowsHookEx(HHOOK hook);
LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam);

// Timers by window and identifier. Intervals below 10 ms count as 10.
inline constexpr UINT USER_TIMER_MINIMUM = 10;
inline constexpr UINT USER_TIMER_MAXIMUM = 0x7FFFFFFF;
UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc);
BOOL KillTimer(HWND hwnd, UINT_PTR id);
