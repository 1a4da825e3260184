// Lazy layout: setters store style values and mark the layout dirty; lv_obj_update_layout (run by
// the refresh timer) recomputes sizes and positions until nothing changes any more.
#include <algorithm>

#include "core/disp_internal.h"
#include "core/obj_internal.h"
#include "lv_obj_pos.h"

namespace gfx {

namespace {

// A layout pass that keeps changing means a size depends on itself; stop rather than spin.
constexpr int kMaxLayoutPasses = 1000;

bool g_layout_running = false;

lv_coord_t border_w(const lv_obj_t* obj) {
    return style_coord(obj, LV_PART_MAIN, Prop::BorderWidth);
}

// Content-sized width: the object's own content or the right-most child, whichever is larger,
// plus padding and border on both sides.
lv_coord_t content_based_width(lv_obj_t* obj) {
    const lv_coord_t bw = border_w(obj);
    const int32_t pad_left = style_coord(obj, LV_PART_MAIN, Prop::PadLeft) + bw;
    const int32_t pad_right = style_coord(obj, LV_PART_MAIN, Prop::PadRight) + bw;
    const int32_t self_w = lv_obj_get_self_width(obj) + pad_left + pad_right;

    int32_t extent = INT32_MIN;
    for (lv_obj_t* child : obj->children) {
        if (lv_obj_has_flag_any(child, LV_OBJ_FLAG_HIDDEN | LV_OBJ_FLAG_FLOATING)) continue;
        const int32_t align = obj_get_style(child, LV_PART_MAIN, Prop::Align).num;
        switch (align) {
        case LV_ALIGN_DEFAULT:
        case LV_ALIGN_TOP_LEFT:
        case LV_ALIGN_BOTTOM_LEFT:
        case LV_ALIGN_LEFT_MID:
            extent = std::max(extent, child->coords.x2 - obj->coords.x1 + 1 + pad_right);
            break;
        default:
            // Anchored elsewhere: only the child's width counts. LVGL 8.3 takes it only when the
            // child's vertical offset is 0 (not the horizontal one); layouts must come out the same.
            if (obj_get_style(child, LV_PART_MAIN, Prop::Y).num == 0) {
                extent = std::max(extent, lv_area_get_width(&child->coords) + pad_left + pad_right);
            }
            break;
        }
    }
    return (lv_coord_t)std::max(extent, self_w);
}

lv_coord_t content_based_height(lv_obj_t* obj) {
    const lv_coord_t bw = border_w(obj);
    const int32_t pad_top = style_coord(obj, LV_PART_MAIN, Prop::PadTop) + bw;
    const int32_t pad_bottom = style_coord(obj, LV_PART_MAIN, Prop::PadBottom) + bw;
    const int32_t self_h = lv_obj_get_self_height(obj) + pad_top + pad_bottom;

    int32_t extent = INT32_MIN;
    for (lv_obj_t* child : obj->children) {
        if (lv_obj_has_flag_any(child, LV_OBJ_FLAG_HIDDEN | LV_OBJ_FLAG_FLOATING)) continue;
        const int32_t align = obj_get_style(child, LV_PART_MAIN, Prop::Align).num;
        switch (align) {
        case LV_ALIGN_DEFAULT:
        case LV_ALIGN_TOP_LEFT:
        case LV_ALIGN_TOP_MID:
        case LV_ALIGN_TOP_RIGHT:
            extent = std::max(extent, child->coords.y2 - obj->coords.y1 + 1 + pad_bottom);
            break;
        default:
            if (obj_get_style(child, LV_PART_MAIN, Prop::Y).num == 0) {
                extent = std::max(extent, lv_area_get_height(&child->coords) + pad_top + pad_bottom);
            }
            break;
        }
    }
    return (lv_coord_t)std::max(extent, self_h);
}

// Resolves a width or height style to pixels.
int32_t resolve_size(lv_obj_t* obj, Prop prop) {
    const bool is_w = prop == Prop::Width;
    const int32_t v = obj_get_style(obj, LV_PART_MAIN, prop).num;
    if (v == LV_SIZE_CONTENT) return is_w ? content_based_width(obj) : content_based_height(obj);
    if (coord_is_pct(v)) {
        lv_obj_t* parent = obj->parent;
        // A percentage of a content-sized parent would depend on itself: keep just the frame.
        if (obj_get_style(parent, LV_PART_MAIN, prop).num == LV_SIZE_CONTENT) {
            const int32_t bw = border_w(obj);
            return is_w ? style_coord(obj, 0, Prop::PadLeft) + style_coord(obj, 0, Prop::PadRight) + 2 * bw
                        : style_coord(obj, 0, Prop::PadTop) + style_coord(obj, 0, Prop::PadBottom) + 2 * bw;
        }
        const int32_t pc = is_w ? lv_obj_get_content_width(parent) : lv_obj_get_content_height(parent);
        return coord_pct(v) * pc / 100;
    }
    return v;
}

bool is_inside(const lv_area_t& a, const lv_area_t& holder) {
    return a.x1 >= holder.x1 && a.y1 >= holder.y1 && a.x2 <= holder.x2 && a.y2 <= holder.y2;
}

void refresh_size(lv_obj_t* obj) {
    lv_obj_t* parent = obj->parent;
    if (parent == nullptr) return; // screens keep the display's size

    const int32_t w = resolve_size(obj, Prop::Width);
    const int32_t h = resolve_size(obj, Prop::Height);
    if (lv_obj_get_width(obj) == w && lv_obj_get_height(obj) == h) return;

    lv_obj_invalidate(obj);
    lv_area_t parent_content;
    lv_obj_get_content_coords(parent, &parent_content);
    const bool was_inside = is_inside(obj->coords, parent_content);
    if (!was_inside) obj_scrollbar_invalidate(parent);

    obj->coords.x2 = (lv_coord_t)(obj->coords.x1 + w - 1);
    obj->coords.y2 = (lv_coord_t)(obj->coords.y1 + h - 1);

    obj->on_event(ObjEvent::SizeChanged);
    parent->on_event(ObjEvent::ChildChanged);
    lv_obj_invalidate(obj);

    if (was_inside || is_inside(obj->coords, parent_content)) obj_scrollbar_invalidate(parent);
    obj_refresh_ext_draw(obj);
}

// Moves the object so that its top-left corner is at (x, y) relative to the parent's content
// origin.
void move_to(lv_obj_t* obj, int32_t x, int32_t y) {
    lv_obj_t* parent = obj->parent;
    if (parent != nullptr) {
        const int32_t bw = border_w(parent);
        x += style_coord(parent, LV_PART_MAIN, Prop::PadLeft) + parent->coords.x1 + bw;
        y += style_coord(parent, LV_PART_MAIN, Prop::PadTop) + parent->coords.y1 + bw;
    }
    const int32_t dx = x - obj->coords.x1;
    const int32_t dy = y - obj->coords.y1;
    if (dx == 0 && dy == 0) return;

    lv_obj_invalidate(obj);
    lv_area_t parent_content{};
    bool was_inside = false;
    if (parent != nullptr) {
        lv_obj_get_content_coords(parent, &parent_content);
        was_inside = is_inside(obj->coords, parent_content);
        if (!was_inside) obj_scrollbar_invalidate(parent);
    }

    obj_move_children_by(obj, (lv_coord_t)dx, (lv_coord_t)dy);

    if (parent != nullptr) parent->on_event(ObjEvent::ChildChanged);
    lv_obj_invalidate(obj);
    if (parent != nullptr && (was_inside || is_inside(obj->coords, parent_content))) {
        obj_scrollbar_invalidate(parent);
    }
}

void refresh_pos(lv_obj_t* obj) {
    int32_t x = obj_get_style(obj, LV_PART_MAIN, Prop::X).num;
    int32_t y = obj_get_style(obj, LV_PART_MAIN, Prop::Y).num;
    lv_obj_t* parent = obj->parent;
    if (parent == nullptr) {
        move_to(obj, x, y);
        return;
    }
    const int32_t pw = lv_obj_get_content_width(parent);
    const int32_t ph = lv_obj_get_content_height(parent);
    if (coord_is_pct(x)) x = pw * coord_pct(x) / 100;
    if (coord_is_pct(y)) y = ph * coord_pct(y) / 100;

    const int32_t w = lv_obj_get_width(obj);
    const int32_t h = lv_obj_get_height(obj);
    // The halves are truncated separately, as the anchors have always been computed.
    switch (obj_get_style(obj, LV_PART_MAIN, Prop::Align).num) {
    case LV_ALIGN_TOP_MID:
        x += pw / 2 - w / 2;
        break;
    case LV_ALIGN_TOP_RIGHT:
        x += pw - w;
        break;
    case LV_ALIGN_LEFT_MID:
        y += ph / 2 - h / 2;
        break;
    case LV_ALIGN_BOTTOM_LEFT:
        y += ph - h;
        break;
    case LV_ALIGN_BOTTOM_MID:
        x += pw / 2 - w / 2;
        y += ph - h;
        break;
    case LV_ALIGN_BOTTOM_RIGHT:
        x += pw - w;
        y += ph - h;
        break;
    case LV_ALIGN_RIGHT_MID:
        x += pw - w;
        y += ph / 2 - h / 2;
        break;
    case LV_ALIGN_CENTER:
        x += pw / 2 - w / 2;
        y += ph / 2 - h / 2;
        break;
    default:
        break; // DEFAULT, TOP_LEFT and the "outside" anchors: plain offsets
    }
    move_to(obj, x, y);
}

// Children first, then the object itself.
void layout_pass(lv_obj_t* obj) {
    // Children may be marked dirty (and, in principle, reordered) while we walk.
    for (size_t i = 0; i < obj->children.size(); i++) layout_pass(obj->children[i]);
    if (!obj->layout_dirty) return;
    obj->layout_dirty = false;
    refresh_size(obj);
    refresh_pos(obj);
}

// Sets a coordinate style only if the stored value differs (no needless redraw).
void set_coord_style(lv_obj_t* obj, Prop prop, lv_coord_t v) {
    StyleValue cur;
    if (obj_get_local_style(obj, prop, 0, &cur) && cur.num == v) return;
    obj_set_local_style(obj, prop, style_num(v), 0);
}

} // namespace

void obj_mark_layout_dirty(lv_obj_t* obj) {
    if (obj == nullptr) return;
    obj->layout_dirty = true;
    lv_obj_t* scr = lv_obj_get_screen(obj);
    scr->scr_layout_dirty = true;
    if (scr->disp != nullptr && scr->disp->refr_timer != nullptr) lv_timer_resume(scr->disp->refr_timer);
}

void obj_move_children_by(lv_obj_t* obj, lv_coord_t dx, lv_coord_t dy) {
    obj->coords.x1 = (lv_coord_t)(obj->coords.x1 + dx);
    obj->coords.x2 = (lv_coord_t)(obj->coords.x2 + dx);
    obj->coords.y1 = (lv_coord_t)(obj->coords.y1 + dy);
    obj->coords.y2 = (lv_coord_t)(obj->coords.y2 + dy);
    for (lv_obj_t* c : obj->children) obj_move_children_by(c, dx, dy);
}

} // namespace gfx

using gfx::Prop;

extern "C" {

void lv_obj_set_x(lv_obj_t* obj, lv_coord_t x) {
    if (obj != nullptr) gfx::set_coord_style(obj, Prop::X, x);
}
void lv_obj_set_y(lv_obj_t* obj, lv_coord_t y) {
    if (obj != nullptr) gfx::set_coord_style(obj, Prop::Y, y);
}
void lv_obj_set_pos(lv_obj_t* obj, lv_coord_t x, lv_coord_t y) {
    lv_obj_set_x(obj, x);
    lv_obj_set_y(obj, y);
}
void lv_obj_set_width(lv_obj_t* obj, lv_coord_t w) {
    if (obj != nullptr) gfx::set_coord_style(obj, Prop::Width, w);
}
void lv_obj_set_height(lv_obj_t* obj, lv_coord_t h) {
    if (obj != nullptr) gfx::set_coord_style(obj, Prop::Height, h);
}
void lv_obj_set_size(lv_obj_t* obj, lv_coord_t w, lv_coord_t h) {
    lv_obj_set_width(obj, w);
    lv_obj_set_height(obj, h);
}

void lv_obj_set_content_width(lv_obj_t* obj, lv_coord_t w) {
    if (obj == nullptr) return;
    const lv_coord_t pads =
        (lv_coord_t)(lv_obj_get_style_pad_left(obj, 0) + lv_obj_get_style_pad_right(obj, 0) +
                     2 * lv_obj_get_style_border_width(obj, 0));
    lv_obj_set_width(obj, (lv_coord_t)(w + pads));
}

void lv_obj_set_content_height(lv_obj_t* obj, lv_coord_t h) {
    if (obj == nullptr) return;
    const lv_coord_t pads =
        (lv_coord_t)(lv_obj_get_style_pad_top(obj, 0) + lv_obj_get_style_pad_bottom(obj, 0) +
                     2 * lv_obj_get_style_border_width(obj, 0));
    lv_obj_set_height(obj, (lv_coord_t)(h + pads));
}

void lv_obj_set_align(lv_obj_t* obj, lv_align_t align) {
    lv_obj_set_style_align(obj, align, 0);
}

void lv_obj_align(lv_obj_t* obj, lv_align_t align, lv_coord_t x_ofs, lv_coord_t y_ofs) {
    lv_obj_set_style_align(obj, align, 0);
    lv_obj_set_pos(obj, x_ofs, y_ofs);
}

void lv_obj_center(lv_obj_t* obj) {
    lv_obj_align(obj, LV_ALIGN_CENTER, 0, 0);
}

void lv_obj_update_layout(const lv_obj_t* obj) {
    if (obj == nullptr || gfx::g_layout_running) return;
    gfx::g_layout_running = true;
    lv_obj_t* scr = lv_obj_get_screen(obj);
    int passes = 0;
    while (scr->scr_layout_dirty) {
        if (++passes > gfx::kMaxLayoutPasses) {
            LV_LOG_ERROR("layout does not settle, giving up");
            scr->scr_layout_dirty = false;
            break;
        }
        scr->scr_layout_dirty = false;
        gfx::layout_pass(scr);
    }
    gfx::g_layout_running = false;
}

void lv_obj_mark_layout_as_dirty(lv_obj_t* obj) {
    gfx::obj_mark_layout_dirty(obj);
}

bool lv_obj_refresh_self_size(lv_obj_t* obj) {
    if (obj == nullptr) return false;
    const int32_t w = gfx::obj_get_style(obj, LV_PART_MAIN, Prop::Width).num;
    const int32_t h = gfx::obj_get_style(obj, LV_PART_MAIN, Prop::Height).num;
    if (w != LV_SIZE_CONTENT && h != LV_SIZE_CONTENT) return false;
    gfx::obj_mark_layout_dirty(obj);
    return true;
}

void lv_obj_get_coords(const lv_obj_t* obj, lv_area_t* coords) {
    *coords = obj->coords;
}

lv_coord_t lv_obj_get_x(const lv_obj_t* obj) {
    const lv_obj_t* p = obj->parent;
    if (p == nullptr) return obj->coords.x1;
    return (lv_coord_t)(obj->coords.x1 - p->coords.x1 - lv_obj_get_style_pad_left(p, 0) -
                        lv_obj_get_style_border_width(p, 0));
}

lv_coord_t lv_obj_get_y(const lv_obj_t* obj) {
    const lv_obj_t* p = obj->parent;
    if (p == nullptr) return obj->coords.y1;
    return (lv_coord_t)(obj->coords.y1 - p->coords.y1 - lv_obj_get_style_pad_top(p, 0) -
                        lv_obj_get_style_border_width(p, 0));
}

lv_coord_t lv_obj_get_x2(const lv_obj_t* obj) {
    return (lv_coord_t)(lv_obj_get_x(obj) + lv_obj_get_width(obj));
}
lv_coord_t lv_obj_get_y2(const lv_obj_t* obj) {
    return (lv_coord_t)(lv_obj_get_y(obj) + lv_obj_get_height(obj));
}

lv_coord_t lv_obj_get_x_aligned(const lv_obj_t* obj) {
    return gfx::style_coord(obj, LV_PART_MAIN, Prop::X);
}
lv_coord_t lv_obj_get_y_aligned(const lv_obj_t* obj) {
    return gfx::style_coord(obj, LV_PART_MAIN, Prop::Y);
}

lv_coord_t lv_obj_get_width(const lv_obj_t* obj) {
    return lv_area_get_width(&obj->coords);
}
lv_coord_t lv_obj_get_height(const lv_obj_t* obj) {
    return lv_area_get_height(&obj->coords);
}

lv_coord_t lv_obj_get_content_width(const lv_obj_t* obj) {
    return (lv_coord_t)(lv_obj_get_width(obj) - lv_obj_get_style_pad_left(obj, 0) -
                        lv_obj_get_style_pad_right(obj, 0) - 2 * lv_obj_get_style_border_width(obj, 0));
}

lv_coord_t lv_obj_get_content_height(const lv_obj_t* obj) {
    return (lv_coord_t)(lv_obj_get_height(obj) - lv_obj_get_style_pad_top(obj, 0) -
                        lv_obj_get_style_pad_bottom(obj, 0) - 2 * lv_obj_get_style_border_width(obj, 0));
}

void lv_obj_get_content_coords(const lv_obj_t* obj, lv_area_t* area) {
    const lv_coord_t bw = lv_obj_get_style_border_width(obj, 0);
    *area = obj->coords;
    area->x1 = (lv_coord_t)(area->x1 + lv_obj_get_style_pad_left(obj, 0) + bw);
    area->x2 = (lv_coord_t)(area->x2 - lv_obj_get_style_pad_right(obj, 0) - bw);
    area->y1 = (lv_coord_t)(area->y1 + lv_obj_get_style_pad_top(obj, 0) + bw);
    area->y2 = (lv_coord_t)(area->y2 - lv_obj_get_style_pad_bottom(obj, 0) - bw);
}

lv_coord_t lv_obj_get_self_width(const lv_obj_t* obj) {
    return const_cast<lv_obj_t*>(obj)->self_size().x;
}
lv_coord_t lv_obj_get_self_height(const lv_obj_t* obj) {
    return const_cast<lv_obj_t*>(obj)->self_size().y;
}

} // extern "C"
