// The eleven fonts of the display, created on first request through the FreeType binding.
#pragma once

#include <cstdint>

#include "lvgl.h"

// Font ids, in the order of the loader's records: family and pixel size.
enum : int8_t {
    FONT_SANS_12, // HarmonyOS_Sans_Regular.ttf
    FONT_SANS_14,
    FONT_SANS_15,
    FONT_SANS_16,
    FONT_SANS_20,
    FONT_SANS_40,
    FONT_MONO_9, // UbuntuMono-B.ttf
    FONT_MONO_16,
    FONT_MONO_18,
    FONT_MONO_25,
    FONT_MONO_30,
};

// Returns the font of `id` (0 to 10), creating it the first time; null when the id is unknown or
// the font file cannot be loaded (retried on the next request).
lv_font_t* font_loader_get_font(uint32_t id);
