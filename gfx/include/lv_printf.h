/**
 * LVGL's own formatter (no floating point unless LV_SPRINTF_USE_FLOAT).
 */
#ifndef LV_PRINTF_H
#define LV_PRINTF_H

#include <stdarg.h>
#include <stddef.h>

#include "lv_types.h"

#ifdef __cplusplus
extern "C" {
#endif

int lv_snprintf(char* buffer, size_t count, const char* format, ...) LV_FORMAT_ATTRIBUTE(3, 4);
int lv_vsnprintf(char* buffer, size_t count, const char* format, va_list va) LV_FORMAT_ATTRIBUTE(3, 0);

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* LV_PRINTF_H */
