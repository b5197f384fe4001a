// Timers under the fake clock: made only when due and asked for, one tick
// however late, and never after KillTimer.
#include "WinTestSupport.h"

using namespace wintest;

namespace {

class WinTimerTest : public WinTest {
protected:
    void Advance(std::uint32_t ms) { platform::headless::AdvanceClock(ms); }
};

TEST_F(WinTimerTest, TicksWhenDueAndOncePerLatePeriod) {
    HWND w = MakeTop(0, 0, 10, 10, WS_POPUP);
    EXPECT_EQ(SetTimer(w, 7, 100, nullptr), 7u);
    Advance(99);
    Pump();
    EXPECT_EQ(CountOf(w, WM_TIMER), 0);
    Advance(1);
    Pump();
    ASSERT_EQ(CountOf(w, WM_TIMER), 1);
    EXPECT_EQ(SeenBy(w, WM_TIMER)[0].WParam, 7u);
    // Five periods late still gives one tick; the next period starts then.
    Advance(500);
    Pump();
    EXPECT_EQ(CountOf(w, WM_TIMER), 2);
    Advance(99);
    Pump();
    EXPECT_EQ(CountOf(w, WM_TIMER), 2);
    Advance(1);
    Pump();
    EXPECT_EQ(CountOf(w, WM_TIMER), 3);
}

TEST_F(WinTimerTest, KilledTimerNeverDeliversAStaleTick) {
    HWND w = MakeTop(0, 0, 10, 10, WS_POPUP);
    SetTimer(w, 1, 50, nullptr);
    Advance(200);
    EXPECT_TRUE(KillTimer(w, 1));
    Pump();
    EXPECT_EQ(CountOf(w, WM_TIMER), 0);
    EXPECT_FALSE(KillTimer(w, 1));
    // Destroying the window takes its timers along.
    HWND v = MakeTop(0, 0, 10, 10, WS_POPUP);
    SetTimer(v, 1, 10, nullptr);
    DestroyWindow(v);
    Advance(100);
    EXPECT_EQ(Pump(), 0);
}

TEST_F(WinTimerTest, SetTimerAgainRestartsTheSameTimer) {
    HWND w = MakeTop(0, 0, 10, 10, WS_POPUP);
    SetTimer(w, 3, 100, nullptr);
    Advance(80);
    SetTimer(w, 3, 100, nullptr);
    Advance(80);
    Pump();
    EXPECT_EQ(CountOf(w, WM_TIMER), 0);
    Advance(20);
    Pump();
    EXPECT_EQ(CountOf(w, WM_TIMER), 1);
    // Intervals below the minimum count as the minimum.
    SetTimer(w, 4, 0, nullptr);
    Advance(USER_TIMER_MINIMUM);
    Pump();
    EXPECT_EQ(CountOf(w, WM_TIMER), 2);
}

int gProcTicks = 0;
void TimerCallback(HWND, UINT, UINT_PTR, DWORD) {
    ++gProcTicks;
}

TEST_F(WinTimerTest, ThreadTimersCallTheirProcedureAndForgedOnesAreIgnored) {
    gProcTicks = 0;
    const UINT_PTR id = SetTimer(nullptr, 0, 30, TimerCallback);
    ASSERT_NE(id, 0u);
    Advance(30);
    Pump();
    EXPECT_EQ(gProcTicks, 1);
    // A WM_TIMER naming a procedure no live timer registered is not called.
    MSG forged{};
    forged.message = WM_TIMER;
    forged.wParam = id + 1;
    forged.lParam = reinterpret_cast<LPARAM>(TimerCallback);
    DispatchMessageW(&forged);
    EXPECT_EQ(gProcTicks, 1);
    KillTimer(nullptr, id);
    Advance(100);
    Pump();
    EXPECT_EQ(gProcTicks, 1);
}

TEST_F(WinTimerTest, HiddenMessageWindowsReceiveTimers) {
    HWND hidden =
        CreateWindowExW(0, kClass, u"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(hidden, nullptr);
    SetTimer(hidden, 1, 20, nullptr);
    Advance(20);
    Pump();
    EXPECT_EQ(CountOf(hidden, WM_TIMER), 1);
    EXPECT_EQ(CountOf(hidden, WM_PAINT), 0);
}

} // namespace
