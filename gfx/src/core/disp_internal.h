// A registered display: its driver, screens and layers, and the refresher's dirty areas.
#pragma once

#include <vector>

#include "lv_disp.h"

#define GFX_INV_BUF_SIZE 32

struct _lv_disp_t {
    lv_disp_drv_t* driver = nullptr;
    lv_timer_t* refr_timer = nullptr;
    std::vector<lv_obj_t*> screens; // every parentless object, layers included
    lv_obj_t* act_scr = nullptr;
    lv_obj_t* prev_scr = nullptr;
    lv_obj_t* top_layer = nullptr;
    lv_obj_t* sys_layer = nullptr;
    lv_color_t bg_color{};
    lv_opa_t bg_opa = LV_OPA_COVER;

    lv_area_t inv_areas[GFX_INV_BUF_SIZE]{};
    uint8_t inv_area_joined[GFX_INV_BUF_SIZE]{};
    uint16_t inv_p = 0;
    bool rendering = false;

    lv_draw_ctx_t own_draw_ctx{};    // used when the driver brings none
    std::vector<lv_color_t> rot_buf; // software rotation's chunk buffer, sized on first use
};

namespace gfx {

// Every registered display, newest first.
const std::vector<lv_disp_t*>& displays();
// Forgets the default display and the display list (after every display was removed).
void disp_reset_all();

} // namespace gfx
