/**
 * Older names LVGL keeps for compatibility.
 */
#ifndef LV_API_MAP_H
#define LV_API_MAP_H

#include "lv_obj.h"

#ifdef __cplusplus
extern "C" {
#endif

void lv_obj_move_foreground(lv_obj_t* obj);
void lv_obj_move_background(lv_obj_t* obj);

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* LV_API_MAP_H */
