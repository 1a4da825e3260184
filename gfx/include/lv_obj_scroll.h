/**
 * Scrolling of objects.
 */
#ifndef LV_OBJ_SCROLL_H
#define LV_OBJ_SCROLL_H

#include "lv_conf.h"
#include "lv_obj.h"
#include "lv_area.h"

#ifdef __cplusplus
extern "C" {
#endif

enum {
    LV_SCROLLBAR_MODE_OFF,
    LV_SCROLLBAR_MODE_ON,
    LV_SCROLLBAR_MODE_ACTIVE,
    LV_SCROLLBAR_MODE_AUTO,
};
typedef uint8_t lv_scrollbar_mode_t;

void lv_obj_set_scroll_dir(lv_obj_t* obj, lv_dir_t dir);
void lv_obj_set_scrollbar_mode(lv_obj_t* obj, lv_scrollbar_mode_t mode);
lv_dir_t lv_obj_get_scroll_dir(const lv_obj_t* obj);

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* LV_OBJ_SCROLL_H */
