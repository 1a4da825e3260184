/**
 * File system drivers.
 */
#ifndef LV_FSDRV_H
#define LV_FSDRV_H

#include "lv_fs.h"

#ifdef __cplusplus
extern "C" {
#endif

void lv_fs_stdio_init(void);

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* LV_FSDRV_H */
