// The label widget: owns (or borrows) its text, measures it for LV_SIZE_CONTENT, wraps, clips
// or scrolls it according to the long mode, and draws it with the text painter.
#include <algorithm>
#include <cstring>

#include "core/obj_internal.h"
#include "lv_anim.h"
#include "lv_label.h"
#include "lv_mem.h"

namespace gfx {

namespace {

constexpr int kScrollWaitChars = 3; // gap of a circular scroll, in spaces
constexpr uint32_t kScrollDelayMs = 300;

const ObjClass label_class = {"lv_label", &obj_class};

struct LabelObj : _lv_obj_t {
    ~LabelObj() override { free_text(); }

    const ObjClass& cls() const override { return label_class; }
    lv_coord_t default_width() const override { return LV_SIZE_CONTENT; }
    lv_coord_t default_height() const override { return LV_SIZE_CONTENT; }

    void construct() override {
        _lv_obj_t::construct();
        flags &= ~LV_OBJ_FLAG_CLICKABLE;
        lv_label_set_long_mode(this, LV_LABEL_LONG_WRAP);
        lv_label_set_text(this, "Text");
    }

    lv_point_t self_size() override {
        const lv_font_t* font = style_font(this, LV_PART_MAIN);
        if (font == nullptr || text == nullptr) return {0, 0};
        lv_coord_t max_w = lv_obj_get_content_width(this);
        if (obj_get_style(this, LV_PART_MAIN, Prop::Width).num == LV_SIZE_CONTENT) max_w = LV_COORD_MAX;
        lv_point_t size;
        lv_txt_get_size(&size, text, font, style_coord(this, LV_PART_MAIN, Prop::TextLetterSpace),
                        style_coord(this, LV_PART_MAIN, Prop::TextLineSpace), max_w, text_flags());
        return size;
    }

    // Glyphs of italic or unusual fonts may reach past their advance.
    lv_coord_t ext_draw_size() override {
        const lv_font_t* font = style_font(this, LV_PART_MAIN);
        const lv_coord_t own = font != nullptr ? (lv_coord_t)(lv_font_get_line_height(font) / 4) : 0;
        return std::max(own, _lv_obj_t::ext_draw_size());
    }

    void on_event(ObjEvent ev) override {
        _lv_obj_t::on_event(ev);
        if (ev == ObjEvent::SizeChanged || ev == ObjEvent::StyleChanged) refr_text();
    }

    void draw_main(lv_draw_ctx_t* ctx) override;

    lv_text_flag_t text_flags() const {
        lv_text_flag_t f = LV_TEXT_FLAG_NONE;
        if (recolor) f |= LV_TEXT_FLAG_RECOLOR;
        if (expand) f |= LV_TEXT_FLAG_EXPAND;
        return f;
    }

    void free_text() {
        if (text != nullptr && !static_txt) lv_mem_free(text);
        text = nullptr;
    }

    void refr_text();
    void start_scroll(const lv_point_t& size, const lv_area_t& txt);

    char* text = nullptr;
    bool static_txt = false;
    bool recolor = false;
    bool expand = false;
    lv_label_long_mode_t long_mode = LV_LABEL_LONG_WRAP;
    lv_point_t offset{0, 0};
};

LabelObj* as_label(lv_obj_t* obj) {
    return obj_is_kind_of(obj, label_class) ? static_cast<LabelObj*>(obj) : nullptr;
}

void set_ofs_x(void* obj, int32_t v) {
    static_cast<LabelObj*>(obj)->offset.x = (lv_coord_t)v;
    lv_obj_invalidate(static_cast<lv_obj_t*>(obj));
}

void set_ofs_y(void* obj, int32_t v) {
    static_cast<LabelObj*>(obj)->offset.y = (lv_coord_t)v;
    lv_obj_invalidate(static_cast<lv_obj_t*>(obj));
}

lv_coord_t scroll_gap(const lv_font_t* font) {
    return (lv_coord_t)(lv_font_get_glyph_width(font, ' ', ' ') * kScrollWaitChars);
}

// Starts (or re-targets) one offset animation, keeping the running one's progress when it still
// fits in the new duration so the text does not jump.
void start_offset_anim(LabelObj* l, lv_anim_exec_xcb_t exec, int32_t end, uint32_t speed, bool playback) {
    lv_anim_t a;
    lv_anim_init(&a);
    lv_anim_set_var(&a, l);
    lv_anim_set_exec_cb(&a, exec);
    lv_anim_set_values(&a, 0, end);
    lv_anim_set_repeat_count(&a, LV_ANIM_REPEAT_INFINITE);
    lv_anim_set_time(&a, lv_anim_speed_to_time(speed, 0, end));
    if (playback) {
        lv_anim_set_playback_time(&a, (uint32_t)a.time);
        lv_anim_set_playback_delay(&a, kScrollDelayMs);
        lv_anim_set_repeat_delay(&a, kScrollDelayMs);
    }
    const lv_anim_t* cur = lv_anim_get(l, exec);
    const int32_t act_time = cur != nullptr ? cur->act_time : 0;
    if (act_time < a.time) {
        a.act_time = act_time;
        a.early_apply = 0;
    }
    lv_anim_start(&a);
}

void LabelObj::start_scroll(const lv_point_t& size, const lv_area_t& txt) {
    const lv_font_t* font = style_font(this, LV_PART_MAIN);
    uint32_t speed = (uint32_t)obj_get_style(this, LV_PART_MAIN, Prop::AnimSpeed).num;
    if (speed == 0) speed = (uint32_t)(lv_disp_get_dpi(disp) / 3);
    const bool circular = long_mode == LV_LABEL_LONG_SCROLL_CIRCULAR;

    bool hor = false;
    if (size.x > lv_area_get_width(&txt)) {
        const int32_t end =
            circular ? -(size.x + scroll_gap(font)) : lv_area_get_width(&txt) - (int32_t)size.x;
        start_offset_anim(this, set_ofs_x, end, speed, !circular);
        hor = true;
    } else {
        lv_anim_del(this, set_ofs_x);
        offset.x = 0;
    }

    if (!hor && size.y > lv_area_get_height(&txt)) {
        const int32_t end =
            circular ? -(size.y + lv_font_get_line_height(font)) : lv_area_get_height(&txt) - (int32_t)size.y;
        start_offset_anim(this, set_ofs_y, end, speed, !circular);
    } else {
        lv_anim_del(this, set_ofs_y);
        offset.y = 0;
    }
}

void LabelObj::refr_text() {
    if (text == nullptr) return;
    const lv_font_t* font = style_font(this, LV_PART_MAIN);
    lv_area_t txt;
    lv_obj_get_content_coords(this, &txt);

    lv_point_t size{0, 0};
    if (font != nullptr) {
        lv_text_flag_t f = text_flags();
        if (obj_get_style(this, LV_PART_MAIN, Prop::Width).num == LV_SIZE_CONTENT) f |= LV_TEXT_FLAG_FIT;
        lv_txt_get_size(&size, text, font, style_coord(this, LV_PART_MAIN, Prop::TextLetterSpace),
                        style_coord(this, LV_PART_MAIN, Prop::TextLineSpace), lv_area_get_width(&txt), f);
    }
    lv_obj_refresh_self_size(this);

    const bool scrolling = long_mode == LV_LABEL_LONG_SCROLL || long_mode == LV_LABEL_LONG_SCROLL_CIRCULAR;
    if (scrolling && font != nullptr) {
        start_scroll(size, txt);
    } else if (scrolling) {
        lv_anim_del(this, set_ofs_x);
        lv_anim_del(this, set_ofs_y);
        offset = {0, 0};
    }
    lv_obj_invalidate(this);
}

void LabelObj::draw_main(lv_draw_ctx_t* ctx) {
    _lv_obj_t::draw_main(ctx);
    if (text == nullptr) return;

    lv_area_t txt;
    lv_obj_get_content_coords(this, &txt);
    lv_draw_label_dsc_t dsc;
    lv_draw_label_dsc_init(&dsc);
    dsc.ofs_x = offset.x;
    dsc.ofs_y = offset.y;
    dsc.flag = text_flags();
    if (obj_get_style(this, LV_PART_MAIN, Prop::Width).num == LV_SIZE_CONTENT) dsc.flag |= LV_TEXT_FLAG_FIT;
    obj_init_draw_label_dsc(this, LV_PART_MAIN, &dsc);
    if (dsc.opa <= LV_OPA_MIN) return;

    const bool scrolling = long_mode == LV_LABEL_LONG_SCROLL || long_mode == LV_LABEL_LONG_SCROLL_CIRCULAR;
    lv_point_t size{0, 0};
    if (dsc.font != nullptr) {
        lv_txt_get_size(&size, text, dsc.font, dsc.letter_space, dsc.line_space, LV_COORD_MAX, dsc.flag);
    }
    // A scrolling text wider than the label is laid out from the left edge.
    if (scrolling && (dsc.align == LV_TEXT_ALIGN_CENTER || dsc.align == LV_TEXT_ALIGN_RIGHT) &&
        size.x > lv_area_get_width(&txt)) {
        dsc.align = LV_TEXT_ALIGN_LEFT;
    }

    lv_area_t txt_clip;
    if (!_lv_area_intersect(&txt_clip, &txt, ctx->clip_area)) return;
    const lv_area_t* clip_ori = ctx->clip_area;

    if (long_mode == LV_LABEL_LONG_WRAP) txt.y2 = coords.y2;
    if (scrolling) ctx->clip_area = &txt_clip;
    lv_draw_label(ctx, &dsc, &txt, text, nullptr);

    if (long_mode == LV_LABEL_LONG_SCROLL_CIRCULAR && dsc.font != nullptr) {
        ctx->clip_area = &txt_clip;
        // The second copy follows the first one after the gap, so the loop looks endless.
        if (size.x > lv_area_get_width(&txt)) {
            dsc.ofs_x = (lv_coord_t)(offset.x + size.x + scroll_gap(dsc.font));
            dsc.ofs_y = offset.y;
            lv_draw_label(ctx, &dsc, &txt, text, nullptr);
        }
        if (size.y > lv_area_get_height(&txt)) {
            dsc.ofs_x = offset.x;
            dsc.ofs_y = (lv_coord_t)(offset.y + size.y + lv_font_get_line_height(dsc.font));
            lv_draw_label(ctx, &dsc, &txt, text, nullptr);
        }
    }
    ctx->clip_area = clip_ori;
}

char* dup_text(const char* src) {
    const size_t len = std::strlen(src);
    char* copy = static_cast<char*>(lv_mem_alloc(len + 1));
    LV_ASSERT_MALLOC(copy);
    if (copy != nullptr) std::memcpy(copy, src, len + 1);
    return copy;
}

} // namespace

} // namespace gfx

using gfx::as_label;
using gfx::LabelObj;

extern "C" {

lv_obj_t* lv_label_create(lv_obj_t* parent) {
    return gfx::obj_create<LabelObj>(parent);
}

void lv_label_set_text(lv_obj_t* obj, const char* text) {
    LabelObj* l = as_label(obj);
    if (l == nullptr) return;
    lv_obj_invalidate(obj);
    if (text == nullptr) text = l->text;
    // The label keeps its own copy; the same pointer again only re-measures.
    if (text != nullptr && !(text == l->text && !l->static_txt)) {
        char* copy = gfx::dup_text(text);
        if (copy == nullptr) return;
        l->free_text();
        l->text = copy;
        l->static_txt = false;
    }
    l->refr_text();
}

void lv_label_set_text_static(lv_obj_t* obj, const char* text) {
    LabelObj* l = as_label(obj);
    if (l == nullptr) return;
    if (text != nullptr && text != l->text) {
        l->free_text();
        l->text = const_cast<char*>(text);
        l->static_txt = true;
    }
    l->refr_text();
}

void lv_label_set_text_fmt(lv_obj_t* obj, const char* fmt, ...) {
    LabelObj* l = as_label(obj);
    if (l == nullptr || fmt == nullptr) return;
    lv_obj_invalidate(obj);

    va_list args;
    va_start(args, fmt);
    va_list measure;
    va_copy(measure, args);
    const int len = lv_vsnprintf(nullptr, 0, fmt, measure);
    va_end(measure);
    char* text = len >= 0 ? static_cast<char*>(lv_mem_alloc((size_t)len + 1)) : nullptr;
    LV_ASSERT_MALLOC(text);
    if (text != nullptr) lv_vsnprintf(text, (size_t)len + 1, fmt, args);
    va_end(args);
    if (text == nullptr) return;

    l->free_text();
    l->text = text;
    l->static_txt = false;
    l->refr_text();
}

void lv_label_set_long_mode(lv_obj_t* obj, lv_label_long_mode_t long_mode) {
    LabelObj* l = as_label(obj);
    if (l == nullptr) return;
    lv_anim_del(obj, gfx::set_ofs_x);
    lv_anim_del(obj, gfx::set_ofs_y);
    l->offset = {0, 0};
    l->expand = long_mode == LV_LABEL_LONG_SCROLL || long_mode == LV_LABEL_LONG_SCROLL_CIRCULAR ||
                long_mode == LV_LABEL_LONG_CLIP;
    l->long_mode = long_mode;
    l->refr_text();
}

void lv_label_set_recolor(lv_obj_t* obj, bool en) {
    LabelObj* l = as_label(obj);
    if (l == nullptr || l->recolor == en) return;
    l->recolor = en;
    l->refr_text();
}

char* lv_label_get_text(const lv_obj_t* obj) {
    LabelObj* l = as_label(const_cast<lv_obj_t*>(obj));
    return l != nullptr ? l->text : nullptr;
}

lv_label_long_mode_t lv_label_get_long_mode(const lv_obj_t* obj) {
    LabelObj* l = as_label(const_cast<lv_obj_t*>(obj));
    return l != nullptr ? l->long_mode : (lv_label_long_mode_t)LV_LABEL_LONG_WRAP;
}

bool lv_label_get_recolor(const lv_obj_t* obj) {
    LabelObj* l = as_label(const_cast<lv_obj_t*>(obj));
    return l != nullptr && l->recolor;
}

} // extern "C"
