// The refresher: collects dirty areas, joins them, renders them into the draw buffer (in strips,
// or the whole screen in full-refresh mode) and hands the pixels to the driver's flush_cb.
#include <algorithm>

#include "core/disp_internal.h"
#include "core/obj_internal.h"
#include "draw/gfx_blend.h"
#include "lv_anim.h"
#include "lv_log.h"
#include "lv_refr.h"

namespace gfx {

namespace {

lv_area_t screen_area(lv_disp_t* disp) {
    return lv_area_t{0, 0, (lv_coord_t)(lv_disp_get_hor_res(disp) - 1),
                     (lv_coord_t)(lv_disp_get_ver_res(disp) - 1)};
}

void wait_for_flush(lv_disp_drv_t* drv) {
    while (drv->draw_buf->flushing) {
        if (drv->wait_cb != nullptr) drv->wait_cb(drv);
    }
}

// Merges overlapping or touching areas when the merged box is strictly smaller than the two
// areas together. One pass in index order.
void join_areas(lv_disp_t* disp) {
    for (uint16_t i = 0; i < disp->inv_p; i++) {
        if (disp->inv_area_joined[i]) continue;
        for (uint16_t j = 0; j < disp->inv_p; j++) {
            if (disp->inv_area_joined[j] || i == j) continue;
            if (!_lv_area_is_on(&disp->inv_areas[i], &disp->inv_areas[j])) continue;
            lv_area_t joined;
            _lv_area_join(&joined, &disp->inv_areas[i], &disp->inv_areas[j]);
            if (lv_area_get_size(&joined) <
                lv_area_get_size(&disp->inv_areas[i]) + lv_area_get_size(&disp->inv_areas[j])) {
                disp->inv_areas[i] = joined;
                disp->inv_area_joined[j] = 1;
            }
        }
    }
}

// Hands one area, in panel coordinates, to the driver, shifted by the driver's offset.
void call_flush_cb(lv_disp_drv_t* drv, const lv_area_t& area, lv_color_t* px) {
    lv_area_t a = area;
    a.x1 = (lv_coord_t)(a.x1 + drv->offset_x);
    a.x2 = (lv_coord_t)(a.x2 + drv->offset_x);
    a.y1 = (lv_coord_t)(a.y1 + drv->offset_y);
    a.y2 = (lv_coord_t)(a.y2 + drv->offset_y);
    drv->flush_cb(drv, &a, px);
}

// Turns the strip upside down in place: pixel order reversed, area mirrored on the panel.
lv_area_t rotate_180(const lv_disp_drv_t* drv, const lv_area_t& area, lv_color_t* px) {
    std::reverse(px, px + lv_area_get_size(&area));
    return lv_area_t{(lv_coord_t)(drv->hor_res - 1 - area.x2), (lv_coord_t)(drv->ver_res - 1 - area.y2),
                     (lv_coord_t)(drv->hor_res - 1 - area.x1), (lv_coord_t)(drv->ver_res - 1 - area.y1)};
}

// Rotates a w x w block in place by a quarter turn. Every pixel moves once, in cycles of four
// around the centre, walked in tiles so the column-wise accesses stay in the cache.
// Clockwise (90): new(r, c) = old(c, w-1-r); counter-clockwise (270): new(r, c) = old(w-1-c, r).
void rotate_square(lv_color_t* px, int32_t w, bool clockwise) {
    constexpr int32_t kTile = 16;
    auto at = [px, w](int32_t r, int32_t c) -> lv_color_t& { return px[r * w + c]; };
    const int32_t half = w / 2;
    for (int32_t rt = 0; rt < half; rt += kTile) {
        const int32_t r_end = std::min(rt + kTile, half);
        for (int32_t ct = rt; ct < w - 1 - rt; ct += kTile) {
            for (int32_t r = rt; r < r_end; r++) {
                const int32_t c_end = std::min(ct + kTile, w - 1 - r);
                for (int32_t c = std::max(ct, r); c < c_end; c++) {
                    lv_color_t& a = at(r, c);
                    lv_color_t& b = at(c, w - 1 - r);
                    lv_color_t& d = at(w - 1 - r, w - 1 - c);
                    lv_color_t& e = at(w - 1 - c, r);
                    const lv_color_t t = a;
                    if (clockwise) {
                        a = b, b = d, d = e, e = t;
                    } else {
                        a = e, e = d, d = b, b = t;
                    }
                }
            }
        }
    }
}

// Rotates `rows` rows of `w` pixels into `out`, which becomes `w` rows of `rows` pixels.
void rotate_rows(const lv_color_t* src, int32_t w, int32_t rows, bool clockwise, lv_color_t* out) {
    for (int32_t r = 0; r < rows; r++) {
        const lv_color_t* row = src + r * w;
        if (clockwise) {
            // Source column c lands on output row w-1-c, at column r.
            for (int32_t c = 0; c < w; c++) out[(w - 1 - c) * rows + r] = row[c];
        } else {
            // Source column c lands on output row c, at column rows-1-r.
            for (int32_t c = 0; c < w; c++) out[c * rows + (rows - 1 - r)] = row[c];
        }
    }
}

// Where logical rows y1..y2 of the columns x1..x2 lie on the panel after a quarter turn.
lv_area_t quarter_turn_area(const lv_disp_drv_t* drv, lv_coord_t x1, lv_coord_t x2, int32_t y1, int32_t y2,
                            bool clockwise) {
    if (clockwise) {
        // Logical (x, y) is panel (y, ver_res-1-x).
        return lv_area_t{(lv_coord_t)y1, (lv_coord_t)(drv->ver_res - 1 - x2), (lv_coord_t)y2,
                         (lv_coord_t)(drv->ver_res - 1 - x1)};
    }
    // Logical (x, y) is panel (hor_res-1-y, x).
    return lv_area_t{(lv_coord_t)(drv->hor_res - 1 - y2), x1, (lv_coord_t)(drv->hor_res - 1 - y1), x2};
}

// A quarter-turned strip goes out in chunks, each one finished before the next: first a square of
// the strip's width rotated in place (if the strip is that tall), then the other rows a few at a
// time through a buffer of LV_DISP_ROT_MAX_BUF bytes.
void flush_quarter_turn(lv_disp_t* disp, const lv_area_t& strip, lv_color_t* px, bool last) {
    lv_disp_drv_t* drv = disp->driver;
    lv_disp_draw_buf_t* db = drv->draw_buf;
    const bool clockwise = drv->rotated == LV_DISP_ROT_90;
    const int32_t w = lv_area_get_width(&strip);
    const int32_t h = lv_area_get_height(&strip);
    const int32_t chunk_rows = std::max<int32_t>(1, (int32_t)(LV_DISP_ROT_MAX_BUF / sizeof(lv_color_t)) / w);
    const size_t chunk_px = (size_t)chunk_rows * (size_t)w;
    if (disp->rot_buf.size() < chunk_px) disp->rot_buf.resize(chunk_px);

    int32_t row = 0;
    while (row < h) {
        int32_t n;
        lv_color_t* out;
        if (row == 0 && h >= w) {
            n = w;
            rotate_square(px, w, clockwise);
            out = px;
        } else {
            n = std::min(chunk_rows, h - row);
            rotate_rows(px + (size_t)row * (size_t)w, w, n, clockwise, disp->rot_buf.data());
            out = disp->rot_buf.data();
        }
        const lv_area_t a =
            quarter_turn_area(drv, strip.x1, strip.x2, strip.y1 + row, strip.y1 + row + n - 1, clockwise);
        row += n;
        db->flushing = 1;
        db->flushing_last = (last && row == h) ? 1 : 0;
        call_flush_cb(drv, a, out);
        wait_for_flush(drv);
    }
}

// Hands the rendered buffer to the driver, turned to the panel's orientation when the driver asks
// for software rotation.
void flush(lv_disp_t* disp, lv_draw_ctx_t* ctx) {
    lv_disp_drv_t* drv = disp->driver;
    lv_disp_draw_buf_t* db = drv->draw_buf;
    const bool two_bufs = db->buf1 != nullptr && db->buf2 != nullptr;
    if (two_bufs) wait_for_flush(drv);

    const bool last = db->last_area && db->last_part;
    const bool rotate = drv->sw_rotate && drv->rotated != LV_DISP_ROT_NONE;
    if (rotate && drv->full_refresh) {
        // LVGL leaves the buffer marked busy here and hangs at the next refresh; we only skip it.
        LV_LOG_ERROR("cannot rotate a full refreshed display!");
        return;
    }

    lv_color_t* px = static_cast<lv_color_t*>(ctx->buf);
    if (drv->flush_cb == nullptr) {
        // Nothing would ever release the buffer.
    } else if (rotate && drv->rotated != LV_DISP_ROT_180) {
        flush_quarter_turn(disp, *ctx->buf_area, px, last);
    } else {
        db->flushing = 1;
        db->flushing_last = last ? 1 : 0;
        call_flush_cb(drv, rotate ? rotate_180(drv, *ctx->buf_area, px) : *ctx->buf_area, px);
    }
    if (two_bufs && (!drv->direct_mode || last)) {
        db->buf_act = db->buf_act == db->buf1 ? db->buf2 : db->buf1;
    }
}

// True if the screen's own background hides everything behind `area`.
bool screen_covers(const lv_obj_t* scr, const lv_area_t& area) {
    if (scr == nullptr || lv_obj_has_flag(scr, LV_OBJ_FLAG_HIDDEN)) return false;
    if (style_opa(scr, LV_PART_MAIN, Prop::BgOpa) < LV_OPA_MAX) return false;
    if (style_opa(scr, LV_PART_MAIN, Prop::Opa) < LV_OPA_MAX) return false;
    if (style_coord(scr, LV_PART_MAIN, Prop::Radius) != 0) return false;
    return _lv_area_is_in(&area, &scr->coords, 0);
}

// Draws everything visible in ctx->clip_area into the buffer, then flushes it.
void render_part(lv_disp_t* disp, lv_area_t buf_area, lv_area_t clip) {
    lv_disp_drv_t* drv = disp->driver;
    lv_disp_draw_buf_t* db = drv->draw_buf;
    if (db->buf1 != nullptr && db->buf2 == nullptr) wait_for_flush(drv);

    lv_draw_ctx_t* ctx = drv->draw_ctx;
    ctx->buf = db->buf_act;
    ctx->buf_area = &buf_area;
    ctx->clip_area = &clip;

    if (!screen_covers(disp->act_scr, clip)) {
        blend_fill(ctx, clip, disp->bg_color, disp->bg_opa);
    }
    if (disp->prev_scr != nullptr) obj_redraw(ctx, disp->prev_scr);
    if (disp->act_scr != nullptr) obj_redraw(ctx, disp->act_scr);
    if (disp->top_layer != nullptr) obj_redraw(ctx, disp->top_layer);
    if (disp->sys_layer != nullptr) obj_redraw(ctx, disp->sys_layer);

    flush(disp, ctx);
}

// Rows of `w` pixels that fit in the draw buffer, at most `h`, respecting the driver's rounder.
int32_t max_rows(lv_disp_t* disp, int32_t w, int32_t h) {
    lv_disp_drv_t* drv = disp->driver;
    int32_t rows = (int32_t)(drv->draw_buf->size / (uint32_t)w);
    if (rows > h) rows = h;
    if (drv->rounder_cb != nullptr) {
        while (rows > 0) {
            lv_area_t probe{0, 0, (lv_coord_t)(w - 1), (lv_coord_t)(rows - 1)};
            drv->rounder_cb(drv, &probe);
            if (lv_area_get_size(&probe) <= drv->draw_buf->size) break;
            rows--;
        }
    }
    return rows;
}

void render_area(lv_disp_t* disp, const lv_area_t& area) {
    lv_disp_drv_t* drv = disp->driver;
    lv_disp_draw_buf_t* db = drv->draw_buf;
    if (drv->full_refresh || drv->direct_mode) {
        const lv_area_t full = screen_area(disp);
        db->last_part = drv->full_refresh ? 1 : db->last_area;
        render_part(disp, full, drv->full_refresh ? full : area);
        return;
    }

    const int32_t w = lv_area_get_width(&area);
    const int32_t h = lv_area_get_height(&area);
    const int32_t rows = max_rows(disp, w, h);
    if (rows <= 0) {
        LV_LOG_ERROR("the draw buffer holds less than one row");
        return;
    }
    for (int32_t y = area.y1; y <= area.y2; y += rows) {
        lv_area_t strip{area.x1, (lv_coord_t)y, area.x2,
                        (lv_coord_t)std::min<int32_t>(y + rows - 1, area.y2)};
        if (strip.y2 == area.y2) db->last_part = 1;
        render_part(disp, strip, strip);
    }
}

void render_invalid_areas(lv_disp_t* disp) {
    if (disp->inv_p == 0) return;
    int32_t last = -1;
    for (int32_t i = disp->inv_p - 1; i >= 0; i--) {
        if (!disp->inv_area_joined[i]) {
            last = i;
            break;
        }
    }
    lv_disp_draw_buf_t* db = disp->driver->draw_buf;
    db->last_area = 0;
    db->last_part = 0;
    if (disp->driver->render_start_cb != nullptr) disp->driver->render_start_cb(disp->driver);
    disp->rendering = true;
    for (int32_t i = 0; i < disp->inv_p; i++) {
        if (disp->inv_area_joined[i]) continue;
        if (i == last) db->last_area = 1;
        db->last_part = 0;
        render_area(disp, disp->inv_areas[i]);
    }
    disp->rendering = false;
}

} // namespace

} // namespace gfx

extern "C" {

void _lv_inv_area(lv_disp_t* disp, const lv_area_t* area_p) {
    if (disp == nullptr) disp = lv_disp_get_default();
    if (disp == nullptr) return;
    if (disp->rendering) {
        LV_LOG_ERROR("detected modifying dirty areas in render");
        return;
    }
    if (area_p == nullptr) {
        disp->inv_p = 0;
        return;
    }
    const lv_area_t scr = gfx::screen_area(disp);
    lv_area_t a;
    if (!_lv_area_intersect(&a, area_p, &scr)) return;

    if (disp->driver->full_refresh) {
        disp->inv_areas[0] = scr;
        disp->inv_p = 1;
    } else {
        if (disp->driver->rounder_cb != nullptr) disp->driver->rounder_cb(disp->driver, &a);
        for (uint16_t i = 0; i < disp->inv_p; i++) {
            if (_lv_area_is_in(&a, &disp->inv_areas[i], 0)) return;
        }
        if (disp->inv_p >= GFX_INV_BUF_SIZE) {
            // Too many pieces: redraw the whole screen instead.
            disp->inv_p = 0;
            a = scr;
        }
        disp->inv_areas[disp->inv_p++] = a;
    }
    if (disp->refr_timer != nullptr) lv_timer_resume(disp->refr_timer);
}

void _lv_disp_refr_timer(lv_timer_t* timer) {
    lv_disp_t* disp = timer != nullptr ? static_cast<lv_disp_t*>(timer->user_data) : lv_disp_get_default();
    if (disp == nullptr) return;
    const uint32_t start = lv_tick_get();
    if (timer != nullptr) lv_timer_pause(timer);

    if (disp->act_scr == nullptr) {
        disp->inv_p = 0;
        LV_LOG_WARN("there is no active screen");
        return;
    }
    lv_obj_update_layout(disp->act_scr);
    if (disp->prev_scr != nullptr) lv_obj_update_layout(disp->prev_scr);
    if (disp->top_layer != nullptr) lv_obj_update_layout(disp->top_layer);
    if (disp->sys_layer != nullptr) lv_obj_update_layout(disp->sys_layer);

    gfx::join_areas(disp);
    gfx::render_invalid_areas(disp);

    if (disp->inv_p != 0) {
        uint32_t px = 0;
        for (uint16_t i = 0; i < disp->inv_p; i++) {
            if (!disp->inv_area_joined[i]) px += lv_area_get_size(&disp->inv_areas[i]);
        }
        for (uint8_t& j : disp->inv_area_joined) j = 0;
        disp->inv_p = 0;
        if (disp->driver->monitor_cb != nullptr)
            disp->driver->monitor_cb(disp->driver, lv_tick_elaps(start), px);
    }
}

void lv_refr_now(lv_disp_t* disp) {
    lv_anim_refr_now();
    if (disp != nullptr) {
        _lv_disp_refr_timer(disp->refr_timer);
        return;
    }
    // Copy: a refresh never adds or removes displays, but stay safe against it.
    const std::vector<lv_disp_t*> all = gfx::displays();
    for (lv_disp_t* d : all) _lv_disp_refr_timer(d->refr_timer);
}

} // extern "C"
