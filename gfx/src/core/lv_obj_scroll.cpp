// Scroll extents and scrollbars. There is no scrolling input, so scroll offsets are always 0;
// what remains is deciding where a scrollbar is drawn when content overflows.
#include <algorithm>

#include "core/obj_internal.h"
#include "lv_obj_scroll.h"

namespace gfx {

namespace {

constexpr lv_area_t kEmpty{0, 0, -1, -1};

// How far the content reaches beyond the inner right edge (negative: room left).
int32_t scroll_right(const lv_obj_t* obj) {
    const int32_t bw = style_coord(obj, LV_PART_MAIN, Prop::BorderWidth);
    const int32_t pad_right = style_coord(obj, LV_PART_MAIN, Prop::PadRight);
    int32_t res = INT32_MIN;
    for (const lv_obj_t* c : obj->children) {
        if (lv_obj_has_flag_any(c, LV_OBJ_FLAG_HIDDEN | LV_OBJ_FLAG_FLOATING)) continue;
        res = std::max(res, (int32_t)c->coords.x2);
    }
    if (res != INT32_MIN) res -= obj->coords.x2 - pad_right - bw;
    const int32_t self = lv_obj_get_self_width(obj) - lv_obj_get_content_width(obj);
    return std::max(res, self);
}

int32_t scroll_bottom(const lv_obj_t* obj) {
    const int32_t bw = style_coord(obj, LV_PART_MAIN, Prop::BorderWidth);
    const int32_t pad_bottom = style_coord(obj, LV_PART_MAIN, Prop::PadBottom);
    int32_t res = INT32_MIN;
    for (const lv_obj_t* c : obj->children) {
        if (lv_obj_has_flag_any(c, LV_OBJ_FLAG_HIDDEN | LV_OBJ_FLAG_FLOATING)) continue;
        res = std::max(res, (int32_t)c->coords.y2);
    }
    if (res != INT32_MIN) res -= obj->coords.y2 - pad_bottom - bw;
    const int32_t self = lv_obj_get_self_height(obj) - lv_obj_get_content_height(obj);
    return std::max(res, self);
}

// One bar along an axis. `start`/`end` are the object's edges on that axis, `size` its length,
// `overflow` how far the content reaches past the end (the start side never scrolls here).
void bar_span(int32_t start, int32_t end, int32_t size, int32_t overflow, int32_t end_space,
              int32_t other_bar, int32_t* lo, int32_t* hi) {
    const int32_t min_len = LV_DPX(10);
    const int32_t content = size + std::max<int32_t>(overflow, 0);
    const int32_t track = size - 2 * end_space - other_bar;
    int32_t len = content > 0 ? track * size / content : track;
    len = std::max(len, min_len);
    const int32_t rem = track - len;
    const int32_t scrollable = content - size;
    if (scrollable <= 0) {
        *lo = start + end_space;
        *hi = end - end_space - other_bar - 1;
        return;
    }
    // Offset 0: the bar sits where the start of the content is.
    const int32_t pos = rem - rem * overflow / scrollable;
    *lo = start + pos + end_space;
    *hi = *lo + len - 1;
    if (*lo < start + end_space) {
        *lo = start + end_space;
        if (*lo + min_len > *hi) *hi = *lo + min_len;
    }
    if (*hi > end - other_bar - end_space) {
        *hi = end - other_bar - end_space;
        if (*hi - min_len < *lo) *lo = *hi - min_len;
    }
}

} // namespace

void obj_scrollbar_areas(const lv_obj_t* obj, lv_area_t* hor, lv_area_t* ver) {
    *hor = kEmpty;
    *ver = kEmpty;
    if (!lv_obj_has_flag(obj, LV_OBJ_FLAG_SCROLLABLE)) return;
    const lv_scrollbar_mode_t mode = obj->scrollbar_mode;
    if (mode == LV_SCROLLBAR_MODE_OFF || mode == LV_SCROLLBAR_MODE_ACTIVE) return;

    // Without thickness both bars are empty; this also spares measuring labels' text here.
    const int32_t thickness = style_coord(obj, LV_PART_SCROLLBAR, Prop::Width);
    if (thickness <= 0) return;

    const int32_t sb = scroll_bottom(obj);
    const int32_t sr = scroll_right(obj);
    const bool on = mode == LV_SCROLLBAR_MODE_ON;
    const bool ver_draw = (obj->scroll_dir & LV_DIR_VER) && (on || sb > 0);
    const bool hor_draw = (obj->scroll_dir & LV_DIR_HOR) && (on || sr > 0);
    if (!ver_draw && !hor_draw) return;

    const int32_t ver_space = ver_draw ? thickness : 0;
    const int32_t hor_space = hor_draw ? thickness : 0;
    const lv_area_t& c = obj->coords;

    if (ver_draw) {
        const int32_t side = style_coord(obj, LV_PART_SCROLLBAR, Prop::PadRight);
        const int32_t end_space = style_coord(obj, LV_PART_SCROLLBAR, Prop::PadTop);
        int32_t lo = 0;
        int32_t hi = 0;
        bar_span(c.y1, c.y2, lv_area_get_height(&c), sb, end_space, hor_space, &lo, &hi);
        ver->x2 = (lv_coord_t)(c.x2 - side);
        ver->x1 = (lv_coord_t)(ver->x2 - thickness + 1);
        ver->y1 = (lv_coord_t)lo;
        ver->y2 = (lv_coord_t)hi;
    }
    if (hor_draw) {
        const int32_t side = style_coord(obj, LV_PART_SCROLLBAR, Prop::PadBottom);
        const int32_t end_space = style_coord(obj, LV_PART_SCROLLBAR, Prop::PadLeft);
        int32_t lo = 0;
        int32_t hi = 0;
        bar_span(c.x1, c.x2, lv_area_get_width(&c), sr, end_space, ver_space, &lo, &hi);
        hor->y2 = (lv_coord_t)(c.y2 - side);
        hor->y1 = (lv_coord_t)(hor->y2 - thickness + 1);
        hor->x1 = (lv_coord_t)lo;
        hor->x2 = (lv_coord_t)hi;
    }
}

void obj_scrollbar_invalidate(lv_obj_t* obj) {
    lv_area_t hor;
    lv_area_t ver;
    obj_scrollbar_areas(obj, &hor, &ver);
    if (hor.x2 >= hor.x1 && hor.y2 >= hor.y1) lv_obj_invalidate_area(obj, &hor);
    if (ver.x2 >= ver.x1 && ver.y2 >= ver.y1) lv_obj_invalidate_area(obj, &ver);
}

} // namespace gfx

extern "C" {

void lv_obj_set_scroll_dir(lv_obj_t* obj, lv_dir_t dir) {
    if (obj == nullptr || obj->scroll_dir == dir) return;
    gfx::obj_scrollbar_invalidate(obj);
    obj->scroll_dir = dir;
    gfx::obj_scrollbar_invalidate(obj);
}

lv_dir_t lv_obj_get_scroll_dir(const lv_obj_t* obj) {
    return obj->scroll_dir;
}

void lv_obj_set_scrollbar_mode(lv_obj_t* obj, lv_scrollbar_mode_t mode) {
    if (obj == nullptr || obj->scrollbar_mode == mode) return;
    obj->scrollbar_mode = mode;
    lv_obj_invalidate(obj);
}

} // extern "C"
