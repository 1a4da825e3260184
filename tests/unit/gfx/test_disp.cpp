// Display drivers and displays: defaults, registration, several displays, DPI scaling, start-up
// and tear-down of the runtime, and PNG snapshots.
#include <cstring>
#include <lodepng.h>

#include "gfx_fixture.h"
#include "test_paths.h"

namespace {

class Disp : public GfxFixture {};

TEST(DispDriver, InitDefaultsAndDrawBuffer) {
    lv_disp_drv_t drv;
    std::memset(&drv, 0x5A, sizeof(drv));
    lv_disp_drv_init(&drv);
    EXPECT_EQ(drv.hor_res, 320);
    EXPECT_EQ(drv.ver_res, 240);
    EXPECT_EQ(drv.physical_hor_res, -1);
    EXPECT_EQ(drv.physical_ver_res, -1);
    EXPECT_EQ(drv.dpi, 130u);
    EXPECT_EQ(drv.antialiasing, 1u);
    EXPECT_EQ(drv.full_refresh, 0u);
    EXPECT_EQ(drv.sw_rotate, 0u);
    EXPECT_EQ(drv.rotated, 0u);
    EXPECT_EQ(drv.color_chroma_key.full & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(drv.flush_cb, nullptr);
    EXPECT_EQ(drv.user_data, nullptr);

    lv_disp_draw_buf_t db;
    std::memset(&db, 0x5A, sizeof(db));
    int a = 0, b = 0;
    lv_disp_draw_buf_init(&db, &a, &b, 1234);
    EXPECT_EQ(db.buf1, &a);
    EXPECT_EQ(db.buf2, &b);
    EXPECT_EQ(db.buf_act, &a);
    EXPECT_EQ(db.size, 1234u);
    EXPECT_EQ(db.flushing, 0);
}

TEST_F(Disp, RegistrationCreatesScreenLayersAndAReadyRefreshTimer) {
    EXPECT_EQ(lv_disp_get_default(), disp);
    lv_obj_t* scr = lv_disp_get_scr_act(disp);
    ASSERT_NE(scr, nullptr);
    EXPECT_EQ(lv_obj_get_width(scr), 320);
    EXPECT_EQ(lv_obj_get_height(scr), 240);
    ASSERT_NE(lv_layer_top(), nullptr);
    ASSERT_NE(lv_layer_sys(), nullptr);
    EXPECT_EQ(lv_obj_get_style_bg_opa(lv_layer_top(), 0), LV_OPA_TRANSP);
    EXPECT_FALSE(lv_obj_has_flag(lv_layer_top(), LV_OBJ_FLAG_CLICKABLE));
    EXPECT_EQ(lv_disp_get_scr_prev(disp), nullptr);

    lv_timer_t* t = _lv_disp_get_refr_timer(disp);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->period, 30u);
    EXPECT_EQ(lv_disp_get_hor_res(nullptr), 320);
    EXPECT_EQ(lv_disp_get_dpi(nullptr), 130);
    EXPECT_NE(gfx_disp_get_drv(disp), nullptr);
}

TEST_F(Disp, FullRefreshNeedsAScreenSizedBuffer) {
    StdoutLog log;
    lv_disp_t* d = gfx_mem_display_create(100, 100, 10, true);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(log.count("full_refresh requires at least screen sized draw buffer(s)"), 1u);
    EXPECT_EQ(gfx_disp_get_drv(d)->full_refresh, 0u);
    gfx_mem_display_delete(d);
}

TEST_F(Disp, SecondDisplayKeepsTheDefaultAndTheThemeSizeClass) {
    lv_disp_t* big = gfx_mem_display_create(1024, 600, 0, false);
    ASSERT_NE(big, nullptr);
    EXPECT_EQ(lv_disp_get_default(), disp);
    EXPECT_EQ(lv_obj_get_width(lv_disp_get_scr_act(big)), 1024);

    // The theme was sized once, for the first display.
    lv_obj_t* card = lv_obj_create(lv_disp_get_scr_act(big));
    EXPECT_EQ(lv_obj_get_style_pad_left(card, 0), 13);

    lv_disp_set_default(big);
    lv_obj_t* scr = lv_obj_create(nullptr);
    EXPECT_EQ(lv_obj_get_width(scr), 1024);
    gfx_mem_display_delete(big);
    EXPECT_EQ(lv_disp_get_default(), disp);
}

TEST_F(Disp, DpxScalesWithTheDisplayDpi) {
    const lv_coord_t want[] = {1,  2,  2,  3,  4,  5,  6,  7,  7,  8,  9,  10,
                               11, 11, 12, 13, 14, 15, 15, 16, 17, 18, 19, 20};
    for (lv_coord_t n = 1; n <= 24; n++) {
        SCOPED_TRACE(n);
        EXPECT_EQ(lv_dpx(n), want[n - 1]);
        EXPECT_EQ(lv_disp_dpx(disp, n), want[n - 1]);
    }
    EXPECT_EQ(lv_dpx(0), 0);
    gfx_disp_get_drv(disp)->dpi = 260;
    EXPECT_EQ(lv_dpx(10), 16);
}

TEST_F(Disp, RotatedDriversReportSwappedResolution) {
    lv_disp_drv_t* drv = gfx_disp_get_drv(disp);
    drv->rotated = LV_DISP_ROT_90;
    EXPECT_EQ(lv_disp_get_hor_res(disp), 240);
    EXPECT_EQ(lv_disp_get_ver_res(disp), 320);
    EXPECT_EQ(lv_disp_get_rotation(disp), LV_DISP_ROT_90);
    drv->rotated = LV_DISP_ROT_180;
    EXPECT_EQ(lv_disp_get_hor_res(disp), 320);
    drv->rotated = LV_DISP_ROT_NONE;
}

TEST_F(Disp, InitTwiceWarnsAndDeinitAllowsAFreshStart) {
    EXPECT_TRUE(lv_is_initialized());
    {
        StdoutLog log;
        lv_init();
        EXPECT_EQ(log.count("lv_init: already inited"), 1u);
    }
    lv_obj_t* label = lv_label_create(lv_scr_act());
    lv_label_set_text(label, "scrolling away");
    lv_label_set_long_mode(label, LV_LABEL_LONG_SCROLL_CIRCULAR);
    lv_obj_set_width(label, 20);
    run_for(100);

    gfx_deinit();
    EXPECT_FALSE(lv_is_initialized());
    EXPECT_EQ(lv_disp_get_default(), nullptr);
    EXPECT_EQ(lv_anim_count_running(), 0u);

    lv_init();
    disp = gfx_mem_display_create(160, 120, 0, false);
    ASSERT_NE(disp, nullptr);
    lv_timer_handler();
    EXPECT_EQ(pixel(10, 10), 0xF5F5F5u);
    // A freshly sized theme: 160 px wide is still "small".
    EXPECT_EQ(lv_obj_get_style_pad_left(lv_obj_create(lv_scr_act()), 0), 13);
}

TEST_F(Disp, ScreenWithoutADisplayIsRefused) {
    gfx_deinit();
    lv_init();
    StdoutLog log;
    EXPECT_EQ(lv_obj_create(nullptr), nullptr);
    EXPECT_TRUE(log.contains("No display created yet"));
    EXPECT_EQ(lv_scr_act(), nullptr);
    disp = gfx_mem_display_create(320, 240, 0, false);
}

TEST_F(Disp, SnapshotPngHoldsTheDisplayedPixels) {
    lv_obj_t* r = lv_obj_create(lv_scr_act());
    lv_obj_remove_style_all(r);
    lv_obj_set_style_bg_opa(r, LV_OPA_COVER, 0);
    lv_obj_set_style_bg_color(r, lv_color_hex(0x336699), 0);
    lv_obj_set_size(r, 10, 10);
    lv_timer_handler();

    const std::string path = sd_test_out_path("disp_snapshot.png");
    ASSERT_TRUE(gfx_mem_display_save_png(disp, path.c_str()));
    unsigned char* rgb = nullptr;
    unsigned w = 0, h = 0;
    ASSERT_EQ(lodepng_decode24_file(&rgb, &w, &h, path.c_str()), 0u);
    EXPECT_EQ(w, 320u);
    EXPECT_EQ(h, 240u);
    EXPECT_EQ(rgb[0], 0x33);
    EXPECT_EQ(rgb[1], 0x66);
    EXPECT_EQ(rgb[2], 0x99);
    const size_t far = (200 * 320 + 200) * 3;
    EXPECT_EQ(rgb[far], 0xF5);
    free(rgb);

    EXPECT_FALSE(gfx_save_png("/nonexistent-dir/x.png", gfx_mem_display_pixels(disp), 320, 240));
}

} // namespace
