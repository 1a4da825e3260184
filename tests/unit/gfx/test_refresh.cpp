// What gets redrawn and flushed, and when: strips of a partial buffer, full refresh, joining of
// dirty areas, screens and layers, and the refresh timer's own schedule.
#include "gfx_fixture.h"

namespace {

bool same(const lv_area_t& a, const lv_area_t& b) {
    return a.x1 == b.x1 && a.y1 == b.y1 && a.x2 == b.x2 && a.y2 == b.y2;
}

// A plain rectangle without theme look.
lv_obj_t* rect(lv_obj_t* parent, lv_coord_t x, lv_coord_t y, lv_coord_t w, lv_coord_t h, uint32_t rgb) {
    lv_obj_t* o = lv_obj_create(parent);
    lv_obj_remove_style_all(o);
    lv_obj_set_style_bg_opa(o, LV_OPA_COVER, 0);
    lv_obj_set_style_bg_color(o, lv_color_hex(rgb), 0);
    lv_obj_set_pos(o, x, y);
    lv_obj_set_size(o, w, h);
    return o;
}

class PartialRefresh : public GfxFixture {
  public:
    PartialRefresh() : GfxFixture({320, 240, 40, false}) {}
};

TEST_F(PartialRefresh, FirstHandlerCallDrawsTheWholeScreenInStrips) {
    lv_timer_handler();
    const std::vector<lv_area_t> got = flushed_areas();
    ASSERT_EQ(got.size(), 6u);
    for (size_t i = 0; i < got.size(); i++) {
        SCOPED_TRACE(i);
        const lv_area_t want{0, (lv_coord_t)(i * 40), 319, (lv_coord_t)(i * 40 + 39)};
        EXPECT_TRUE(same(got[i], want)) << area_str(got[i]);
    }
    EXPECT_EQ(pixel(5, 5), 0xF5F5F5u);
    EXPECT_EQ(pixel(319, 239), 0xF5F5F5u);

    // Nothing changes, nothing is flushed.
    clear_flushes();
    run_for(500);
    EXPECT_TRUE(flushed_areas().empty());
}

TEST_F(PartialRefresh, ALabelChangeFlushesOnlyItsRows) {
    lv_obj_t* label = lv_label_create(lv_scr_act());
    lv_obj_set_pos(label, 10, 100);
    lv_label_set_text(label, "Hello");
    run_for(100);
    clear_flushes();

    lv_label_set_text(label, "World");
    run_for(100);
    const std::vector<lv_area_t> got = flushed_areas();
    ASSERT_FALSE(got.empty());
    for (const lv_area_t& a : got) {
        SCOPED_TRACE(area_str(a));
        // The label's box grown by its extra draw size (a quarter of the line height) and by the
        // 5 pixels LVGL 8.3 adds around every invalidated area.
        EXPECT_GE(a.y1, 100 - 4 - 5);
        EXPECT_LE(a.y2, 100 + 16 + 4 + 5);
        EXPECT_GE(a.x1, 10 - 4 - 5);
        EXPECT_LT(a.x2, 100);
    }

    // The same text again still redraws.
    clear_flushes();
    lv_label_set_text(label, "World");
    run_for(100);
    EXPECT_FALSE(flushed_areas().empty());
}

TEST_F(PartialRefresh, TimerPausesItselfAndRunsAgainAfterInvalidation) {
    // First refresh: laying out the label invalidates again, so one more (empty) run follows.
    lv_label_create(lv_scr_act());
    EXPECT_EQ(lv_timer_handler(), 30u);
    gfx_virtual_time_advance(30);
    EXPECT_EQ(lv_timer_handler(), LV_NO_TIMER_READY);

    // An invalidation wakes it; the next due time is 30 ms after its last run.
    gfx_virtual_time_advance(100);
    clear_flushes();
    lv_obj_invalidate(lv_scr_act());
    lv_timer_handler();
    EXPECT_EQ(flushed_areas().size(), 6u);
}

TEST_F(PartialRefresh, HiddenObjectsAreNotDrawnAndTheirInvalidationsIgnored) {
    lv_obj_t* r = rect(lv_scr_act(), 10, 10, 20, 20, 0xFF0000);
    run_for(50);
    EXPECT_EQ(pixel(15, 15), 0xFF0000u);

    lv_obj_add_flag(r, LV_OBJ_FLAG_HIDDEN);
    run_for(50);
    EXPECT_EQ(pixel(15, 15), 0xF5F5F5u);

    clear_flushes();
    lv_obj_set_style_bg_color(r, lv_color_hex(0x00FF00), 0);
    run_for(50);
    EXPECT_TRUE(flushed_areas().empty());
}

class DirtyAreas : public GfxFixture {};

TEST_F(DirtyAreas, OverlappingAreasJoinOnlyWhenTheUnionIsStrictlySmaller) {
    struct Case {
        const char* name;
        lv_area_t a, b;
        std::vector<lv_area_t> flushed;
    };
    const Case cases[] = {
        {"overlapping", {0, 0, 9, 9}, {5, 0, 14, 9}, {{0, 0, 14, 9}}},
        {"touching: union not smaller", {0, 0, 9, 9}, {10, 0, 19, 9}, {{0, 0, 9, 9}, {10, 0, 19, 9}}},
        {"diagonal: union larger", {0, 0, 9, 9}, {9, 9, 18, 18}, {{0, 0, 9, 9}, {9, 9, 18, 18}}},
        {"inside: dropped", {0, 0, 99, 99}, {10, 10, 20, 20}, {{0, 0, 99, 99}}},
        {"clipped to the screen", {300, 230, 400, 300}, {-5, -5, 3, 3}, {{300, 230, 319, 239}, {0, 0, 3, 3}}},
    };
    run_for(50);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        clear_flushes();
        _lv_inv_area(disp, &c.a);
        _lv_inv_area(disp, &c.b);
        lv_refr_now(disp);
        const std::vector<lv_area_t> got = flushed_areas();
        ASSERT_EQ(got.size(), c.flushed.size());
        for (size_t i = 0; i < got.size(); i++) EXPECT_TRUE(same(got[i], c.flushed[i])) << area_str(got[i]);
    }
}

TEST_F(DirtyAreas, TooManyAreasBecomeOneFullScreenArea) {
    run_for(50);
    clear_flushes();
    for (lv_coord_t i = 0; i < 33; i++) {
        lv_area_t a{(lv_coord_t)(i * 9), 0, (lv_coord_t)(i * 9 + 1), 1};
        _lv_inv_area(disp, &a);
    }
    lv_refr_now(disp);
    const std::vector<lv_area_t> got = flushed_areas();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_TRUE(same(got[0], {0, 0, 319, 239}));
}

TEST_F(DirtyAreas, LoadedScreenShowsAtOnceAndTheTopLayerStaysAbove) {
    lv_obj_t* first = lv_scr_act();
    lv_obj_t* second = lv_obj_create(nullptr);
    lv_obj_set_style_bg_color(second, lv_color_hex(0x0000FF), 0);
    rect(second, 0, 0, 40, 40, 0xFF0000);
    rect(lv_layer_top(), 20, 20, 40, 40, 0x00FF00);

    lv_scr_load(second);
    EXPECT_EQ(lv_scr_act(), second);
    run_for(50);
    EXPECT_EQ(pixel(10, 10), 0xFF0000u);
    EXPECT_EQ(pixel(30, 30), 0x00FF00u); // top layer over the screen's child
    EXPECT_EQ(pixel(100, 100), 0x0000FFu);

    // The old screen is kept and can come back; loading the active one changes nothing.
    lv_scr_load(first);
    run_for(50);
    EXPECT_EQ(pixel(100, 100), 0xF5F5F5u);
    EXPECT_EQ(pixel(30, 30), 0x00FF00u);
    clear_flushes();
    lv_scr_load(first);
    run_for(50);
    EXPECT_TRUE(flushed_areas().empty());
}

TEST_F(DirtyAreas, DeletingTheActiveScreenWarnsAndSkipsRefreshes) {
    run_for(50);
    StdoutLog log;
    lv_obj_del(lv_scr_act());
    EXPECT_EQ(log.count("the active screen was deleted"), 1u);
    EXPECT_EQ(lv_scr_act(), nullptr);

    lv_obj_invalidate(lv_layer_top());
    lv_refr_now(disp);
    EXPECT_TRUE(log.contains("there is no active screen"));

    lv_obj_t* scr = lv_obj_create(nullptr);
    lv_obj_set_style_bg_color(scr, lv_color_hex(0x123456), 0);
    lv_scr_load(scr);
    run_for(50);
    EXPECT_EQ(pixel(0, 0), 0x123456u);
}

TEST_F(DirtyAreas, TranslucentObjectsAndDisplayBackground) {
    lv_obj_t* scr = lv_scr_act();
    lv_obj_set_style_bg_opa(scr, LV_OPA_TRANSP, 0);
    lv_disp_set_bg_color(disp, lv_color_hex(0x000080));
    lv_obj_t* r = rect(scr, 0, 0, 10, 10, 0xFFFFFF);
    lv_obj_set_style_opa(r, LV_OPA_50, 0);
    run_for(50);
    EXPECT_EQ(pixel(100, 100), 0x000080u);
    const uint32_t p = pixel(5, 5);
    EXPECT_NEAR((p >> 16) & 0xFF, 0x7F, 3);
    EXPECT_NEAR(p & 0xFF, 0xBF, 3);
}

class FullRefresh : public GfxFixture {
  public:
    FullRefresh() : GfxFixture({320, 240, 0, true}) {}
};

TEST_F(FullRefresh, EachChangeFlushesExactlyOneFullScreen) {
    lv_obj_t* label = lv_label_create(lv_scr_act());
    run_for(100);
    clear_flushes();
    run_for(300);
    EXPECT_TRUE(flushed_areas().empty());

    lv_label_set_text(label, "x");
    run_for(100);
    const std::vector<lv_area_t> got = flushed_areas();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_TRUE(same(got[0], {0, 0, 319, 239})) << area_str(got[0]);
}

// A driver of our own: two buffers, an offset, and a flush that completes later.
struct SlowDriver {
    static inline std::vector<lv_area_t> areas;
    static inline bool pending = false;
    static inline int waits = 0;
    static inline bool invalidate_in_flush = false;
    static inline lv_disp_t* disp = nullptr;

    static void flush(lv_disp_drv_t* drv, const lv_area_t* area, lv_color_t*) {
        areas.push_back(*area);
        pending = true;
        if (invalidate_in_flush) lv_obj_invalidate(lv_disp_get_scr_act(disp));
    }
    static void wait(lv_disp_drv_t* drv) {
        waits++;
        if (pending) {
            pending = false;
            lv_disp_flush_ready(drv);
        }
    }
};

TEST_F(DirtyAreas, DriverWithTwoBuffersOffsetAndDeferredFlushReady) {
    std::vector<lv_color_t> b1(320 * 60), b2(320 * 60);
    lv_disp_draw_buf_t db;
    lv_disp_draw_buf_init(&db, b1.data(), b2.data(), 320 * 60);
    lv_disp_drv_t drv;
    lv_disp_drv_init(&drv);
    drv.draw_buf = &db;
    drv.flush_cb = SlowDriver::flush;
    drv.wait_cb = SlowDriver::wait;
    drv.offset_x = 5;
    drv.offset_y = 7;
    SlowDriver::areas.clear();
    lv_disp_t* d = lv_disp_drv_register(&drv);
    SlowDriver::disp = d;
    EXPECT_EQ(lv_disp_get_default(), disp);

    lv_refr_now(d);
    ASSERT_EQ(SlowDriver::areas.size(), 4u);
    EXPECT_TRUE(same(SlowDriver::areas[0], {5, 7, 324, 66}));
    EXPECT_TRUE(same(SlowDriver::areas[3], {5, 187, 324, 246}));
    EXPECT_GE(SlowDriver::waits, 3); // each flush waited for the previous one
    EXPECT_EQ(db.buf_act, (void*)b1.data());

    StdoutLog log;
    SlowDriver::invalidate_in_flush = true;
    lv_obj_invalidate(lv_disp_get_scr_act(d));
    lv_refr_now(d);
    SlowDriver::invalidate_in_flush = false;
    EXPECT_TRUE(log.contains("detected modifying dirty areas in render"));
    SlowDriver::wait(&drv);
    lv_disp_remove(d);
}

} // namespace
