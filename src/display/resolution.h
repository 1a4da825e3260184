// The panel's resolution: 1024 x 600 until fbdev_init publishes the framebuffer's own. main sizes the
// display and its drawing buffers from it; the screens do not read it.
#pragma once

#include <cstdint>

extern int32_t _g_my_ui_w_max;
extern int32_t _g_my_ui_h_max;
