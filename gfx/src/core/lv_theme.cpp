// The default theme, light variant: what a new screen or plain object looks like before the
// application styles it. Labels and images get nothing.
#include "core/disp_internal.h"
#include "core/obj_internal.h"

namespace gfx {

namespace {

enum class SizeClass { Small, Medium, Large };

struct DefaultTheme {
    bool inited = false;
    lv_disp_t* disp = nullptr;
    SizeClass size = SizeClass::Small;
    Style scr;
    Style card;
    Style scrollbar;
    Style scrollbar_scrolled;
};

// Lives as long as the process and is never destroyed, so what it holds stays reachable at exit.

DefaultTheme& g_theme = *new DefaultTheme;

lv_coord_t dpx(lv_coord_t n) {
    return lv_disp_dpx(g_theme.disp, n);
}

lv_coord_t by_size(lv_coord_t small, lv_coord_t medium, lv_coord_t large) {
    switch (g_theme.size) {
    case SizeClass::Small:
        return small;
    case SizeClass::Medium:
        return medium;
    default:
        return large;
    }
}

void build_styles() {
    const lv_color_t grey = lv_palette_main(LV_PALETTE_GREY);
    const lv_color_t text = lv_palette_darken(LV_PALETTE_GREY, 4);
    const lv_coord_t pad_def = by_size(dpx(16), dpx(20), dpx(24));
    const lv_coord_t pad_small = by_size(dpx(10), dpx(12), dpx(14));
    const lv_coord_t radius = g_theme.size == SizeClass::Large ? dpx(12) : dpx(8);

    Style& scr = g_theme.scr;
    scr = Style{};
    scr.set(Prop::BgOpa, style_num(LV_OPA_COVER));
    scr.set(Prop::BgColor, style_color(lv_palette_lighten(LV_PALETTE_GREY, 4)));
    scr.set(Prop::TextColor, style_color(text));
    scr.set(Prop::PadRow, style_num(pad_small));
    scr.set(Prop::PadColumn, style_num(pad_small));

    Style& card = g_theme.card;
    card = Style{};
    card.set(Prop::Radius, style_num(radius));
    card.set(Prop::BgOpa, style_num(LV_OPA_COVER));
    card.set(Prop::BgColor, style_color(lv_color_white()));
    card.set(Prop::BorderColor, style_color(lv_palette_lighten(LV_PALETTE_GREY, 2)));
    card.set(Prop::BorderWidth, style_num(dpx(2)));
    card.set(Prop::BorderPost, style_num(1));
    card.set(Prop::TextColor, style_color(text));
    card.set(Prop::PadLeft, style_num(pad_def));
    card.set(Prop::PadRight, style_num(pad_def));
    card.set(Prop::PadTop, style_num(pad_def));
    card.set(Prop::PadBottom, style_num(pad_def));
    card.set(Prop::PadRow, style_num(pad_small));
    card.set(Prop::PadColumn, style_num(pad_small));
    card.set(Prop::LineColor, style_color(grey));
    card.set(Prop::LineWidth, style_num(dpx(1)));

    Style& sb = g_theme.scrollbar;
    sb = Style{};
    sb.set(Prop::BgColor, style_color(grey));
    sb.set(Prop::Radius, style_num(LV_RADIUS_CIRCLE));
    sb.set(Prop::PadLeft, style_num(dpx(7)));
    sb.set(Prop::PadRight, style_num(dpx(7)));
    sb.set(Prop::PadTop, style_num(dpx(7)));
    sb.set(Prop::PadBottom, style_num(dpx(7)));
    sb.set(Prop::Width, style_num(dpx(5)));
    sb.set(Prop::BgOpa, style_num(LV_OPA_40));

    Style& sbs = g_theme.scrollbar_scrolled;
    sbs = Style{};
    sbs.set(Prop::BgOpa, style_num(LV_OPA_COVER));
}

void add_scrollbar_styles(lv_obj_t* obj) {
    obj_add_theme_style(obj, &g_theme.scrollbar, LV_PART_SCROLLBAR);
    obj_add_theme_style(obj, &g_theme.scrollbar_scrolled, (uint32_t)LV_PART_SCROLLBAR | LV_STATE_SCROLLED);
}

} // namespace

void theme_init(lv_disp_t* disp) {
    g_theme.inited = true;
    g_theme.disp = disp;
    const lv_coord_t hor = lv_disp_get_hor_res(disp);
    g_theme.size = hor <= 320 ? SizeClass::Small : hor < 720 ? SizeClass::Medium : SizeClass::Large;
    build_styles();
}

bool theme_is_inited() {
    return g_theme.inited;
}

void theme_apply(lv_obj_t* obj) {
    if (!g_theme.inited) return;
    if (obj->parent == nullptr) {
        obj_add_theme_style(obj, &g_theme.scr, 0);
        add_scrollbar_styles(obj);
        return;
    }
    if (&obj->cls() == &obj_class) {
        obj_add_theme_style(obj, &g_theme.card, 0);
        add_scrollbar_styles(obj);
    }
}

void theme_reset() {
    g_theme.inited = false;
    g_theme.disp = nullptr;
}

} // namespace gfx

extern "C" lv_coord_t lv_dpx(lv_coord_t n) {
    return LV_DPX(n);
}
