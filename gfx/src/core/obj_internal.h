// The object model behind lv_obj_t: the tree, local and theme styles, lazy layout and the two
// draw phases.
//
// How a widget class is made
// --------------------------
// A widget is a C++ struct derived from _lv_obj_t (or from another widget, e.g. the GIF image
// derives from gfx::ImgObj). It
//   - returns its ObjClass from cls(); ObjClass::base names the class it extends, so
//     gfx::obj_is_kind_of() can tell "is an image" for derived classes too;
//   - is created with gfx::obj_create<T>(parent): the object is linked into the tree as a 0 x 0
//     box at the parent's corner, the theme is applied, then construct() runs (an override calls
//     its base's construct() first), then styles are refreshed and the layout is marked dirty;
//   - releases what it owns in its C++ destructor. lv_obj_del() deletes the children and the
//     object's animations first and unlinks the object, so a destructor never sees the tree.
// Hooks a widget may override:
//   draw_main / draw_post  the two draw phases; children are drawn between them
//   self_size              its own content size, used by LV_SIZE_CONTENT and scrolling
//   ext_draw_size          how far it draws outside its box; the result is kept in `ext_draw` when the
//                          size or a style that LVGL re-measures for changes (invalidation, clipping)
//   on_event               style, size or children changed (labels re-wrap here)
//   default_width/height   the size used while no width/height style is set
#pragma once

#include <cstdint>
#include <new>
#include <vector>

#include "lv_draw.h"
#include "lv_obj.h"

namespace gfx {

// Style properties the runtime knows. Order matters only for the flag table in lv_obj_style.cpp.
enum class Prop : uint8_t {
    BgColor,
    BgOpa,
    TextColor,
    TextOpa,
    TextFont,
    TextAlign,
    TextLetterSpace,
    TextLineSpace,
    Radius,
    BorderWidth,
    BorderColor,
    BorderOpa,
    BorderSide,
    BorderPost,
    OutlineWidth,
    OutlineColor,
    OutlineOpa,
    OutlinePad,
    ShadowWidth,
    PadLeft,
    PadRight,
    PadTop,
    PadBottom,
    PadRow,
    PadColumn,
    Width,
    Height,
    X,
    Y,
    Align,
    Opa,
    ImgOpa,
    AnimSpeed,
    LineColor,
    LineWidth,
    Count,
    Any = 0xFF, // "every property" for refreshes
};

union StyleValue {
    int32_t num;
    const void* ptr;
    lv_color_t color;
};

inline StyleValue style_num(int32_t v) {
    StyleValue s;
    s.num = v;
    return s;
}
inline StyleValue style_ptr(const void* p) {
    StyleValue s;
    s.ptr = p;
    return s;
}
inline StyleValue style_color(lv_color_t c) {
    StyleValue s;
    s.color = c;
    return s;
}

// A set of property values (one selector's local style, or one theme style).
class Style {
  public:
    bool get(Prop p, StyleValue* out) const;
    void set(Prop p, StyleValue v);
    bool remove(Prop p);
    bool empty() const { return props_.empty(); }

  private:
    struct Entry {
        Prop prop;
        StyleValue value;
    };
    std::vector<Entry> props_;
};

struct LocalStyle {
    lv_style_selector_t selector;
    Style style;
};

struct SharedStyle {
    lv_style_selector_t selector;
    const Style* style;
};

// Identity of a widget class; `base` is the class it extends (nullptr for the base object).
struct ObjClass {
    const char* name;
    const ObjClass* base;
};
extern const ObjClass obj_class;

enum class ObjEvent : uint8_t {
    StyleChanged, // a layout-affecting or inherited style of the object changed
    SizeChanged,  // the object's width or height changed (coords already updated)
    ChildChanged, // a child was created, deleted, moved or resized
};

} // namespace gfx

struct _lv_obj_t {
    _lv_obj_t() = default;
    _lv_obj_t(const _lv_obj_t&) = delete;
    _lv_obj_t& operator=(const _lv_obj_t&) = delete;
    virtual ~_lv_obj_t() = default;

    virtual const gfx::ObjClass& cls() const { return gfx::obj_class; }
    virtual void construct();
    virtual void draw_main(lv_draw_ctx_t* ctx);
    virtual void draw_post(lv_draw_ctx_t* ctx);
    virtual lv_point_t self_size() { return lv_point_t{0, 0}; }
    virtual lv_coord_t ext_draw_size();
    virtual void on_event(gfx::ObjEvent ev);
    virtual lv_coord_t default_width() const { return LV_DPI_DEF; }
    virtual lv_coord_t default_height() const { return LV_DPI_DEF; }

    _lv_obj_t* parent = nullptr;
    std::vector<_lv_obj_t*> children; // creation order; the last one is drawn on top
    lv_disp_t* disp = nullptr;        // display of the screen the object belongs to
    lv_area_t coords{0, 0, -1, -1};   // absolute box, inclusive
    uint32_t flags = 0;
    lv_state_t state = LV_STATE_DEFAULT;
    void* user_data = nullptr;
    std::vector<gfx::LocalStyle> local_styles;
    std::vector<gfx::SharedStyle> theme_styles;
    lv_scrollbar_mode_t scrollbar_mode = LV_SCROLLBAR_MODE_AUTO;
    lv_dir_t scroll_dir = LV_DIR_ALL;
    lv_coord_t ext_draw = 0;       // ext_draw_size() as last measured (obj_refresh_ext_draw)
    bool layout_dirty = false;     // this object's size/position must be recomputed
    bool scr_layout_dirty = false; // (screens) something below needs a layout pass
};

namespace gfx {

// ---- creation (lv_obj.cpp) ----

// Links `obj` under `parent` (nullptr = new screen of the default display). False if there is
// nowhere to put a screen.
bool obj_link(lv_obj_t* obj, lv_obj_t* parent);
// Theme, construct(), style refresh and layout marking of a freshly linked object.
void obj_finish_create(lv_obj_t* obj);

template <class T> T* obj_create(lv_obj_t* parent) {
    T* obj = new (std::nothrow) T();
    LV_ASSERT_MALLOC(obj);
    if (obj == nullptr) return nullptr;
    if (!obj_link(obj, parent)) {
        delete obj;
        return nullptr;
    }
    obj_finish_create(obj);
    return obj;
}

bool obj_is_kind_of(const lv_obj_t* obj, const ObjClass& cls);
// Deletes every object of a display without the active-screen warning (display removal).
void obj_delete_screen_silently(lv_obj_t* scr);

// ---- styles (lv_obj_style.cpp) ----

StyleValue obj_get_style(const lv_obj_t* obj, uint32_t part, Prop prop);
void obj_set_local_style(lv_obj_t* obj, Prop prop, StyleValue v, lv_style_selector_t selector);
bool obj_get_local_style(const lv_obj_t* obj, Prop prop, lv_style_selector_t selector, StyleValue* out);
void obj_remove_local_style(lv_obj_t* obj, Prop prop, lv_style_selector_t selector);
void obj_add_theme_style(lv_obj_t* obj, const Style* style, lv_style_selector_t selector);
// Invalidates and re-lays out after a style change (prop Any = everything).
void obj_refresh_style(lv_obj_t* obj, lv_style_selector_t selector, Prop prop);
// While > 0 style refreshes are skipped (object construction).
void style_refresh_block(bool block);

inline lv_coord_t style_coord(const lv_obj_t* obj, uint32_t part, Prop p) {
    return (lv_coord_t)obj_get_style(obj, part, p).num;
}
inline lv_opa_t style_opa(const lv_obj_t* obj, uint32_t part, Prop p) {
    return (lv_opa_t)obj_get_style(obj, part, p).num;
}
inline lv_color_t style_color_of(const lv_obj_t* obj, uint32_t part, Prop p) {
    return obj_get_style(obj, part, p).color;
}
inline const lv_font_t* style_font(const lv_obj_t* obj, uint32_t part) {
    return static_cast<const lv_font_t*>(obj_get_style(obj, part, Prop::TextFont).ptr);
}

// ---- theme (lv_theme.cpp) ----

void theme_init(lv_disp_t* disp);
bool theme_is_inited();
void theme_apply(lv_obj_t* obj);
void theme_reset();

// ---- layout (lv_obj_pos.cpp) ----

// A coordinate that holds a percentage or LV_SIZE_CONTENT instead of pixels.
inline bool coord_is_tagged(int32_t v) {
    return (v & (3 << _LV_COORD_TYPE_SHIFT)) == _LV_COORD_TYPE_SPEC;
}
inline int32_t coord_plain(int32_t v) {
    return v & ~(3 << _LV_COORD_TYPE_SHIFT);
}
inline bool coord_is_pct(int32_t v) {
    return coord_is_tagged(v) && coord_plain(v) <= 2000;
}
inline int32_t coord_pct(int32_t v) {
    return coord_plain(v) > 1000 ? 1000 - coord_plain(v) : coord_plain(v);
}

void obj_mark_layout_dirty(lv_obj_t* obj);
// Moves an object and all of its descendants by (dx, dy) without any layout work.
void obj_move_children_by(lv_obj_t* obj, lv_coord_t dx, lv_coord_t dy);

// ---- scrolling (lv_obj_scroll.cpp) ----

// Scrollbar boxes of an object; an empty box has x2 < x1.
void obj_scrollbar_areas(const lv_obj_t* obj, lv_area_t* hor, lv_area_t* ver);
void obj_scrollbar_invalidate(lv_obj_t* obj);

// ---- drawing (lv_obj_draw.cpp) ----

// Fills a rectangle descriptor from the styles of `part` (opacity of the part and of the layer
// being drawn applied).
void obj_init_draw_rect_dsc(const lv_obj_t* obj, uint32_t part, lv_draw_rect_dsc_t* dsc);
void obj_init_draw_label_dsc(const lv_obj_t* obj, uint32_t part, lv_draw_label_dsc_t* dsc);
void obj_init_draw_img_dsc(const lv_obj_t* obj, uint32_t part, lv_draw_img_dsc_t* dsc);
// Draws an object and its subtree into the context (clip area = what may be written).
void obj_redraw(lv_draw_ctx_t* ctx, lv_obj_t* obj);
// The object's box grown by its ext draw size.
lv_area_t obj_ext_area(const lv_obj_t* obj);
// Measures how far the object draws outside its box again, invalidating when that changes. As in
// LVGL 8.3 this happens on creation, on a size change and on styles that affect it (pads, outline,
// shadow), but not when only the font changes.
void obj_refresh_ext_draw(lv_obj_t* obj);

} // namespace gfx
