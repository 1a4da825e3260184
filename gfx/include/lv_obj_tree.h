/**
 * The object tree: deleting, children, parents and order.
 */
#ifndef LV_OBJ_TREE_H
#define LV_OBJ_TREE_H

#include <stdint.h>

#include "lv_conf.h"
#include "lv_obj.h"

#ifdef __cplusplus
extern "C" {
#endif

void lv_obj_del(lv_obj_t* obj);
void lv_obj_clean(lv_obj_t* obj);

lv_obj_t* lv_obj_get_screen(const lv_obj_t* obj);
lv_obj_t* lv_obj_get_parent(const lv_obj_t* obj);
lv_obj_t* lv_obj_get_child(const lv_obj_t* obj, int32_t id);
uint32_t lv_obj_get_child_cnt(const lv_obj_t* obj);
uint32_t lv_obj_get_index(const lv_obj_t* obj);

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* LV_OBJ_TREE_H */
