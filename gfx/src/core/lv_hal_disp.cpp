// Display drivers: initialisation defaults, draw buffers, registration and removal.
#include <algorithm>
#include <cstring>

#include "core/disp_internal.h"
#include "core/obj_internal.h"
#include "gfx_ext.h"
#include "lv_hal_disp.h"
#include "lv_refr.h"

namespace gfx {

namespace {

// Lives as long as the process and is never destroyed, so what it holds stays reachable at exit.

std::vector<lv_disp_t*>& g_displays = *new std::vector<lv_disp_t*>; // newest first
lv_disp_t* g_default = nullptr;

// Switches full refresh off when the buffer cannot hold the screen; true if it did.
bool full_refresh_refused(lv_disp_drv_t* drv) {
    if (!drv->full_refresh) return false;
    if (drv->draw_buf != nullptr && drv->draw_buf->size >= (uint32_t)drv->hor_res * (uint32_t)drv->ver_res) {
        return false;
    }
    drv->full_refresh = 0;
    return true;
}

} // namespace

const std::vector<lv_disp_t*>& displays() {
    return g_displays;
}

void disp_reset_all() {
    g_displays.clear();
    g_default = nullptr;
}

} // namespace gfx

extern "C" {

void lv_disp_drv_init(lv_disp_drv_t* driver) {
    std::memset(driver, 0, sizeof(*driver));
    driver->hor_res = 320;
    driver->ver_res = 240;
    driver->physical_hor_res = -1;
    driver->physical_ver_res = -1;
    driver->antialiasing = LV_COLOR_DEPTH > 8 ? 1 : 0;
    driver->dpi = LV_DPI_DEF;
    driver->color_chroma_key = LV_COLOR_CHROMA_KEY;
}

void lv_disp_draw_buf_init(lv_disp_draw_buf_t* draw_buf, void* buf1, void* buf2, uint32_t size_in_px_cnt) {
    std::memset(draw_buf, 0, sizeof(*draw_buf));
    draw_buf->buf1 = buf1;
    draw_buf->buf2 = buf2;
    draw_buf->buf_act = buf1;
    draw_buf->size = size_in_px_cnt;
}

lv_disp_t* lv_disp_drv_register(lv_disp_drv_t* driver) {
    lv_disp_t* disp = new (std::nothrow) _lv_disp_t();
    LV_ASSERT_MALLOC(disp);
    if (disp == nullptr) return nullptr;
    disp->driver = driver;
    if (driver->draw_ctx == nullptr) driver->draw_ctx = &disp->own_draw_ctx;

    disp->refr_timer = lv_timer_create(_lv_disp_refr_timer, LV_DISP_DEF_REFR_PERIOD, disp);
    LV_ASSERT_MALLOC(disp->refr_timer);
    if (disp->refr_timer == nullptr) {
        delete disp;
        return nullptr;
    }
    gfx::g_displays.insert(gfx::g_displays.begin(), disp);

    // The screens of the new display are created while it is the default one.
    lv_disp_t* prev_default = gfx::g_default;
    gfx::g_default = disp;

    if (gfx::full_refresh_refused(driver)) {
        LV_LOG_WARN("full_refresh requires at least screen sized draw buffer(s)");
    }
    disp->bg_color = lv_color_white();
    disp->bg_opa = LV_OPA_COVER;
    if (!gfx::theme_is_inited()) gfx::theme_init(disp);

    disp->act_scr = lv_obj_create(nullptr);
    disp->top_layer = lv_obj_create(nullptr);
    disp->sys_layer = lv_obj_create(nullptr);
    for (lv_obj_t* layer : {disp->top_layer, disp->sys_layer}) {
        lv_obj_remove_style_all(layer);
        lv_obj_clear_flag(layer, LV_OBJ_FLAG_CLICKABLE);
        lv_obj_set_scrollbar_mode(layer, LV_SCROLLBAR_MODE_OFF);
    }
    lv_obj_invalidate(disp->act_scr);

    gfx::g_default = prev_default != nullptr ? prev_default : disp;
    // Draw everything at the first handler call.
    lv_timer_ready(disp->refr_timer);
    return disp;
}

void lv_disp_drv_update(lv_disp_t* disp, lv_disp_drv_t* new_drv) {
    if (disp == nullptr || new_drv == nullptr) return;
    disp->driver = new_drv;
    if (new_drv->draw_ctx == nullptr) new_drv->draw_ctx = &disp->own_draw_ctx;
    if (gfx::full_refresh_refused(new_drv)) {
        LV_LOG_WARN("full_refresh requires at least screen sized draw buffer(s)");
    }

    const lv_coord_t w = lv_disp_get_hor_res(disp);
    const lv_coord_t h = lv_disp_get_ver_res(disp);
    for (lv_obj_t* scr : disp->screens) {
        lv_area_set(&scr->coords, 0, 0, (lv_coord_t)(w - 1), (lv_coord_t)(h - 1));
        scr->on_event(gfx::ObjEvent::SizeChanged);
    }
    // Areas of the old size may lie outside the new one: start over with the whole screen.
    _lv_inv_area(disp, nullptr);
    lv_area_t full{0, 0, (lv_coord_t)(w - 1), (lv_coord_t)(h - 1)};
    _lv_inv_area(disp, &full);
    if (new_drv->drv_update_cb != nullptr) new_drv->drv_update_cb(new_drv);
}

void lv_disp_set_rotation(lv_disp_t* disp, lv_disp_rot_t rotation) {
    if (disp == nullptr) disp = lv_disp_get_default();
    if (disp == nullptr) return;
    disp->driver->rotated = rotation;
    lv_disp_drv_update(disp, disp->driver);
}

void lv_disp_remove(lv_disp_t* disp) {
    if (disp == nullptr) return;
    auto it = std::find(gfx::g_displays.begin(), gfx::g_displays.end(), disp);
    if (it == gfx::g_displays.end()) return;
    const bool was_default = gfx::g_default == disp;

    while (!disp->screens.empty()) gfx::obj_delete_screen_silently(disp->screens.front());
    disp->act_scr = nullptr;
    gfx::g_displays.erase(it);
    if (disp->refr_timer != nullptr) lv_timer_del(disp->refr_timer);
    if (disp->driver != nullptr && disp->driver->draw_ctx == &disp->own_draw_ctx) {
        disp->driver->draw_ctx = nullptr;
    }
    delete disp;
    if (was_default) gfx::g_default = gfx::g_displays.empty() ? nullptr : gfx::g_displays.front();
}

void lv_disp_set_default(lv_disp_t* disp) {
    gfx::g_default = disp;
}
lv_disp_t* lv_disp_get_default(void) {
    return gfx::g_default;
}

lv_coord_t lv_disp_get_hor_res(lv_disp_t* disp) {
    if (disp == nullptr) disp = lv_disp_get_default();
    if (disp == nullptr) return 0;
    const lv_disp_drv_t* d = disp->driver;
    return (d->rotated == LV_DISP_ROT_90 || d->rotated == LV_DISP_ROT_270) ? d->ver_res : d->hor_res;
}

lv_coord_t lv_disp_get_ver_res(lv_disp_t* disp) {
    if (disp == nullptr) disp = lv_disp_get_default();
    if (disp == nullptr) return 0;
    const lv_disp_drv_t* d = disp->driver;
    return (d->rotated == LV_DISP_ROT_90 || d->rotated == LV_DISP_ROT_270) ? d->hor_res : d->ver_res;
}

lv_coord_t lv_disp_get_dpi(const lv_disp_t* disp) {
    if (disp == nullptr) disp = lv_disp_get_default();
    if (disp == nullptr) return LV_DPI_DEF;
    return (lv_coord_t)disp->driver->dpi;
}

lv_disp_rot_t lv_disp_get_rotation(lv_disp_t* disp) {
    if (disp == nullptr) disp = lv_disp_get_default();
    if (disp == nullptr) return LV_DISP_ROT_NONE;
    return (lv_disp_rot_t)disp->driver->rotated;
}

lv_disp_drv_t* gfx_disp_get_drv(lv_disp_t* disp) {
    if (disp == nullptr) disp = lv_disp_get_default();
    return disp != nullptr ? disp->driver : nullptr;
}

lv_coord_t lv_disp_dpx(const lv_disp_t* disp, lv_coord_t n) {
    if (n == 0) return 0;
    const int32_t dpi = lv_disp_get_dpi(disp);
    return (lv_coord_t)std::max<int32_t>(1, (dpi * n + 80) / 160);
}

void lv_disp_flush_ready(lv_disp_drv_t* disp_drv) {
    disp_drv->draw_buf->flushing = 0;
    disp_drv->draw_buf->flushing_last = 0;
}

bool lv_disp_flush_is_last(lv_disp_drv_t* disp_drv) {
    return disp_drv->draw_buf->flushing_last != 0;
}

lv_timer_t* _lv_disp_get_refr_timer(lv_disp_t* disp) {
    return disp != nullptr ? disp->refr_timer : nullptr;
}

} // extern "C"
