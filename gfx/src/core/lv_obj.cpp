// The object tree: creation, deletion, flags, states, tree access and invalidation.
#include <algorithm>

#include "core/disp_internal.h"
#include "core/obj_internal.h"
#include "lv_anim.h"
#include "lv_api_map.h"
#include "lv_log.h"
#include "lv_obj.h"
#include "lv_refr.h"

namespace gfx {

const ObjClass obj_class = {"lv_obj", nullptr};

namespace {

void remove_from(std::vector<lv_obj_t*>& list, lv_obj_t* obj) {
    auto it = std::find(list.begin(), list.end(), obj);
    if (it != list.end()) list.erase(it);
}

void unlink(lv_obj_t* obj) {
    if (obj->parent != nullptr) {
        remove_from(obj->parent->children, obj);
        return;
    }
    lv_disp_t* d = obj->disp;
    if (d == nullptr) return;
    remove_from(d->screens, obj);
    if (d->prev_scr == obj) d->prev_scr = nullptr;
    if (d->top_layer == obj) d->top_layer = nullptr;
    if (d->sys_layer == obj) d->sys_layer = nullptr;
}

// Deletes the subtree without notifying the parent (the caller does that once).
void del_core(lv_obj_t* obj) {
    while (!obj->children.empty()) del_core(obj->children.front());
    lv_anim_del(obj, nullptr);
    obj->local_styles.clear();
    obj->theme_styles.clear();
    unlink(obj);
    delete obj;
}

// Margin LVGL 8.3 adds around an invalidated area and around each ancestor it is cut to (room for
// transformed objects; it applies to every object).
constexpr lv_coord_t kInvMargin = 5;

lv_area_t grown(const lv_area_t& a, lv_coord_t by) {
    return {(lv_coord_t)(a.x1 - by), (lv_coord_t)(a.y1 - by), (lv_coord_t)(a.x2 + by),
            (lv_coord_t)(a.y2 + by)};
}

// The part of `area` that can be seen: inside the object and every ancestor (unless they let
// content overflow), on a screen or layer that is being shown.
bool area_is_visible(const lv_obj_t* obj, lv_area_t* area) {
    if (lv_obj_has_flag(obj, LV_OBJ_FLAG_HIDDEN)) return false;
    const lv_obj_t* scr = lv_obj_get_screen(obj);
    const lv_disp_t* d = scr->disp;
    if (d == nullptr) return false;
    if (scr != d->act_scr && scr != d->prev_scr && scr != d->top_layer && scr != d->sys_layer) return false;

    if (!lv_obj_has_flag(obj, LV_OBJ_FLAG_OVERFLOW_VISIBLE)) {
        lv_area_t ext = obj_ext_area(obj);
        if (!_lv_area_intersect(area, area, &ext)) return false;
    }
    *area = grown(*area, kInvMargin);
    for (const lv_obj_t* p = obj->parent; p != nullptr; p = p->parent) {
        if (lv_obj_has_flag(p, LV_OBJ_FLAG_HIDDEN)) return false;
        if (!lv_obj_has_flag(p, LV_OBJ_FLAG_OVERFLOW_VISIBLE)) {
            const lv_area_t holder = grown(p->coords, kInvMargin);
            if (!_lv_area_intersect(area, area, &holder)) return false;
        }
    }
    return true;
}

} // namespace

bool obj_link(lv_obj_t* obj, lv_obj_t* parent) {
    if (parent == nullptr) {
        lv_disp_t* d = lv_disp_get_default();
        if (d == nullptr) {
            LV_LOG_WARN("No display created yet. No place to assign the new screen");
            return false;
        }
        obj->disp = d;
        lv_area_set(&obj->coords, 0, 0, (lv_coord_t)(lv_disp_get_hor_res(d) - 1),
                    (lv_coord_t)(lv_disp_get_ver_res(d) - 1));
        d->screens.push_back(obj);
        return true;
    }
    obj->parent = parent;
    obj->disp = parent->disp;
    // A new child starts as an empty box at the parent's corner until the layout runs.
    lv_area_set(&obj->coords, parent->coords.x1, parent->coords.y1, (lv_coord_t)(parent->coords.x1 - 1),
                (lv_coord_t)(parent->coords.y1 - 1));
    parent->children.push_back(obj);
    return true;
}

void obj_finish_create(lv_obj_t* obj) {
    obj_mark_layout_dirty(obj);
    style_refresh_block(true);
    theme_apply(obj);
    obj->construct();
    style_refresh_block(false);
    obj_refresh_style(obj, LV_PART_ANY, Prop::Any);
    lv_obj_refresh_self_size(obj);
    if (obj->parent != nullptr) obj->parent->on_event(ObjEvent::ChildChanged);
}

bool obj_is_kind_of(const lv_obj_t* obj, const ObjClass& cls) {
    if (obj == nullptr) return false;
    for (const ObjClass* c = &obj->cls(); c != nullptr; c = c->base) {
        if (c == &cls) return true;
    }
    return false;
}

void obj_delete_screen_silently(lv_obj_t* scr) {
    lv_disp_t* d = scr->disp;
    if (d != nullptr && d->act_scr == scr) d->act_scr = nullptr;
    del_core(scr);
}

} // namespace gfx

using gfx::ObjEvent;

// ---- base class hooks ----

void _lv_obj_t::construct() {
    flags |= LV_OBJ_FLAG_CLICKABLE | LV_OBJ_FLAG_CLICK_FOCUSABLE | LV_OBJ_FLAG_SCROLLABLE |
             LV_OBJ_FLAG_SCROLL_ELASTIC | LV_OBJ_FLAG_SCROLL_MOMENTUM | LV_OBJ_FLAG_SCROLL_WITH_ARROW |
             LV_OBJ_FLAG_SNAPPABLE;
    if (parent != nullptr) {
        flags |= LV_OBJ_FLAG_PRESS_LOCK | LV_OBJ_FLAG_SCROLL_CHAIN | LV_OBJ_FLAG_GESTURE_BUBBLE;
    }
}

lv_coord_t _lv_obj_t::ext_draw_size() {
    lv_coord_t s = 0;
    const lv_coord_t shadow = gfx::style_coord(this, LV_PART_MAIN, gfx::Prop::ShadowWidth);
    if (shadow > 0) s = (lv_coord_t)(shadow / 2 + 1);
    const lv_coord_t outline = gfx::style_coord(this, LV_PART_MAIN, gfx::Prop::OutlineWidth);
    if (outline > 0) {
        const lv_coord_t pad = gfx::style_coord(this, LV_PART_MAIN, gfx::Prop::OutlinePad);
        s = std::max(s, (lv_coord_t)(outline + pad));
    }
    return s;
}

void _lv_obj_t::on_event(ObjEvent ev) {
    switch (ev) {
    case ObjEvent::SizeChanged:
        if (gfx::obj_get_style(this, LV_PART_MAIN, gfx::Prop::Align).num != LV_ALIGN_DEFAULT) {
            gfx::obj_mark_layout_dirty(this);
        }
        for (lv_obj_t* c : children) gfx::obj_mark_layout_dirty(c);
        break;
    case ObjEvent::ChildChanged: {
        // A content-sized or aligned object depends on its children.
        const int32_t w = gfx::obj_get_style(this, LV_PART_MAIN, gfx::Prop::Width).num;
        const int32_t h = gfx::obj_get_style(this, LV_PART_MAIN, gfx::Prop::Height).num;
        const int32_t align = gfx::obj_get_style(this, LV_PART_MAIN, gfx::Prop::Align).num;
        if (align != LV_ALIGN_DEFAULT || w == LV_SIZE_CONTENT || h == LV_SIZE_CONTENT) {
            gfx::obj_mark_layout_dirty(this);
        }
        break;
    }
    case ObjEvent::StyleChanged:
        break;
    }
}

// ---- public API ----

extern "C" {

lv_obj_t* lv_obj_create(lv_obj_t* parent) {
    return gfx::obj_create<_lv_obj_t>(parent);
}

void lv_obj_del(lv_obj_t* obj) {
    if (obj == nullptr) return;
    lv_obj_invalidate(obj);
    lv_obj_t* parent = obj->parent;
    if (parent != nullptr) gfx::obj_scrollbar_invalidate(parent);

    lv_disp_t* d = obj->disp;
    const bool act_scr_deleted = parent == nullptr && d != nullptr && d->act_scr == obj;
    gfx::del_core(obj);

    if (parent != nullptr) {
        gfx::obj_scrollbar_invalidate(parent);
        parent->on_event(ObjEvent::ChildChanged);
    }
    if (act_scr_deleted) {
        LV_LOG_WARN("the active screen was deleted");
        d->act_scr = nullptr;
    }
}

void lv_obj_clean(lv_obj_t* obj) {
    if (obj == nullptr) return;
    lv_obj_invalidate(obj);
    if (obj->children.empty()) return;
    while (!obj->children.empty()) gfx::del_core(obj->children.front());
    gfx::obj_scrollbar_invalidate(obj);
    obj->on_event(ObjEvent::ChildChanged);
}

void lv_obj_add_flag(lv_obj_t* obj, lv_obj_flag_t f) {
    if (obj == nullptr) return;
    // Invalidations of hidden objects are ignored, so the old area goes first.
    if (f & LV_OBJ_FLAG_HIDDEN) lv_obj_invalidate(obj);
    obj->flags |= f;
    if (f & LV_OBJ_FLAG_SCROLLABLE) gfx::obj_scrollbar_invalidate(obj);
}

void lv_obj_clear_flag(lv_obj_t* obj, lv_obj_flag_t f) {
    if (obj == nullptr) return;
    if (f & LV_OBJ_FLAG_SCROLLABLE) gfx::obj_scrollbar_invalidate(obj);
    obj->flags &= ~f;
    if (f & LV_OBJ_FLAG_HIDDEN) lv_obj_invalidate(obj);
}

bool lv_obj_has_flag(const lv_obj_t* obj, lv_obj_flag_t f) {
    return (obj->flags & f) == f;
}
bool lv_obj_has_flag_any(const lv_obj_t* obj, lv_obj_flag_t f) {
    return (obj->flags & f) != 0;
}

static void set_state(lv_obj_t* obj, lv_state_t new_state) {
    if (obj->state == new_state) return;
    obj->state = new_state;
    gfx::obj_refresh_style(obj, LV_PART_ANY, gfx::Prop::Any);
}

void lv_obj_add_state(lv_obj_t* obj, lv_state_t state) {
    if (obj != nullptr) set_state(obj, (lv_state_t)(obj->state | state));
}
void lv_obj_clear_state(lv_obj_t* obj, lv_state_t state) {
    if (obj != nullptr) set_state(obj, (lv_state_t)(obj->state & ~state));
}
lv_state_t lv_obj_get_state(const lv_obj_t* obj) {
    return obj->state;
}

void lv_obj_set_user_data(lv_obj_t* obj, void* user_data) {
    obj->user_data = user_data;
}
void* lv_obj_get_user_data(lv_obj_t* obj) {
    return obj->user_data;
}

lv_obj_t* lv_obj_get_screen(const lv_obj_t* obj) {
    const lv_obj_t* o = obj;
    while (o != nullptr && o->parent != nullptr) o = o->parent;
    return const_cast<lv_obj_t*>(o);
}

lv_obj_t* lv_obj_get_parent(const lv_obj_t* obj) {
    return obj != nullptr ? obj->parent : nullptr;
}

lv_obj_t* lv_obj_get_child(const lv_obj_t* obj, int32_t id) {
    const int32_t cnt = (int32_t)obj->children.size();
    if (id < 0) id += cnt;
    if (id < 0 || id >= cnt) return nullptr;
    return obj->children[(size_t)id];
}

uint32_t lv_obj_get_child_cnt(const lv_obj_t* obj) {
    return (uint32_t)obj->children.size();
}

uint32_t lv_obj_get_index(const lv_obj_t* obj) {
    const lv_obj_t* p = obj->parent;
    if (p == nullptr) return 0;
    auto it = std::find(p->children.begin(), p->children.end(), obj);
    return it == p->children.end() ? 0xFFFFFFFFu : (uint32_t)(it - p->children.begin());
}

static void move_to_index(lv_obj_t* obj, bool to_end) {
    lv_obj_t* p = obj->parent;
    if (p == nullptr) return;
    gfx::remove_from(p->children, obj);
    if (to_end) {
        p->children.push_back(obj);
    } else {
        p->children.insert(p->children.begin(), obj);
    }
    p->on_event(ObjEvent::ChildChanged);
    lv_obj_invalidate(p);
}

void lv_obj_move_foreground(lv_obj_t* obj) {
    if (obj != nullptr) move_to_index(obj, true);
}
void lv_obj_move_background(lv_obj_t* obj) {
    if (obj != nullptr) move_to_index(obj, false);
}

void lv_obj_invalidate_area(const lv_obj_t* obj, const lv_area_t* area) {
    if (obj == nullptr || area == nullptr) return;
    lv_area_t a = *area;
    if (!gfx::area_is_visible(obj, &a)) return;
    _lv_inv_area(lv_obj_get_screen(obj)->disp, &a);
}

void lv_obj_invalidate(const lv_obj_t* obj) {
    if (obj == nullptr) return;
    lv_area_t a = gfx::obj_ext_area(obj);
    lv_obj_invalidate_area(obj, &a);
}

bool lv_obj_is_visible(const lv_obj_t* obj) {
    if (obj == nullptr) return false;
    lv_area_t a = gfx::obj_ext_area(obj);
    return gfx::area_is_visible(obj, &a);
}

} // extern "C"
