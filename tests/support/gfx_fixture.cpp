#include "gfx_fixture.h"

#include "../../gfx/src/img/img_internal.h"
#include "../../gfx/src/misc/misc_internal.h"

void GfxFixture::SetUp() {
    lv_init();
    gfx_virtual_time_enable(0);
    disp = gfx_mem_display_create(cfg_.w, cfg_.h, cfg_.buf_lines, cfg_.full_refresh);
    ASSERT_NE(disp, nullptr);
}

void GfxFixture::TearDown() {
    gfx_deinit();
    gfx_virtual_time_disable();
    disp = nullptr;
}

uint32_t GfxFixture::pixel(lv_coord_t x, lv_coord_t y) const {
    return gfx_mem_display_pixel(disp, x, y).full & 0xFFFFFF;
}

std::vector<std::string> GfxFixture::flushed_areas() const {
    uint32_t n = 0;
    const gfx_flush_record_t* recs = gfx_mem_display_flushes(disp, &n);
    std::vector<std::string> out;
    for (uint32_t i = 0; i < n; i++) out.push_back(area_str(recs[i].area));
    return out;
}

std::string area_str(const lv_area_t& a) {
    return "(" + std::to_string(a.x1) + "," + std::to_string(a.y1) + ")-(" + std::to_string(a.x2) + "," +
           std::to_string(a.y2) + ")";
}

size_t gfx_test_timer_count() {
    size_t n = 0;
    for (lv_timer_t* t = lv_timer_get_next(nullptr); t != nullptr; t = lv_timer_get_next(t)) n++;
    return n;
}

lv_obj_t* gfx_test_rect(lv_obj_t* parent, lv_coord_t x, lv_coord_t y, lv_coord_t w, lv_coord_t h,
                        uint32_t rgb) {
    lv_obj_t* o = lv_obj_create(parent);
    lv_obj_remove_style_all(o);
    lv_obj_set_style_bg_opa(o, LV_OPA_COVER, 0);
    lv_obj_set_style_bg_color(o, lv_color_hex(rgb), 0);
    lv_obj_set_pos(o, x, y);
    lv_obj_set_size(o, w, h);
    return o;
}

Canvas::Canvas(lv_coord_t w, lv_coord_t h, uint32_t fill, lv_coord_t x0, lv_coord_t y0)
    : buf_area{x0, y0, (lv_coord_t)(x0 + w - 1), (lv_coord_t)(y0 + h - 1)}, clip(buf_area),
      px((size_t)w * (size_t)h, lv_color_hex(fill)) {
    ctx.buf = px.data();
    ctx.buf_area = &buf_area;
    ctx.clip_area = &clip;
}

uint32_t Canvas::at(lv_coord_t x, lv_coord_t y) const {
    const int32_t w = buf_area.x2 - buf_area.x1 + 1;
    return px[(size_t)((y - buf_area.y1) * w + (x - buf_area.x1))].full & 0xFFFFFF;
}

void gfx_test_image_stack_init() {
    gfx_img_reset();
    gfx_fs_reset();
    _lv_fs_init();
    lv_fs_stdio_init();
    _lv_img_decoder_init();
    lv_png_init();
}
