#pragma once

#include <cstdint>

// The tick count: milliseconds of the steady clock (time since the machine started), as a
// 32-bit number that wraps, which is how idle times and poll periods are compared.
std::uint32_t TickCount();

// The tick of the user's last keyboard or mouse input in this program. Only the program's
// own windows are watched, not the whole desktop session: input to other programs counts
// as idle time here.
std::uint32_t LastInputTick();
// Records input now (the watch calls it; tests too).
void NoteInput();
// Sets the tick directly (tests: input some time ago).
void SetLastInputTick(std::uint32_t tick);

// Watches the application's input from now on; once per process.
void InstallInputWatch();
