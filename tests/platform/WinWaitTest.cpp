// The wait: event objects, descriptors bound to events, messages against
// objects, time-outs under the fake clock, and the CPU a long wait costs.
#include "WinTestSupport.h"

#include <ctime>
#include <fcntl.h>
#include <unistd.h>

using namespace wintest;

namespace {

class WinWaitTest : public WinTest {};

TEST_F(WinWaitTest, EventsAutoResetAndManualReset) {
    HANDLE autoEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HANDLE manual = CreateEventW(nullptr, TRUE, TRUE, nullptr);
    ASSERT_NE(autoEvent, nullptr);
    EXPECT_EQ(WaitForSingleObject(autoEvent, 0), WAIT_TIMEOUT);
    SetEvent(autoEvent);
    SetEvent(autoEvent); // signalling twice is still one signal
    EXPECT_EQ(WaitForSingleObject(autoEvent, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(autoEvent, 0), WAIT_TIMEOUT);
    EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0);
    ResetEvent(manual);
    EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_TIMEOUT);
    HANDLE both[2] = {manual, autoEvent};
    SetEvent(autoEvent);
    EXPECT_EQ(WaitForMultipleObjects(2, both, FALSE, 0), WAIT_OBJECT_0 + 1);
    EXPECT_TRUE(CloseHandle(autoEvent));
    EXPECT_FALSE(CloseHandle(autoEvent));
    EXPECT_EQ(WaitForSingleObject(autoEvent, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    CloseHandle(manual);
}

TEST_F(WinWaitTest, MsgWaitReportsObjectsBeforeMessagesAndTimesOut) {
    HANDLE ev = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HWND w = MakeTop(0, 0, 10, 10, WS_POPUP);
    const auto start = platform::headless::Now();
    EXPECT_EQ(MsgWaitForMultipleObjects(1, &ev, FALSE, 250, QS_ALLEVENTS), WAIT_TIMEOUT);
    EXPECT_EQ(platform::headless::Now() - start, 250u); // the fake clock moved, nothing slept
    PostMessageW(w, WM_USER, 0, 0);
    EXPECT_EQ(MsgWaitForMultipleObjects(1, &ev, FALSE, 1000, QS_ALLEVENTS), WAIT_OBJECT_0 + 1);
    SetEvent(ev);
    EXPECT_EQ(MsgWaitForMultipleObjects(1, &ev, FALSE, 1000, QS_ALLEVENTS), WAIT_OBJECT_0);
    Pump();
    // A timer due within the limit wakes the wait as a message.
    SetTimer(w, 1, 100, nullptr);
    EXPECT_EQ(MsgWaitForMultipleObjects(1, &ev, FALSE, 1000, QS_ALLEVENTS), WAIT_OBJECT_0 + 1);
    EXPECT_EQ(platform::headless::Now() - start, 350u);
    // Without QS_TIMER it does not.
    Pump();
    EXPECT_EQ(MsgWaitForMultipleObjects(1, &ev, FALSE, 30, QS_POSTMESSAGE), WAIT_TIMEOUT);
    CloseHandle(ev);
}

TEST_F(WinWaitTest, BoundDescriptorSignalsTheEvent) {
    int fds[2];
    ASSERT_EQ(pipe2(fds, O_NONBLOCK), 0);
    HANDLE ev = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_TRUE(platform::EventSelectDescriptor(ev, fds[0], platform::WaitReadable));
    EXPECT_EQ(MsgWaitForMultipleObjects(1, &ev, FALSE, 10, QS_ALLINPUT), WAIT_TIMEOUT);
    ASSERT_EQ(write(fds[1], "x", 1), 1);
    EXPECT_EQ(MsgWaitForMultipleObjects(1, &ev, FALSE, 10, QS_ALLINPUT), WAIT_OBJECT_0);
    EXPECT_EQ(platform::EventDescriptorReady(ev), platform::WaitReadable);
    char c;
    ASSERT_EQ(read(fds[0], &c, 1), 1);
    EXPECT_EQ(MsgWaitForMultipleObjects(1, &ev, FALSE, 10, QS_ALLINPUT), WAIT_TIMEOUT);
    platform::EventSelectDescriptor(ev, -1, 0);
    ASSERT_EQ(write(fds[1], "x", 1), 1);
    EXPECT_EQ(MsgWaitForMultipleObjects(1, &ev, FALSE, 10, QS_ALLINPUT), WAIT_TIMEOUT);
    CloseHandle(ev);
    close(fds[0]);
    close(fds[1]);
}

TEST_F(WinWaitTest, DescriptorWaitDispatchesAndKeepsTheQuitRequest) {
    int fds[2];
    ASSERT_EQ(pipe2(fds, O_NONBLOCK), 0);
    HWND w = MakeTop(0, 0, 10, 10, WS_POPUP);
    platform::WaitItem item{fds[0], platform::WaitReadable};
    PostMessageW(w, WM_USER, 0, 0);
    PostQuitMessage(4);
    auto r = platform::WaitForDescriptors({&item, 1}, 100, QS_ALLINPUT, true);
    EXPECT_EQ(r.Status, platform::WaitStatus::MessagesDispatched);
    EXPECT_TRUE(r.QuitSeen);
    EXPECT_EQ(CountOf(w, WM_USER), 1);
    // The program's own loop still sees the quit request.
    MSG m;
    EXPECT_EQ(GetMessageW(&m, nullptr, 0, 0), FALSE);
    EXPECT_EQ(m.wParam, 4u);

    ASSERT_EQ(write(fds[1], "x", 1), 1);
    r = platform::WaitForDescriptors({&item, 1}, 100, QS_ALLINPUT, true);
    EXPECT_EQ(r.Status, platform::WaitStatus::ObjectReady);
    EXPECT_EQ(r.Index, 0);
    EXPECT_EQ(item.Ready & platform::WaitReadable, platform::WaitReadable);
    close(fds[0]);
    close(fds[1]);
}

double CpuMilliseconds() {
    timespec ts;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

TEST(WinWaitCpu, ATwoSecondWaitCostsAlmostNoCpu) {
    platform::headless::Options options;
    options.FakeClock = false;
    platform::headless::Install(options);
    HANDLE never = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    const double cpu0 = CpuMilliseconds();
    const DWORD t0 = GetTickCount();
    EXPECT_EQ(MsgWaitForMultipleObjects(1, &never, FALSE, 2000, QS_ALLINPUT), WAIT_TIMEOUT);
    const DWORD elapsed = GetTickCount() - t0;
    const double cpu = CpuMilliseconds() - cpu0;
    std::printf("wait of %u ms used %.3f ms of CPU time\n", static_cast<unsigned>(elapsed), cpu);
    EXPECT_GE(elapsed, 2000u);
    EXPECT_LT(cpu, 20.0);
    CloseHandle(never);
    platform::headless::Install();
}

} // namespace
