// What the fuzz targets share: the application on a 320 x 240 memory display with the virtual tick
// (tools/harness/app_host.h), the wall clock pinned and moving with the tick, datagrams handed over as
// the event loop hands them (app_host_datagram), and a check that the heap does not keep growing.
//
// State is kept across inputs, as in the real program: screens are built on first use and stay, and
// nothing here grows per input.
#pragma once

#include <cstddef>
#include <cstdint>

#include "app_host.h"

// Once per process. Changes to the build directory (the asset set lives in qorv_lvgl/assets there),
// pins the wall clock, starts the runtime with the BMP decoder and the display, and sets the tick 30 s
// before it wraps around, as after 49.7 days of running; with `screens`, also builds the status bar,
// the overlay and the welcome screen (MainScreen_Init).
void fuzz_app_init(bool screens);

// Lets `ms` of virtual time pass in the event loop's 20 ms steps; the wall clock moves along.
void fuzz_app_advance(uint32_t ms);

// Called after every input: fails the run when the live heap keeps growing. The first `warmup`
// inputs may build screens and fill caches; after them the live heap may exceed its peak so far by
// at most 64 MB (FUZZ_HEAP_GROWTH_MB). Prints the live heap at every power of two of inputs.
void fuzz_app_check_heap(uint64_t warmup);
