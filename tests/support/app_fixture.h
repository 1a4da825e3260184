// GoogleTest support for the application's tests. It uses nothing but the LVGL API, so the same
// tests run against our runtime and against LVGL itself:
//   - the tick is custom_tick_get(), which this support defines over a variable the test advances;
//   - the display is a memory display registered with lv_disp_drv_register;
//   - log lines are read from standard output, where LVGL 8.3 prints them.
// The application keeps module state (screens are built once), so every test runs in a process of
// its own (ctest runs each test case separately).
#pragma once

#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "log_capture.h"
#include "lvgl.h"

// The tick that custom_tick_get() returns.
void app_tick_set(uint32_t ms);
uint32_t app_tick_now(void);

class AppFixture : public ::testing::Test {
  protected:
    explicit AppFixture(lv_coord_t w = 320, lv_coord_t h = 240) : w_(w), h_(h) {}
    void SetUp() override;

    // Advances the tick by `ms` in steps of `step_ms` (20 ms, the event loop's rate), running
    // lv_timer_handler() after each step.
    void advance(uint32_t ms, uint32_t step_ms = 20);
    // The colour shown at (x, y) as 0xRRGGBB.
    uint32_t pixel(lv_coord_t x, lv_coord_t y) const;
    // Writes the current frame as PNG (for looking at a failure); returns the path.
    std::string save_frame(const std::string& name) const;

    lv_disp_t* disp = nullptr;
    lv_coord_t w_, h_;
};

// The log lines the program prints while it exists (log_capture.h).
using AppLog = LogCapture;
