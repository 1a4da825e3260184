// What the fuzz targets share: the application on a 320 x 240 memory display with the virtual tick
// (tools/harness/app_host.h), the wall clock moving with the tick, and a check that the heap does not
// keep growing. State is kept across inputs, as in the real program: screens are built on first use.
#pragma once

#include <cstddef>
#include <cstdint>

#include "app_host.h"

// Once per process: changes to the build directory (its qorv_lvgl/assets), pins the wall clock, starts
// the runtime and the display with the tick 30 s before it wraps around (after 49.7 days of running);
// with `screens`, also builds the status bar, the overlay and the welcome screen (MainScreen_Init).
void fuzz_app_init(bool screens);

// Lets `ms` of virtual time pass in the event loop's 20 ms steps; the wall clock moves along.
void fuzz_app_advance(uint32_t ms);

// After every input: fails the run when the live heap exceeds its peak over the first `warmup` inputs
// by more than 64 MB (FUZZ_HEAP_GROWTH_MB). Prints the live heap at every power of two of inputs.
void fuzz_app_check_heap(uint64_t warmup);
