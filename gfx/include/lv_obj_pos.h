/**
 * Position, size, alignment, layout and invalidation of objects.
 */
#ifndef LV_OBJ_POS_H
#define LV_OBJ_POS_H

#include "lv_conf.h"
#include "lv_obj.h"
#include "lv_area.h"

#ifdef __cplusplus
extern "C" {
#endif

void lv_obj_set_pos(lv_obj_t* obj, lv_coord_t x, lv_coord_t y);
void lv_obj_set_x(lv_obj_t* obj, lv_coord_t x);
void lv_obj_set_y(lv_obj_t* obj, lv_coord_t y);
void lv_obj_set_size(lv_obj_t* obj, lv_coord_t w, lv_coord_t h);
void lv_obj_set_width(lv_obj_t* obj, lv_coord_t w);
void lv_obj_set_height(lv_obj_t* obj, lv_coord_t h);
void lv_obj_set_content_width(lv_obj_t* obj, lv_coord_t w);
void lv_obj_set_content_height(lv_obj_t* obj, lv_coord_t h);
void lv_obj_set_align(lv_obj_t* obj, lv_align_t align);
void lv_obj_align(lv_obj_t* obj, lv_align_t align, lv_coord_t x_ofs, lv_coord_t y_ofs);
void lv_obj_center(lv_obj_t* obj);
void lv_obj_update_layout(const lv_obj_t* obj);
void lv_obj_get_coords(const lv_obj_t* obj, lv_area_t* coords);
lv_coord_t lv_obj_get_x(const lv_obj_t* obj);
lv_coord_t lv_obj_get_x2(const lv_obj_t* obj);
lv_coord_t lv_obj_get_y(const lv_obj_t* obj);
lv_coord_t lv_obj_get_y2(const lv_obj_t* obj);
lv_coord_t lv_obj_get_x_aligned(const lv_obj_t* obj);
lv_coord_t lv_obj_get_y_aligned(const lv_obj_t* obj);
lv_coord_t lv_obj_get_width(const lv_obj_t* obj);
lv_coord_t lv_obj_get_height(const lv_obj_t* obj);
lv_coord_t lv_obj_get_content_width(const lv_obj_t* obj);
lv_coord_t lv_obj_get_content_height(const lv_obj_t* obj);
void lv_obj_get_content_coords(const lv_obj_t* obj, lv_area_t* area);
lv_coord_t lv_obj_get_self_width(const lv_obj_t* obj);
lv_coord_t lv_obj_get_self_height(const lv_obj_t* obj);
void lv_obj_invalidate(const lv_obj_t* obj);
void lv_obj_invalidate_area(const lv_obj_t* obj, const lv_area_t* area);
bool lv_obj_is_visible(const lv_obj_t* obj);
bool lv_obj_refresh_self_size(lv_obj_t* obj);
void lv_obj_mark_layout_as_dirty(lv_obj_t* obj);

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* LV_OBJ_POS_H */
