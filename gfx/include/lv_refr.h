/**
 * Refreshing displays: invalid areas and redraws.
 */
#ifndef LV_REFR_H
#define LV_REFR_H

#include "lv_conf.h"
#include "lv_hal_disp.h"
#include "lv_timer.h"

#ifdef __cplusplus
extern "C" {
#endif

void lv_refr_now(lv_disp_t* disp);
void _lv_inv_area(lv_disp_t* disp, const lv_area_t* area_p);
void _lv_disp_refr_timer(lv_timer_t* timer);

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* LV_REFR_H */
