// The application modules inside this process, run as the program runs them but on a memory display
// and a virtual tick: for the snapshot tool, the screen benchmark, the fuzz targets and the tests.
// It uses nothing but the LVGL API, so it builds against LVGL itself too.
//
// The tick is this module's custom_tick_get(): linking the module makes it the program's tick source.
#pragma once

#include <cstddef>
#include <cstdint>

#include "lvgl.h"

// The virtual tick in milliseconds; only these calls move it.
void app_host_tick_set(uint32_t ms);
uint32_t app_host_tick(void);
// Lets `ms` of virtual time pass in the event loop's 20 ms steps, running lv_timer_handler() after
// each step.
void app_host_run_for(uint32_t ms);

// Starts the runtime as the program does (lv_init, the BMP decoder) with a w x h memory display in
// place of the framebuffer; with `full_refresh` every frame is drawn whole, as in the program's
// default mode. A flush outside the display aborts. Once per process.
lv_disp_t* app_host_start(lv_coord_t w, lv_coord_t h, bool full_refresh);
// What the display shows: w x h pixels, row by row.
const lv_color_t* app_host_frame(void);

// One datagram as the program takes it: at most 16383 bytes, ending at a zero byte, an empty one
// dropped; the text is parsed and handed to the screen manager. Returns whether it parsed as JSON.
bool app_host_datagram(const void* data, size_t size);
