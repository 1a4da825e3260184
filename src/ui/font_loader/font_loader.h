// The eleven fonts of the display, created on first request through the FreeType binding.
#pragma once

#include <cstdint>

#include "lvgl.h"

// Returns the font of `id` (0 to 10), creating it the first time; null when the id is unknown or
// the font file cannot be loaded (retried on the next request).
lv_font_t* font_loader_get_font(uint32_t id);
