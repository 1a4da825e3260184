// Start-up of the runtime: timers, file system, animations, image decoding and fonts.
#include "lv_anim.h"
#include "lv_freetype.h"
#include "lv_fs.h"
#include "lv_fsdrv.h"
#include "lv_img_cache.h"
#include "lv_log.h"
#include "lv_obj.h"
#include "lv_png.h"
#include "lv_timer.h"

namespace gfx {
bool g_inited = false;
} // namespace gfx

extern "C" {

void lv_init(void) {
    if (gfx::g_inited) {
        LV_LOG_WARN("lv_init: already inited");
        return;
    }
    _lv_timer_core_init();
    _lv_fs_init();
    _lv_anim_core_init();
    _lv_img_decoder_init();
    lv_img_cache_set_size(LV_IMG_CACHE_DEF_SIZE);
    lv_fs_stdio_init();
    lv_png_init();
    lv_freetype_init(LV_FREETYPE_CACHE_FT_FACES, LV_FREETYPE_CACHE_FT_SIZES, LV_FREETYPE_CACHE_SIZE);
    gfx::g_inited = true;
}

bool lv_is_initialized(void) {
    return gfx::g_inited;
}

} // extern "C"
