// Integer helpers behind the animation paths.
#include "lv_math.h"

uint32_t lv_bezier3(uint32_t t, uint32_t u0, uint32_t u1, uint32_t u2, uint32_t u3) {
    // Cubic Bernstein polynomial in 10-bit fixed point. Unsigned 32-bit throughout and each product
    // shifted at once, so the truncation matches the reference curves bit for bit.
    uint32_t r = LV_BEZIER_VAL_MAX - t;
    uint32_t r2 = (r * r) >> LV_BEZIER_VAL_SHIFT;
    uint32_t r3 = (r2 * r) >> LV_BEZIER_VAL_SHIFT;
    uint32_t t2 = (t * t) >> LV_BEZIER_VAL_SHIFT;
    uint32_t t3 = (t2 * t) >> LV_BEZIER_VAL_SHIFT;

    uint32_t b0 = (r3 * u0) >> LV_BEZIER_VAL_SHIFT;
    uint32_t b1 = (3u * r2 * t * u1) >> (2 * LV_BEZIER_VAL_SHIFT);
    uint32_t b2 = (3u * r * t2 * u2) >> (2 * LV_BEZIER_VAL_SHIFT);
    uint32_t b3 = (t3 * u3) >> LV_BEZIER_VAL_SHIFT;
    return b0 + b1 + b2 + b3;
}

int32_t lv_map(int32_t x, int32_t min_in, int32_t max_in, int32_t min_out, int32_t max_out) {
    if (max_in >= min_in) {
        if (x >= max_in) return max_out;
        if (x <= min_in) return min_out;
    } else {
        if (x <= max_in) return max_out;
        if (x >= min_in) return min_out;
    }
    // 64-bit intermediate: long animations times 1024 would overflow 32 bits. Division truncates
    // toward zero as in C.
    int64_t num = (int64_t)(x - min_in) * (int64_t)(max_out - min_out);
    return (int32_t)(num / (int64_t)(max_in - min_in) + min_out);
}
