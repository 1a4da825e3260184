// What is redrawn and flushed, and when: strips, full refresh, joined dirty areas, the refresh timer,
// screens, and software rotation of the flushed pictures.
#include "gfx_fixture.h"

namespace {

using Areas = std::vector<std::string>;
const Areas kWholeScreenIn40Rows = {"(0,0)-(319,39)",    "(0,40)-(319,79)",   "(0,80)-(319,119)",
                                    "(0,120)-(319,159)", "(0,160)-(319,199)", "(0,200)-(319,239)"};

class Strips : public GfxFixture {
  public:
    Strips() : GfxFixture({320, 240, 40, false}) {}
};

TEST_F(Strips, OnlyWhatChangedIsRedrawnAndOnlyWhenItChanged) {
    // The first handler call draws everything; laying out invalidates once more, so the refresh timer
    // wants to run 30 ms later, then sleeps.
    lv_obj_t* label = lv_label_create(lv_scr_act());
    lv_obj_set_pos(label, 10, 100);
    EXPECT_EQ(lv_timer_handler(), 30u);
    EXPECT_EQ(flushed_areas(), kWholeScreenIn40Rows);
    gfx_virtual_time_advance(30);
    EXPECT_EQ(lv_timer_handler(), LV_NO_TIMER_READY);

    // A label's box grows by its extra draw size (a quarter line) and LVGL's 5 pixels.
    const lv_coord_t w = lv_txt_get_width("World", 5, LV_FONT_DEFAULT, 0, LV_TEXT_FLAG_NONE);
    const Areas label_area = {area_str({1, 91, (lv_coord_t)(10 + w - 1 + 9), 124})};
    const struct {
        const char* name;
        void (*change)(lv_obj_t*);
        Areas flushed;
    } steps[] = {
        {"nothing", [](lv_obj_t*) {}, {}},
        {"new text", [](lv_obj_t* l) { lv_label_set_text(l, "World"); }, label_area},
        {"the same text again", [](lv_obj_t* l) { lv_label_set_text(l, "World"); }, label_area},
        {"hidden", [](lv_obj_t* l) { lv_obj_add_flag(l, LV_OBJ_FLAG_HIDDEN); }, label_area},
        {"changed while hidden", [](lv_obj_t* l) { lv_label_set_text(l, "Text"); }, {}},
        {"the screen", [](lv_obj_t*) { lv_obj_invalidate(lv_scr_act()); }, kWholeScreenIn40Rows},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.name);
        clear_flushes();
        s.change(label);
        run_for(500);
        EXPECT_EQ(flushed_areas(), s.flushed);
    }
}

class Display : public GfxFixture {};

TEST_F(Display, DirtyAreasJoinOnlyWhenTheUnionIsSmaller) {
    const struct {
        const char* name;
        std::vector<lv_area_t> dirty;
        Areas flushed;
    } cases[] = {
        {"overlapping", {{0, 0, 9, 9}, {5, 0, 14, 9}}, {"(0,0)-(14,9)"}},
        {"touching", {{0, 0, 9, 9}, {10, 0, 19, 9}}, {"(0,0)-(9,9)", "(10,0)-(19,9)"}},
        {"diagonal: union larger", {{0, 0, 9, 9}, {9, 9, 18, 18}}, {"(0,0)-(9,9)", "(9,9)-(18,18)"}},
        {"inside another", {{0, 0, 99, 99}, {10, 10, 20, 20}}, {"(0,0)-(99,99)"}},
        {"cut to the screen", {{300, 230, 400, 300}, {-5, -5, 3, 3}}, {"(300,230)-(319,239)", "(0,0)-(3,3)"}},
        {"more than 32 areas", std::vector<lv_area_t>(33), {"(0,0)-(319,239)"}},
    };
    run_for(50);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        clear_flushes();
        for (size_t i = 0; i < c.dirty.size(); i++) {
            lv_area_t a = c.dirty[i];
            if (c.dirty.size() > 2) a = {(lv_coord_t)(9 * i), 0, (lv_coord_t)(9 * i + 1), 1}; // apart
            _lv_inv_area(disp, &a);
        }
        refresh();
        EXPECT_EQ(flushed_areas(), c.flushed);
    }
}

TEST_F(Display, ADeletedActiveScreenDrawsNothingUntilAnotherIsLoaded) {
    // LVGL crashes at the next refresh; ours logs and draws nothing.
    lv_obj_t* first = lv_scr_act();
    lv_obj_t* second = lv_obj_create(nullptr);
    lv_obj_set_style_bg_color(second, lv_color_hex(0x0000FF), 0);
    run_for(50);
    clear_flushes();
    StdoutLog log;
    lv_obj_del(first);
    EXPECT_EQ(log.count("the active screen was deleted"), 1u);
    lv_obj_invalidate(lv_layer_top());
    refresh();
    EXPECT_EQ(log.count("there is no active screen"), 1u);
    EXPECT_TRUE(flushed_areas().empty());
    lv_scr_load(second);
    run_for(50);
    EXPECT_EQ(pixel(0, 0), 0x0000FFu);
}

class FullRefresh : public GfxFixture {
  public:
    FullRefresh() : GfxFixture({320, 240, 0, true}) {}
};

TEST_F(FullRefresh, EachChangeFlushesTheWholeScreenOnceAndTurnedNothing) {
    lv_obj_t* label = lv_label_create(lv_scr_act());
    run_for(100);
    clear_flushes();
    run_for(300);
    EXPECT_TRUE(flushed_areas().empty());
    lv_label_set_text(label, "x");
    run_for(100);
    EXPECT_EQ(flushed_areas(), Areas{"(0,0)-(319,239)"});
    // Turned, it cannot be drawn: LVGL hangs at the next refresh, ours logs each and goes on.
    StdoutLog log;
    gfx_disp_get_drv(disp)->sw_rotate = 1;
    lv_disp_set_rotation(disp, LV_DISP_ROT_90);
    clear_flushes();
    for (int i = 0; i < 2; i++) {
        lv_obj_invalidate(lv_scr_act());
        refresh();
    }
    EXPECT_TRUE(flushed_areas().empty());
    EXPECT_EQ(log.count("cannot rotate a full refreshed display!"), 2u);
}

class Rotation : public GfxFixture {};

TEST_F(Rotation, ATurnedBlockAndItsRedrawnAreaLandWhereThePanelShowsThem) {
    // A 30 x 8 red block at logical (10,20)-(39,27): two of its corners and its area on the panel.
    const struct {
        lv_disp_rot_t rot;
        size_t full_flushes; // a quarter turn: a 240 x 240 square first, then 10 columns at a time
        lv_point_t top_left, bottom_right;
        const char* redrawn;
    } cases[] = {
        {LV_DISP_ROT_90, 9, {20, 229}, {27, 200}, "(20,200)-(27,229)"},
        {LV_DISP_ROT_180, 1, {309, 219}, {280, 212}, "(280,212)-(309,219)"},
        {LV_DISP_ROT_270, 9, {299, 10}, {292, 39}, "(292,10)-(299,39)"},
        {LV_DISP_ROT_NONE, 1, {10, 20}, {39, 27}, "(10,20)-(39,27)"},
    };
    lv_obj_set_style_bg_color(lv_scr_act(), lv_color_black(), 0);
    gfx_test_rect(lv_scr_act(), 10, 20, 30, 8, 0xFF0000);
    gfx_disp_get_drv(disp)->sw_rotate = 1;
    for (const auto& c : cases) {
        SCOPED_TRACE(90 * c.rot);
        lv_disp_set_rotation(disp, c.rot); // redraws everything
        EXPECT_EQ(lv_disp_get_hor_res(disp), c.rot % 2 ? 240 : 320);
        clear_flushes();
        refresh();
        EXPECT_EQ(flushed_areas().size(), c.full_flushes);
        int red = 0;
        for (lv_coord_t y = 0; y < 240; y++)
            for (lv_coord_t x = 0; x < 320; x++) red += pixel(x, y) == 0xFF0000;
        EXPECT_EQ(red, 30 * 8);
        EXPECT_EQ(pixel(c.top_left.x, c.top_left.y) + pixel(c.bottom_right.x, c.bottom_right.y),
                  2 * 0xFF0000u);
        clear_flushes();
        lv_area_t block{10, 20, 39, 27};
        _lv_inv_area(disp, &block);
        refresh();
        EXPECT_EQ(flushed_areas(), Areas{c.redrawn});
    }
}

} // namespace
