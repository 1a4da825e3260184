/**
 * Screens and layers of a display.
 */
#ifndef LV_DISP_H
#define LV_DISP_H

#include "lv_hal.h"
#include "lv_obj.h"

#ifdef __cplusplus
extern "C" {
#endif

lv_obj_t* lv_disp_get_scr_act(lv_disp_t* disp);
lv_obj_t* lv_disp_get_scr_prev(lv_disp_t* disp);
void lv_disp_load_scr(lv_obj_t* scr);
lv_obj_t* lv_disp_get_layer_top(lv_disp_t* disp);
lv_obj_t* lv_disp_get_layer_sys(lv_disp_t* disp);
void lv_disp_set_bg_color(lv_disp_t* disp, lv_color_t color);
void lv_disp_set_bg_opa(lv_disp_t* disp, lv_opa_t opa);
static inline lv_obj_t* lv_scr_act(void) {
    return lv_disp_get_scr_act(lv_disp_get_default());
}
static inline lv_obj_t* lv_layer_top(void) {
    return lv_disp_get_layer_top(lv_disp_get_default());
}
static inline lv_obj_t* lv_layer_sys(void) {
    return lv_disp_get_layer_sys(lv_disp_get_default());
}
static inline void lv_scr_load(lv_obj_t* scr) {
    lv_disp_load_scr(scr);
}

lv_coord_t lv_dpx(lv_coord_t n);
lv_timer_t* _lv_disp_get_refr_timer(lv_disp_t* disp);

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* LV_DISP_H */
