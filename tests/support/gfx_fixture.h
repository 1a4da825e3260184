// GoogleTest support for tests of the graphics runtime.
//
// GfxFixture: lv_init(), virtual time from 0 and one memory display (320 x 240, screen-sized buffer,
// or as the constructor says) for each test; gfx_deinit() afterwards, so the next test starts afresh.
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
    // The areas flushed since the last clear_flushes(), as area_str() writes them.
    std::vector<std::string> flushed_areas() const;
    void clear_flushes() { gfx_mem_display_clear_flushes(disp); }

    lv_disp_t* disp = nullptr;

  private:
    GfxDisplayConfig cfg_;
};

// "(x1,y1)-(x2,y2)"
std::string area_str(const lv_area_t& a);

// How many timers there are, the runtime's own included.
size_t gfx_test_timer_count();

// A plain rectangle without the theme's look.
lv_obj_t* gfx_test_rect(lv_obj_t* parent, lv_coord_t x, lv_coord_t y, lv_coord_t w, lv_coord_t h,
                        uint32_t rgb);

// A w x h draw buffer lying at (x0, y0) on the screen, filled with one colour, and a draw context on
// it whose clip area (`clip`) starts as the whole buffer: for the painters on their own.
struct Canvas {
    lv_area_t buf_area, clip;
    std::vector<lv_color_t> px;
    lv_draw_ctx_t ctx{};

    Canvas(lv_coord_t w, lv_coord_t h, uint32_t fill, lv_coord_t x0 = 0, lv_coord_t y0 = 0);
    Canvas(const Canvas&) = delete;
    // The colour at screen coordinates as 0xRRGGBB.
    uint32_t at(lv_coord_t x, lv_coord_t y) const;
    bool inside_clip(lv_coord_t x, lv_coord_t y) const {
        return x >= clip.x1 && x <= clip.x2 && y >= clip.y1 && y <= clip.y2;
    }
};

// Brings up the file system (stdio on the `A` drive) and the image decoders with PNG from scratch,
// without lv_init() or a display: for tests of the image stack alone.
void gfx_test_image_stack_init();
