// GoogleTest support for tests that need the graphics runtime running.
//
//   class MyTest : public GfxFixture {};            // 320 x 240, screen-sized buffer
//   class BigTest : public GfxFixture {
//     public:
//       BigTest() : GfxFixture({1024, 600}) {}       // other size, buffer or refresh mode
//   };
//
// SetUp: lv_init(), virtual time starting at 0, one memory display (the default display).
// TearDown: gfx_deinit() and virtual time off, so the next test starts from scratch.
// StdoutLog (stdout_log.h) collects what the runtime prints, its log lines, while it lives.
#pragma once

#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "gfx_ext.h"
#include "stdout_log.h"
#include "lvgl.h"

struct GfxDisplayConfig {
    lv_coord_t w = 320;
    lv_coord_t h = 240;
    uint32_t buf_lines = 0; // 0 = screen-sized draw buffer
    bool full_refresh = false;
};

class GfxFixture : public ::testing::Test {
  protected:
    explicit GfxFixture(GfxDisplayConfig cfg = {}) : cfg_(cfg) {}

    void SetUp() override;
    void TearDown() override;

    // Advances virtual time by `ms` in steps of `step_ms`, running lv_timer_handler() after each.
    void run_for(uint32_t ms, uint32_t step_ms = 10) { gfx_run_for(ms, step_ms); }
    // Lays out and redraws whatever is dirty right now.
    void refresh() { lv_refr_now(disp); }
    // The displayed colour at (x, y) as 0xRRGGBB.
    uint32_t pixel(lv_coord_t x, lv_coord_t y) const;
    // Flushed areas since the last clear_flushes().
    std::vector<lv_area_t> flushed_areas() const;
    void clear_flushes() { gfx_mem_display_clear_flushes(disp); }

    lv_disp_t* disp = nullptr;

  private:
    GfxDisplayConfig cfg_;
};

std::string area_str(const lv_area_t& a);

// Brings up the file system (stdio on the `A` drive) and the image decoders with PNG from scratch,
// without lv_init() or a display: for tests of the image stack alone.
void gfx_test_image_stack_init();
