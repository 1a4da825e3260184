// Screens and layers of a display: the active screen, loading another one, the top and system
// layers and the display background.
#include "core/disp_internal.h"
#include "core/obj_internal.h"
#include "lv_anim.h"
#include "lv_disp.h"
#include "lv_log.h"
#include "lv_refr.h"

namespace {

lv_disp_t* resolve(lv_disp_t* disp) {
    return disp != nullptr ? disp : lv_disp_get_default();
}

void invalidate_all(lv_disp_t* disp) {
    lv_area_t a{0, 0, (lv_coord_t)(lv_disp_get_hor_res(disp) - 1),
                (lv_coord_t)(lv_disp_get_ver_res(disp) - 1)};
    _lv_inv_area(disp, &a);
}

} // namespace

extern "C" {

lv_obj_t* lv_disp_get_scr_act(lv_disp_t* disp) {
    disp = resolve(disp);
    if (disp == nullptr) {
        LV_LOG_WARN("no display registered to get its active screen");
        return nullptr;
    }
    return disp->act_scr;
}

lv_obj_t* lv_disp_get_scr_prev(lv_disp_t* disp) {
    disp = resolve(disp);
    if (disp == nullptr) {
        LV_LOG_WARN("no display registered to get its previous screen");
        return nullptr;
    }
    return disp->prev_scr;
}

void lv_disp_load_scr(lv_obj_t* scr) {
    if (scr == nullptr) return;
    lv_disp_t* d = lv_obj_get_screen(scr)->disp;
    if (d == nullptr) return;
    lv_obj_t* old = d->act_scr;
    if (old == scr) return;

    d->prev_scr = nullptr;
    // Loading puts both screens back in their normal place, fully opaque.
    lv_anim_del(scr, nullptr);
    lv_obj_set_pos(scr, 0, 0);
    gfx::obj_remove_local_style(scr, gfx::Prop::Opa, 0);
    if (old != nullptr) {
        lv_anim_del(old, nullptr);
        lv_obj_set_pos(old, 0, 0);
        gfx::obj_remove_local_style(old, gfx::Prop::Opa, 0);
    }
    d->act_scr = scr;
    lv_obj_invalidate(scr);
}

lv_obj_t* lv_disp_get_layer_top(lv_disp_t* disp) {
    disp = resolve(disp);
    if (disp == nullptr) {
        LV_LOG_WARN("lv_layer_top: no display registered to get its top layer");
        return nullptr;
    }
    return disp->top_layer;
}

lv_obj_t* lv_disp_get_layer_sys(lv_disp_t* disp) {
    disp = resolve(disp);
    if (disp == nullptr) {
        LV_LOG_WARN("lv_layer_sys: no display registered to get its sys. layer");
        return nullptr;
    }
    return disp->sys_layer;
}

void lv_disp_set_bg_color(lv_disp_t* disp, lv_color_t color) {
    disp = resolve(disp);
    if (disp == nullptr) return;
    disp->bg_color = color;
    invalidate_all(disp);
}

void lv_disp_set_bg_opa(lv_disp_t* disp, lv_opa_t opa) {
    disp = resolve(disp);
    if (disp == nullptr) return;
    disp->bg_opa = opa;
    invalidate_all(disp);
}

} // extern "C"
