// The headless back-end: windows live only in memory, input is injected by
// the caller and time can be a fake clock that only moves when told to (or
// when a wait would otherwise sleep). Used by the unit tests and by tools
// that render without a display.
#pragma once

#include "WinTypes.h"

#include <cstdint>
#include <memory>

namespace platform::win {
class Backend;
}

namespace platform::headless {

struct Options {
    bool FakeClock = true;
    int ScreenWidth = 1280, ScreenHeight = 1024;
};

std::unique_ptr<platform::win::Backend> CreateHeadlessBackend(const Options& options);

// Forgets every window, class, timer, hook, message and drawing object and
// installs a fresh headless back-end. Handles stay unique across resets.
void Install(const Options& options = {});

// Fake clock: moves time forward. Waits that would block for a time-out move
// the clock by that time-out instead of sleeping.
void AdvanceClock(std::uint32_t ms);
std::uint64_t Now();

// Input, as a pointer device and a keyboard would deliver it. Buttons: 0 left,
// 1 right, 2 middle. Each call stamps the event with the current clock.
void MouseMove(int x, int y);
void MouseDown(int button = 0);
void MouseUp(int button = 0);
void MouseWheel(int delta);
void KeyDown(UINT vk, char32_t ch = 0);
void KeyUp(UINT vk);
// Moves to (x, y), presses and releases, pumping messages after each step.
void Click(int x, int y, int button = 0);

// Dispatches every message that is ready now without waiting (paint and due
// timers included) and returns how many were dispatched. A WM_QUIT found on
// the way is left pending for the caller's loop.
int PumpMessages();

} // namespace platform::headless
