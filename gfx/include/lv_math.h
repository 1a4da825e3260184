/**
 * Math helpers used by the animation paths.
 */
#ifndef LV_MATH_H
#define LV_MATH_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define LV_BEZIER_VAL_MAX 1024
#define LV_BEZIER_VAL_SHIFT 10
uint32_t lv_bezier3(uint32_t t, uint32_t u0, uint32_t u1, uint32_t u2, uint32_t u3);
int32_t lv_map(int32_t x, int32_t min_in, int32_t max_in, int32_t min_out, int32_t max_out);

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* LV_MATH_H */
