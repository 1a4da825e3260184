/* The program's tick source, read by the graphics library on every lv_tick_get(). */
#ifndef CUSTOM_TICK_H
#define CUSTOM_TICK_H
#include <stdint.h>
#ifdef __cplusplus
extern "C" {
#endif
uint32_t custom_tick_get(void);
#ifdef __cplusplus
}
#endif
#endif
