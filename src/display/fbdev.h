// Framebuffer display driver: ties the graphics library's renderer to /dev/fb0.
#pragma once

#include "lvgl.h"

// Opens and maps /dev/fb0, switches the panel on and publishes its resolution in _g_my_ui_w_max and
// _g_my_ui_h_max. A failing step is printed with perror and leaves the driver without a framebuffer.
void fbdev_init(void);

// The display's flush callback: copies a rendered area into the framebuffer and reports the flush
// done. In full-refresh mode, when the framebuffer holds two pages, the frame goes to the hidden
// page, which is then shown by a pan.
void fbdev_flush(lv_disp_drv_t* drv, const lv_area_t* area, lv_color_t* color_p);
