/**
 * Public API of the graphics runtime: the subset of LVGL 8.3 that the status display uses,
 * with LVGL's names, types, values and signatures, one header per module as LVGL has them.
 * Configuration comes from lv_conf.h.
 */
#ifndef LVGL_H
#define LVGL_H

#define LVGL_VERSION_MAJOR 8
#define LVGL_VERSION_MINOR 3
#define LVGL_VERSION_PATCH 11
#define LVGL_VERSION_INFO ""

/* True when this is LVGL x.y.z or a later release of the same major version. */
#define LV_VERSION_CHECK(x, y, z)                                                                            \
    ((x) == LVGL_VERSION_MAJOR &&                                                                            \
     ((y) < LVGL_VERSION_MINOR || ((y) == LVGL_VERSION_MINOR && (z) <= LVGL_VERSION_PATCH)))

#include "lv_conf.h"

#include "lv_log.h"
#include "lv_timer.h"
#include "lv_math.h"
#include "lv_mem.h"
#include "lv_printf.h"
#include "lv_hal.h"

#include "lv_obj.h"
#include "lv_refr.h"
#include "lv_disp.h"

#include "lv_font.h"
#include "lv_font_fmt_txt.h"

#include "lv_img.h"
#include "lv_label.h"

#include "lv_draw.h"
#include "lv_api_map.h"

#include "lv_anim.h"
#include "lv_assert.h"
#include "lv_fs.h"
#include "lv_fsdrv.h"
#include "lv_freetype.h"
#include "lv_gif.h"
#include "lv_png.h"
#include "lv_qrcode.h"

#endif /* LVGL_H */
