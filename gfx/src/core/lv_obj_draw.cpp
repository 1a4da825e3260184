// Drawing an object tree: the base object's two phases (background and border, then scrollbars
// and the post-drawn border), clipping of children to their parent, and object opacity.
#include <algorithm>

#include "core/obj_internal.h"

namespace gfx {

namespace {

// Opacity of the object subtree being drawn (style `opa` of it and its ancestors).
lv_opa_t g_layer_opa = LV_OPA_COVER;

lv_opa_t scale_opa(lv_opa_t v, lv_opa_t by) {
    if (by >= LV_OPA_MAX) return v;
    return (lv_opa_t)(((uint32_t)v * by) >> 8);
}

// Opacity applying to a part: the layer's, and for parts other than MAIN the part's own.
lv_opa_t part_opa(const lv_obj_t* obj, uint32_t part) {
    lv_opa_t opa = g_layer_opa;
    if (part != LV_PART_MAIN) opa = scale_opa(style_opa(obj, part, Prop::Opa), opa);
    return opa;
}

void draw_scrollbars(lv_obj_t* obj, lv_draw_ctx_t* ctx) {
    lv_area_t hor;
    lv_area_t ver;
    obj_scrollbar_areas(obj, &hor, &ver);
    const bool has_hor = hor.x2 >= hor.x1 && hor.y2 >= hor.y1;
    const bool has_ver = ver.x2 >= ver.x1 && ver.y2 >= ver.y1;
    if (!has_hor && !has_ver) return;

    lv_draw_rect_dsc_t dsc;
    lv_draw_rect_dsc_init(&dsc);
    obj_init_draw_rect_dsc(obj, LV_PART_SCROLLBAR, &dsc);
    if (dsc.bg_opa < LV_OPA_MIN && dsc.border_opa < LV_OPA_MIN) return;
    if (has_hor) lv_draw_rect(ctx, &dsc, &hor);
    if (has_ver) lv_draw_rect(ctx, &dsc, &ver);
}

} // namespace

void obj_init_draw_rect_dsc(const lv_obj_t* obj, uint32_t part, lv_draw_rect_dsc_t* dsc) {
    const lv_opa_t opa = part_opa(obj, part);
    dsc->radius = style_coord(obj, part, Prop::Radius);

    dsc->bg_opa = scale_opa(style_opa(obj, part, Prop::BgOpa), opa);
    if (dsc->bg_opa > LV_OPA_MIN) dsc->bg_color = style_color_of(obj, part, Prop::BgColor);

    dsc->border_width = style_coord(obj, part, Prop::BorderWidth);
    if (dsc->border_width > 0) {
        dsc->border_opa = scale_opa(style_opa(obj, part, Prop::BorderOpa), opa);
        dsc->border_side = (lv_border_side_t)(obj_get_style(obj, part, Prop::BorderSide).num & 0x1F);
        dsc->border_color = style_color_of(obj, part, Prop::BorderColor);
    } else {
        dsc->border_opa = LV_OPA_TRANSP;
    }

    dsc->outline_width = style_coord(obj, part, Prop::OutlineWidth);
    if (dsc->outline_width > 0) {
        dsc->outline_opa = scale_opa(style_opa(obj, part, Prop::OutlineOpa), opa);
        dsc->outline_pad = style_coord(obj, part, Prop::OutlinePad);
        dsc->outline_color = style_color_of(obj, part, Prop::OutlineColor);
    } else {
        dsc->outline_opa = LV_OPA_TRANSP;
    }
}

void obj_init_draw_label_dsc(const lv_obj_t* obj, uint32_t part, lv_draw_label_dsc_t* dsc) {
    dsc->opa = scale_opa(style_opa(obj, part, Prop::TextOpa), part_opa(obj, part));
    if (dsc->opa <= LV_OPA_MIN) return;
    dsc->color = style_color_of(obj, part, Prop::TextColor);
    dsc->letter_space = style_coord(obj, part, Prop::TextLetterSpace);
    dsc->line_space = style_coord(obj, part, Prop::TextLineSpace);
    dsc->font = style_font(obj, part);
    lv_text_align_t align = (lv_text_align_t)obj_get_style(obj, part, Prop::TextAlign).num;
    dsc->align = align == LV_TEXT_ALIGN_AUTO ? (lv_text_align_t)LV_TEXT_ALIGN_LEFT : align;
}

void obj_init_draw_img_dsc(const lv_obj_t* obj, uint32_t part, lv_draw_img_dsc_t* dsc) {
    dsc->opa = scale_opa(style_opa(obj, part, Prop::ImgOpa), part_opa(obj, part));
}

void obj_refresh_ext_draw(lv_obj_t* obj) {
    const lv_coord_t now = obj->ext_draw_size();
    if (now == obj->ext_draw) return;
    lv_obj_invalidate(obj);
    obj->ext_draw = now;
    lv_obj_invalidate(obj);
}

lv_area_t obj_ext_area(const lv_obj_t* obj) {
    const lv_coord_t ext = obj->ext_draw;
    lv_area_t a = obj->coords;
    a.x1 = (lv_coord_t)(a.x1 - ext);
    a.y1 = (lv_coord_t)(a.y1 - ext);
    a.x2 = (lv_coord_t)(a.x2 + ext);
    a.y2 = (lv_coord_t)(a.y2 + ext);
    return a;
}

void obj_redraw(lv_draw_ctx_t* ctx, lv_obj_t* obj) {
    if (lv_obj_has_flag(obj, LV_OBJ_FLAG_HIDDEN)) return;
    const lv_opa_t own_opa = style_opa(obj, LV_PART_MAIN, Prop::Opa);
    if (own_opa < LV_OPA_MIN) return;

    const lv_opa_t saved_opa = g_layer_opa;
    // A translucent object dims itself and everything drawn inside it.
    if (own_opa < LV_OPA_MAX) g_layer_opa = scale_opa(own_opa, saved_opa);

    const lv_area_t* clip_ori = ctx->clip_area;
    const bool overflow = lv_obj_has_flag(obj, LV_OBJ_FLAG_OVERFLOW_VISIBLE);

    const lv_area_t ext = obj_ext_area(obj);
    lv_area_t clip_obj;
    const bool draw_self = _lv_area_intersect(&clip_obj, clip_ori, &ext) || overflow;
    if (draw_self) {
        ctx->clip_area = &clip_obj;
        obj->draw_main(ctx);
    }

    // Children are clipped to this object's box (padding and border included).
    lv_area_t clip_children;
    bool draw_children = true;
    if (overflow) {
        clip_children = *clip_ori;
    } else {
        draw_children = _lv_area_intersect(&clip_children, clip_ori, &obj->coords);
    }
    if (draw_children) {
        for (size_t i = 0; i < obj->children.size(); i++) {
            ctx->clip_area = &clip_children;
            obj_redraw(ctx, obj->children[i]);
        }
    }

    if (draw_self) {
        ctx->clip_area = &clip_obj;
        obj->draw_post(ctx);
    }
    ctx->clip_area = clip_ori;
    g_layer_opa = saved_opa;
}

} // namespace gfx

void _lv_obj_t::draw_main(lv_draw_ctx_t* ctx) {
    lv_draw_rect_dsc_t dsc;
    lv_draw_rect_dsc_init(&dsc);
    gfx::obj_init_draw_rect_dsc(this, LV_PART_MAIN, &dsc);
    // A post-drawn border is painted over the children in draw_post; it still shapes the background.
    dsc.border_post = gfx::obj_get_style(this, LV_PART_MAIN, gfx::Prop::BorderPost).num != 0;
    lv_draw_rect(ctx, &dsc, &coords);
}

void _lv_obj_t::draw_post(lv_draw_ctx_t* ctx) {
    gfx::draw_scrollbars(this, ctx);

    if (gfx::obj_get_style(this, LV_PART_MAIN, gfx::Prop::BorderPost).num == 0) return;
    lv_draw_rect_dsc_t dsc;
    lv_draw_rect_dsc_init(&dsc);
    gfx::obj_init_draw_rect_dsc(this, LV_PART_MAIN, &dsc);
    dsc.bg_opa = LV_OPA_TRANSP;
    dsc.outline_opa = LV_OPA_TRANSP;
    if (dsc.border_width <= 0 || dsc.border_opa < LV_OPA_MIN) return;
    lv_draw_rect(ctx, &dsc, &coords);
}
