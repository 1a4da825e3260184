// Kept apart from main.cpp so that the driver and its tests link without the program's entry.
#include "display/resolution.h"

int32_t _g_my_ui_w_max = 1024;
int32_t _g_my_ui_h_max = 600;
