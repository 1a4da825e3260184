/**
 * The millisecond tick.
 */
#ifndef LV_HAL_TICK_H
#define LV_HAL_TICK_H

#include <stdint.h>

#include "lv_conf.h"

#ifdef __cplusplus
extern "C" {
#endif

uint32_t lv_tick_get(void);
uint32_t lv_tick_elaps(uint32_t prev_tick);

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* LV_HAL_TICK_H */
