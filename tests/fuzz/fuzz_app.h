// What the fuzz targets share: the runtime on a 320 x 240 memory display, a tick that only the target
// advances, the wall clock pinned, and datagrams handed over as the event loop hands them.
//
// State is kept across inputs, as in the real program: screens are built on first use and stay, and
// nothing here grows per input.
#pragma once

#include <cstddef>
#include <cstdint>

// Once per process. Changes to the build directory (the asset set lives in qorv_lvgl/assets there),
// pins the wall clock, starts the runtime with the BMP decoder and the display, and sets the tick 30 s
// before it wraps around; with `screens`, also builds the status bar, the overlay and the welcome
// screen (MainScreen_Init).
void fuzz_app_init(bool screens);

// Lets `ms` of virtual time pass in the event loop's 20 ms steps, running lv_timer_handler() after
// each; the pinned wall clock moves along.
void fuzz_app_advance(uint32_t ms);

// One datagram: the program keeps at most 16383 characters, stops at a zero byte, drops an empty
// datagram and parses the rest and hands it to MainScreen_SetData, as the program does.
void fuzz_app_datagram(const uint8_t* data, size_t size);

// Called after every input: fails the run when the live heap keeps growing. The first `warmup`
// inputs may build screens and fill caches; after them the live heap may exceed its peak so far by
// at most 64 MB (FUZZ_HEAP_GROWTH_MB). Prints the live heap at every power of two of inputs.
void fuzz_app_check_heap(uint64_t warmup);

// The longest text the program keeps of a datagram (its 16384-byte buffer ends with a zero).
constexpr size_t kFuzzDatagramMax = 16383;
