/**
 * The PNG decoder.
 */
#ifndef LV_PNG_H
#define LV_PNG_H

#ifdef __cplusplus
extern "C" {
#endif

void lv_png_init(void);

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* LV_PNG_H */
