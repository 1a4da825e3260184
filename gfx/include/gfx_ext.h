/**
 * Extensions of the graphics runtime that LVGL does not have: a memory display, virtual time and
 * PNG snapshots, for tests and tools. The application modules never include this header.
 */
#ifndef GFX_EXT_H
#define GFX_EXT_H

#include "lvgl.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Virtual time: while enabled, lv_tick_get() returns the virtual clock instead of custom_tick_get(). */
void gfx_virtual_time_enable(uint32_t start_ms);
void gfx_virtual_time_disable(void);
void gfx_virtual_time_set(uint32_t ms);
void gfx_virtual_time_advance(uint32_t ms);
/* Advances virtual time by `ms` in steps of `step_ms`, calling lv_timer_handler() after every step. */
void gfx_run_for(uint32_t ms, uint32_t step_ms);

/* The driver of a display (LVGL programs read disp->driver; our lv_disp_t is opaque). */
lv_disp_drv_t* gfx_disp_get_drv(lv_disp_t* disp);

/* One flush seen by a memory display. */
typedef struct {
    lv_area_t area;
    uint32_t frame; /* refresh counter at the time of the flush */
} gfx_flush_record_t;

/* A display that renders into memory: a w x h frame of lv_color_t that every flush is copied into.
 * buf_lines = 0 gives a screen-sized draw buffer; full_refresh needs that. */
lv_disp_t* gfx_mem_display_create(lv_coord_t w, lv_coord_t h, uint32_t buf_lines, bool full_refresh);
void gfx_mem_display_delete(lv_disp_t* disp);
const lv_color_t* gfx_mem_display_pixels(lv_disp_t* disp);
lv_color_t gfx_mem_display_pixel(lv_disp_t* disp, lv_coord_t x, lv_coord_t y);
uint32_t gfx_mem_display_flush_count(lv_disp_t* disp);
const gfx_flush_record_t* gfx_mem_display_flushes(lv_disp_t* disp, uint32_t* count);
void gfx_mem_display_clear_flushes(lv_disp_t* disp);

/* Writes w x h pixels (lv_color_t, alpha ignored) as an RGB PNG. Returns true on success. */
bool gfx_save_png(const char* path, const lv_color_t* px, uint32_t w, uint32_t h);
/* Writes what the memory display currently shows. */
bool gfx_mem_display_save_png(lv_disp_t* disp, const char* path);

/* Tears the whole runtime down (objects, displays, timers, animations, decoders, caches, fonts'
 * cache) so lv_init() can run again; used between tests. */
void gfx_deinit(void);

#ifdef __cplusplus
}
#endif

#endif
