#include "app_fixture.h"

#include <lodepng.h>

#include "test_paths.h"

namespace {

uint32_t g_tick_ms = 0;
std::vector<lv_color_t> g_frame;
lv_coord_t g_frame_w = 0;

void frame_flush(lv_disp_drv_t* drv, const lv_area_t* area, lv_color_t* px) {
    const lv_coord_t w = lv_area_get_width(area);
    for (lv_coord_t y = area->y1; y <= area->y2; y++) {
        for (lv_coord_t x = area->x1; x <= area->x2; x++) {
            g_frame[size_t(y) * size_t(g_frame_w) + size_t(x)] =
                px[size_t(y - area->y1) * size_t(w) + size_t(x - area->x1)];
        }
    }
    lv_disp_flush_ready(drv);
}

} // namespace

extern "C" uint32_t custom_tick_get(void) {
    return g_tick_ms;
}

void app_tick_set(uint32_t ms) {
    g_tick_ms = ms;
}
uint32_t app_tick_now(void) {
    return g_tick_ms;
}

void AppFixture::SetUp() {
    static lv_disp_draw_buf_t draw_buf;
    static lv_disp_drv_t drv;
    static std::vector<lv_color_t> buf;
    g_tick_ms = 0;
    lv_init();
    g_frame_w = w_;
    g_frame.assign(size_t(w_) * size_t(h_), lv_color_black());
    buf.assign(size_t(w_) * size_t(h_), lv_color_black());
    lv_disp_draw_buf_init(&draw_buf, buf.data(), nullptr, uint32_t(buf.size()));
    lv_disp_drv_init(&drv);
    drv.hor_res = w_;
    drv.ver_res = h_;
    drv.draw_buf = &draw_buf;
    drv.flush_cb = frame_flush;
    disp = lv_disp_drv_register(&drv);
    ASSERT_NE(disp, nullptr);
}

void AppFixture::advance(uint32_t ms, uint32_t step_ms) {
    for (uint32_t done = 0; done < ms;) {
        const uint32_t step = std::min(step_ms, ms - done);
        g_tick_ms += step;
        done += step;
        lv_timer_handler();
    }
}

uint32_t AppFixture::pixel(lv_coord_t x, lv_coord_t y) const {
    return g_frame[size_t(y) * size_t(w_) + size_t(x)].full & 0xFFFFFF;
}

std::string AppFixture::save_frame(const std::string& name) const {
    std::vector<unsigned char> rgb;
    rgb.reserve(g_frame.size() * 3);
    for (const lv_color_t& c : g_frame) {
        rgb.push_back(c.ch.red);
        rgb.push_back(c.ch.green);
        rgb.push_back(c.ch.blue);
    }
    const std::string path = sd_test_out_path(name);
    lodepng::encode(path, rgb, unsigned(w_), unsigned(h_), LCT_RGB, 8);
    return path;
}
