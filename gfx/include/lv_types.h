/**
 * Result codes and compiler helpers shared by every module.
 */
#ifndef LV_TYPES_H
#define LV_TYPES_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(__GNUC__)
#define LV_FORMAT_ATTRIBUTE(fmtstr, vararg) __attribute__((format(printf, fmtstr, vararg)))
#else
#define LV_FORMAT_ATTRIBUTE(fmtstr, vararg)
#endif
#define LV_ATTRIBUTE_FAST_MEM
#define LV_UNUSED(x) ((void)x)

enum {
    LV_RES_INV = 0,
    LV_RES_OK,
};
typedef uint8_t lv_res_t;

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* LV_TYPES_H */
