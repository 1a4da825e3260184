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

std::vector<lv_area_t> GfxFixture::flushed_areas() const {
    uint32_t n = 0;
    const gfx_flush_record_t* recs = gfx_mem_display_flushes(disp, &n);
    std::vector<lv_area_t> out;
    for (uint32_t i = 0; i < n; i++) out.push_back(recs[i].area);
    return out;
}

std::string area_str(const lv_area_t& a) {
    return "(" + std::to_string(a.x1) + "," + std::to_string(a.y1) + ")-(" + std::to_string(a.x2) + "," +
           std::to_string(a.y2) + ")";
}

void gfx_test_image_stack_init() {
    gfx_img_reset();
    gfx_fs_reset();
    _lv_fs_init();
    lv_fs_stdio_init();
    _lv_img_decoder_init();
    lv_png_init();
}
