/**
 * Memory allocation.
 */
#ifndef LV_MEM_H
#define LV_MEM_H

#include <stddef.h>

#include "lv_conf.h"

#ifdef __cplusplus
extern "C" {
#endif

void* lv_mem_alloc(size_t size);
void lv_mem_free(void* data);
void* lv_mem_realloc(void* data_p, size_t new_size);

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* LV_MEM_H */
