#include "WinHeadless.h"

#include "WinBackend.h"
#include "WinInternal.h"
#include "WinMessages.h"
#include "WinWait.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <poll.h>

using namespace platform::win;

namespace platform::headless {

namespace {

std::uint64_t MonotonicMs() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::uint64_t>(ts.tv_sec) * 1000 +
           static_cast<std::uint64_t>(ts.tv_nsec) / 1000000;
}

short ToPoll(unsigned events) {
    short e = 0;
    if (events & platform::WaitReadable) e |= POLLIN;
    if (events & platform::WaitWritable) e |= POLLOUT;
    return e;
}

unsigned FromPoll(short revents) {
    unsigned r = 0;
    if (revents & POLLIN) r |= platform::WaitReadable;
    if (revents & POLLOUT) r |= platform::WaitWritable;
    if (revents & (POLLERR | POLLNVAL)) r |= platform::WaitError;
    if (revents & POLLHUP) r |= platform::WaitHangup;
    return r;
}

class HeadlessBackend : public Backend {
public:
    explicit HeadlessBackend(const Options& o) : FOptions(o) {}

    std::uint64_t Now() override { return FOptions.FakeClock ? FFakeNow : MonotonicMs(); }

    void Advance(std::uint32_t ms) { FFakeNow += ms; }

    int Poll(std::vector<PollItem>& items, int timeoutMs, bool) override {
        std::vector<pollfd> fds;
        fds.reserve(items.size());
        for (const PollItem& i : items)
            fds.push_back(pollfd{i.Fd, ToPoll(i.Events), 0});
        int wait = timeoutMs;
        if (FOptions.FakeClock) {
            wait = 0;
            if (timeoutMs < 0 && fds.empty()) {
                // Nothing can ever end this wait: no descriptor, no timer,
                // and input only comes from the caller, who is waiting.
                std::fprintf(stderr, "headless: a wait would block forever\n");
                std::abort();
            }
            if (timeoutMs < 0) wait = -1;
        }
        int n;
        do {
            n = ::poll(fds.data(), fds.size(), wait);
        } while (n < 0 && errno == EINTR);
        if (n < 0) return -1;
        for (std::size_t i = 0; i < items.size(); ++i)
            items[i].Ready = FromPoll(fds[i].revents);
        if (n == 0 && FOptions.FakeClock && timeoutMs > 0)
            FFakeNow += static_cast<std::uint64_t>(timeoutMs);
        return n;
    }

    RECT ScreenRect() override { return RECT{0, 0, FOptions.ScreenWidth, FOptions.ScreenHeight}; }

    bool ButtonDown(int button) override {
        const UINT vk = button == 1 ? VK_RBUTTON : button == 2 ? VK_MBUTTON : VK_LBUTTON;
        return State().AsyncKeyState[vk] & 0x80;
    }

private:
    Options FOptions;
    std::uint64_t FFakeNow = 1000000; // tick counts well away from zero
};

HeadlessBackend* Current() {
    return dynamic_cast<HeadlessBackend*>(&CurrentBackend());
}

DWORD Stamp() {
    return static_cast<DWORD>(CurrentBackend().Now());
}

} // namespace

std::unique_ptr<Backend> CreateHeadlessBackend(const Options& options) {
    return std::make_unique<HeadlessBackend>(options);
}

void Install(const Options& options) {
    ResetWindowSystem(CreateHeadlessBackend(options));
}

void AdvanceClock(std::uint32_t ms) {
    if (HeadlessBackend* b = Current()) b->Advance(ms);
}

std::uint64_t Now() {
    return CurrentBackend().Now();
}

void MouseMove(int x, int y) {
    QueuePointerMove(POINT{x, y}, Stamp());
}
void MouseDown(int button) {
    QueuePointerButton(button, true, State().CursorPos, Stamp());
}
void MouseUp(int button) {
    QueuePointerButton(button, false, State().CursorPos, Stamp());
}
void MouseWheel(int delta) {
    QueuePointerWheel(delta, State().CursorPos, Stamp());
}
void KeyDown(UINT vk, char32_t ch) {
    QueueKey(vk, true, ch, Stamp());
}
void KeyUp(UINT vk) {
    QueueKey(vk, false, 0, Stamp());
}

void Click(int x, int y, int button) {
    MouseMove(x, y);
    PumpMessages();
    MouseDown(button);
    PumpMessages();
    MouseUp(button);
    PumpMessages();
}

int PumpMessages() {
    int total = 0;
    // A window that invalidates itself on every paint would keep this going;
    // the passes are bounded.
    for (int pass = 0; pass < 100; ++pass) {
        int n = 0;
        const bool quit = platform::DispatchReadyMessages(&n);
        total += n;
        if (quit || n == 0) break;
    }
    return total;
}

} // namespace platform::headless
