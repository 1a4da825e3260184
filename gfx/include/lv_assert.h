/**
 * Assertions; LV_ASSERT_HANDLER may be set in lv_conf.h.
 */
#ifndef LV_ASSERT_H
#define LV_ASSERT_H

#include "lv_conf.h"
#include "lv_log.h"

#ifdef __cplusplus
extern "C" {
#endif

#ifndef LV_ASSERT_HANDLER
#define LV_ASSERT_HANDLER                                                                                    \
    while (1)                                                                                                \
        ;
#endif
#define LV_ASSERT_MSG(expr, msg)                                                                             \
    do {                                                                                                     \
        if (!(expr)) {                                                                                       \
            LV_LOG_ERROR("Asserted at expression: %s (%s)", #expr, msg);                                     \
            LV_ASSERT_HANDLER                                                                                \
        }                                                                                                    \
    } while (0)
#define LV_ASSERT(expr)                                                                                      \
    do {                                                                                                     \
        if (!(expr)) {                                                                                       \
            LV_LOG_ERROR("Asserted at expression: %s", #expr);                                               \
            LV_ASSERT_HANDLER                                                                                \
        }                                                                                                    \
    } while (0)
#if LV_USE_ASSERT_NULL
#define LV_ASSERT_NULL(p) LV_ASSERT_MSG(p != NULL, "NULL pointer");
#else
#define LV_ASSERT_NULL(p)
#endif
#if LV_USE_ASSERT_MALLOC
#define LV_ASSERT_MALLOC(p) LV_ASSERT_MSG(p != NULL, "Out of memory");
#else
#define LV_ASSERT_MALLOC(p)
#endif

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* LV_ASSERT_H */
