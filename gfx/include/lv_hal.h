/**
 * Hardware abstraction: displays and the tick.
 */
#ifndef LV_HAL_H
#define LV_HAL_H

#include "lv_hal_disp.h"
#include "lv_hal_tick.h"

#ifdef __cplusplus
extern "C" {
#endif

#define LV_DPX(n) lv_disp_dpx(NULL, n)

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* LV_HAL_H */
