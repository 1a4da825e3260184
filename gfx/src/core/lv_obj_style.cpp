// Local and theme styles: storage, look-up with state matching and inheritance, refresh after a
// change, and the lv_obj_set_style_* / lv_obj_get_style_* API.
#include <algorithm>

#include "core/obj_internal.h"
#include "lv_obj_style.h"

namespace gfx {

namespace {

constexpr uint8_t kInherit = 1; // falls back to the parent's value
constexpr uint8_t kLayout = 2;  // changes the size or position of something
constexpr uint8_t kExtDraw = 4; // changes how far the object draws outside its box

constexpr uint8_t prop_flags(Prop p) {
    switch (p) {
    case Prop::TextColor:
    case Prop::TextOpa:
        return kInherit;
    case Prop::TextFont:
    case Prop::TextAlign:
    case Prop::TextLetterSpace:
    case Prop::TextLineSpace:
        return kInherit | kLayout;
    case Prop::PadLeft:
    case Prop::PadRight:
    case Prop::PadTop:
    case Prop::PadBottom:
    case Prop::PadRow:
    case Prop::PadColumn:
        return kLayout | kExtDraw;
    case Prop::BorderWidth:
    case Prop::Width:
    case Prop::Height:
    case Prop::X:
    case Prop::Y:
    case Prop::Align:
        return kLayout;
    case Prop::OutlineWidth:
    case Prop::OutlineOpa:
    case Prop::OutlinePad:
    case Prop::ShadowWidth:
        return kExtDraw;
    case Prop::Any:
        return kInherit | kLayout | kExtDraw;
    default:
        return 0;
    }
}

StyleValue default_value(Prop p) {
    switch (p) {
    case Prop::BgColor:
        return style_color(lv_color_white());
    case Prop::TextColor:
    case Prop::BorderColor:
    case Prop::OutlineColor:
    case Prop::LineColor:
        return style_color(lv_color_black());
    case Prop::TextOpa:
    case Prop::BorderOpa:
    case Prop::OutlineOpa:
    case Prop::Opa:
    case Prop::ImgOpa:
        return style_num(LV_OPA_COVER);
    case Prop::BorderSide:
        return style_num(LV_BORDER_SIDE_FULL);
    case Prop::TextFont:
        return style_ptr(LV_FONT_DEFAULT);
    default:
        return style_num(0);
    }
}

int g_refresh_block = 0;

lv_part_t selector_part(lv_style_selector_t sel) {
    return sel & 0xFF0000;
}
lv_state_t selector_state(lv_style_selector_t sel) {
    return (lv_state_t)(sel & 0xFFFF);
}

// Best match among the styles of one object for `part` in its current state: local styles first,
// among the styles whose state flags the object all has, the highest state value wins, ties go to
// the earlier style.
bool find_on_obj(const lv_obj_t* obj, uint32_t part, Prop prop, StyleValue* out) {
    const lv_state_t state = obj->state;
    int32_t best = -1;
    auto consider = [&](lv_style_selector_t sel, const Style& style) {
        if (selector_part(sel) != part) return false;
        lv_state_t st = selector_state(sel);
        if (st & ~state) return false;
        if ((int32_t)st <= best) return false;
        StyleValue v;
        if (!style.get(prop, &v)) return false;
        *out = v;
        best = st;
        return st == state; // nothing can beat an exact match
    };
    for (const LocalStyle& ls : obj->local_styles) {
        if (consider(ls.selector, ls.style)) return true;
    }
    for (const SharedStyle& ss : obj->theme_styles) {
        if (consider(ss.selector, *ss.style)) return true;
    }
    return best >= 0;
}

void refresh_children_style(lv_obj_t* obj) {
    for (lv_obj_t* child : obj->children) {
        lv_obj_invalidate(child);
        child->on_event(ObjEvent::StyleChanged);
        lv_obj_invalidate(child);
        refresh_children_style(child);
    }
}

} // namespace

bool Style::get(Prop p, StyleValue* out) const {
    for (const Entry& e : props_) {
        if (e.prop == p) {
            *out = e.value;
            return true;
        }
    }
    return false;
}

void Style::set(Prop p, StyleValue v) {
    for (Entry& e : props_) {
        if (e.prop == p) {
            e.value = v;
            return;
        }
    }
    props_.push_back({p, v});
}

bool Style::remove(Prop p) {
    auto it = std::find_if(props_.begin(), props_.end(), [p](const Entry& e) { return e.prop == p; });
    if (it == props_.end()) return false;
    props_.erase(it);
    return true;
}

StyleValue obj_get_style(const lv_obj_t* obj, uint32_t part, Prop prop) {
    const bool inherit = (prop_flags(prop) & kInherit) != 0;
    const lv_obj_t* o = obj;
    uint32_t p = part;
    StyleValue v;
    while (o != nullptr) {
        if (find_on_obj(o, p, prop, &v)) return v;
        if (!inherit) break;
        if (p != LV_PART_MAIN) {
            p = LV_PART_MAIN;
            continue;
        }
        o = o->parent;
    }
    // Without a width/height style the widget class decides (130 px for plain objects).
    if (part == LV_PART_MAIN && (prop == Prop::Width || prop == Prop::Height)) {
        return style_num(prop == Prop::Width ? obj->default_width() : obj->default_height());
    }
    return default_value(prop);
}

bool obj_get_local_style(const lv_obj_t* obj, Prop prop, lv_style_selector_t selector, StyleValue* out) {
    for (const LocalStyle& ls : obj->local_styles) {
        if (ls.selector == selector) return ls.style.get(prop, out);
    }
    return false;
}

void obj_set_local_style(lv_obj_t* obj, Prop prop, StyleValue v, lv_style_selector_t selector) {
    if (obj == nullptr) return;
    LocalStyle* target = nullptr;
    for (LocalStyle& ls : obj->local_styles) {
        if (ls.selector == selector) target = &ls;
    }
    if (target == nullptr) {
        obj->local_styles.push_back(LocalStyle{selector, Style{}});
        target = &obj->local_styles.back();
    }
    target->style.set(prop, v);
    obj_refresh_style(obj, selector, prop);
}

void obj_remove_local_style(lv_obj_t* obj, Prop prop, lv_style_selector_t selector) {
    for (auto it = obj->local_styles.begin(); it != obj->local_styles.end(); ++it) {
        if (it->selector != selector) continue;
        if (it->style.remove(prop)) {
            if (it->style.empty()) obj->local_styles.erase(it);
            obj_refresh_style(obj, selector, prop);
        }
        return;
    }
}

void obj_add_theme_style(lv_obj_t* obj, const Style* style, lv_style_selector_t selector) {
    obj->theme_styles.push_back(SharedStyle{selector, style});
    obj_refresh_style(obj, selector, Prop::Any);
}

void style_refresh_block(bool block) {
    g_refresh_block += block ? 1 : -1;
}

void obj_refresh_style(lv_obj_t* obj, lv_style_selector_t selector, Prop prop) {
    if (g_refresh_block > 0) return;
    const lv_part_t part = selector_part(selector);
    const uint8_t f = prop_flags(prop);
    const bool main_or_any = part == LV_PART_ANY || part == LV_PART_MAIN;

    lv_obj_invalidate(obj);
    if (f & kLayout) {
        if (main_or_any || obj_get_style(obj, 0, Prop::Width).num == LV_SIZE_CONTENT ||
            obj_get_style(obj, 0, Prop::Height).num == LV_SIZE_CONTENT) {
            obj->on_event(ObjEvent::StyleChanged);
            obj_mark_layout_dirty(obj);
        }
        if (main_or_any && obj->parent != nullptr) obj_mark_layout_dirty(obj->parent);
    }
    if (f & kExtDraw) obj_refresh_ext_draw(obj);
    lv_obj_invalidate(obj);

    if (prop == Prop::Any || ((f & kInherit) && (f & (kLayout | kExtDraw)))) {
        if (part != LV_PART_SCROLLBAR) refresh_children_style(obj);
    }
}

} // namespace gfx

using gfx::obj_get_style;
using gfx::obj_set_local_style;
using gfx::Prop;
using gfx::style_color;
using gfx::style_num;
using gfx::style_ptr;

extern "C" {

void lv_obj_remove_style_all(lv_obj_t* obj) {
    if (obj == nullptr) return;
    obj->local_styles.clear();
    obj->theme_styles.clear();
    gfx::obj_refresh_style(obj, LV_PART_ANY, Prop::Any);
}

#define GFX_SETTER_NUM(name, prop, type)                                                                     \
    void lv_obj_set_style_##name(lv_obj_t* obj, type value, lv_style_selector_t selector) {                  \
        obj_set_local_style(obj, Prop::prop, style_num((int32_t)value), selector);                           \
    }
#define GFX_SETTER_COLOR(name, prop)                                                                         \
    void lv_obj_set_style_##name(lv_obj_t* obj, lv_color_t value, lv_style_selector_t selector) {            \
        obj_set_local_style(obj, Prop::prop, style_color(value), selector);                                  \
    }

GFX_SETTER_COLOR(bg_color, BgColor)
GFX_SETTER_NUM(bg_opa, BgOpa, lv_opa_t)
GFX_SETTER_COLOR(text_color, TextColor)
GFX_SETTER_NUM(text_opa, TextOpa, lv_opa_t)
GFX_SETTER_NUM(text_align, TextAlign, lv_text_align_t)
GFX_SETTER_NUM(text_letter_space, TextLetterSpace, lv_coord_t)
GFX_SETTER_NUM(text_line_space, TextLineSpace, lv_coord_t)
GFX_SETTER_NUM(radius, Radius, lv_coord_t)
GFX_SETTER_NUM(border_width, BorderWidth, lv_coord_t)
GFX_SETTER_COLOR(border_color, BorderColor)
GFX_SETTER_NUM(border_opa, BorderOpa, lv_opa_t)
GFX_SETTER_NUM(border_side, BorderSide, lv_border_side_t)
GFX_SETTER_NUM(border_post, BorderPost, bool)
GFX_SETTER_NUM(outline_width, OutlineWidth, lv_coord_t)
GFX_SETTER_NUM(shadow_width, ShadowWidth, lv_coord_t)
GFX_SETTER_NUM(pad_left, PadLeft, lv_coord_t)
GFX_SETTER_NUM(pad_right, PadRight, lv_coord_t)
GFX_SETTER_NUM(pad_top, PadTop, lv_coord_t)
GFX_SETTER_NUM(pad_bottom, PadBottom, lv_coord_t)
GFX_SETTER_NUM(pad_row, PadRow, lv_coord_t)
GFX_SETTER_NUM(pad_column, PadColumn, lv_coord_t)
GFX_SETTER_NUM(width, Width, lv_coord_t)
GFX_SETTER_NUM(height, Height, lv_coord_t)
GFX_SETTER_NUM(x, X, lv_coord_t)
GFX_SETTER_NUM(y, Y, lv_coord_t)
GFX_SETTER_NUM(align, Align, lv_align_t)
GFX_SETTER_NUM(opa, Opa, lv_opa_t)
GFX_SETTER_NUM(img_opa, ImgOpa, lv_opa_t)
GFX_SETTER_NUM(anim_speed, AnimSpeed, uint32_t)

#undef GFX_SETTER_NUM
#undef GFX_SETTER_COLOR

void lv_obj_set_style_text_font(lv_obj_t* obj, const lv_font_t* value, lv_style_selector_t selector) {
    obj_set_local_style(obj, Prop::TextFont, style_ptr(value), selector);
}

lv_color_t lv_obj_get_style_bg_color(const lv_obj_t* obj, uint32_t part) {
    return obj_get_style(obj, part, Prop::BgColor).color;
}
lv_opa_t lv_obj_get_style_bg_opa(const lv_obj_t* obj, uint32_t part) {
    return (lv_opa_t)obj_get_style(obj, part, Prop::BgOpa).num;
}
lv_color_t lv_obj_get_style_text_color(const lv_obj_t* obj, uint32_t part) {
    return obj_get_style(obj, part, Prop::TextColor).color;
}
const lv_font_t* lv_obj_get_style_text_font(const lv_obj_t* obj, uint32_t part) {
    return gfx::style_font(obj, part);
}
lv_text_align_t lv_obj_get_style_text_align(const lv_obj_t* obj, uint32_t part) {
    return (lv_text_align_t)obj_get_style(obj, part, Prop::TextAlign).num;
}
lv_coord_t lv_obj_get_style_radius(const lv_obj_t* obj, uint32_t part) {
    return gfx::style_coord(obj, part, Prop::Radius);
}
lv_coord_t lv_obj_get_style_border_width(const lv_obj_t* obj, uint32_t part) {
    return gfx::style_coord(obj, part, Prop::BorderWidth);
}
lv_color_t lv_obj_get_style_border_color(const lv_obj_t* obj, uint32_t part) {
    return obj_get_style(obj, part, Prop::BorderColor).color;
}
lv_border_side_t lv_obj_get_style_border_side(const lv_obj_t* obj, uint32_t part) {
    return (lv_border_side_t)obj_get_style(obj, part, Prop::BorderSide).num;
}
lv_coord_t lv_obj_get_style_pad_left(const lv_obj_t* obj, uint32_t part) {
    return gfx::style_coord(obj, part, Prop::PadLeft);
}
lv_coord_t lv_obj_get_style_pad_right(const lv_obj_t* obj, uint32_t part) {
    return gfx::style_coord(obj, part, Prop::PadRight);
}
lv_coord_t lv_obj_get_style_pad_top(const lv_obj_t* obj, uint32_t part) {
    return gfx::style_coord(obj, part, Prop::PadTop);
}
lv_coord_t lv_obj_get_style_pad_bottom(const lv_obj_t* obj, uint32_t part) {
    return gfx::style_coord(obj, part, Prop::PadBottom);
}
lv_coord_t lv_obj_get_style_pad_row(const lv_obj_t* obj, uint32_t part) {
    return gfx::style_coord(obj, part, Prop::PadRow);
}
lv_coord_t lv_obj_get_style_pad_column(const lv_obj_t* obj, uint32_t part) {
    return gfx::style_coord(obj, part, Prop::PadColumn);
}
lv_opa_t lv_obj_get_style_opa(const lv_obj_t* obj, uint32_t part) {
    return (lv_opa_t)obj_get_style(obj, part, Prop::Opa).num;
}

} // extern "C"
